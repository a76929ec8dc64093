#pragma once
// The JPEG reader: decodes a JPEG (JFIF or Exif) file through libjpeg into a
// TBitmapImage. Baseline, extended and progressive files are read, with
// grayscale, RGB, YCbCr, CMYK and YCCK colour (Adobe's inverted CMYK
// included); every picture arrives as opaque blue-green-red pixels.
//
// libjpeg ends a failed decode by calling an error handler that must not
// return; ours jumps back into the reader, which releases the decoder and
// raises EJpegError with the file's name and libjpeg's reason. A file whose
// picture data is cut short or damaged is refused the same way rather than
// shown half grey.
//
// A camera that was held turned records that in the file's Exif segment
// rather than turning the pixels; the reader turns the picture upright.

#include "imaging/bitmapimage.h"
#include "imaging/jpeg/jpegerror.h"

#include <cstddef>
#include <cstdint>
#include <string>

class TJpegDecoder : public TBitmapImageDecoder {
public:
    // The largest picture accepted, as for BMP files: 2^28 pixels. Larger
    // ones are refused before any pixel memory is taken.
    static constexpr int64_t MaxPixelCount = int64_t(1) << 28;
    // Progressive files may hold any number of scans; a damaged or hostile
    // one can repeat scans without end. Real encoders write about a dozen.
    static constexpr int MaxScanCount = 1000;

    // 1 decodes at full size; 2, 4 or 8 let libjpeg scale the picture down
    // by that factor while decoding (each side rounded up), which is several
    // times faster for a picture only looked at.
    int ScaleDenominator = 1;

    // Every pixel's Alpha: 0 as the codecs keep it, or with this set 255,
    // the layout of an opaque Qt picture, which can then take the pixels
    // over as they are instead of setting the byte in another pass.
    bool OpaqueAlpha = false;

    // Turn the picture upright by its Exif orientation (on by default).
    bool HonourExifOrientation = true;
    // The Exif orientation of the file read last, 1 to 8 (1 when it has none).
    int Orientation = 1;

    // Reads the whole file and decodes it. A file that cannot be opened
    // raises EFOpenError; a file that is not a readable JPEG raises
    // EJpegError naming it; a progress function's stop EGraphicsAbort.
    void ReadImageFile(const std::string &fileName, TBitmapImage &image) override;

    // Decodes a JPEG held in memory; name is used in messages only.
    void ReadImageMemory(const uint8_t *data, size_t size, const std::string &name,
                         TBitmapImage &image);

private:
    // Decodes from memory, or from the open file when file >= 0.
    void Decode(const uint8_t *data, size_t size, int file, const std::string &name, TBitmapImage &image);
};
