// LibreOffice Writer reads the RTF we write with the same text and formats:
// it converts our file to plain text, to RTF of its own, which we read again,
// and to flat ODF text, whose lists, links and fonts say what it made of
// ours. Skipped where LibreOffice is not installed.

#include "odf_text.h"
#include "richtext_test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>

using namespace rtftest;

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

// Each test writes a document as the box saves it and has LibreOffice
// convert our file.
class RtfLibreOffice : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (m_soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    // `doc` written by us into the test's folder as `name`; the file's path.
    QString WriteOurs(const QTextDocument &doc, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(WriteRtf(&doc));
        return path;
    }

    // `file` converted by LibreOffice to `format` ("txt:...", "rtf", "fodt").
    QByteArray Converted(const QString &file, const QString &format)
    {
        const QString extension = format.section(u':', 0, 0);
        const QString outDir = m_dir.filePath(extension);
        QProcess office;
        office.setProcessChannelMode(QProcess::MergedChannels);
        office.start(m_soffice, {QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath("profile"),
                                 QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                 QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir,
                                 file});
        EXPECT_TRUE(office.waitForFinished(300000)) << "LibreOffice did not finish";
        const QString output = QString::fromLocal8Bit(office.readAll());
        EXPECT_EQ(office.exitCode(), 0) << output.toStdString();
        return Contents(outDir + u'/' + QFileInfo(file).completeBaseName() + u'.' + extension);
    }

    QString m_soffice;
    QTemporaryDir m_dir;
};

TEST_F(RtfLibreOffice, ReadsWhatWeWriteWithTheSameTextAndFormats)
{
    const auto ours = Read(ReadData("wordpad_card.rtf"));
    const QString written = WriteOurs(*ours, QStringLiteral("card.rtf"));

    // The same text, paragraph by paragraph (a line break is a new line).
    const QString text = QString::fromUtf8(Converted(written, QStringLiteral("txt:Text (encoded):UTF8")));
    QString expected = Paragraphs(*ours).join(u'\n');
    expected.replace(QChar::LineSeparator, u'\n');
    EXPECT_EQ(text.trimmed().remove(QChar(0xFEFF)), expected);

    // The same formats, as LibreOffice writes them back.
    const auto back = Read(Converted(written, QStringLiteral("rtf")));
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

// A box holding what LibreOffice wrote, written by us and read by LibreOffice
// again: the link, the two-level lists and the Chinese and Japanese runs come
// back as they were.
TEST_F(RtfLibreOffice, ReadsOurLinksListsAndEastAsianFonts)
{
    const auto ours = Read(ReadData("libreoffice_links_lists.rtf"));
    const rtftest::OdfText office(
        Converted(WriteOurs(*ours, QStringLiteral("party.rtf")), QStringLiteral("fodt")));

    EXPECT_EQ(office.ParagraphWith(QStringLiteral("Come to"))->text,
              QStringLiteral("Come to the party, see our invitation page for the way."));
    EXPECT_EQ(office.LinkOf(QStringLiteral("our invitation page")),
              QStringLiteral("https://example.org/party?day=5&time=8"));
    EXPECT_EQ(office.LinkOf(QStringLiteral("for the way")), QString());

    struct Item {
        const char *text;
        int level;
        const char *mark;
    };
    for (const Item &item : {Item{"Cake", 1, "bullet"}, Item{"Chocolate", 2, "bullet"},
                             Item{"Lemon", 2, "bullet"}, Item{"Games", 1, "bullet"},
                             Item{"Arrive", 1, "1"}, Item{"Ring twice", 2, "a"},
                             Item{"Wait", 2, "a"}, Item{"Sing", 1, "1"}}) {
        const QString text = QString::fromUtf8(item.text);
        SCOPED_TRACE(item.text);
        ASSERT_NE(office.ParagraphWith(text), nullptr);
        EXPECT_EQ(office.ParagraphWith(text)->listLevel, item.level);
        EXPECT_EQ(office.ListMarkOf(text), QString::fromUtf8(item.mark));
        EXPECT_EQ(office.ParagraphWith(text)->text.trimmed(), text);
    }
    EXPECT_NE(office.ParagraphWith(QStringLiteral("Cake"))->listStyle,
              office.ParagraphWith(QStringLiteral("Arrive"))->listStyle);
    EXPECT_EQ(office.ParagraphWith(QStringLiteral("Come to"))->listLevel, 0);

    EXPECT_EQ(office.FontOf(QStringLiteral("生日快乐"), QStringLiteral("asian")),
              QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(office.FontOf(QStringLiteral("お誕生日"), QStringLiteral("asian")),
              QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(office.FontOf(QStringLiteral("Come to")), QStringLiteral("DejaVu Sans"));
}
