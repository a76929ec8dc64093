// Twips arithmetic and rendering a document into a twips rectangle of a bitmap.

#include "richtext/rich_text_render.h"
#include "richtext/twips.h"

#include "richtext_test_support.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using rtftest::Ink;

namespace {

void SetResolution(QImage &image, int dpiX, int dpiY)
{
    image.setDotsPerMeterX(qRound(dpiX / 0.0254));
    image.setDotsPerMeterY(qRound(dpiY / 0.0254));
}

QImage Blank(int width, int height, int dpi, QColor ground = Qt::white)
{
    QImage image(width, height, QImage::Format_RGB32);
    SetResolution(image, dpi, dpi);
    image.fill(ground);
    return image;
}

void Render(const QTextDocument &doc, QImage &image, const TTwipsRect &rect)
{
    QPainter painter(&image);
    ASSERT_TRUE(RenderRichText(&doc, &painter, rect));
}

void Fill(QTextDocument &doc, const QString &text, double points = 12)
{
    doc.setDocumentMargin(0);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QStringLiteral("DejaVu Sans")});
    format.setFontPointSize(points);
    QTextCursor(&doc).insertText(text, format);
}

TTwipsRect PixelRectInTwips(int left, int top, int right, int bottom)
{
    return TTwipsRect{left * 15, top * 15, right * 15, bottom * 15};
}

} // namespace

TEST(Twips, RoundHalfToEvenByEachAxisResolution)
{
    QImage image(4, 4, QImage::Format_RGB32);
    SetResolution(image, 96, 192);
    EXPECT_EQ(PixelsToTwipsX(&image, 1), 15);
    EXPECT_EQ(PixelsToTwipsX(&image, 793), 11895);
    EXPECT_EQ(PixelsToTwipsY(&image, 10), 75);
    EXPECT_EQ(PixelsToTwipsY(&image, 1), 8);  // 7.5 goes to the even 8
    SetResolution(image, 576, 576);           // 2.5 twips a pixel
    EXPECT_EQ(PixelsToTwipsX(&image, 1), 2);  // 2.5 -> 2
    EXPECT_EQ(PixelsToTwipsX(&image, 3), 8);  // 7.5 -> 8
    EXPECT_EQ(PixelsToTwipsX(&image, 5), 12); // 12.5 -> 12
    EXPECT_EQ(PixelsToTwipsY(&image, -1), -2);
    EXPECT_EQ(PixelsToTwipsX(nullptr, 5), 0);
}

TEST(RenderRichText, DrawsOnlyTextInsideTheRectangle)
{
    QTextDocument doc;
    Fill(doc, QStringLiteral("Happy birthday"));
    QImage image = Blank(300, 200, 96, Qt::red);
    Render(doc, image, PixelRectInTwips(40, 50, 240, 150));
    const QRect ink = Ink(image, Qt::red);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(40, 50, 200, 100).contains(ink)) << "no ground is painted";
    EXPECT_LE(ink.left(), 42);
    EXPECT_LE(ink.top(), 56);
    // The default colour is black, on no ground of its own.
    EXPECT_EQ(image.pixelColor(ink.left() + 1, ink.bottom() + 1), QColor(Qt::red));
}

TEST(RenderRichText, FontsAndIndentsFollowTheDeviceResolution)
{
    QTextDocument doc;
    Fill(doc, QStringLiteral("H"));
    QTextBlockFormat halfInch;
    halfInch.setLeftMargin(48);
    QTextCursor(&doc).setBlockFormat(halfInch);
    QImage screen = Blank(200, 200, 96);
    Render(doc, screen, PixelRectInTwips(0, 0, 200, 200));
    QImage print = Blank(400, 400, 192);
    Render(doc, print, PixelRectInTwips(0, 0, 200, 200));
    // 12 pt is 16 pixels at 96 dpi; DejaVu's capital is 0.73 em high.
    EXPECT_NEAR(Ink(screen).height(), 0.73 * 16, 1.0);
    EXPECT_NEAR(Ink(print).height(), 2.0 * Ink(screen).height(), 1.5);
    EXPECT_NEAR(Ink(screen).left(), 48, 2);
    EXPECT_NEAR(Ink(print).left(), 96, 4);
}

TEST(RenderRichText, CutsWholeLinesAtTheLowerEdgeAndWrapsToTheWidth)
{
    QTextDocument five;
    Fill(five, QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    QTextDocument two;
    Fill(two, QStringLiteral("one\ntwo"));
    const double lineHeight = QFontMetricsF(QFont(QStringLiteral("DejaVu Sans"), 12)).height();

    QImage cut = Blank(300, 300, 96);
    Render(five, cut, PixelRectInTwips(10, 10, 210, 10 + qRound(2.5 * lineHeight)));
    QImage expected = Blank(300, 300, 96);
    Render(two, expected, PixelRectInTwips(10, 10, 210, 290));
    EXPECT_EQ(cut, expected) << "two whole lines, nothing of the third";

    QTextDocument wide;
    Fill(wide, QStringLiteral("word word word word word word word word"));
    QImage narrow = Blank(300, 300, 96);
    Render(wide, narrow, PixelRectInTwips(0, 0, 80, 300));
    EXPECT_LE(Ink(narrow).right(), 80);
    EXPECT_GT(Ink(narrow).height(), 3 * lineHeight);
}

TEST(RenderRichText, DrawsListMarksInTheHalfInchBeforeEachLevel)
{
    const auto doc = rtftest::Read("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24"
                                   "\\pard\\fi-360\\li720{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}H\\par"
                                   "\\pard\\fi-360\\li1440{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta )}}H\\par}");
    doc->setDocumentMargin(0);
    const double line = QFontMetricsF(QFont(QStringLiteral("DejaVu Sans"), 12)).lineSpacing();
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        QImage image = Blank(300 * scale, 100 * scale, 96 * scale);
        Render(*doc, image, PixelRectInTwips(0, 0, 300, 100));
        const auto inkIn = [&](double left, double top, double width) {
            return Ink(image.copy(QRectF(left * scale, top * scale, width * scale, line * scale).toRect()))
                .translated(qRound(left * scale), 0);
        };
        // The bullet before the first level's text, half an inch in; the
        // letter before the second's, an inch in.
        EXPECT_FALSE(inkIn(0, 0, 47).isEmpty());
        EXPECT_NEAR(inkIn(47, 0, 48).left(), 48 * scale, 2 * scale);
        EXPECT_TRUE(inkIn(0, line, 48).isEmpty());
        EXPECT_FALSE(inkIn(48, line, 47).isEmpty());
        EXPECT_NEAR(inkIn(95, line, 48).left(), 96 * scale, 2 * scale);
    }
}
