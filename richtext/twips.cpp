#include "richtext/twips.h"

#include "report/length.h"
#include "report/rounding.h"

#include <QPaintDevice>

namespace {

int PixelsToTwips(int pixelsPerInch, int pixels)
{
    if (pixelsPerInch <= 0)
        return 0;
    return RoundHalfEven(TLength::TwipsPerPixel(pixelsPerInch) * pixels);
}

} // namespace

int PixelsToTwipsX(const QPaintDevice *device, int pixels)
{
    return device ? PixelsToTwips(device->logicalDpiX(), pixels) : 0;
}

int PixelsToTwipsY(const QPaintDevice *device, int pixels)
{
    return device ? PixelsToTwips(device->logicalDpiY(), pixels) : 0;
}

double TwipsToPixels(int twips, int pixelsPerInch)
{
    return twips * static_cast<double>(pixelsPerInch) / TLength::TwipsPerInch;
}
