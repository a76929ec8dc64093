// Help: the user guide in the program's own help window, so that it opens
// whether or not the desktop has a web browser.
#include "app/frm_main.h"

#include "dialogs/frm_help.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

void Tfrmmain::BitBtn8Click()
{
    ShowHelp(GuideAddress());
}

QUrl Tfrmmain::GuideAddress(const QString &section) const
{
    QUrl address = QUrl::fromLocalFile(Places().Guide);
    if (!section.isEmpty())
        address.setFragment(section);
    return address;
}

void Tfrmmain::ShowHelp(const QUrl &address)
{
    if (!address.isLocalFile() || !QFileInfo(address.toLocalFile()).isFile()) {
        Dialogs().ShowMessage(QStringLiteral("The user guide \"%1\" cannot be found.")
                                  .arg(QDir::toNativeSeparators(address.toLocalFile())));
        return;
    }
    // Asked for from a dialog (the new-card gallery), the window belongs to
    // that dialog: a modal dialog lets its own windows take input, and the
    // window goes with it.
    QWidget *owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
    if (HelpWindow && HelpWindow->parentWidget() != owner)
        delete HelpWindow.data();
    if (!HelpWindow) {
        HelpWindow = new TFrmHelp(owner);
        HelpWindow->OpenOutside = [this](const QUrl &outside) { return OpenWithDesktop(outside); };
    }
    HelpWindow->ShowPage(address);
    HelpWindow->show();
    HelpWindow->raise();
    HelpWindow->activateWindow();
}
