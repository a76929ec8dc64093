// Pictures read in the confined helper: the same pixels as a reader in the
// program, and every hostile file (one that hangs a reader, asks for
// gigabytes, is huge or is no file at all) ends in a message naming the
// file within seconds, with the program's and the helper's memory small.

#include "pictures/picture_sandbox.h"
#include "tests/support/hostile_pictures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString DataDir = QStringLiteral(TESSALY_SOURCE_DIR "/tests/pictures/data/");

// What came of one read: the picture, or the error's text, and how long it took.
struct TOutcome {
    QImage Picture;
    QString Error;
    qint64 Milliseconds = 0;
};

TOutcome ReadConfined(const QString &path, TPictureType type)
{
    TOutcome outcome;
    QElapsedTimer clock;
    clock.start();
    try {
        outcome.Picture = ReadPictureConfined(path, type);
    } catch (const EPictureError &error) {
        outcome.Error = QString::fromStdString(error.what());
    }
    outcome.Milliseconds = clock.elapsed();
    return outcome;
}

// The largest resident size, in megabytes, of this process or of any
// helper it waited for.
long PeakMegabytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss / 1024;
}

QImage Gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) & 0xFF));
    return picture;
}

class PictureSandbox : public ::testing::Test {
protected:
    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString path = Dir.filePath(name);
        EXPECT_TRUE(WriteBytes(path, bytes)) << path.toStdString();
        return path;
    }
    QTemporaryDir Dir;
};

TEST_F(PictureSandbox, GivesTheSamePixelsAsTheReaderInTheProgram)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Gradient(301, 97).save(&buffer, "JPG", 85));
    QByteArray icon;
    QBuffer iconBuffer(&icon);
    iconBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Gradient(32, 32).save(&iconBuffer, "ICO"));
    const struct {
        QString Path;
        TPictureType Type;
    } cases[] = {
        {Write(QStringLiteral("photo.jpg"), jpeg), TPictureType::Jpeg},
        {Write(QStringLiteral("small.ico"), icon), TPictureType::Icon},
        {DataDir + QStringLiteral("shapes.wmf"), TPictureType::Wmf},
        {DataDir + QStringLiteral("shapes.emf"), TPictureType::Emf},
    };
    for (const auto &c : cases) {
        const QImage here = ReadPictureHere(c.Path, c.Type);
        const TOutcome confined = ReadConfined(c.Path, c.Type);
        ASSERT_TRUE(confined.Error.isEmpty()) << confined.Error.toStdString();
        EXPECT_EQ(confined.Picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(confined.Picture, here.convertToFormat(QImage::Format_RGB32)) << c.Path.toStdString();
    }
    // The program's own ways in go through the helper too.
    EXPECT_EQ(ReadPicture(cases[0].Path, TPictureType::Jpeg).size(), QSize(301, 97));
    EXPECT_EQ(LoadPictureFile(cases[2].Path).size(), QSize(188, 88));
}

// The cases the issue found: each took minutes and gigabytes in the window.
TEST_F(PictureSandbox, HangAndBombFilesEndInAMessageWithinSecondsAndSmallMemory)
{
    const struct {
        QString Path;
        TPictureType Type;
    } cases[] = {
        {Write(QStringLiteral("polygon.wmf"), PolygonWmf(200, 16384)), TPictureType::Wmf},
        {Write(QStringLiteral("polygon.emf"), PolygonEmf(200, 16384)), TPictureType::Emf},
        {Write(QStringLiteral("scans.jpg"), RepeatedScanJpeg(512, 999)), TPictureType::Jpeg},
        {Write(QStringLiteral("entries.ico"), ManyEntryIcon(65535)), TPictureType::Icon},
    };
    EXPECT_LT(QFileInfo(cases[0].Path).size(), 1100);
    EXPECT_LT(QFileInfo(cases[1].Path).size(), 1100);
    for (const auto &c : cases) {
        const TOutcome outcome = ReadConfined(c.Path, c.Type);
        EXPECT_LT(outcome.Milliseconds, 10000) << c.Path.toStdString();
        // A reader may also finish within its limits (the icon's one
        // picture, say); what it must never do is hang or grow.
        if (outcome.Picture.isNull()) {
            EXPECT_TRUE(outcome.Error.contains(c.Path)) << outcome.Error.toStdString();
        }
    }
    EXPECT_LT(PeakMegabytes(RUSAGE_CHILDREN), 500);
    EXPECT_LT(PeakMegabytes(RUSAGE_SELF), 500);
}

