// Change picture: the user's own picture in the first picture frame.
#include "app/frm_main.h"

#include "card/picture_fit.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_select_edit_image.h"
#include "dialogs/picture_target.h"

void Tfrmmain::SpeedButton1Click()
{
    if (!CardOpenOrAskForOne())
        return;
    const CardLayout &layout = Card_Edit1->Layout;
    if (layout.Pictures[0].Used == 0)
        return;
    // A name that leads out of the card folder is refused before anything
    // can be written.
    const QString target = CardPictureTarget(Card_Edit1->Pic_Path(), layout);
    TFrmselectImage dialog(Dialogs(), this);
    dialog.Init(LastPictureDir, target);
    dialog.SetFrame(SlotSize(layout.Pictures[0].Rect), StoredPictureBound(layout.Paper));
    dialog.exec();
    if (!dialog.Accepted)
        return;
    // Only the picture file changed; the layout stays as it is.
    LastPictureDir = dialog.LastDir;
    Card_Edit1->Compose();
}
