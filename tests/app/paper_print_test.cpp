// Paper Set and Print from the main window, driven as a user would: a
// fixture card opened through Open, the paper set dialog and the print
// preview worked through their own widgets once on screen, the printer
// chosen as a PDF file through scripted printer dialogs.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "card/card_file.h"
#include "card/card_render.h"
#include "controls/Card_Edit.h"
#include "controls/shape.h"
#include "dialogs/frm_preview.h"
#include "dialogs/frm_print.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/card_fixture.h"
#include "tests/support/failing_rename.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/scripted_printing.h"

#include <QComboBox>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const QString NoCard = "Please Create a new card or open a card first!";
const QString SaveError = "Save Error, Please contact technical support or retry later!";

SlotRect Slot(int left, int top, int right, int bottom)
{
    return {left, top, right, bottom};
}

// Slot rectangles compared as "left,top,right,bottom".
std::string Rect(int left, int top, int right, int bottom)
{
    return std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(right) + "," + std::to_string(bottom);
}
std::string Of(const SlotRect &r)
{
    return Rect(r.Left, r.Top, r.Right, r.Bottom);
}

QRect Bounds(int left, int top, int width, int height)
{
    return QRect(left, top, width, height);
}

class PaperPrint : public TMainWindowTest {
protected:
    void SetUp() override
    {
        form.resize(900, 700);
        TMainWindowTest::SetUp();
    }

    // Opens a fixture card; a second picture slot, when asked for, shows the
    // same picture file at `second`.
    void OpenFixture(const TFixtureCard &card, std::optional<SlotRect> second = std::nullopt)
    {
        CardLayout layout = WriteFixtureCard(folder, card);
        if (second) {
            layout.Pictures[1].Used = 1;
            layout.Pictures[1].Rect = *second;
            layout.Pictures[1].FileName.SetText("picture.bmp");
            WriteCardFile(folder + "Card.crd", layout);
        }
        Open(folder + "Card.crd");
        ASSERT_FALSE(form.CardPath.isEmpty()) << dialogs->Messages.join('|').toStdString();
    }

    // Presses Paper Set; `choose` works the dialog, then OK (or Cancel) is
    // pressed. Whatever else opens is closed, so nothing waits for a person.
    bool PaperSet(const std::function<void(TFrmprint &)> &choose, bool ok = true)
    {
        const bool shown = WithModal<TFrmprint>([this] { form.BitBtn5->click(); }, [&](TFrmprint &dialog) {
            EXPECT_FALSE(dialog.PageControl1->isTabVisible(dialog.PageControl1->indexOf(dialog.TabSheet2)))
                << "only the paper page is seen";
            EXPECT_TRUE(EveryControlNamed(&dialog)) << AccessibilityTreeText(&dialog).toStdString();
            choose(dialog);
            (ok ? dialog.Button1 : dialog.Button2)->click();
        });
        EXPECT_TRUE(shown);
        return shown;
    }
    // "My Own Paper Size" in pixels, portrait.
    static std::function<void(TFrmprint &)> OwnSizeInPixels(const QString &width, const QString &length,
                                                            bool autoAdjust = true)
    {
        return [=](TFrmprint &dialog) {
            dialog.ListBox1->setCurrentRow(10);
            dialog.OrientationCB->setCurrentIndex(0);
            dialog.Units->setCurrentIndex(2);
            dialog.PageWidth->setText(width);
            dialog.PageLength->setText(length);
            dialog.CheckBox1->setChecked(autoAdjust);
        };
    }

    const CardLayout &Layout() const { return form.Card_Edit1->Layout; }
    QString Pdf() const { return dir.path() + "/card.pdf"; }

    const QString folder = dir.path() + "/MyCard/Fixture/";
};

TEST_F(PaperPrint, WithNoCardOpenBothCommandsAskForACard)
{
    form.BitBtn5->click();
    form.BitBtn6->click();
    EXPECT_EQ(dialogs->Messages, QStringList({NoCard, NoCard}));
    EXPECT_FALSE(QFile::exists(form.TempBmpPath()));
}

