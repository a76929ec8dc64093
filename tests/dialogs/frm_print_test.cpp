// The paper set dialog driven through its own widgets: the list, the unit
// and direction lists, the size boxes typed into as a user would.
#include "dialogs/frm_print.h"

#include "card/paper_config.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

PaperSettings DefaultHead()
{
    PaperSettings paper;
    InitPaperSettings(paper);
    return paper;
}

class FrmPrintTest : public ::testing::Test {
protected:
    // Shown and active, so that the focus moves between the boxes as it
    // does for a user.
    void Show()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    // Types into a box that has the focus, as key presses.
    void Type(QLineEdit *box, const QString &text)
    {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    PaperSettings Read()
    {
        PaperSettings paper = DefaultHead();
        form.ReadPaper(paper);
        return paper;
    }

    TScriptedDialogs dialogs;
    TFrmprint form{dialogs};
};

TEST_F(FrmPrintTest, StartsOnA5PortraitInMillimetresWithEveryControlNamed)
{
    EXPECT_EQ(form.windowTitle(), "Paper Set");
    ASSERT_EQ(form.PageControl1->count(), 2);
    EXPECT_EQ(form.PageControl1->tabText(0), " Paper Set");
    EXPECT_EQ(form.PageControl1->tabText(1), "Report");
    ASSERT_EQ(form.ListBox1->count(), 11);
    EXPECT_EQ(form.ListBox1->item(0)->text(), "Default Paper 148x210mm          ");
    EXPECT_EQ(form.ListBox1->item(5)->text().trimmed(), "B5 Sheet: 182x257mm");
    EXPECT_EQ(form.ListBox1->item(10)->text(), "My Own Paper Size");
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.PageWidth->text(), "148.00");
    EXPECT_EQ(form.PageLength->text(), "210.00");
    EXPECT_EQ(form.Units->currentText(), "MM");
    EXPECT_EQ(form.Units->itemText(2), "Pixes");
    EXPECT_EQ(form.OrientationCB->currentText(), "Portrait");
    EXPECT_EQ(form.CheckBox1->text(), "Auto Adjust to fit the new Paper Size");
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.AutoAdjust());
    EXPECT_FALSE(form.Accepted);
    EXPECT_NE(form.Preview, nullptr);
    Show();
    EXPECT_FALSE(form.MarginsGB->isVisible());
    EXPECT_EQ(form.Topmargin->text(), "0.00");
    EXPECT_TRUE(EveryControlNamed(&form)) << AccessibilityTreeText(&form).toStdString();
}

// Both pages as created, and the paper page alone as Paper Set shows it.
TEST_F(FrmPrintTest, AScreenReaderFindsEveryControlNamedOnEitherPage)
{
    Show();
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    EXPECT_TRUE(EveryControlNamed(&form)) << AccessibilityTreeText(&form).toStdString();
    form.PageControl1->setCurrentIndex(0);
    form.PageControl1->setTabVisible(form.PageControl1->indexOf(form.TabSheet2), false);
    EXPECT_TRUE(EveryControlNamed(&form)) << AccessibilityTreeText(&form).toStdString();
}

TEST_F(FrmPrintTest, TheDefaultHeadLoadsAndComesBackWithItsCardSize)
{
    form.LoadPaper(DefaultHead());
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.PageWidth->text(), "210.00");
    EXPECT_EQ(form.PageLength->text(), "148.00");
    EXPECT_EQ(form.OrientationCB->currentText(), "Landscape");
    EXPECT_EQ(form.Units->currentText(), "MM");
    const PaperSettings read = Read();
    EXPECT_EQ(read.PaperIndex, 0);
    EXPECT_EQ(read.PaperWidth, 210.0);
    EXPECT_EQ(read.PaperLength, 148.0);
    EXPECT_EQ(read.Orientation, 1);
    EXPECT_EQ(read.UnitIndex, 0);
    EXPECT_EQ(read.CardWidth, 793);
    EXPECT_EQ(read.CardHeight, 559);
}

