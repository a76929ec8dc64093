// One card, one window: two windows on one card, as two programs would
// have them. The second is offered the card read-only and cannot save it;
// the first's Save notices files changed on disk since it read them; a
// crashed window's lock is no lock; Temp.bmp is written and read back by
// one window at a time.
#include "app/frm_main.h"
#include "app/messages.h"
#include "card/card_lock.h"
#include "controls/scrollbox.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class TwoWindows : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        auto scripted = std::make_unique<TScriptedDialogs>();
        otherDialogs = scripted.get();
        other.SetPlaces(PlacesBeside(Program()));
        other.ShowMyCards = [](const QString &) { return Tfrmmain::TMyCardsAnswer{.AnotherFolder = true}; };
        other.SetDialogs(std::move(scripted));
        WriteFixtureCard(Card(), {.Texts = FiveFixtureTexts(793, 559)});
    }
    QString Card() const { return Program() + "MyCard/Shared/"; }
    void OpenIn(Tfrmmain &window, TScriptedDialogs &scripted, const QString &crdFile)
    {
        scripted.FileAnswers.push_back(TScriptedDialogs::FileAnswer{crdFile});
        window.RunCommand([&window] { window.BitBtn2Click(); });
    }
    void Type(Tfrmmain &window, const QString &text)
    {
        auto *box = window.ScrollBox1->findChild<TRichEditBox *>("AEdit0");
        ASSERT_NE(box, nullptr);
        box->textCursor().insertText(text);
    }

    Tfrmmain other;
    TScriptedDialogs *otherDialogs = nullptr;
};

