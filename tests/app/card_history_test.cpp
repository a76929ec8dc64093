// Undo and Redo as a person uses them in the window: the keys from inside a
// text box and from anywhere, the toolbar's buttons and their tooltips, the
// title bar's '*', and a save question that comes only when something
// would be lost and that Escape answers Cancel.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "controls/Card_Edit.h"
#include "controls/qt_dialogs.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class CardHistory : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        TFixtureCard card;
        card.PictureRect = {60, 50, 300, 230};
        card.Texts = {{0, {250, 250, 500, 330}, FixtureRtf({"Dear Ann"})},
                      {2, {400, 360, 600, 420}, FixtureRtf({"Two"})}};
        WriteFixtureCard(Folder(), card);
        Open(Folder() + "Card.crd");
        ASSERT_TRUE(form.Document);
    }
    QString Folder() const { return Program() + "MyCard/Sample/"; }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &form, key, modifiers);
    }
    void Type(const QString &text)
    {
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
};

TEST_F(CardHistory, TypingIsUndoneAWordAtATimeFromTheKeysInsideTheBox)
{
    EXPECT_EQ(form.windowTitle(), "Sample - Tessaly(Ver2.55)");
    Mouse({{450, 280}});
    ASSERT_TRUE(Box(0)->hasFocus());
    Key(Qt::Key_End, Qt::ControlModifier);
    Type(" and Bob");
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann and Bob");
    EXPECT_EQ(form.Document->History().count(), 3);
    EXPECT_EQ(form.windowTitle(), "Sample* - Tessaly(Ver2.55)");
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo edit of text box 1 (Ctrl+Z)");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann and ");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann ");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann");
    EXPECT_FALSE(form.UndoButton->isEnabled());
    EXPECT_EQ(form.windowTitle(), "Sample - Tessaly(Ver2.55)");
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann ");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Box(0)->toPlainText(), "Dear Ann and ");
    EXPECT_TRUE(Box(0)->hasFocus());
    EXPECT_EQ(form.RedoButton->toolTip(), "Redo edit of text box 1 (Ctrl+Shift+Z)");
}

TEST_F(CardHistory, ADragOfTheFrameAndAResizeOfABoxAreUndoneAndRedoneFromTheToolbar)
{
    const QImage opened = form.Card_Edit1->Picture();
    const QRect box = Box(2)->geometry();
    Mouse({{100, 100}});
    Mouse({{100, 100}, {130, 110}, {150, 120}});
    ASSERT_EQ(RectOf(form.Card_Edit1->Layout.Pictures[0].Rect), QRect(110, 70, 240, 180));
    const QImage moved = form.Card_Edit1->Picture();
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo move of picture frame 1 (Ctrl+Z)");
    form.Mover->Select(Box(2));
    form.Document->MoveElement({TCardElement::TKind::TextBox, 2, 0}, {400, 360, 650, 450},
                               TCardDocument::TMoveKind::Resize);
    EXPECT_EQ(Box(2)->geometry(), box.adjusted(0, 0, 50, 30));
    EXPECT_EQ(form.UndoButton->toolTip(), "Undo resize of text box 3 (Ctrl+Z)");

    form.UndoButton->click();
    EXPECT_EQ(Box(2)->geometry(), box);
    EXPECT_EQ(Shape("cerceve")->geometry(), box.adjusted(-4, -4, 4, 4)) << "the selection follows";
    form.UndoButton->click();
    EXPECT_EQ(form.Card_Edit1->Picture(), opened);
    EXPECT_EQ(form.Shape1->pos(), form.Card_Edit1->pos() + QPoint(60, 50));
    EXPECT_FALSE(form.HasUnsavedChanges());
    form.RedoButton->click();
    EXPECT_EQ(form.Card_Edit1->Picture(), moved);
    EXPECT_EQ(form.SpeedButton1->y(), form.Shape1->y() + 180 + 4 + TMover::HandleSize);
    form.RedoButton->click();
    EXPECT_EQ(Box(2)->geometry(), box.adjusted(0, 0, 50, 30));
    EXPECT_FALSE(form.RedoButton->isEnabled());
}

TEST_F(CardHistory, NothingIsAskedAfterAnEditThatWasUndone)
{
    MoveBox(0, QPoint(7, 7));
    form.UndoButton->click();
    EXPECT_FALSE(form.HasUnsavedChanges());
    Open(Folder() + "Card.crd");
    dialogs->YesNoAnswers = {true};  // Exit? Yes
    form.RunCommand([this] { form.BitBtn7Click(); });
    EXPECT_EQ(dialogs->Questions, QStringList({"Are you sure to Exit?"}));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CardHistory, CancelAtTheSaveQuestionKeepsTheWindowAndItsCard)
{
    const QByteArray saved = Contents(Folder() + "Card.crd");
    MoveBox(2, QPoint(-10, 5));
    dialogs->YesNoCancelAnswers = {TAnswer::Cancel};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible() && form.Mover && form.Document);
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_EQ(Contents(Folder() + "Card.crd"), saved);
    // Open and New are cancelled the same way: the card stays.
    dialogs->YesNoCancelAnswers = {TAnswer::Cancel};
    Open(dir.path() + "/MyCard/Sample/Card.crd");
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_EQ(dialogs->QuestionCaptions, QStringList({"Please Make sure.", "Please Make sure."}));
}

// The real question box: Escape, as the close button, means Cancel.
TEST_F(CardHistory, EscapeAtTheRealSaveQuestionKeepsTheWindowAndItsCard)
{
    MoveBox(2, QPoint(-10, 5));
    form.SetDialogs(std::make_unique<TQtDialogs>(&form));
    QString asked;
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    escape.start(20);
    EXPECT_FALSE(form.close());
    escape.stop();
    EXPECT_EQ(asked, "Save the Card?");
    EXPECT_TRUE(form.isVisible() && form.Document);
    EXPECT_TRUE(form.HasUnsavedChanges());
}

} // namespace
