#pragma once
// Stretching a card's layout to a new pixel size, when its paper changes.

#include "card/card_layout.h"
#include "report/rounding.h"

// The ratios new / old of a change of card size. Raises ECardError when the
// old size has a side of 0, which no ratio can be taken from.
class TLayoutScale {
public:
    TLayoutScale(int oldWidth, int oldHeight, int newWidth, int newHeight);

    double Rx() const { return m_rx; }
    double Ry() const { return m_ry; }

    int X(int value) const { return RoundHalfEven(value * m_rx); }
    int Y(int value) const { return RoundHalfEven(value * m_ry); }

    // Corner by corner.
    SlotRect ScaleRect(const SlotRect &rect) const;

private:
    double m_rx;
    double m_ry;
};

// Scales Pictures[0].Rect when used and every used text slot's Rect;
// Pictures[1] keeps its pixel values.
void RescaleLayout(CardLayout &layout, const TLayoutScale &scale);
