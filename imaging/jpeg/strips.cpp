#include "imaging/jpeg/strips.h"

#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/colourrows.h"
#include "imaging/jpeg/forwarddct.h"
#include "imaging/jpeg/quantization.h"

#include <algorithm>
#include <cstring>

void ConvertSampleRow(const TPixel *pixels, uint32_t width, size_t cols, uint8_t *y, uint8_t *cb, uint8_t *cr)
{
    ConvertPixelRow(pixels, width, y, cb, cr);
    // The right edge is replicated to whole MCUs.
    std::memset(y + width, y[width - 1], cols - width);
    std::memset(cb + width, cb[width - 1], cols - width);
    std::memset(cr + width, cr[width - 1], cols - width);
}

void BuildBlockRow(const TJpegEncoderComponent &component, const uint8_t *samples, size_t stride, uint32_t maxH,
                   uint32_t maxV, TJpegCoefficientBlock *out)
{
    const TJpegEncoderQuantizationTable &table = *component.FQuantTable;
    const uint32_t vRatio = maxV / component.FVSampling;
    const uint32_t hRatio = maxH / component.FHSampling;
    const uint32_t area = vRatio * hRatio;
    if (area == 1) {
        for (uint32_t c = 0; c < component.FDuCols; ++c)
            TransformBlockRows(samples + 8 * c, stride, table, out[c].data());
        return;
    }
    // A box average, truncated, over the vRatio x hRatio samples each
    // sample of a subsampled component covers.
    uint8_t block[64];
    for (uint32_t c = 0; c < component.FDuCols; ++c) {
        for (uint32_t y = 0; y < 8; ++y)
            for (uint32_t x = 0; x < 8; ++x) {
                uint32_t sum = 0;
                for (uint32_t i = 0; i < vRatio; ++i) {
                    const uint8_t *line = samples + (vRatio * y + i) * stride + 8 * hRatio * c + hRatio * x;
                    for (uint32_t j = 0; j < hRatio; ++j)
                        sum += line[j];
                }
                block[8 * y + x] = uint8_t(sum / area);
            }
        TransformBlock(block, table, out[c].data());
    }
}

void SetSampleGeometry(TJpegEncoderComponent &component, uint32_t width, uint32_t height, uint32_t hFactor,
                       uint32_t vFactor)
{
    const auto roundUp = [](uint32_t n, uint32_t factor) { return (n + 8 * factor - 1) / (8 * factor) * (8 * factor); };
    const auto ceilDiv = [](uint64_t n, uint64_t d) { return uint32_t((n + d - 1) / d); };
    component.FSampleCols = roundUp(width, hFactor);
    component.FSampleRows = roundUp(height, vFactor);
    component.FScanRows = ceilDiv(uint64_t(height) * component.FVSampling, 8ull * vFactor);
    component.FScanCols = ceilDiv(uint64_t(width) * component.FHSampling, 8ull * hFactor);
}

TJpegStrips::TJpegStrips(const std::array<TJpegEncoderComponent *, 3> &components, int count, uint32_t width,
                         uint32_t height, uint32_t maxH, uint32_t maxV, bool grayscale)
    : FComponents(components), FComponentCount(count), FWidth(width), FHeight(height), FMaxH(maxH), FMaxV(maxV),
      FGrayscale(grayscale)
{
    for (int i = 0; i < count; ++i) {
        TJpegEncoderComponent &c = *components[size_t(i)];
        // The extent in a scan of its own, and the sample arrays' size.
        SetSampleGeometry(c, width, height, grayscale ? c.FHSampling : maxH, grayscale ? c.FVSampling : maxV);
        if (grayscale) {
            // Grayscale blocks cover the picture only, padded with mid-grey.
            c.FDuRows = (height + 7) / 8;
            c.FDuCols = (width + 7) / 8;
        } else {
            c.FDuRows = c.FVSampling * c.FSampleRows / (8 * maxV);
            c.FDuCols = c.FHSampling * c.FSampleCols / (8 * maxH);
        }
    }
    if (grayscale) {
        FStripRows = 8;
        FCount = components[0]->FDuRows;
        FPlaneCols = size_t(components[0]->FDuCols) * 8;
    } else {
        FStripRows = 8 * maxV;
        FCount = components[0]->FSampleRows / FStripRows;
        FPlaneCols = components[0]->FSampleCols;
    }
}

