#pragma once
// Builds small BMP files in memory for the decoder tests, and decodes them.

#include "imaging/bmpdecoder.h"

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>

namespace bmptest {

inline void Put16(std::string &out, uint32_t v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

inline void Put32(std::string &out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline std::string Bytes(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out += char(b);
    return out;
}

// A Windows (HeaderSize >= 40) or OS/2 (HeaderSize 12) BMP file. Extra holds
// what follows the info header (masks, colour table); Offset 0 means "right
// after Extra".
struct BmpFile {
    uint32_t HeaderSize = 40;
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha, in headers of 52/108+ bytes
    std::string Extra;
    std::string Pixels;
    uint32_t Offset = 0;

    std::string InfoHeader() const
    {
        std::string h;
        Put32(h, HeaderSize);
        if (HeaderSize == 12) {
            Put16(h, uint32_t(Width));
            Put16(h, uint32_t(Height));
            Put16(h, 1);
            Put16(h, BitCount);
            return h;
        }
        Put32(h, uint32_t(Width));
        Put32(h, uint32_t(Height));
        Put16(h, 1);
        Put16(h, BitCount);
        Put32(h, Compression);
        Put32(h, uint32_t(Pixels.size()));
        Put32(h, 2835);
        Put32(h, 2835);
        Put32(h, ColorsUsed);
        Put32(h, 0);
        for (uint32_t mask : Masks)
            Put32(h, mask);
        h.resize(HeaderSize, '\0');
        return h;
    }

    std::string Build() const
    {
        const std::string info = InfoHeader();
        const uint32_t offset = Offset ? Offset : uint32_t(14 + info.size() + Extra.size());
        std::string file = "BM";
        Put32(file, uint32_t(14 + info.size() + Extra.size() + Pixels.size()));
        Put32(file, 0);
        Put32(file, offset);
        file += info;
        file += Extra;
        if (offset > file.size())
            file.resize(offset, '\x77'); // a gap the decoder must skip
        file += Pixels;
        return file;
    }
};

inline BmpFile Sized(int32_t width, int32_t height, uint16_t bitCount = 24)
{
    BmpFile f;
    f.Width = width;
    f.Height = height;
    f.BitCount = bitCount;
    return f;
}

// Colour table of the Windows form (blue, green, red, reserved per entry).
inline std::string Palette(std::initializer_list<uint32_t> rgbColors)
{
    std::string out;
    for (uint32_t rgb : rgbColors) {
        out += char(rgb & 0xFF);
        out += char((rgb >> 8) & 0xFF);
        out += char((rgb >> 16) & 0xFF);
        out += '\0';
    }
    return out;
}

// count entries where entry i is (red i + 1, 0, 0): a pixel's red byte
// tells its index, and 0 tells a pixel nothing wrote.
inline std::string IndexPalette(int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += Palette({uint32_t(i + 1) << 16});
    return out;
}

inline void Decode(const std::string &bytes, TBitmapImage &image, TBmpDecoder &decoder)
{
    std::istringstream stream(bytes);
    decoder.ReadImageStream(stream, image);
}

inline void Decode(const std::string &bytes, TBitmapImage &image)
{
    TBmpDecoder decoder;
    Decode(bytes, image, decoder);
}

// The EBmpError message, or "" when the file decodes.
inline std::string DecodeError(const std::string &bytes, TBitmapImage &image)
{
    try {
        Decode(bytes, image);
        return "";
    } catch (const EBmpError &e) {
        return e.what();
    }
}

inline std::string DecodeError(const std::string &bytes)
{
    TBitmapImage image;
    return DecodeError(bytes, image);
}

inline TPixel Rgb(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0)
{
    return TPixel{blue, green, red, alpha};
}

} // namespace bmptest

// Lets GoogleTest print pixels in failure messages.
inline void PrintTo(const TPixel &p, std::ostream *os)
{
    *os << "rgba(" << int(p.Red) << ", " << int(p.Green) << ", " << int(p.Blue) << ", "
        << int(p.Alpha) << ")";
}
