// The toolkit's boxes as the program shows them, read by a screen reader:
// the name input box of New, messages and a question.
#include "controls/qt_dialogs.h"

#include "tests/support/accessibility_walk.h"
#include "tests/support/modal_script.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace {

TEST(QtDialogs, TheNameInputBoxIsNamedForAReaderAndGivesWhatWasTyped)
{
    TQtDialogs dialogs(nullptr);
    bool named = false;
    QString tree;
    const bool shown = WithModal<QInputDialog>(
        [&] { EXPECT_EQ(dialogs.InputBox("Name", "Name your Card:", "Default1"), "Card for Mum"); },
        [&](QInputDialog &box) {
            EXPECT_EQ(box.windowTitle(), "Name");
            named = EveryControlNamed(&box);
            tree = AccessibilityTreeText(&box);
            box.findChild<QLineEdit *>()->setText("Card for Mum");
            box.accept();
        });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(named) << tree.toStdString();

    // Closed without OK, it gives the proposal back.
    EXPECT_TRUE(WithModal<QInputDialog>(
        [&] { EXPECT_EQ(dialogs.InputBox("Name", "Name your Card:", "Default2"), "Default2"); },
        [](QInputDialog &box) { box.findChild<QLineEdit *>()->setText("never"); }));
}

TEST(QtDialogs, MessagesAndQuestionsAreNamedForAReader)
{
    TQtDialogs dialogs(nullptr);
    for (int box = 0; box < 3; ++box) {
        SCOPED_TRACE(box);
        bool named = false;
        QString tree;
        const bool shown = WithModal<QMessageBox>(
            [&] {
                if (box == 0)
                    dialogs.ShowMessage("Saved OK!");
                else if (box == 1)
                    dialogs.ShowMessageBox("No Image select", "Please retry!", TMessageIcon::Warning);
                else
                    EXPECT_FALSE(dialogs.AskYesNo("Save the Card?", "Please Make sure.")) << "closed is No";
            },
            [&](QMessageBox &message) {
                named = EveryControlNamed(&message);
                tree = AccessibilityTreeText(&message);
            });
        EXPECT_TRUE(shown);
        EXPECT_TRUE(named) << tree.toStdString();
    }
}

} // namespace
