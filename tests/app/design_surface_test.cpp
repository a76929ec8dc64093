// The design surface as a person uses it: handles that stay reachable over
// text boxes, the keyboard, a screen reader's view, the first hint and the
// overflow marker. Driven through the real window with scripted dialogs.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "controls/Card_Edit.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/card_fixture.h"
#include "tests/support/main_window_fixture.h"

#include <QAccessibleTextInterface>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class DesignSurface : public TMainWindowTest {
protected:

    // The picture frame at (60, 50, 240 x 180); text box 1 (slot 0) over the
    // frame's lower right corner; text box 3 (slot 2) too low for its lines.
    void OpenCard()
    {
        const QString folder = dir.path() + "/MyCard/Sample/";
        TFixtureCard card;
        card.PictureRect = {60, 50, 300, 230};
        card.Texts = {{0, {250, 200, 500, 300}, FixtureRtf({"Dear Ann"})},
                      {2, {400, 330, 600, 370}, FixtureRtf({"One", "Two", "Three", "Four"})}};
        WriteFixtureCard(folder, card);
        const qsizetype shown = dialogs->Messages.size();
        Open(folder + "Card.crd");
        ASSERT_EQ(dialogs->Messages.size(), shown) << dialogs->Messages.join('|').toStdString();
    }

    // The control of the surface that takes a press at `p` (a text box's
    // viewport counts as the box).
    QWidget *At(QPoint p) const
    {
        QWidget *surface = form.ScrollBox1->Surface();
        QWidget *widget = surface->childAt(p);
        while (widget && widget->parentWidget() != surface)
            widget = widget->parentWidget();
        return widget;
    }
    QRect PictureRect() const { return RectOf(form.Card_Edit1->Layout.Pictures[0].Rect); }

    // A key as the user types it: to the widget with the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &form, key, modifiers);
    }
};

TEST_F(DesignSurface, HandlesAndTheChangePictureButtonLieAboveTheTextBoxes)
{
    OpenCard();
    const QPoint corner(307, 237);  // the frame's bottom-right handle, over text box 1
    ASSERT_EQ(At(corner), Box(0));  // nothing selected: the box is on top
    Mouse({{100, 100}});
    ASSERT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_EQ(At(corner), Shape("altsag"));

    // The bottom-right handle over the text box resizes the frame.
    Mouse({corner, corner + QPoint(20, 10), corner + QPoint(40, 30)});
    EXPECT_EQ(PictureRect(), QRect(60, 50, 280, 210));
    EXPECT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_TRUE(form.HasUnsavedChanges());

    // The button just below the handle row, over text box 1, takes a press.
    const QRect button = form.SpeedButton1->geometry();
    EXPECT_EQ(button.top(), 50 + 210 + 4 + TMover::HandleSize);
    const QRect shared = button.intersected(Box(0)->geometry());
    ASSERT_FALSE(shared.isEmpty());
    Mouse({{600, 500}});  // nothing selected
    EXPECT_EQ(At(shared.center()), form.SpeedButton1);

    // A selected text box keeps presses inside it for the caret; the ring
    // around it and its handles belong to the mover.
    Mouse({{450, 280}});
    ASSERT_EQ(form.Mover->SelectedControl(), Box(0));
    EXPECT_TRUE(Box(0)->hasFocus());
    EXPECT_EQ(At({450, 290}), Box(0));
    EXPECT_EQ(At({248, 250}), Shape("cerceve"));
    Mouse({{248, 250}, {258, 260}});
    EXPECT_EQ(Box(0)->pos(), QPoint(260, 210));
    EXPECT_TRUE(Box(0)->hasFocus());  // typing goes on in the dragged box
}

TEST_F(DesignSurface, ShortcutsRunTheCommandsFromAnywhereAndShowInTheTooltips)
{
    EXPECT_EQ(form.BitBtn3->toolTip(), "Save Card (Ctrl+S)");
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs->Messages, QStringList({"Please Create a new card or open a card first!"}));

    OpenCard();
    Mouse({{450, 280}});
    ASSERT_TRUE(Box(0)->hasFocus());
    Key(Qt::Key_X);  // typed into the box
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_FALSE(form.HasUnsavedChanges());
    EXPECT_TRUE(Box(0)->hasFocus());

    Key(Qt::Key_O, Qt::ControlModifier);  // the open dialog, cancelled
    EXPECT_EQ(dialogs->FileDialogs.size(), 2u);
    Key(Qt::Key_F1);
    EXPECT_TRUE(dialogs->Messages.last().contains("tessaly.html"));  // no guide in the test folder
}

