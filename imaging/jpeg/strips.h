#pragma once
// The picture a strip at a time: pixel rows to Y, Cb and Cr samples to
// quantized coefficient blocks. A strip is one row of MCUs in a colour frame
// and one row of blocks in a grayscale frame; strips are independent of one
// another, so threads may convert different strips at the same time.

#include "imaging/jpeg/component.h"
#include "imaging/rowsource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What one thread converts a strip with.
struct TJpegStripScratch {
    TRowScratch Rows;
    std::vector<uint8_t> Samples; // a strip of each component, full resolution
};

class TJpegStrips;

// The blocks of one strip, every component's one after the other.
struct TJpegStripBlocks {
    TJpegBlockArray Blocks;
    std::array<TJpegCoefficientBlock *, 3> Component{};

    // Makes room for the blocks of a strip of the frame's components.
    void Size(const TJpegStrips &strips, int components);
};

class TJpegStrips {
public:
    // Sets the sample and block geometry of the frame's components (one for
    // grayscale, three for colour) for a picture of width x height: the
    // fields PrepareSamples, BuildBlocks and ConvertGray set.
    TJpegStrips(const std::array<TJpegEncoderComponent *, 3> &components, int count, uint32_t width,
                uint32_t height, uint32_t maxH, uint32_t maxV, bool grayscale);

    uint32_t Count() const { return FCount; }
    // Picture rows per strip (the last strip may reach below the picture).
    uint32_t Rows() const { return FStripRows; }
    // Block rows and blocks of component c (0-based) in one strip.
    uint32_t BlockRows(int c) const;
    size_t Blocks(int c) const { return size_t(BlockRows(c)) * FComponents[size_t(c)]->FDuCols; }

    // Converts strip s of the picture; the blocks of component c go to
    // out[c], block row by block row.
    void Convert(const TPixelRowSource &rows, uint32_t strip, TJpegStripScratch &scratch,
                 const std::array<TJpegCoefficientBlock *, 3> &out) const;

private:
    void ConvertSamples(const TPixelRowSource &rows, uint32_t strip, TJpegStripScratch &scratch) const;

    std::array<TJpegEncoderComponent *, 3> FComponents;
    int FComponentCount;
    uint32_t FWidth, FHeight, FMaxH, FMaxV;
    bool FGrayscale;
    uint32_t FStripRows = 0;
    uint32_t FCount = 0;
    size_t FPlaneCols = 0; // samples per row of a strip's planes
};

// The sample arrays' size (padded to whole MCUs of hFactor x vFactor) and
// the component's extent in a scan of its own (T.81 A.2.2).
void SetSampleGeometry(TJpegEncoderComponent &component, uint32_t width, uint32_t height, uint32_t hFactor,
                       uint32_t vFactor);

// The rows of a picture as samples: converts width pixels and repeats the
// last sample of each row up to cols.
void ConvertSampleRow(const TPixel *pixels, uint32_t width, size_t cols, uint8_t *y, uint8_t *cb, uint8_t *cr);

// One row of blocks of a component from samples at full resolution (rows
// stride bytes apart, from the top of the block row), averaging the samples
// a subsampled component covers; FDuCols blocks go to out.
void BuildBlockRow(const TJpegEncoderComponent &component, const uint8_t *samples, size_t stride, uint32_t maxH,
                   uint32_t maxV, TJpegCoefficientBlock *out);
