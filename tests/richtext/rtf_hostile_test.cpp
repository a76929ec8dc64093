// Hostile and damaged RTF never crashes or hangs the reader: it refuses what
// is beyond a text box's bounds and keeps what was readable of the rest.
// (How long each takes is measured with tessaly-rtf, not here.)

#include "richtext_test_support.h"

#include <QDir>

#include <random>

using namespace rtftest;

namespace {

QByteArray Repeat(const char *piece, int times)
{
    return QByteArray(piece).repeated(times);
}

bool Refused(const QByteArray &rtf, QString *error)
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("old content"));
    const bool read = ReadRtf(rtf, &doc, error);
    EXPECT_TRUE(read || doc.isEmpty()) << "a refused file leaves the document empty";
    return !read;
}

} // namespace

TEST(RtfHostile, UnbalancedBracesKeepTheText)
{
    EXPECT_EQ(Read("{\\rtf1 {\\b one}\\par {{{two")->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(Read("{\\rtf1 one}}}}{\\rtf1 two}")->toPlainText(), QStringLiteral("one"));
    EXPECT_EQ(Read("{\\rtf1 {\\*\\skipped {never closed")->toPlainText(), QString());
    EXPECT_EQ(Read("{\\rtf1\\fonttbl\\colortbl\\info\\*text;}")->toPlainText(), QStringLiteral("text;"));
}

TEST(RtfHostile, DeepNestingIsBounded)
{
    const QByteArray deep = "{\\rtf1 before" + Repeat("{", 100000) + "deep" + Repeat("}", 100000)
                            + " after}";
    // Text nested deeper than any real document is dropped, the rest kept.
    EXPECT_EQ(Read(deep)->toPlainText(), QStringLiteral("before after"));
    const QByteArray shallow = "{\\rtf1 " + Repeat("{\\b ", 200) + "kept" + Repeat("}", 200) + "}";
    EXPECT_EQ(Read(shallow)->toPlainText(), QStringLiteral("kept"));
}

TEST(RtfHostile, OutOfBoundsFilesAreRefused)
{
    QString error;
    EXPECT_TRUE(Refused("{\\rtf1 " + Repeat("x\\par ", 1000000) + "}", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("100000 paragraphs"))) << error.toStdString();
    EXPECT_TRUE(Refused("{\\rtf1 " + QByteArray(kMaxRtfBytes, 'x') + "}", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("16 MB"))) << error.toStdString();
    EXPECT_TRUE(Refused("{\\rtf1 " + QByteArray(kMaxRtfCharacters + 1, 'x') + "}", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("1000000 characters"))) << error.toStdString();
    EXPECT_TRUE(Refused("Dear Anna,", &error));
    EXPECT_EQ(error, QStringLiteral("The file is not in Rich Text Format."));
    EXPECT_TRUE(Refused(QByteArray(), &error));
    // Up to the bound is fine.
    EXPECT_FALSE(Refused("{\\rtf1 " + Repeat("x\\par ", kMaxRtfParagraphs) + "}", &error));
}

TEST(RtfHostile, PlainTextParagraphsCountHoweverTheyEnd)
{
    // Carriage returns on their own and paragraph separators end paragraphs
    // as line feeds do, and count towards the bound.
    QTextDocument doc;
    QString error;
    EXPECT_FALSE(ReadRtfOrPlainText(Repeat("x\r", kMaxRtfParagraphs + 1), &doc, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("100000 paragraphs"))) << error.toStdString();
    EXPECT_FALSE(ReadRtfOrPlainText(Repeat("x\xE2\x80\xA9", kMaxRtfParagraphs + 1), &doc, &error));
    ASSERT_TRUE(ReadRtfOrPlainText("one\rtwo\r\nthree\xE2\x80\xA9" "four\x01\xEF\xBF\xBC", &doc, &error));
    EXPECT_EQ(Paragraphs(doc), (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                            QStringLiteral("three"), QStringLiteral("four")}));
}

TEST(RtfHostile, HugeTablesWordsNumbersAndBinaryData)
{
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 100000; ++i)
        fonts += "{\\f" + QByteArray::number(i) + "\\fcharset" + QByteArray::number(i % 256) + " F;}";
    fonts += "}\\f99999 text}";
    EXPECT_EQ(Read(fonts)->toPlainText(), QStringLiteral("text"));

    const QByteArray colours = "{\\rtf1{\\colortbl;" + Repeat("\\red1\\green2\\blue3;", 100000)
                               + "}\\cf99999 text}";
    EXPECT_EQ(Read(colours)->toPlainText(), QStringLiteral("text"));

    EXPECT_EQ(Read("{\\rtf1 a\\bin2147483647 }}}}")->toPlainText(), QStringLiteral("a"));
    EXPECT_EQ(Read("{\\rtf1 a\\bin-5 b}")->toPlainText(), QStringLiteral("ab"));
    EXPECT_EQ(Read("{\\rtf1 a\\" + QByteArray(1000000, 'b') + " c}")->toPlainText(),
              QStringLiteral("ac"));
    EXPECT_EQ(Read("{\\rtf1 \\fs" + QByteArray(1000000, '9') + " big\\fs-99999999999 small}")
                  ->toPlainText(),
              QStringLiteral("bigsmall"));
    EXPECT_EQ(Read("{\\rtf1 \\uc2147483647\\u65 xyz} ")->toPlainText(), QStringLiteral("A"));
    EXPECT_EQ(Read("{\\rtf1 \\u-2147483648 \\u99999999 ok}")->toPlainText().right(2),
              QStringLiteral("ok"));
    EXPECT_EQ(Read("{\\rtf1 " + Repeat("\\'", 100000) + "\\'zz\\'4}")->toPlainText(),
              QStringLiteral("zz4"));
}

