// The formats people's pictures come in: PNG, GIF, TIFF, WebP (Qt's
// readers) and HEIC (libheif), each against files made by independent
// tools (ImageMagick, heif-enc, libheif's encoder), damaged files as
// reasons, and headers that declare absurd sizes refused before any pixel
// memory is taken.

#include "pictures/picture_file.h"

#include "tests/imaging/exif_segment.h"
#include "tests/support/tool_run.h"

#include <gtest/gtest.h>

#include <QFile>
#include "tests/pictures/asymmetric_picture.h"

#include <QTemporaryDir>

#include <libheif/heif.h>
#include <sys/resource.h>

#include <cstring>
#include <functional>

namespace {

// 6 x 5, no symmetry: red top-left, green top-right, blue bottom-left, one
// half-transparent black pixel that must come out grey on white.
QImage Asymmetric()
{
    QImage image = AsymmetricPicture().convertToFormat(QImage::Format_ARGB32);
    image.setPixel(4, 4, qRgba(0, 0, 0, 128));
    return image;
}

// The same picture as it must be read: opaque, the transparency on white.
QImage AsymmetricOnWhite()
{
    QImage image = Asymmetric().convertToFormat(QImage::Format_RGB32);
    image.setPixel(4, 4, qRgb(127, 127, 127));
    return image;
}

// Large blocks of colour, so that lossy codecs keep every block's colour.
// 24 x 16 stored: red top-left quarter, blue top-right, grey below.
QImage Blocks()
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 12; ++x) {
            image.setPixel(x, y, qRgb(255, 0, 0));
            image.setPixel(x + 12, y, qRgb(0, 0, 255));
        }
    }
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

int LargestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
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

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A HEIC file of `image` as a phone writes it when held turned: the pixels
// as the sensor saw them and a rotation property that turns them upright
// (libheif's encoder writes it from an Exif-style orientation).
bool WriteTurnedHeic(const QImage &stored, heif_orientation orientation, const QString &path)
{
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *image = nullptr;
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok
              && heif_image_create(stored.width(), stored.height(), heif_colorspace_RGB,
                                   heif_chroma_interleaved_RGB, &image).code == heif_error_Ok
              && heif_image_add_plane(image, heif_channel_interleaved, stored.width(), stored.height(), 8).code
                     == heif_error_Ok;
    if (ok) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < stored.height(); ++y) {
            for (int x = 0; x < stored.width(); ++x) {
                const QRgb pixel = stored.pixel(x, y);
                plane[y * stride + 3 * x] = uint8_t(qRed(pixel));
                plane[y * stride + 3 * x + 1] = uint8_t(qGreen(pixel));
                plane[y * stride + 3 * x + 2] = uint8_t(qBlue(pixel));
            }
        }
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_encoding_options *options = heif_encoding_options_alloc();
        options->image_orientation = orientation;
        ok = heif_context_encode_image(context, image, encoder, options, nullptr).code == heif_error_Ok
             && heif_context_write_to_file(context, QFile::encodeName(path).constData()).code == heif_error_Ok;
        heif_encoding_options_free(options);
    }
    if (image)
        heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return ok;
}

// CRC-32 of PNG chunks (ISO 3309, as the PNG specification gives it).
uint32_t Crc32(const QByteArray &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= uint8_t(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBig32(QByteArray &bytes, int at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (24 - 8 * i)) & 0xFF);
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

class PictureFormats : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Path(const QString &name) const { return Dir.filePath(name); }
    // ImageMagick converts a PNG of the test's own into another format.
    QString Converted(const QImage &image, const QString &name, const QStringList &options = {})
    {
        const QString source = Path(name + ".source.png");
        EXPECT_TRUE(image.save(source, "PNG"));
        EXPECT_EQ(RunTool("convert", QStringList{source} + options + QStringList{Path(name)}).ExitCode, 0) << name.toStdString();
        return Path(name);
    }
};

