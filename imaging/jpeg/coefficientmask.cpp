#include "imaging/jpeg/coefficientmask.h"

#include "imaging/jpeg/quantization.h"

#include <cstdlib>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSALY_HAVE_PERMUTE_BYTES 1
#endif

namespace {

uint64_t MaskPortable(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        mask |= uint64_t(uint32_t(std::abs(block[JpegZigzag[size_t(k)]])) >= threshold) << k;
    return mask;
}

#if TESSALY_HAVE_PERMUTE_BYTES
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

using MaskFunction = uint64_t (*)(const TJpegCoefficientBlock &, uint32_t);

MaskFunction ChooseMask()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
        return MaskPermuteBytes;
    return MaskPortable;
}

const MaskFunction SelectedMask = ChooseMask();
const bool PermuteBytes = SelectedMask == MaskPermuteBytes;
#endif

} // namespace

uint64_t ZigzagMagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
#if TESSALY_HAVE_PERMUTE_BYTES
    return SelectedMask(block, threshold);
#else
    return MaskPortable(block, threshold);
#endif
}

void ZigzagMagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                          uint64_t &highMask)
{
#if TESSALY_HAVE_PERMUTE_BYTES
    if (PermuteBytes) {
        MasksPermuteBytes(block, low, high, lowMask, highMask);
        return;
    }
#endif
    lowMask = ZigzagMagnitudeMask(block, low);
    highMask = ZigzagMagnitudeMask(block, high);
}
