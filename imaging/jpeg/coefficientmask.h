#pragma once
// Which coefficients of a block reach a magnitude, in zigzag order: the scan
// coders skip the rest through these masks instead of testing all 64.

#include "imaging/jpeg/component.h"

#include <cstdint>

// Bit k is set when the coefficient at zigzag position k has |value| >=
// threshold (1 <= threshold <= 32768).
uint64_t ZigzagMagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold);

// Both masks of a refinement: |value| >= low and |value| >= high.
void ZigzagMagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                          uint64_t &highMask);

// Bit k is set when the coefficient at zigzag position k is not zero.
inline uint64_t ZigzagNonzeroMask(const TJpegCoefficientBlock &block)
{
    return ZigzagMagnitudeMask(block, 1);
}

// Bits first..last set (0 <= first, last <= 63); empty when last < first.
inline uint64_t BandMask(int first, int last)
{
    if (last < first)
        return 0;
    const uint64_t upTo = last == 63 ? ~uint64_t(0) : (uint64_t(1) << (last + 1)) - 1;
    return upTo & ~((uint64_t(1) << first) - 1);
}
