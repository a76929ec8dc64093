// New: a card made from a template.
#include "app/frm_main.h"
#include "app/messages.h"

#include "dialogs/frm_new.h"

#include <QFileInfo>

void Tfrmmain::BitBtn1Click()
{
    TFrmNew dialog(ProgramFolder, Dialogs(), this);
    dialog.exec();
    if (!dialog.Accepted)
        return;
    const QString backgroundPath = dialog.CardFolder + QStringLiteral("template.bmp");
    if (!QFileInfo(backgroundPath).isFile()) {
        // CardPath keeps naming the card on show, as after a refused Open.
        Dialogs().ShowMessage(CardErrorMessage);
        return;
    }
    // As with Open, the question comes once the new card is there to replace
    // the open one: a cancelled New asks nothing.
    SaveChangesBeforeReplacing();
    CardPath = backgroundPath;
    OpenCardFolder();
}
