// The design surface: text boxes and frames built from the layout, and the
// picture frame and text boxes moved and resized with the mouse.
#include "card_fixture.h"

#include "card/Card_Edit.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QPushButton>
#include <QToolButton>

namespace {

TEST_F(CardFixture, OpeningBuildsExactlyTheUsedTextBoxesAndTheFrames)
{
    OpenSample();
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    const QWidget *canvas = form.Card_Edit1;
    QStringList names;
    for (TRichEditBox *box : form.TextBoxes())
        names << box->objectName();
    EXPECT_EQ(names, QStringList({"AEdit1", "AEdit3"}));
    EXPECT_EQ(form.findChildren<TRichEditBox *>().size(), 2);
    EXPECT_EQ(Box(1)->geometry(), QRect(400, 40, 300, 80).translated(canvas->pos()));
    EXPECT_EQ(Box(3)->geometry(), QRect(420, 300, 300, 100).translated(canvas->pos()));
    EXPECT_EQ(Box(3)->toPlainText(), "Text 3");

    EXPECT_TRUE(form.Shape1->isVisible());
    EXPECT_FALSE(form.Shape2->isVisible());
    EXPECT_EQ(form.Shape1->geometry(), QRect(100, 80, 200, 150));
    EXPECT_TRUE(form.SpeedButton1->isVisible());
    EXPECT_EQ(form.SpeedButton1->pos(), QPoint(100 + (200 - 169) / 2, 230));
    EXPECT_FALSE(form.HasUnsavedChanges());

    // Slot order, whatever order the children are stacked in.
    Box(1)->raise();
    EXPECT_EQ(form.TextBoxes().first(), Box(1));
}

TEST_F(CardFixture, ACardWithoutUsedSlotsShowsOnlyTheSecondFrameWhenItIsUsed)
{
    CardLayout layout = SampleLayout();
    layout.Texts[1].Used = layout.Texts[3].Used = layout.Pictures[0].Used = 0;
    layout.Pictures[1].Used = 1;
    layout.Pictures[1].Rect = {10, 20, 60, 90};
    layout.Pictures[1].FileName.SetText("second.bmp");
    Open(MakeCard("Second", layout) + "Card.crd");
    EXPECT_TRUE(form.TextBoxes().isEmpty());
    EXPECT_FALSE(form.Shape1->isVisible());
    EXPECT_FALSE(form.SpeedButton1->isVisible());
    EXPECT_TRUE(form.Shape2->isVisible());
    EXPECT_EQ(form.Shape2->geometry(), QRect(10, 20, 50, 70));
}

TEST_F(CardFixture, DraggingThePictureFrameMovesThePictureAndTheButton)
{
    OpenSample();
    const QImage before = form.Card_Edit1->Picture();
    ASSERT_EQ(before.pixelColor(150, 100), QColor(Qt::red));

    Click({150, 100});  // selects the frame and takes the caret away
    ASSERT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_TRUE(form.Button2->hasFocus());
    Click({150, 100});  // a press on the frame without moving
    EXPECT_EQ(form.Card_Edit1->Layout.Pictures[0].Rect.Left, 100);
    EXPECT_EQ(form.Card_Edit1->Picture().cacheKey(), before.cacheKey());  // not recomposed
    EXPECT_FALSE(form.HasUnsavedChanges());

    QTest::qWait(250);  // no double press
    Drag({150, 100}, {180, 90});
    EXPECT_EQ(RectOf(form.Card_Edit1->Layout.Pictures[0].Rect), QRect(130, 70, 200, 150));
    EXPECT_EQ(form.Shape1->geometry(), QRect(130, 70, 200, 150));
    EXPECT_EQ(form.Card_Edit1->Picture().pixelColor(110, 100), QColor(Qt::white));
    EXPECT_EQ(form.Card_Edit1->Picture().pixelColor(320, 210), QColor(Qt::red));
    EXPECT_EQ(form.SpeedButton1->pos(), QPoint(130 + (200 - 169) / 2, 220));
    EXPECT_TRUE(form.HasUnsavedChanges());

    // Clicking the bare card drops the selection.
    Click({20, 500});
    EXPECT_EQ(form.Mover->SelectedControl(), nullptr);
    EXPECT_TRUE(form.Button2->hasFocus());
}

TEST_F(CardFixture, MovingATextBoxLeavesTheLayoutUntilSave)
{
    OpenSample();
    const CardLayout before = form.Card_Edit1->Layout;
    Click({500, 80});
    ASSERT_EQ(form.Mover->SelectedControl(), Box(1));
    Drag({398, 80}, {408, 100});  // on the frame's ring, left of the box
    EXPECT_EQ(Box(1)->geometry(), QRect(410, 60, 300, 80));
    EXPECT_EQ(LayoutToBytes(form.Card_Edit1->Layout), LayoutToBytes(before));
    EXPECT_TRUE(form.HasUnsavedChanges());
}

TEST_F(CardFixture, ResizingStopsAtTheSmallestSizeThatCanStillBeClicked)
{
    OpenSample();
    Click({500, 80});
    ASSERT_EQ(form.Mover->SelectedControl(), Box(1));
    const QPoint right = MoverShape("sagorta")->geometry().center();
    Drag(right, right - QPoint(600, 0));  // far past the left edge
    EXPECT_EQ(Box(1)->geometry(), QRect(400, 40, Tfrmmain::MinControlSide, 80));

    const QPoint top = MoverShape("ustorta")->geometry().center();
    Drag(top, top + QPoint(0, 400));  // the top edge past the bottom one
    EXPECT_EQ(Box(1)->geometry(), QRect(400, 120 - Tfrmmain::MinControlSide, Tfrmmain::MinControlSide,
                                        Tfrmmain::MinControlSide));
}

TEST_F(CardFixture, CardRectanglesAreTheSameWhileScrolled)
{
    CardLayout layout = SampleLayout();
    layout.Paper.CardWidth = 3000;
    layout.Paper.CardHeight = 2400;
    Open(MakeCard("Big", layout) + "Card.crd");
    TScrollBox *box = form.ScrollBox1;
    box->SetHorzPosition(250);
    box->SetVertPosition(120);
    ASSERT_EQ(box->HorzPosition(), 250);
    EXPECT_EQ(RectOf(form.ControlToCardRect(Box(3))), QRect(420, 300, 300, 100));
    EXPECT_EQ(box->HorzPosition(), 250);
    EXPECT_EQ(box->VertPosition(), 120);

    Click({280, 200});  // a part of the frame that is in view
    Drag({280, 200}, {300, 230});
    EXPECT_EQ(RectOf(form.Card_Edit1->Layout.Pictures[0].Rect), QRect(120, 110, 200, 150));

    // A new opening starts at the top-left corner.
    Open(dir.path() + "/MyCard/Big/Card.crd");
    EXPECT_EQ(box->HorzPosition(), 0);
    EXPECT_EQ(box->VertPosition(), 0);
}

TEST_F(CardFixture, AFailedOpeningLeavesNoCardOpen)
{
    OpenSample();
    Click({500, 80});  // a selected box while the next card opens
    const QString broken = MakeCard("Broken", SampleLayout());
    QFile::remove(broken + "3.rtf");
    Open(broken + "Card.crd");
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("3.rtf"));
    EXPECT_TRUE(form.CardPath.isEmpty());
    EXPECT_TRUE(form.findChildren<TRichEditBox *>().isEmpty());
    EXPECT_EQ(form.Mover->SelectedControl(), nullptr);
    EXPECT_FALSE(MoverShape("cerceve")->isVisible());
    EXPECT_FALSE(form.Shape1->isVisible());
    EXPECT_TRUE(form.Card_Edit1->Picture().isNull());

    // A picture that cannot be read ends the same way.
    const QString noPicture = MakeCard("NoPicture", SampleLayout());
    QFile::remove(noPicture + "picture.bmp");
    Open(noPicture + "Card.crd");
    EXPECT_EQ(dialogs->Messages.size(), 2);
    EXPECT_TRUE(form.CardPath.isEmpty());
}

} // namespace
