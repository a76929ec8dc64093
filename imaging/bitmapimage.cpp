#include "imaging/bitmapimage.h"

void TBitmapImage::SetSize(int32_t width, int32_t height)
{
    Width = width;
    Height = height;
    // The product is kept as a 32-bit value, as the field is; it wraps the
    // way the stored field would rather than overflowing in C++.
    PixelCount = static_cast<int32_t>(static_cast<uint32_t>(int64_t(width) * int64_t(height)));
    if (PixelCount < 0)
        throw std::range_error("Range check error");
    Pixels.resize(size_t(PixelCount));
}

TBitmapImageCoder::~TBitmapImageCoder()
{
    ProgressFunction = nullptr;
    ProgressData = 0;
}

void TBitmapImageCoder::ReportProgress(uint32_t currentPass, uint32_t passCount,
                                       const std::string &description, uint32_t percentDone)
{
    if (!ProgressFunction)
        return;
    bool abort = false;
    ProgressFunction(*this, ProgressData, currentPass, passCount, description, percentDone, abort);
    if (abort)
        throw EGraphicsAbort();
}
