#include "imaging/bmprows.h"

#include "imaging/streamreading.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSALY_HAVE_X86_KERNELS 1
#endif

namespace {

void ConvertPackedRow(const uint8_t *row, TPixel *out, int32_t width, unsigned bits,
                      const std::array<TBmpColor, 256> &colorMap)
{
    const unsigned perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int32_t x = 0; x < width; ++x) {
        const unsigned shift = 8 - (unsigned(x) % perByte + 1) * bits;
        const TBmpColor &c = colorMap[(row[unsigned(x) / perByte] >> shift) & mask];
        out[x] = TPixel{c.Blue, c.Green, c.Red, 0};
    }
}

void ConvertByteRow(const uint8_t *row, TPixel *out, int32_t width, const std::array<TBmpColor, 256> &colorMap)
{
    for (int32_t x = 0; x < width; ++x) {
        const TBmpColor &c = colorMap[row[x]];
        out[x] = TPixel{c.Blue, c.Green, c.Red, 0};
    }
}

void ConvertMaskedRow(const uint8_t *row, TPixel *out, int32_t width, unsigned bytesPerPixel,
                      const TBmpChannelMasks &masks)
{
    for (int32_t x = 0; x < width; ++x, row += bytesPerPixel) {
        const uint32_t word = bytesPerPixel == 2 ? LittleEndian16(row) : LittleEndian32(row);
        out[x] = masks.Split(word);
    }
}

#if TESSALY_HAVE_X86_KERNELS
using RgbRowConverter = void (*)(const uint8_t *, TPixel *, int32_t);

RgbRowConverter ChooseRgbRowConverter()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? ConvertRgbRowAvx2 : ConvertRgbRowPortable;
}

const RgbRowConverter ConvertRgbRow = ChooseRgbRowConverter();
#else
const auto ConvertRgbRow = ConvertRgbRowPortable;
#endif

} // namespace

void ConvertRgbRowPortable(const uint8_t *row, TPixel *out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, row += 3)
        out[x] = TPixel{row[0], row[1], row[2], 0};
}

#if TESSALY_HAVE_X86_KERNELS
// Eight pixels per step: each 128-bit half spreads four 3-byte pixels into
// four 4-byte ones with a zero alpha. A step reads 32 bytes for its 24, so
// it stops while the row still has those bytes; the rest goes pixel by pixel.
[[gnu::target("avx2")]] void ConvertRgbRowAvx2(const uint8_t *row, TPixel *out, int32_t width)
{
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int32_t x = 0;
    for (; x + 11 <= width; x += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 3 * x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 3 * x + 12));
        const __m256i pixels = _mm256_shuffle_epi8(_mm256_set_m128i(high, low), spread);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + x), pixels);
    }
    ConvertRgbRowPortable(row + 3 * x, out + x, width - x);
}
#else
void ConvertRgbRowAvx2(const uint8_t *row, TPixel *out, int32_t width)
{
    ConvertRgbRowPortable(row, out, width);
}
#endif

bool BmpRowsUseAvx2()
{
    return ConvertRgbRow == ConvertRgbRowAvx2;
}

void ConvertBmpRow(const TBmpRowLayout &layout, const uint8_t *row, TPixel *out)
{
    switch (layout.BitCount) {
    case 1:
    case 2:
    case 4:
        ConvertPackedRow(row, out, layout.Width, layout.BitCount, *layout.ColorMap);
        break;
    case 8:
        ConvertByteRow(row, out, layout.Width, *layout.ColorMap);
        break;
    case 24:
        ConvertRgbRow(row, out, layout.Width);
        break;
    default:
        ConvertMaskedRow(row, out, layout.Width, layout.BitCount / 8, layout.Masks);
        break;
    }
}
