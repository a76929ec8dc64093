// Paper Set and Print: the paper the open card is designed for, and the card
// printed on one page of it.
#include "app/frm_main.h"
#include "app/messages.h"

#include "card/card_compose.h"
#include "card/card_document.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_print.h"
#include "mover/mover.h"
#include "report/rescale.h"
#include "richtext/rich_edit_box.h"

#include <QTabWidget>

#include <optional>

namespace {

// A text box stretched by position and size, as it lies on the surface.
SlotRect ScaleBox(const SlotRect &box, const TLayoutScale &scale)
{
    const int left = scale.X(box.Left);
    const int top = scale.Y(box.Top);
    return {left, top, left + scale.X(box.Right - box.Left), top + scale.Y(box.Bottom - box.Top)};
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

    CardLayout layout = Document->Layout();
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
    if (scale) {
        const CardLayout before = layout;
        RescaleLayout(layout, *scale);
        for (TRichEditBox *box : boxes)
            layout.Texts[TextBoxSlot(box)].Rect = ScaleBox(before.Texts[TextBoxSlot(box)].Rect, *scale);
        if (Mover && Mover->SelectedControl())
            Mover->Unselect();
    }
    layout.Paper = paper;
    // One step of the history, the card composed at its new size from the
    // pictures in memory; the boxes and frames follow the document.
    Document->ChangeLayout(layout, QStringLiteral("paper set"));
}

void Tfrmmain::BitBtn6Click()
{
    if (!CardOpenOrAskForOne())
        return;
    {
        // Written under the lock another window's export or print takes.
        // Temp.bmp is written atomically: when rendering fails, the file
        // holds an earlier card or nothing, and neither may be printed.
        const auto shared = LockSharedFile(TempBmpPath());
        QString failure;
        if (!RenderCard(TempBmpPath(), &failure)) {
            Dialogs().ShowMessage(WithReason(SaveErrorMessage, failure));
            return;
        }
    }
    // The page itself is drawn from the card, not from Temp.bmp: at the
    // printer's resolution, with text as text and each picture from its
    // own file.
    const TCardScene card = CardScene();
    TFrmprint dialog(Dialogs(), this);
    dialog.LoadPaper(Card_Edit1->Layout.Paper);
    dialog.PrintCard(card);
}
