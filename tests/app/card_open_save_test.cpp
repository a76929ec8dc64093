// Opening and saving a card when the files are not what they should be: a
// FIFO in place of a card file, a short Card.crd, a shipped template, a
// full disk. Driven through the main window with scripted dialogs.
#include "app/frm_main.h"
#include "card/card_file.h"
#include "controls/Card_Edit.h"
#include "imaging/atomicfile.h"
#include "richtext/rich_edit_box.h"
#include "richtext/rtf.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

void Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void MakeFifo(const QString &path)
{
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0) << std::strerror(errno);
}

QRgb At(const TCard_Edit *canvas, int x, int y) { return canvas->Picture().pixel(x, y) | 0xFF000000u; }

class CardOpenSave : public TMainWindowTest {
protected:

    // A card of 300 x 200 pixels with an opaque background of `colour`, a
    // picture in slot 0 and text boxes in slots 0 and 1. Returns its folder.
    QString MakeCard(const QString &folder, QColor colour, const QByteArray &text0 = "{\\rtf1\\ansi Zero}")
    {
        QDir().mkpath(folder);
        CardLayout layout = FreshLayout();
        layout.Paper.CardWidth = 300;
        layout.Paper.CardHeight = 200;
        layout.BackgroundFile.SetText("template.bmp");
        layout.TransparentColour = 0x00000000;  // black: no see-through pixel in these backgrounds
        layout.Pictures[0] = {1, {10, 10, 60, 50}, {}};
        layout.Pictures[0].FileName.SetText("picture.bmp");
        layout.Texts[0] = {1, {100, 20, 280, 90}, {}, {}};
        layout.Texts[1] = {1, {100, 110, 280, 180}, {}, {}};
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(folder + "template.bmp", "BMP"));
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(folder + "picture.bmp", "BMP"));
        Put(folder + "0.rtf", text0);
        Put(folder + "1.rtf", "{\\rtf1\\ansi One}");
        WriteCardFile(folder + "Card.crd", layout);
        return folder;
    }
    QString CardFolder(const QString &name) { return dir.path() + "/MyCard/" + name + "/"; }

    // The card on show is the one in `folder`, whole.
    void ExpectShown(const QString &folder)
    {
        EXPECT_EQ(form.CardPath, folder + "template.bmp");
        EXPECT_EQ(form.Card_Edit1->Pic_Path(), folder);
        ASSERT_TRUE(Box(0) && Box(1));
        EXPECT_EQ(Box(1)->toPlainText(), "One");
    }
};

TEST_F(CardOpenSave, AFifoInPlaceOfACardFileIsRefusedAndTheOpenCardStays)
{
    const QString shown = MakeCard(CardFolder("Shown"), Qt::blue);
    Open(shown + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    Box(0)->textCursor().insertText("unsaved ");

    // Nothing writes into these FIFOs: opening any of them for reading the
    // ordinary way would wait for ever.
    for (const QString file : {"Card.crd", "1.rtf", "picture.bmp"}) {
        const QString other = MakeCard(CardFolder("Other"), Qt::green);
        MakeFifo(other + file);
        dialogs->Messages.clear();
        dialogs->YesNoAnswers = {false};  // Save the Card? No.
        QElapsedTimer clock;
        clock.start();
        Open(other + "x.crd");
        EXPECT_LT(clock.elapsed(), 1000) << file.toStdString() << " kept Open waiting";
        ASSERT_EQ(dialogs->Messages.size(), 1) << file.toStdString();
        EXPECT_TRUE(dialogs->Messages[0].contains(other + file)) << dialogs->Messages[0].toStdString();
        EXPECT_TRUE(dialogs->Messages[0].contains("not a regular file")) << dialogs->Messages[0].toStdString();
        ExpectShown(shown);
        EXPECT_EQ(Box(0)->toPlainText(), "unsaved Zero");
        EXPECT_EQ(At(form.Card_Edit1, 150, 5), QColor(Qt::blue).rgb());
        QDir(other).removeRecursively();
    }

    // A background that is no picture at all is refused the same way.
    const QString other = MakeCard(CardFolder("Other"), Qt::green);
    Put(other + "template.bmp", "not a picture");
    dialogs->Messages.clear();
    dialogs->YesNoCancelAnswers = {TAnswer::No};
    Open(other + "Card.crd");
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains(other + "template.bmp")) << dialogs->Messages[0].toStdString();
    ExpectShown(shown);
    EXPECT_EQ(Box(0)->toPlainText(), "unsaved Zero");
    EXPECT_EQ(At(form.Card_Edit1, 150, 5), QColor(Qt::blue).rgb());
}

