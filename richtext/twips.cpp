#include "richtext/twips.h"

#include <QPaintDevice>

#include <cfenv>
#include <cmath>

namespace {

int PixelsToTwips(int pixelsPerInch, int pixels)
{
    if (pixelsPerInch <= 0)
        return 0;
    // std::nearbyint rounds by the current mode; make sure it is the default
    // round-to-nearest-even whatever a caller may have set.
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double twips = std::nearbyint(1440.0 / pixelsPerInch * pixels);
    std::fesetround(savedMode);
    return static_cast<int>(twips);
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
    return twips * static_cast<double>(pixelsPerInch) / 1440.0;
}
