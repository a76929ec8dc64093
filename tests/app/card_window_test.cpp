// The design surface and the card file commands, driven as a user would:
// scripted dialogs, the mouse through the window, card folders built in a
// temporary directory.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "controls/Card_Edit.h"
#include "card/card_file.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString TextIn(const QString &rtfFile)
{
    TRichEditBox box;
    return box.LoadFromFile(rtfFile) ? box.toPlainText() : QString("<unreadable>");
}

class CardWindow : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        form.OpenWithDesktop = [this](const QUrl &address) { return opened << address.toString(), true; };
    }

    // A card folder of `width` x `height` pixels: a white (see-through)
    // template.bmp, a red picture in the frame at (100, 80, 200 x 150),
    // "Text 1" at (400, 40, 300 x 80) and "Text 3" at (420, 300, 300 x 100).
    // Returns its Card.crd.
    QString MakeCard(const QString &name, int width = 793, int height = 559)
    {
        const QString folder = dir.path() + "/MyCard/" + name + "/";
        QDir().mkpath(folder);
        CardLayout layout = FreshLayout();
        layout.Paper.CardWidth = width;
        layout.Paper.CardHeight = height;
        layout.BackgroundFile.SetText("template.bmp");
        layout.TransparentColour = 0x00FFFFFF;
        layout.Pictures[0] = {1, {100, 80, 300, 230}, {}};
        layout.Pictures[0].FileName.SetText("picture.bmp");
        layout.Texts[1] = {1, {400, 40, 700, 120}, {}, {}};
        layout.Texts[3] = {1, {420, 300, 720, 400}, {}, {}};
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.save(folder + "template.bmp", "BMP");
        image.fill(Qt::red);
        image.copy(0, 0, 40, 30).save(folder + "picture.bmp", "BMP");
        for (int n : {1, 3}) {
            QFile rtf(folder + QString::number(n) + ".rtf");
            EXPECT_TRUE(rtf.open(QIODevice::WriteOnly) && rtf.write("{\\rtf1\\ansi Text " + QByteArray::number(n) + "}"));
        }
        WriteCardFile(folder + "Card.crd", layout);
        return folder + "Card.crd";
    }

    QStringList opened;
};

TEST_F(CardWindow, OpeningBuildsTheUsedSlotsAndARefusedOpeningKeepsTheOpenCard)
{
    const QString sample = MakeCard("Sample");
    Open(sample);
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(form.findChildren<TRichEditBox *>().size(), 2);
    EXPECT_EQ(Box(1)->geometry(), QRect(400, 40, 300, 80));
    EXPECT_EQ(Box(3)->geometry(), QRect(420, 300, 300, 100));
    EXPECT_EQ(Box(3)->toPlainText(), "Text 3");
    EXPECT_TRUE(form.Shape1->isVisible() && !form.Shape2->isVisible());
    // Centred just below the row of handles under the frame (margin 4, handle 7).
    EXPECT_EQ(form.SpeedButton1->pos(), QPoint(100 + (200 - 169) / 2, 230 + 4 + 7));
    Box(1)->raise();  // stacking order is not slot order
    EXPECT_EQ(form.TextBoxes(), QList<TRichEditBox *>({Box(1), Box(3)}));

    Mouse({{500, 80}});  // a box selected while the next card opens
    QTextCursor(Box(1)->document()).insertText("edited ");
    const QImage shown = form.Card_Edit1->Picture();
    const QString broken = MakeCard("Broken");
    QFile::remove(QFileInfo(broken).path() + "/3.rtf");
    dialogs->YesNoAnswers = {false};  // Save the Card? No.
    Open(broken);
    EXPECT_TRUE(dialogs->Messages.value(0).contains("3.rtf"));
    EXPECT_EQ(form.CardPath, QFileInfo(sample).path() + "/template.bmp");
    EXPECT_EQ(form.TextBoxes(), QList<TRichEditBox *>({Box(1), Box(3)}));
    EXPECT_EQ(Box(1)->toPlainText(), "edited Text 1");
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_TRUE(Shape("cerceve")->isVisible() && form.Shape1->isVisible());
    EXPECT_EQ(form.Card_Edit1->Picture(), shown);
}

