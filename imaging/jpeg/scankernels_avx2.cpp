// The scan kernels with AVX2 (and the BMI, LZCNT and POPCNT of the same CPU
// generation). AVX2 has no byte permute across its register, so the zigzag
// order of a block's flags is made of byte shuffles.

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/scankernels.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

// Built before the target below applies: the tables are made at start-up,
// on any CPU.
namespace jpeg_avx2 {

// Output bytes 0..31 and 32..63 of the zigzag order each gather from the
// four 16-byte quarters of the flags, a shuffle per quarter whose index is
// 0x80 (a zero byte) where the byte comes from another quarter.
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

} // namespace jpeg_avx2

#pragma GCC push_options
#pragma GCC target("arch=x86-64-v3")
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace jpeg_avx2 {

// The zigzag mask of 16-bit flags (all ones or zero) in natural order, four
// registers of sixteen.
inline uint64_t ZigzagMask(const __m256i *flags16)
{
    __m256i flags[2]; // one byte per coefficient, natural order
    for (int i = 0; i < 2; ++i)
        // The pack interleaves the 128-bit lanes; the permute restores the order.
        flags[i] = _mm256_permute4x64_epi64(_mm256_packs_epi16(flags16[2 * i], flags16[2 * i + 1]), 0xD8);
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

// |coefficient| >= threshold as flags. The magnitude of -32768 reads as
// 32768 unsigned, as on the other levels.
inline void Magnitudes(const TJpegCoefficientBlock &block, __m256i *magnitude)
{
    for (int i = 0; i < 4; ++i)
        magnitude[i] =
            _mm256_abs_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(block.data() + 16 * i)));
}

inline uint64_t AtLeast(const __m256i *magnitude, uint32_t threshold)
{
    const __m256i limit = _mm256_set1_epi16(short(uint16_t(threshold)));
    __m256i flags[4];
    for (int i = 0; i < 4; ++i)
        flags[i] = _mm256_cmpeq_epi16(_mm256_max_epu16(magnitude[i], limit), magnitude[i]);
    return ZigzagMask(flags);
}

inline uint64_t MagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    __m256i magnitude[4];
    Magnitudes(block, magnitude);
    return AtLeast(magnitude, threshold);
}

inline void MagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                           uint64_t &highMask)
{
    __m256i magnitude[4];
    Magnitudes(block, magnitude);
    lowMask = AtLeast(magnitude, low);
    highMask = AtLeast(magnitude, high);
}

inline uint64_t BitPlane(const TJpegCoefficientBlock &block, int al)
{
    __m256i magnitude[4];
    Magnitudes(block, magnitude);
    const __m256i bit = _mm256_set1_epi16(short(1u << al));
    __m256i flags[4];
    for (int i = 0; i < 4; ++i)
        flags[i] = _mm256_cmpeq_epi16(_mm256_and_si256(magnitude[i], bit), bit);
    return ZigzagMask(flags);
}

struct ZigzagBlock {
    const int16_t *Natural;
    uint64_t Mask;

    explicit ZigzagBlock(const TJpegCoefficientBlock &block) : Natural(block.data())
    {
        const __m256i zero = _mm256_setzero_si256();
        __m256i zeros[4];
        for (int i = 0; i < 4; ++i)
            zeros[i] =
                _mm256_cmpeq_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(Natural + 16 * i)), zero);
        Mask = ~ZigzagMask(zeros) & ~uint64_t(1);
    }
    uint64_t Nonzero() const { return Mask; }
    int32_t Value(int k) const { return Natural[JpegZigzag[size_t(k)]]; }
};

inline int Bits(uint32_t magnitude)
{
    return 32 - int(_lzcnt_u32(magnitude));
}

#include "imaging/jpeg/scankernels.inc"

} // namespace jpeg_avx2

#pragma GCC diagnostic pop
#pragma GCC pop_options

const TJpegScanKernels &ScanKernelsAvx2()
{
    return jpeg_avx2::Kernels;
}

#endif
