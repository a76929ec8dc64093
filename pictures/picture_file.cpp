#include "pictures/picture_file.h"

#include "imaging/atomicfile.h"
#include "imaging/bmpdecoder.h"
#include "imaging/jpegdecoder.h"
#include "pictures/bitmap_qimage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string LocalName(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// An icon's transparent parts become white, as if drawn on a new bitmap.
QImage OnWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
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
    return ToQImage(bitmap);
}

QImage ReadJpegPicture(const QString &path, int scaleDenominator)
{
    TBitmapImage bitmap;
    TJpegDecoder decoder;
    decoder.ScaleDenominator = scaleDenominator;
    try {
        decoder.ReadImageFile(LocalName(path), bitmap);
    } catch (const EJpegError &error) {
        throw EPictureError(QString::fromStdString(error.what())); // names the file already
    } catch (const Exception &error) {
        FailToLoadPicture(path, QString::fromStdString(error.what()));
    }
    return ToQImage(bitmap);
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
    return OnWhite(largest);
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

QImage LoadPictureFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    switch (PictureTypeOf(path)) {
    case TPictureType::Bmp: return ReadBmpPicture(path);
    case TPictureType::Jpeg: return ReadJpegPicture(path);
    case TPictureType::Icon: return ReadIconPicture(path);
    case TPictureType::Wmf: return ReadWmfPicture(path);
    case TPictureType::Emf: return ReadEmfPicture(path);
    case TPictureType::Unsupported: break;
    }
    return {};
}

QByteArray PictureBmpBytes(const QImage &picture)
{
    // Qt writes 24 bits per pixel for a picture without palette or alpha.
    const QImage flat = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(flat))
        throw EPictureError(QStringLiteral("The picture cannot be coded as a bitmap: %1").arg(writer.errorString()));
    return bytes;
}

void WritePictureBmp(const QImage &picture, const QString &path)
{
    const QByteArray bytes = PictureBmpBytes(picture);
    WriteFileAtomically(LocalName(path), std::string_view(bytes.constData(), size_t(bytes.size())));
}
