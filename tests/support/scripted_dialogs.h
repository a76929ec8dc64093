#pragma once
// Dialogs for tests: every box is recorded, answers come from queues filled
// beforehand. A question nobody scripted is answered No / cancel and listed
// in Unanswered, so a test can tell an unexpected box from an expected one.

#include "controls/dialogs.h"

#include <QStringList>

#include <deque>
#include <optional>

class TScriptedDialogs : public TDialogs {
public:
    struct FileAnswer {
        QString FileName;
        int FilterIndex = 1;
    };

    // Scripted answers, taken front first.
    std::deque<bool> YesNoAnswers;
    // Yes/No/Cancel questions; while none is queued a queued YesNoAnswer
    // answers Yes or No, and an unscripted one is Cancel.
    std::deque<TAnswer> YesNoCancelAnswers;
    // Questions with buttons of their own: the index pressed, -1 for none.
    std::deque<int> ChoiceAnswers;
    std::deque<std::optional<QString>> InputAnswers;        // nullopt = Cancel
    std::deque<std::optional<FileAnswer>> FileAnswers;      // nullopt = Cancel

    // What was shown, in order.
    QStringList Messages;          // texts of the OK boxes
    QStringList MessageCaptions;   // their captions (empty for a plain message)
    QList<TMessageIcon> MessageIcons;
    QStringList Questions;         // texts of the Yes/No boxes
    QStringList QuestionCaptions;
    QStringList InputPrompts;
    std::deque<TFileDialog> FileDialogs;  // settings each file dialog was shown with
    QStringList Unanswered;

    void ShowMessage(const QString &text) override;
    void ShowMessageBox(const QString &text, const QString &caption, TMessageIcon icon) override;
    bool AskYesNo(const QString &text, const QString &caption) override;
    TAnswer AskYesNoCancel(const QString &text, const QString &caption) override;
    int AskChoice(const QString &text, const QString &caption, const QStringList &buttons) override;
    QString InputBox(const QString &caption, const QString &prompt, const QString &initialText) override;
    bool ExecuteOpen(TFileDialog &dialog) override;
    bool ExecuteSave(TFileDialog &dialog) override;

private:
    bool ExecuteFile(TFileDialog &dialog);
};
