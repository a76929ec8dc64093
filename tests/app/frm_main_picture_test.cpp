// The change-picture command: the picture dialog shown modally over an open
// card, answered from inside its own event loop, and the card afterwards.
#include "app/frm_main.h"

#include "card/card_file.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_select_edit_image.h"
#include "tests/support/card_fixture.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ChangePicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.ProgramFolder = Dir.path() + "/";
        auto scripted = std::make_unique<TScriptedDialogs>();
        Dialogs = scripted.get();
        Form.SetDialogs(std::move(scripted));
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
        ASSERT_TRUE(QDir().mkpath(Photos()));
    }

    QString Card() const { return Dir.path() + "/MyCard/Sample/"; }
    QString Photos() const { return Dir.path() + "/Photos/"; }
    void OpenCard(const QString &pictureName = "picture.bmp")
    {
        TFixtureCard card;
        card.PictureRect = {60, 50, 300, 230};
        CardLayout layout = WriteFixtureCard(Card(), card);
        layout.Pictures[0].FileName.SetText(pictureName);
        WriteCardFile(Card() + "Card.crd", layout);
        Form.CardPath = Card() + "template.bmp";
        Form.OpenCardFolder();
        ASSERT_TRUE(Form.SpeedButton1->isVisible());
    }
    // Presses the change-picture button; `inDialog` runs once the dialog is
    // up, inside its modal loop.
    void PressChangePicture(const std::function<void(TFrmselectImage &)> &inDialog)
    {
        bool shown = false;
        QTimer::singleShot(0, &Form, [&] {
            auto *dialog = qobject_cast<TFrmselectImage *>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            if (dialog) {
                inDialog(*dialog);
                if (dialog->isVisible())
                    dialog->reject(); // never left hanging by a failed test
            }
        });
        Form.SpeedButton1->click();
        QCoreApplication::processEvents();
        DialogShown = shown;
    }
    QRgb FrameCentre() const { return Form.Card_Edit1->Picture().pixel(180, 140); }

    QTemporaryDir Dir;
    Tfrmmain Form;
    TScriptedDialogs *Dialogs = nullptr;
    bool DialogShown = false;
};

TEST_F(ChangePicture, TheChosenPictureIsWrittenAndComposedIntoTheFrame)
{
    OpenCard();
    QImage green(80, 60, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    ASSERT_TRUE(green.save(Photos() + "green.bmp", "BMP"));
    const QByteArray layoutBefore = Contents(Card() + "Card.crd");
    Form.LastPictureDir = Photos();

    PressChangePicture([&](TFrmselectImage &dialog) {
        // It opens on the card's current picture.
        EXPECT_EQ(dialog.Picture().size(), QSize(6, 5));
        EXPECT_EQ(dialog.TargetFile, Card() + "picture.bmp");
        Dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{Photos() + "green.bmp"});
        dialog.Button1->click();
        Dialogs->YesNoAnswers = {true};
        dialog.BitBtn5->click();
    });
    ASSERT_TRUE(DialogShown);
    EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(Dialogs->FileDialogs.front().InitialDir, Photos());
    EXPECT_EQ(ReadBmpWithOwnDecoder(Card() + "picture.bmp"), green);
    EXPECT_EQ(FrameCentre(), qRgb(0, 200, 0));
    EXPECT_EQ(Form.LastPictureDir, Photos());
    EXPECT_EQ(Contents(Card() + "Card.crd"), layoutBefore);
}

TEST_F(ChangePicture, CancellingChangesNothing)
{
    OpenCard();
    QImage green(80, 60, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    ASSERT_TRUE(green.save(Photos() + "green.bmp", "BMP"));
    const QImage shown = Form.Card_Edit1->Picture();
    const QByteArray pictureBefore = Contents(Card() + "picture.bmp");

    PressChangePicture([&](TFrmselectImage &dialog) {
        Dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{Photos() + "green.bmp"});
        dialog.Button1->click();
        dialog.BitBtn6->click();
    });
    ASSERT_TRUE(DialogShown);
    EXPECT_EQ(Form.Card_Edit1->Picture(), shown);
    EXPECT_EQ(Form.LastPictureDir, QString());
    EXPECT_EQ(Contents(Card() + "picture.bmp"), pictureBefore);
}

TEST_F(ChangePicture, APictureNameLeadingOutOfTheCardFolderIsRefused)
{
    QImage outside(6, 5, QImage::Format_RGB32);
    outside.fill(Qt::blue);
    ASSERT_TRUE(QDir().mkpath(Dir.path() + "/MyCard"));
    ASSERT_TRUE(outside.save(Dir.path() + "/MyCard/outside.bmp", "BMP"));
    OpenCard("../outside.bmp");
    const QByteArray before = Contents(Dir.path() + "/MyCard/outside.bmp");

    PressChangePicture([](TFrmselectImage &) {});
    EXPECT_FALSE(DialogShown);
    ASSERT_EQ(Dialogs->Messages.size(), 1);
    EXPECT_TRUE(Dialogs->Messages[0].contains("../outside.bmp"));
    EXPECT_EQ(Contents(Dir.path() + "/MyCard/outside.bmp"), before);
}

TEST_F(ChangePicture, WithoutAnOpenCardItAsksForOne)
{
    Form.RunCommand([this] { Form.SpeedButton1Click(); });
    EXPECT_EQ(Dialogs->Messages, QStringList({"Please Create a new card or open a card first!"}));
}

} // namespace
