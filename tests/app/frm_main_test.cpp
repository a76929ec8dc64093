#include "app/application.h"
#include "app/frm_main.h"
#include "controls/Card_Edit.h"
#include "tests/support/scripted_dialogs.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

TEST(MainWindow, CaptionAndApplicationTitle)
{
    InitApplication(*qApp);
    EXPECT_EQ(QCoreApplication::applicationName(), "Tessaly");
    Tfrmmain form;
    EXPECT_EQ(form.windowTitle(), "Tessaly(Ver2.55)");
    EXPECT_TRUE(form.CardPath.isEmpty());
    EXPECT_TRUE(form.LastPictureDir.isEmpty());
    ASSERT_NE(form.Mover, nullptr);
    EXPECT_EQ(form.Mover->parent(), &form);
    EXPECT_EQ(form.ScrollBox1->Surface()->findChildren<TShape *>("cerceve").size(), 1);
}

TEST(MainWindow, ToolbarHasTheEightCommandsInOrderWithCaptionsHintsAndGlyphsThenUndoAndRedo)
{
    Tfrmmain form;
    form.show();
    QList<QToolButton *> buttons = form.Panel1->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
    const QStringList names{"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn7", "BitBtn8"};
    const QStringList captions{"New", "Open", "Save", "Save As", "Paper Set", "Print", "Exit", "Help"};
    const QStringList hints{"Create a new card (Ctrl+N)", "Open existing card (Ctrl+O)", "Save Card (Ctrl+S)",
                            "Save as bitmap or jpg (Ctrl+Shift+S)", "Paper Set", "Print (Ctrl+P)",
                            "Exit (Ctrl+Q)", "Need Help? (F1)"};
    ASSERT_EQ(buttons.size(), 10);
    QWidget *focus = buttons[0];
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(buttons[i]->objectName(), names[i]);
        EXPECT_EQ(buttons[i]->text(), captions[i]);
        EXPECT_EQ(buttons[i]->toolTip(), hints[i]);
        EXPECT_EQ(buttons[i]->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(buttons[i]->icon().pixmap(32, 32).isNull());
        EXPECT_EQ(buttons[i]->height(), 57);
        if (i > 0) {  // tab order follows the toolbar
            focus = focus->nextInFocusChain();
            EXPECT_EQ(focus, buttons[i]);
        }
    }
    EXPECT_EQ(form.BitBtn1, buttons[0]);
    EXPECT_EQ(form.BitBtn8, buttons[7]);
    // Undo and Redo after the eight, disabled while there is nothing to take back.
    EXPECT_EQ(form.UndoButton, buttons[8]);
    EXPECT_EQ(form.RedoButton, buttons[9]);
    EXPECT_EQ(buttons[8]->text(), "Undo");
    EXPECT_EQ(buttons[9]->text(), "Redo");
    EXPECT_EQ(buttons[8]->toolTip(), "Undo (Ctrl+Z)");
    EXPECT_EQ(buttons[9]->toolTip(), "Redo (Ctrl+Shift+Z)");
    EXPECT_FALSE(buttons[8]->isEnabled() || buttons[9]->isEnabled());
    EXPECT_FALSE(buttons[8]->icon().pixmap(32, 32).isNull() || buttons[9]->icon().pixmap(32, 32).isNull());
    EXPECT_EQ(form.Panel1->height(), 73);
}

TEST(MainWindow, DesignSurfaceStartsBlankWithHiddenFramesAndAFocusSink)
{
    Tfrmmain form;
    form.show();
    EXPECT_EQ(form.Card_Edit1->parentWidget(), form.ScrollBox1->Surface());
    EXPECT_EQ(form.Card_Edit1->geometry(), QRect(0, 0, 800, 560));
    EXPECT_TRUE(form.Card_Edit1->Picture().isNull());
    EXPECT_EQ(form.Shape1->geometry(), QRect(72, 48, 297, 273));
    EXPECT_EQ(form.Shape2->geometry(), QRect(344, 144, 297, 273));
    EXPECT_EQ(form.Shape1->penColor(), QColor(0, 0, 128));
    EXPECT_EQ(form.Shape1->brushStyle(), Qt::NoBrush);
    EXPECT_FALSE(form.Shape1->isVisible());
    EXPECT_FALSE(form.Shape2->isVisible());
    EXPECT_FALSE(form.SpeedButton1->isVisible());
    EXPECT_EQ(form.SpeedButton1->text(), "Click Here to change  Picture ");
    EXPECT_EQ(form.SpeedButton1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form.OpenDialog1.Filter, "Tessaly (*.crd)");
    EXPECT_EQ(form.SavePictureDialog.Filter, "Bitmaps (*.bmp);;JPEG Image File (*.jpg);;PDF Document (*.pdf);;"
                                             "Export for a print shop (*.pdf)");

    EXPECT_EQ(form.Button2->width(), 0);
    EXPECT_TRUE(form.Button2->text().isEmpty());
    EXPECT_TRUE(form.Button2->isVisible());
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Button2->setFocus();
    EXPECT_TRUE(form.Button2->hasFocus());
}

TEST(MainWindow, CommandErrorsAreShownAndTheProgramGoesOn)
{
    Tfrmmain form;
    auto scripted = std::make_unique<TScriptedDialogs>();
    TScriptedDialogs &dialogs = *scripted;
    form.SetDialogs(std::move(scripted));

    EXPECT_TRUE(form.RunCommand([] {}));
    EXPECT_FALSE(form.RunCommand([] { throw std::runtime_error("Cannot open the card file"); }));
    EXPECT_FALSE(form.RunCommand([] { throw std::runtime_error(""); }));  // a deliberate stop
    EXPECT_FALSE(form.RunCommand([] { throw 42; }));
    ASSERT_EQ(dialogs.Messages.size(), 2);
    EXPECT_EQ(dialogs.Messages[0], "Cannot open the card file");

    // A canvas error raised inside a click reaches the user the same way.
    CardLayout bad = form.Card_Edit1->Layout;
    bad.BackgroundFile.SetText("template.bmp");
    bad.Paper.CardWidth = -1;
    form.RunCommand([&] { form.Card_Edit1->SetLayout(bad); });
    ASSERT_EQ(dialogs.Messages.size(), 3);
    EXPECT_TRUE(dialogs.Messages[2].contains("card size"));
    EXPECT_TRUE(dialogs.Unanswered.isEmpty());
}

} // namespace
