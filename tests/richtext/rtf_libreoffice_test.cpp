// LibreOffice Writer reads the RTF we write with the same text and formats:
// it converts our file to plain text, and back to RTF of its own, which we
// read again. Skipped where LibreOffice is not installed.

#include "richtext_test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>

using namespace rtftest;

namespace {

// Converts `file` with LibreOffice to `format` in `outDir`; the output's path.
QString Convert(const QString &soffice, const QTemporaryDir &dir, const QString &file,
                const QString &format, const QString &outDir)
{
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"),
                           QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("--convert-to"), format,
                           QStringLiteral("--outdir"), outDir, file});
    EXPECT_TRUE(office.waitForFinished(300000)) << "LibreOffice did not finish";
    const QString output = QString::fromLocal8Bit(office.readAll());
    EXPECT_EQ(office.exitCode(), 0) << output.toStdString();
    const QString extension = format.section(u':', 0, 0);
    return outDir + u'/' + QFileInfo(file).completeBaseName() + u'.' + extension;
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

TEST(RtfLibreOffice, ReadsWhatWeWriteWithTheSameTextAndFormats)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    QTemporaryDir dir;
    const auto ours = Read(ReadData("wordpad_card.rtf"));
    const QString written = dir.filePath(QStringLiteral("card.rtf"));
    {
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(WriteRtf(ours.get()));
    }

    // The same text, paragraph by paragraph (a line break is a new line).
    const QString text = QString::fromUtf8(Contents(
        Convert(soffice, dir, written, QStringLiteral("txt:Text (encoded):UTF8"), dir.filePath("txt"))));
    QString expected = Paragraphs(*ours).join(u'\n');
    expected.replace(QChar::LineSeparator, u'\n');
    EXPECT_EQ(text.trimmed().remove(QChar(0xFEFF)), expected);

    // The same formats, as LibreOffice writes them back.
    const auto back = Read(Contents(Convert(soffice, dir, written, QStringLiteral("rtf"), dir.filePath("rtf"))));
    EXPECT_EQ(Paragraphs(*back), Paragraphs(*ours));
    for (const QString &run : {QStringLiteral("Joyeux"), QStringLiteral("Καλά"), QStringLiteral("С Новым"),
                               QStringLiteral("新年"), QStringLiteral("お誕"), QStringLiteral("old"),
                               QStringLiteral("Anna")}) {
        const QTextCharFormat was = FormatOf(*ours, run);
        const QTextCharFormat is = FormatOf(*back, run);
        SCOPED_TRACE(run.toStdString());
        EXPECT_EQ(is.fontPointSize(), was.fontPointSize());
        EXPECT_EQ(is.fontWeight(), was.fontWeight());
        EXPECT_EQ(is.fontItalic(), was.fontItalic());
        EXPECT_EQ(is.fontUnderline(), was.fontUnderline());
        EXPECT_EQ(is.fontStrikeOut(), was.fontStrikeOut());
        EXPECT_EQ(ColourOf(is.foreground()), ColourOf(was.foreground()));
        EXPECT_EQ(ColourOf(is.background()), ColourOf(was.background()));
    }
    EXPECT_EQ(FormatOf(*back, QStringLiteral("新年")).fontFamilies().toStringList().value(0),
              QStringLiteral("宋体"));
    QTextCursor two(back.get());
    two.setPosition(back->find(QStringLiteral("x2")).selectionEnd());
    EXPECT_EQ(two.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    for (const QString &paragraph : {QStringLiteral("Joyeux"), QStringLiteral("新年"),
                                     QStringLiteral("Wszystkiego"), QStringLiteral("Café")}) {
        const QTextBlockFormat was = BlockFormatOf(*ours, paragraph);
        const QTextBlockFormat is = BlockFormatOf(*back, paragraph);
        SCOPED_TRACE(paragraph.toStdString());
        EXPECT_EQ(is.alignment(), was.alignment());
        EXPECT_EQ(is.leftMargin(), was.leftMargin());
        EXPECT_EQ(is.textIndent(), was.textIndent());
    }
}
