// The picture dialog driven as a user would, headless: the file chooser
// and the boxes answered by script, the buttons clicked, the crop rectangle
// placed where a drag would leave it.

#include "dialogs/frm_select_edit_image.h"

#include "controls/image.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "tests/dialogs/frm_select_image_fixture.h"
#include "tests/dialogs/numbered_picture.h"
#include "tests/imaging/exif_segment.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/card_fixture.h"
#include "tests/support/failing_rename.h"
#include "tests/support/file_contents.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST_F(FrmSelectImage, EveryControlHasItsCaptionAndANameToSpeak)
{
    EXPECT_EQ(Form.windowTitle(), "Select a Image");
    EXPECT_EQ(Form.size(), QSize(771, 589));
    EXPECT_EQ(Form.ScrollBox1->geometry(), QRect(0, 0, 578, 589));
    EXPECT_EQ(Form.GroupBox1->title(), "Select Image and Process");
    EXPECT_EQ(Form.GroupBox2->title(), "Crop Image");
    EXPECT_EQ(Form.Button1->text(), "Select My Own Image");
    EXPECT_EQ(Form.Label1->text(), "If Your just want to use a part of your picture, use Crop");
    EXPECT_EQ(Form.BitBtn3->text(), "Apply");
    EXPECT_EQ(Form.BitBtn4->text(), "Cancel");
    EXPECT_EQ(Form.BitBtn5->text(), "OK");
    EXPECT_EQ(Form.BitBtn6->text(), "Cancel");
    EXPECT_EQ(Form.OpenPictureDialog1.Filter,
              "All pictures (*.jpg *.jpeg *.png *.heic *.heif *.webp *.gif *.tif *.tiff *.bmp *.ico *.emf *.wmf);;"
              "JPEG Image File (*.jpg *.jpeg);;PNG Image (*.png);;HEIF/HEIC Photo (*.heic *.heif);;"
              "WebP Image (*.webp);;GIF Image (*.gif);;TIFF Image (*.tif *.tiff);;Bitmaps (*.bmp);;Icons (*.ico);;"
              "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)");

    // The crop button is a picture only, and says what it is.
    EXPECT_TRUE(Form.BitBtn1->text().isEmpty());
    EXPECT_FALSE(Form.BitBtn1->icon().isNull());
    EXPECT_EQ(Form.BitBtn1->accessibleName(), "Crop");
    EXPECT_TRUE(Form.BitBtn1->toolTip().startsWith("Crop"));
    const QList<QWidget *> controls = {Form.ScrollBox1, Form.Image1, Form.Shape1, Form.GroupBox1, Form.Button1,
                                       Form.Label1, Form.GroupBox2, Form.BitBtn1, Form.BitBtn3, Form.BitBtn4,
                                       Form.BitBtn5, Form.BitBtn6};
    QStringList names;
    for (QWidget *control : controls) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        names << control->accessibleName();
    }
    // Two buttons read "Cancel"; a listener can tell them apart.
    EXPECT_NE(Form.BitBtn4->accessibleName(), Form.BitBtn6->accessibleName());

    // Normal mode at first, nothing accepted.
    EXPECT_FALSE(Form.Accepted);
    EXPECT_FALSE(Form.InCropMode());
    EXPECT_FALSE(Form.BitBtn3->isEnabled() || Form.BitBtn4->isEnabled());
    EXPECT_TRUE(Form.Button1->isEnabled() && Form.BitBtn5->isEnabled() && Form.BitBtn6->isEnabled());
    EXPECT_FALSE(Form.Shape1->isVisible());
}