TEST_F(FrmPrintTest, ChoosingPapersUnitsAndDirectionInTheLists)
{
    form.ListBox1->setCurrentRow(1);
    EXPECT_EQ(form.PageWidth->text(), "215.90");
    EXPECT_EQ(form.PageLength->text(), "279.40");
    PaperSettings read = Read();
    EXPECT_EQ(read.CardWidth, 816);
    EXPECT_EQ(read.CardHeight, 1056);

    form.ListBox1->setCurrentRow(6);
    EXPECT_EQ(form.PageWidth->text(), "148.50");
    form.OrientationCB->setCurrentIndex(1);
    EXPECT_EQ(form.PageWidth->text(), "148.50") << "the direction alone changes nothing shown";
    read = Read();
    EXPECT_EQ(read.PaperWidth, 148.5);
    EXPECT_EQ(read.PaperLength, 210.0);
    EXPECT_EQ(read.CardWidth, 793);
    EXPECT_EQ(read.CardHeight, 561);

    form.OrientationCB->setCurrentIndex(0);
    form.Units->setCurrentIndex(1);
    EXPECT_EQ(form.PageWidth->text(), "5.85");
    form.Units->setCurrentIndex(0);
    EXPECT_EQ(form.PageWidth->text(), "148.59") << "a custom size drifts through the two-decimal texts";

    form.ListBox1->setCurrentRow(0);
    form.Units->setCurrentIndex(2);
    EXPECT_EQ(form.PageWidth->text(), "559.37");
    EXPECT_EQ(form.PageLength->text(), "793.70");
}

TEST_F(FrmPrintTest, ClickingTheChosenHalfFoldPaperAgainBringsItsPresetBack)
{
    Show();
    form.ListBox1->setCurrentRow(7);
    EXPECT_EQ(form.PageLength->text(), "200.00");
    form.PageLength->setText("250.00");
    const QRect item = form.ListBox1->visualItemRect(form.ListBox1->item(7));
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(form.ListBox1->currentRow(), 7);
    EXPECT_EQ(form.PageLength->text(), "200.00");
}

TEST_F(FrmPrintTest, SizeBoxesTakeDigitsAndTheSeparatorFormatOnEnterAndRefuseTooBigNumbers)
{
    Show();
    form.ListBox1->setCurrentRow(10);
    Type(form.PageWidth, "12a3.5x-");
    EXPECT_EQ(form.PageWidth->text(), "123.5") << "letters and signs are discarded";
    form.PageWidth->setCursorPosition(0);
    // As X11 delivers it: the Delete key with the text DEL.
    QTest::sendKeyEvent(QTest::Click, form.PageWidth, Qt::Key_Delete, QString(QChar(127)), Qt::NoModifier);
    QTest::keyClick(form.PageWidth, Qt::Key_End);
    QTest::keyClick(form.PageWidth, Qt::Key_Backspace);
    EXPECT_EQ(form.PageWidth->text(), "23.") << "Delete, Backspace and the arrows edit";
    QTest::keyClicks(form.PageWidth, "5");
    form.PageWidth->setText("123.5");
    QTest::keyClick(form.PageWidth, Qt::Key_Return);
    EXPECT_EQ(form.PageWidth->text(), "123.50");
    EXPECT_TRUE(form.PageWidth->hasFocus()) << "Enter formats the box and leaves the focus there";
    EXPECT_TRUE(form.isVisible()) << "Enter does not close the dialog";

    Type(form.PageWidth, "3000");
    QTest::keyClick(form.PageWidth, Qt::Key_Tab);
    EXPECT_EQ(form.PageWidth->text(), "3000.00");
    EXPECT_TRUE(dialogs.Messages.isEmpty());

    form.PageWidth->setFocus(Qt::TabFocusReason);
    form.PageWidth->selectAll();
    QTest::keyClicks(form.PageWidth, "3000.01");
    QTest::keyClick(form.PageWidth, Qt::Key_Tab);
    EXPECT_EQ(dialogs.Messages, QStringList{"the value is too big!"});
    EXPECT_EQ(form.PageWidth->text(), "3000.00") << "back to the text it had when entered";
}

