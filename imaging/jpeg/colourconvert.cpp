#include "imaging/jpeg/colourconvert.h"

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/component.h"
#include "imaging/jpeg/forwarddct.h"
#include "imaging/jpeg/jpegencoder.h"

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

// ---- Sample arrays ----

namespace {

uint32_t RoundUp(uint32_t n, uint32_t factor)
{
    const uint32_t unit = 8 * factor;
    return (n + unit - 1) / unit * unit;
}

uint32_t CeilDiv(uint64_t n, uint64_t d)
{
    return uint32_t((n + d - 1) / d);
}

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
    component.FSampleCols = RoundUp(width, hFactor);
    component.FSampleRows = RoundUp(height, vFactor);
    component.FSamples.clear();
    component.FSamples.resize(size_t(component.FSampleRows) * component.FSampleCols);
    component.FScanRows = CeilDiv(uint64_t(height) * component.FVSampling, 8ull * vFactor);
    component.FScanCols = CeilDiv(uint64_t(width) * component.FHSampling, 8ull * hFactor);
}

namespace {

// Divides n (0 <= n < 2^24) by d, exactly: the single-precision estimate is
// off by at most one, which the remainder corrects.
[[gnu::always_inline]] inline int DivideExactly(int n, int d, float reciprocal, int &remainder)
{
    int q = int(float(n) * reciprocal);
    int r = n - q * d;
    const int over = r >= d, under = r < 0;
    q += over - under;
    r -= (over - under) * d;
    remainder = r;
    return q;
}

// Converts one row. Pixels with an exact half are marked in halves[] and
// redone afterwards, so this loop has no branch and vectorizes.
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target_clones("arch=x86-64-v4", "avx2", "default")]]
#endif
bool ConvertRowFast(const TPixel *pixels, uint32_t width, uint8_t *yRow, uint8_t *cbRow, uint8_t *crRow,
                    uint8_t *halves)
{
    int any = 0;
    for (uint32_t x = 0; x < width; ++x) {
        const int r = pixels[x].Red, g = pixels[x].Green, b = pixels[x].Blue;
        // The scaled values plus half the divisor: the quotients are the
        // values rounded half up, and a zero remainder marks an exact half.
        int yRest, cbRest, crRest;
        const int y = DivideExactly(299 * r + 587 * g + 114 * b + 500, 1000, 0.001f, yRest);
        const int cb = DivideExactly(1285000 - 1687 * r - 3313 * g + 5000 * b, 10000, 0.0001f, cbRest);
        const int cr = DivideExactly(1285000 + 5000 * r - 4187 * g - 813 * b, 10000, 0.0001f, crRest);
        const int half = (yRest == 0) | (cbRest == 0) | (crRest == 0);
        halves[x] = uint8_t(half);
        any |= half;
        yRow[x] = uint8_t(y);
        cbRow[x] = uint8_t(cb > 255 ? 255 : cb);
        crRow[x] = uint8_t(cr > 255 ? 255 : cr);
    }
    return any != 0;
}

void ConvertRow(const TPixel *pixels, uint32_t width, uint8_t *yRow, uint8_t *cbRow, uint8_t *crRow,
                uint8_t *halves)
{
    if (!ConvertRowFast(pixels, width, yRow, cbRow, crRow, halves))
        return;
    for (const uint8_t *half = halves; (half = static_cast<const uint8_t *>(
                                             std::memchr(half, 1, size_t(halves + width - half)))) != nullptr;
         ++half) {
        const uint32_t x = uint32_t(half - halves);
        const TPixel &p = pixels[x];
        yRow[x] = ComputeY(p.Red, p.Green, p.Blue);
        cbRow[x] = ComputeCb(p.Red, p.Green, p.Blue);
        crRow[x] = ComputeCr(p.Red, p.Green, p.Blue);
    }
}

} // namespace

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
    std::vector<uint8_t> halves(width);
    for (uint32_t row = 0; row < height; ++row) {
        uint8_t *yRow = &y.FSamples[row * cols];
        uint8_t *cbRow = &cb.FSamples[row * cols];
        uint8_t *crRow = &cr.FSamples[row * cols];
        ConvertRow(&image.Pixels[size_t(row) * width], width, yRow, cbRow, crRow, halves.data());
        std::memset(yRow + width, yRow[width - 1], cols - width);
        std::memset(cbRow + width, cbRow[width - 1], cols - width);
        std::memset(crRow + width, crRow[width - 1], cols - width);
        progress.Row();
    }
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
    const TJpegEncoderQuantizationTable &table = *component.FQuantTable;
    const size_t cols = component.FSampleCols;
    const uint8_t *samples = component.FSamples.data();
    const uint32_t vRatio = maxV / component.FVSampling;
    const uint32_t hRatio = maxH / component.FHSampling;
    const uint32_t area = vRatio * hRatio;
    RowProgress progress(encoder, "Sampling", component.FDuRows);
    TJpegCoefficientBlock *out = component.FCoefficients.data();
    uint8_t block[64];
    for (uint32_t r = 0; r < component.FDuRows; ++r) {
        for (uint32_t c = 0; c < component.FDuCols; ++c) {
            if (area == 1) {
                for (int y = 0; y < 8; ++y)
                    std::memcpy(block + 8 * y, samples + (8 * r + y) * cols + 8 * c, 8);
            } else {
                for (uint32_t y = 0; y < 8; ++y)
                    for (uint32_t x = 0; x < 8; ++x) {
                        uint32_t sum = 0;
                        for (uint32_t i = 0; i < vRatio; ++i) {
                            const uint8_t *line = samples + (8 * vRatio * r + vRatio * y + i) * cols
                                                  + 8 * hRatio * c + hRatio * x;
                            for (uint32_t j = 0; j < hRatio; ++j)
                                sum += line[j];
                        }
                        block[8 * y + x] = uint8_t(sum / area);
                    }
            }
            TransformBlock(block, table, (out++)->data());
        }
        progress.Row();
    }
    progress.Done();
}

void ConvertGray(TJpegEncoder &encoder, const TBitmapImage &image, TJpegEncoderComponent &y)
{
    const uint32_t width = uint32_t(image.Width);
    const uint32_t height = uint32_t(image.Height);
    // Only the scan extent is wanted here; the samples go straight into blocks.
    PrepareSamples(y, width, height, y.FHSampling, y.FVSampling);
    y.FSamples.clear();
    y.FSamples.shrink_to_fit();
    y.FDuRows = (height + 7) / 8;
    y.FDuCols = (width + 7) / 8;
    y.FCoefficients.clear();
    y.FCoefficients.resize(size_t(y.FDuRows) * y.FDuCols);
    const TJpegEncoderQuantizationTable &table = *y.FQuantTable;
    RowProgress progress(encoder, "Grayscale Convert", y.FDuRows);
    TJpegCoefficientBlock *out = y.FCoefficients.data();
    uint8_t block[64];
    for (uint32_t r = 0; r < y.FDuRows; ++r) {
        for (uint32_t c = 0; c < y.FDuCols; ++c) {
            for (uint32_t row = 0; row < 8; ++row)
                for (uint32_t col = 0; col < 8; ++col) {
                    const uint32_t py = 8 * r + row;
                    const uint32_t px = 8 * c + col;
                    if (py < height && px < width) {
                        const TPixel &p = image.Pixels[size_t(py) * width + px];
                        block[8 * row + col] = ComputeY(p.Red, p.Green, p.Blue);
                    } else {
                        block[8 * row + col] = 128;
                    }
                }
            TransformBlock(block, table, (out++)->data());
        }
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
