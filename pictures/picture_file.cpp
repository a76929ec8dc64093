#include "pictures/picture_file.h"

#include "imaging/bmpdecoder.h"
#include "imaging/jpegdecoder.h"
#include "pictures/bitmap_qimage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string LocalName(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

void FailToLoadPicture(const QString &path, const QString &reason)
{
    throw EPictureError(QStringLiteral("Cannot load the picture \"%1\": %2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        reason);
}

QImage ReadBmpPicture(const QString &path)
{
    std::ifstream file(LocalName(path), std::ios::binary);
    if (!file || QFileInfo(path).isDir())
        FailToLoadPicture(path, QString::fromLocal8Bit(std::strerror(file ? EISDIR : errno)));
    TBitmapImage bitmap;
    try {
        TBmpDecoder().ReadImageStream(file, bitmap);
    } catch (const EGraphicsException &error) {
        FailToLoadPicture(path, QString::fromStdString(error.what()));
    }
    return ToQImage(std::move(bitmap));
}

QImage ReadJpegPicture(const QString &path, int scaleDenominator)
{
    TBitmapImage bitmap;
    TJpegDecoder decoder;
    decoder.ScaleDenominator = scaleDenominator;
    decoder.OpaqueAlpha = true; // as Qt's opaque pictures have it
    try {
        decoder.ReadImageFile(LocalName(path), bitmap);
    } catch (const EJpegError &error) {
        throw EPictureError(QString::fromStdString(error.what())); // names the file already
    } catch (const Exception &error) {
        FailToLoadPicture(path, QString::fromStdString(error.what()));
    }
    return ToQImage(std::move(bitmap), true);
}

QImage ReadIconPicture(const QString &path)
{
    QImageReader reader(path, "ico");
    if (!reader.canRead())
        FailToLoadPicture(path, reader.errorString());
    // An icon file holds the same picture at several sizes; the largest
    // shows it best.
    QImage largest;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        if (largest.isNull()
            || qint64(image.width()) * image.height() > qint64(largest.width()) * largest.height())
            largest = image;
    }
    if (largest.isNull())
        FailToLoadPicture(path, reader.errorString());
    // Its transparent parts become white, as if drawn on a new bitmap.
    return OpaqueOnWhite(largest);
}

TPictureType PictureTypeOf(const QString &fileName)
{
    const QString name = fileName.toLower();
    if (name.endsWith(QLatin1String(".bmp")))
        return TPictureType::Bmp;
    if (name.endsWith(QLatin1String(".jpg")) || name.endsWith(QLatin1String(".jpeg")))
        return TPictureType::Jpeg;
    if (name.endsWith(QLatin1String(".ico")))
        return TPictureType::Icon;
    if (name.endsWith(QLatin1String(".wmf")))
        return TPictureType::Wmf;
    if (name.endsWith(QLatin1String(".emf")))
        return TPictureType::Emf;
    return TPictureType::Unsupported;
}

TPictureType PictureTypeOfContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TPictureType::Unsupported;
    const QByteArray start = file.read(3);
    if (start.startsWith("BM"))
        return TPictureType::Bmp;
    if (start == QByteArrayLiteral("\xFF\xD8\xFF"))
        return TPictureType::Jpeg;
    return TPictureType::Unsupported;
}

QImage LoadPictureFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    return ReadPicture(path, PictureTypeOf(path));
}

QImage ReadPicture(const QString &path, TPictureType type)
{
    switch (type) {
    case TPictureType::Bmp: return ReadBmpPicture(path);
    case TPictureType::Jpeg: return ReadJpegPicture(path);
    case TPictureType::Icon: return ReadIconPicture(path);
    case TPictureType::Wmf: return ReadWmfPicture(path);
    case TPictureType::Emf: return ReadEmfPicture(path);
    case TPictureType::Unsupported: break;
    }
    return {};
}
