// Rendering and Save As from the window, driven as a user would: a fixture
// card opened through the Open command, the save dialog answered by script.
// The window's files are held against the widget-free renderer's picture of
// the same card folder, so the exported file is the card the user sees.
#include "app/export_names.h"
#include "app/frm_main.h"
#include "card/card_render.h"
#include "controls/Card_Edit.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "pictures/bmp_file.h"
#include "richtext/rich_edit_box.h"
#include "tests/imaging/jpeg/jpeg_test_support.h"
#include "tests/support/card_fixture.h"
#include "tests/support/failing_rename.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

namespace {

const QString SaveError = "Save Error, Please contact technical support or retry later!";

// Width, height and each component's sampling byte from a JPEG's SOF0.
struct Frame {
    int Width = 0, Height = 0;
    std::vector<int> Sampling;
};
Frame FrameOf(const QByteArray &jpeg)
{
    const qsizetype at = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    Frame frame;
    if (at < 0 || at + 10 > jpeg.size())
        return frame;
    const auto byte = [&](qsizetype i) { return int(uint8_t(jpeg[at + i])); };
    frame.Height = byte(5) << 8 | byte(6);
    frame.Width = byte(7) << 8 | byte(8);
    for (int c = 0; c < byte(9) && at + 12 + 3 * c < jpeg.size(); ++c)
        frame.Sampling.push_back(byte(11 + 3 * c));
    return frame;
}

class CardExport : public TMainWindowTest {
protected:
    void SetUp() override
    {
        form.resize(700, 500);  // smaller than the card: the surface scrolls
        TMainWindowTest::SetUp();
    }

    // Opens the fixture card: a picture in its frame and five text boxes.
    void OpenFixture()
    {
        WriteFixtureCard(cardFolder, {.Texts = FiveFixtureTexts(793, 559)});
        Open(cardFolder + "Card.crd");
        ASSERT_FALSE(form.CardPath.isEmpty()) << dialogs->Messages.join('|').toStdString();
    }
    QString Out(const QString &name) const { return dir.path() + "/out/" + name; }