TEST_F(CardOpenSave, AShortCardFileTakesTheFoldersBackgroundNotThePreviousPicture)
{
    Open(MakeCard(CardFolder("Blue"), Qt::blue) + "Card.crd");
    ASSERT_EQ(At(form.Card_Edit1, 150, 5), QColor(Qt::blue).rgb());

    // 100 bytes end just before the background's name; an empty file holds nothing.
    const QString green = MakeCard(CardFolder("Green"), Qt::green);
    const QByteArray whole = Contents(green + "Card.crd");
    for (const qsizetype size : {qsizetype(100), qsizetype(0)}) {
        Put(green + "Card.crd", whole.left(size));
        dialogs->Messages.clear();
        Open(green + "Card.crd");
        EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
        EXPECT_EQ(form.CardPath, green + "template.bmp");
        EXPECT_EQ(form.Card_Edit1->Layout.BackgroundFile.Text(), "template.bmp");
        const QSize expected = size == 100 ? QSize(300, 200) : QSize(793, 559);  // the paper head, when there
        EXPECT_EQ(form.Card_Edit1->Picture().size(), expected);
        EXPECT_EQ(At(form.Card_Edit1, 150, 5), QColor(Qt::green).rgb()) << size;
        EXPECT_TRUE(form.TextBoxes().isEmpty());  // the text slots were not in the file

        Open(CardFolder("Blue") + "Card.crd");  // back to another card for the next size
        ASSERT_EQ(At(form.Card_Edit1, 150, 5), QColor(Qt::blue).rgb());
    }
}

TEST_F(CardOpenSave, SaveRefusesTheProgramsTemplatesAndClearsStaleTemporaries)
{
    const QString shipped = MakeCard(dir.path() + "/Template/Birthday/", Qt::blue);
    Open(shipped + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    const QByteArray layout = Contents(shipped + "Card.crd"), text = Contents(shipped + "0.rtf");
    Box(0)->textCursor().insertText("mine ");
    Save();
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("template") && dialogs->Messages[0].contains("New"))
        << dialogs->Messages[0].toStdString();
    EXPECT_EQ(Contents(shipped + "Card.crd"), layout);
    EXPECT_EQ(Contents(shipped + "0.rtf"), text);
    EXPECT_TRUE(form.HasUnsavedChanges());

    // What a killed Save left beside the card's own files is not read by
    // Open (choosing it opens nothing) and goes with the next Save.
    const QString card = MakeCard(CardFolder("Mine"), Qt::blue);
    Put(card + ".0.rtf.tessaly-Ab12Cd", "half a text");
    Put(card + ".Card.crd.tessaly-Zz99Yy", "half a layout");
    dialogs->YesNoAnswers = {false};
    dialogs->Messages.clear();
    Open(card + ".Card.crd.tessaly-Zz99Yy");
    EXPECT_EQ(form.CardPath, shipped + "template.bmp") << "a temporary file is no card file";
    Open(card + "Card.crd");
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    ExpectShown(card);
    EXPECT_EQ(Box(0)->toPlainText(), "Zero");
    Save();
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    const QStringList left = QDir(card).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : left)
        EXPECT_FALSE(IsAtomicFileTemporary(name.toStdString())) << name.toStdString();
}

// Each system call of the writer failed in turn for each file Save writes:
// the error names the file and every file of the card stays as it was.
struct FailingCall {
    static inline QByteArray file;  // the target whose write, sync or rename fails
    static inline int call = 0;     // 0 write, 1 sync, 2 rename
    static inline std::string pendingTemporary;