TEST_F(FrmPrintTest, ABoxThatHoldsNoNumberIsReportedAndKeepsWhatWasTyped)
{
    Show();
    form.ListBox1->setCurrentRow(10);
    Type(form.PageLength, "99");
    Type(form.PageWidth, "1..2");
    EXPECT_EQ(form.PageLength->text(), "99.00");
    QTest::keyClick(form.PageWidth, Qt::Key_Tab);
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].contains("1..2"));
    EXPECT_EQ(form.PageWidth->text(), "1..2");
    EXPECT_EQ(form.PageLength->text(), "99.00") << "the other box keeps its number";

    form.Button1Click();
    EXPECT_EQ(dialogs.Messages.size(), 2) << "OK reports it again";
    EXPECT_FALSE(form.Accepted);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FrmPrintTest, NumbersFollowTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        TScriptedDialogs german;
        TFrmprint dialog(german);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.ListBox1->setCurrentRow(6);
        EXPECT_EQ(dialog.PageWidth->text(), "148,50");
        dialog.ListBox1->setCurrentRow(10);
        dialog.PageWidth->setFocus(Qt::TabFocusReason);
        dialog.PageWidth->selectAll();
        QTest::keyClicks(dialog.PageWidth, "1.234,5");
        EXPECT_EQ(dialog.PageWidth->text(), "1234,5");
        QTest::keyClick(dialog.PageWidth, Qt::Key_Return);
        EXPECT_EQ(dialog.PageWidth->text(), "1234,50") << "no thousands separator";
        PaperSettings paper = DefaultHead();
        dialog.ReadPaper(paper);
        EXPECT_EQ(paper.PaperWidth, 1234.5);
    }
    QLocale::setDefault(before);
}

TEST_F(FrmPrintTest, OkAcceptsCancelAndClosingDoNot)
{
    Show();
    form.Button1->click();
    EXPECT_TRUE(form.Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Preview, nullptr) << "the preview goes when the dialog closes";

    TScriptedDialogs other;
    TFrmprint cancelled(other);
    cancelled.show();
    cancelled.Button2->click();
    EXPECT_FALSE(cancelled.Accepted);
    EXPECT_FALSE(cancelled.isVisible());

    TFrmprint closed(other);
    closed.show();
    closed.close();
    EXPECT_FALSE(closed.Accepted);
}

TEST_F(FrmPrintTest, OkRefusesAPageWhoseCardTheCanvasCannotTake)
{
    Show();
    PaperSettings huge = DefaultHead();
    huge.PaperIndex = 10;
    huge.Orientation = 0;
    huge.UnitIndex = 1;  // 3000 inches passes the boxes' limit
    huge.PaperWidth = 3000;
    huge.PaperLength = 5;
    form.LoadPaper(huge);
    form.Button1->click();
    EXPECT_EQ(dialogs.Messages, QStringList{"the value is too big!"});
    EXPECT_FALSE(form.Accepted);
    EXPECT_TRUE(form.isVisible());

    form.PageWidth->setText("0");
    form.Button1->click();
    EXPECT_EQ(dialogs.Messages.last(), "the value is too small!");
    EXPECT_FALSE(form.Accepted);

    form.PageWidth->setText("10");
    form.Button1->click();
    EXPECT_TRUE(form.Accepted);
    const PaperSettings read = Read();
    EXPECT_EQ(read.CardWidth, 960);
    EXPECT_EQ(read.CardHeight, 480);
}

TEST_F(FrmPrintTest, StoredIndicesOutOfRangeShowEntryZeroMillimetresAndPortrait)
{
    PaperSettings paper = DefaultHead();
    paper.PaperIndex = -1;
    paper.UnitIndex = 9;
    paper.Orientation = 3;
    form.LoadPaper(paper);
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_EQ(form.Units->currentIndex(), 0);
    EXPECT_EQ(form.OrientationCB->currentIndex(), 0);
    const PaperSettings read = Read();
    EXPECT_EQ(read.CardWidth, 559);
    EXPECT_EQ(read.CardHeight, 793);
}

} // namespace
