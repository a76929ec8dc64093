#include "imaging/jpeg/scankernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define TESSALY_HAVE_X86_KERNELS 1
#endif

// In scankernels_<level>.cpp.
const TJpegScanKernels &ScanKernelsPortable();
#if TESSALY_HAVE_X86_KERNELS
const TJpegScanKernels &ScanKernelsAvx2();
const TJpegScanKernels &ScanKernelsAvx512();
#endif

const TJpegScanKernels &ScanKernels(TJpegSimdLevel level)
{
#if TESSALY_HAVE_X86_KERNELS
    switch (level) {
    case TJpegSimdLevel::Avx512:
        return ScanKernelsAvx512();
    case TJpegSimdLevel::Avx2:
        return ScanKernelsAvx2();
    case TJpegSimdLevel::Portable:
        break;
    }
#endif
    return ScanKernelsPortable();
}

const TJpegScanKernels &ScanKernels()
{
    return ScanKernels(JpegSimdLevel());
}

void TEobState::Clear(const TJpegEncoderComponent &component)
{
    Run = 0;
    StartRow = StartCol = int32_t(component.FDuRows * component.FDuCols);
    StartPos = 64;
}
