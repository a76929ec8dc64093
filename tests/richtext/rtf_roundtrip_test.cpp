// A document written as RTF and read back keeps its text and every character
// and paragraph format the box offers; writing it again gives the same bytes.

#include "richtext_test_support.h"

using namespace rtftest;

namespace {

// Every character and paragraph format the box offers, in a few paragraphs;
// the last two are empty, one of them in a large font.
std::unique_ptr<QTextDocument> CardDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(QStringLiteral(
        "<p align=center style='margin-top:8px; margin-bottom:12px; line-height:150%'>"
        "<span style='font-family:DejaVu Serif; font-size:28pt; font-weight:700; color:#c00000'>"
        "Joyeux No\u00ebl </span><span style='font-family:DejaVu Sans; font-size:14pt; "
        "font-style:italic; background-color:#ffff00'>\u039a\u03b1\u03bb\u03ac</span></p>"
        "<p align=right style='margin-left:20px; margin-right:10px; text-indent:-8px; "
        "line-height:30px; -qt-line-height-type:fixed'><span style='font-family:Noto Sans CJK SC; "
        "font-size:18pt; text-decoration:underline; color:#0000ff'>\u65b0\u5e74 "
        "\u304a\u8a95\u751f\u65e5 \u0421 \U0001F382</span></p>"
        "<p align=justify style='line-height:20px; -qt-line-height-type:minimum; "
        "white-space:pre-wrap; font-family:DejaVu Sans; font-size:11.5pt'>x<sup>2</sup><sub>2</sub><s>old</s>"
        "\ttab {braces} \\ back&nbsp;nb&shy;soft\u2011hy<br>line</p>"
        "<p style='-qt-paragraph-type:empty; font-family:DejaVu Sans; font-size:40pt'><br></p>"
        "<p style='font-family:DejaVu Sans; font-size:12pt'>Anna &amp; Marc</p>"
        "<p style='-qt-paragraph-type:empty; font-family:DejaVu Sans; font-size:12pt'><br></p>"));
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
    EXPECT_TRUE(rtf.contains("\\tab tab \\{braces\\} \\\\ back\\~nb\\-soft\\_hy\\line line"));
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "RTF we write is 7-bit";

    // A font name beyond ASCII goes in the code page of its script.
    QTextDocument chinese;
    chinese.setHtml(QStringLiteral("<span style='font-family:\u5b8b\u4f53'>\u65b0</span>"));
    EXPECT_TRUE(WriteRtf(&chinese).contains("{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"));
}
