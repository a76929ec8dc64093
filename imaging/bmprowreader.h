#pragma once
// The rows of an uncompressed BMP file read straight from the file, a strip
// at a time and in any order (TBmpDecoder::OpenRows makes one).

#include "imaging/bmpdecoder.h"
#include "imaging/bmprows.h"
#include "imaging/rowsource.h"

#include <array>
#include <cstdint>
#include <string>

class TBmpRowReader final : public TPixelRowSource {
public:
    // Opens the file for reading; raises EFOpenError when it cannot be opened
    // or is not a regular file.
    explicit TBmpRowReader(const std::string &fileName);
    ~TBmpRowReader() override;
    TBmpRowReader(const TBmpRowReader &) = delete;
    TBmpRowReader &operator=(const TBmpRowReader &) = delete;

    uint64_t FileSize() const { return FFileSize; }
    // The first bytes of the file (at most count), for its headers.
    std::string ReadHead(size_t count) const;
    // Where the rows are and how they look. colorMap is copied.
    void SetLayout(const TBmpRowLayout &layout, const std::array<TBmpColor, 256> &colorMap, uint32_t pixelDataOffset,
                   int32_t rows, bool topDown);

    int32_t Width() const override { return FLayout.Width; }
    int32_t Height() const override { return FRows; }
    // Raises EBmpError as the decoder does when the file turns out shorter
    // than it was, EReadError when the system cannot read it.
    const TPixel *Rows(int32_t first, int32_t count, TRowScratch &scratch) const override;

private:
    // Reads count bytes at offset; returns how many arrived.
    size_t ReadAt(uint64_t offset, uint8_t *into, size_t count) const;

    std::string FFileName;
    int FFile = -1;
    uint64_t FFileSize = 0;
    TBmpRowLayout FLayout;
    std::array<TBmpColor, 256> FColorMap{};
    uint32_t FPixelDataOffset = 0;
    int32_t FRows = 0;
    bool FTopDown = false;
};
