#pragma once
// The seam between commands and the modal boxes they show: message boxes,
// the text input box and the file dialogs. The program uses TQtDialogs;
// tests use TScriptedDialogs, which answers from a script without a person
// and without blocking.

#include <QString>
#include <QStringList>

// A file dialog's settings and, after it ran, its result.
struct TFileDialog {
    QString Title;
    QString Filter;       // Qt form: "Bitmaps (*.bmp);;JPEG Image File (*.jpg)"
    QString InitialDir;
    QString FileName;     // proposed name before, chosen path after
    int FilterIndex = 1;  // 1-based, as the first filter is 1; chosen filter after
};

enum class TMessageIcon { None, Warning };

enum class TAnswer { Yes, No, Cancel };

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A plain message box with an OK button.
    virtual void ShowMessage(const QString &text) = 0;
    // A message box with its own caption and icon and an OK button. A seam
    // that knows no captions shows the text as a plain message.
    virtual void ShowMessageBox(const QString &text, const QString &caption, TMessageIcon icon)
    {
        (void)caption;
        (void)icon;
        ShowMessage(text);
    }
    // A Yes/No box with the question icon; true for Yes.
    virtual bool AskYesNo(const QString &text, const QString &caption) = 0;
    // A Yes/No/Cancel box with the question icon, for a question whose
    // answer may lose work: Escape and the box's close button mean Cancel.
    // A seam that knows only Yes and No never cancels.
    virtual TAnswer AskYesNoCancel(const QString &text, const QString &caption)
    {
        return AskYesNo(text, caption) ? TAnswer::Yes : TAnswer::No;
    }
    // A question answered with one of `buttons` ("Restore", "Discard"):
    // the index of the one pressed, -1 when the box was closed without one.
    virtual int AskChoice(const QString &text, const QString &caption, const QStringList &buttons)
    {
        (void)buttons;
        return AskYesNo(text, caption) ? 0 : 1;
    }
    // A text input box; cancelling returns `initialText`, as a toolkit input box does.
    virtual QString InputBox(const QString &caption, const QString &prompt, const QString &initialText) = 0;
    // File dialogs: false when cancelled; otherwise dialog.FileName and
    // dialog.FilterIndex hold the choice.
    virtual bool ExecuteOpen(TFileDialog &dialog) = 0;
    virtual bool ExecuteSave(TFileDialog &dialog) = 0;
};
