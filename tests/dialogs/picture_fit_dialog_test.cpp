// The picture dialog with a picture frame to fill: a chosen picture is
// written cut to the frame's shape and no larger than the card printed
// needs, the crop rectangle keeps that shape unless Shift is held, and the
// formats people have (PNG, GIF, TIFF, WebP, HEIC) load or say why not.

#include "card/paper_config.h"
#include "card/picture_fit.h"
#include "controls/shape.h"
#include "tests/dialogs/frm_select_image_fixture.h"
#include "tests/dialogs/numbered_picture.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/tool_run.h"

#include <QPainter>

namespace {

class FittingFrame : public FrmSelectImage {
protected:
    TShape *Handle(const char *name) const { return Form.ScrollBox1->Surface()->findChild<TShape *>(name); }
    // Drags a handle of the mover by (dx, dy), as a hand on the mouse would.
    void DragHandle(const char *name, QPoint by)
    {
        QWidget *window = Form.window();
        const QPoint grab = Handle(name)->geometry().center();
        const auto at = [&](QPoint p) { return Form.ScrollBox1->Surface()->mapTo(window, p); };
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, at(grab));
        QTest::mouseMove(window->windowHandle(), at(grab + by));
        QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, at(grab + by));
    }
    static double Proportion(const QRect &r) { return double(r.width()) / r.height(); }
};

TEST_F(FittingFrame, AChosenPictureFillsASquareFrameCentredAndUnsquashed)
{
    // 3:2, a black disc in the middle and a red band at the left edge that
    // the square frame has no room for.
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(Qt::white);
    QPainter painter(&photo);
    painter.fillRect(0, 0, 60, 400, Qt::red);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRect(150, 50, 300, 300));
    painter.end();

    Form.Init("", Target());
    Form.SetFrame({180, 180}, {});
    Choose(Photo("wide.png", photo, "PNG"));
    EXPECT_EQ(Form.Picture(), photo); // whole until OK, so the crop can choose
    Dialogs.YesNoAnswers = {true};
    Form.BitBtn5->click();
    ASSERT_TRUE(Form.Accepted);
    const QImage written = ReadBmpWithOwnDecoder(Target());
    ASSERT_EQ(written.size(), QSize(400, 400));
    EXPECT_EQ(written, photo.copy(100, 0, 400, 400));
    // Marked to keep its proportions should the frame change shape later.
    EXPECT_TRUE(KeepsProportions(Target()));
}

TEST_F(FittingFrame, ACropKeepsTheFramesShapeAndShiftFreesIt)
{
    Form.Init("", Target());
    Form.SetFrame({300, 200}, {});
    bool shift = false;
    Form.ShiftHeld = [&] { return shift; };
    Choose(Photo("photo.bmp", Numbered(400, 400), "BMP"));

    // The rectangle starts on what OK would keep: the frame's shape, centred.
    Form.BitBtn1->click();
    EXPECT_EQ(Form.View().ToPicture(Form.Shape1->geometry()), QRect(0, 66, 400, 267));

    // A corner, a side and the top: each drag keeps 3:2.
    DragHandle("altsag", {-90, -20});
    const QRect corner = Form.Shape1->geometry();
    EXPECT_NEAR(Proportion(corner), 1.5, 0.02) << corner.width() << " x " << corner.height();
    DragHandle("sagorta", {-40, 0});
    const QRect side = Form.Shape1->geometry();
    EXPECT_EQ(side.left(), corner.left());
    EXPECT_EQ(side.width(), corner.width() - 40);
    EXPECT_NEAR(Proportion(side), 1.5, 0.02);
    EXPECT_NEAR(side.center().y(), corner.center().y(), 1);
    DragHandle("ustorta", {0, 20});
    const QRect top = Form.Shape1->geometry();
    EXPECT_EQ(top.bottom(), side.bottom());
    EXPECT_NEAR(Proportion(top), 1.5, 0.02);

    // With Shift held it goes where the mouse takes it.
    shift = true;
    DragHandle("altorta", {0, 60});
    const QRect free = Form.Shape1->geometry();
    EXPECT_EQ(free.width(), top.width());
    EXPECT_EQ(free.height(), top.height() + 60);

    // Applied, the cut part has the rectangle's shape.
    shift = false;
    DragHandle("altorta", {0, -60});
    const QRect part = Form.View().ToPicture(Form.Shape1->geometry());
    Form.BitBtn3->click();
    EXPECT_EQ(Form.Picture(), Numbered(400, 400).copy(part));
    EXPECT_NEAR(Proportion(Form.Picture().rect()), 1.5, 0.03);
}

TEST_F(FittingFrame, AsLargeAPhotoAsA24MegapixelOneIsStoredAtTheCardsPrintSize)
{
    PaperSettings a5;
    InitPaperSettings(a5);
    QImage photo(6000, 4000, QImage::Format_RGB32);
    photo.fill(qRgb(40, 120, 200));
    Form.Init("", Target());
    Form.SetFrame({240, 160}, StoredPictureBound(a5));
    Choose(Photo("big.bmp", photo, "BMP"));
    ASSERT_EQ(Form.Picture().size(), QSize(6000, 4000));
    Dialogs.YesNoAnswers = {true};
    Form.BitBtn5->click();
    ASSERT_TRUE(Form.Accepted);
    const QImage written = ReadBmpWithOwnDecoder(Target());
    EXPECT_EQ(written.size(), QSize(2478, 1652));
    EXPECT_EQ(written.pixel(1200, 800), qRgb(40, 120, 200));
    // About 12 MB rather than the photo's 72 MB.
    EXPECT_LT(Contents(Target()).size(), 2478 * 1652 * 3 + 4096);
}

// Each format a photo comes in reads, and a cut file of each is a message
// with the reason below "Please load Image !", the dialog still open with
// the picture it had.
TEST_F(FittingFrame, EveryFormatLoadsAndACutFileOfEachSaysWhy)
{
    const QImage photo = Numbered(90, 60);
    const QString png = Photo("photo.png", photo, "PNG");
    const QStringList made = {"photo.gif", "photo.tif", "photo.webp"};
    for (const QString &name : made)
        ASSERT_EQ(RunTool("convert", {png, Photos() + name}).ExitCode, 0);
    ASSERT_EQ(RunTool("heif-enc", {"-q", "90", "-o", Photos() + "photo.heic", png}).ExitCode, 0);

    Form.Init("", Target());
    for (const QString &name : QStringList{"photo.png"} + made + QStringList{"photo.heic"}) {
        SCOPED_TRACE(name.toStdString());
        Choose(Photos() + name);
        EXPECT_EQ(Form.Picture().size(), QSize(90, 60));
        EXPECT_TRUE(Dialogs.Messages.isEmpty());
    }
    Choose(png);
    for (const QString &name : QStringList{"photo.png"} + made + QStringList{"photo.heic"}) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray whole = Contents(Photos() + name);
        const QString cut = Photos() + "cut-" + name;
        Write(cut, whole.left(whole.size() / 2));
        Dialogs.Messages.clear();
        Choose(cut);
        ASSERT_EQ(Dialogs.Messages.size(), 1);
        EXPECT_TRUE(Dialogs.Messages[0].startsWith("Please load Image !\n\nCannot load the picture \"" + cut))
            << Dialogs.Messages[0].toStdString();
        EXPECT_TRUE(Dialogs.Messages[0].contains("damaged")) << Dialogs.Messages[0].toStdString();
        EXPECT_TRUE(Form.isVisible());
        EXPECT_EQ(Form.Picture(), photo);
    }
}

} // namespace
