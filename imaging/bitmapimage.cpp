#include "imaging/bitmapimage.h"

#include <cstring>

void TBitmapImage::SetSize(int32_t width, int32_t height)
{
    Width = width;
    Height = height;
    // The product is kept as a 32-bit value, as the field is; it wraps the
    // way the stored field would rather than overflowing in C++.
    PixelCount = static_cast<int32_t>(static_cast<uint32_t>(int64_t(width) * int64_t(height)));
    if (PixelCount < 0)
        throw std::range_error("Range check error");
    const size_t oldLength = Pixels.size();
    const size_t oldCapacity = Pixels.capacity();
    const size_t newLength = size_t(PixelCount);
    Pixels.resize(newLength);
    // A new block comes zeroed; reused capacity may hold pixels from before
    // a shrink.
    if (newLength > oldLength && newLength <= oldCapacity)
        std::memset(static_cast<void *>(Pixels.data() + oldLength), 0, (newLength - oldLength) * sizeof(TPixel));
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
