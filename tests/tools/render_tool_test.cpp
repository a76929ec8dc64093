// tessaly-render, run as a user runs it: its files are the window's exports
// of the same card, its page the printed page, and every failure is one line
// on standard error with a non-zero status.
#include "card/card_lock.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/tool_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString Tool = QStringLiteral(TESSALY_OUTPUT_DIR "/tessaly-render");

TToolRun RenderTool(const QStringList &arguments)
{
    return RunTool(Tool, arguments);
}

// A failure: the given status and exactly one line on standard error that
// contains `reason`, nothing on standard output.
void ExpectFailure(const TToolRun &run, int status, const QString &reason)
{
    EXPECT_EQ(run.ExitCode, status) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.startsWith("tessaly-render: ")) << run.Err.toStdString();
    EXPECT_EQ(run.Err.count('\n'), 1) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.endsWith('\n'));
    EXPECT_TRUE(QString::fromUtf8(run.Err).contains(reason)) << run.Err.toStdString() << " lacks " << reason.toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
}

// A card folder and, beside it, the window that opens and exports it.
class RenderToolTest : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        WriteFixtureCard(card, {.Texts = FiveFixtureTexts(793, 559)});
        QDir().mkpath(Out(""));
    }
    QString Out(const QString &name) const { return dir.path() + "/out/" + name; }

    const QString card = dir.path() + "/MyCard/Fixture/";
};

TEST_F(RenderToolTest, HelpSaysWhatItDoesAndHowItEnds)
{
    const TToolRun run = RenderTool({"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Err.isEmpty());
    for (const char *said : {"usage: tessaly-render CARD_FOLDER OUT", ".bmp", ".jpg, .jpeg", ".pdf", "No display",
                             "Exit status: 0", "one-line reason on standard"})
        EXPECT_TRUE(run.Out.contains(said)) << said;
}

// The window's exports of the card and the tool's files of the card folder
// are the same bytes: the BMP, and the JPEG coded from it.
TEST_F(RenderToolTest, ItsFilesAreTheWindowsExportsOfTheSameCard)
{
    Open(card + "Card.crd");
    SaveAs(Out("window.bmp"), 1);
    SaveAs(Out("window.jpg"), 2);
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();

    EXPECT_EQ(RenderTool({card, Out("tool.bmp")}).ExitCode, 0);
    EXPECT_EQ(RenderTool({card + "Card.crd", Out("tool.JPEG")}).ExitCode, 0);
    EXPECT_EQ(RenderTool({card + "Card.crd", Out("tool.jpg")}).ExitCode, 0);
    const QByteArray bmp = Contents(Out("window.bmp"));
    ASSERT_FALSE(bmp.isEmpty());
    EXPECT_EQ(Contents(Out("tool.bmp")), bmp);
    EXPECT_EQ(ReadBmpWithOwnDecoder(Out("tool.bmp")).size(), QSize(793, 559));
    const QByteArray jpeg = Contents(Out("window.jpg"));
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_EQ(Contents(Out("tool.JPEG")), jpeg);
    EXPECT_EQ(Contents(Out("tool.jpg")), jpeg);
    // The card folder is only read (the window's lock on the card aside).
    QStringList files = QDir(card).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(CardLockFileName);
    EXPECT_EQ(files.size(), 8) << "template, picture, five texts, Card.crd";
}

// The page Print prints: one page of the card's paper (210 x 148 mm, laid
// landscape) holding the card's pictures and its text as text.
TEST_F(RenderToolTest, ThePdfIsOnePageOfTheCardsPaper)
{
    const TToolRun run = RenderTool({card, Out("card.pdf")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    const QByteArray pdf = Contents(Out("card.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[ ?0 0 ([0-9.]+) ([0-9.]+) ?\\]")).match(QString::fromLatin1(pdf));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), 210.0 / 25.4 * 72, 0.5);
    EXPECT_NEAR(box.captured(2).toDouble(), 148.0 / 25.4 * 72, 0.5);
    EXPECT_TRUE(pdf.contains("/Subtype /Image"));
    EXPECT_TRUE(pdf.contains("/FontFile2")) << "the boxes' fonts are embedded";
}

TEST_F(RenderToolTest, EachFailureIsOneLineAndAnExistingFileSurvivesIt)
{
    ExpectFailure(RenderTool({}), 2, "expected CARD_FOLDER and OUT");
    ExpectFailure(RenderTool({card}), 2, "expected CARD_FOLDER and OUT");
    ExpectFailure(RenderTool({card, Out("card.png")}), 2, "must end in .bmp, .jpg, .jpeg or .pdf");
    EXPECT_FALSE(QFile::exists(Out("card.png")));
    ExpectFailure(RenderTool({dir.path() + "/nowhere", Out("card.bmp")}), 1, "nowhere");
    ExpectFailure(RenderTool({Out(""), Out("card.bmp")}), 1, "has no Card.crd");
    ExpectFailure(RenderTool({card, dir.path() + "/no-such-folder/card.bmp"}), 1, "no-such-folder/card.bmp");
    ExpectFailure(RenderTool({card, dir.path() + "/no-such-folder/card.jpg"}), 1, "no-such-folder/card.jpg");
    ExpectFailure(RenderTool({card, dir.path() + "/no-such-folder/card.pdf"}), 1, "no-such-folder/card.pdf");
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/no-such-folder"));

    // A card that cannot be read leaves what OUT held.
    for (const char *name : {"old.bmp", "old.jpg", "old.pdf"}) {
        QFile old(Out(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QFile::rename(card + "3.rtf", card + "3.rtf.away");
    for (const char *name : {"old.bmp", "old.jpg", "old.pdf"}) {
        ExpectFailure(RenderTool({card, Out(name)}), 1, "3.rtf");
        EXPECT_EQ(Contents(Out(name)), "old") << name;
    }
    QFile::rename(card + "3.rtf.away", card + "3.rtf");

    // Nothing reads or writes these FIFOs: the tool must not wait on them.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Out("pipe.bmp")).constData(), 0644), 0);
    ExpectFailure(RenderTool({card, Out("pipe.bmp")}), 1, "not a regular file");
    EXPECT_TRUE(QFileInfo::exists(Out("pipe.bmp")) && !QFileInfo(Out("pipe.bmp")).isFile());
    QFile::remove(card + "1.rtf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(card + "1.rtf").constData(), 0644), 0);
    QElapsedTimer clock;
    clock.start();
    ExpectFailure(RenderTool({card, Out("card.bmp")}), 1, "1.rtf");
    EXPECT_LT(clock.elapsed(), 30000) << "the tool waited on the FIFO";
}

// The renderer is widget-free: the tool runs without Qt Widgets loaded.
TEST_F(RenderToolTest, TheToolLinksNoWidgets)
{
    const TToolRun ldd = RunTool(QStringLiteral("ldd"), {Tool});
    if (ldd.ExitCode != 0)
        GTEST_SKIP() << "ldd is not available here";
    const QByteArray &libraries = ldd.Out;
    EXPECT_TRUE(libraries.contains("libQt6Gui")) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains("libQt6Widgets")) << libraries.toStdString();
}

} // namespace
