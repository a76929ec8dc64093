#include "imaging/jpeg/colourrows.h"

#include "imaging/jpeg/colourconvert.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSALY_HAVE_X86_KERNELS 1
#endif

// Every path computes the equations scaled to integers: Y times 1000, Cb and
// Cr times 10000, plus half the divisor, so that the quotient is the value
// rounded half up. The quotient needs no correction unless the division is
// exact, and an exact division is a value exactly halfway between two
// integers, which the extended evaluation decides (colourconvert.cpp). Such
// pixels are redone one by one. They are few (about 1 in 700 of all colours)
// but a smooth picture repeats the same ones: in a photograph of gradients
// one pixel in 35 can be such a colour. A small table of the colours redone
// last keeps their samples, so that each is worked out once.
//
// Numerators: Y  = 299 R + 587 G + 114 B + 500           (0..255500)
//             Cb = 1285000 - 1687 R - 3313 G + 5000 B    (5000..2560000)
//             Cr = 1285000 + 5000 R - 4187 G - 813 B     (5000..2560000)

namespace {

// Colours redone recently, with their samples: bits 0..23 Y, Cb, Cr, bits
// 32..55 the colour, bit 63 set when the entry is filled. One per thread.
struct THalfColours {
    static constexpr int Bits = 10;
    uint64_t Entry[1 << Bits] = {};
};
thread_local THalfColours halfColours;

void RedoPixel(const TPixel &p, uint8_t &y, uint8_t &cb, uint8_t &cr)
{
    const uint32_t colour = uint32_t(p.Red) << 16 | uint32_t(p.Green) << 8 | p.Blue;
    const uint64_t key = uint64_t(1) << 63 | uint64_t(colour) << 32;
    uint64_t &entry = halfColours.Entry[(colour * 2654435761u) >> (32 - THalfColours::Bits)];
    if ((entry & ~uint64_t(0xFFFFFFFF)) != key) {
        const uint32_t samples = uint32_t(ComputeY(p.Red, p.Green, p.Blue)) |
                                 uint32_t(ComputeCb(p.Red, p.Green, p.Blue)) << 8 |
                                 uint32_t(ComputeCr(p.Red, p.Green, p.Blue)) << 16;
        entry = key | samples;
    }
    y = uint8_t(entry);
    cb = uint8_t(entry >> 8);
    cr = uint8_t(entry >> 16);
}

void ConvertPortable(const TPixel *pixels, uint32_t width, uint8_t *yRow, uint8_t *cbRow, uint8_t *crRow)
{
    for (uint32_t x = 0; x < width; ++x) {
        const int r = pixels[x].Red, g = pixels[x].Green, b = pixels[x].Blue;
        const int y = 299 * r + 587 * g + 114 * b + 500;
        const int cb = 1285000 - 1687 * r - 3313 * g + 5000 * b;
        const int cr = 1285000 + 5000 * r - 4187 * g - 813 * b;
        if (y % 1000 == 0 || cb % 10000 == 0 || cr % 10000 == 0) {
            RedoPixel(pixels[x], yRow[x], cbRow[x], crRow[x]);
            continue;
        }
        yRow[x] = uint8_t(y / 1000);
        cbRow[x] = uint8_t(cb / 10000 > 255 ? 255 : cb / 10000);
        crRow[x] = uint8_t(cr / 10000 > 255 ? 255 : cr / 10000);
    }
}

#if TESSALY_HAVE_X86_KERNELS

// The single-precision quotient of n (below 2^22) by d is exact unless the
// division is exact, when it may come out one too small: the remainder is
// then 0 or d, which marks the pixel for redoing.

#define TESSALY_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

struct Quotient8 {
    __m256i Value;
    __m256i Exact; // all ones where the division was exact
};

TESSALY_AVX2 Quotient8 Divide8(__m256i n, float reciprocal, int d)
{
    const __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), _mm256_set1_ps(reciprocal)));
    const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, _mm256_set1_epi32(d)));
    const __m256i exact = _mm256_or_si256(_mm256_cmpeq_epi32(r, _mm256_setzero_si256()),
                                          _mm256_cmpeq_epi32(r, _mm256_set1_epi32(d)));
    return {q, exact};
}

