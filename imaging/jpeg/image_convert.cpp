#include "imaging/jpeg/image_convert.h"

#include <new>
#include <stdexcept>

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
    std::string failure;
    return ConvertBmpToJpeg(bmpFileName, jpegFileName, quality, encoder, &failure);
}

bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality,
                      TJpegEncoder &encoder, std::string *failure)
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
    } catch (const std::bad_alloc &) {
        *failure = "There is not enough memory to convert \"" + bmpFileName + "\".";
        return false;
    } catch (const std::exception &error) {
        // The codecs' own messages do not always say which file they were at.
        const std::string message = error.what();
        const bool named = message.find(bmpFileName) != std::string::npos
                           || message.find(jpegFileName) != std::string::npos;
        *failure = named ? message : "\"" + bmpFileName + "\": " + message;
        return false;
    } catch (...) {
        *failure = "The conversion of \"" + bmpFileName + "\" failed.";
        return false;
    }
}
