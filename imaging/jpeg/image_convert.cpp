#include "imaging/jpeg/image_convert.h"

#include "imaging/bitmapimage.h"
#include "imaging/bmpdecoder.h"
#include "imaging/jpeg/jpegencoder.h"

bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality)
{
    TJpegEncoder encoder;
    return ConvertBmpToJpeg(bmpFileName, jpegFileName, quality, encoder);
}

bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality,
                      TJpegEncoder &encoder)
{
    try {
        TBitmapImage image;
        TBmpDecoder decoder;
        encoder.SetGrayscale(false);
        encoder.SetQuality(quality);
        // A bitmap whose rows can be read where they lie is converted a
        // strip at a time and never held whole; any other is decoded first,
        // so that a file the decoder refuses creates no JPEG file.
        if (const std::unique_ptr<TPixelRowSource> rows = decoder.OpenRows(bmpFileName)) {
            encoder.WriteRowsFile(jpegFileName, *rows);
            return true;
        }
        decoder.ReadImageFile(bmpFileName, image);
        encoder.WriteImageFile(jpegFileName, image);
        return true;
    } catch (...) {
        return false;
    }
}
