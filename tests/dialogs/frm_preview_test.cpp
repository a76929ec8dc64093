// Printing a picture through the paper set dialog's PrintImage: the preview
// window with its five buttons, and the printed page, chosen as a PDF file
// through scripted printer dialogs and read back with poppler-utils.
#include "dialogs/frm_preview.h"
#include "dialogs/frm_print.h"

#include "card/paper_config.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/modal_script.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_printing.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FrmPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QuarteredCard(793, 559).save(Bmp(), "BMP"));
        form.LoadPaper(PaperOf(0, 1));
        auto scripted = std::make_unique<TScriptedPrinterDialogs>();
        printers = scripted.get();
        form.SetPrinterDialogs(std::move(scripted));
    }
    QString Bmp() const { return dir.filePath("Temp.bmp"); }
    QString Pdf() const { return dir.filePath("card.pdf"); }

    // PrintImage, with `script` run in the preview once it is shown.
    void PrintImage(const std::function<void(TFrmPreview &)> &script)
    {
        EXPECT_TRUE(WithModal<TFrmPreview>([this] { form.PrintImage(Bmp()); }, script));
    }

    QTemporaryDir dir;
    TScriptedDialogs dialogs;
    TFrmprint form{dialogs};
    TScriptedPrinterDialogs *printers = nullptr;
};

TEST_F(FrmPreviewTest, ThePreviewShowsOnePageAtItsRealSizeWithFiveButtons)
{
    PrintImage([&](TFrmPreview &preview) {
        EXPECT_EQ(preview.windowTitle(), "Print Preview");
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(preview.BitBtn1->text(), "Zoom to Fit");
        EXPECT_EQ(preview.BitBtn1->toolTip(), "Zoom to Fit");
        EXPECT_EQ(preview.BitBtn2->text(), "Zoom to 100%");
        EXPECT_EQ(preview.BitBtn3->text(), "Printer Setup");
        EXPECT_EQ(preview.BitBtn4->text(), "Print");
        EXPECT_EQ(preview.BitBtn5->text(), "Close");
        EXPECT_EQ(preview.ReportPreview1->pageCount(), 1);
        EXPECT_TRUE(preview.IsZoom100());
        EXPECT_TRUE(EveryControlNamed(&preview)) << AccessibilityTreeText(&preview).toStdString();
        preview.BitBtn5->click();
        EXPECT_FALSE(preview.isVisible());
    });
    EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join('|').toStdString();
    EXPECT_TRUE(printers->Titles.isEmpty()) << "closing prints nothing";
    EXPECT_FALSE(QFile::exists(Pdf()));
}

TEST_F(FrmPreviewTest, ZoomButtonsClicksAndNewPagesSetTheZoom)
{
    PrintImage([&](TFrmPreview &preview) {
        preview.BitBtn1->click();
        QTest::qWait(50);  // the preview redraws: the zoom stays
        EXPECT_FALSE(preview.IsZoom100());
        EXPECT_EQ(preview.ReportPreview1->zoomMode(), QPrintPreviewWidget::FitInView);
        preview.BitBtn2->click();
        QTest::qWait(50);
        EXPECT_TRUE(preview.IsZoom100());

        // A click on the page switches between the real size and the whole page.
        auto *view = preview.ReportPreview1->findChild<QGraphicsView *>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::qWait(50);
        EXPECT_FALSE(preview.IsZoom100());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::qWait(50);
        EXPECT_TRUE(preview.IsZoom100());

        // In a window larger than the page, the whole page fills it.
        preview.showNormal();
        preview.resize(2400, 1800);
        QTest::qWait(50);
        preview.BitBtn1->click();
        QTest::qWait(50);
        EXPECT_GT(preview.ReportPreview1->zoomFactor(), 1.5);
        preview.BitBtn2->click();
        EXPECT_TRUE(preview.IsZoom100());

        // A page arriving after "Zoom to Fit" brings the real size back.
        preview.BitBtn1Click();
        preview.ReportPreview1->updatePreview();
        EXPECT_TRUE(preview.IsZoom100());
    });
}

