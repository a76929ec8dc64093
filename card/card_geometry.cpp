#include "card/card_geometry.h"

#include <algorithm>

namespace {

// The largest position or size a widget can take.
constexpr int64_t WidgetLimit = (1 << 24) - 1;

int ClampToWidget(int64_t value)
{
    return int(std::clamp<int64_t>(value, -WidgetLimit, WidgetLimit));
}

int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

void CheckCardSize(int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || width > MaxCardSide || height > MaxCardSide)
        throw ECardError(QStringLiteral("The card size in Card.crd (%1 x %2 pixels) cannot be used: "
                                        "each side must be between 1 and %3 pixels.")
                             .arg(width)
                             .arg(height)
                             .arg(MaxCardSide));
    if (int64_t(width) * height > MaxCardPixelCount)
        throw ECardError(QStringLiteral("The card size in Card.crd (%1 x %2 pixels) cannot be used: a card may have "
                                        "at most %3 million pixels.")
                             .arg(width)
                             .arg(height)
                             .arg(MaxCardPixelCount / 1'000'000));
}

QRect SlotToControlRect(const SlotRect &r, QPoint canvasPos)
{
    const int left = ClampToWidget(int64_t(canvasPos.x()) + r.Left);
    const int top = ClampToWidget(int64_t(canvasPos.y()) + r.Top);
    const int width = int(std::clamp<int64_t>(SlotWidth(r), 0, WidgetLimit));
    const int height = int(std::clamp<int64_t>(SlotHeight(r), 0, WidgetLimit));
    return QRect(left, top, width, height);
}

SlotRect ControlToSlotRect(const QRect &bounds, QPoint canvasPos)
{
    SlotRect r;
    const int64_t left = int64_t(bounds.x()) - canvasPos.x();
    const int64_t top = int64_t(bounds.y()) - canvasPos.y();
    r.Left = ClampToInt32(left);
    r.Top = ClampToInt32(top);
    r.Right = ClampToInt32(left + bounds.width());
    r.Bottom = ClampToInt32(top + bounds.height());
    return r;
}

SlotRect KeptSlotRect(const SlotRect &stored, const QRect &bounds, QPoint canvasPos)
{
    return SlotToControlRect(stored, canvasPos) == bounds ? stored : ControlToSlotRect(bounds, canvasPos);
}

VisibleSlot VisiblePartOfSlot(const SlotRect &r, QSize cardSize, QSize pictureSize)
{
    return VisiblePartOfSlot(r, cardSize, QRect(QPoint(0, 0), pictureSize));
}

VisibleSlot VisiblePartOfSlot(const SlotRect &r, QSize cardSize, const QRect &part)
{
    const double width = double(SlotWidth(r));
    const double height = double(SlotHeight(r));
    const QSize pictureSize = part.size();
    if (width <= 0 || height <= 0 || pictureSize.isEmpty())
        return {};
    const QRectF slot(double(r.Left), double(r.Top), width, height);
    const QRectF target = slot.intersected(QRectF(QPointF(0, 0), QSizeF(cardSize)));
    if (target.isEmpty())
        return {};
    const double sx = pictureSize.width() / width;
    const double sy = pictureSize.height() / height;
    const QRectF source(part.left() + (target.left() - slot.left()) * sx, part.top() + (target.top() - slot.top()) * sy,
                        target.width() * sx, target.height() * sy);
    return {target, source};
}
