// The card's page as a PDF drawn by the card painter: text as text in
// embedded fonts, pictures at their own resolution up to 300 pixels an inch
// (JPEG for a photo, lossless for a drawing), the same card as the 96-pixel
// bitmap when seen at 96 dpi, and sharper text than that bitmap at 300 dpi.
// Read back with poppler-utils.
#include "card/card_render.h"
#include "report/card_page.h"
#include "report/print_shop_page.h"
#include "tests/support/card_fixture.h"
#include "tests/support/scripted_printing.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <memory>

namespace {

class CardPdf : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Pdf(const QString &name = QStringLiteral("card")) const { return dir.filePath(name + ".pdf"); }
    QString Folder(const QString &name) const { return dir.filePath(name) + "/"; }
};

// A photograph's worth of colours: smooth shading with noise in it.
QImage Photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int n = int(noise.bounded(24));
            image.setPixel(x, y, qRgb((x * 200 / width + n) % 256, (y * 180 / height + n) % 256, (90 + n * 3) % 256));
        }
    return image;
}

// A drawing: a few flat colours.
QImage Drawing(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(250, 240, 200));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 3; ++x)
            image.setPixel(x, y, qRgb(30, 60, 160));
    return image;
}

// A card of `width` x `height` with no background: its pictures and texts
// lie on white.
TCardScene WhiteCard(int width = 793, int height = 559)
{
    TCardScene scene;
    scene.Layout = FreshLayout();
    scene.Layout.Paper.CardWidth = width;
    scene.Layout.Paper.CardHeight = height;
    return scene;
}

void PutPicture(TCardScene &scene, std::size_t slot, const QImage &picture, SlotRect rect)
{
    scene.Layout.Pictures[slot].Used = 1;
    scene.Layout.Pictures[slot].Rect = rect;
    scene.Pictures.Pictures[slot] = picture;
}

TEST_F(CardPdf, EveryTextBoxsWordsAreTextInTheirEmbeddedFonts)
{
    const QString folder = Folder("five");
    const CardLayout layout = WriteFixtureCard(folder, {.Texts = FiveFixtureTexts(793, 559)});
    const TCardTexts texts(layout, folder);
    WriteCardPagePdf(ReadCardScene(layout, folder, texts), layout.Paper, Pdf());

    const std::optional<QString> text = PdfText(Pdf());
    ASSERT_TRUE(text) << "pdftotext (poppler-utils) did not run";
    for (int n = 0; n < 5; ++n)
        EXPECT_TRUE(text->contains(QStringLiteral("Box %1: Happy birthday").arg(n))) << text->toStdString();
    EXPECT_EQ(text->count(QStringLiteral("with love from all of us see you soon")), 5) << text->toStdString();

    const std::optional<std::vector<TPdfFont>> fonts = PdfFonts(Pdf());
    ASSERT_TRUE(fonts);
    ASSERT_FALSE(fonts->empty()) << "the text was drawn as a picture";
    for (const TPdfFont &font : *fonts) {
        EXPECT_TRUE(font.Name.startsWith(QLatin1String("DejaVuSans"))) << font.Name.toStdString();
        EXPECT_TRUE(font.Embedded) << font.Name.toStdString();
    }
}

TEST_F(CardPdf, ALigatureIsFoundAsItsLetters)
{
    // Script and book faces join "fi", "fl" or "th" into one glyph, which a
    // PDF cannot map back to its letters: the page draws them apart.
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(QStringLiteral("<p style=\"font-family:'Dancing Script'; font-size:28pt\">Birthday fifty flowers</p>"));
    doc->setDocumentMargin(0);
    TCardScene scene = WhiteCard();
    scene.Texts.push_back({doc.get(), QRect(40, 40, 700, 120)});
    PaperSettings paper = PaperOf(0, 1);
    WriteCardPagePdf(scene, paper, Pdf());
    const std::optional<QString> text = PdfText(Pdf());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, QStringLiteral("Birthday fifty flowers"));
}