// A screen reader finds every control named, in normal mode and in crop
// mode, where the crop rectangle and its handles are on show.
TEST_F(FrmSelectImage, AScreenReaderFindsEveryControlNamedInNormalAndCropMode)
{
    EXPECT_TRUE(EveryControlNamed(&Form)) << AccessibilityTreeText(&Form).toStdString();
    Form.Init("", Target());
    Choose(Photo("photo.bmp", Numbered(200, 150), "BMP"));
    EXPECT_TRUE(EveryControlNamed(&Form)) << AccessibilityTreeText(&Form).toStdString();
    Form.BitBtn1->click();
    ASSERT_TRUE(Form.InCropMode());
    EXPECT_TRUE(EveryControlNamed(&Form)) << AccessibilityTreeText(&Form).toStdString();
}

TEST_F(FrmSelectImage, OpensWithTheCardsPictureCentredOrAnEmptyArea)
{
    const QImage current = Numbered(120, 90);
    ASSERT_TRUE(current.save(Target(), "BMP"));
    Form.Init("", Target());
    EXPECT_EQ(Form.Picture(), current);
    EXPECT_EQ(Form.Image1->geometry(), QRect(CentredOrigin(QSize(120, 90)), QSize(120, 90)));
    EXPECT_EQ(Form.Image1->Picture(), current);

    TFrmselectImage missing(Dialogs);
    missing.Init("", Card() + "missing.bmp");
    EXPECT_TRUE(missing.Picture().isNull());
    EXPECT_TRUE(Dialogs.Messages.isEmpty());

    // A damaged card picture is reported; the area stays empty for a new one.
    Write(Card() + "damaged.bmp", Contents(Target()).left(70));
    TFrmselectImage damaged(Dialogs);
    damaged.Init("", Card() + "damaged.bmp");
    EXPECT_TRUE(damaged.Picture().isNull());
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].contains("damaged.bmp"));
}

TEST_F(FrmSelectImage, CancellingTheChooserFirstSaysNoImageSelectAndLaterOnlyRecentres)
{
    Form.Init(Photos(), Target());
    CancelChooser();
    ASSERT_EQ(Dialogs.Messages, QStringList({"No Image select"}));
    EXPECT_EQ(Dialogs.MessageCaptions, QStringList({"Please retry!"}));
    EXPECT_EQ(Dialogs.MessageIcons.front(), TMessageIcon::Warning);
    EXPECT_EQ(Dialogs.FileDialogs.front().InitialDir, Photos());

    const QString photo = Photo("photo.bmp", Numbered(64, 48), "BMP");
    Choose(photo);
    EXPECT_EQ(Form.Picture(), Numbered(64, 48));
    EXPECT_EQ(Form.LastDir, Photos());
    Form.ScrollBox1->SetVertPosition(10);
    CancelChooser();
    EXPECT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_EQ(Form.Picture(), Numbered(64, 48));
    EXPECT_EQ(Form.Image1->pos(), CentredOrigin(QSize(64, 48)));
}

TEST_F(FrmSelectImage, AChosenJpegIsWrittenOnOkAsABmpOfItsPixelSize)
{
    const QString photo = Photo("photo.jpg", Numbered(90, 70), "JPG");
    Form.Init("", Target());
    Choose(photo);
    ASSERT_EQ(Form.Picture().size(), QSize(90, 70));
    Dialogs.YesNoAnswers = {true};
    Form.BitBtn5->click();
    EXPECT_EQ(Dialogs.Questions, QStringList({"Use the Image?"}));
    EXPECT_EQ(Dialogs.QuestionCaptions, QStringList({"Please make sure"}));
    EXPECT_TRUE(Form.Accepted);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.result(), QDialog::Accepted);
    const QByteArray written = Contents(Target());
    ASSERT_GE(written.size(), 54);
    EXPECT_EQ(uint8_t(written[28]), 24);
    EXPECT_EQ(ReadBmpWithOwnDecoder(Target()), Form.Picture());
}

