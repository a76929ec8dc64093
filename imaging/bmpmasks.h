#pragma once
// Bit-field colour masks of 16- and 32-bit BMP pixels: each channel is cut
// out of the pixel word and moved so that its top bit lands on bit 7. The
// low bits of a channel narrower than 8 bits stay 0 (5 bits of 31 give 248).

#include "imaging/bitmapimage.h"

#include <cstdint>

struct TBmpChannel {
    uint32_t Mask = 0;
    // Exactly one of the two is non-zero at most; a zero mask has both 0.
    unsigned RightShift = 0;
    unsigned LeftShift = 0;

    static TBmpChannel FromMask(uint32_t mask);

    uint8_t Extract(uint32_t word) const
    {
        return uint8_t(((word & Mask) >> RightShift) << LeftShift);
    }
};

struct TBmpChannelMasks {
    TBmpChannel Red, Green, Blue, Alpha;

    // Fills in the defaults for zero red, green and blue masks (5-5-5 for
    // 16 bits, 8-8-8 for 32) and raises EBmpError "Overlapping component
    // mask" when two masks share a bit.
    static TBmpChannelMasks Prepare(unsigned bitCount, uint32_t red, uint32_t green,
                                    uint32_t blue, uint32_t alpha);

    TPixel Split(uint32_t word) const
    {
        return TPixel{Blue.Extract(word), Green.Extract(word), Red.Extract(word),
                      Alpha.Extract(word)};
    }
};