TEST_F(PaperPrint, ANewPaperSizeStretchesThePictureTheTextSlotsAndTheBoxesButNotTheSecondPicture)
{
    OpenFixture({.Texts = {{0, Slot(10, 20, 101, 220), FixtureRtf({"Hello"})}}}, Slot(400, 300, 500, 400));
    ASSERT_TRUE(form.Shape2->isVisible());
    form.Mover->Select(form.Shape1);

    ASSERT_TRUE(PaperSet(OwnSizeInPixels("1000", "700")));
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(Layout().Paper.PaperIndex, 10);
    EXPECT_EQ(Layout().Paper.UnitIndex, 2);
    EXPECT_EQ(Layout().Paper.Orientation, 0);
    EXPECT_EQ(Layout().Paper.PaperWidth, 1000.0);
    EXPECT_EQ(Layout().Paper.CardWidth, 1000);
    EXPECT_EQ(Layout().Paper.CardHeight, 700);
    EXPECT_EQ(form.Card_Edit1->size(), QSize(1000, 700));
    EXPECT_EQ(form.Card_Edit1->Picture().size(), QSize(1000, 700));

    // rx = 1000 / 793, ry = 700 / 559: corner by corner for the picture...
    EXPECT_EQ(Of(Layout().Pictures[0].Rect), Rect(76, 63, 378, 288));
    // ...position and size for a text box, as it always lay on the surface
    // and went into the file: its slot is the box.
    EXPECT_EQ(Box(0)->geometry(), Bounds(13, 25, 115, 250));  // 114.75, 250.45
    EXPECT_EQ(Of(Layout().Texts[0].Rect), Rect(13, 25, 128, 275));
    EXPECT_EQ(Of(Layout().Pictures[1].Rect), Rect(400, 300, 500, 400));
    EXPECT_EQ(form.Shape1->geometry(), Bounds(76, 63, 302, 225));
    EXPECT_EQ(form.Shape2->geometry(), Bounds(400, 300, 100, 100));
    EXPECT_EQ(form.SpeedButton1->y(), form.Shape1->y() + form.Shape1->height() + form.Mover->FrameMargin + TMover::HandleSize)
        << "the button follows the frame, below its row of handles";
    EXPECT_EQ(form.Mover->SelectedControl(), nullptr) << "the selection is dropped before rescaling";
    EXPECT_TRUE(form.HasUnsavedChanges());

    // Save takes the boxes' bounds into the slots and the file.
    Save();
    const CardLayout saved = ReadCardFile(folder + "Card.crd", FreshLayout());
    EXPECT_EQ(saved.Paper.CardWidth, 1000);
    EXPECT_EQ(Of(saved.Texts[0].Rect), Rect(13, 25, 128, 275));
    EXPECT_EQ(Of(saved.Pictures[1].Rect), Rect(400, 300, 500, 400));
}

TEST_F(PaperPrint, RatiosOfOneAndAHalfRoundHalvesToTheEvenNeighbour)
{
    OpenFixture({.Width = 600,
          .Height = 400,
          .Texts = {{0, Slot(1, 10, 201, 60), FixtureRtf({"One"})}, {1, Slot(3, 100, 203, 150), FixtureRtf({"Three"})}}});
    ASSERT_TRUE(PaperSet(OwnSizeInPixels("900", "400")));
    EXPECT_EQ(form.Card_Edit1->size(), QSize(900, 400));
    EXPECT_EQ(Of(Layout().Texts[0].Rect), Rect(2, 10, 302, 60));   // 1.5 -> 2, 301.5 -> 302
    EXPECT_EQ(Of(Layout().Texts[1].Rect), Rect(4, 100, 304, 150));  // 4.5 -> 4, 304.5 -> 304
    EXPECT_EQ(Box(0)->geometry(), Bounds(2, 10, 300, 50));
    EXPECT_EQ(Box(1)->geometry(), Bounds(4, 100, 300, 50));
    EXPECT_EQ(Of(Layout().Pictures[0].Rect), Rect(90, 50, 450, 230));
}

