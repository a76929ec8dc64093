// The picture dialog's arithmetic without a window: the crop cuts the
// picture's own pixels (white beyond its edges), the view fits a large
// picture into the area and maps the crop rectangle back exactly, and the
// file the dialog may write never lies outside the card folder.

#include "dialogs/picture_crop.h"
#include "dialogs/picture_target.h"

#include "pictures/bmp_file.h"
#include "pictures/picture_file.h"
#include "tests/dialogs/numbered_picture.h"
#include "tests/support/card_fixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(CropPicture, CutsExactlyThePartAndWritesIt24BitAtItsSize)
{
    const QImage picture = Numbered(640, 480);
    const QImage cropped = CropPicture(picture, QRect(100, 50, 200, 120));
    ASSERT_EQ(cropped.size(), QSize(200, 120));
    EXPECT_EQ(cropped, picture.copy(100, 50, 200, 120));

    QTemporaryDir dir;
    const QString target = dir.filePath("picture.bmp");
    WritePictureBmp(cropped, target);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(54);
    EXPECT_EQ(head.left(2), QByteArray("BM"));
    EXPECT_EQ(uint8_t(head[28]), 24);
    EXPECT_EQ(ReadBmpWithOwnDecoder(target), cropped);
}

TEST(CropPicture, PartsOutsideThePictureAreWhite)
{
    const QImage picture = Numbered(6, 5);
    const QImage cropped = CropPicture(picture, QRect(-2, 3, 10, 4));
    ASSERT_EQ(cropped.size(), QSize(10, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x) {
            const QPoint source(x - 2, y + 3);
            const QRgb expected = picture.rect().contains(source) ? picture.pixel(source) : qRgb(255, 255, 255);
            EXPECT_EQ(cropped.pixel(x, y), expected) << x << ", " << y;
        }
    // Wholly outside, and with no picture at all: white of the asked size.
    EXPECT_EQ(CropPicture(picture, QRect(50, 50, 3, 2)).pixel(2, 1), qRgb(255, 255, 255));
    EXPECT_EQ(CropPicture(QImage(), QRect(0, 0, 3, 2)).size(), QSize(3, 2));
}

TEST(CropPicture, RectangleWithoutAreaOrTooLargeIsRefused)
{
    const QImage picture = Numbered(6, 5);
    for (const QRect part : {QRect(1, 1, 0, 3), QRect(1, 1, 3, 0), QRect(1, 1, -4, 3)})
        EXPECT_THROW(CropPicture(picture, part), EPictureError) << part.width() << "x" << part.height();
    EXPECT_THROW(CropPicture(picture, QRect(0, 0, 20000, 20000)), EPictureError);
}

TEST(PictureView, APictureThatFitsIsShownPixelForPixelAndCentred)
{
    const TPictureView view = FitPicture(QSize(101, 80), QSize(574, 585));
    EXPECT_FALSE(view.IsScaled());
    EXPECT_EQ(view.Origin, QPoint((574 - 101) / 2, (585 - 80) / 2));
    // Unscaled, the crop is the rectangle moved by the picture's place.
    EXPECT_EQ(view.ToPicture(QRect(view.Origin + QPoint(100, 50), QSize(200, 120))), QRect(100, 50, 200, 120));
    EXPECT_EQ(view.ToPicture(QRect(10, 20, 30, 40)), QRect(10 - view.Origin.x(), 20 - view.Origin.y(), 30, 40));
}

TEST(PictureView, ALargerPictureIsFittedAndTheCropMapsToItsOwnPixels)
{
    const QSize area(574, 585);
    const TPictureView photo = FitPicture(QSize(6000, 4000), area);
    EXPECT_TRUE(photo.IsScaled());
    EXPECT_EQ(photo.Shown, QSize(574, 383));
    EXPECT_EQ(photo.Origin, QPoint(0, (585 - 383) / 2));
    // The whole shown picture is the whole picture.
    EXPECT_EQ(photo.ToPicture(QRect(photo.Origin, photo.Shown)), QRect(0, 0, 6000, 4000));
    // A part maps there and back to itself within a screen pixel's worth.
    const QRect part(1500, 1000, 2400, 1800);
    const QRect back = photo.ToPicture(photo.ToArea(part));
    EXPECT_LE(std::abs(back.left() - part.left()), 6000 / 574);
    EXPECT_LE(std::abs(back.bottom() - part.bottom()), 4000 / 383);

    const TPictureView tall = FitPicture(QSize(300, 2000), area);
    EXPECT_EQ(tall.Shown.height(), 585);
    EXPECT_EQ(tall.Shown.width(), 88);
    EXPECT_EQ(tall.ToPicture(QRect(tall.Origin, tall.Shown)), QRect(0, 0, 300, 2000));
    // Even a hair-thin picture keeps a pixel on screen.
    EXPECT_EQ(FitPicture(QSize(100000, 2), area).Shown.height(), 1);

    const TPictureView none = FitPicture(QSize(), area);
    EXPECT_EQ(none.Shown, QSize(0, 0));
    EXPECT_EQ(none.Origin, QPoint(287, 292));
}

TEST(PictureView, ShownPictureIsThePictureItselfWhenItFits)
{
    const QImage picture = Numbered(40, 30);
    EXPECT_EQ(ShownPicture(picture, QSize(40, 30)).cacheKey(), picture.cacheKey());
    EXPECT_EQ(ShownPicture(picture, QSize(20, 15)).size(), QSize(20, 15));
}

class PictureTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Card()));
        Layout.BackgroundFile.SetText("template.bmp");
        Layout.Pictures[0].Used = 1;
    }
    QString Card() const { return Dir.filePath("MyCard/Sample") + "/"; }
    QString TargetOf(const QString &name)
    {
        Layout.Pictures[0].FileName.SetText(name);
        return CardPictureTarget(Card(), Layout);
    }
    bool Refused(const QString &name)
    {
        try {
            TargetOf(name);
        } catch (const ECardError &error) {
            EXPECT_TRUE(QString::fromStdString(error.what()).contains(name)) << error.what();
            return true;
        }
        return false;
    }

    QTemporaryDir Dir;
    CardLayout Layout;
};

