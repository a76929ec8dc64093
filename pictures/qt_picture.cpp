// PNG, GIF, TIFF and WebP files through Qt's image readers (PNG and GIF in
// Qt itself, TIFF and WebP in Qt's extra image format plugins), and the
// size that any file's header declares, read before a single pixel is
// decoded so that no file can make the program allocate gigabytes.
#include "pictures/bitmap_qimage.h"
#include "pictures/picture_file.h"

#include <QFile>
#include <QImageReader>

namespace {

// Qt's own ceiling on one image's memory, in megabytes, wide enough for the
// largest picture accepted at eight bytes a pixel (a 16-bit PNG with alpha);
// the pixel count is checked first, so this only stops Qt refusing a
// picture the program means to take.
constexpr int QtAllocationLimitMegabytes = int(MaxPicturePixels * 8 / (1024 * 1024)) + 1;

const char *QtFormatOf(TPictureType type)
{
    switch (type) {
    case TPictureType::Png: return "png";
    case TPictureType::Gif: return "gif";
    case TPictureType::Tiff: return "tiff";
    case TPictureType::WebP: return "webp";
    case TPictureType::Jpeg: return "jpeg";
    case TPictureType::Bmp: return "bmp";
    default: return nullptr;
    }
}

QString FormatName(TPictureType type)
{
    switch (type) {
    case TPictureType::Png: return QStringLiteral("PNG");
    case TPictureType::Gif: return QStringLiteral("GIF");
    case TPictureType::Tiff: return QStringLiteral("TIFF");
    case TPictureType::WebP: return QStringLiteral("WebP");
    default: return QStringLiteral("picture");
    }
}

} // namespace

QSize DeclaredPictureSize(const QString &path, TPictureType type)
{
    const char *format = QtFormatOf(type);
    if (format == nullptr)
        return {};
    QImageReader reader(path, format);
    return reader.size();
}

void CheckPictureSize(const QString &path, QSize size)
{
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels)
        FailToLoadPicture(path, QStringLiteral("too large: %1 × %2 pixels, more than the %3 megapixels "
                                               "a picture may have")
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(MaxPicturePixels / 1000000));
}

QImage ReadQtPicture(const QString &path, TPictureType type, bool alphaIsTransparency)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FailToLoadPicture(path, file.errorString());
    if (file.size() == 0)
        FailToLoadPicture(path, QStringLiteral("The file is empty"));
    QImageReader reader(&file, QtFormatOf(type));
    if (!reader.canRead())
        FailToLoadPicture(path, type == TPictureType::Unsupported
                                    ? QStringLiteral("not a picture this program can read")
                                    : QStringLiteral("not a picture this program can read (not a %1 file)")
                                          .arg(FormatName(type)));
    CheckPictureSize(path, reader.size());
    if (QImageReader::allocationLimit() < QtAllocationLimitMegabytes)
        QImageReader::setAllocationLimit(QtAllocationLimitMegabytes);
    // A TIFF's Orientation tag turns the picture upright as a JPEG's Exif
    // does; an animated GIF gives its first frame, a TIFF its first page.
    reader.setAutoTransform(true);
    QImage image = reader.read();
    // Where the reader stopped is where the file went wrong: a cut file
    // stops at its end, a damaged one at or after the damage.
    const qint64 at = file.pos();
    if (image.isNull())
        FailToLoadPicture(path, at >= file.size() ? QStringLiteral("damaged at byte %1: the file ends too early").arg(at)
                                                  : QStringLiteral("damaged at byte %1").arg(at));
    // Qt's GIF reader shows as much of a cut first frame as there is; a
    // GIF read to its end must end in its trailer byte (0x3B).
    if (type == TPictureType::Gif && at >= file.size() && file.seek(file.size() - 1) && file.read(1) != ";")
        FailToLoadPicture(path, QStringLiteral("damaged at byte %1: the file ends too early").arg(file.size()));
    if (!alphaIsTransparency && image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] |= 0xFF000000u;
        }
    }
    return OpaqueOnWhite(image);
}
