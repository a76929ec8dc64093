#include "imaging/jpeg/coefficientmask.h"

#include "imaging/jpeg/quantization.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSALY_HAVE_PERMUTE_BYTES 1
#endif

namespace {

uint64_t MaskPortable(const TJpegCoefficientBlock &block)
{
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        mask |= uint64_t(block[JpegZigzag[size_t(k)]] != 0) << k;
    return mask;
}

#if TESSALY_HAVE_PERMUTE_BYTES
// GCC 12's own vpermb intrinsic trips its uninitialized-value warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Byte k of the result is byte JpegZigzag[k] of the natural-order flags.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] uint64_t MaskPermuteBytes(const TJpegCoefficientBlock &block)
{
    static const __m512i order = _mm512_loadu_si512(JpegZigzag.data());
    const __m512i low = _mm512_loadu_si512(block.data());
    const __m512i high = _mm512_loadu_si512(block.data() + 32);
    const uint64_t natural = uint64_t(_mm512_test_epi16_mask(low, low)) |
                             uint64_t(_mm512_test_epi16_mask(high, high)) << 32;
    const __m512i flags = _mm512_movm_epi8(natural);
    return _mm512_movepi8_mask(_mm512_permutexvar_epi8(order, flags));
}
#pragma GCC diagnostic pop

using MaskFunction = uint64_t (*)(const TJpegCoefficientBlock &);

MaskFunction ChooseMask()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
        return MaskPermuteBytes;
    return MaskPortable;
}

const MaskFunction SelectedMask = ChooseMask();
#endif

} // namespace

uint64_t ZigzagNonzeroMask(const TJpegCoefficientBlock &block)
{
#if TESSALY_HAVE_PERMUTE_BYTES
    return SelectedMask(block);
#else
    return MaskPortable(block);
#endif
}