    static ssize_t Write(int f, const void *d, size_t n)
    {
        if (call == 0 && IsFailingTemporary(f)) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(f, d, n);
    }
    static int Fsync(int f)
    {
        if (call == 1 && IsFailingTemporary(f)) {
            errno = EIO;
            return -1;
        }
        return ::fsync(f);
    }
    static int Rename(const char *from, const char *to)
    {
        if (call == 2 && QByteArray(to).endsWith(file)) {
            errno = EIO;
            return -1;
        }
        return ::rename(from, to);
    }
    // The open file is a temporary of the failing target.
    static bool IsFailingTemporary(int f)
    {
        char path[4096];
        const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(f)).c_str(), path, sizeof path - 1);
        return length > 0 && QByteArray(path, length).contains("/." + file + ".tessaly-");
    }
};

TEST_F(CardOpenSave, AFailedWriteSyncOrRenameOfAnyFileKeepsTheWholeCardAsItWas)
{
    const QString card = MakeCard(CardFolder("Card"), Qt::blue);
    Open(card + "Card.crd");
    ASSERT_EQ(form.TextBoxes().size(), 2) << dialogs->Messages.join('|').toStdString();
    Box(0)->textCursor().insertText("new ");
    Box(1)->move(Box(1)->pos() + QPoint(5, 0));
    const QByteArray old[3] = {Contents(card + "0.rtf"), Contents(card + "1.rtf"), Contents(card + "Card.crd")};
    const TAtomicFileCalls calls{FailingCall::Write, FailingCall::Fsync, ::close, FailingCall::Rename};
    for (const QByteArray file : {"0.rtf", "1.rtf", "Card.crd"}) {
        for (FailingCall::call = 0; FailingCall::call < 3; ++FailingCall::call) {
            // Card.crd is renamed last: a failed rename of an earlier file
            // leaves the files before it new, and there is none before 0.rtf.
            if (FailingCall::call == 2 && file != "0.rtf")
                continue;
            SCOPED_TRACE(file.toStdString() + " call " + std::to_string(FailingCall::call));
            FailingCall::file = file;
            SetAtomicFileCalls(&calls);
            dialogs->Messages.clear();
            Save();
            SetAtomicFileCalls(nullptr);
            ASSERT_EQ(dialogs->Messages.size(), 1);
            EXPECT_TRUE(dialogs->Messages[0].startsWith("Cannot write file \"" + card + file + "\"."))
                << dialogs->Messages[0].toStdString();
            EXPECT_EQ(Contents(card + "0.rtf"), old[0]);
            EXPECT_EQ(Contents(card + "1.rtf"), old[1]);
            EXPECT_EQ(Contents(card + "Card.crd"), old[2]);
            EXPECT_TRUE(form.HasUnsavedChanges());
            for (const QString &name : QDir(card).entryList(QDir::Files | QDir::Hidden))
                EXPECT_FALSE(IsAtomicFileTemporary(name.toStdString())) << name.toStdString();
        }
    }
    dialogs->Messages.clear();
    Save();
    EXPECT_EQ(dialogs->Messages, QStringList{"Saved OK!"});
    EXPECT_NE(Contents(card + "0.rtf"), old[0]);
    EXPECT_NE(Contents(card + "Card.crd"), old[2]);
}

