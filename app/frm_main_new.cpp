// New: a card made from a template.
#include "app/frm_main.h"

#include "dialogs/frm_new.h"

void Tfrmmain::BitBtn1Click()
{
    Places().MakeCardsFolder();
    TFrmNew dialog(Places(), Dialogs(), this);
    // The guide's page on more templates opens in the help window.
    dialog.OpenAddress = [this](const QUrl &address) {
        if (!address.isLocalFile())
            return OpenWithDesktop(address);
        ShowHelp(address);
        return true;
    };
    dialog.exec();
    if (!dialog.Accepted)
        return;
    OpenInPlaceOfTheCard(dialog.CardFolder + QStringLiteral("template.bmp"));
}