TEST_F(PictureFormats, PngGifTiffAndLosslessWebPGiveTheirExactPixelsOnWhite)
{
    const QString png = Path("small.png");
    ASSERT_TRUE(Asymmetric().save(png, "PNG"));
    const QString tiff = Converted(Asymmetric(), "small.tif");
    const QString webp = Converted(Asymmetric(), "small.webp", {"-define", "webp:lossless=true"});
    for (const QString &path : {png, tiff, webp}) {
        SCOPED_TRACE(path.toStdString());
        const QImage read = LoadPictureFile(path);
        ASSERT_EQ(read.size(), QSize(6, 5));
        EXPECT_EQ(read.format(), QImage::Format_RGB32);
        EXPECT_LE(LargestDifference(read, AsymmetricOnWhite()), 1);
        EXPECT_EQ(read.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(read.pixel(0, 4), qRgb(0, 0, 255));
        EXPECT_EQ(read.pixel(3, 2), qRgb(10, 20, 30));
    }
    // GIF: a palette and one transparent colour, no partial alpha.
    QImage gifSource = Asymmetric();
    gifSource.setPixel(4, 4, qRgba(0, 0, 0, 0));
    const QString gif = Converted(gifSource, "small.gif");
    QImage expected = AsymmetricOnWhite();
    expected.setPixel(4, 4, qRgb(255, 255, 255));
    EXPECT_EQ(LoadPictureFile(gif), expected);
}

TEST_F(PictureFormats, AnAnimatedGifGivesItsFirstFrameAndAMultiPageTiffItsFirstPage)
{
    QImage red(8, 6, QImage::Format_RGB32), blue(8, 6, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(red.save(Path("red.png")) && blue.save(Path("blue.png")));
    for (const char *name : {"anim.gif", "pages.tif"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(RunTool("convert", {Path("red.png"), Path("blue.png"), Path(name)}).ExitCode, 0);
        const QImage read = LoadPictureFile(Path(name));
        ASSERT_EQ(read.size(), QSize(8, 6));
        EXPECT_EQ(read.pixel(4, 3), qRgb(255, 0, 0));
    }
}

TEST_F(PictureFormats, HeicIsReadWithinItsCodecsLossAndLosslessWebPExactly)
{
    ASSERT_TRUE(Blocks().save(Path("blocks.png")));
    ASSERT_EQ(RunTool("heif-enc", {"-q", "95", "-o", Path("blocks.heic"), Path("blocks.png")}).ExitCode, 0);
    const QImage heic = LoadPictureFile(Path("blocks.heic"));
    ASSERT_EQ(heic.size(), QSize(24, 16));
    EXPECT_EQ(heic.format(), QImage::Format_RGB32);
    // Inside each block, away from the chroma edges, the colour holds.
    EXPECT_TRUE(Near(heic.pixel(3, 3), qRgb(255, 0, 0), 24));
    EXPECT_TRUE(Near(heic.pixel(20, 3), qRgb(0, 0, 255), 24));
    EXPECT_TRUE(Near(heic.pixel(12, 13), qRgb(128, 128, 128), 24));
    // Named anything, it is known by its contents.
    QFile::copy(Path("blocks.heic"), Path("blocks.jpg"));
    EXPECT_EQ(LoadPictureFile(Path("blocks.jpg")).size(), QSize(24, 16));

    const QString lossy = Converted(Blocks(), "blocks.webp", {"-quality", "90"});
    const QImage webp = LoadPictureFile(lossy);
    ASSERT_EQ(webp.size(), QSize(24, 16));
    EXPECT_TRUE(Near(webp.pixel(3, 3), qRgb(255, 0, 0), 24));
    EXPECT_TRUE(Near(webp.pixel(20, 3), qRgb(0, 0, 255), 24));
}

// A phone held turned: the picture stands as the file says. TIFF keeps the
// turn in its Orientation tag, HEIC in its rotation and mirror properties.
TEST_F(PictureFormats, TurnedTiffAndHeicStandUpright)
{
    // Stored 24 x 16 (red top left, blue top right); orientation 6 (turned
    // 90 degrees clockwise to stand) gives 16 x 24, red top right.
    const QString tiff = Converted(Blocks(), "turned.tif", {"-orient", "RightTop"});
    const QImage upright = LoadPictureFile(tiff);
    ASSERT_EQ(upright.size(), QSize(16, 24));
    EXPECT_EQ(upright.pixel(12, 3), qRgb(255, 0, 0));
    EXPECT_EQ(upright.pixel(12, 20), qRgb(0, 0, 255));

    const struct {
        heif_orientation Orientation;
        QSize Size;
        QPoint Red;
    } turns[] = {
        {heif_orientation_normal, {24, 16}, {3, 3}},
        {heif_orientation_rotate_90_cw, {16, 24}, {12, 3}},
        {heif_orientation_rotate_180, {24, 16}, {20, 12}},
        {heif_orientation_rotate_270_cw, {16, 24}, {3, 20}},
        {heif_orientation_flip_horizontally, {24, 16}, {20, 3}},
    };
    for (const auto &turn : turns) {
        SCOPED_TRACE(int(turn.Orientation));
        const QString path = Path(QStringLiteral("turned%1.heic").arg(int(turn.Orientation)));
        ASSERT_TRUE(WriteTurnedHeic(Blocks(), turn.Orientation, path));
        const QImage heic = LoadPictureFile(path);
        ASSERT_EQ(heic.size(), turn.Size);
        EXPECT_TRUE(Near(heic.pixel(turn.Red), qRgb(255, 0, 0), 24));
    }

    // The HEIF standard leaves the turn to those properties alone: an Exif
    // orientation in a HEIC (heif-enc copies it from a JPEG) is not applied
    // a second time, as a phone's photo carries both.
    ASSERT_TRUE(Blocks().save(Path("blocks.jpg"), "JPG", 95));
    const QByteArray jpeg = Contents(Path("blocks.jpg"));
    const std::vector<uint8_t> tagged = WithSegment(std::vector<uint8_t>(jpeg.begin(), jpeg.end()),
                                                    ExifSegment(6, EXIF_BYTE_ORDER_MOTOROLA));
    Write(Path("exif6.jpg"), QByteArray(reinterpret_cast<const char *>(tagged.data()), qsizetype(tagged.size())));
    ASSERT_EQ(LoadPictureFile(Path("exif6.jpg")).size(), QSize(16, 24)); // a JPEG turns by it
    ASSERT_EQ(RunTool("heif-enc", {"-q", "95", "-o", Path("exif6.heic"), Path("exif6.jpg")}).ExitCode, 0);
    const QImage exifOnly = LoadPictureFile(Path("exif6.heic"));
    ASSERT_EQ(exifOnly.size(), QSize(24, 16));
    EXPECT_TRUE(Near(exifOnly.pixel(3, 3), qRgb(255, 0, 0), 24));
}

TEST_F(PictureFormats, DamagedAndCutFilesOfEachTypeSayWhy)
{
    QImage photo(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x * 5 + y * 91) & 0xFF));
    }
    ASSERT_TRUE(photo.save(Path("whole.png")));
    Converted(photo, "whole.gif");
    Converted(photo, "whole.tif");
    Converted(photo, "whole.webp");
    ASSERT_EQ(RunTool("heif-enc", {"-q", "80", "-o", Path("whole.heic"), Path("whole.png")}).ExitCode, 0);
    for (const char *ending : {"png", "gif", "tif", "webp", "heic"}) {
        SCOPED_TRACE(ending);
        const QByteArray whole = Contents(Path(QStringLiteral("whole.%1").arg(ending)));
        ASSERT_GT(whole.size(), 200);
        const QString cut = Path(QStringLiteral("cut.%1").arg(ending));
        Write(cut, whole.left(whole.size() / 2));
        const QString cutError = ErrorOf([&] { LoadPictureFile(cut); });
        EXPECT_TRUE(cutError.contains(cut)) << cutError.toStdString();
        EXPECT_TRUE(cutError.contains("damaged")) << cutError.toStdString();

        const QString garbage = Path(QStringLiteral("garbage.%1").arg(ending));
        Write(garbage, QByteArray(400, 'x'));
        const QString garbageError = ErrorOf([&] { LoadPictureFile(garbage); });
        EXPECT_TRUE(garbageError.contains(garbage)) << garbageError.toStdString();
        EXPECT_TRUE(garbageError.contains("not a picture this program can read")) << garbageError.toStdString();

        Write(Path(QStringLiteral("empty.%1").arg(ending)), {});
        EXPECT_FALSE(ErrorOf([&] { LoadPictureFile(Path(QStringLiteral("empty.%1").arg(ending))); }).isEmpty());
    }
    // A file neither named nor made as any picture the program reads.
    Write(Path("notes.txt"), "shopping: eggs, flour");
    EXPECT_TRUE(ErrorOf([&] { LoadPictureFile(Path("notes.txt")); }).contains("not a picture this program can read"));
}

