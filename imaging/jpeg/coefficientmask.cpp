#include "imaging/jpeg/coefficientmask.h"

#include "imaging/jpeg/scankernels.h"

uint64_t ZigzagMagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    return ScanKernels().MagnitudeMask(block, threshold);
}

void ZigzagMagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                          uint64_t &highMask)
{
    ScanKernels().MagnitudeMasks(block, low, high, lowMask, highMask);
}
