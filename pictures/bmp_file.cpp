#include "pictures/bmp_file.h"

#include "imaging/atomicfile.h"
#include "pictures/bitmap_qimage.h"
#include "pictures/picture_file.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace {

constexpr int FileHeaderBytes = 14;
constexpr int InfoHeaderBytes = 40; // BITMAPINFOHEADER

void Put16(std::string &out, uint16_t value)
{
    out += char(value & 0xFF);
    out += char(value >> 8);
}

void Put32(std::string &out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += char((value >> shift) & 0xFF);
}

// Hands the file to `put` in pieces: the headers, then bands of rows from
// the bottom row up.
void EmitBmp(const QImage &picture, const std::function<void(const std::string &)> &put)
{
    if (picture.isNull())
        throw EPictureError(QStringLiteral("There is no picture to write."));
    const QImage pixels = OpaqueOnWhite(picture);
    const uint32_t width = uint32_t(pixels.width());
    const uint32_t height = uint32_t(pixels.height());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint64_t imageBytes = uint64_t(rowBytes) * height;
    if (imageBytes + FileHeaderBytes + InfoHeaderBytes > UINT32_MAX)
        throw EPictureError(QStringLiteral("The picture is too large for a bitmap file."));

    std::string header;
    header += "BM";
    Put32(header, uint32_t(FileHeaderBytes + InfoHeaderBytes + imageBytes));
    Put32(header, 0);
    Put32(header, FileHeaderBytes + InfoHeaderBytes);
    Put32(header, InfoHeaderBytes);
    Put32(header, width);
    Put32(header, height); // positive: bottom-up
    Put16(header, 1);      // planes
    Put16(header, 24);     // bits per pixel
    Put32(header, 0);      // BI_RGB
    Put32(header, uint32_t(imageBytes));
    Put32(header, uint32_t(pixels.dotsPerMeterX()));
    Put32(header, uint32_t(pixels.dotsPerMeterY()));
    Put32(header, 0);
    Put32(header, 0);
    put(header);

    // About a megabyte a band: few writes, little memory.
    const uint32_t bandRows = std::max<uint32_t>(1, (1u << 20) / std::max<uint32_t>(rowBytes, 1));
    std::string band;
    for (uint32_t done = 0; done < height;) {
        const uint32_t rows = std::min(bandRows, height - done);
        band.assign(size_t(rows) * rowBytes, '\0');
        for (uint32_t i = 0; i < rows; ++i) {
            const auto *source = reinterpret_cast<const QRgb *>(pixels.constScanLine(int(height - 1 - done - i)));
            auto *out = reinterpret_cast<uint8_t *>(band.data()) + size_t(i) * rowBytes;
            for (uint32_t x = 0; x < width; ++x) {
                out[3 * x] = uint8_t(qBlue(source[x]));
                out[3 * x + 1] = uint8_t(qGreen(source[x]));
                out[3 * x + 2] = uint8_t(qRed(source[x]));
            }
        }
        put(band);
        done += rows;
    }
}

} // namespace

QByteArray PictureBmpBytes(const QImage &picture)
{
    QByteArray bytes;
    EmitBmp(picture, [&](const std::string &piece) { bytes.append(piece.data(), qsizetype(piece.size())); });
    return bytes;
}

void WritePictureBmp(const QImage &picture, const QString &path)
{
    TAtomicFile file(QFile::encodeName(path).toStdString());
    EmitBmp(picture, [&](const std::string &piece) { file.Write(piece); });
    file.Commit();
}
