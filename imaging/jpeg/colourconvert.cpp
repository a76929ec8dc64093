#include "imaging/jpeg/colourconvert.h"

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/component.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/strips.h"

#include <cmath>
#include <cstring>
#include <vector>

// ---- Colour equations ----
//
// The fast versions work on the exact value scaled to an integer: Y times
// 1000, Cb and Cr times 10000. The extended evaluation errs by less than
// 1e-16, while a value that is not exactly halfway lies at least 1e-4 from
// the rounding boundary; so both round alike except at exact halves, where
// the extended evaluation may land either side of the half and is used
// itself.

namespace {

inline uint8_t Clamp(long double value)
{
    const long double rounded = std::rint(value); // default mode: halves to even
    if (rounded < 0)
        return 0;
    if (rounded > 255)
        return 255;
    return uint8_t(rounded);
}

inline uint8_t ClampInt(int value)
{
    return value > 255 ? 255 : uint8_t(value);
}

} // namespace

uint8_t ComputeYPrecise(uint8_t red, uint8_t green, uint8_t blue)
{
    return Clamp(0.299L * red + 0.587L * green + 0.114L * blue);
}

uint8_t ComputeCbPrecise(uint8_t red, uint8_t green, uint8_t blue)
{
    return Clamp(-0.1687L * red - 0.3313L * green + 0.5L * blue + 128);
}

uint8_t ComputeCrPrecise(uint8_t red, uint8_t green, uint8_t blue)
{
    return Clamp(0.5L * red - 0.4187L * green - 0.0813L * blue + 128);
}

uint8_t ComputeY(uint8_t red, uint8_t green, uint8_t blue)
{
    const int scaled = 299 * red + 587 * green + 114 * blue; // 0..255000
    if (scaled % 1000 == 500)
        return ComputeYPrecise(red, green, blue);
    return ClampInt((scaled + 500) / 1000);
}

uint8_t ComputeCb(uint8_t red, uint8_t green, uint8_t blue)
{
    const int scaled = 1280000 - 1687 * red - 3313 * green + 5000 * blue; // 5000..2555000
    if (scaled % 10000 == 5000)
        return ComputeCbPrecise(red, green, blue);
    return ClampInt((scaled + 5000) / 10000);
}

uint8_t ComputeCr(uint8_t red, uint8_t green, uint8_t blue)
{
    const int scaled = 1280000 + 5000 * red - 4187 * green - 813 * blue; // 5000..2555000
    if (scaled % 10000 == 5000)
        return ComputeCrPrecise(red, green, blue);
    return ClampInt((scaled + 5000) / 10000);
}

// ---- Whole sample arrays ----
//
// The encoder converts a strip at a time (strips.h); these convert the whole
// picture at once with the same steps.

namespace {

// Progress in 1/256 percent over a number of rows, as every long step reports it.
class RowProgress {
public:
    RowProgress(TJpegEncoder &encoder, const char *description, uint32_t rows)
        : FEncoder(encoder), FDescription(description), FIncrement(25600 / rows) {}
    void Row()
    {
        FTotal += FIncrement;
        FEncoder.ReportProgress(FDescription, FTotal / 256);
    }
    void Done() { FEncoder.ReportProgress(FDescription, 100); }

private:
    TJpegEncoder &FEncoder;
    const char *FDescription;
    uint32_t FIncrement;
    uint32_t FTotal = 0;
};

} // namespace

void PrepareSamples(TJpegEncoderComponent &component, uint32_t width, uint32_t height,
                    uint32_t hFactor, uint32_t vFactor)
{
    SetSampleGeometry(component, width, height, hFactor, vFactor);
    component.FSamples.clear();
    component.FSamples.resize(size_t(component.FSampleRows) * component.FSampleCols);
}

void ConvertColour(TJpegEncoder &encoder, const TBitmapImage &image, uint32_t maxH, uint32_t maxV,
                   TJpegEncoderComponent &y, TJpegEncoderComponent &cb, TJpegEncoderComponent &cr)
{
    const uint32_t width = uint32_t(image.Width);
    const uint32_t height = uint32_t(image.Height);
    PrepareSamples(y, width, height, maxH, maxV);
    PrepareSamples(cb, width, height, maxH, maxV);
    PrepareSamples(cr, width, height, maxH, maxV);
    const size_t cols = y.FSampleCols;
    RowProgress progress(encoder, "RGB Convert", height);
    for (uint32_t row = 0; row < height; ++row) {
        ConvertSampleRow(&image.Pixels[size_t(row) * width], width, cols, &y.FSamples[row * cols],
                         &cb.FSamples[row * cols], &cr.FSamples[row * cols]);
        progress.Row();
    }
    // The bottom edge is replicated to whole MCUs.
    for (TJpegEncoderComponent *component : {&y, &cb, &cr}) {
        uint8_t *samples = component->FSamples.data();
        for (uint32_t row = height; row < component->FSampleRows; ++row)
            std::memcpy(samples + row * cols, samples + (row - 1) * cols, cols);
    }
    progress.Done();
}

void BuildBlocks(TJpegEncoderComponent &component, TJpegEncoder &encoder, uint32_t maxH, uint32_t maxV)
{
    component.FDuRows = component.FVSampling * component.FSampleRows / (8 * maxV);
    component.FDuCols = component.FHSampling * component.FSampleCols / (8 * maxH);
    component.FCoefficients.clear();
    component.FCoefficients.resize(size_t(component.FDuRows) * component.FDuCols);
    const size_t cols = component.FSampleCols;
    const uint32_t vRatio = maxV / component.FVSampling;
    RowProgress progress(encoder, "Sampling", component.FDuRows);
    for (uint32_t r = 0; r < component.FDuRows; ++r) {
        BuildBlockRow(component, component.FSamples.data() + size_t(8 * vRatio * r) * cols, cols, maxH, maxV,
                      component.FCoefficients.data() + size_t(r) * component.FDuCols);
        progress.Row();
    }
    progress.Done();
}

void ConvertGray(TJpegEncoder &encoder, const TBitmapImage &image, TJpegEncoderComponent &y)
{
    const std::array<TJpegEncoderComponent *, 3> components = {&y, nullptr, nullptr};
    const TJpegStrips strips(components, 1, uint32_t(image.Width), uint32_t(image.Height), y.FHSampling,
                             y.FVSampling, true);
    y.FCoefficients.clear();
    y.FCoefficients.resize(size_t(y.FDuRows) * y.FDuCols);
    const TBitmapImageRows rows(image);
    TJpegStripScratch scratch;
    RowProgress progress(encoder, "Grayscale Convert", y.FDuRows);
    for (uint32_t r = 0; r < y.FDuRows; ++r) {
        strips.Convert(rows, r, scratch, {y.FCoefficients.data() + size_t(r) * y.FDuCols, nullptr, nullptr});
        progress.Row();
    }
    progress.Done();
}

void ReleaseBuffers(TJpegEncoderComponent &component)
{
    component.FCoefficients.clear();
    component.FCoefficients.shrink_to_fit();
    component.FSamples.clear();
    component.FSamples.shrink_to_fit();
}