TEST_F(DesignSurface, EscapeEndsEditingAndClearsTheHighlight)
{
    OpenCard();
    Mouse({{450, 280}});
    ASSERT_TRUE(Box(0)->hasFocus());
    Key(Qt::Key_Home);
    Key(Qt::Key_End, Qt::ShiftModifier);
    ASSERT_TRUE(Box(0)->textCursor().hasSelection());
    Key(Qt::Key_Escape);
    EXPECT_EQ(form.Mover->SelectedControl(), nullptr);
    EXPECT_TRUE(form.Button2->hasFocus());
    EXPECT_FALSE(Box(0)->textCursor().hasSelection());

    Mouse({{450, 280}});
    Box(0)->selectAll();
    Mouse({{700, 500}});  // the bare card ends editing the same way
    EXPECT_FALSE(Box(0)->textCursor().hasSelection());
}

TEST_F(DesignSurface, ArrowKeysNudgeTheSelectionAsADragWould)
{
    OpenCard();
    Mouse({{100, 100}});
    ASSERT_EQ(form.Mover->SelectedControl(), form.Shape1);
    EXPECT_FALSE(form.HasUnsavedChanges());
    Key(Qt::Key_Right);
    EXPECT_EQ(PictureRect(), QRect(61, 50, 240, 180));
    EXPECT_EQ(form.Shape1->pos(), QPoint(61, 50));
    EXPECT_EQ(Shape("cerceve")->pos(), QPoint(57, 46));
    EXPECT_TRUE(form.HasUnsavedChanges());
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(PictureRect(), QRect(60, 60, 240, 180));
    EXPECT_EQ(form.SpeedButton1->y(), 60 + 180 + 4 + TMover::HandleSize);
    // A run of nudges of one control is one step.
    EXPECT_EQ(form.Document->History().count(), 1);
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo move of picture frame 1 (Ctrl+Z)");

    // A text box with the caret keeps the arrows for the caret; Alt moves it.
    Mouse({{450, 280}});
    ASSERT_TRUE(Box(0)->hasFocus());
    Key(Qt::Key_Up);
    EXPECT_EQ(Box(0)->pos(), QPoint(250, 200));
    Key(Qt::Key_Up, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(Box(0)->pos(), QPoint(250, 190));
    EXPECT_EQ(Shape("cerceve")->pos(), QPoint(246, 186));
    EXPECT_EQ(form.Card_Edit1->Layout.Texts[0].Rect.Top, 190);
    EXPECT_EQ(form.Document->History().count(), 2);
    EXPECT_TRUE(Box(0)->hasFocus());

    Key(Qt::Key_Escape);
    Key(Qt::Key_Left);  // nothing selected: nothing moves
    EXPECT_EQ(Box(0)->pos(), QPoint(250, 190));
    EXPECT_EQ(PictureRect(), QRect(60, 60, 240, 180));
}

TEST_F(DesignSurface, TabWalksTheTextBoxesInSlotOrderAndSelectsThem)
{
    OpenCard();
    Box(2)->raise();  // stacking order is not slot order
    form.BitBtn8->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Box(0)->hasFocus());
    EXPECT_EQ(form.Mover->SelectedControl(), Box(0));
    Key(Qt::Key_Tab);
    EXPECT_TRUE(Box(2)->hasFocus());
    EXPECT_EQ(form.Mover->SelectedControl(), Box(2));
    EXPECT_EQ(Box(2)->toPlainText().count('\t'), 0);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(form.Mover->SelectedControl(), Box(0));
}

