#include "dialogs/template_preview.h"

#include "imaging/bitmapimage.h"
#include "imaging/jpegdecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <exception>

namespace {

// The decoder's blue-green-red pixels as an opaque picture.
QImage ToQImage(const TBitmapImage &bitmap)
{
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int32_t y = 0; y < bitmap.Height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int32_t x = 0; x < bitmap.Width; ++x) {
            const TPixel &p = bitmap.At(x, y);
            row[x] = qRgb(p.Red, p.Green, p.Blue);
        }
    }
    return image;
}

} // namespace

TPreview LoadPreview(const QString &path)
{
    TPreview preview;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        preview.Error = QStringLiteral("The preview \"%1\" cannot be found.").arg(shown);
        return preview;
    }
    try {
        TJpegDecoder decoder;
        TBitmapImage bitmap;
        decoder.ReadImageFile(QFile::encodeName(path).toStdString(), bitmap);
        preview.Image = ToQImage(bitmap);
        if (preview.Image.isNull())
            preview.Error = QStringLiteral("There is not enough memory to show the preview \"%1\".").arg(shown);
    } catch (const std::exception &e) {
        // The decoder's reason names the file.
        preview.Error = QString::fromLocal8Bit(e.what());
    }
    return preview;
}