    const QString cardFolder = dir.path() + "/MyCard/Fixture/";
};

TEST(ExportNames, ATypedExtensionDecidesTheTypeAndOtherwiseTheFilterDoes)
{
    using T = TExportType;
    EXPECT_EQ(ExportChoice("card.BMP", 1), (TExportChoice{"card.BMP", T::Bitmap}));
    EXPECT_EQ(ExportChoice("card", 1), (TExportChoice{"card.bmp", T::Bitmap}));
    EXPECT_EQ(ExportChoice("card", 2), (TExportChoice{"card.jpg", T::Jpeg}));
    EXPECT_EQ(ExportChoice("card", 3), (TExportChoice{"card.pdf", T::Pdf}));
    EXPECT_EQ(ExportChoice("card", 4), (TExportChoice{"card.pdf", T::PrintShop}));
    EXPECT_EQ(ExportChoice("card", 9), (TExportChoice{"card.jpg", T::Jpeg})) << "beyond the list is JPEG";
    // A name never lies about its contents: "mira.jpg" under the bitmap
    // filter is a JPEG named mira.jpg, not a bitmap named mira.jpg.bmp.
    EXPECT_EQ(ExportChoice("mira.jpg", 1), (TExportChoice{"mira.jpg", T::Jpeg}));
    EXPECT_EQ(ExportChoice("card.JPEG", 3), (TExportChoice{"card.JPEG", T::Jpeg}));
    EXPECT_EQ(ExportChoice("card.bmp", 2), (TExportChoice{"card.bmp", T::Bitmap}));
    EXPECT_EQ(ExportChoice("card.Pdf", 1), (TExportChoice{"card.Pdf", T::Pdf}));
    EXPECT_EQ(ExportChoice("card.pdf", 4), (TExportChoice{"card.pdf", T::PrintShop}));
    // Another extension is part of the name.
    EXPECT_EQ(ExportChoice("card.png", 1), (TExportChoice{"card.png.bmp", T::Bitmap}));
    EXPECT_EQ(ExportChoice("card.", 2), (TExportChoice{"card..jpg", T::Jpeg}));
    // Only the file's own name has an extension, not its folder's.
    EXPECT_EQ(ExportChoice("/home/a.pdf/card", 1), (TExportChoice{"/home/a.pdf/card.bmp", T::Bitmap}));
    EXPECT_EQ(ExportFilter().count(";;") + 1, PrintShopFilterIndex);
}

TEST_F(CardExport, WithNoCardOpenSaveAsAsksForACardAndWritesNothing)
{
    SaveAs(Out("card.bmp"), 1);
    EXPECT_EQ(dialogs->Messages, QStringList{"Please Create a new card or open a card first!"});
    EXPECT_TRUE(dialogs->FileDialogs.empty()) << "no save dialog without a card";
    EXPECT_FALSE(QFile::exists(Out("card.bmp")) || QFile::exists(form.TempBmpPath()));
}

TEST_F(CardExport, TheBmpExportIsTheRenderedCardWithoutFramesHandlesOrButton)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    form.Mover->Select(form.Shape1);  // the selection frame and its handles on show
    ASSERT_TRUE(form.Shape1->isVisible() && form.SpeedButton1->isVisible());
    SaveAs(Out("card"), 1);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    const QByteArray bmp = Contents(Out("card.bmp"));
    EXPECT_EQ(bmp, PictureBmpBytes(RenderCardFolder(cardFolder)));
    EXPECT_EQ(ReadBmpWithOwnDecoder(Out("card.bmp")).size(), QSize(793, 559));
    EXPECT_FALSE(QFile::exists(form.TempBmpPath())) << "a BMP export needs no Temp.bmp";
}

TEST_F(CardExport, RenderingWhileScrolledEqualsRenderingUnscrolledAndKeepsTheScrollPositions)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    ASSERT_TRUE(form.RenderCard(Out("unscrolled.bmp")));
    form.ScrollBox1->SetHorzPosition(60);
    form.ScrollBox1->SetVertPosition(40);
    const int horz = form.ScrollBox1->HorzPosition(), vert = form.ScrollBox1->VertPosition();
    ASSERT_GT(horz, 0);
    ASSERT_GT(vert, 0);
    ASSERT_TRUE(form.RenderCard(Out("scrolled.bmp")));
    EXPECT_EQ(Contents(Out("scrolled.bmp")), Contents(Out("unscrolled.bmp")));
    EXPECT_EQ(form.ScrollBox1->HorzPosition(), horz);
    EXPECT_EQ(form.ScrollBox1->VertPosition(), vert);
}

TEST_F(CardExport, TheJpegExportGoesThroughTempBmpAndDecodesStrictly)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    SaveAs(Out("card"), 2);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(Contents(form.TempBmpPath()), PictureBmpBytes(RenderCardFolder(cardFolder)));
    const QByteArray jpeg = Contents(Out("card.jpg"));
    const Frame frame = FrameOf(jpeg);
    EXPECT_EQ(frame.Width, 793);
    EXPECT_EQ(frame.Height, 559);
    EXPECT_EQ(frame.Sampling, (std::vector<int>{0x11, 0x11, 0x11}));
    const DecodedImage decoded = DecodeJpegFile(Out("card.jpg").toStdString());
    EXPECT_TRUE(decoded.Ok()) << decoded.Error;
    EXPECT_EQ(decoded.Components, 3);
    EXPECT_TRUE(AcceptedByLibjpeg(Out("card.jpg").toStdString()));

    SaveAs(Out("again.JPEG"), 2);
    EXPECT_EQ(Contents(Out("again.JPEG")), jpeg) << "the same card gives the same bytes";

    // The first export starts in the user's own folders, not the program's
    // (where New leaves the current folder); the next at the last export.
    ASSERT_EQ(dialogs->FileDialogs.size(), 3u) << "Open, then two exports";
    EXPECT_TRUE(dialogs->FileDialogs[1].InitialDir.startsWith(QDir::homePath()));
    EXPECT_TRUE(dialogs->FileDialogs[1].FileName.isEmpty());
    EXPECT_EQ(dialogs->FileDialogs[2].FileName, Out("card"));
}