TEST_F(FrmPreviewTest, PrintToAPdfFileGivesOnePageOfThePaperWithThePictureAtTheCorner)
{
    PrintImage([&](TFrmPreview &preview) {
        printers->PdfFile = Pdf();
        preview.BitBtn3->click();
        EXPECT_EQ(printers->Titles, QStringList{"Printer Setup"});
        preview.BitBtn4->click();
        EXPECT_EQ(printers->Titles, (QStringList{"Printer Setup", "Print"})) << "a printer set up is asked again";
    });
    EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join('|').toStdString();
    const std::optional<TPdfInfo> info = ReadPdfInfo(Pdf());
    ASSERT_TRUE(info) << "pdfinfo (poppler-utils) did not run";
    EXPECT_EQ(info->Pages, 1);
    EXPECT_TRUE(info->PageSize.startsWith("595")) << info->PageSize.toStdString();   // 210 mm
    EXPECT_TRUE(info->PageSize.contains("x 419") || info->PageSize.contains("x 420")) << info->PageSize.toStdString();

    const QImage page = RenderPdfPage(Pdf());
    ASSERT_EQ(page.size(), QSize(794, 560)) << "210 x 148 mm at 96 dpi, in whole pixels";
    EXPECT_TRUE(PageShowsQuarteredCard(page, QSize(793, 559)));
}

TEST_F(FrmPreviewTest, PrintAlwaysOpensThePrintDialogAndACancelPrintsNothing)
{
    PrintImage([&](TFrmPreview &preview) {
        preview.BitBtn4->click();
        EXPECT_EQ(printers->Titles, QStringList{"Print"});
        printers->PdfFile = Pdf();
        preview.BitBtn4->click();
        EXPECT_EQ(printers->Titles, (QStringList{"Print", "Print"}));
    });
    EXPECT_TRUE(QFile::exists(Pdf()));
}

TEST_F(FrmPreviewTest, OnLetterPaperEveryCardPixelIsAPagePixelAtTheCornerWhateverTheStoredMargins)
{
    PaperSettings paper = PaperOf(1, 0);
    for (double &margin : paper.Margins)
        margin = 25.0;
    form.LoadPaper(paper);
    PrintImage([&](TFrmPreview &preview) {
        printers->PdfFile = Pdf();
        preview.BitBtn3Click();
        preview.BitBtn4Click();
    });
    const std::optional<TPdfInfo> info = ReadPdfInfo(Pdf());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Pages, 1);
    EXPECT_TRUE(info->PageSize.startsWith("612 x 792 pts")) << info->PageSize.toStdString();
    const QImage page = RenderPdfPage(Pdf());
    ASSERT_EQ(page.size(), QSize(816, 1056));
    EXPECT_TRUE(PageShowsQuarteredCard(page, QSize(793, 559))) << "the picture ends at its own width and height";
}

TEST_F(FrmPreviewTest, APictureThatCannotBeLoadedIsAnErrorAndNothingIsPreviewed)
{
    QFile::remove(Bmp());
    EXPECT_THROW(form.PrintImage(Bmp()), ECardError);
    QFile text(Bmp());
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_THROW(form.PrintImage(Bmp()), ECardError);
    EXPECT_FALSE(form.Preview->isVisible());
}

TEST_F(FrmPreviewTest, APaperWithoutAreaIsAnErrorBeforeAnyPreview)
{
    PaperSettings paper = PaperOf(10, 0);
    paper.PaperWidth = 0;
    form.LoadPaper(paper);
    EXPECT_THROW(form.PrintImage(Bmp()), ECardError);
    EXPECT_FALSE(form.Preview->isVisible());
}

TEST(QtPrinterDialogs, SettingUpAcceptsWithOkPrintingWithPrint)
{
    const std::unique_ptr<TPrinterDialogs> dialogs = MakeQtPrinterDialogs();
    QPrinter printer;
    for (const TPrinterChoice choice : {TPrinterChoice::Setup, TPrinterChoice::Print}) {
        QString title, accept;
        const TModalScript user([&](QWidget *modal) {
            title = modal->windowTitle();
            if (auto *buttons = modal->findChild<QDialogButtonBox *>())
                accept = buttons->button(QDialogButtonBox::Ok)->text().remove('&');
            modal->close();
        });
        EXPECT_FALSE(dialogs->SetUpPrinter(printer, nullptr, choice)) << "closed, not accepted";
        EXPECT_EQ(title, PrinterDialogTitle(choice));
        EXPECT_EQ(accept, choice == TPrinterChoice::Setup ? "OK" : "Print");
    }
}

} // namespace
