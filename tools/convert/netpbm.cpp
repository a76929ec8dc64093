#include "tools/convert/netpbm.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Bytes of output gathered before each write: large enough that the system
// calls cost nothing, small enough to stay in the cache.
constexpr size_t StripBytes = size_t(256) << 10;

template <bool WithAlpha>
char *Samples(const TPixel *pixels, size_t count, char *out)
{
    for (size_t i = 0; i < count; ++i) {
        const TPixel &p = pixels[i];
        *out++ = char(p.Red);
        *out++ = char(p.Green);
        *out++ = char(p.Blue);
        if constexpr (WithAlpha)
            *out++ = char(p.Alpha);
    }
    return out;
}

} // namespace

std::string NetpbmHeader(TNetpbmKind kind, int32_t width, int32_t height)
{
    if (kind == TNetpbmKind::Ppm)
        return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    return "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height)
           + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
}

void WriteNetpbm(TAtomicFile &file, TNetpbmKind kind, const TPixelRowSource &rows)
{
    const int32_t width = rows.Width();
    const int32_t height = rows.Height();
    file.Write(NetpbmHeader(kind, width, height));
    if (width <= 0 || height <= 0)
        return;
    const size_t channels = kind == TNetpbmKind::Pam ? 4 : 3;
    const size_t rowBytes = size_t(width) * channels;
    const auto strip = int32_t(std::clamp<size_t>(StripBytes / rowBytes, 1, size_t(height)));
    // Filled before it is written: never zeroed.
    const auto buffer = std::make_unique_for_overwrite<char[]>(rowBytes * size_t(strip));
    TRowScratch scratch;
    for (int32_t first = 0; first < height; first += strip) {
        const int32_t count = std::min(strip, height - first);
        const TPixel *pixels = rows.Rows(first, count, scratch);
        const size_t pixelCount = size_t(width) * size_t(count);
        char *end = kind == TNetpbmKind::Pam ? Samples<true>(pixels, pixelCount, buffer.get())
                                             : Samples<false>(pixels, pixelCount, buffer.get());
        file.Write(buffer.get(), size_t(end - buffer.get()));
    }
}