// Eight 32-bit values (at most 256) to bytes, 256 becoming 255.
TESSALY_AVX2 uint64_t PackBytes8(__m256i v)
{
    const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    return uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(words, words)));
}

[[gnu::target("avx2")]] void ConvertAvx2(const TPixel *pixels, uint32_t width, uint8_t *yRow, uint8_t *cbRow,
                                             uint8_t *crRow)
{
    // Words (B, R) and (G, A) of each pixel, multiplied pairwise and summed.
    const __m256i lowByte = _mm256_set1_epi32(0x00FF00FF);
    const __m256i yBr = _mm256_set1_epi32((299 << 16) | 114);
    const __m256i yG = _mm256_set1_epi32(587);
    const __m256i cbBr = _mm256_set1_epi32(int32_t(uint32_t(-1687) << 16) | 5000);
    const __m256i cbG = _mm256_set1_epi32(-3313 & 0xFFFF);
    const __m256i crBr = _mm256_set1_epi32((5000 << 16) | (-813 & 0xFFFF));
    const __m256i crG = _mm256_set1_epi32(-4187 & 0xFFFF);
    const __m256i yBias = _mm256_set1_epi32(500);
    const __m256i cBias = _mm256_set1_epi32(1285000);
    uint32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pixels + x));
        const __m256i br = _mm256_and_si256(p, lowByte);
        const __m256i ga = _mm256_and_si256(_mm256_srli_epi32(p, 8), lowByte);
        const __m256i yn = _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(br, yBr), _mm256_madd_epi16(ga, yG)),
                                            yBias);
        const __m256i cbn =
            _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(br, cbBr), _mm256_madd_epi16(ga, cbG)), cBias);
        const __m256i crn =
            _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(br, crBr), _mm256_madd_epi16(ga, crG)), cBias);
        const Quotient8 y = Divide8(yn, 0.001f, 1000);
        const Quotient8 cb = Divide8(cbn, 0.0001f, 10000);
        const Quotient8 cr = Divide8(crn, 0.0001f, 10000);
        const uint64_t yBytes = PackBytes8(y.Value), cbBytes = PackBytes8(cb.Value), crBytes = PackBytes8(cr.Value);
        __builtin_memcpy(yRow + x, &yBytes, 8);
        __builtin_memcpy(cbRow + x, &cbBytes, 8);
        __builtin_memcpy(crRow + x, &crBytes, 8);
        uint32_t exact = uint32_t(_mm256_movemask_ps(
            _mm256_castsi256_ps(_mm256_or_si256(_mm256_or_si256(y.Exact, cb.Exact), cr.Exact))));
        for (; exact != 0; exact &= exact - 1) {
            const uint32_t i = x + uint32_t(__builtin_ctz(exact));
            RedoPixel(pixels[i], yRow[i], cbRow[i], crRow[i]);
        }
    }
    ConvertPortable(pixels + x, width - x, yRow + x, cbRow + x, crRow + x);
}

// GCC 12's own AVX-512 intrinsics trip its uninitialized-value warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#define TESSALY_AVX512 [[gnu::target("arch=x86-64-v4"), gnu::always_inline]] inline

struct Quotient16 {
    __m512i Value;
    __mmask16 Exact;
};

TESSALY_AVX512 Quotient16 Divide16(__m512i n, float reciprocal, int d)
{
    const __m512i q = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(n), _mm512_set1_ps(reciprocal)));
    const __m512i r = _mm512_sub_epi32(n, _mm512_mullo_epi32(q, _mm512_set1_epi32(d)));
    return {q, __mmask16(_mm512_cmpeq_epi32_mask(r, _mm512_setzero_si512())
                         | _mm512_cmpeq_epi32_mask(r, _mm512_set1_epi32(d)))};
}

