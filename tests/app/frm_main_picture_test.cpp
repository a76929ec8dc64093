// The change-picture command: the picture dialog shown modally over an open
// card, answered from inside its own event loop, and the card afterwards.
#include "app/frm_main.h"

#include "card/card_file.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_select_edit_image.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/modal_script.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

class ChangePicture : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Photos()));
    }

    QString Card() const { return dir.path() + "/MyCard/Sample/"; }
    QString Photos() const { return dir.path() + "/Photos/"; }
    void OpenCard(const QString &pictureName = "picture.bmp")
    {
        TFixtureCard card;
        card.PictureRect = {60, 50, 300, 230};
        CardLayout layout = WriteFixtureCard(Card(), card);
        layout.Pictures[0].FileName.SetText(pictureName);
        WriteCardFile(Card() + "Card.crd", layout);
        form.CardPath = Card() + "template.bmp";
        form.OpenCardFolder();
        ASSERT_TRUE(form.SpeedButton1->isVisible());
    }
    // Presses the change-picture button; `inDialog` runs once the dialog is
    // up, inside its modal loop. False when no picture dialog was shown.
    bool PressChangePicture(const std::function<void(TFrmselectImage &)> &inDialog)
    {
        return WithModal<TFrmselectImage>([this] { form.SpeedButton1->click(); }, inDialog);
    }
    QRgb FrameCentre() const { return form.Card_Edit1->Picture().pixel(180, 140); }
};

// The picture is kept in the card until Save writes it; undone after the
// Save, the next Save writes the old picture's very bytes back.
TEST_F(ChangePicture, TheChosenPictureIsComposedAtOnceWrittenBySaveAndUndoneExactly)
{
    OpenCard();
    QImage green(80, 60, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    ASSERT_TRUE(green.save(Photos() + "green.bmp", "BMP"));
    const QByteArray layoutBefore = Contents(Card() + "Card.crd");
    const QByteArray pictureBefore = Contents(Card() + "picture.bmp");
    const QRgb shownBefore = FrameCentre();
    form.LastPictureDir = Photos();

    const bool shown = PressChangePicture([&](TFrmselectImage &dialog) {
        // It opens on the card's current picture.
        EXPECT_EQ(dialog.Picture().size(), QSize(6, 5));
        EXPECT_TRUE(dialog.TargetFile.isEmpty()) << "the dialog hands the picture back";
        // The frame's shape to fill, and the card at 300 ppi as the bound.
        EXPECT_EQ(dialog.FrameShape, QSize(240, 180));
        EXPECT_EQ(dialog.StoreBound, QSize(2478, 1746));
        dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{Photos() + "green.bmp"});
        dialog.Button1->click();
        dialogs->YesNoAnswers = {true};
        dialog.BitBtn5->click();
    });
    ASSERT_TRUE(shown);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(dialogs->FileDialogs.front().InitialDir, Photos());
    EXPECT_EQ(Contents(Card() + "picture.bmp"), pictureBefore) << "nothing written before Save";
    EXPECT_FALSE(QFile::exists(Card() + "picture.bmp.fit"));
    EXPECT_EQ(FrameCentre(), qRgb(0, 200, 0));
    EXPECT_EQ(form.LastPictureDir, Photos());
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo change of picture in picture frame 1 (Ctrl+Z)");

    Save();
    EXPECT_EQ(ReadBmpWithOwnDecoder(Card() + "picture.bmp"), green);
    EXPECT_TRUE(QFile::exists(Card() + "picture.bmp.fit"));
    EXPECT_EQ(Contents(Card() + "Card.crd"), layoutBefore);
    form.UndoButton->click();
    EXPECT_EQ(FrameCentre(), shownBefore);
    EXPECT_TRUE(form.HasUnsavedChanges());
    Save();
    EXPECT_EQ(Contents(Card() + "picture.bmp"), pictureBefore);
    form.RedoButton->click();
    EXPECT_EQ(FrameCentre(), qRgb(0, 200, 0));
    form.UndoButton->click();
    EXPECT_FALSE(form.HasUnsavedChanges());
}

TEST_F(ChangePicture, CancellingChangesNothing)
{
    OpenCard();
    QImage green(80, 60, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    ASSERT_TRUE(green.save(Photos() + "green.bmp", "BMP"));
    const QImage before = form.Card_Edit1->Picture();
    const QByteArray pictureBefore = Contents(Card() + "picture.bmp");

    ASSERT_TRUE(PressChangePicture([&](TFrmselectImage &dialog) {
        dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{Photos() + "green.bmp"});
        dialog.Button1->click();
        dialog.BitBtn6->click();
    }));
    EXPECT_EQ(form.Card_Edit1->Picture(), before);
    EXPECT_EQ(form.LastPictureDir, QString());
    EXPECT_EQ(Contents(Card() + "picture.bmp"), pictureBefore);
}

TEST_F(ChangePicture, APictureNameLeadingOutOfTheCardFolderIsRefused)
{
    QImage outside(6, 5, QImage::Format_RGB32);
    outside.fill(Qt::blue);
    ASSERT_TRUE(outside.save(dir.path() + "/MyCard/outside.bmp", "BMP"));
    const QByteArray before = Contents(dir.path() + "/MyCard/outside.bmp");
    // Such a card does not even open: its picture would be read from
    // outside its folder.
    TFixtureCard card;
    CardLayout layout = WriteFixtureCard(Card(), card);
    layout.Pictures[0].FileName.SetText("../outside.bmp");
    WriteCardFile(Card() + "Card.crd", layout);
    form.CardPath = Card() + "template.bmp";
    form.RunCommand([this] { form.OpenCardFolder(); });
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("../outside.bmp"));

    EXPECT_FALSE(PressChangePicture([](TFrmselectImage &) {}));
    EXPECT_EQ(Contents(dir.path() + "/MyCard/outside.bmp"), before);
}

TEST_F(ChangePicture, WithoutAnOpenCardItAsksForOne)
{
    form.RunCommand([this] { form.SpeedButton1Click(); });
    EXPECT_EQ(dialogs->Messages, QStringList({"Please Create a new card or open a card first!"}));
}

TEST_F(ChangePicture, ItsKeysOpenTheDialogAsTheButtonDoesAndShowInItsTooltip)
{
    // The button never takes the focus, so its keys are the keyboard's way in.
    EXPECT_EQ(form.SpeedButton1->toolTip(), "Put one of your own pictures in the frame (Ctrl+Shift+I)");
    OpenCard();
    bool cancelled = false;
    EXPECT_TRUE(WithModal<TFrmselectImage>(
        [this] { QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier); },
        [&](TFrmselectImage &dialog) {
            dialog.BitBtn6->click();
            cancelled = true;
        }));
    EXPECT_TRUE(cancelled);
}

} // namespace