TEST_F(PictureTarget, APlainNameIsAFileOfTheCardFolder)
{
    EXPECT_EQ(TargetOf("picture.bmp"), Card() + "picture.bmp");
    EXPECT_EQ(TargetOf("My photo.jpg"), Card() + "My photo.jpg");
    ASSERT_TRUE(QFile(Card() + "picture.bmp").open(QIODevice::WriteOnly));
    EXPECT_EQ(TargetOf("picture.bmp"), Card() + "picture.bmp");
}

TEST_F(PictureTarget, NamesThatLeaveTheFolderOrNameTheCardsOwnFilesAreRefused)
{
    for (const char *name : {"", "   ", ".", "..", "../picture.bmp", "../../Template/x/template.bmp",
                             "sub/picture.bmp", "/etc/passwd", "..\\picture.bmp", "Card.crd", "template.bmp",
                             "0.rtf", "4.rtf"})
        EXPECT_TRUE(Refused(QString::fromLatin1(name))) << name;
}

TEST_F(PictureTarget, ALinkLeadingOutOfTheFolderIsRefused)
{
    const QString outside = Dir.filePath("outside.bmp");
    ASSERT_TRUE(QFile(outside).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(outside, Card() + "picture.bmp"));
    EXPECT_TRUE(Refused("picture.bmp"));
    ASSERT_TRUE(QFile::link(Dir.filePath("nowhere.bmp"), Card() + "dangling.bmp"));
    EXPECT_TRUE(Refused("dangling.bmp"));
    ASSERT_TRUE(QFile::link(Card() + "Card.crd", Card() + "layout.bmp"));
    ASSERT_TRUE(QFile(Card() + "Card.crd").open(QIODevice::WriteOnly));
    EXPECT_TRUE(Refused("layout.bmp"));

    ASSERT_TRUE(QFile(Card() + "real.bmp").open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(Card() + "real.bmp", Card() + "alias.bmp"));
    EXPECT_EQ(TargetOf("alias.bmp"), Card() + "alias.bmp");
}

} // namespace

TEST(KeepShape, EachHandleKeepsTheFramesProportionsFromItsOppositeEdge)
{
    const QRect start(100, 100, 300, 200);
    const QSize shape(3, 2);
    // Bottom right dragged in: the top left stays, the side that moved
    // further decides.
    EXPECT_EQ(KeepShape(start, QRect(100, 100, 210, 180), shape), QRect(100, 100, 270, 180));
    EXPECT_EQ(KeepShape(start, QRect(100, 100, 150, 190), shape), QRect(100, 100, 285, 190));
    // Top left dragged: the bottom right stays.
    const QRect topLeft = KeepShape(start, QRect(160, 130, 240, 170), shape);
    EXPECT_EQ(topLeft.bottomRight(), start.bottomRight());
    EXPECT_EQ(topLeft.size(), QSize(255, 170));
    // The right side alone: the height follows about the middle.
    const QRect side = KeepShape(start, QRect(100, 100, 240, 200), shape);
    EXPECT_EQ(side.size(), QSize(240, 160));
    EXPECT_EQ(side.left(), 100);
    EXPECT_EQ(side.center().y(), start.center().y());
    // The top alone: the bottom stays, the width follows about the middle.
    const QRect top = KeepShape(start, QRect(100, 160, 300, 140), shape);
    EXPECT_EQ(top.size(), QSize(210, 140));
    EXPECT_EQ(top.bottom(), start.bottom());
    EXPECT_EQ(top.center().x(), start.center().x());
    // No shape to keep, or a rectangle turned inside out: as proposed.
    EXPECT_EQ(KeepShape(start, QRect(100, 100, 50, 190), QSize()), QRect(100, 100, 50, 190));
    EXPECT_EQ(KeepShape(start, QRect(100, 100, -20, 190), shape), QRect(100, 100, -20, 190));
}
