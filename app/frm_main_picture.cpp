// Change picture: the user's own picture in the first picture frame, kept
// in the card's document (one step of its history) until Save writes it.
#include "app/frm_main.h"

#include "app/messages.h"
#include "card/card_document.h"
#include "card/card_paths.h"
#include "card/picture_fit.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_select_edit_image.h"
#include "dialogs/picture_target.h"

void Tfrmmain::SpeedButton1Click()
{
    if (!CardOpenOrAskForOne())
        return;
    const CardLayout &layout = Document->Layout();
    if (layout.Pictures[0].Used == 0)
        return;
    // A name that leads out of the card folder is refused before a
    // picture can be chosen that Save would write there.
    CardPictureTarget(Document->Folder(), layout);
    // The templates' pictures stay as every new card finds them: refused
    // before the user picks one that Save could never write.
    RefuseTemplateChange(Document->Folder(), Places().TemplateFolders(), TemplateSaveMessage);
    TFrmselectImage dialog(Dialogs(), this);
    // No target file: the dialog hands the picture back instead of writing it.
    dialog.Init(LastPictureDir, QString());
    dialog.ShowPicture(Document->FramePicture(0));
    const QSize frame = SlotSize(layout.Pictures[0].Rect);
    dialog.SetFrame(frame, StoredPictureBound(layout.Paper));
    dialog.exec();
    if (!dialog.Accepted)
        return;
    LastPictureDir = dialog.LastDir;
    // "OK" on the picture the frame shows already changes nothing.
    if (dialog.Chosen.cacheKey() == Document->FramePicture(0).cacheKey())
        return;
    // Cut to the frame's shape, it keeps its proportions when the frame changes.
    Document->ChangePicture(0, ChosenCardPicture(dialog.Chosen, !frame.isEmpty()));
}