TEST_F(PaperPrint, WithAutoAdjustClearedTheCardTakesItsNewSizeAndEverythingKeepsItsPixels)
{
    OpenFixture({.Texts = {{2, Slot(10, 20, 101, 220), FixtureRtf({"Hello"})}}});
    const QRect box = Box(2)->geometry();
    ASSERT_TRUE(PaperSet(OwnSizeInPixels("1000", "700", false)));
    EXPECT_EQ(form.Card_Edit1->size(), QSize(1000, 700));
    EXPECT_EQ(Layout().Paper.CardWidth, 1000);
    EXPECT_EQ(Of(Layout().Texts[2].Rect), Rect(10, 20, 101, 220));
    EXPECT_EQ(Of(Layout().Pictures[0].Rect), Rect(60, 50, 300, 230));
    EXPECT_EQ(Box(2)->geometry(), box);
    EXPECT_EQ(form.Shape1->geometry(), Bounds(60, 50, 240, 180));
}

TEST_F(PaperPrint, LetterLandscapeAndBackToTheDefaultPaper)
{
    OpenFixture({.Texts = FiveFixtureTexts(793, 559)});
    ASSERT_TRUE(PaperSet([](TFrmprint &dialog) {
        dialog.ListBox1->setCurrentRow(1);
        dialog.OrientationCB->setCurrentIndex(1);
    }));
    EXPECT_EQ(form.Card_Edit1->size(), QSize(1056, 816));
    EXPECT_EQ(Layout().Paper.PaperIndex, 1);
    EXPECT_EQ(Layout().Paper.PaperWidth, 279.4);
    EXPECT_EQ(Layout().Paper.PaperLength, 215.9);

    ASSERT_TRUE(PaperSet([](TFrmprint &dialog) {
        EXPECT_EQ(dialog.ListBox1->currentRow(), 1);
        EXPECT_EQ(dialog.PageWidth->text(), "279.40");
        EXPECT_EQ(dialog.OrientationCB->currentIndex(), 1);
        dialog.ListBox1->setCurrentRow(0);
    }));
    EXPECT_EQ(form.Card_Edit1->size(), QSize(793, 559));
    // Rounded twice, each side comes back to within a pixel.
    const std::vector<TFixtureText> texts = FiveFixtureTexts(793, 559);
    for (const TFixtureText &text : texts) {
        const SlotRect &back = Layout().Texts[text.Slot].Rect;
        EXPECT_LE(std::abs(back.Left - text.Rect.Left), 1);
        EXPECT_LE(std::abs(back.Right - text.Rect.Right), 1);
        EXPECT_LE(std::abs(back.Top - text.Rect.Top), 1);
        EXPECT_LE(std::abs(back.Bottom - text.Rect.Bottom), 1);
    }
}

TEST_F(PaperPrint, TheSamePixelSizeStoresTheNewPaperAndMovesNothing)
{
    OpenFixture({.Texts = {{0, Slot(10, 20, 101, 220), FixtureRtf({"Hello"})}}});
    const qint64 picture = form.Card_Edit1->Picture().cacheKey();
    const QRect box = Box(0)->geometry();
    form.Mover->Select(Box(0));
    ASSERT_TRUE(PaperSet([](TFrmprint &dialog) { dialog.ListBox1->setCurrentRow(4); }));
    EXPECT_EQ(Layout().Paper.PaperIndex, 4);
    EXPECT_EQ(Layout().Paper.CardWidth, 793);
    EXPECT_EQ(form.Card_Edit1->Picture().cacheKey(), picture) << "not recomposed";
    EXPECT_EQ(Box(0)->geometry(), box);
    EXPECT_EQ(form.Mover->SelectedControl(), Box(0));
}

TEST_F(PaperPrint, CancelChangesNothing)
{
    OpenFixture({.Texts = {{0, Slot(10, 20, 101, 220), FixtureRtf({"Hello"})}}});
    const CardLayout before = Layout();
    form.Mover->Select(form.Shape1);
    ASSERT_TRUE(PaperSet(OwnSizeInPixels("1000", "700"), false));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&Layout()), sizeof(CardLayout)),
              QByteArray(reinterpret_cast<const char *>(&before), sizeof(CardLayout)));
    EXPECT_EQ(form.Card_Edit1->size(), QSize(793, 559));
    EXPECT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_FALSE(form.HasUnsavedChanges());
}

