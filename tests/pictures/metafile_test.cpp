// Windows and enhanced metafiles drawn at their own pixel size, from small
// samples made with LibreOffice (data/README.md), and damaged ones refused
// with the file's name.

#include "pictures/picture_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString DataDir = QStringLiteral(TESSALY_SOURCE_DIR "/tests/pictures/data/");

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ErrorOf(const QString &path)
{
    try {
        LoadPictureFile(path);
    } catch (const EPictureError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

bool IsRed(QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }
bool IsBlue(QRgb p) { return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60; }
bool IsWhite(QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; }

class Metafile : public ::testing::TestWithParam<const char *> {};

TEST_P(Metafile, DrawnAtItsOwnPixelSizeWithItsShapesInPlace)
{
    const QImage picture = LoadPictureFile(DataDir + GetParam());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    // The sizes the files declare: the WMF's placeable header 4994 x 2348
    // units at 2540 per inch, 188.7 x 88.7 pixels at the screen's 96 per
    // inch; the EMF's device bounds 0..188 x 0..88.
    EXPECT_EQ(picture.width(), 188);
    EXPECT_EQ(picture.height(), 88);
    const double sx = picture.width() / 200.0, sy = picture.height() / 100.0;
    const auto at = [&](int x, int y) { return picture.pixel(int(x * sx), int(y * sy)); };
    EXPECT_TRUE(IsRed(at(50, 30)));
    EXPECT_TRUE(IsBlue(at(150, 60)));
    EXPECT_TRUE(IsWhite(at(100, 80)));
    EXPECT_TRUE(IsWhite(at(5, 95)));
}

TEST_P(Metafile, DamagedFileIsAnErrorNamingIt)
{
    QTemporaryDir dir;
    const QByteArray good = Bytes(DataDir + GetParam());
    ASSERT_FALSE(good.isEmpty());
    const QString suffix = QString::fromLatin1(GetParam()).right(4);
    const struct {
        const char *Name;
        QByteArray Bytes;
    } cases[] = {
        {"empty", {}},
        {"text", "this is not a metafile at all, only words"},
        {"header", good.left(30)},
        {"cut", good.left(good.size() / 2)},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(c.Name + suffix);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.Bytes);
        file.close();
        const QString error = ErrorOf(path);
        // A cut-short metafile may still draw what it holds; it must never crash.
        if (QByteArray(c.Name) != "cut") {
            EXPECT_TRUE(error.contains(path)) << c.Name << ": " << error.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, Metafile, ::testing::Values("shapes.wmf", "shapes.emf"));

} // namespace

namespace {

TEST_P(Metafile, CorruptedBytesNeverCrash)
{
    QTemporaryDir dir;
    const QByteArray good = Bytes(DataDir + GetParam());
    const QString path = dir.filePath(QStringLiteral("fuzzed") + QString::fromLatin1(GetParam()).right(4));
    unsigned seed = 11;
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes = good;
        for (int flips = 0; flips < 3; ++flips) {
            seed = seed * 1103515245u + 12345u;
            bytes[qsizetype((seed >> 8) % unsigned(bytes.size()))] = char(seed >> 24);
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const QString error = ErrorOf(path);
        if (!error.isEmpty()) {
            EXPECT_TRUE(error.contains(path)) << error.toStdString();
        }
    }
}

} // namespace
