#include "card/paper_config.h"
#include "report/card_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

PaperSettings Paper(int index, int orientation)
{
    PaperSettings paper;
    InitPaperSettings(paper);
    paper.PaperIndex = index;
    paper.Orientation = orientation;
    if (index == 6) {
        paper.PaperWidth = 148.5;
        paper.PaperLength = 210;
    }
    return paper;
}

// An odd-sized card with no symmetry: red with a blue top-left quarter.
QImage Card(int width, int height)
{
    QImage card(width, height, QImage::Format_RGB32);
    card.fill(Qt::red);
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x < width / 2; ++x)
            card.setPixelColor(x, y, Qt::blue);
    return card;
}

// The tool's output; nothing when it could not run or failed.
std::optional<QString> RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One page of the PDF rendered at 96 dpi, where a card pixel is a page pixel.
QImage RenderPage(const QString &pdf, const QTemporaryDir &dir)
{
    if (!RunTool("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, dir.filePath("page")}))
        return QImage();
    return QImage(dir.filePath("page.png"));
}

// Poppler's colour handling may give 254 for 255.
bool Near(const QColor &actual, Qt::GlobalColor expected)
{
    const QColor e(expected);
    return std::abs(actual.red() - e.red()) <= 2 && std::abs(actual.green() - e.green()) <= 2 &&
           std::abs(actual.blue() - e.blue()) <= 2;
}

TEST(CardPage, PageFollowsTheCardsShape)
{
    const TCardPageSize a5 = CardPageSize(Paper(0, 1));
    EXPECT_DOUBLE_EQ(a5.Width.Mm(), 210.0);
    EXPECT_DOUBLE_EQ(a5.Height.Mm(), 148.0);
    // A landscape custom paper keeps 148.5 x 210 with the flag; the page turns.
    const TCardPageSize custom = CardPageSize(Paper(6, 1));
    EXPECT_DOUBLE_EQ(custom.Width.Mm(), 210.0);
    EXPECT_DOUBLE_EQ(custom.Height.Mm(), 148.5);

    const QPageLayout b5 = CardPageLayout(Paper(5, 0));
    EXPECT_EQ(b5.pageSize().id(), QPageSize::JisB5);  // 182 x 257, not ISO's 176 x 250
    EXPECT_EQ(b5.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(b5.margins(), QMarginsF(0, 0, 0, 0));
    const QPageLayout turned = CardPageLayout(Paper(6, 1));
    EXPECT_EQ(turned.orientation(), QPageLayout::Landscape);
    EXPECT_NEAR(turned.fullRect(QPageLayout::Millimeter).width(), 210.0, 0.01);
    EXPECT_NEAR(turned.fullRect(QPageLayout::Millimeter).height(), 148.5, 0.01);
}

TEST(CardPage, PdfHasOnePageOfThePaperWithTheCardAtTheCornerAtADotPerNinetySixthInch)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("card.pdf");
    // Letter landscape: 1056 x 816 card pixels cover 11 x 8.5 inches; a
    // smaller card shows where its edge lies.
    PaperSettings paper = Paper(1, 1);
    WriteCardPagePdf(Card(480, 288), paper, pdf);  // 5 x 3 inches
    ASSERT_TRUE(QFile::exists(pdf));

    const std::optional<QString> pdfinfo = RunTool("pdfinfo", {pdf});
    if (!pdfinfo)
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const QString info = *pdfinfo;
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+792 x 612 pts"))) << info.toStdString();

    const QImage page = RenderPage(pdf, dir);
    ASSERT_EQ(page.size(), QSize(1056, 816));
    EXPECT_TRUE(Near(page.pixelColor(2, 2), Qt::blue));
    EXPECT_TRUE(Near(page.pixelColor(237, 141), Qt::blue));
    EXPECT_TRUE(Near(page.pixelColor(242, 146), Qt::red));
    EXPECT_TRUE(Near(page.pixelColor(477, 285), Qt::red));
    EXPECT_TRUE(Near(page.pixelColor(483, 100), Qt::white));
    EXPECT_TRUE(Near(page.pixelColor(100, 291), Qt::white));
}

TEST(CardPage, ALandscapeCustomCardCoversItsPage)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("a6.pdf");
    WriteCardPagePdf(Card(793, 561), Paper(6, 1), pdf);
    const std::optional<QString> pdfinfo = RunTool("pdfinfo", {pdf});
    if (!pdfinfo)
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const QString info = *pdfinfo;
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 42[01](\\.\\d+)? pts"))) << info.toStdString();
    const QImage page = RenderPage(pdf, dir);
    // Qt keeps page sizes in whole points: 148.5 mm is 421 pt, 561.3 pixels.
    ASSERT_EQ(page.width(), 794);
    ASSERT_GE(page.height(), 561);
    EXPECT_TRUE(Near(page.pixelColor(790, 558), Qt::red));
}

TEST(CardPage, AFileThatCannotBeWrittenIsAnError)
{
    EXPECT_ANY_THROW(WriteCardPagePdf(Card(10, 10), Paper(0, 1), "/nonexistent-folder/x.pdf"));
}

} // namespace
