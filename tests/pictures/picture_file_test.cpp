// Reading the user's picture files: each reader against files made by
// independent tools (Qt's writers, cjpeg, ImageMagick), damaged files as
// errors naming the file, and the conversion between bitmap and QImage.

#include "pictures/bitmap_qimage.h"
#include "pictures/bmp_file.h"
#include "pictures/picture_file.h"

#include "imaging/bmpdecoder.h"
#include "tests/support/tool_run.h"

#include "tests/pictures/asymmetric_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

namespace {

QImage Asymmetric() { return AsymmetricPicture(); }

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString ErrorOf(const std::function<void()> &read)
{
    try {
        read();
    } catch (const EPictureError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

class PictureFile : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Path(const QString &name) const { return Dir.filePath(name); }
};

TEST(BitmapQImage, BothWaysKeepEveryPixelAndTheRowOrder)
{
    const QImage source = Asymmetric();
    const TBitmapImage bitmap = ToBitmapImage(source);
    ASSERT_EQ(bitmap.Width, 6);
    ASSERT_EQ(bitmap.Height, 5);
    EXPECT_EQ(bitmap.At(0, 0), (TPixel{0, 0, 255, 0}));
    EXPECT_EQ(bitmap.At(0, 4), (TPixel{255, 0, 0, 0}));
    EXPECT_EQ(bitmap.At(3, 2), (TPixel{30, 20, 10, 0}));
    const QImage back = ToQImage(bitmap);
    EXPECT_EQ(back.format(), QImage::Format_RGB32);
    EXPECT_EQ(back, source);
    EXPECT_TRUE(ToQImage(TBitmapImage()).isNull());

    // Taken over rather than copied: the same picture, the bitmap left empty,
    // and the image as free to change and share as any other.
    TBitmapImage moved = ToBitmapImage(source);
    QImage taken = ToQImage(std::move(moved));
    EXPECT_EQ(moved.Width, 0);
    EXPECT_TRUE(moved.Pixels.empty());
    EXPECT_EQ(taken, source);
    const QImage shared = taken;
    taken.setPixel(1, 1, qRgb(1, 2, 3));
    EXPECT_EQ(shared, source);
    EXPECT_EQ(taken.pixel(1, 1), qRgb(1, 2, 3));
}

TEST(BitmapQImage, AlphaIsNeverTransparency)
{
    TBitmapImage bitmap;
    bitmap.SetSize(2, 1);
    bitmap.At(0, 0) = TPixel{1, 2, 3, 0}; // a 32-bit BMP's zero fourth byte
    EXPECT_EQ(ToQImage(bitmap).pixel(0, 0), qRgb(3, 2, 1));

    QImage clear(2, 1, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(1, 0, qRgba(0, 0, 255, 255));
    const TBitmapImage flat = ToBitmapImage(clear);
    EXPECT_EQ(flat.At(0, 0), (TPixel{255, 255, 255, 0})); // on white
    EXPECT_EQ(flat.At(1, 0), (TPixel{255, 0, 0, 0}));
}

TEST_F(PictureFile, ExtensionsAreReadWithoutRegardToCase)
{
    EXPECT_EQ(PictureTypeOf("a.BMP"), TPictureType::Bmp);
    EXPECT_EQ(PictureTypeOf("/x/photo.JpEg"), TPictureType::Jpeg);
    EXPECT_EQ(PictureTypeOf("photo.jpg"), TPictureType::Jpeg);
    EXPECT_EQ(PictureTypeOf("i.ico"), TPictureType::Icon);
    EXPECT_EQ(PictureTypeOf("m.Wmf"), TPictureType::Wmf);
    EXPECT_EQ(PictureTypeOf("m.emf"), TPictureType::Emf);
    EXPECT_EQ(PictureTypeOf("anim.GIF"), TPictureType::Gif);
    EXPECT_EQ(PictureTypeOf("IMG_0001.HEIC"), TPictureType::Heif);
    EXPECT_EQ(PictureTypeOf("scan.Tif"), TPictureType::Tiff);
    EXPECT_EQ(PictureTypeOf("web.webp"), TPictureType::WebP);
    EXPECT_EQ(PictureTypeOf("notes.txt"), TPictureType::Unsupported);
    EXPECT_EQ(PictureTypeOf("bmp"), TPictureType::Unsupported);
    EXPECT_EQ(PictureTypeOf("photo.jpg.txt"), TPictureType::Unsupported);
}

TEST_F(PictureFile, BmpGoesThroughTheProgramsDecoder)
{
    ASSERT_TRUE(Asymmetric().save(Path("p.bmp"), "BMP"));
    EXPECT_EQ(LoadPictureFile(Path("p.bmp")), Asymmetric());

    QByteArray damaged = PictureBmpBytes(Asymmetric());
    damaged.truncate(60);
    WriteBytes(Path("damaged.bmp"), damaged);
    // The decoder's own reason, with the file's name.
    EXPECT_EQ(ErrorOf([&] { LoadPictureFile(Path("damaged.bmp")); }),
              QStringLiteral("Cannot load the picture \"%1\": Premature EOF in image data")
                  .arg(QDir::toNativeSeparators(Path("damaged.bmp"))));
}

TEST_F(PictureFile, JpegAndJpegNamesAreDecodedAsJpeg)
{
    ASSERT_TRUE(Asymmetric().scaled(60, 50).save(Path("source.bmp"), "BMP"));
    ASSERT_EQ(RunTool("cjpeg", {"-quality", "95", "-outfile", Path("photo.jpeg"), Path("source.bmp")}).ExitCode, 0);
    ASSERT_TRUE(QFile::copy(Path("photo.jpeg"), Path("PHOTO.JPG")));
    for (const QString name : {"photo.jpeg", "PHOTO.JPG"}) {
        const QImage picture = LoadPictureFile(Path(name));
        ASSERT_EQ(picture.size(), QSize(60, 50)) << name.toStdString();
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        EXPECT_GT(qRed(picture.pixel(2, 2)), 200);
        EXPECT_LT(qGreen(picture.pixel(2, 2)), 60);
    }
    QByteArray cut;
    {
        QFile file(Path("photo.jpeg"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        cut = file.readAll().left(300);
    }
    WriteBytes(Path("cut.jpg"), cut);
    EXPECT_TRUE(ErrorOf([&] { LoadPictureFile(Path("cut.jpg")); }).contains(Path("cut.jpg")));
}

TEST_F(PictureFile, MissingFilesGiveNoPictureAndOtherFilesAReason)
{
    EXPECT_TRUE(LoadPictureFile(Path("missing.bmp")).isNull());
    // A picture is known by its contents first: a PNG named .jpg reads.
    ASSERT_TRUE(Asymmetric().save(Path("saved-as.jpg"), "PNG"));
    EXPECT_EQ(LoadPictureFile(Path("saved-as.jpg")), Asymmetric());
    WriteBytes(Path("letter.doc"), "Dear Anna, happy birthday");
    EXPECT_TRUE(ErrorOf([&] { LoadPictureFile(Path("letter.doc")); }).endsWith(": not a picture this program can read"));
    QDir(Dir.path()).mkdir("folder.bmp");
    EXPECT_TRUE(LoadPictureFile(Path("folder.bmp")).isNull());
}

TEST_F(PictureFile, IconGivesItsLargestImageOnWhite)
{
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(qRgb(0, 0, 255));
    QImage large(48, 48, QImage::Format_ARGB32);
    large.fill(Qt::transparent);
    QPainter(&large).fillRect(0, 0, 24, 48, QColor(255, 0, 0));
    ASSERT_TRUE(small.save(Path("small.png")));
    ASSERT_TRUE(large.save(Path("large.png")));
    ASSERT_EQ(RunTool("convert", {Path("small.png"), Path("large.png"), Path("two.ico")}).ExitCode, 0);

    const QImage icon = LoadPictureFile(Path("two.ico"));
    ASSERT_EQ(icon.size(), QSize(48, 48));
    EXPECT_EQ(icon.format(), QImage::Format_RGB32);
    EXPECT_EQ(icon.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(icon.pixel(40, 2), qRgb(255, 255, 255));

    WriteBytes(Path("damaged.ico"), QByteArray("\0\0\1\0\2\0\x30\x30", 8));
    EXPECT_TRUE(ErrorOf([&] { LoadPictureFile(Path("damaged.ico")); }).contains("damaged.ico"));
    WriteBytes(Path("text.ico"), "just some text");
    EXPECT_TRUE(ErrorOf([&] { LoadPictureFile(Path("text.ico")); }).contains("text.ico"));
}

TEST_F(PictureFile, WrittenPictureIsA24BitBmpOfItsOwnSize)
{
    const QImage picture = Asymmetric();
    WritePictureBmp(picture, Path("out.jpg")); // a BMP whatever the name says
    QFile file(Path("out.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(uint8_t(bytes[28]), 24); // bits per pixel
    TBitmapImage decoded;
    TBmpDecoder().ReadImageFile(QFile::encodeName(Path("out.jpg")).toStdString(), decoded);
    EXPECT_EQ(ToQImage(decoded), picture);
    // Qt's reader, which shares no code with the writer, agrees.
    EXPECT_EQ(QImage(Path("out.jpg"), "BMP").convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(bytes, PictureBmpBytes(picture));

    // Transparent parts are written white.
    QImage clear(3, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(0, 0, qRgba(0, 0, 255, 255));
    WritePictureBmp(clear, Path("clear.bmp"));
    const QImage back(Path("clear.bmp"), "BMP");
    EXPECT_EQ(back.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(back.pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_THROW(WritePictureBmp(QImage(), Path("none.bmp")), EPictureError);
    EXPECT_FALSE(QFile::exists(Path("none.bmp")));
}

} // namespace