TEST_F(CardWindow, DraggingThePictureFrameWhileScrolledMovesThePictureAndTheButton)
{
    Open(MakeCard("Big", 3000, 2400));
    form.ScrollBox1->SetHorzPosition(80);
    form.ScrollBox1->SetVertPosition(60);
    EXPECT_EQ(RectOf(form.ControlToCardRect(Box(3))), QRect(420, 300, 300, 100));
    const qint64 composed = form.Card_Edit1->Picture().cacheKey();
    qint64 now = 1000;
    form.Mover->MonotonicClock = [&now] { return now; };
    Mouse({{150, 100}});  // selects the frame and takes the caret away
    ASSERT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_TRUE(form.Button2->hasFocus());
    Mouse({{150, 100}});  // a press on the frame without moving
    EXPECT_EQ(form.Card_Edit1->Picture().cacheKey(), composed);
    EXPECT_FALSE(form.HasUnsavedChanges());

    now += 250;  // not a double press
    Mouse({{150, 100}, {165, 95}, {180, 90}});
    EXPECT_EQ(RectOf(form.Card_Edit1->Layout.Pictures[0].Rect), QRect(130, 70, 200, 150));
    EXPECT_EQ(form.Card_Edit1->Picture().pixelColor(110, 100), QColor(Qt::white));
    EXPECT_EQ(form.Card_Edit1->Picture().pixelColor(320, 210), QColor(Qt::red));
    EXPECT_EQ(form.SpeedButton1->pos(), QPoint(130 + (200 - 169) / 2, 220 + 4 + 7));
    EXPECT_EQ(form.ScrollBox1->HorzPosition(), 80);
    EXPECT_TRUE(form.HasUnsavedChanges());
    Mouse({{600, 600}});  // the bare card
    EXPECT_EQ(form.Mover->SelectedControl(), nullptr);
    dialogs->YesNoCancelAnswers = {TAnswer::No};
    Open(dir.path() + "/MyCard/Big/Card.crd");
    EXPECT_EQ(form.ScrollBox1->HorzPosition() + form.ScrollBox1->VertPosition(), 0);
}

TEST_F(CardWindow, TextBoxesMoveAsOneStepEachAndStayClickable)
{
    Open(MakeCard("Sample"));
    Mouse({{500, 80}});
    ASSERT_EQ(form.Mover->SelectedControl(), Box(1));
    Mouse({{398, 80}, {408, 100}});  // the frame's ring, left of the box
    EXPECT_EQ(Box(1)->geometry(), QRect(410, 60, 300, 80));
    EXPECT_EQ(RectOf(form.Card_Edit1->Layout.Texts[1].Rect), QRect(410, 60, 300, 80));
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo move of text box 2 (Ctrl+Z)");

    const QPoint right = Shape("sagorta")->geometry().center();
    Mouse({right, right - QPoint(600, 0)});  // far past the left edge
    const QPoint top = Shape("ustorta")->geometry().center();
    Mouse({top, top + QPoint(0, 400)});  // the top edge past the bottom one
    const int side = Tfrmmain::MinControlSide;
    EXPECT_EQ(Box(1)->geometry(), QRect(410, 140 - side, side, side));
}

TEST_F(CardWindow, OpenAndSaveKeepEachCardInItsOwnFolder)
{
    Save();
    EXPECT_EQ(dialogs->Messages, QStringList({"Please Create a new card or open a card first!"}));
    const QString file = MakeCard("Sample"), other = MakeCard("Other");
    Open(file);
    EXPECT_EQ(dialogs->FileDialogs.back().InitialDir, dir.path() + "/MyCard/");
    const QString shown = form.CardPath;
    Open(QFileInfo(other).path() + "/Card.CRD");  // the test is case-sensitive
    EXPECT_EQ(form.CardPath, shown);
    QFile::remove(QFileInfo(other).path() + "/template.bmp");
    const QByteArray otherLayout = Contents(other);
    Open(other);
    EXPECT_EQ(dialogs->Messages.last(), "Sorry, the Card File is error!");
    EXPECT_EQ(form.CardPath, shown);

    MoveBox(3, QPoint(-20, 15));
    Box(3)->setPlainText("Dear Ann");
    Save();
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_EQ(Contents(other), otherLayout);  // nothing went to the refused folder
    const CardLayout saved = ReadCardFile(file, FreshLayout());
    EXPECT_EQ(RectOf(saved.Texts[3].Rect), QRect(400, 315, 300, 100));
    EXPECT_EQ(saved.Texts[1].Used + saved.Texts[3].Used, 2);
    EXPECT_EQ(TextIn(QFileInfo(file).path() + "/3.rtf"), "Dear Ann");
    const QByteArray first = Contents(file);
    Save();
    EXPECT_EQ(Contents(file), first);

    const QString plain = dir.path() + "/MyCard/Plain/";  // no Card.crd yet
    QDir().mkpath(plain);
    QImage(200, 100, QImage::Format_RGB32).save(plain + "template.bmp", "BMP");
    Open(plain + "x.crd");
    EXPECT_TRUE(QFileInfo::exists(plain + "Card.crd"));
    EXPECT_EQ(form.Card_Edit1->Picture().size(), QSize(793, 559));
    EXPECT_TRUE(form.TextBoxes().isEmpty() && !form.Shape1->isVisible());
}

