// tessaly-rtf, run as a user runs it.

#include "richtext/rtf.h"
#include "tests/support/tool_run.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TToolRun RtfTool(const QStringList &arguments)
{
    return RunTool(QStringLiteral(TESSALY_OUTPUT_DIR "/tessaly-rtf"), arguments);
}

const QString kSample = QStringLiteral(TESSALY_SOURCE_DIR "/tests/richtext/data/wordpad_card.rtf");

} // namespace

TEST(RtfTool, ToHtmlShowsTheDocumentAsRead)
{
    const TToolRun run = RtfTool({QStringLiteral("to-html"), kSample});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run.Out).contains(QStringLiteral("新年快乐")));
    EXPECT_TRUE(QString::fromUtf8(run.Out).contains(QStringLiteral("font-weight:700; color:#c00000;\">Joyeux Noël")));
    EXPECT_TRUE(QString::fromUtf8(run.Out).contains(QStringLiteral("<p align=\"center\"")));
}

TEST(RtfTool, FromHtmlWritesRtfThatReadsBack)
{
    QTemporaryDir dir;
    const QString html = dir.filePath(QStringLiteral("card.html"));
    QFile file(html);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<p align=center><b>Happy</b> <i>birthday</i> \xe2\x9c\xa8</p><p>Anna</p>");
    file.close();
    const QString rtf = dir.filePath(QStringLiteral("card.rtf"));
    const TToolRun run = RtfTool({QStringLiteral("from-html"), html, rtf});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    QFile written(rtf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(written.readAll(), &doc, nullptr));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Happy birthday ✨\nAnna"));
    EXPECT_EQ(doc.begin().blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(RtfTool, SaysWhatIsWrong)
{
    EXPECT_EQ(RtfTool({QStringLiteral("to-pdf"), kSample}).ExitCode, 2);
    const TToolRun notRtf = RtfTool({QStringLiteral("to-html"), QStringLiteral(TESSALY_SOURCE_DIR "/README.md")});
    EXPECT_EQ(notRtf.ExitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(notRtf.Err).contains(QStringLiteral("not in Rich Text Format")));

    // A FIFO no one writes is refused at once instead of waited on for ever.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.rtf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const TToolRun waiting = RtfTool({QStringLiteral("to-html"), fifo});
    EXPECT_EQ(waiting.ExitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(waiting.Err).contains(QStringLiteral("not a regular file")))
        << waiting.Err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(waiting.Err).contains(fifo)) << waiting.Err.toStdString();
}