TEST_F(CardExport, ATypedJpgUnderTheBitmapFilterWritesAJpegNamedSo)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    SaveAs(Out("mira.jpg"), BitmapFilterIndex);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_FALSE(QFile::exists(Out("mira.jpg.bmp")));
    const QByteArray jpeg = Contents(Out("mira.jpg"));
    EXPECT_TRUE(jpeg.startsWith(QByteArray("\xFF\xD8\xFF", 3)));
    EXPECT_EQ(FrameOf(jpeg).Width, 793);
}

TEST_F(CardExport, ThePdfTypesWriteThePrintedPageWithItsText)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    SaveAs(Out("card"), PdfFilterIndex);
    SaveAs(Out("shop"), PrintShopFilterIndex);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    for (const char *name : {"card.pdf", "shop.pdf"}) {
        const QByteArray pdf = Contents(Out(name));
        EXPECT_TRUE(pdf.startsWith("%PDF-")) << name;
        EXPECT_TRUE(pdf.contains("/FontFile2")) << name << ": the text is text";
    }
    EXPECT_FALSE(Contents(Out("card.pdf")).contains("/BleedBox")) << "only the print shop's sheet has a bleed";
    EXPECT_TRUE(Contents(Out("shop.pdf")).contains("/BleedBox"));
}

TEST_F(CardExport, APdfOfACardWhosePictureIsGoneSaysWhyAndWritesNothing)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    ASSERT_TRUE(QFile::remove(cardFolder + "picture.bmp"));
    SaveAs(Out("card.pdf"), PdfFilterIndex);
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("picture.bmp")) << dialogs->Messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(Out("card.pdf")));
}

TEST_F(CardExport, AFailedExportSaysSoAndLeavesAnExistingFileWhole)
{
    OpenFixture();
    QDir().mkpath(Out(""));
    SaveAs(dir.path() + "/no-such-folder/card", 1);
    ASSERT_EQ(dialogs->Messages.size(), 1);
    // The message, then the file and the system's reason.
    EXPECT_TRUE(dialogs->Messages[0].startsWith(SaveError + "\n\n")) << dialogs->Messages[0].toStdString();
    EXPECT_TRUE(dialogs->Messages[0].contains("no-such-folder/card.bmp")) << dialogs->Messages[0].toStdString();
    EXPECT_TRUE(dialogs->Messages[0].contains("No such file or directory")) << dialogs->Messages[0].toStdString();
    SaveAs(dir.path() + "/no-such-folder/card", 2);
    ASSERT_EQ(dialogs->Messages.size(), 2) << "a failed conversion is not silent";
    EXPECT_TRUE(dialogs->Messages[1].startsWith(SaveError + "\n\n")) << dialogs->Messages[1].toStdString();
    EXPECT_TRUE(dialogs->Messages[1].contains("no-such-folder/card.jpg")) << dialogs->Messages[1].toStdString();

    for (const char *name : {"old.bmp", "old.jpg"}) {
        WriteFileBytes(Out(name).toStdString(), {'o', 'l', 'd'});
        const TFailingRename failing(name);
        SaveAs(Out(name), std::strcmp(name, "old.bmp") == 0 ? 1 : 2);
        EXPECT_EQ(dialogs->Messages.size(), 3 + (std::strcmp(name, "old.jpg") == 0));
        EXPECT_EQ(Contents(Out(name)), "old") << name;
    }
    // The JPEG's failure came after Temp.bmp was rendered.
    EXPECT_EQ(Contents(form.TempBmpPath()), PictureBmpBytes(RenderCardFolder(cardFolder)));
}