// Save onto a small tmpfs with only a few pages free: either every file is
// new and "Saved OK!" is shown, or an error is shown and every file is the
// old one, whole. With eight pages free the Save succeeds. Mounting needs root.
class FullDisk : public CardOpenSave {
protected:
    void SetUp() override
    {
        CardOpenSave::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "Skipped: mounting a small tmpfs to fill needs root (CI runs the tests as root).";
        mountPoint = dir.path() + "/MyCard";
        QDir().mkpath(mountPoint);
        if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=512k") != 0)
            GTEST_SKIP() << "Skipped: this machine does not let root mount a tmpfs: " << std::strerror(errno);
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted) {
            EXPECT_EQ(::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH), 0) << std::strerror(errno);
        }
    }

    // Fills the disk, then frees `pages` pages of the filler.
    void LeaveFreePages(int pages)
    {
        const QByteArray filler = QFile::encodeName(mountPoint + "/filler");
        const int file = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(file, 0);
        const std::string block(4096, 'f');
        off_t size = 0;
        while (::write(file, block.data(), block.size()) == ssize_t(block.size()))
            size += off_t(block.size());
        ::close(file);
        struct statvfs disk;
        ASSERT_EQ(::statvfs(filler.constData(), &disk), 0);
        const off_t page = off_t(disk.f_bsize);
        size -= size % page;  // a part-written last page is dropped too
        ASSERT_EQ(::truncate(filler.constData(), size - page * pages), 0);
        ASSERT_EQ(::statvfs(filler.constData(), &disk), 0);
        EXPECT_EQ(int(disk.f_bfree), pages);
    }

    QString mountPoint;
    bool mounted = false;
};

TEST_F(FullDisk, SaveIsEitherCompleteOrLeavesEveryFileWhole)
{
    for (const int pages : {0, 1, 2, 4, 8}) {
        SCOPED_TRACE("free pages: " + std::to_string(pages));
        QDir(mountPoint).removeRecursively();
        QDir().mkpath(mountPoint);
        // Two texts of one page that grow to two each: with two pages free
        // the first could be written and the second not.
        const QString card = MakeCard(CardFolder("Card"), Qt::blue, "{\\rtf1\\ansi " + QByteArray(3000, 'a') + "}");
        dialogs->YesNoAnswers = {false};
        Open(card + "Card.crd");
        ASSERT_TRUE(form.TextBoxes().size() == 2) << dialogs->Messages.join('|').toStdString();
        const QByteArray oldLayout = Contents(card + "Card.crd");
        const QByteArray oldTexts[2] = {Contents(card + "0.rtf"), Contents(card + "1.rtf")};
        Box(0)->textCursor().insertText(QString(3000, 'b'));
        Box(1)->textCursor().insertText(QString(5000, 'c'));  // one page to two
        Box(1)->move(Box(1)->pos() + QPoint(3, 0));  // the layout changes too
        const QByteArray newTexts[2] = {WriteRtf(Box(0)->document()), WriteRtf(Box(1)->document())};
        LeaveFreePages(pages);

        dialogs->Messages.clear();
        Save();
        ASSERT_EQ(dialogs->Messages.size(), 1);
        const QString said = dialogs->Messages[0];
        if (said == "Saved OK!") {
            EXPECT_EQ(Contents(card + "0.rtf"), newTexts[0]);
            EXPECT_EQ(Contents(card + "1.rtf"), newTexts[1]);
            const CardLayoutBytes saved = LayoutToBytes(form.Card_Edit1->Layout);
            EXPECT_EQ(Contents(card + "Card.crd"), QByteArray(reinterpret_cast<const char *>(saved.data()), 1496));
            EXPECT_NE(Contents(card + "Card.crd"), oldLayout);
        } else {
            EXPECT_TRUE(said.contains(card)) << said.toStdString();  // names the file
            EXPECT_TRUE(said.contains(std::strerror(ENOSPC))) << said.toStdString();
            // Nothing replaces an old file before every new one is written.
            EXPECT_EQ(Contents(card + "0.rtf"), oldTexts[0]);
            EXPECT_EQ(Contents(card + "1.rtf"), oldTexts[1]);
            EXPECT_EQ(Contents(card + "Card.crd"), oldLayout);
            EXPECT_TRUE(form.HasUnsavedChanges());
        }
        // The new files need five pages beside the old ones: two texts of
        // two pages and Card.crd.
        if (pages < 5) {
            EXPECT_NE(said, "Saved OK!");
        } else {
            EXPECT_EQ(said, "Saved OK!");
        }
        for (const QString &name : QDir(card).entryList(QDir::Files | QDir::Hidden))
            EXPECT_FALSE(IsAtomicFileTemporary(name.toStdString())) << name.toStdString();
        QFile::remove(mountPoint + "/filler");
    }
}

} // namespace