TEST_F(TwoWindows, TheSecondWindowIsOfferedTheCardReadOnlyAndNoEditIsSilentlyLost)
{
    Open(Card() + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();

    // Declined: the second window stays as it was.
    otherDialogs->YesNoAnswers = {false};
    OpenIn(other, *otherDialogs, Card() + "Card.crd");
    EXPECT_EQ(otherDialogs->Questions, QStringList{CardInUseQuestion});
    EXPECT_TRUE(other.CardPath.isEmpty());

    // Accepted: it shows the card, and its Save is refused.
    otherDialogs->YesNoAnswers = {true};
    OpenIn(other, *otherDialogs, Card() + "Card.crd");
    ASSERT_EQ(other.CardPath, Card() + "template.bmp");
    Type(other, "theirs ");
    other.RunCommand([this] { other.BitBtn3Click(); });
    EXPECT_EQ(otherDialogs->Messages.value(0), ReadOnlyCardMessage);
    EXPECT_FALSE(Contents(Card() + "0.rtf").contains("theirs"));

    // The first window saves as ever.
    Type(form, "mine ");
    Save();
    EXPECT_EQ(dialogs->Messages.value(0), "Saved OK!");
    EXPECT_TRUE(Contents(Card() + "0.rtf").contains("mine"));

    // Once the first window lets the card go, it opens normally, and the
    // lock file goes with the window that held it.
    WriteFixtureCard(Program() + "MyCard/Else/", {});
    dialogs->YesNoAnswers = {false};
    Open(Program() + "MyCard/Else/Card.crd");
    EXPECT_FALSE(QFile::exists(Card() + CardLockFileName));
    Tfrmmain third;
    third.SetPlaces(PlacesBeside(Program()));
    third.ShowMyCards = [](const QString &) { return Tfrmmain::TMyCardsAnswer{.AnotherFolder = true}; };
    auto scripted = std::make_unique<TScriptedDialogs>();
    TScriptedDialogs *thirdDialogs = scripted.get();
    third.SetDialogs(std::move(scripted));
    OpenIn(third, *thirdDialogs, Card() + "Card.crd");
    EXPECT_TRUE(thirdDialogs->Questions.isEmpty()) << thirdDialogs->Questions.join('|').toStdString();
    EXPECT_EQ(third.CardPath, Card() + "template.bmp");
}

TEST_F(TwoWindows, EditsInAReadOnlyWindowGoOnlyWhenTheUserSaysSo)
{
    Open(Card() + "Card.crd");
    otherDialogs->YesNoAnswers = {true};
    OpenIn(other, *otherDialogs, Card() + "Card.crd");
    ASSERT_EQ(other.CardPath, Card() + "template.bmp");
    WriteFixtureCard(Program() + "MyCard/Else/", {});

    // Nothing typed: another card replaces it without a question.
    otherDialogs->Questions.clear();
    OpenIn(other, *otherDialogs, Program() + "MyCard/Else/Card.crd");
    EXPECT_TRUE(otherDialogs->Questions.isEmpty()) << otherDialogs->Questions.join('|').toStdString();
    otherDialogs->YesNoAnswers = {true};
    OpenIn(other, *otherDialogs, Card() + "Card.crd");
    ASSERT_EQ(other.CardPath, Card() + "template.bmp");

    // Typed: No keeps the card and its edits; Yes lets them go.
    Type(other, "theirs ");
    otherDialogs->Questions.clear();
    otherDialogs->YesNoAnswers = {false};
    OpenIn(other, *otherDialogs, Program() + "MyCard/Else/Card.crd");
    EXPECT_EQ(otherDialogs->Questions, QStringList{ReadOnlyDiscardQuestion});
    EXPECT_EQ(other.CardPath, Card() + "template.bmp");
    EXPECT_TRUE(other.HasUnsavedChanges());
    otherDialogs->YesNoAnswers = {true};
    OpenIn(other, *otherDialogs, Program() + "MyCard/Else/Card.crd");
    EXPECT_EQ(other.CardPath, Program() + "MyCard/Else/template.bmp");
}

TEST_F(TwoWindows, SaveAsksBeforeOverwritingFilesChangedOnDisk)
{
    Open(Card() + "Card.crd");
    // Another program (or a window of an older version) saved the card.
    QFile text(Card() + "0.rtf");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
    text.write("{\\rtf1\\ansi Changed elsewhere}");
    text.close();
    Type(form, "mine ");
    dialogs->YesNoAnswers = {false};
    Save();
    EXPECT_EQ(dialogs->Questions, QStringList{ChangedOnDiskQuestion});
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(Contents(Card() + "0.rtf").contains("Changed elsewhere"));
    dialogs->YesNoAnswers = {true};
    Save();
    EXPECT_EQ(dialogs->Messages.value(0), "Saved OK!");
    EXPECT_TRUE(Contents(Card() + "0.rtf").contains("mine"));
    // Its own Save is no change on disk to the next one.
    dialogs->Questions.clear();
    Save();
    EXPECT_TRUE(dialogs->Questions.isEmpty());
}

TEST_F(TwoWindows, ALockFileLeftByACrashedWindowIsNoLock)
{
    QFile stale(Card() + CardLockFileName);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    Open(Card() + "Card.crd");
    EXPECT_TRUE(dialogs->Questions.isEmpty()) << dialogs->Questions.join('|').toStdString();
    EXPECT_EQ(form.CardPath, Card() + "template.bmp");
    otherDialogs->YesNoAnswers = {false};
    OpenIn(other, *otherDialogs, Card() + "Card.crd");
    EXPECT_EQ(otherDialogs->Questions, QStringList{CardInUseQuestion});
}

TEST(SharedFileLock, OneHolderAtATimeAndNoneOnceReleased)
{
    QTemporaryDir dir;
    const QString temp = dir.filePath("Temp.bmp");
    auto held = LockSharedFile(temp);
    ASSERT_NE(held, nullptr);
    QString why;
    EXPECT_EQ(TFileLock::Take(dir.filePath(".Temp.bmp.lock"), false, &why), nullptr);
    EXPECT_TRUE(why.contains("held")) << why.toStdString();
    held.reset();
    EXPECT_NE(TFileLock::Take(dir.filePath(".Temp.bmp.lock"), false), nullptr);
    EXPECT_EQ(TFileLock::Take("/nonexistent/folder/.lock", false, &why), nullptr);
    EXPECT_TRUE(why.contains("cannot be made")) << why.toStdString();
}

} // namespace
