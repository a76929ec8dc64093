#include "controls/Card_Edit.h"
#include "card/card_file.h"

#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QColor Blue(0, 0, 200);
const QColor Red(220, 0, 0);
const QColor Key(255, 0, 255);
constexpr int32_t KeyColour = 0x00FF00FF;  // 0x00BBGGRR

// A 32-bit BMP (V4 header, alpha mask) filled with one colour, alpha included.
bool WriteBmpWithAlpha(const QString &path, int width, int height, QRgb colour)
{
    QByteArray bmp;
    QDataStream out(&bmp, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 pixels = quint32(width * height * 4);
    out.writeRawData("BM", 2);
    out << quint32(14 + 108 + pixels) << quint32(0) << quint32(14 + 108);
    out << quint32(108) << qint32(width) << qint32(height) << quint16(1) << quint16(32) << quint32(3) << pixels
        << qint32(3780) << qint32(3780) << quint32(0) << quint32(0);
    out << quint32(0x00FF0000) << quint32(0x0000FF00) << quint32(0x000000FF) << quint32(0xFF000000);
    out << quint32(0x73524742);  // sRGB
    for (int i = 0; i < 12; ++i)
        out << quint32(0);  // end points and gamma
    for (int i = 0; i < width * height; ++i)
        out << quint32(colour);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bmp) == bmp.size();
}

// A 20 x 10 card: blue background with a key-coloured window at x 5..14,
// y 2..6, and a red picture slot over part of that window.
class CardCanvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + "/";
        QImage background(20, 10, QImage::Format_RGB32);
        background.fill(Blue);
        for (int y = 2; y <= 6; ++y)
            for (int x = 5; x <= 14; ++x)
                background.setPixelColor(x, y, Key);
        ASSERT_TRUE(background.save(folder + "template.bmp", "BMP"));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Red);
        ASSERT_TRUE(picture.save(folder + "pic.bmp", "BMP"));

        layout = FreshLayout();
        layout.Paper.CardWidth = 20;
        layout.Paper.CardHeight = 10;
        layout.TransparentColour = KeyColour;
        layout.BackgroundFile.SetText("template.bmp");
        layout.Pictures[0].Used = 1;
        layout.Pictures[0].Rect = {4, 1, 10, 8};
        layout.Pictures[0].FileName.SetText("pic.bmp");
        canvas.SetPic_Path(folder);
    }

    QColor At(int x, int y) const { return canvas.Picture().pixelColor(x, y); }

    QTemporaryDir dir;
    QString folder;
    CardLayout layout;
    TCard_Edit canvas;
};

TEST_F(CardCanvas, PicturesShowOnlyThroughTheExactTransparentColour)
{
    canvas.SetLayout(layout);
    ASSERT_EQ(canvas.size(), QSize(20, 10));
    EXPECT_EQ(At(6, 4), Red);                 // window over the picture
    EXPECT_EQ(At(12, 4), QColor(Qt::white));  // window beyond the picture
    EXPECT_EQ(At(4, 4), Blue);                // picture under opaque background
    EXPECT_EQ(At(0, 0), Blue);

    layout.TransparentColour = 0x00FE00FF;  // off by one: nothing is see-through
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), Key);
}

TEST_F(CardCanvas, WithoutPicturesTheBackgroundIsOpaque)
{
    layout.Pictures[0].Used = 0;
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), Key);

    // Alpha bytes in a 32-bit background are not transparency either.
    ASSERT_TRUE(WriteBmpWithAlpha(folder + "alpha.bmp", 20, 10, qRgba(0, 0, 200, 0)));
    ASSERT_TRUE(QImageReader(folder + "alpha.bmp").read().hasAlphaChannel());  // the file does carry alpha
    layout.BackgroundFile.SetText("alpha.bmp");
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), Blue);
}

TEST_F(CardCanvas, ScaledBackgroundLeavesNoKeyColouredFringe)
{
    layout.Paper.CardWidth = 60;
    layout.Paper.CardHeight = 30;
    layout.Pictures[0].Rect = {0, 0, 60, 30};
    canvas.SetLayout(layout);
    const QImage card = canvas.Picture();
    ASSERT_EQ(card.size(), QSize(60, 30));
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) {
            const QColor c = card.pixelColor(x, y);
            ASSERT_FALSE(c.red() > 150 && c.blue() > 150) << x << "," << y;
        }
}

TEST_F(CardCanvas, PicturePartlyOutsideTheCardShowsItsInsidePart)
{
    layout.Pictures[0].Rect = {-4, -4, 8, 8};
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), Red);
    EXPECT_EQ(At(9, 4), QColor(Qt::white));

    // Stored extremes neither overflow nor fail: a slot spanning the whole
    // 32-bit range covers the card, an inverted one draws nothing.
    layout.Pictures[0].Rect = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), Red);
    layout.Pictures[0].Rect = {10, 8, 4, 1};
    canvas.SetLayout(layout);
    EXPECT_EQ(At(6, 4), QColor(Qt::white));
}

