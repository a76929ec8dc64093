// A picture lies in its frame unsquashed and is stored no larger than a
// print needs: the arithmetic, and the card composed from what is stored.

#include "card/card_compose.h"
#include "card/picture_fit.h"
#include "card/paper_config.h"
#include "pictures/bmp_file.h"
#include "tests/support/card_fixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A black circle of `diameter` in the middle of a white picture.
QImage Circle(QSize size, int diameter)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF((size.width() - diameter) / 2.0, (size.height() - diameter) / 2.0, diameter, diameter));
    return image;
}

// Width and height of the dark pixels within `area` of `image`.
QSize DarkExtent(const QImage &image, const QRect &area)
{
    QRect dark;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                dark |= QRect(x, y, 1, 1);
        }
    }
    return dark.size();
}

TEST(FillPart, TheFramesShapeCentredInThePicture)
{
    // 3:2 into a square: the sides go, evenly.
    EXPECT_EQ(FillPart({600, 400}, {180, 180}), QRect(100, 0, 400, 400));
    // 2:3 into a 3:2 frame: top and bottom go.
    EXPECT_EQ(FillPart({400, 600}, {300, 200}), QRect(0, 166, 400, 267));
    // Same proportions, or no frame to speak of: the whole picture.
    EXPECT_EQ(FillPart({600, 400}, {240, 160}), QRect(0, 0, 600, 400));
    EXPECT_EQ(FillPart({600, 400}, {}), QRect(0, 0, 600, 400));
    EXPECT_EQ(FillPart({600, 400}, {0, 160}), QRect(0, 0, 600, 400));
    EXPECT_TRUE(FillPart({}, {100, 100}).isEmpty());
    // A sliver of a frame still leaves at least a pixel.
    EXPECT_EQ(FillPart({10, 10}, {1, 100000}).width(), 1);
    EXPECT_EQ(SlotSize({60, 50, 240, 230}), QSize(180, 180));
    EXPECT_TRUE(SlotSize({60, 50, 40, 230}).isEmpty());
}

TEST(StoredPicture, APhotoIsKeptAtTheCardsPrintSizeAndASmallPictureAsItIs)
{
    PaperSettings a5;
    InitPaperSettings(a5);
    const QSize bound = StoredPictureBound(a5);
    EXPECT_EQ(bound, QSize(2478, 1746));

    QImage photo(6000, 4000, QImage::Format_RGB32);
    photo.fill(qRgb(30, 60, 90));
    const QImage stored = PictureForFrame(photo, {240, 160}, bound);
    EXPECT_EQ(stored.size(), QSize(2478, 1652));
    EXPECT_EQ(stored.pixel(1000, 1000), qRgb(30, 60, 90));
    // A tall frame: the cut part is bounded by the card's height.
    EXPECT_EQ(PictureForFrame(photo, {100, 200}, bound).size(), QSize(873, 1746));

    // A picture within the bound keeps every pixel.
    const QImage small = Circle({300, 200}, 150);
    EXPECT_EQ(PictureForFrame(small, {240, 160}, bound), small);
    EXPECT_EQ(PictureForFrame(small, {240, 160}, {}), small);
    EXPECT_EQ(PictureForFrame(small, {100, 100}, bound), small.copy(50, 0, 200, 200));
}

// A 3:2 photo of a circle chosen for a square frame: the card shows a
// circle, where stretching the whole photo drew an egg.
TEST(StoredPicture, ACircleInA3To2PictureStaysACircleInASquareFrame)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/Card/";
    CardLayout layout = WriteFixtureCard(folder, {.PictureRect = {60, 50, 240, 230}, .Texts = {}});
    layout.BackgroundFile.SetText(QString()); // the picture alone, on white
    const QRect frame(60, 50, 180, 180);
    const QImage photo = Circle({600, 400}, 150);

    StoreFramePicture(photo, SlotSize(layout.Pictures[0].Rect), StoredPictureBound(layout.Paper),
                      folder + "picture.bmp");
    EXPECT_EQ(ReadBmpWithOwnDecoder(folder + "picture.bmp").size(), QSize(400, 400));
    EXPECT_TRUE(KeepsProportions(folder + "picture.bmp"));
    const QSize kept = DarkExtent(ComposeCard(layout, folder), frame);
    EXPECT_EQ(kept.width(), kept.height()) << kept.width() << " x " << kept.height();
    EXPECT_NEAR(kept.width(), 67.5, 1); // 150 of 400 pixels in 180

    // The frame made wide later: the picture fills it, cut, still round.
    layout.Pictures[0].Rect = {60, 50, 420, 230};
    const QSize wide = DarkExtent(ComposeCard(layout, folder), QRect(60, 50, 360, 180));
    EXPECT_NEAR(wide.width(), wide.height(), 1) << wide.width() << " x " << wide.height();
    EXPECT_NEAR(wide.width(), 135, 1); // 150 of the middle 400 x 200 in 360 x 180
    layout.Pictures[0].Rect = {60, 50, 240, 230};

    // The same picture without its side file is stretched, as every card
    // made before was.
    QFile::remove(FitMarkerPath(folder + "picture.bmp"));
    WritePictureBmp(photo, folder + "picture.bmp");
    const QSize stretched = DarkExtent(ComposeCard(layout, folder), frame);
    EXPECT_GT(stretched.height() - stretched.width(), 15); // what the card did before
}

TEST(StoredPicture, OnlyASmallFileSayingFillMakesAPictureKeepItsProportions)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("picture.bmp");
    EXPECT_FALSE(KeepsProportions(picture));
    for (const auto &[contents, keeps] : std::initializer_list<std::pair<QByteArray, bool>>{
             {"fill\n", true}, {"fill", true}, {"stretch\n", false}, {QByteArray(100, ' ') + "fill", false}}) {
        QFile file(FitMarkerPath(picture));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();
        EXPECT_EQ(KeepsProportions(picture), keeps) << contents.toStdString();
    }
    QFile::remove(FitMarkerPath(picture));
    QDir(dir.path()).mkdir("picture.bmp.fit");
    EXPECT_FALSE(KeepsProportions(picture));
    // Without a frame to fill nothing is marked.
    const QString other = dir.filePath("other.bmp");
    StoreFramePicture(Circle({30, 20}, 10), {}, {}, other);
    EXPECT_FALSE(QFile::exists(FitMarkerPath(other)));
    EXPECT_EQ(PicturePartForSlot({30, 20}, {0, 0, 10, 10}, false), QRect(0, 0, 30, 20));
    EXPECT_EQ(PicturePartForSlot({30, 20}, {0, 0, 10, 10}, true), QRect(5, 0, 20, 20));
}

// A card made before pictures kept their proportions keeps its stretched
// picture: its card image stays the same to the byte.
TEST(StoredPicture, AnOldCardWithAStretchedPictureComposesByteForByteAsBefore)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/Card/";
    const CardLayout layout = WriteFixtureCard(folder, {.PictureRect = {60, 50, 400, 230}, .Texts = {}});
    const QImage card = ComposeCard(layout, folder).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(card.size(), QSize(793, 559));
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char *>(card.constBits()), card.sizeInBytes()), QCryptographicHash::Md5);
    EXPECT_EQ(digest.toHex(), QByteArray("6caab4f024b04764ab44447afdf5e820"));
}

} // namespace
