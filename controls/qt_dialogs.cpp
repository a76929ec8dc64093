#include "controls/qt_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <iterator>

namespace {

QString StartPath(const TFileDialog &dialog)
{
    if (dialog.FileName.isEmpty())
        return dialog.InitialDir;
    return QDir(dialog.InitialDir).filePath(dialog.FileName);
}

QString SelectedFilter(const TFileDialog &dialog)
{
    const QStringList filters = dialog.Filter.split(QStringLiteral(";;"));
    const int index = dialog.FilterIndex - 1;
    return index >= 0 && index < filters.size() ? filters.at(index) : QString();
}

int FilterIndexOf(const TFileDialog &dialog, const QString &selected)
{
    const int index = int(dialog.Filter.split(QStringLiteral(";;")).indexOf(selected));
    return index < 0 ? 1 : index + 1;
}

// Shows the box and waits for its answer. Its icon, when it has one, is
// named for a screen reader as the icon's meaning.
int Run(QMessageBox &box)
{
    static const char *const IconNames[] = {"", "Information", "Warning", "Error", "Question"};
    const int icon = int(box.icon());
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
        label && icon > 0 && icon < int(std::size(IconNames)))
        label->setAccessibleName(QString::fromLatin1(IconNames[icon]));
    return box.exec();
}

} // namespace

void TQtDialogs::ShowMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, m_parent);
    Run(box);
}

void TQtDialogs::ShowMessageBox(const QString &text, const QString &caption, TMessageIcon icon)
{
    QMessageBox box(icon == TMessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption.isEmpty() ? QCoreApplication::applicationName() : caption, text, QMessageBox::Ok,
                    m_parent);
    Run(box);
}

bool TQtDialogs::AskYesNo(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return Run(box) == QMessageBox::Yes;
}

TAnswer TQtDialogs::AskYesNoCancel(const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape and the close button answer Cancel: the safe answer.
    box.setEscapeButton(QMessageBox::Cancel);
    switch (Run(box)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

int TQtDialogs::AskChoice(const QString &text, const QString &caption, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton *> pressed;
    for (const QString &button : buttons)
        pressed.append(box.addButton(button, pressed.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::DestructiveRole));
    if (!pressed.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(pressed.first()));
    Run(box);
    return int(pressed.indexOf(box.clickedButton()));
}

QString TQtDialogs::InputBox(const QString &caption, const QString &prompt, const QString &initialText)
{
    QInputDialog box(m_parent);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(initialText);
    // Wide enough for its caption and a long name; Qt's own box is narrower
    // than its title. Its layout sizes the box from its controls.
    if (auto *edit = box.findChild<QLineEdit *>())
        edit->setMinimumWidth(360);
    return box.exec() == QDialog::Accepted ? box.textValue() : initialText;
}

bool TQtDialogs::ExecuteOpen(TFileDialog &dialog)
{
    QString selected = SelectedFilter(dialog);
    const QString path = QFileDialog::getOpenFileName(m_parent, dialog.Title, StartPath(dialog), dialog.Filter, &selected);
    if (path.isEmpty())
        return false;
    dialog.FileName = path;
    dialog.FilterIndex = FilterIndexOf(dialog, selected);
    return true;
}

bool TQtDialogs::ExecuteSave(TFileDialog &dialog)
{
    QString selected = SelectedFilter(dialog);
    const QString path = QFileDialog::getSaveFileName(m_parent, dialog.Title, StartPath(dialog), dialog.Filter,
                                                      &selected, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return false;
    dialog.FileName = path;
    dialog.FilterIndex = FilterIndexOf(dialog, selected);
    return true;
}
