// Crash recovery for real: the program is started as a process, edits a
// card and is killed with SIGKILL; the next start offers the changes back.
#include "app/frm_main.h"
#include "card/card_document.h"
#include "card/card_file.h"
#include "card/card_recovery.h"
#include "controls/Card_Edit.h"
#include "controls/shape.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {

class CardRecoveryWindow : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        TFixtureCard card;
        card.Texts = FiveFixtureTexts(card.Width, card.Height);
        WriteFixtureCard(Card(), card);
    }
    QString Card() const { return Program() + "MyCard/Sample/"; }
    // The program's data lies elsewhere than the program and its cards. One
    // folder for the whole run: each window's copies must outlive it.
    static QString Root()
    {
        static QTemporaryDir data;
        return data.path() + "/recovery-" + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    // Runs the program, lets it edit the card and kills it once its changes are kept.
    void EditAndKill()
    {
        QProcess child;
        child.start(RECOVERY_CHILD, {Program(), Root(), Card() + "template.bmp"});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray said;
        while (!said.contains("ready") && child.state() == QProcess::Running && child.waitForReadyRead(20000))
            said += child.readAllStandardOutput();
        ASSERT_TRUE(said.contains("ready")) << child.readAllStandardError().toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
    QStringList CardFiles() const
    {
        QStringList files;
        for (QDirIterator it(Program() + "MyCard", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next() + ":" + QString::number(qHash(Contents(it.filePath())));
        files.sort();
        return files;
    }
};

TEST_F(CardRecoveryWindow, AfterAKillTheUnsavedTextAndFramePositionAreRestoredWithoutTouchingTheCard)
{
    const QStringList before = CardFiles();
    EditAndKill();
    EXPECT_EQ(CardFiles(), before) << "nothing is written into MyCard before a Save";

    form.StartRecovery(Root());
    dialogs->ChoiceAnswers = {0};  // Restore
    EXPECT_TRUE(form.OfferRecovery());
    ASSERT_EQ(dialogs->Questions.size(), 1);
    EXPECT_TRUE(dialogs->Questions[0].contains("Sample")) << dialogs->Questions[0].toStdString();
    ASSERT_TRUE(Box(0));
    EXPECT_TRUE(Box(0)->toPlainText().startsWith("Restore me ")) << Box(0)->toPlainText().toStdString();
    EXPECT_EQ(RectOf(form.Card_Edit1->Layout.Pictures[0].Rect), QRect(65, 57, 240, 180));
    EXPECT_EQ(form.Shape1->pos(), form.Card_Edit1->pos() + QPoint(65, 57));
    EXPECT_TRUE(form.HasUnsavedChanges());
    EXPECT_TRUE(form.windowTitle().startsWith("Sample* - ")) << form.windowTitle().toStdString();
    EXPECT_EQ(CardFiles(), before);

    // Kept again under this run; the old copy is gone, so no second offer.
    form.Recovery()->WaitForWriting();
    EXPECT_TRUE(form.Recovery()->LeftCopies().empty());
    Save();
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_EQ(RectOf(ReadCardFile(Card() + "Card.crd", FreshLayout()).Pictures[0].Rect), QRect(65, 57, 240, 180));
    EXPECT_FALSE(QFile::exists(form.Recovery()->SessionFolder() + "card.path"));
}

TEST_F(CardRecoveryWindow, DiscardLetsTheChangesGoAndLeavesTheCardAsSaved)
{
    const QStringList before = CardFiles();
    EditAndKill();
    form.StartRecovery(Root());
    dialogs->ChoiceAnswers = {1};  // Discard
    EXPECT_FALSE(form.OfferRecovery());
    EXPECT_TRUE(form.CardPath.isEmpty());
    EXPECT_TRUE(form.Recovery()->LeftCopies().empty());
    EXPECT_EQ(CardFiles(), before);
}

// The copies live with the program's data, never among the user's cards,
// so neither Open nor New can show one.
TEST_F(CardRecoveryWindow, TheCopiesNeverLandInMyCard)
{
    EXPECT_FALSE(DefaultRecoveryRoot().startsWith(Program()));
    form.StartRecovery(Root());
    form.Recovery()->DelayMs = 10;
    Open(Card() + "Card.crd");
    const QStringList before = CardFiles();
    MoveBox(2, QPoint(3, 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(form.Recovery()->SessionFolder() + "card.path"); }, 5000));
    EXPECT_EQ(CardFiles(), before);
    EXPECT_FALSE(form.Recovery()->SessionFolder().startsWith(Program()));
    // Closing without saving lets them go.
    dialogs->YesNoCancelAnswers = {TAnswer::No};
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(QFile::exists(form.Recovery()->SessionFolder() + "card.path"));
}

} // namespace
