// tessaly-rtf, run as a user runs it.

#include "richtext/rtf.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RtfTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(TESSALY_OUTPUT_DIR "/tessaly-rtf"), arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    return ToolRun{tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
               QString::fromUtf8(tool.readAllStandardError())};
}

const QString kSample = QStringLiteral(TESSALY_SOURCE_DIR "/tests/richtext/data/wordpad_card.rtf");

} // namespace

TEST(RtfTool, ToHtmlShowsTheDocumentAsRead)
{
    const ToolRun run = RtfTool({QStringLiteral("to-html"), kSample});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("新年快乐")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("font-weight:700; color:#c00000;\">Joyeux Noël")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("<p align=\"center\"")));
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
    const ToolRun run = RtfTool({QStringLiteral("from-html"), html, rtf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    QFile written(rtf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(written.readAll(), &doc, nullptr));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Happy birthday ✨\nAnna"));
    EXPECT_EQ(doc.begin().blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(RtfTool, SaysWhatIsWrong)
{
    EXPECT_EQ(RtfTool({QStringLiteral("to-pdf"), kSample}).exitCode, 2);
    const ToolRun notRtf = RtfTool({QStringLiteral("to-html"), QStringLiteral(TESSALY_SOURCE_DIR "/README.md")});
    EXPECT_EQ(notRtf.exitCode, 1);
    EXPECT_TRUE(notRtf.err.contains(QStringLiteral("not in Rich Text Format")));
}