TEST_F(FrmSelectImage, PicturesAreKnownByTheirContentsAndAnythingElseSaysWhy)
{
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(qRgb(230, 20, 20));
    const QString jpeg = Photo("photo.jpeg", red, "JPG");
    Form.Init("", Target());
    Choose(jpeg);
    ASSERT_EQ(Form.Picture().size(), QSize(40, 30));
    EXPECT_TRUE(Near(Form.Picture().pixel(20, 15), qRgb(230, 20, 20)));

    // A JPEG saved under another picture's name is still a JPEG.
    const QString gif = Photos() + "anim.gif";
    QFile::copy(jpeg, gif);
    Choose(gif);
    EXPECT_EQ(Form.Picture().size(), QSize(40, 30));
    EXPECT_TRUE(Dialogs.Messages.isEmpty());

    // A letter is no picture: the usual words, and why below them; the
    // picture shown stays.
    Write(Photos() + "letter.txt", "Dear Anna, happy birthday!");
    Choose(Photos() + "letter.txt");
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].startsWith("Please load Image !\n\n"));
    EXPECT_TRUE(Dialogs.Messages[0].endsWith("letter.txt\": not a picture this program can read"))
        << Dialogs.Messages[0].toStdString();
    EXPECT_EQ(Form.Picture().size(), QSize(40, 30));
    EXPECT_TRUE(Form.isVisible());
}

TEST_F(FrmSelectImage, WithNothingLoadedOkWritesNothing)
{
    Form.Init("", Target());
    Form.BitBtn5->click();
    EXPECT_TRUE(Dialogs.Questions.isEmpty());
    EXPECT_FALSE(Form.Accepted);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(QFile::exists(Target()));
}

TEST_F(FrmSelectImage, CropModeDisablesOkAndCancelUntilApplyOrCropCancel)
{
    Form.Init("", Target());
    Choose(Photo("photo.bmp", Numbered(200, 150), "BMP"));
    Form.BitBtn1->click();
    EXPECT_TRUE(Form.InCropMode());
    EXPECT_TRUE(Form.Shape1->isVisible());
    EXPECT_EQ(Form.Shape1->geometry(), QRect(177, 157, 152, 108));
    EXPECT_EQ(Form.Mover->SelectedControl(), Form.Shape1);
    EXPECT_FALSE(Form.BitBtn5->isEnabled() || Form.BitBtn6->isEnabled() || Form.Button1->isEnabled());
    EXPECT_TRUE(Form.BitBtn3->isEnabled() && Form.BitBtn4->isEnabled());
    Form.BitBtn6->click();
    Form.BitBtn5->click();
    EXPECT_TRUE(Form.isVisible());
    EXPECT_TRUE(Dialogs.Questions.isEmpty());

    // The crop Cancel leaves the picture whole; Escape does the same.
    Form.Shape1->move(20, 30);
    Form.BitBtn4->click();
    EXPECT_FALSE(Form.InCropMode() || Form.Shape1->isVisible());
    EXPECT_EQ(Form.Mover->SelectedControl(), nullptr);
    EXPECT_EQ(Form.Picture(), Numbered(200, 150));
    Form.BitBtn1->click();
    EXPECT_EQ(Form.Shape1->pos(), QPoint(20, 30)); // where it was left
    QTest::keyClick(&Form, Qt::Key_Escape);
    EXPECT_FALSE(Form.InCropMode());
    EXPECT_TRUE(Form.isVisible());
}

