// The scan kernels with AVX-512 (F, BW, CD, DQ, VL): a block goes into
// zigzag order with two word permutes, and one compare marks its
// coefficients.

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/scankernels.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

// Built before the target below applies: the table is made at start-up, on
// any CPU.
namespace jpeg_avx512 {

struct ZigzagOrder {
    alignas(64) int16_t Index[64];
};

ZigzagOrder MakeZigzagOrder()
{
    ZigzagOrder order{};
    for (int k = 0; k < 64; ++k)
        order.Index[k] = int16_t(JpegZigzag[size_t(k)]);
    return order;
}

const ZigzagOrder Order = MakeZigzagOrder();

} // namespace jpeg_avx512

#pragma GCC push_options
#pragma GCC target("arch=x86-64-v4")
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace jpeg_avx512 {

// The block in zigzag order: positions 0..31 and 32..63.
struct Zigzag {
    __m512i First, Second;
};

inline Zigzag ToZigzag(const TJpegCoefficientBlock &block)
{
    const __m512i low = _mm512_loadu_si512(block.data());
    const __m512i high = _mm512_loadu_si512(block.data() + 32);
    return {_mm512_permutex2var_epi16(low, _mm512_load_si512(Order.Index), high),
            _mm512_permutex2var_epi16(low, _mm512_load_si512(Order.Index + 32), high)};
}

// The magnitude of -32768 reads as 32768 unsigned, as on the other levels.
inline uint64_t AtLeast(const Zigzag &magnitude, uint32_t threshold)
{
    const __m512i limit = _mm512_set1_epi16(short(uint16_t(threshold)));
    return uint64_t(_mm512_cmpge_epu16_mask(magnitude.First, limit)) |
           uint64_t(_mm512_cmpge_epu16_mask(magnitude.Second, limit)) << 32;
}

inline Zigzag Magnitudes(const TJpegCoefficientBlock &block)
{
    const Zigzag z = ToZigzag(block);
    return {_mm512_abs_epi16(z.First), _mm512_abs_epi16(z.Second)};
}

inline uint64_t MagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    return AtLeast(Magnitudes(block), threshold);
}

inline void MagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                           uint64_t &highMask)
{
    const Zigzag magnitude = Magnitudes(block);
    lowMask = AtLeast(magnitude, low);
    highMask = AtLeast(magnitude, high);
}

inline uint64_t BitPlane(const TJpegCoefficientBlock &block, int al)
{
    const Zigzag magnitude = Magnitudes(block);
    const __m512i bit = _mm512_set1_epi16(short(1u << al));
    return uint64_t(_mm512_test_epi16_mask(magnitude.First, bit)) |
           uint64_t(_mm512_test_epi16_mask(magnitude.Second, bit)) << 32;
}

struct ZigzagBlock {
    alignas(64) int16_t Values[64];
    uint64_t Mask;

    explicit ZigzagBlock(const TJpegCoefficientBlock &block)
    {
        const Zigzag z = ToZigzag(block);
        _mm512_store_si512(Values, z.First);
        _mm512_store_si512(Values + 32, z.Second);
        Mask = (uint64_t(_mm512_test_epi16_mask(z.First, z.First)) |
                uint64_t(_mm512_test_epi16_mask(z.Second, z.Second)) << 32) &
               ~uint64_t(1);
    }
    uint64_t Nonzero() const { return Mask; }
    int32_t Value(int k) const { return Values[k]; }
};

inline int Bits(uint32_t magnitude)
{
    return 32 - int(_lzcnt_u32(magnitude));
}

#include "imaging/jpeg/scankernels.inc"

} // namespace jpeg_avx512

#pragma GCC diagnostic pop
#pragma GCC pop_options

const TJpegScanKernels &ScanKernelsAvx512()
{
    return jpeg_avx512::Kernels;
}

#endif
