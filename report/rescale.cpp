#include "report/rescale.h"

TLayoutScale::TLayoutScale(int oldWidth, int oldHeight, int newWidth, int newHeight)
{
    if (oldWidth == 0 || oldHeight == 0)
        throw ECardError(QStringLiteral("The card's stored size is %1 x %2 pixels, so its layout cannot "
                                        "be stretched to the new paper.")
                             .arg(oldWidth)
                             .arg(oldHeight));
    m_rx = double(newWidth) / double(oldWidth);
    m_ry = double(newHeight) / double(oldHeight);
}

SlotRect TLayoutScale::ScaleRect(const SlotRect &rect) const
{
    SlotRect scaled;
    scaled.Left = X(rect.Left);
    scaled.Right = X(rect.Right);
    scaled.Top = Y(rect.Top);
    scaled.Bottom = Y(rect.Bottom);
    return scaled;
}

void RescaleLayout(CardLayout &layout, const TLayoutScale &scale)
{
    if (layout.Pictures[0].Used != 0)
        layout.Pictures[0].Rect = scale.ScaleRect(layout.Pictures[0].Rect);
    for (TextSlot &text : layout.Texts)
        if (text.Used != 0)
            text.Rect = scale.ScaleRect(text.Rect);
}