TEST_F(FrmSelectImage, CropCutsThePicturesOwnPixelsAndOkWritesThatPart)
{
    const QImage photo = Numbered(640, 480);
    Form.Init("", Target());
    Choose(Photo("photo.bmp", photo, "BMP"));
    // Wider than the area: shown scaled down, held whole.
    EXPECT_TRUE(Form.View().IsScaled());
    EXPECT_EQ(Form.Picture(), photo);

    Form.BitBtn1->click();
    PlaceCrop(QRect(100, 50, 200, 120));
    EXPECT_EQ(Form.View().ToPicture(Form.Shape1->geometry()), QRect(100, 50, 200, 120));
    Form.BitBtn3->click();
    EXPECT_FALSE(Form.InCropMode());
    ASSERT_EQ(Form.Picture().size(), QSize(200, 120));
    EXPECT_EQ(Form.Picture(), photo.copy(100, 50, 200, 120));
    // Small enough now to be shown pixel for pixel, centred.
    EXPECT_FALSE(Form.View().IsScaled());
    EXPECT_EQ(Form.Image1->geometry(), QRect(CentredOrigin(QSize(200, 120)), QSize(200, 120)));

    // Each Apply cuts the picture shown at that moment.
    Form.BitBtn1->click();
    PlaceCrop(QRect(150, 100, 60, 40)); // half of it beyond the picture
    Form.BitBtn3->click();
    ASSERT_EQ(Form.Picture().size(), QSize(60, 40));
    EXPECT_EQ(Form.Picture().pixel(0, 0), photo.pixel(250, 150));
    EXPECT_EQ(Form.Picture().pixel(49, 19), photo.pixel(299, 169));
    EXPECT_EQ(Form.Picture().pixel(50, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Form.Picture().pixel(0, 20), qRgb(255, 255, 255));

    Dialogs.YesNoAnswers = {true};
    Form.BitBtn5->click();
    ASSERT_TRUE(Form.Accepted);
    EXPECT_EQ(uint8_t(Contents(Target())[28]), 24);
    EXPECT_EQ(ReadBmpWithOwnDecoder(Target()), Form.Picture());
}

TEST_F(FrmSelectImage, ApplyNeedsACropRectangleWithArea)
{
    Form.Init("", Target());
    Choose(Photo("photo.bmp", Numbered(100, 80), "BMP"));
    Form.BitBtn1->click();
    Form.Shape1->resize(0, 40);
    Form.BitBtn3->click();
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].contains("no area"));
    EXPECT_TRUE(Form.InCropMode());
    EXPECT_EQ(Form.Picture(), Numbered(100, 80));

    // With no picture there is nothing to cut.
    TFrmselectImage empty(Dialogs);
    empty.BitBtn1->click();
    empty.BitBtn3->click();
    EXPECT_EQ(Dialogs.Messages.last(), "Please load Image !");
    EXPECT_TRUE(empty.Picture().isNull());
}

TEST_F(FrmSelectImage, AnsweringNoOrCancellingWritesNothing)
{
    const QImage current = Numbered(50, 40);
    ASSERT_TRUE(current.save(Target(), "BMP"));
    const QByteArray before = Contents(Target());
    Form.Init("", Target());
    Choose(Photo("photo.bmp", Numbered(70, 60), "BMP"));

    Dialogs.YesNoAnswers = {false};
    Form.BitBtn5->click();
    EXPECT_EQ(Dialogs.Questions.size(), 1);
    EXPECT_TRUE(Form.isVisible());
    EXPECT_FALSE(Form.Accepted);
    EXPECT_EQ(Contents(Target()), before);

    Form.BitBtn6->click();
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.result(), QDialog::Rejected);
    EXPECT_FALSE(Form.Accepted);
    EXPECT_EQ(Contents(Target()), before);
}

TEST_F(FrmSelectImage, AFailedWriteIsReportedAndTheOldPictureSurvives)
{
    ASSERT_TRUE(Numbered(50, 40).save(Target(), "BMP"));
    const QByteArray before = Contents(Target());
    Form.Init("", Target());
    Choose(Photo("photo.bmp", Numbered(70, 60), "BMP"));

    Dialogs.YesNoAnswers = {true};
    {
        const TFailingRename failing("picture.bmp");
        Form.BitBtn5->click();
    }
    ASSERT_EQ(Dialogs.Messages.size(), 1);
    EXPECT_TRUE(Dialogs.Messages[0].contains("picture.bmp"));
    EXPECT_FALSE(Form.Accepted);
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Contents(Target()), before);
    EXPECT_EQ(QDir(Card()).entryList(QDir::Files | QDir::Hidden), QStringList({"picture.bmp"}));
}