TEST_F(CardCanvas, BlankBackgroundNameKeepsSizeAndPicture)
{
    canvas.SetLayout(layout);
    const qint64 before = canvas.Picture().cacheKey();
    layout.BackgroundFile.SetText(" \t ");
    layout.Paper.CardWidth = 300;
    canvas.SetLayout(layout);
    EXPECT_EQ(canvas.Picture().cacheKey(), before);
    EXPECT_EQ(canvas.size(), QSize(20, 10));
    EXPECT_EQ(canvas.Layout.Paper.CardWidth, 300);
}

TEST_F(CardCanvas, SetLayoutRecomposesOnlyWhenTheImageDependsOnTheChange)
{
    canvas.SetLayout(layout);
    const qint64 first = canvas.Picture().cacheKey();

    layout.Texts[3].Used = 1;
    layout.Texts[3].Rect = {1, 2, 3, 4};
    layout.Paper.PaperWidth = 99.5;
    canvas.SetLayout(layout);
    EXPECT_EQ(canvas.Picture().cacheKey(), first);
    EXPECT_EQ(canvas.Layout.Texts[3].Used, 1);
    EXPECT_EQ(canvas.Layout.Paper.PaperWidth, 99.5);

    layout.Pictures[0].Rect.Left += 1;
    canvas.SetLayout(layout);
    EXPECT_NE(canvas.Picture().cacheKey(), first);
}

TEST_F(CardCanvas, UnusableCardSizeOrMissingPictureKeepsThePreviousCard)
{
    canvas.SetLayout(layout);
    const qint64 before = canvas.Picture().cacheKey();
    for (auto [w, h] : {std::pair{0, 10}, {-5, 10}, {20, 1 << 30}, {INT32_MAX, INT32_MAX}}) {
        CardLayout bad = layout;
        bad.Paper.CardWidth = w;
        bad.Paper.CardHeight = h;
        EXPECT_THROW(canvas.SetLayout(bad), ECardError);
        EXPECT_EQ(canvas.size(), QSize(20, 10));
        EXPECT_EQ(canvas.Picture().cacheKey(), before);
    }
    CardLayout missing = layout;
    missing.Pictures[0].FileName.SetText("gone.bmp");
    EXPECT_THROW(canvas.SetLayout(missing), ECardError);
    EXPECT_EQ(canvas.Picture().cacheKey(), before);
}

TEST_F(CardCanvas, PicPathIsTrimmedOfBlanksAndControls)
{
    canvas.SetPic_Path(" \t/cards/a/ \n");
    EXPECT_EQ(canvas.Pic_Path(), "/cards/a/");
}

TEST_F(CardCanvas, DefaultCardFileStartsFromTheFreshLayoutNotThePreviousCard)
{
    canvas.SetLayout(layout);  // a card with a picture and a 20 x 10 size is shown
    canvas.LoadLayout(folder + "template.bmp");
    const QString file = folder + "Card.crd";
    ASSERT_EQ(QFileInfo(file).size(), 1496);
    const CardLayout written = ReadCardFile(file, FreshLayout());
    EXPECT_EQ(written.BackgroundFile.Text(), "template.bmp");
    EXPECT_EQ(written.Pictures[0].Used, 0);
    EXPECT_EQ(written.Paper.CardWidth, 793);
    EXPECT_EQ(canvas.size(), QSize(793, 559));
    EXPECT_EQ(At(5, 5), Blue);      // background stretched over the whole card, opaque
    EXPECT_EQ(At(400, 280), Key);
}

TEST_F(CardCanvas, ShortCardFileIsCompletedFromTheFreshLayout)
{
    CardLayout previous = layout;
    previous.Texts[4].Used = 1;
    canvas.SetLayout(previous);

    // 184 bytes: paper head, transparent colour and background name only.
    CardLayout head = layout;
    const CardLayoutBytes bytes = LayoutToBytes(head);
    QFile file(folder + "Card.crd");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char *>(bytes.data()), 184);
    file.close();

    canvas.LoadLayout(folder + "template.bmp");
    EXPECT_EQ(canvas.Layout.Paper.CardWidth, 20);
    EXPECT_EQ(canvas.Layout.BackgroundFile.Text(), "template.bmp");
    EXPECT_EQ(canvas.Layout.Texts[4].Used, 0);     // not the previous card's slot
    EXPECT_EQ(canvas.Layout.Pictures[0].Used, 0);
    EXPECT_EQ(At(6, 4), Key);                      // no picture: opaque background
}

} // namespace