void TJpegStripBlocks::Size(const TJpegStrips &strips, int components)
{
    size_t total = 0;
    for (int c = 0; c < components; ++c)
        total += strips.Blocks(c);
    ResizePrepared(Blocks, total);
    TJpegCoefficientBlock *next = Blocks.data();
    for (int c = 0; c < components; ++c) {
        Component[size_t(c)] = next;
        next += strips.Blocks(c);
    }
}

uint32_t TJpegStrips::BlockRows(int c) const
{
    return FGrayscale ? 1 : FComponents[size_t(c)]->FVSampling;
}

void TJpegStrips::Convert(const TPixelRowSource &rows, uint32_t strip, TJpegStripScratch &scratch,
                          const std::array<TJpegCoefficientBlock *, 3> &out) const
{
    const size_t plane = size_t(FStripRows) * FPlaneCols;
    if (scratch.Samples.size() < 3 * plane)
        ResizePrepared(scratch.Samples, 3 * plane);
    ConvertSamples(rows, strip, scratch);
    for (int c = 0; c < FComponentCount; ++c) {
        const TJpegEncoderComponent &component = *FComponents[size_t(c)];
        const uint8_t *samples = scratch.Samples.data() + size_t(c) * plane;
        const uint32_t vRatio = FGrayscale ? 1 : FMaxV / component.FVSampling;
        for (uint32_t r = 0; r < BlockRows(c); ++r)
            BuildBlockRow(component, samples + size_t(8 * vRatio * r) * FPlaneCols, FPlaneCols,
                          FGrayscale ? component.FHSampling : FMaxH, FGrayscale ? component.FVSampling : FMaxV,
                          out[size_t(c)] + size_t(r) * component.FDuCols);
    }
}

void TJpegStrips::ConvertSamples(const TPixelRowSource &rows, uint32_t strip, TJpegStripScratch &scratch) const
{
    const size_t plane = size_t(FStripRows) * FPlaneCols;
    uint8_t *const planes[3] = {scratch.Samples.data(), scratch.Samples.data() + plane,
                                scratch.Samples.data() + 2 * plane};
    const uint32_t first = strip * FStripRows;
    const uint32_t inside = std::min(FStripRows, FHeight - first);
    const TPixel *pixels = rows.Rows(int32_t(first), int32_t(inside), scratch.Rows);
    for (uint32_t i = 0; i < inside; ++i) {
        uint8_t *y = planes[0] + i * FPlaneCols;
        if (FGrayscale) {
            // Outside the picture grayscale blocks hold mid-grey.
            ConvertPixelRow(pixels + size_t(i) * FWidth, FWidth, y, planes[1], planes[2]);
            std::memset(y + FWidth, 128, FPlaneCols - FWidth);
        } else {
            ConvertSampleRow(pixels + size_t(i) * FWidth, FWidth, FPlaneCols, y, planes[1] + i * FPlaneCols,
                             planes[2] + i * FPlaneCols);
        }
    }
    if (FGrayscale) {
        std::memset(planes[0] + inside * FPlaneCols, 128, (FStripRows - inside) * FPlaneCols);
        return;
    }
    // Below the picture the last row is repeated to whole MCUs.
    for (uint32_t i = inside; i < FStripRows; ++i)
        for (uint8_t *p : planes)
            std::memcpy(p + i * FPlaneCols, p + (inside - 1) * FPlaneCols, FPlaneCols);
}
