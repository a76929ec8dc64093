// Paper Set and Print: the paper the open card is designed for, and the card
// printed on one page of it.
#include "app/frm_main.h"
#include "app/messages.h"

#include "card/card_compose.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_print.h"
#include "mover/mover.h"
#include "report/rescale.h"
#include "richtext/rich_edit_box.h"

#include <QTabWidget>

#include <optional>

namespace {

// A text box stretched by position and size, measured from the canvas.
void ScaleControl(QWidget *control, QPoint canvasPos, const TLayoutScale &scale)
{
    const QPoint onCard = control->pos() - canvasPos;
    control->setGeometry(canvasPos.x() + scale.X(onCard.x()), canvasPos.y() + scale.Y(onCard.y()),
                         scale.X(control->width()), scale.Y(control->height()));
}

bool HasSomethingToScale(const CardLayout &layout, const QList<TRichEditBox *> &boxes)
{
    if (layout.Pictures[0].Used != 0 || !boxes.isEmpty())
        return true;
    for (const TextSlot &text : layout.Texts)
        if (text.Used != 0)
            return true;
    return false;
}

} // namespace

void Tfrmmain::BitBtn5Click()
{
    if (!CardOpenOrAskForOne())
        return;
    TFrmprint dialog(Dialogs(), this);
    dialog.PageControl1->setTabVisible(dialog.PageControl1->indexOf(dialog.TabSheet2), false);
    dialog.LoadPaper(Card_Edit1->Layout.Paper);
    dialog.exec();
    if (!dialog.Accepted)
        return;

    CardLayout layout = Card_Edit1->Layout;
    PaperSettings paper = layout.Paper;  // the padding bytes stay as read
    dialog.ReadPaper(paper);
    const bool resized = paper.CardWidth != layout.Paper.CardWidth || paper.CardHeight != layout.Paper.CardHeight;
    // Cleared, "Auto Adjust" gives the card its new size and leaves the
    // pictures and text boxes where they are, in pixels. A stored size of 0
    // is reported by TLayoutScale, only when there is something to scale.
    const QList<TRichEditBox *> boxes = TextBoxes();
    std::optional<TLayoutScale> scale;
    if (resized && dialog.AutoAdjust() && HasSomethingToScale(layout, boxes))
        scale.emplace(layout.Paper.CardWidth, layout.Paper.CardHeight, paper.CardWidth, paper.CardHeight);
    if (scale)
        RescaleLayout(layout, *scale);
    layout.Paper = paper;

    // The card is composed at its new size before anything on show
    // changes: a picture that can no longer be read ends the command with
    // the card, its boxes and their selection as they were.
    std::optional<QImage> card;
    if (!LayoutsEqual(layout, Card_Edit1->Layout) && HasBackground(layout))
        card = ComposeCard(layout, Card_Edit1->Pic_Path());
    if (scale) {
        if (Mover && Mover->SelectedControl())
            Mover->Unselect();
        for (TRichEditBox *box : boxes)
            ScaleControl(box, Card_Edit1->pos(), *scale);
    }
    if (card)
        Card_Edit1->ShowCard(layout, *card);
    else
        Card_Edit1->SetLayout(layout);
    PlacePictureFrames();
}

void Tfrmmain::BitBtn6Click()
{
    if (!CardOpenOrAskForOne())
        return;
    // Temp.bmp is written atomically: when rendering fails, the file holds
    // an earlier card or nothing, and neither may be printed.
    if (!RenderCard(TempBmpPath())) {
        Dialogs().ShowMessage(SaveErrorMessage);
        return;
    }
    // The page itself is drawn from the card, not from Temp.bmp: at the
    // printer's resolution, with text as text and each picture from its
    // own file.
    const TCardScene card = CardScene();
    TFrmprint dialog(Dialogs(), this);
    dialog.LoadPaper(Card_Edit1->Layout.Paper);
    dialog.PrintCard(card);
}
