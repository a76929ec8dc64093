#pragma once
// The pixel rows of a picture, top row first, for code that works through a
// picture a few rows at a time instead of holding all of it.

#include "imaging/bitmapimage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Memory a thread lends a row source for the rows it asks for.
struct TRowScratch {
    std::vector<TPixel> Pixels;
    std::vector<uint8_t> Bytes;
};

class TPixelRowSource {
public:
    virtual ~TPixelRowSource() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // Rows first .. first + count - 1 (0 is the top row), Width pixels each,
    // one after the other: in the source's own memory or in scratch. Several
    // threads may ask at once, each with a scratch of its own. Raises when
    // the rows cannot be read.
    virtual const TPixel *Rows(int32_t first, int32_t count, TRowScratch &scratch) const = 0;
};

// The rows of an image in memory, read in place.
class TBitmapImageRows final : public TPixelRowSource {
public:
    explicit TBitmapImageRows(const TBitmapImage &image) : FImage(image) {}
    int32_t Width() const override { return FImage.Width; }
    int32_t Height() const override { return FImage.Height; }
    const TPixel *Rows(int32_t first, int32_t, TRowScratch &) const override
    {
        return FImage.Pixels.data() + size_t(first) * size_t(FImage.Width);
    }

private:
    const TBitmapImage &FImage;
};
