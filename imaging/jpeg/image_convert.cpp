#include "imaging/jpeg/image_convert.h"

#include "imaging/bitmapimage.h"
#include "imaging/bmpdecoder.h"
#include "imaging/jpeg/jpegencoder.h"

bool ConvertBmpToJpeg(const std::string &bmpFileName, const std::string &jpegFileName, int quality)
{
    try {
        TBitmapImage image;
        TJpegEncoder encoder;
        TBmpDecoder decoder;
        encoder.SetGrayscale(false);
        encoder.SetQuality(quality);
        decoder.ReadImageFile(bmpFileName, image);
        encoder.WriteImageFile(jpegFileName, image);
        return true;
    } catch (...) {
        return false;
    }
}