TEST_F(PictureSandbox, HugeSparseFilesAndFifosAreRefusedBeforeAnyReaderRuns)
{
    for (const char *name : {"huge.jpg", "huge.wmf", "huge.emf", "huge.ico"}) {
        const QString path = Dir.filePath(QString::fromLatin1(name));
        const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::ftruncate(file, off_t(3) << 30), 0); // 3 GiB, nothing on disk
        ::close(file);
        const TOutcome outcome = ReadConfined(path, PictureTypeOf(path));
        EXPECT_TRUE(outcome.Error.contains(path)) << outcome.Error.toStdString();
        EXPECT_TRUE(outcome.Error.contains(QStringLiteral("3072 MB"))) << outcome.Error.toStdString();
        EXPECT_LT(outcome.Milliseconds, 1000);
    }
    const QString fifo = Dir.filePath(QStringLiteral("waiting.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const TOutcome outcome = ReadConfined(fifo, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(QStringLiteral("not a regular file"))) << outcome.Error.toStdString();
}

TEST_F(PictureSandbox, QtsReadersSayWhyInsteadOfUnknownError)
{
    for (const char *name : {"junk.png", "junk.gif", "junk.xyz"}) {
        const QString path = Write(QString::fromLatin1(name), "this is no picture at all");
        QString error;
        try {
            ReadQtPictureConfined(path);
        } catch (const EPictureError &failure) {
            error = QString::fromStdString(failure.what());
        }
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_FALSE(error.contains("Unknown error")) << error.toStdString();
    }
}

// The formats Qt's readers and libheif read come back with their own
// reasons, as they would from a reader in the program, and a 32-bit PNG's
// alpha is either laid on white or ignored as the caller asks.
TEST_F(PictureSandbox, QtAndHeifReadersSayTheirReasonsThroughTheHelper)
{
    QImage translucent(4, 2, QImage::Format_ARGB32);
    translucent.fill(qRgba(200, 0, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "png").write(translucent));
    const QString whole = Write(QStringLiteral("clear.png"), png);
    EXPECT_EQ(ReadPictureConfined(whole, TPictureType::Png).pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(ReadPictureConfined(whole, TPictureType::Png, DefaultReaderLimits(), TAlpha::Ignored).pixel(0, 0),
              qRgb(200, 0, 0));

    const QString cut = Write(QStringLiteral("cut.png"), png.left(png.size() - 20));
    EXPECT_TRUE(ReadConfined(cut, TPictureType::Png).Error.contains(QStringLiteral("damaged at byte")));
    const QString junk = Write(QStringLiteral("junk.heic"), "this is no picture at all");
    EXPECT_TRUE(ReadConfined(junk, TPictureType::Heif).Error.contains(QStringLiteral("not a picture this program "
                                                                                     "can read")));
    // A header declaring more than MaxPicturePixels: see picture_formats_test,
    // whose files reach the helper by the same way in.
}

// Helpers that misbehave in every way a reader can, stood in by scripts.
class MisbehavingHelper : public PictureSandbox {
protected:
    void Use(const QByteArray &script)
    {
        const QString path = Write(QStringLiteral("helper.sh"), "#!/bin/sh\n" + script + "\n");
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("TESSALY_PICTURE_READER", QFile::encodeName(path));
        Picture = Write(QStringLiteral("picture.jpg"), "\xFF\xD8\xFF");
    }
    void TearDown() override { qunsetenv("TESSALY_PICTURE_READER"); }
    QString Picture;
};

TEST_F(MisbehavingHelper, ACrashIsAMessageNamingTheFile)
{
    Use("kill -SEGV $$");
    const TOutcome outcome = ReadConfined(Picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(Picture)) << outcome.Error.toStdString();
    EXPECT_TRUE(outcome.Error.contains(QStringLiteral("stopped on it"))) << outcome.Error.toStdString();
}

TEST_F(MisbehavingHelper, AHangIsStoppedAtTheTimeLimit)
{
    Use("exec sleep 60");
    const TOutcome outcome = ReadConfined(Picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(QStringLiteral("took longer than"))) << outcome.Error.toStdString();
    EXPECT_LT(outcome.Milliseconds, (DefaultReaderLimits().WallSeconds + 2) * 1000);
}

TEST_F(MisbehavingHelper, GarbageOrAnImpossibleSizeIsRefused)
{
    Use("printf 'TPR1\\000\\377\\377\\377\\177\\377\\377\\377\\177'");
    TOutcome outcome = ReadConfined(Picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(QStringLiteral("impossible size"))) << outcome.Error.toStdString();
    Use("echo hello");
    outcome = ReadConfined(Picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(Picture)) << outcome.Error.toStdString();
    Use("exit 0");
    outcome = ReadConfined(Picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(Picture)) << outcome.Error.toStdString();
}

// Every way in reaches the helper for every format but the program's own
// BMP: a helper that crashes on everything shows which.
TEST_F(MisbehavingHelper, OnlyBitmapsAreReadInTheProgram)
{
    Use("kill -SEGV $$");
    const QImage pixels = Gradient(6, 4);
    // (Qt writes no GIF; its reader is reached the same way as the others.)
    const char *formats[] = {"png", "tiff", "webp", "jpg"};
    for (const char *format : formats) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, format).write(pixels)) << format;
        const QString path = Write(QStringLiteral("picture.") + QLatin1String(format), bytes);
        QString error;
        try {
            LoadPictureFile(path);
        } catch (const EPictureError &failure) {
            error = QString::fromStdString(failure.what());
        }
        EXPECT_TRUE(error.contains(QStringLiteral("stopped on it"))) << format << ": " << error.toStdString();
    }
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "bmp").write(pixels));
    EXPECT_EQ(LoadPictureFile(Write(QStringLiteral("picture.bmp"), bmp)).size(), QSize(6, 4));
}

TEST_F(MisbehavingHelper, AMissingHelperIsAMessage)
{
    qputenv("TESSALY_PICTURE_READER", "/nonexistent/tessaly-picture-reader");
    const QString picture = Write(QStringLiteral("picture.jpg"), "\xFF\xD8\xFF");
    const TOutcome outcome = ReadConfined(picture, TPictureType::Jpeg);
    EXPECT_TRUE(outcome.Error.contains(QStringLiteral("tessaly-picture-reader"))) << outcome.Error.toStdString();
}

} // namespace
