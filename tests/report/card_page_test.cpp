#include "card/paper_config.h"
#include "report/card_page.h"
#include "tests/support/scripted_printing.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CardPage, PageFollowsTheCardsShape)
{
    const TCardPageSize a5 = CardPageSize(PaperOf(0, 1));
    EXPECT_DOUBLE_EQ(a5.Width.Mm(), 210.0);
    EXPECT_DOUBLE_EQ(a5.Height.Mm(), 148.0);
    // A landscape custom paper keeps 148.5 x 210 with the flag; the page turns.
    const TCardPageSize custom = CardPageSize(PaperOf(6, 1));
    EXPECT_DOUBLE_EQ(custom.Width.Mm(), 210.0);
    EXPECT_DOUBLE_EQ(custom.Height.Mm(), 148.5);

    const QPageLayout b5 = CardPageLayout(PaperOf(5, 0));
    EXPECT_EQ(b5.pageSize().id(), QPageSize::JisB5);  // 182 x 257, not ISO's 176 x 250
    EXPECT_EQ(b5.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(b5.margins(), QMarginsF(0, 0, 0, 0));
    const QPageLayout turned = CardPageLayout(PaperOf(6, 1));
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
    PaperSettings paper = PaperOf(1, 1);
    WriteCardPagePdf(PictureCardScene(QuarteredCard(480, 288)), paper, pdf);  // 5 x 3 inches
    ASSERT_TRUE(QFile::exists(pdf));

    const std::optional<TPdfInfo> info = ReadPdfInfo(pdf);
    ASSERT_TRUE(info) << "pdfinfo (poppler-utils) did not run";
    EXPECT_EQ(info->Pages, 1);
    EXPECT_TRUE(info->PageSize.startsWith("792 x 612 pts")) << info->PageSize.toStdString();

    const QImage page = RenderPdfPage(pdf);
    ASSERT_EQ(page.size(), QSize(1056, 816));
    EXPECT_TRUE(PageShowsQuarteredCard(page, QSize(480, 288)));
}

TEST(CardPage, ALandscapeCustomCardCoversItsPage)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("a6.pdf");
    WriteCardPagePdf(PictureCardScene(QuarteredCard(793, 561)), PaperOf(6, 1), pdf);
    const std::optional<TPdfInfo> info = ReadPdfInfo(pdf);
    ASSERT_TRUE(info) << "pdfinfo (poppler-utils) did not run";
    EXPECT_TRUE(info->PageSize.contains(QRegularExpression("^595(\\.\\d+)? x 42[01](\\.\\d+)? pts")))
        << info->PageSize.toStdString();
    const QImage page = RenderPdfPage(pdf);
    // Qt keeps page sizes in whole points: 148.5 mm is 421 pt, 561.3 pixels.
    ASSERT_EQ(page.width(), 794);
    ASSERT_GE(page.height(), 561);
    EXPECT_TRUE(PageShowsQuarteredCard(page, QSize(793, 561))) << "the card reaches the page's far corner";
}

TEST(CardPage, AFileThatCannotBeWrittenIsAnError)
{
    EXPECT_ANY_THROW(WriteCardPagePdf(PictureCardScene(QuarteredCard(10, 10)), PaperOf(0, 1), "/nonexistent-folder/x.pdf"));
}

TEST(CardPage, APaperWithoutAreaOrBeyondWhatPrintsIsAnError)
{
    QTemporaryDir dir;
    PaperSettings paper = PaperOf(10, 0);
    paper.PaperWidth = 0;
    EXPECT_THROW(CardPageLayout(paper), ECardError);
    EXPECT_THROW(WriteCardPagePdf(PictureCardScene(QuarteredCard(10, 10)), paper, dir.filePath("x.pdf")), ECardError);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.pdf")));
    paper.PaperWidth = 6000;  // 6 m
    EXPECT_THROW(CardPageLayout(paper), ECardError);
    paper.PaperWidth = 5000;  // just under 200 inches
    EXPECT_NO_THROW(CardPageLayout(paper));
}

TEST(CardPage, EveryStandardPaperIsThePrintersPaperOfItsSize)
{
    const struct {
        int Entry;
        QPageSize::PageSizeId Id;
        double WidthMm, LengthMm;
    } papers[] = {
        {0, QPageSize::A5, 148, 210},         {1, QPageSize::Letter, 215.9, 279.4},
        {2, QPageSize::Legal, 215.9, 355.6},  {3, QPageSize::Executive, 190.5, 254},
        {4, QPageSize::A5, 148, 210},         {5, QPageSize::JisB5, 182, 257},
    };
    for (const auto &paper : papers) {
        SCOPED_TRACE(paper.Entry);
        const QPageLayout layout = CardPageLayout(PaperOf(paper.Entry, 0));
        EXPECT_EQ(layout.pageSize().id(), paper.Id);
        EXPECT_NEAR(layout.fullRect(QPageLayout::Millimeter).width(), paper.WidthMm, 0.05);
        EXPECT_NEAR(layout.fullRect(QPageLayout::Millimeter).height(), paper.LengthMm, 0.05);
        EXPECT_EQ(layout.mode(), QPageLayout::FullPageMode);
    }
}

} // namespace