TEST_F(CardPdf, APictureKeepsItsOwnResolutionUpToThreeHundredPixelsAnInch)
{
    // Slot 0: 240 x 180 card pixels, 2.5 x 1.875 inches, holding a photo of
    // 1600 x 1200 (640 pixels an inch); slot 1: 120 x 90 card pixels holding
    // a drawing of 100 x 75 (80 pixels an inch).
    TCardScene scene = WhiteCard();
    PutPicture(scene, 0, Photo(1600, 1200), {60, 50, 300, 230});
    PutPicture(scene, 1, Drawing(100, 75), {400, 300, 520, 390});
    WriteCardPagePdf(scene, PaperOf(0, 1), Pdf());

    const std::optional<std::vector<TPdfImage>> images = PdfImages(Pdf());
    ASSERT_TRUE(images) << "pdfimages (poppler-utils) did not run";
    ASSERT_EQ(images->size(), 2u);
    const TPdfImage &photo = (*images)[0];
    EXPECT_EQ(photo.Encoding, QStringLiteral("jpeg"));
    EXPECT_GE(photo.PpiX, 300);
    EXPECT_LE(photo.PpiX, 310);
    EXPECT_GE(photo.PpiY, 300);
    EXPECT_LE(photo.PpiY, 310);
    const TPdfImage &drawing = (*images)[1];
    EXPECT_EQ(drawing.Encoding, QStringLiteral("image")) << "a drawing is stored losslessly";
    EXPECT_EQ(QSize(drawing.Width, drawing.Height), QSize(100, 75));
    EXPECT_EQ(drawing.PpiX, 80);
    EXPECT_EQ(drawing.PpiY, 80);
}

TEST_F(CardPdf, APhotoFileWithPixelsToSpareIsReadSmallerButNeverBelowThreeHundredPixelsAnInch)
{
    // 2400 x 1800 in a slot of 240 x 180 card pixels (750 x 563 at 300 ppi):
    // decoded at half size, then averaged down to 300 pixels an inch.
    const QString folder = Folder("photo");
    CardLayout layout = WriteFixtureCard(folder, {});
    ASSERT_TRUE(Photo(2400, 1800).save(folder + "photo.jpg", "JPG", 95));
    layout.Pictures[0].FileName.SetText(QStringLiteral("photo.jpg"));
    const TCardTexts texts(layout, folder);
    const TCardScene scene = ReadCardScene(layout, folder, texts);
    EXPECT_EQ(scene.Pictures.Pictures[0].size(), QSize(1200, 900));
    WriteCardPagePdf(scene, layout.Paper, Pdf());
    const std::optional<std::vector<TPdfImage>> images = PdfImages(Pdf());
    ASSERT_TRUE(images);
    ASSERT_FALSE(images->empty());
    EXPECT_EQ((*images)[0].Encoding, QStringLiteral("jpeg"));
    EXPECT_EQ(QSize((*images)[0].Width, (*images)[0].Height), QSize(750, 563));
    EXPECT_EQ((*images)[0].PpiX, 300);
    // The 96-pixel card still reads the whole photo.
    EXPECT_EQ(LoadCardPictures(layout, folder).Pictures[0].size(), QSize(2400, 1800));
}

TEST_F(CardPdf, APictureReachingPastTheCardIsStoredOnlyForItsVisiblePart)
{
    // Half of the slot lies beyond the card's right edge.
    TCardScene scene = WhiteCard(400, 300);
    PutPicture(scene, 0, Drawing(400, 100), {300, 100, 500, 150});
    PaperSettings paper = PaperOf(10, 0);
    paper.PaperWidth = 400 * 25.4 / 96;
    paper.PaperLength = 300 * 25.4 / 96;
    WriteCardPagePdf(scene, paper, Pdf());
    const std::optional<std::vector<TPdfImage>> images = PdfImages(Pdf());
    ASSERT_TRUE(images);
    ASSERT_EQ(images->size(), 1u);
    EXPECT_EQ((*images)[0].Width, 200);
    const QImage page = RenderPdfPage(Pdf());
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(NearColour(page.pixelColor(320, 120), QColor(30, 60, 160), 6));
    EXPECT_TRUE(NearColour(page.pixelColor(399, 120), QColor(250, 240, 200), 6));
}