// The open card holds its pictures: one removed from the folder behind its
// back no longer stops a Paper Set, and the step is undone whole.
TEST_F(PaperPrint, APictureRemovedFromTheFolderStillComposesAndTheStepUndoes)
{
    OpenFixture({.Texts = {{0, Slot(10, 20, 101, 220), FixtureRtf({"Hello"})}}});
    ASSERT_TRUE(QFile::remove(folder + "picture.bmp"));
    const QRect box = Box(0)->geometry();
    const QImage before = form.Card_Edit1->Picture();
    PaperSet(OwnSizeInPixels("1000", "700"));
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(form.Card_Edit1->size(), QSize(1000, 700));
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo paper set (Ctrl+Z)");
    form.UndoButton->click();
    EXPECT_EQ(Layout().Paper.CardWidth, 793);
    EXPECT_EQ(Of(Layout().Texts[0].Rect), Rect(10, 20, 101, 220));
    EXPECT_EQ(Box(0)->geometry(), box);
    EXPECT_EQ(form.Card_Edit1->size(), QSize(793, 559));
    EXPECT_EQ(form.Card_Edit1->Picture(), before);
    EXPECT_FALSE(form.HasUnsavedChanges());
}

// Print still writes Temp.bmp, but the page is the card drawn at the
// printer's resolution: the same card seen at 96 dpi, in place, with its
// text as text.
TEST_F(PaperPrint, PrintWritesTempBmpAndPrintsTheCardWithItsTextOnOnePageOfItsPaper)
{
    OpenFixture({.Texts = FiveFixtureTexts(793, 559)});
    auto printers = std::make_unique<TScriptedPrinterDialogs>();
    printers->PdfFile = Pdf();
    const TScriptedPrinterDialogs *chosen = printers.get();  // the preview owns it, and goes with it
    QStringList titles;
    const bool previewed = WithModal<TFrmPreview>([this] { form.BitBtn6->click(); }, [&](TFrmPreview &preview) {
        EXPECT_TRUE(preview.IsZoom100());
        preview.BitBtn1->click();
        preview.SetPrinterDialogs(std::move(printers));
        preview.BitBtn3->click();
        preview.BitBtn4->click();
        preview.BitBtn5->click();
        titles = chosen->Titles;
    });
    ASSERT_TRUE(previewed);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(titles, (QStringList{"Printer Setup", "Print"})) << "the dialog goes with the preview";

    const QImage card = form.RenderedCard().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ReadBmpWithOwnDecoder(form.TempBmpPath()), card);
    const std::optional<TPdfInfo> info = ReadPdfInfo(Pdf());
    ASSERT_TRUE(info) << "pdfinfo (poppler-utils) did not run";
    EXPECT_EQ(info->Pages, 1);
    EXPECT_TRUE(info->PageSize.startsWith("595 x 420 pts")) << info->PageSize.toStdString();  // A5 landscape
    const QImage page = RenderPdfPage(Pdf()).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(page.size(), QSize(794, 560));
    // The background in place, and the picture in its window, from its own
    // 6 x 5 pixels (which this PDF's reader shows as blocks).
    const QRect free(0, 240, 380, 319);
    EXPECT_GE(Psnr(page.copy(free), card.copy(free)), 35.0);
    EXPECT_TRUE(NearColour(page.pixelColor(62, 52), QColor(220, 10, 10), 4));
    EXPECT_TRUE(NearColour(page.pixelColor(180, 140), QColor(20, 40, 200), 4));
    EXPECT_TRUE(NearColour(page.pixelColor(58, 48), card.pixelColor(58, 48), 4));
    const std::optional<QString> text = PdfText(Pdf());
    ASSERT_TRUE(text);
    for (int n = 0; n < 5; ++n)
        EXPECT_TRUE(text->contains(QStringLiteral("Box %1: Happy birthday").arg(n))) << text->toStdString();
}

TEST_F(PaperPrint, PrintNeverPrintsAStaleTempBmp)
{
    OpenFixture({});
    QFile stale(form.TempBmpPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("an earlier card");
    stale.close();
    bool previewed = false;
    {
        const TModalScript user([&](QWidget *modal) {
            previewed = true;
            modal->close();
        });
        const TFailingRename failing("Temp.bmp");
        form.BitBtn6->click();
    }
    EXPECT_FALSE(previewed);
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].startsWith(SaveError + "\n\n")) << dialogs->Messages[0].toStdString();
    EXPECT_TRUE(dialogs->Messages[0].contains("Temp.bmp")) << dialogs->Messages[0].toStdString();
    QFile kept(form.TempBmpPath());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "an earlier card");
}

} // namespace
