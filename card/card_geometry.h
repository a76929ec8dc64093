#pragma once
// Rectangle and size arithmetic on stored values. Card files are not
// validated, so every computation here is done wide enough (64-bit) or
// clamped that no stored number, negative or huge, can overflow.

#include "card/card_layout.h"

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <cstdint>

// Largest card side, in pixels, that the program composes: far above any
// paper at any resolution, far below what would exhaust memory.
constexpr int32_t MaxCardSide = 20000;

inline int64_t SlotWidth(const SlotRect &r) { return int64_t(r.Right) - r.Left; }
inline int64_t SlotHeight(const SlotRect &r) { return int64_t(r.Bottom) - r.Top; }

// The most pixels a card may have: its canvas (160 MB) leaves the card's
// pictures most of its memory budget, and its rendering (Temp.bmp) stays
// far within what the BMP decoder reads back for a JPEG export.
constexpr int64_t MaxCardPixelCount = 40'000'000;

// Raises ECardError unless both sides are 1 to MaxCardSide pixels and the
// card has no more than MaxCardPixelCount pixels.
void CheckCardSize(int32_t width, int32_t height);

// The bounds a control takes for slot `r` on a canvas at `canvasPos`,
// clamped to what a widget can hold; a negative width or height becomes 0.
QRect SlotToControlRect(const SlotRect &r, QPoint canvasPos);
// The slot rectangle of a control's bounds, measured from `canvasPos`.
SlotRect ControlToSlotRect(const QRect &bounds, QPoint canvasPos);
// The slot rectangle to store for a control placed from `stored`: `stored`
// itself while the control still has the bounds SlotToControlRect gave it
// (so a rectangle beyond what a widget can hold survives Open and Save
// unchanged), else the control's bounds.
SlotRect KeptSlotRect(const SlotRect &stored, const QRect &bounds, QPoint canvasPos);

// The part of slot `r` inside a card of `cardSize`, and the matching part of
// a picture of `pictureSize` stretched over the whole slot. Empty when
// nothing of the slot is inside the card or the slot has no area.
struct VisibleSlot {
    QRectF Target;
    QRectF Source;
    bool IsEmpty() const { return Target.isEmpty() || Source.isEmpty(); }
};
VisibleSlot VisiblePartOfSlot(const SlotRect &r, QSize cardSize, QSize pictureSize);
// The same with only the `part` of the picture stretched over the slot.
VisibleSlot VisiblePartOfSlot(const SlotRect &r, QSize cardSize, const QRect &part);