TEST_F(FrmSelectImage, DamagedFilesAreMessagesAndTheDialogStaysAsItWas)
{
    Form.Init("", Target());
    Choose(Photo("good.bmp", Numbered(64, 48), "BMP"));
    const QString lastDir = Form.LastDir;

    const QByteArray jpeg = Contents(Photo("good.jpg", Numbered(64, 48), "JPG"));
    Write(Photos() + "cut.jpg", jpeg.left(jpeg.size() / 2));
    Write(Photos() + "broken.ico", QByteArray("\0\0\1\0\2\0\x30\x30", 8));
    Write(Photos() + "broken.wmf", Contents(DataDir + "shapes.wmf").left(30));
    Write(Photos() + "broken.emf", "this is not a metafile at all, only words");
    for (const char *name : {"cut.jpg", "broken.ico", "broken.wmf", "broken.emf"}) {
        SCOPED_TRACE(name);
        Dialogs.Messages.clear();
        Dialogs.MessageCaptions.clear();
        Choose(Photos() + name);
        ASSERT_EQ(Dialogs.Messages.size(), 1);
        EXPECT_TRUE(Dialogs.Messages[0].contains(QDir::toNativeSeparators(Photos() + name)));
        EXPECT_TRUE(Form.isVisible());
        EXPECT_EQ(Form.Picture(), Numbered(64, 48));
        EXPECT_EQ(Form.LastDir, lastDir);
    }
    // The icon's box is the one with a caption of its own.
    EXPECT_EQ(Dialogs.MessageCaptions, QStringList({""}));
    Dialogs.MessageCaptions.clear();
    Dialogs.Messages.clear();
    Choose(Photos() + "broken.ico");
    EXPECT_TRUE(Dialogs.Messages[0].startsWith("Load Image: " + QDir::toNativeSeparators(Photos() + "broken.ico") + "Error:"));
    EXPECT_EQ(Dialogs.MessageCaptions, QStringList({"Quit"}));
}

// A phone's photo with each Exif orientation (the tag written by libexif)
// stands upright in the dialog.
TEST_F(FrmSelectImage, EveryExifOrientationStandsUpright)
{
    // 60 x 40 stored: red block top left, blue block top right.
    QImage stored(60, 40, QImage::Format_RGB32);
    stored.fill(qRgb(128, 128, 128));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            stored.setPixel(x, y, qRgb(255, 0, 0));
            stored.setPixel(48 + x, y, qRgb(0, 0, 255));
        }
    const QByteArray plain = Contents(Photo("plain.jpg", stored, "JPG"));
    const std::vector<uint8_t> plainBytes(plain.begin(), plain.end());
    // Where the stored top-left (red) and top-right (blue) corners belong
    // upright, for orientations 1 to 8, as (0 or 1 = last column, 0 or 1 = last row).
    const QPoint red[8] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const QPoint blue[8] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
    Form.Init("", Target());
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::vector<uint8_t> tagged = WithSegment(plainBytes, ExifSegment(orientation, EXIF_BYTE_ORDER_INTEL));
        const QString photo = Photos() + QString::number(orientation) + ".jpg";
        Write(photo, QByteArray(reinterpret_cast<const char *>(tagged.data()), qsizetype(tagged.size())));
        Choose(photo);
        const QImage upright = Form.Picture();
        ASSERT_EQ(upright.size(), orientation >= 5 ? QSize(40, 60) : QSize(60, 40));
        const auto corner = [&](QPoint unit) {
            return upright.pixel(unit.x() * (upright.width() - 7) + 3, unit.y() * (upright.height() - 7) + 3);
        };
        EXPECT_TRUE(Near(corner(red[orientation - 1]), qRgb(255, 0, 0)));
        EXPECT_TRUE(Near(corner(blue[orientation - 1]), qRgb(0, 0, 255)));
    }
    EXPECT_TRUE(Dialogs.Messages.isEmpty());
}

} // namespace
