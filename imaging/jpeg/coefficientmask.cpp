#include "imaging/jpeg/coefficientmask.h"

#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/simdlevel.h"

#include <cstdlib>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSALY_HAVE_X86_KERNELS 1
#endif

namespace {

uint64_t MaskPortable(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        mask |= uint64_t(uint32_t(std::abs(block[JpegZigzag[size_t(k)]])) >= threshold) << k;
    return mask;
}

#if TESSALY_HAVE_X86_KERNELS
// GCC 12's own vpermb intrinsic trips its uninitialized-value warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// The flags in natural order, then byte k of the result is byte
// JpegZigzag[k] of the flags.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] uint64_t MaskPermuteBytes(const TJpegCoefficientBlock &block,
                                                                         uint32_t threshold)
{
    static const __m512i order = _mm512_loadu_si512(JpegZigzag.data());
    const __m512i limit = _mm512_set1_epi16(short(uint16_t(threshold)));
    const __m512i low = _mm512_abs_epi16(_mm512_loadu_si512(block.data()));
    const __m512i high = _mm512_abs_epi16(_mm512_loadu_si512(block.data() + 32));
    const uint64_t natural = uint64_t(_mm512_cmpge_epu16_mask(low, limit)) |
                             uint64_t(_mm512_cmpge_epu16_mask(high, limit)) << 32;
    const __m512i flags = _mm512_movm_epi8(natural);
    return _mm512_movepi8_mask(_mm512_permutexvar_epi8(order, flags));
}

[[gnu::target("avx512f,avx512bw,avx512vbmi")]] void MasksPermuteBytes(const TJpegCoefficientBlock &block,
                                                                      uint32_t low, uint32_t high,
                                                                      uint64_t &lowMask, uint64_t &highMask)
{
    static const __m512i order = _mm512_loadu_si512(JpegZigzag.data());
    const __m512i first = _mm512_abs_epi16(_mm512_loadu_si512(block.data()));
    const __m512i second = _mm512_abs_epi16(_mm512_loadu_si512(block.data() + 32));
    for (int i = 0; i < 2; ++i) {
        const __m512i limit = _mm512_set1_epi16(short(uint16_t(i == 0 ? low : high)));
        const uint64_t natural = uint64_t(_mm512_cmpge_epu16_mask(first, limit)) |
                                 uint64_t(_mm512_cmpge_epu16_mask(second, limit)) << 32;
        const uint64_t zigzag = _mm512_movepi8_mask(_mm512_permutexvar_epi8(order, _mm512_movm_epi8(natural)));
        (i == 0 ? lowMask : highMask) = zigzag;
    }
}
#pragma GCC diagnostic pop

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
// AVX2 has no byte permute across its register, so the zigzag reordering
// is made of byte shuffles: output bytes 0..31 and 32..63 each gather from
// the four 16-byte quarters of the flags, a shuffle per quarter whose index
// is 0x80 (a zero byte) where the byte comes from another quarter.
struct ZigzagShuffles {
    alignas(32) uint8_t Index[2][4][32];
};

ZigzagShuffles MakeZigzagShuffles()
{
    ZigzagShuffles shuffles{};
    for (int half = 0; half < 2; ++half)
        for (int quarter = 0; quarter < 4; ++quarter)
            for (int k = 0; k < 32; ++k) {
                const int source = JpegZigzag[size_t(32 * half + k)];
                shuffles.Index[half][quarter][k] = source / 16 == quarter ? uint8_t(source % 16) : 0x80;
            }
    return shuffles;
}

const ZigzagShuffles Shuffles = MakeZigzagShuffles();

// |coefficient| of a block in natural order, four registers of sixteen.
struct Magnitudes {
    __m256i Part[4];
};

[[gnu::target("avx2")]] inline Magnitudes LoadMagnitudes(const TJpegCoefficientBlock &block)
{
    Magnitudes m;
    for (int i = 0; i < 4; ++i)
        m.Part[i] = _mm256_abs_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(block.data() + 16 * i)));
    return m;
}

// The zigzag mask of |value| >= threshold. The magnitude of -32768 reads as
// 32768 unsigned, as in the other paths.
[[gnu::target("avx2")]] inline uint64_t ZigzagMaskAvx2(const Magnitudes &m, uint32_t threshold)
{
    const __m256i limit = _mm256_set1_epi16(short(uint16_t(threshold)));
    __m256i flags[2]; // one byte per coefficient, natural order
    for (int i = 0; i < 2; ++i) {
        const __m256i a = _mm256_cmpeq_epi16(_mm256_max_epu16(m.Part[2 * i], limit), m.Part[2 * i]);
        const __m256i b = _mm256_cmpeq_epi16(_mm256_max_epu16(m.Part[2 * i + 1], limit), m.Part[2 * i + 1]);
        // The pack interleaves the 128-bit lanes; the permute restores the order.
        flags[i] = _mm256_permute4x64_epi64(_mm256_packs_epi16(a, b), 0xD8);
    }
    const __m256i quarters[4] = {_mm256_permute2x128_si256(flags[0], flags[0], 0x00),
                                 _mm256_permute2x128_si256(flags[0], flags[0], 0x11),
                                 _mm256_permute2x128_si256(flags[1], flags[1], 0x00),
                                 _mm256_permute2x128_si256(flags[1], flags[1], 0x11)};
    uint64_t mask = 0;
    for (int half = 0; half < 2; ++half) {
        __m256i zigzag = _mm256_setzero_si256();
        for (int q = 0; q < 4; ++q) {
            const __m256i index = _mm256_load_si256(reinterpret_cast<const __m256i *>(Shuffles.Index[half][q]));
            zigzag = _mm256_or_si256(zigzag, _mm256_shuffle_epi8(quarters[q], index));
        }
        mask |= uint64_t(uint32_t(_mm256_movemask_epi8(zigzag))) << (32 * half);
    }
    return mask;
}

[[gnu::target("avx2")]] uint64_t MaskAvx2(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    return ZigzagMaskAvx2(LoadMagnitudes(block), threshold);
}

[[gnu::target("avx2")]] void MasksAvx2(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high,
                                      uint64_t &lowMask, uint64_t &highMask)
{
    const Magnitudes m = LoadMagnitudes(block);
    lowMask = ZigzagMaskAvx2(m, low);
    highMask = ZigzagMaskAvx2(m, high);
}
#pragma GCC diagnostic pop
#endif

} // namespace

uint64_t ZigzagMagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
#if TESSALY_HAVE_X86_KERNELS
    switch (JpegSimdLevel()) {
    case TJpegSimdLevel::Avx512:
        return MaskPermuteBytes(block, threshold);
    case TJpegSimdLevel::Avx2:
        return MaskAvx2(block, threshold);
    case TJpegSimdLevel::Portable:
        break;
    }
#endif
    return MaskPortable(block, threshold);
}

void ZigzagMagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                          uint64_t &highMask)
{
#if TESSALY_HAVE_X86_KERNELS
    switch (JpegSimdLevel()) {
    case TJpegSimdLevel::Avx512:
        return MasksPermuteBytes(block, low, high, lowMask, highMask);
    case TJpegSimdLevel::Avx2:
        return MasksAvx2(block, low, high, lowMask, highMask);
    case TJpegSimdLevel::Portable:
        break;
    }
#endif
    lowMask = MaskPortable(block, low);
    highMask = MaskPortable(block, high);
}
