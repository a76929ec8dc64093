#include "tests/support/hostile_pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace {

void Put16(QByteArray &out, uint16_t value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void Put32(QByteArray &out, uint32_t value)
{
    Put16(out, uint16_t(value & 0xFFFF));
    Put16(out, uint16_t(value >> 16));
}

// The polygon's corners spread over the canvas, as a star.
std::vector<std::pair<int, int>> Star(int points, int side)
{
    std::vector<std::pair<int, int>> corners;
    for (int i = 0; i < points; ++i) {
        const bool outer = i % 2 == 0;
        const int x = outer ? (i * 7919) % side : side / 2;
        const int y = outer ? (i * 104729) % side : side / 2;
        corners.emplace_back(x, y);
    }
    return corners;
}

} // namespace

QByteArray PolygonWmf(int points, int side)
{
    QByteArray records;
    const auto record = [&](uint16_t function, const std::vector<int16_t> &parameters) {
        Put32(records, uint32_t(3 + parameters.size()));
        Put16(records, function);
        for (int16_t p : parameters)
            Put16(records, uint16_t(p));
    };
    record(0x020B, {0, 0});                              // SETWINDOWORG y, x
    record(0x020C, {int16_t(side), int16_t(side)});      // SETWINDOWEXT y, x
    std::vector<int16_t> polygon{int16_t(points)};
    for (const auto &[x, y] : Star(points, side)) {
        polygon.push_back(int16_t(x));
        polygon.push_back(int16_t(y));
    }
    record(0x0324, polygon);                             // POLYGON
    record(0x0000, {});                                  // EOF

    QByteArray header;
    Put16(header, 1);                                    // in memory
    Put16(header, 9);                                    // header words
    Put16(header, 0x0300);
    Put32(header, uint32_t((18 + records.size()) / 2));
    Put16(header, 0);
    Put32(header, uint32_t(4 + 2 * points));
    Put16(header, 0);

    QByteArray placeable;
    Put32(placeable, 0x9AC6CDD7u);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, uint16_t(side));
    Put16(placeable, uint16_t(side));
    Put16(placeable, 96);                                // units per inch: one to a pixel
    Put32(placeable, 0);
    uint16_t sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= uint16_t(uint8_t(placeable[i]) | uint8_t(placeable[i + 1]) << 8);
    Put16(placeable, sum);
    return placeable + header + records;
}

QByteArray PolygonEmf(int points, int side)
{
    QByteArray polygon;
    Put32(polygon, 86);                                  // EMR_POLYGON16
    Put32(polygon, uint32_t(28 + 4 * points));
    for (uint32_t v : {0u, 0u, uint32_t(side - 1), uint32_t(side - 1)})
        Put32(polygon, v);
    Put32(polygon, uint32_t(points));
    for (const auto &[x, y] : Star(points, side)) {
        Put16(polygon, uint16_t(x));
        Put16(polygon, uint16_t(y));
    }
    QByteArray end;
    Put32(end, 14);                                      // EMR_EOF
    Put32(end, 20);
    Put32(end, 0);
    Put32(end, 16);
    Put32(end, 20);

    const uint32_t total = 88 + uint32_t(polygon.size() + end.size());
    QByteArray header;
    Put32(header, 1);                                    // EMR_HEADER
    Put32(header, 88);
    for (uint32_t v : {0u, 0u, uint32_t(side - 1), uint32_t(side - 1)}) // bounds, pixels
        Put32(header, v);
    const uint32_t frame = uint32_t(side) * 2540u / 96u; // 0.01 mm at 96 per inch
    for (uint32_t v : {0u, 0u, frame, frame})
        Put32(header, v);
    Put32(header, 0x464D4520);                           // " EMF"
    Put32(header, 0x10000);
    Put32(header, total);
    Put32(header, 3);                                    // records
    Put16(header, 1);
    Put16(header, 0);
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 1024);                                 // reference device, pixels
    Put32(header, 768);
    Put32(header, 271);                                  // and millimetres: 96 per inch
    Put32(header, 203);
    return header + polygon + end;
}

QByteArray RepeatedScanJpeg(int side, int scans)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x ^ y) * 3) & 0xFF);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    if (!writer.write(picture))
        return {};
    // The last scan: from its SOS marker to the EOI at the end.
    const qsizetype lastScan = jpeg.lastIndexOf(QByteArrayLiteral("\xFF\xDA"));
    const qsizetype end = jpeg.lastIndexOf(QByteArrayLiteral("\xFF\xD9"));
    if (lastScan < 0 || end < lastScan)
        return {};
    int have = 0;
    for (qsizetype at = jpeg.indexOf(QByteArrayLiteral("\xFF\xDA")); at >= 0;
         at = jpeg.indexOf(QByteArrayLiteral("\xFF\xDA"), at + 2))
        ++have;
    const QByteArray scan = jpeg.mid(lastScan, end - lastScan);
    QByteArray out = jpeg.left(end);
    for (int i = have; i < scans; ++i)
        out += scan;
    return out + QByteArrayLiteral("\xFF\xD9");
}

QByteArray ManyEntryIcon(int entries)
{
    QImage dot(16, 16, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    dot.save(&buffer, "PNG");

    QByteArray icon;
    Put16(icon, 0);
    Put16(icon, 1);                                      // an icon
    Put16(icon, uint16_t(entries));
    const uint32_t offset = uint32_t(6 + 16 * entries);
    for (int i = 0; i < entries; ++i) {
        icon.append(char(16));
        icon.append(char(16));
        icon.append(char(0));
        icon.append(char(0));
        Put16(icon, 1);
        Put16(icon, 32);
        Put32(icon, uint32_t(png.size()));
        Put32(icon, offset);
    }
    return icon + png;
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
