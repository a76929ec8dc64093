#include "pictures/bitmap_qimage.h"

#include <QPainter>

#include <cstring>

// TPixel's bytes (blue, green, red, alpha) are a little-endian QRgb, the
// layout of Format_RGB32, so rows are copied whole and only the fourth byte
// is set.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "TPixel is laid out as a little-endian QRgb");

QImage ToQImage(const TBitmapImage &bitmap)
{
    if (bitmap.Width <= 0 || bitmap.Height <= 0)
        return {};
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    for (int32_t y = 0; y < bitmap.Height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::memcpy(line, &bitmap.At(0, y), size_t(bitmap.Width) * sizeof(TPixel));
        for (int32_t x = 0; x < bitmap.Width; ++x)
            line[x] |= 0xFF000000u;
    }
    return image;
}

TBitmapImage ToBitmapImage(const QImage &image)
{
    TBitmapImage bitmap;
    if (image.isNull())
        return bitmap;
    QImage opaque;
    if (image.hasAlphaChannel()) {
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    } else {
        opaque = image.convertToFormat(QImage::Format_RGB32);
    }
    bitmap.SetSize(opaque.width(), opaque.height());
    for (int y = 0; y < opaque.height(); ++y) {
        std::memcpy(&bitmap.At(0, y), opaque.constScanLine(y), size_t(opaque.width()) * sizeof(TPixel));
        for (int x = 0; x < opaque.width(); ++x)
            bitmap.At(x, y).Alpha = 0;
    }
    return bitmap;
}