// Seen at 96 dpi, the page is the 96-pixel card: the same within the
// antialiasing of two renderers, and in place, for the best match is the
// unshifted one. (The bitmap's text is hinted and each line's baseline
// lies on a whole pixel, the PDF's glyphs are not, so a card of dense
// small text only is farther apart: about 29.5 dB for all five boxes.)
TEST_F(CardPdf, AtNinetySixDpiThePageIsTheCardsBitmapInPlace)
{
    const QString folder = Folder("fixture");
    std::vector<TFixtureText> texts = FiveFixtureTexts(793, 559);
    texts.resize(2);
    const CardLayout layout = WriteFixtureCard(folder, {.Texts = texts});
    const TCardTexts boxes(layout, folder);
    WriteCardPagePdf(ReadCardScene(layout, folder, boxes), layout.Paper, Pdf());
    const QImage card = RenderCardFolder(folder).convertToFormat(QImage::Format_RGB32);
    const QImage page = RenderPdfPage(Pdf()).convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(page.width(), card.width());
    ASSERT_GE(page.height(), card.height());

    const double psnr = Psnr(page.copy(card.rect()), card);
    EXPECT_GE(psnr, 30.0);
    const QRect inner = card.rect().adjusted(2, 2, -2, -2);
    const double aligned = Psnr(page.copy(inner), card.copy(inner));
    for (const QPoint shift : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
        EXPECT_LT(Psnr(page.copy(inner.translated(shift)), card.copy(inner)), aligned - 1.0) << shift.x() << "," << shift.y();
}

// The share of a text's pixels that are partly covered: antialiased edge
// pixels among all the pixels the text darkens. Edges are lines and the ink
// an area, so a finer drawing has a smaller share, while a bitmap scaled up,
// smoothly or by repeating its pixels, keeps the share of its own
// resolution or blurs it wider.
double EdgeShare(const QImage &image, const QRect &area)
{
    int edge = 0, ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (grey < 64)
                ++ink;
            else if (grey < 224)
                ++edge;
        }
    return ink + edge == 0 ? 1.0 : double(edge) / (ink + edge);
}

