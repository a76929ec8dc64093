#pragma once
// Turning one uncompressed BMP row into pixels: shared by the decoder, which
// reads a file's rows in order, and the row reader, which reads any rows.

#include "imaging/bitmapimage.h"
#include "imaging/bmpdecoder.h"
#include "imaging/bmpmasks.h"

#include <array>
#include <cstdint>

struct TBmpRowLayout {
    int32_t Width = 0;
    uint32_t BitCount = 0;
    const std::array<TBmpColor, 256> *ColorMap = nullptr; // 1, 2, 4 and 8 bits
    TBmpChannelMasks Masks;                                // 16 and 32 bits

    // Bytes of a row in the file, padding to a multiple of 4 included.
    uint64_t PaddedRowBytes() const
    {
        const uint64_t bytes = (uint64_t(BitCount) * uint64_t(Width) + 7) / 8;
        return (bytes + 3) & ~uint64_t(3);
    }
};

// Converts the Width pixels of row into out; the padding is ignored.
void ConvertBmpRow(const TBmpRowLayout &layout, const uint8_t *row, TPixel *out);

// 24-bit rows: blue, green, red bytes to pixels with a zero alpha. The vector
// versions, one per CPU level, and the plain one they must agree with.
void ConvertRgbRowPortable(const uint8_t *row, TPixel *out, int32_t width);
void ConvertRgbRowAvx2(const uint8_t *row, TPixel *out, int32_t width);
// Whether ConvertBmpRow uses the AVX2 version here.
bool BmpRowsUseAvx2();
