// A document written as RTF and read back keeps its text and every character
// and paragraph format the box offers; writing it again gives the same bytes.

#include "richtext_test_support.h"

#include <QTextCursor>

using namespace rtftest;

namespace {

QTextCharFormat Chars(const char *family, double points, QColor colour = QColor())
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QString::fromLatin1(family)});
    format.setFontPointSize(points);
    if (colour.isValid())
        format.setForeground(colour);
    return format;
}

std::unique_ptr<QTextDocument> CardDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(8);
    centred.setBottomMargin(12);
    centred.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    cursor.setBlockFormat(centred);
    QTextCharFormat bold = Chars("DejaVu Serif", 28, QColor(0xc0, 0, 0));
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Joyeux Noël "), bold);
    QTextCharFormat italic = Chars("DejaVu Sans", 14);
    italic.setFontItalic(true);
    italic.setBackground(QColor(255, 255, 0));
    cursor.insertText(QStringLiteral("Καλά Χριστούγεννα"), italic);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setLeftMargin(20);
    right.setRightMargin(10);
    right.setTextIndent(-8);
    right.setLineHeight(30, QTextBlockFormat::FixedHeight);
    cursor.insertBlock(right);
    QTextCharFormat underline = Chars("Noto Sans CJK SC", 18, QColor(0, 0, 255));
    underline.setFontUnderline(true);
    cursor.insertText(QStringLiteral("新年快乐 お誕生日 С Новым годом 🎂"), underline);

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setLineHeight(20, QTextBlockFormat::MinimumHeight);
    cursor.insertBlock(justified);
    QTextCharFormat plain = Chars("DejaVu Sans", 11.5);
    cursor.insertText(QStringLiteral("x"), plain);
    QTextCharFormat super = plain;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText(QStringLiteral("2"), super);
    QTextCharFormat sub = plain;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(QStringLiteral("2"), sub);
    QTextCharFormat strike = plain;
    strike.setFontStrikeOut(true);
    cursor.insertText(QStringLiteral("old"), strike);
    cursor.insertText(QStringLiteral("\ttab {braces} \\ back\u00a0nb\u00adsoft\u2011hy\u2028line"),
                      plain);

    // An empty paragraph keeps the height of its font, and a last empty
    // paragraph is kept too.
    QTextBlockFormat left;
    left.setAlignment(Qt::AlignLeft);
    cursor.insertBlock(left, Chars("DejaVu Sans", 40));
    cursor.insertBlock(left, Chars("DejaVu Sans", 12));
    cursor.insertText(QStringLiteral("Anna & Marc"), Chars("DejaVu Sans", 12));
    cursor.insertBlock(left, Chars("DejaVu Sans", 12));
    return doc;
}

} // namespace

TEST(RtfRoundTrip, KeepsTextAndEveryFormat)
{
    const auto original = CardDocument();
    const QByteArray rtf = WriteRtf(original.get());
    const auto readBack = Read(rtf);

    EXPECT_EQ(Describe(*readBack), Describe(*original));
    EXPECT_EQ(Paragraphs(*readBack), Paragraphs(*original));
    // The empty paragraph's font survives, so the card keeps its spacing.
    EXPECT_EQ(readBack->findBlockByNumber(3).charFormat().fontPointSize(), 40);
    EXPECT_EQ(WriteRtf(readBack.get()), rtf);
}

TEST(RtfRoundTrip, WritesRichEditConventions)
{
    const QByteArray rtf = WriteRtf(CardDocument().get());
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 "));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red192\\green0\\blue0;"));
    EXPECT_TRUE(rtf.contains("No\\u235?l"));
    EXPECT_TRUE(rtf.contains("\\u-10180?\\u-8318?")) << "a surrogate pair, signed";
    EXPECT_TRUE(rtf.contains("\\pard\\qc"));
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "RTF we write is 7-bit";
}

TEST(RtfRoundTrip, EmptyDocumentStaysEmpty)
{
    QTextDocument empty;
    const auto readBack = Read(WriteRtf(&empty));
    EXPECT_EQ(readBack->blockCount(), 1);
    EXPECT_TRUE(readBack->toPlainText().isEmpty());
}
