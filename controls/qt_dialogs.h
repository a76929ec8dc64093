#pragma once
#include "controls/dialogs.h"

class QWidget;

// The real boxes, modal to `parent`.
class TQtDialogs : public TDialogs {
public:
    explicit TQtDialogs(QWidget *parent) : m_parent(parent) {}

    void ShowMessage(const QString &text) override;
    void ShowMessageBox(const QString &text, const QString &caption, TMessageIcon icon) override;
    bool AskYesNo(const QString &text, const QString &caption) override;
    TAnswer AskYesNoCancel(const QString &text, const QString &caption) override;
    int AskChoice(const QString &text, const QString &caption, const QStringList &buttons) override;
    QString InputBox(const QString &caption, const QString &prompt, const QString &initialText) override;
    bool ExecuteOpen(TFileDialog &dialog) override;
    bool ExecuteSave(TFileDialog &dialog) override;

private:
    QWidget *m_parent;
};
