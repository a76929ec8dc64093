// PNG, GIF, TIFF and WebP files through Qt's image readers (PNG and GIF in
// Qt itself, TIFF and WebP in Qt's extra image format plugins), and the
// size that any file's header declares, read before a single pixel is
// decoded so that no file can make the program allocate gigabytes.
#include "pictures/qt_picture.h"

#include "pictures/bitmap_qimage.h"
#include "pictures/picture_file.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

// Qt's own ceiling on one image's memory, in megabytes: the largest picture
// accepted at the bytes a pixel Qt gives the format (eight for a 16-bit PNG
// or TIFF). The header's size is checked first, but a GIF's header gives the
// first frame's size while Qt allocates the whole canvas the file declares
// elsewhere; this ceiling holds that canvas to the limit too.
int QtAllocationLimitMegabytes(TPictureType type)
{
    const qint64 bytesPerPixel = type == TPictureType::Gif || type == TPictureType::WebP ? 4 : 8;
    return int(MaxPicturePixels * bytesPerPixel / (1024 * 1024)) + 1;
}

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

// libpng takes a chunk's declared length at its word and may set aside that
// much memory before it finds the file shorter: a 300-byte file declaring a
// 1.4 GB text chunk cost 1.4 GB. A chunk that runs past the end of the file
// is damage, seen from the chunk lengths alone (PNG 1.2, section 3.2:
// length, type, data, CRC), before libpng reads anything.
void CheckPngChunks(const QString &path, QFile &file)
{
    constexpr qint64 SignatureBytes = 8;
    constexpr qint64 ChunkFrameBytes = 12; // length, type and CRC
    const qint64 size = file.size();
    // Not a PNG at all is for Qt's reader to say.
    if (file.read(SignatureBytes) != QByteArrayLiteral("\x89PNG\r\n\x1A\n")) {
        file.seek(0);
        return;
    }
    for (qint64 at = SignatureBytes; at + 8 <= size;) {
        if (!file.seek(at))
            break;
        const QByteArray head = file.read(8);
        if (head.size() < 8)
            break;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        if (length + ChunkFrameBytes > size - at)
            FailToLoadPicture(path, QStringLiteral("damaged at byte %1: a part of the file runs past its end").arg(at));
        if (head.endsWith("IEND"))
            break;
        at += ChunkFrameBytes + length;
    }
    file.seek(0);
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

QImage ReadQtPicture(const QString &path, TPictureType type, bool alphaIsTransparency)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FailToLoadPicture(path, file.errorString());
    if (file.size() == 0)
        FailToLoadPicture(path, QStringLiteral("The file is empty"));
    if (type == TPictureType::Png)
        CheckPngChunks(path, file);
    QImageReader reader(&file, QtFormatOf(type));
    if (!reader.canRead())
        FailToLoadPicture(path, type == TPictureType::Unsupported
                                    ? QStringLiteral("not a picture this program can read")
                                    : QStringLiteral("not a picture this program can read (not a %1 file)")
                                          .arg(FormatName(type)));
    CheckPictureSize(path, reader.size());
    // The program reads one picture at a time, on one thread.
    QImageReader::setAllocationLimit(QtAllocationLimitMegabytes(type));
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
    CheckPictureSize(path, image.size());
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

QString ReaderFailure(const QImageReader &reader)
{
    const QString text = reader.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return QStringLiteral("The file cannot be found.");
    case QImageReader::DeviceError: return QStringLiteral("The file cannot be read.");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("The file is not a picture in a format the program reads.");
    case QImageReader::InvalidDataError: return QStringLiteral("The picture in the file is damaged.");
    case QImageReader::UnknownError:
    default: return QStringLiteral("The picture cannot be read; the file may be damaged or not a picture.");
    }
}
