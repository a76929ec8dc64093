// Card pictures that are not bitmaps, read as the picture dialog reads
// them: a phone's photo in a card's picture frame stands upright.
#include "card/card_compose.h"

#include "card/card_file.h"
#include "tests/imaging/exif_segment.h"
#include "tests/support/card_fixture.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40
           && std::abs(qBlue(a) - qBlue(b)) < 40;
}

// A phone's photo: 60 x 40 as stored, grey with a red block at the stored
// top-left corner, tagged "turn a quarter clockwise" (Exif orientation 6).
// Upright it is 40 x 60 with the red block at the top right.
QByteArray TurnedPhoto()
{
    QImage stored(60, 40, QImage::Format_RGB32);
    stored.fill(qRgb(128, 128, 128));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(stored.save(&buffer, "JPG", 95));
    const std::vector<uint8_t> tagged = WithSegment(std::vector<uint8_t>(jpeg.begin(), jpeg.end()),
                                                    ExifSegment(6, EXIF_BYTE_ORDER_MOTOROLA));
    return QByteArray(reinterpret_cast<const char *>(tagged.data()), qsizetype(tagged.size()));
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CardPicture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }
};

TEST_F(CardPicture, APhonesPhotoStandsUprightWhateverItsName)
{
    const QByteArray photo = TurnedPhoto();
    for (const char *name : {"photo.jpg", "photo.JPEG", "photo"}) {
        SCOPED_TRACE(name);
        Write(Path(name), photo);
        const QImage picture = LoadCardPicture(Path(name));
        ASSERT_EQ(picture.size(), QSize(40, 60));
        EXPECT_FALSE(picture.hasAlphaChannel());
        EXPECT_TRUE(Near(picture.pixel(34, 5), qRgb(255, 0, 0)));
        EXPECT_TRUE(Near(picture.pixel(5, 5), qRgb(128, 128, 128)));
    }
}

TEST_F(CardPicture, ADamagedPhotoIsRefusedWithItsNameAndOtherFormatsStillRead)
{
    const QByteArray photo = TurnedPhoto();
    Write(Path("cut.jpg"), photo.left(photo.size() / 3));
    try {
        LoadCardPicture(Path("cut.jpg"));
        FAIL() << "a cut JPEG was read";
    } catch (const ECardError &error) {
        EXPECT_NE(std::string(error.what()).find("cut.jpg"), std::string::npos) << error.what();
    }

    // A picture none of the program's readers takes is read as before.
    QImage png(8, 6, QImage::Format_ARGB32);
    png.fill(qRgba(0, 0, 255, 0));  // a fourth byte is no transparency on a card
    ASSERT_TRUE(png.save(Path("picture.png"), "PNG"));
    const QImage read = LoadCardPicture(Path("picture.png"));
    ASSERT_EQ(read.size(), QSize(8, 6));
    EXPECT_EQ(read.pixel(3, 3), qRgb(0, 0, 255));
}

// In the card's picture frame the photo is upright too: its red corner at
// the frame's top right.
TEST_F(CardPicture, TheComposedCardShowsThePhotoUpright)
{
    const QString folder = dir.path() + "/Card/";
    CardLayout layout = WriteFixtureCard(folder, {.PictureRect = {60, 50, 300, 230}, .Texts = {}});
    Write(folder + "photo.jpg", TurnedPhoto());
    layout.Pictures[0].FileName.SetText("photo.jpg");
    const QImage card = ComposeCard(layout, folder);
    EXPECT_TRUE(Near(card.pixel(280, 60), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(card.pixel(80, 60), qRgb(128, 128, 128)));
    EXPECT_TRUE(Near(card.pixel(280, 220), qRgb(128, 128, 128)));
}

} // namespace
