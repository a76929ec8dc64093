#pragma once
// What the BMP decoder knows about the file it is reading, for one call.
// Shared by the header and row code and the run-length decoders.

#include "imaging/bmpdecoder.h"

#include <cstdint>
#include <istream>

struct TBmpDecoder::DecodeState {
    std::istream &Stream;
    TBitmapImage &Image;

    uint32_t PixelDataOffset = 0;
    uint32_t HeaderSize = 0;
    // As the header gives them: a negative height means top-down rows.
    int32_t Width = 0;
    int32_t Height = 0;
    uint32_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t RedMask = 0;
    uint32_t GreenMask = 0;
    uint32_t BlueMask = 0;
    uint32_t AlphaMask = 0;
    // 64-bit so that no header or table size can wrap it.
    uint64_t Consumed = 0;
    // Width x |Height|, checked against MaxPixelCount before it is set.
    int64_t PixelTotal = 0;

    int64_t Rows() const { return Height < 0 ? -int64_t(Height) : int64_t(Height); }
};

namespace bmp {

enum Compression : uint32_t {
    CompressionNone = 0,
    CompressionRle8 = 1,
    CompressionRle4 = 2,
    CompressionBitFields = 3,
};

inline constexpr uint32_t Os2HeaderSize = 12;
inline constexpr uint32_t WindowsHeaderSize = 40;

} // namespace bmp