TEST_F(CardExport, AnExportOntoALinkReplacesItsTargetAndKeepsTheLinkAndAFifoIsRefused)
{
    OpenFixture();
    QDir().mkpath(Out("real"));
    for (const char *name : {"card.bmp", "card.jpg"}) {
        WriteFileBytes(Out(QStringLiteral("real/") + name).toStdString(), {'o', 'l', 'd'});
        ASSERT_TRUE(QFile::link(Out(QStringLiteral("real/") + name), Out(name)));
    }
    SaveAs(Out("card.bmp"), 1);
    SaveAs(Out("card.jpg"), 2);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(QFileInfo(Out("card.bmp")).isSymLink());
    EXPECT_TRUE(QFileInfo(Out("card.jpg")).isSymLink());
    EXPECT_EQ(Contents(Out("real/card.bmp")), PictureBmpBytes(RenderCardFolder(cardFolder)));
    EXPECT_EQ(FrameOf(Contents(Out("real/card.jpg"))).Width, 793);

    // Nobody reads the FIFO: the export is refused at once and it stays a FIFO.
    for (const int filter : {1, 2}) {
        const QString fifo = Out(filter == 1 ? "pipe.bmp" : "pipe.jpg");
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        dialogs->Messages.clear();
        SaveAs(fifo, filter);
        ASSERT_EQ(dialogs->Messages.size(), 1);
        EXPECT_TRUE(dialogs->Messages[0].startsWith(SaveError)) << dialogs->Messages[0].toStdString();
        EXPECT_TRUE(dialogs->Messages[0].contains(fifo)) << dialogs->Messages[0].toStdString();
        EXPECT_EQ(QFileInfo(fifo).isFile(), false);
        EXPECT_TRUE(QFileInfo(fifo).exists());
    }
}

// The window's one-box wrapper draws what the renderer draws for that box.
TEST_F(CardExport, RenderTextBoxDrawsTheBoxAtItsPlaceOnTheCard)
{
    OpenFixture();
    TRichEditBox *box = form.findChild<TRichEditBox *>("AEdit1");
    ASSERT_NE(box, nullptr);
    QImage bitmap = form.Card_Edit1->Picture().convertToFormat(QImage::Format_RGB32);
    const QImage canvas = bitmap;
    ASSERT_TRUE(form.RenderTextBox(box, bitmap));
    const QRect onCard = box->geometry().translated(-form.Card_Edit1->pos());
    EXPECT_EQ(bitmap.convertToFormat(QImage::Format_RGB888), RenderCardImage(canvas, {{box->document(), onCard}}));
    EXPECT_NE(bitmap, canvas);
    EXPECT_FALSE(form.RenderTextBox(nullptr, bitmap));
    QImage none;
    EXPECT_FALSE(form.RenderTextBox(box, none));
}

// What the user sees is what is exported: a text box painted by the widget
// on a 96 dpi screen gives the renderer's pixels for the same document.
TEST_F(CardExport, ATextBoxOnScreenHasTheRenderersPixels)
{
    OpenFixture();
    TRichEditBox *box = form.findChild<TRichEditBox *>("AEdit2");
    ASSERT_NE(box, nullptr);
    form.Button2->setFocus();  // no caret in the picture
    ASSERT_EQ(box->logicalDpiX(), 96);
    QImage screen(box->size(), QImage::Format_RGB32);
    screen.fill(Qt::white);
    box->render(&screen);
    QImage white(box->size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage rendered = RenderCardImage(white, {{box->document(), QRect(QPoint(0, 0), box->size())}});
    ASSERT_NE(rendered, white.convertToFormat(QImage::Format_RGB888)) << "the box has text";
    EXPECT_EQ(screen.convertToFormat(QImage::Format_RGB888), rendered);
}

} // namespace
