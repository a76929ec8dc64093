// The copy of a card's unsaved changes: written away from the card a short
// while after a change, read back whole, gone once there is nothing unsaved.
#include "card/card_recovery.h"

#include "card/card_file.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

class CardRecovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFixtureCard card;
        card.Texts = FiveFixtureTexts(card.Width, card.Height);
        WriteFixtureCard(Folder(), card);
        document = TCardDocument::Open(Folder() + "template.bmp");
    }
    QString Folder() const { return dir.path() + "/MyCard/Sample/"; }
    QString Root() const { return dir.path() + "/data/recovery"; }
    QStringList CardFiles() const
    {
        QStringList files;
        for (QDirIterator it(dir.path() + "/MyCard", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            files << it.next() + ":" + QString::number(qHash(Contents(it.filePath())));
        files.sort();
        return files;
    }
    void Edit()
    {
        QTextCursor(document->Text(2)).insertText("unsaved words ");
        SlotRect r = document->ElementRect({TCardElement::TKind::PictureFrame, 0, 0});
        r.Left += 9;
        r.Right += 9;
        document->MoveElement({TCardElement::TKind::PictureFrame, 0, 0}, r, TCardDocument::TMoveKind::Move);
        QImage green(8, 6, QImage::Format_RGB32);
        green.fill(qRgb(0, 200, 0));
        document->ChangePicture(0, ChosenCardPicture(green));
    }

    QTemporaryDir dir;
    std::unique_ptr<TCardDocument> document;
};

TEST_F(CardRecovery, AChangeIsKeptAfterAShortWhileAwayFromTheCardAndReadsBackWhole)
{
    const QStringList before = CardFiles();
    TCardRecovery recovery(Root());
    recovery.DelayMs = 20;
    recovery.Watch(document.get());
    Edit();
    const QString name = recovery.SessionFolder() + "card.path";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(name); }, 5000));
    recovery.WaitForWriting();
    EXPECT_TRUE(recovery.LastError().isEmpty()) << recovery.LastError().toStdString();
    EXPECT_EQ(QString::fromUtf8(Contents(name)), document->BackgroundPath());
    EXPECT_TRUE(recovery.SessionFolder().startsWith(Root()));
    EXPECT_EQ(CardFiles(), before) << "the card's own files are never touched";

    const TCardContent kept = TCardRecovery::ReadCopy(recovery.SessionFolder());
    const TCardContent now = document->Content();
    EXPECT_EQ(LayoutToBytes(kept.Layout), LayoutToBytes(now.Layout));
    for (int n = 0; n < TextSlotCount; ++n)
        EXPECT_EQ(kept.Texts[std::size_t(n)], now.Texts[std::size_t(n)]) << n;
    ASSERT_TRUE(kept.ChangedPictures[0]);
    EXPECT_EQ(kept.ChangedPictures[0]->Image, now.ChangedPictures[0]->Image);

    // Opened with the kept content: the same card, unsaved.
    const auto restored = TCardDocument::Open(document->BackgroundPath(), kept);
    EXPECT_TRUE(restored->IsModified());
    EXPECT_EQ(LayoutToBytes(restored->Content().Layout), LayoutToBytes(now.Layout));
    EXPECT_EQ(restored->Content().Texts, now.Texts);
    EXPECT_EQ(restored->Picture(), document->Picture());
}

TEST_F(CardRecovery, UndoingBackToTheSavedCardOrDiscardingRemovesTheCopy)
{
    TCardRecovery recovery(Root());
    recovery.Watch(document.get());
    Edit();
    recovery.WriteNow();
    recovery.WaitForWriting();
    ASSERT_TRUE(QFile::exists(recovery.SessionFolder() + "card.path"));
    while (document->CanUndo())
        document->Undo();
    recovery.WriteNow();
    EXPECT_FALSE(QFile::exists(recovery.SessionFolder() + "card.path"));
    EXPECT_THROW(TCardRecovery::ReadCopy(recovery.SessionFolder()), ECardError);

    Edit();
    recovery.WriteNow();
    recovery.Discard();
    EXPECT_EQ(QDir(recovery.SessionFolder()).entryList(QDir::Files), QStringList{"session.lock"});
}

TEST_F(CardRecovery, ARunningProgramsCopyIsNotLeftAndAnEmptyFolderGoesWithItsRun)
{
    TCardRecovery running(Root());
    running.Watch(document.get());
    Edit();
    running.WriteNow();
    running.WaitForWriting();
    QString emptyFolder;
    {
        TCardRecovery other(Root());
        EXPECT_TRUE(other.LeftCopies().empty()) << "its program still runs";
        emptyFolder = other.SessionFolder();
    }
    EXPECT_FALSE(QDir(emptyFolder).exists());
    EXPECT_TRUE(QDir(running.SessionFolder()).exists());
}

} // namespace
