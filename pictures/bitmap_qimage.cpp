#include "pictures/bitmap_qimage.h"

#include <QPainter>

#include <cstring>
#include <utility>

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

QImage ToQImage(TBitmapImage &&bitmap, bool alphaIsOpaque)
{
    if (bitmap.Width <= 0 || bitmap.Height <= 0 || bitmap.Pixels.size() < size_t(bitmap.PixelCount))
        return ToQImage(std::as_const(bitmap));
    auto *pixels = new APixel(std::move(bitmap.Pixels));
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    bitmap = TBitmapImage();
    auto *data = reinterpret_cast<QRgb *>(pixels->data());
    const size_t count = size_t(width) * size_t(height);
    if (!alphaIsOpaque)
        for (size_t i = 0; i < count; ++i)
            data[i] |= 0xFF000000u;
    // The image owns the pixels from here; the last copy of it frees them.
    return QImage(
        reinterpret_cast<uchar *>(data), width, height, qsizetype(width) * qsizetype(sizeof(QRgb)),
        QImage::Format_RGB32, [](void *owned) { delete static_cast<APixel *>(owned); }, pixels);
}

QImage OpaqueOnWhite(const QImage &image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

TBitmapImage ToBitmapImage(const QImage &image)
{
    TBitmapImage bitmap;
    if (image.isNull())
        return bitmap;
    const QImage opaque = OpaqueOnWhite(image);
    bitmap.SetSize(opaque.width(), opaque.height());
    for (int y = 0; y < opaque.height(); ++y) {
        std::memcpy(&bitmap.At(0, y), opaque.constScanLine(y), size_t(opaque.width()) * sizeof(TPixel));
        for (int x = 0; x < opaque.width(); ++x)
            bitmap.At(x, y).Alpha = 0;
    }
    return bitmap;
}