[[gnu::target("arch=x86-64-v4")]] void ConvertAvx512(const TPixel *pixels, uint32_t width, uint8_t *yRow,
                                                     uint8_t *cbRow, uint8_t *crRow)
{
    const __m512i lowByte = _mm512_set1_epi32(0x00FF00FF);
    const __m512i yBr = _mm512_set1_epi32((299 << 16) | 114);
    const __m512i yG = _mm512_set1_epi32(587);
    const __m512i cbBr = _mm512_set1_epi32(int32_t(uint32_t(-1687) << 16) | 5000);
    const __m512i cbG = _mm512_set1_epi32(-3313 & 0xFFFF);
    const __m512i crBr = _mm512_set1_epi32((5000 << 16) | (-813 & 0xFFFF));
    const __m512i crG = _mm512_set1_epi32(-4187 & 0xFFFF);
    const __m512i yBias = _mm512_set1_epi32(500);
    const __m512i cBias = _mm512_set1_epi32(1285000);
    for (uint32_t x = 0; x < width; x += 16) {
        // The last step loads and stores only the pixels the row has.
        const __mmask16 lanes = width - x >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (width - x)) - 1u);
        const __m512i p = _mm512_maskz_loadu_epi32(lanes, pixels + x);
        const __m512i br = _mm512_and_si512(p, lowByte);
        const __m512i ga = _mm512_and_si512(_mm512_srli_epi32(p, 8), lowByte);
        const __m512i yn = _mm512_add_epi32(_mm512_add_epi32(_mm512_madd_epi16(br, yBr), _mm512_madd_epi16(ga, yG)),
                                            yBias);
        const __m512i cbn =
            _mm512_add_epi32(_mm512_add_epi32(_mm512_madd_epi16(br, cbBr), _mm512_madd_epi16(ga, cbG)), cBias);
        const __m512i crn =
            _mm512_add_epi32(_mm512_add_epi32(_mm512_madd_epi16(br, crBr), _mm512_madd_epi16(ga, crG)), cBias);
        const Quotient16 y = Divide16(yn, 0.001f, 1000);
        const Quotient16 cb = Divide16(cbn, 0.0001f, 10000);
        const Quotient16 cr = Divide16(crn, 0.0001f, 10000);
        // Unsigned saturation turns a Cb or Cr of 256 into 255.
        _mm_mask_storeu_epi8(yRow + x, lanes, _mm512_cvtusepi32_epi8(y.Value));
        _mm_mask_storeu_epi8(cbRow + x, lanes, _mm512_cvtusepi32_epi8(cb.Value));
        _mm_mask_storeu_epi8(crRow + x, lanes, _mm512_cvtusepi32_epi8(cr.Value));
        for (uint32_t exact = uint32_t((y.Exact | cb.Exact | cr.Exact) & lanes); exact != 0; exact &= exact - 1) {
            const uint32_t i = x + uint32_t(__builtin_ctz(exact));
            RedoPixel(pixels[i], yRow[i], cbRow[i], crRow[i]);
        }
    }
}

#pragma GCC diagnostic pop

#endif

} // namespace

void ConvertPixelRowAt(TJpegSimdLevel level, const TPixel *pixels, uint32_t width, uint8_t *y, uint8_t *cb,
                       uint8_t *cr)
{
#if TESSALY_HAVE_X86_KERNELS
    switch (level) {
    case TJpegSimdLevel::Avx512:
        return ConvertAvx512(pixels, width, y, cb, cr);
    case TJpegSimdLevel::Avx2:
        return ConvertAvx2(pixels, width, y, cb, cr);
    case TJpegSimdLevel::Portable:
        break;
    }
#endif
    ConvertPortable(pixels, width, y, cb, cr);
}

void ConvertPixelRow(const TPixel *pixels, uint32_t width, uint8_t *y, uint8_t *cb, uint8_t *cr)
{
    ConvertPixelRowAt(JpegSimdLevel(), pixels, width, y, cb, cr);
}
