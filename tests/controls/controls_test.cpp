#include "controls/image.h"
#include "tests/support/scripted_dialogs.h"
#include "controls/scrollbox.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(ImageControl, ShowsItsPictureAtSizeOrStretchedAndReportsClicks)
{
    QWidget parent;
    parent.resize(50, 50);
    TImage image(&parent);
    image.setGeometry(0, 0, 8, 4);
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    image.SetPicture(picture);

    QImage shown(8, 4, QImage::Format_RGB32);
    shown.fill(Qt::green);
    image.render(&shown, QPoint(), QRegion(), QWidget::RenderFlags());  // no background: only the picture
    EXPECT_EQ(shown.pixelColor(6, 3), QColor(Qt::green));  // at its size: corner only
    image.SetStretch(true);
    image.render(&shown, QPoint(), QRegion(), QWidget::RenderFlags());  // no background: only the picture
    EXPECT_EQ(shown.pixelColor(6, 3), QColor(Qt::red));

    QImage &surface = image.Surface();
    EXPECT_EQ(surface.size(), QSize(8, 4));
    EXPECT_EQ(surface.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(surface.pixelColor(7, 3), QColor(Qt::white));

    int clicks = 0;
    image.OnClick = [&](TImage *sender) { clicks += sender == &image; };
    parent.show();
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicks, 1);
}

TEST(ScrollBox, SurfaceHoldsEveryVisibleChildAndScrollingLeavesPositionsAlone)
{
    TScrollBox box;
    box.resize(100, 100);
    QWidget child(box.Surface());
    child.setGeometry(10, 20, 300, 400);
    box.show();
    EXPECT_EQ(box.Surface()->size(), QSize(310, 420));
    box.SetHorzPosition(50);
    box.SetVertPosition(60);
    EXPECT_EQ(box.HorzPosition(), 50);
    EXPECT_EQ(box.VertPosition(), 60);
    EXPECT_EQ(child.pos(), QPoint(10, 20));
    child.hide();
    EXPECT_EQ(box.Surface()->size(), QSize(0, 0));
}

TEST(ScriptedDialogs, AnswerFromTheScriptAndListUnexpectedQuestions)
{
    TScriptedDialogs dialogs;
    TDialogs &seam = dialogs;
    dialogs.YesNoAnswers = {true};
    dialogs.InputAnswers = {QString("Card for Mum"), std::nullopt};
    dialogs.FileAnswers = {TScriptedDialogs::FileAnswer{"/cards/a/x.jpg", 2}, std::nullopt};

    seam.ShowMessage("Saved OK!");
    EXPECT_TRUE(seam.AskYesNo("Are you sure to Exit?", "Are you sure?"));
    EXPECT_FALSE(seam.AskYesNo("Save the Card?", "Please Make sure."));  // not scripted: No
    EXPECT_EQ(seam.InputBox("Name", "Name your Calendar:", "Default1"), "Card for Mum");
    EXPECT_EQ(seam.InputBox("Name", "Name your Calendar:", "Default2"), "Default2");  // cancel

    TFileDialog save;
    save.Filter = "Bitmaps (*.bmp);;JPEG Image File (*.jpg)";
    ASSERT_TRUE(seam.ExecuteSave(save));
    EXPECT_EQ(save.FileName, "/cards/a/x.jpg");
    EXPECT_EQ(save.FilterIndex, 2);
    TFileDialog open;
    open.InitialDir = "/cards/";
    EXPECT_FALSE(seam.ExecuteOpen(open));
    EXPECT_EQ(dialogs.FileDialogs.back().InitialDir, "/cards/");

    EXPECT_EQ(dialogs.Messages, QStringList{"Saved OK!"});
    EXPECT_EQ(dialogs.QuestionCaptions, (QStringList{"Are you sure?", "Please Make sure."}));
    EXPECT_EQ(dialogs.Unanswered, QStringList{"Save the Card?"});
}

} // namespace
