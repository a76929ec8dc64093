#include "pictures/picture_file.h"

#include "imaging/bmpdecoder.h"
#include "imaging/jpegdecoder.h"
#include "pictures/bitmap_qimage.h"
#include "pictures/picture_sandbox.h"
#include "pictures/qt_picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string LocalName(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

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
        FailToLoadPicture(path, ReaderFailure(reader));
    // An icon file holds the same picture at several sizes; the largest
    // shows it best.
    QImage largest;
    // Real icons hold a handful of sizes; a directory of thousands of
    // entries (all pointing at one picture, say) would be decoded thousands
    // of times.
    constexpr int MaxIconImages = 64;
    const int count = std::clamp(reader.imageCount(), 1, MaxIconImages);
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
        FailToLoadPicture(path, ReaderFailure(reader));
    // Its transparent parts become white, as if drawn on a new bitmap.
    return OpaqueOnWhite(largest);
}

namespace {

struct TPictureEnding {
    const char *Ending;
    TPictureType Type;
};
constexpr TPictureEnding PictureEndings[] = {
    {".bmp", TPictureType::Bmp},   {".jpg", TPictureType::Jpeg},  {".jpeg", TPictureType::Jpeg},
    {".png", TPictureType::Png},   {".gif", TPictureType::Gif},   {".tif", TPictureType::Tiff},
    {".tiff", TPictureType::Tiff}, {".webp", TPictureType::WebP}, {".heic", TPictureType::Heif},
    {".heif", TPictureType::Heif}, {".ico", TPictureType::Icon},  {".wmf", TPictureType::Wmf},
    {".emf", TPictureType::Emf},
};

} // namespace

QString PictureFileFilter()
{
    return QStringLiteral(
        "All pictures (*.jpg *.jpeg *.png *.heic *.heif *.webp *.gif *.tif *.tiff *.bmp *.ico *.emf *.wmf);;"
        "JPEG Image File (*.jpg *.jpeg);;PNG Image (*.png);;HEIF/HEIC Photo (*.heic *.heif);;"
        "WebP Image (*.webp);;GIF Image (*.gif);;TIFF Image (*.tif *.tiff);;Bitmaps (*.bmp);;Icons (*.ico);;"
        "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)");
}

TPictureType PictureTypeOf(const QString &fileName)
{
    const QString name = fileName.toLower();
    for (const TPictureEnding &ending : PictureEndings) {
        if (name.endsWith(QLatin1String(ending.Ending)))
            return ending.Type;
    }
    return TPictureType::Unsupported;
}

TPictureType PictureTypeOfContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TPictureType::Unsupported;
    const QByteArray start = file.read(16);
    if (start.startsWith("BM"))
        return TPictureType::Bmp;
    if (start.startsWith(QByteArrayLiteral("\xFF\xD8\xFF")))
        return TPictureType::Jpeg;
    if (start.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1A\n")))
        return TPictureType::Png;
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return TPictureType::Gif;
    if (start.startsWith(QByteArrayLiteral("II*\0")) || start.startsWith(QByteArrayLiteral("MM\0*")))
        return TPictureType::Tiff;
    if (start.startsWith("RIFF") && start.mid(8, 4) == "WEBP")
        return TPictureType::WebP;
    // ISO base media files: a box "ftyp" naming a HEIF brand.
    static const QByteArray heifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"};
    if (start.mid(4, 4) == "ftyp") {
        for (const QByteArray &brand : heifBrands) {
            if (start.mid(8, 4) == brand)
                return TPictureType::Heif;
        }
    }
    return TPictureType::Unsupported;
}

QImage LoadPictureFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    TPictureType type = PictureTypeOfContents(path);
    if (type == TPictureType::Unsupported)
        type = PictureTypeOf(path);
    if (type == TPictureType::Unsupported)
        FailToLoadPicture(path, QStringLiteral("not a picture this program can read"));
    return ReadPicture(path, type);
}

QImage ReadPicture(const QString &path, TPictureType type)
{
    // The program's own BMP decoder reads here; every reader written
    // elsewhere reads confined in the helper process.
    if (type == TPictureType::Bmp) {
        // The decoder takes up to 2^28 pixels; the header alone says
        // whether the picture is within the smaller limit.
        CheckPictureSize(path, DeclaredPictureSize(path, type));
        return ReadBmpPicture(path);
    }
    if (type == TPictureType::Unsupported)
        return {};
    return ReadPictureConfined(path, type);
}

QImage ReadPictureHere(const QString &path, TPictureType type)
{
    switch (type) {
    case TPictureType::Bmp:
    case TPictureType::Jpeg:
        // The program's own decoders take up to 2^28 pixels; the header
        // alone says whether the picture is within the smaller limit.
        CheckPictureSize(path, DeclaredPictureSize(path, type));
        return type == TPictureType::Bmp ? ReadBmpPicture(path) : ReadJpegPicture(path);
    case TPictureType::Png:
    case TPictureType::Gif:
    case TPictureType::Tiff:
    case TPictureType::WebP: return ReadQtPicture(path, type);
    case TPictureType::Heif: return ReadHeifPicture(path);
    case TPictureType::Icon: return ReadIconPicture(path);
    case TPictureType::Wmf: return ReadWmfPicture(path);
    case TPictureType::Emf: return ReadEmfPicture(path);
    case TPictureType::Unsupported: return ReadQtPicture(path, type);
    }
    return {};
}