TEST_F(CardWindow, OpenAsksToSaveOnlyWhenTheCardHasUnsavedChanges)
{
    const QString first = MakeCard("First"), second = MakeCard("Second");
    Open(first);
    Open(second);
    EXPECT_TRUE(dialogs->Questions.isEmpty());
    Box(1)->moveCursor(QTextCursor::Start);
    Box(1)->insertPlainText("Hello ");
    dialogs->YesNoAnswers = {true};
    Open(first);
    EXPECT_EQ(dialogs->QuestionCaptions, QStringList({"Please Make sure."}));
    EXPECT_EQ(TextIn(dir.path() + "/MyCard/Second/1.rtf"), "Hello Text 1");
    MoveBox(1, QPoint(5, 5));
    dialogs->YesNoCancelAnswers = {TAnswer::No};
    Open(second);
    EXPECT_EQ(dialogs->Questions, QStringList({"Save the Card?", "Save the Card?"}));
    EXPECT_EQ(ReadCardFile(first, FreshLayout()).Texts[1].Rect.Left, 400);
}

TEST_F(CardWindow, ClosingAsksToSaveAndAFailedSaveKeepsTheWindowOpen)
{
    const QString file = MakeCard("Sample"), rtf3 = QFileInfo(file).path() + "/3.rtf";
    Open(file);
    form.RunCommand([this] { form.BitBtn7Click(); });  // Exit? No.
    EXPECT_EQ(dialogs->QuestionCaptions, QStringList({"Are you sure?"}));
    EXPECT_TRUE(form.isVisible());

    const QByteArray before = Contents(file);
    MoveBox(3, QPoint(1, 0));
    QFile::remove(rtf3);
    QDir().mkdir(rtf3);  // no file can be written there
    dialogs->YesNoAnswers = {true, true};  // Exit? Save the Card?
    form.RunCommand([this] { form.BitBtn7Click(); });
    EXPECT_TRUE(form.isVisible() && form.Mover);
    EXPECT_EQ(Contents(file), before);

    QDir().rmdir(rtf3);
    // Save the Card? And, as 3.rtf went from the disk since the card was
    // read: save over that change?
    dialogs->YesNoAnswers = {true, true};
    EXPECT_TRUE(form.close());
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_EQ(form.Mover, nullptr);
    EXPECT_NE(Contents(file), before);
}

// The guide beside the program shows only pictures shipped beside it, and
// names the keys of every command that has some.
TEST_F(CardWindow, TheShippedGuideHasItsPicturesAndEveryCommandsKeys)
{
    const QString guide = QString::fromUtf8(Contents(TESSALY_OUTPUT_DIR "/tessaly.html"));
    ASSERT_FALSE(guide.isEmpty());
    int pictures = 0;
    for (const QRegularExpressionMatch &image : QRegularExpression("<img src=\"([^\"]+)\"").globalMatch(guide)) {
        ++pictures;
        EXPECT_TRUE(QFileInfo(TESSALY_OUTPUT_DIR "/" + image.captured(1)).isFile()) << image.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 2);
    int shortcuts = 0;
    for (const QShortcut *shortcut : form.findChildren<QShortcut *>()) {
        if (!shortcut->objectName().endsWith("Shortcut"))
            continue;
        ++shortcuts;
        const QString keys = shortcut->key().toString(QKeySequence::PortableText);
        EXPECT_TRUE(guide.contains("<kbd>" + keys + "</kbd>")) << keys.toStdString();
    }
    EXPECT_EQ(shortcuts, 10);
}

// The change-picture button lies above the text boxes, so in a shipped
// template it must lie clear of them or it hides their words.
TEST_F(CardWindow, EveryShippedTemplateKeepsItsChangePictureButtonClearOfItsTexts)
{
    const QDir templates(TESSALY_OUTPUT_DIR "/Template");
    const QStringList names = templates.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(names.size(), 8);
    for (const QString &name : names) {
        Open(templates.filePath(name + "/Card.crd"));
        ASSERT_TRUE(form.CardPath.endsWith("/" + name + "/template.bmp")) << dialogs->Messages.join('|').toStdString();
        ASSERT_TRUE(form.SpeedButton1->isVisible()) << name.toStdString();
        const QRect button = form.SpeedButton1->geometry();
        for (int slot = 0; slot < 5; ++slot)
            if (const TRichEditBox *box = Box(slot)) {
                ASSERT_EQ(box->parentWidget(), form.SpeedButton1->parentWidget());
                EXPECT_FALSE(button.intersects(box->geometry())) << name.toStdString() << ", text box " << slot;
            }
    }
}

} // namespace