TEST_F(CardPdf, AtThreeHundredDpiTheTextIsSharperThanTheBitmapScaledUp)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(QStringLiteral("<p style=\"font-family:'DejaVu Sans'; font-size:12pt\">Happy birthday with love "
                                "from all of us, see you soon</p>"));
    doc->setDocumentMargin(0);
    TCardScene scene = WhiteCard();
    const QRect box(40, 40, 300, 120);
    scene.Texts.push_back({doc.get(), box});
    const PaperSettings paper = PaperOf(0, 1);
    WriteCardPagePdf(scene, paper, Pdf("text"));

    QImage white(793, 559, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage bitmap = RenderCardImage(white, scene.Texts);
    // The page as it was printed before: the 96-pixel card laid on it.
    WriteCardPagePdf(PictureCardScene(bitmap), paper, Pdf("bitmap"));

    const double scale = 300.0 / 96.0;
    const QRect area(int(box.left() * scale), int(box.top() * scale), int(box.width() * scale),
                     int(box.height() * scale));
    const QImage page = RenderPdfPageAt(Pdf("text"), 300);
    const QImage bitmapPage = RenderPdfPageAt(Pdf("bitmap"), 300);
    ASSERT_FALSE(page.isNull());
    ASSERT_FALSE(bitmapPage.isNull());
    const QImage upscaled = bitmap.scaled(page.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double sharp = EdgeShare(page, area);
    EXPECT_LT(sharp, 0.6 * EdgeShare(upscaled, area)) << "text drawn at 300 dpi";
    EXPECT_LT(sharp, 0.6 * EdgeShare(bitmapPage, area)) << "the measure tells a bitmap's page from the text's";
}

// The print shop's sheet: the trim box is the card's paper, the bleed box
// 3 mm larger on every side, the background runs on into the bleed and
// crop marks lie outside it, in line with the cut.
TEST_F(CardPdf, ThePrintShopsSheetHasItsTrimAndBleedBoxesTheBleedDrawnAndCropMarks)
{
    const QString folder = Folder("shop");
    const CardLayout layout = WriteFixtureCard(folder, {.Texts = FiveFixtureTexts(793, 559)});
    const TCardTexts texts(layout, folder);
    WriteCardPrintShopPdf(ReadCardScene(layout, folder, texts), layout.Paper, Pdf());

    const std::optional<TPdfBoxes> boxes = PdfPageBoxes(Pdf());
    ASSERT_TRUE(boxes) << "pdfinfo (poppler-utils) did not run";
    const double mm = 72.0 / 25.4;
    EXPECT_NEAR(boxes->Trim.width(), 210 * mm, 0.01);  // A5 landscape
    EXPECT_NEAR(boxes->Trim.height(), 148 * mm, 0.01);
    EXPECT_NEAR(boxes->Bleed.left(), boxes->Trim.left() - 3 * mm, 0.01);
    EXPECT_NEAR(boxes->Bleed.top(), boxes->Trim.top() - 3 * mm, 0.01);
    EXPECT_NEAR(boxes->Bleed.right(), boxes->Trim.right() + 3 * mm, 0.01);
    EXPECT_NEAR(boxes->Bleed.bottom(), boxes->Trim.bottom() + 3 * mm, 0.01);
    EXPECT_TRUE(boxes->Media.contains(boxes->Bleed.adjusted(-5 * mm, -5 * mm, 5 * mm, 5 * mm)));
    EXPECT_NEAR(boxes->Trim.left(), 10 * mm, 0.01);
    EXPECT_NEAR(boxes->Media.height() - boxes->Trim.bottom(), 10 * mm, 0.01) << "the card's corner is the trim's";

    const std::optional<QString> text = PdfText(Pdf());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->contains(QStringLiteral("Box 4: Happy birthday")));

    // At 96 dpi the trim's corner lies 10 mm (37.8 pixels) in from the sheet's.
    const QImage sheet = RenderPdfPage(Pdf()).convertToFormat(QImage::Format_RGB32);
    const QImage card = RenderCardFolder(folder).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(sheet.isNull());
    const double corner = 10 / 25.4 * 96;
    const int x0 = qRound(corner), y0 = qRound(corner);
    const QRect inner(20, 240, 300, 300);  // background only
    EXPECT_GE(Psnr(sheet.copy(inner.translated(x0, y0)), card.copy(inner)), 30.0) << "the card at the trim";
    // In the bleed, 1.5 mm outside the cut: the background's colours, not paper white.
    const int inBleed = qRound(corner - 1.5 / 25.4 * 96);
    for (const QPoint p : {QPoint(inBleed, y0 + 300), QPoint(x0 + 400, inBleed)}) {
        const QColor colour = sheet.pixelColor(p);
        EXPECT_FALSE(NearColour(colour, Qt::white, 6)) << p.x() << "," << p.y() << " " << colour.name().toStdString();
    }
    // Beyond the bleed: white, but for the crop marks in line with the cut.
    const int beyond = qRound(corner - 3.5 / 25.4 * 96);
    EXPECT_TRUE(NearColour(sheet.pixelColor(beyond, y0 + 300), Qt::white, 6));
    const int onMark = qRound(corner - 6 / 25.4 * 96);
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, qGray(sheet.pixel(onMark, y0 + dy)));
    EXPECT_LT(darkest, 200) << "a crop mark along the trim's top edge";
}

} // namespace
