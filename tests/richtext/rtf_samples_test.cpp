// RTF as other programs write it reads with the right text and formats.
// The samples and how they were made: tests/richtext/data/README.md.

#include "richtext_test_support.h"

using namespace rtftest;

namespace {

const QString kTitle = QStringLiteral("Joyeux Noël et bonne année");
const QString kGreek = QStringLiteral("Καλά Χριστούγεννα");
const QString kRussian = QStringLiteral("С Новым годом!");

// What every sample made from card_text.html holds.
void ExpectCardText(const QTextDocument &doc, const QString &cjkFamily)
{
    const QStringList paragraphs = Paragraphs(doc);
    ASSERT_GE(paragraphs.size(), 4);
    EXPECT_EQ(paragraphs[0], kTitle);
    EXPECT_EQ(paragraphs[1], kGreek + u' ' + kRussian);
    EXPECT_TRUE(paragraphs[2].contains(QStringLiteral("新年快乐 お誕生日おめでとう")));
    EXPECT_TRUE(paragraphs[2].contains(QStringLiteral("🎂🎉")));
    EXPECT_EQ(paragraphs[3], QStringLiteral("With love, old x2 H2O Anna & Marc"));

    const QTextCharFormat title = FormatOf(doc, kTitle);
    EXPECT_EQ(title.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(title.fontPointSize(), 24);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(ColourOf(title.foreground()), QStringLiteral("#c00000"));
    EXPECT_TRUE(FormatOf(doc, kGreek).fontItalic());
    EXPECT_TRUE(FormatOf(doc, kRussian).fontUnderline());

    const QTextCharFormat chinese = FormatOf(doc, QStringLiteral("新年"));
    EXPECT_EQ(chinese.fontFamilies().toStringList().value(0), cjkFamily);
    EXPECT_EQ(chinese.fontPointSize(), 18);
    EXPECT_EQ(ColourOf(chinese.foreground()), QStringLiteral("#0000ff"));

    EXPECT_TRUE(FormatOf(doc, QStringLiteral("old")).fontStrikeOut());
    QTextCursor two(const_cast<QTextDocument *>(&doc));
    two.setPosition(doc.find(QStringLiteral("x2")).selectionEnd());
    EXPECT_EQ(two.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    two.setPosition(doc.find(QStringLiteral("H2")).selectionEnd());
    EXPECT_EQ(two.charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(ColourOf(FormatOf(doc, QStringLiteral("Anna")).background()), QStringLiteral("#ffff00"));

    EXPECT_EQ(BlockFormatOf(doc, kTitle).alignment(), Qt::AlignHCenter);
    EXPECT_EQ(BlockFormatOf(doc, QStringLiteral("新年")).alignment(), Qt::AlignRight);
    EXPECT_EQ(BlockFormatOf(doc, QStringLiteral("With love")).alignment(), Qt::AlignJustify);
}

} // namespace

TEST(RtfSamples, LibreOfficeWriter)
{
    const auto doc = Read(ReadData("libreoffice_card.rtf"));
    // Writer marks the Chinese run double-byte and gives its font and size as
    // associated ones (\dbch\afs36\af8).
    ExpectCardText(*doc, QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(Paragraphs(*doc).size(), 4);
    EXPECT_EQ(BlockFormatOf(*doc, kTitle).lineHeight(), 115); // \sl276\slmult1
}

TEST(RtfSamples, AbiWord)
{
    const auto doc = Read(ReadData("abiword_card.rtf"));
    ExpectCardText(*doc, QStringLiteral("Noto Sans CJK SC"));
}

TEST(RtfSamples, Pandoc)
{
    const auto doc = Read(ReadData("pandoc_card.rtf"));
    const QStringList paragraphs = Paragraphs(*doc);
    ASSERT_EQ(paragraphs.size(), 4);
    EXPECT_EQ(paragraphs[0], QStringLiteral("Joyeux Noël"));
    EXPECT_EQ(paragraphs[1], kGreek + QStringLiteral(" and ") + QStringLiteral("С Новым годом!"));
    EXPECT_EQ(paragraphs[2], QStringLiteral("新年快乐 お誕生日おめでとう 🎂 — with love, old x2 H2O"));
    EXPECT_EQ(paragraphs[3], QStringLiteral("A quote: “Happy birthday” & {braces} \u00a0backslash"));
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("Joyeux")).fontPointSize(), 18);
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("love")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf(*doc, QStringLiteral("love")).fontItalic());
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("A quote")).leftMargin(), 48); // \li720
}

TEST(RtfSamples, WordPadStyleCodePages)
{
    const auto doc = Read(ReadData("wordpad_card.rtf"));
    const QStringList paragraphs = Paragraphs(*doc);
    ASSERT_EQ(paragraphs.size(), 5);
    EXPECT_EQ(paragraphs[0], kTitle);                   // \'hh in 1252
    EXPECT_EQ(paragraphs[1], kGreek + u' ' + kRussian); // 1253 and 1251
    // GBK and Shift-JIS bytes, a trail byte written as plain 'a', a
    // surrogate pair in \uN.
    EXPECT_EQ(paragraphs[2], QStringLiteral("新年快乐 お誕生日おめでとう 😀"));
    EXPECT_EQ(paragraphs[3], QStringLiteral("Wszystkiego najlepszego, Łódź, old x2 H2O Anna & Marc"));
    EXPECT_EQ(paragraphs[4], QStringLiteral("\tCafé\u00a0au\u00a0lait – “quote” {braces} \\ •\u2028second line新"));

    // Font names are in their own code page too.
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("新年")).fontFamilies().toStringList().value(0),
              QStringLiteral("宋体"));
    EXPECT_EQ(FormatOf(*doc, QStringLiteral("お誕")).fontFamilies().toStringList().value(0),
              QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(ColourOf(FormatOf(*doc, QStringLiteral("新年")).foreground()), QStringLiteral("#0070c0"));
    EXPECT_EQ(ColourOf(FormatOf(*doc, QStringLiteral("Anna")).background()), QStringLiteral("#ffff00"));
    const QTextBlockFormat indented = BlockFormatOf(*doc, QStringLiteral("Café"));
    EXPECT_EQ(indented.leftMargin(), 48);
    EXPECT_EQ(indented.textIndent(), -24);
}

TEST(RtfSamples, DestinationsFieldsAndFallbacks)
{
    const auto doc = Read(QByteArrayLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}"
        "{\\*\\unknowndest hidden}{\\pict\\wmetafile8\\bin4 \x01}\\x}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}"
        "{\\header Head}{\\*\\bkmkstart b}\\plain\\uc0\\u8364 \\uc1\\u8364?\\'80\\v hidden\\v0 "
        "\\emdash\\endash\\lquote\\rquote\\~\\_\\-\\bullet\\ldblquote\\rdblquote\\par\r\n}"
        "after the end"));
    EXPECT_EQ(Paragraphs(*doc), QStringList{QStringLiteral("Link€€€—–‘’\u00a0\u2011\u00ad•“”")});
}