TEST_F(DesignSurface, TheFirstHintIsDrawnOnlyWithoutACard)
{
    EXPECT_EQ(form.Card_Edit1->ShownHint(),
              "Press New to make a card from a template, or Open to open one of your cards.\n"
              "Your cards are kept in " + QDir::toNativeSeparators(Program() + "MyCard"));
    const QImage blank = form.Card_Edit1->grab().toImage();
    const QColor ground = blank.pixelColor(5, 5);
    int drawn = 0;  // pixels of the sentence across the middle of the surface
    for (int x = 0; x < blank.width(); ++x)
        for (int y = blank.height() / 2 - 12; y < blank.height() / 2 + 12; ++y)
            drawn += blank.pixelColor(x, y) != ground;
    EXPECT_GT(drawn, 200);
    EXPECT_EQ(form.Card_Edit1->accessibleDescription(), form.Card_Edit1->ShownHint());

    OpenCard();
    EXPECT_TRUE(form.Card_Edit1->ShownHint().isEmpty());
    EXPECT_EQ(form.Card_Edit1->grab().toImage().convertToFormat(QImage::Format_RGB32),
              form.Card_Edit1->Picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(DesignSurface, TheOverflowMarkerShowsWhileASelectedBoxCutsItsText)
{
    OpenCard();
    QLabel *marker = form.OverflowMarker;
    ASSERT_NE(marker, nullptr);
    EXPECT_FALSE(marker->isVisible());
    Mouse({{500, 340}});
    ASSERT_EQ(form.Mover->SelectedControl(), Box(2));
    EXPECT_TRUE(marker->isVisible());
    EXPECT_TRUE(marker->toolTip().contains("does not fit"));
    EXPECT_TRUE(Shape("cerceve")->geometry().intersects(marker->geometry()));
    EXPECT_EQ(At(marker->geometry().center()), marker);
    const auto coversAHandle = [&] {
        for (const char *handle : {"altsol", "altorta", "altsag", "solorta", "sagorta"})
            if (Shape(handle)->geometry().intersects(marker->geometry()))
                return true;
        return false;
    };
    EXPECT_FALSE(coversAHandle());

    // Made tall enough by its bottom handle, the box shows all its text.
    const QPoint bottom = Shape("altorta")->geometry().center();
    Mouse({bottom, bottom + QPoint(0, 150)});
    EXPECT_FALSE(marker->isVisible());
    Mouse({bottom + QPoint(0, 150), bottom});  // and shrunk again
    EXPECT_TRUE(marker->isVisible());
    const QPoint right = Shape("sagorta")->geometry().center();
    Mouse({right, right - QPoint(300, 0)});  // as narrow as a box gets
    EXPECT_TRUE(marker->isVisible());
    EXPECT_FALSE(coversAHandle());
    const QPoint narrowed = Shape("sagorta")->geometry().center();
    Mouse({narrowed, narrowed + QPoint(200 - Box(2)->width(), 0)});
    EXPECT_EQ(Box(2)->width(), 200);

    Box(2)->selectAll();
    Box(2)->insertPlainText("Ok");  // the text fits again
    EXPECT_FALSE(marker->isVisible());
    Box(2)->insertPlainText("\n\n\n\n\n");
    EXPECT_TRUE(marker->isVisible());

    Mouse({{450, 280}});  // a box whose text fits
    EXPECT_FALSE(marker->isVisible());
    Mouse({{500, 340}});
    Key(Qt::Key_Escape);
    EXPECT_FALSE(marker->isVisible());
}

TEST_F(DesignSurface, AScreenReaderFindsEveryControlNamed)
{
    EXPECT_TRUE(EveryControlNamed(&form));  // no card: the hint is the canvas's description
    OpenCard();
    Mouse({{500, 340}});  // handles and the overflow marker on show
    EXPECT_TRUE(EveryControlNamed(&form)) << AccessibilityTreeText(&form).toStdString();

    const auto name = [this](const char *object) {
        QAccessibleInterface *node = FindAccessible(&form, object);
        return node ? node->text(QAccessible::Name) : QString("<not found>");
    };
    EXPECT_EQ(name("Card_Edit1"), "Card");
    EXPECT_EQ(FindAccessible(&form, "Card_Edit1")->text(QAccessible::Description), "793 x 559 pixels");
    EXPECT_EQ(name("Shape1"), "Picture frame 1");
    EXPECT_EQ(name("AEdit0"), "Text box 1");
    EXPECT_EQ(name("AEdit2"), "Text box 3");
    EXPECT_EQ(name("ustsol"), "Resize top left");
    EXPECT_EQ(name("altorta"), "Resize bottom");
    EXPECT_EQ(name("BitBtn3"), "Save");
    EXPECT_EQ(FindAccessible(&form, "BitBtn3")->text(QAccessible::Description), "Save Card (Ctrl+S)");
    QAccessibleTextInterface *text = FindAccessible(&form, "AEdit0")->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), "Dear Ann");

    // The focus sink is not there for a reader, even while it has the focus.
    Key(Qt::Key_Escape);
    ASSERT_TRUE(form.Button2->hasFocus());
    EXPECT_EQ(FindAccessible(&form, "Button2"), nullptr);
    EXPECT_TRUE(EveryControlNamed(&form));
}

TEST(AccessibilityWalk, FindsAnUnnamedControlAndRefusesAWindowNotShown)
{
    QWidget window;
    window.setAccessibleName("Window");
    auto *named = new QPushButton("OK", &window);
    auto *unnamed = new QWidget(&window);  // a custom control with no name
    unnamed->setObjectName("Swatch");
    unnamed->setGeometry(0, 40, 20, 20);
    EXPECT_FALSE(EveryControlNamed(&window));  // not shown
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(UnnamedControls(&window), QStringList({"Client / Client Swatch"}));
    unnamed->setAccessibleName("Colour");
    named->setText(QString());
    EXPECT_EQ(UnnamedControls(&window), QStringList({"Client / Button"}));
    named->hide();
    EXPECT_TRUE(EveryControlNamed(&window));
}

} // namespace
