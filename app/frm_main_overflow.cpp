// The overflow marker: a small sign on the selected text box's frame while
// its text runs past the box's lower edge, where the finished card cuts it
// off. Shrinking a box therefore never hides text without a sign.
#include "app/frm_main.h"

#include "controls/scrollbox.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QLabel>

namespace {

constexpr int MarkerSide = 13;

bool TextRunsPastLowerEdge(const TRichEditBox *box)
{
    // The document is laid out to the box's width; its height is what the
    // text needs.
    return box->document()->size().height() > box->viewport()->height() + 0.5;
}

} // namespace

void Tfrmmain::BuildOverflowMarker()
{
    OverflowMarker = new QLabel(QStringLiteral("+"), ScrollBox1->Surface());
    OverflowMarker->setObjectName(QStringLiteral("OverflowMarker"));
    OverflowMarker->setAlignment(Qt::AlignCenter);
    OverflowMarker->setStyleSheet(
        QStringLiteral("QLabel { background: #c00000; color: white; font-weight: bold; border: 1px solid white; }"));
    OverflowMarker->setToolTip(QStringLiteral(
        "The text does not fit: it runs past the lower edge of the box.\nMake the box larger to show all of it."));
    OverflowMarker->setAccessibleName(QStringLiteral("Text does not fit"));
    OverflowMarker->setAccessibleDescription(OverflowMarker->toolTip());
    OverflowMarker->resize(MarkerSide, MarkerSide);
    OverflowMarker->hide();
}

void Tfrmmain::UpdateOverflowMarker()
{
    if (!OverflowMarker)
        return;
    auto *box = Mover ? qobject_cast<TRichEditBox *>(Mover->SelectedControl()) : nullptr;
    // Hidden while the box is being dragged: the mover hides the box then.
    if (!box || box->isHidden() || !TextRunsPastLowerEdge(box)) {
        OverflowMarker->hide();
        return;
    }
    // On the frame's lower edge, between the bottom-middle and the
    // bottom-right handle, clear of both; beyond the bottom-right handle
    // when the box is too narrow for that, so no handle is ever covered.
    const int margin = Mover->FrameMargin;
    const QRect frame = box->geometry().adjusted(-margin, -margin, margin, margin);
    const int middleHandleRight = frame.left() + (frame.width() - TMover::HandleSize) / 2 + TMover::HandleSize;
    const int cornerHandleLeft = frame.left() + frame.width();
    int left = (middleHandleRight + cornerHandleLeft) / 2 - MarkerSide / 2;
    if (left < middleHandleRight + 1 || left + MarkerSide > cornerHandleLeft - 1)
        left = cornerHandleLeft + TMover::HandleSize + 2;
    OverflowMarker->move(left, frame.top() + frame.height() - MarkerSide / 2 - 1);
    OverflowMarker->show();
    OverflowMarker->raise();
}
