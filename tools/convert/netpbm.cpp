#include "tools/convert/netpbm.h"

namespace {

std::string Samples(const TBitmapImage &image, bool withAlpha, std::string header)
{
    const size_t channels = withAlpha ? 4 : 3;
    const size_t headerSize = header.size();
    header.resize(headerSize + image.Pixels.size() * channels);
    char *out = header.data() + headerSize;
    for (const TPixel &p : image.Pixels) {
        *out++ = char(p.Red);
        *out++ = char(p.Green);
        *out++ = char(p.Blue);
        if (withAlpha)
            *out++ = char(p.Alpha);
    }
    return header;
}

} // namespace

std::string EncodePpm(const TBitmapImage &image)
{
    return Samples(image, false,
                   "P6\n" + std::to_string(image.Width) + " " + std::to_string(image.Height) + "\n255\n");
}

std::string EncodePam(const TBitmapImage &image)
{
    return Samples(image, true,
                   "P7\nWIDTH " + std::to_string(image.Width) + "\nHEIGHT " + std::to_string(image.Height)
                       + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n");
}
