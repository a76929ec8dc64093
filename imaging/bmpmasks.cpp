#include "imaging/bmpmasks.h"

#include "imaging/bmpdecoder.h"

TBmpChannel TBmpChannel::FromMask(uint32_t mask)
{
    TBmpChannel channel;
    channel.Mask = mask;
    if (mask == 0)
        return channel;
    unsigned shift = 0;
    while (!(mask & (uint32_t(1) << shift)))
        ++shift;
    // Only the run of set bits starting at the lowest one counts.
    unsigned width = 0;
    while (shift + width <= 31 && (mask & (uint32_t(1) << (shift + width))))
        ++width;
    if (shift + width >= 8)
        channel.RightShift = shift + width - 8;
    else
        channel.LeftShift = 8 - shift - width;
    return channel;
}

TBmpChannelMasks TBmpChannelMasks::Prepare(unsigned bitCount, uint32_t red, uint32_t green,
                                           uint32_t blue, uint32_t alpha)
{
    const bool sixteen = bitCount == 16;
    if (red == 0)
        red = sixteen ? 0x7C00 : 0x00FF0000;
    if (green == 0)
        green = sixteen ? 0x03E0 : 0x0000FF00;
    if (blue == 0)
        blue = sixteen ? 0x001F : 0x000000FF;
    if ((red & green) | (red & blue) | (red & alpha) | (green & blue) | (green & alpha)
        | (blue & alpha))
        throw EBmpError("Overlapping component mask");

    TBmpChannelMasks masks;
    masks.Red = TBmpChannel::FromMask(red);
    masks.Green = TBmpChannel::FromMask(green);
    masks.Blue = TBmpChannel::FromMask(blue);
    masks.Alpha = TBmpChannel::FromMask(alpha);
    return masks;
}
