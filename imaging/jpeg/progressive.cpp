// Progressive frames: spectral selection and successive approximation
// (ITU-T T.81 G.1.2).

#include "imaging/jpeg/jpegencoder.h"

void TJpegEncoder::CheckProgressiveScript()
{
    throw EJpegError("Progressive frames are not supported yet");
}

void TJpegEncoder::WriteProgressiveFrame(const TBitmapImage &)
{
}

void TJpegEncoder::EmitEobRun(TJpegEncoderComponent &component, TAcProcedure ac)
{
    if (component.FEobRun > 0) {
        const int n = 31 - __builtin_clz(uint32_t(component.FEobRun));
        ac(component, n * 16, component.FEobRun, n);
        component.FEobRun = 0;
    }
}
