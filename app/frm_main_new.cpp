// New: a card made from a template.
#include "app/frm_main.h"

#include "dialogs/frm_new.h"

void Tfrmmain::BitBtn1Click()
{
    TFrmNew dialog(ProgramFolder, Dialogs(), this);
    dialog.exec();
    if (!dialog.Accepted)
        return;
    OpenInPlaceOfTheCard(dialog.CardFolder + QStringLiteral("template.bmp"));
}