TEST(RtfHostile, TruncatedAtAnyByte)
{
    const QByteArray sample = ReadData("wordpad_card.rtf");
    for (qsizetype length = 0; length <= sample.size(); ++length) {
        QTextDocument doc;
        ReadRtf(sample.left(length), &doc, nullptr);
        WriteRtf(&doc);
    }
    const auto cut = Read(sample.left(sample.indexOf("Anna")));
    EXPECT_TRUE(cut->toPlainText().startsWith(QStringLiteral("Joyeux No")));
}

TEST(RtfHostile, RandomDamageToSamples)
{
    // A bounded fuzz run: mutated samples read without crashing, and what we
    // write of them reads back the same.
    std::mt19937 random(20261209);
    const QByteArray samples[] = {ReadData("wordpad_card.rtf"), ReadData("libreoffice_card.rtf")};
    const char tokens[] = "{}\\'0;9-*\x80\xff ";
    for (int round = 0; round < 600; ++round) {
        QByteArray rtf = samples[round % 2];
        for (int change = 0; change < 1 + round % 8; ++change) {
            const auto at = static_cast<qsizetype>(random() % rtf.size());
            rtf[at] = tokens[random() % (sizeof tokens - 1)];
        }
        QTextDocument doc;
        if (!ReadRtf(rtf, &doc, nullptr))
            continue;
        const QByteArray written = WriteRtf(&doc);
        QTextDocument again;
        ASSERT_TRUE(ReadRtf(written, &again, nullptr));
        ASSERT_EQ(Describe(again), Describe(doc)) << "round " << round;
    }
}

// Inputs the fuzz target (richtext/fuzz) found, kept in data/hostile: each
// reads, and what we write of it reads back as the same document.
TEST(RtfHostile, FuzzFindingsReadBackAsWritten)
{
    const QDir folder(DataPath("hostile"));
    const QStringList files = folder.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto doc = Read(file.readAll());
        const QByteArray written = WriteRtf(doc.get());
        const auto back = Read(written);
        EXPECT_EQ(Describe(*back), Describe(*doc));
        EXPECT_EQ(WriteRtf(back.get()).toStdString(), written.toStdString());
    }
}

TEST(RtfHostile, ListItemsWithExtremeIndents)
{
    // The indents' arithmetic overflowed; such items go to the deepest and
    // the first level.
    const auto doc = Read(ReadData("hostile/list-indent-overflow.rtf"));
    EXPECT_EQ(ListOf(*doc, QStringLiteral("deep")).level, 9);
    EXPECT_EQ(ListOf(*doc, QStringLiteral("shallow")), (ListInfo{QTextListFormat::ListDecimal, 1, QStringLiteral("1")}));
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("shallow")).leftMargin(), 0);
}

TEST(RtfHostile, ControlCharactersAreNoPartOfNamesTargetsOrNumbers)
{
    const auto doc = Read("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Ne\\u10 ?w\\'01;}}\\f0 "
                          "{\\field{\\*\\fldinst HYPERLINK \"a\\'00b\\u8233?c\"}{\\fldrslt link}}"
                          " x\\u8233?y\\u65532?z\\u-560?.\\par"
                          "{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb \\'00(}{\\pntxta )\\'02}}item}");
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("link")).fontFamilies().toStringList().value(0),
              QStringLiteral("New"));
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("link")).anchorHref(), QStringLiteral("abc"));
    // Paragraph separators, object and frame marks would be structure in
    // the document, not text.
    EXPECT_EQ(Paragraphs(*doc), (QStringList{QStringLiteral("link xyz."), QStringLiteral("item")}));
    EXPECT_EQ(ListOf(*doc, QStringLiteral("item")).number, QStringLiteral("(1)"));
}

TEST(RtfHostile, CodePagesKeepTheirLastCharacterAndNoLookAlikes)
{
    // 1258 holds back a character in case a combining mark follows.
    const auto vietnamese = Read("{\\rtf1{\\fonttbl{\\f0\\fcharset163 Times;}}\\f0 Xin cha\\'eco\\par "
                                 "ch\\'e0o}");
    EXPECT_EQ(Paragraphs(*vietnamese), (QStringList{QStringLiteral("Xin cháo"), QStringLiteral("chào")}));
    // A font name with a character that a code page only has a look-alike of
    // is not written in that page.
    const auto doc = Read("{\\rtf1{\\fonttbl{\\f0 Courie\\'acr New;}}\\f0 x}");
    const QByteArray rtf = WriteRtf(doc.get());
    EXPECT_EQ(FormatOf(*Read(rtf), QStringLiteral("x")).fontFamilies().toStringList().value(0),
              QStringLiteral("Courie\u00acr New"))
        << rtf.toStdString();
}
