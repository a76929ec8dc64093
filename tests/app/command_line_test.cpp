// The one argument the program takes: a card, by its folder or by the
// Card.crd a file manager hands over. Anything else is a usage message.
#include "app/command_line.h"
#include "tests/support/tool_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using TKind = TCommandLine::TKind;

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Card()));
        QFile(Card() + "Card.crd").open(QIODevice::WriteOnly);
        QFile(Card() + "notes.txt").open(QIODevice::WriteOnly);
        QFile(Card() + "Card.CRD").open(QIODevice::WriteOnly);
    }
    QString Card() const { return dir.path() + "/My Card/"; }
    QTemporaryDir dir;
};

TEST_F(CommandLine, ACardFolderOrItsCrdFileOpensThatCard)
{
    EXPECT_EQ(ReadCommandLine({}).Kind, TKind::Nothing);
    for (const QString &argument : {Card(), dir.path() + "/My Card", Card() + "Card.crd"}) {
        const TCommandLine line = ReadCommandLine({argument});
        EXPECT_EQ(line.Kind, TKind::Card) << argument.toStdString();
        EXPECT_EQ(line.CardFolder, Card()) << argument.toStdString();
    }
    // Relative to where it was started, as a shell passes it.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const TCommandLine relative = ReadCommandLine({"My Card/Card.crd"});
    QDir::setCurrent(before);
    EXPECT_EQ(relative.CardFolder, Card());
}

TEST_F(CommandLine, AnythingElseIsRefusedWithTheReason)
{
    const struct {
        QStringList Arguments;
        const char *Problem;
    } cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{dir.path() + "/missing"}, "does not exist"},
        {{Card() + "notes.txt"}, "is neither a card folder nor a card's .crd file"},
        {{Card() + "Card.CRD"}, "is neither a card folder nor a card's .crd file"},  // compared with case, as Open does
        {{Card(), Card()}, "one card at a time"},
    };
    for (const auto &c : cases) {
        const TCommandLine line = ReadCommandLine(c.Arguments);
        EXPECT_EQ(line.Kind, TKind::Wrong) << c.Problem;
        EXPECT_TRUE(line.Problem.contains(c.Problem)) << line.Problem.toStdString();
    }
    EXPECT_EQ(ReadCommandLine({"--help"}).Kind, TKind::Help);
    EXPECT_EQ(ReadCommandLine({"-h"}).Kind, TKind::Help);
    EXPECT_EQ(ReadCommandLine({"--version"}).Kind, TKind::Version);
}

// The program itself answers these without a display.
TEST_F(CommandLine, TheProgramPrintsItsUsageAndStopsWithoutAWindow)
{
    const QString program = TESSALY_OUTPUT_DIR "/tessaly";
    const TToolRun help = RunTool(program, {"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage: tessaly [CARD_FOLDER | CARD_FOLDER/Card.crd]")) << help.Out.constData();

    const TToolRun wrong = RunTool(program, {Card() + "notes.txt"});
    EXPECT_EQ(wrong.ExitCode, 2);
    EXPECT_TRUE(wrong.Out.isEmpty());
    EXPECT_TRUE(wrong.Err.contains("notes.txt\" is neither a card folder")) << wrong.Err.constData();
    EXPECT_TRUE(wrong.Err.contains("Usage: tessaly"));

    const TToolRun version = RunTool(program, {"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "Tessaly 2.55\n");
}

} // namespace