// Headers that declare gigapixel pictures in a few dozen bytes are refused
// from the header: nothing near their size is ever allocated.
TEST_F(PictureFormats, HeadersDeclaringAbsurdSizesAreRefusedBeforeAnyPixelMemory)
{
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(qRgb(9, 99, 199));
    ASSERT_TRUE(small.save(Path("small.png")) && small.save(Path("small.jpg"), "JPG"));

    // PNG: IHDR (width, height at bytes 16 and 20) says 65535 x 65535.
    QByteArray png = Contents(Path("small.png"));
    PutBig32(png, 16, 65535);
    PutBig32(png, 20, 65535);
    PutBig32(png, 29, Crc32(png.mid(12, 17)));
    Write(Path("bomb.png"), png);

    // JPEG: the frame header (FF C0) says 60000 x 60000.
    QByteArray jpeg = Contents(Path("small.jpg"));
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = char(60000 >> 8);
    jpeg[sof + 6] = char(60000 & 0xFF);
    jpeg[sof + 7] = char(60000 >> 8);
    jpeg[sof + 8] = char(60000 & 0xFF);
    Write(Path("bomb.jpg"), jpeg);

    const long before = PeakMegabytes();
    for (const char *name : {"bomb.png", "bomb.jpg"}) {
        SCOPED_TRACE(name);
        const QString error = ErrorOf([&] { LoadPictureFile(Path(name)); });
        EXPECT_TRUE(error.contains("too large")) << error.toStdString();
        EXPECT_TRUE(error.contains(Path(name))) << error.toStdString();
    }
    // PNG: a 300-byte file whose text chunk declares 1.4 GB (libpng would
    // set that much aside before finding the file shorter).
    QByteArray chunky = Contents(Path("small.png"));
    const int end = chunky.indexOf("IEND") - 4;
    ASSERT_GT(end, 0);
    QByteArray text("\x56\x00\x00\x25tEXtComment\0", 16);
    chunky.insert(end, text + QByteArray(40, 'a'));
    Write(Path("chunk.png"), chunky);
    const QString chunkError = ErrorOf([&] { LoadPictureFile(Path("chunk.png")); });
    EXPECT_TRUE(chunkError.contains(QStringLiteral("damaged at byte %1").arg(end))) << chunkError.toStdString();

    EXPECT_LT(PeakMegabytes() - before, 200);
    EXPECT_LT(PeakMegabytes(), 400);

    // Just past the limit is refused too; a picture within it is not.
    EXPECT_NO_THROW(CheckPictureSize("fine.png", QSize(10000, 10000)));
    EXPECT_THROW(CheckPictureSize("large.png", QSize(10001, 10000)), EPictureError);
    EXPECT_NO_THROW(CheckPictureSize("unknown.png", QSize()));
}

TEST(PictureFileFilter, ListsEveryFormatWithAllPicturesFirst)
{
    ASSERT_TRUE(PictureFileFilter().startsWith("All pictures ("));
    const QString all = PictureFileFilter().section(";;", 0, 0);
    for (const char *pattern : {"*.jpg", "*.jpeg", "*.png", "*.heic", "*.heif", "*.webp", "*.gif", "*.tif",
                                "*.tiff", "*.bmp", "*.ico", "*.emf", "*.wmf"}) {
        EXPECT_TRUE(all.contains(pattern)) << pattern;
        EXPECT_NE(PictureTypeOf(QString("x") + (pattern + 1)), TPictureType::Unsupported) << pattern;
    }
}

} // namespace
