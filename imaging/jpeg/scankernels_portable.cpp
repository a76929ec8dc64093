// The scan kernels without vector instructions, and the public coders'
// procedure-driven versions of the progressive block coders.

#include "imaging/jpeg/coefficientmask.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/quantization.h"
#include "imaging/jpeg/scankernels.h"
#include "imaging/jpeg/symbolsink.h"

namespace jpeg_portable {

inline uint64_t MagnitudeMask(const TJpegCoefficientBlock &block, uint32_t threshold)
{
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k) {
        const int32_t c = block[JpegZigzag[size_t(k)]];
        mask |= uint64_t(uint32_t(c < 0 ? -c : c) >= threshold) << k;
    }
    return mask;
}

inline void MagnitudeMasks(const TJpegCoefficientBlock &block, uint32_t low, uint32_t high, uint64_t &lowMask,
                           uint64_t &highMask)
{
    lowMask = MagnitudeMask(block, low);
    highMask = MagnitudeMask(block, high);
}

inline uint64_t BitPlane(const TJpegCoefficientBlock &block, int al)
{
    uint64_t plane = 0;
    for (int k = 0; k < 64; ++k) {
        const int32_t c = block[JpegZigzag[size_t(k)]];
        plane |= uint64_t((uint32_t(c < 0 ? -c : c) >> al) & 1u) << k;
    }
    return plane;
}

struct ZigzagBlock {
    const int16_t *Natural;
    uint64_t Mask = 0;

    explicit ZigzagBlock(const TJpegCoefficientBlock &block) : Natural(block.data())
    {
        for (int k = 1; k < 64; ++k)
            Mask |= uint64_t(Natural[JpegZigzag[size_t(k)]] != 0) << k;
    }
    uint64_t Nonzero() const { return Mask; }
    int32_t Value(int k) const { return Natural[JpegZigzag[size_t(k)]]; }
};

inline int Bits(uint32_t magnitude)
{
    return magnitude == 0 ? 0 : 32 - __builtin_clz(magnitude);
}

#include "imaging/jpeg/scankernels.inc"

} // namespace jpeg_portable

const TJpegScanKernels &ScanKernelsPortable()
{
    return jpeg_portable::Kernels;
}

void AcFirstBlockThrough(TJpegEncoderComponent &component, TEobState &eob, uint32_t row, uint32_t col,
                         TAcProcedure ac, int ss, int se, int al)
{
    TProcedureSink sink{component, nullptr, ac};
    jpeg_portable::AcFirstBlock(component, eob, row, col, sink, ss, se, al);
}

void AcRefineBlockThrough(TJpegEncoderComponent &component, TEobState &eob, uint32_t row, uint32_t col,
                          TAcProcedure ac, int ss, int se, int al)
{
    TProcedureSink sink{component, nullptr, ac};
    jpeg_portable::AcRefineBlock(component, eob, row, col, sink, ss, se, al);
}

void EobRunThrough(TJpegEncoderComponent &component, TEobState &eob, TAcProcedure ac)
{
    TProcedureSink sink{component, nullptr, ac};
    jpeg_portable::EobRun(eob, sink);
}

void RefineEobRunThrough(TJpegEncoderComponent &component, TEobState &eob, TAcProcedure ac, int ss, int se, int al)
{
    TProcedureSink sink{component, nullptr, ac};
    jpeg_portable::RefineEobRun(component, eob, sink, ss, se, al);
}
