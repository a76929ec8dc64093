// Links, bulleted and numbered lists and East Asian fonts, as word
// processors write them and as we write them back. The samples and how they
// were made: tests/richtext/data/README.md.

#include "richtext_test_support.h"

#include <QTextList>

using namespace rtftest;

namespace {

constexpr int kDisc = QTextListFormat::ListDisc;
constexpr int kCircle = QTextListFormat::ListCircle;
constexpr int kDecimal = QTextListFormat::ListDecimal;
constexpr int kLowerAlpha = QTextListFormat::ListLowerAlpha;

const QString kParty = QStringLiteral("https://example.org/party?day=5&time=8");

// The link at the first occurrence of `text`: its target, "" when none.
QString LinkOf(const QTextDocument &doc, const QString &text)
{
    const QTextCharFormat format = FormatOf(doc, text);
    return format.isAnchor() ? format.anchorHref() : QString();
}

// The lists of links_lists.html as a word processor that keeps its
// structure writes them: `sub` is the style of the numbered list's sublist.
void ExpectPartyLists(const QTextDocument &doc, int bullet, int sub)
{
    EXPECT_EQ(ListOf(doc, QStringLiteral("Cake")), (ListInfo{bullet, 1, QString()}));
    EXPECT_EQ(ListOf(doc, QStringLiteral("Chocolate")).level, 2);
    EXPECT_EQ(ListOf(doc, QStringLiteral("Lemon")).level, 2);
    EXPECT_EQ(ListOf(doc, QStringLiteral("Games")), (ListInfo{bullet, 1, QString()}));
    EXPECT_EQ(ListOf(doc, QStringLiteral("Arrive")), (ListInfo{kDecimal, 1, QStringLiteral("1.")}));
    EXPECT_EQ(ListOf(doc, QStringLiteral("Ring twice")).level, 2);
    EXPECT_EQ(ListOf(doc, QStringLiteral("Ring twice")).style, sub);
    EXPECT_EQ(ListOf(doc, QStringLiteral("Wait")).number.left(1), sub == kDecimal ? u"2" : u"b");
    EXPECT_EQ(ListOf(doc, QStringLiteral("Sing")), (ListInfo{kDecimal, 1, QStringLiteral("2.")}));
    // Each item's text is its own, without the number written for readers
    // that know no lists.
    for (const QString &item : {QStringLiteral("Cake"), QStringLiteral("Arrive"), QStringLiteral("Wait")})
        EXPECT_EQ(doc.find(item).block().text().trimmed(), item) << item.toStdString();
}

} // namespace

TEST(RtfLinks, ReadFromEveryWriterWithTextAndTarget)
{
    const QString text = QStringLiteral("Come to the party, see our invitation page for the way.");
    for (const char *sample : {"libreoffice_links_lists.rtf", "abiword_links_lists.rtf",
                               "pandoc_links_lists.rtf"}) {
        SCOPED_TRACE(sample);
        const auto doc = Read(ReadData(sample));
        EXPECT_EQ(Paragraphs(*doc).value(0), text);
        EXPECT_EQ(LinkOf(*doc, QStringLiteral("our invitation page")), kParty);
        EXPECT_EQ(LinkOf(*doc, QStringLiteral("Come")), QString());
        EXPECT_EQ(LinkOf(*doc, QStringLiteral("for the way")), QString());
    }
    // Shown as the writer formatted it: LibreOffice's link style is blue
    // and underlined, pandoc's underlined.
    const auto office = Read(ReadData("libreoffice_links_lists.rtf"));
    EXPECT_TRUE(FormatOf(*office, QStringLiteral("invitation")).fontUnderline());
    EXPECT_EQ(ColourOf(FormatOf(*office, QStringLiteral("invitation")).foreground()),
              QStringLiteral("#000080"));
    EXPECT_TRUE(FormatOf(*Read(ReadData("pandoc_links_lists.rtf")), QStringLiteral("invitation"))
                    .fontUnderline());
}

TEST(RtfLinks, OtherFieldsKeepTheirResultAndSwitchesAreRead)
{
    const auto doc = Read(ReadData("wordpad_links_lists.rtf"));
    EXPECT_EQ(Paragraphs(*doc).value(0), QStringLiteral("Bring anna@example.org a card, page 1."));
    EXPECT_EQ(LinkOf(*doc, QStringLiteral("anna@")), QStringLiteral("mailto:anna@example.org"));
    EXPECT_EQ(LinkOf(*doc, QStringLiteral("page")), QString());

    const auto place = Read(
        "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\" \\\\o \"tip\"}{\\fldrslt up}} "
        "{\\field{\\*\\fldinst {HYPER}{LINK \"C:\\\\\\\\Cards\\\\\\\\a \\\\\"b\\\\\".rtf\" \\\\t \"_blank\"}}"
        "{\\fldrslt file}} {\\field{\\*\\fldinst HYPERLINK \"x\"}} {\\field{\\fldinst MERGEFIELD n}"
        "{\\fldrslt {\\field{\\*\\fldinst HYPERLINK \"y\"}{\\fldrslt inner}}}}}");
    EXPECT_EQ(place->toPlainText(), QStringLiteral("up file  inner"));
    EXPECT_EQ(LinkOf(*place, QStringLiteral("up")), QStringLiteral("#top"));
    EXPECT_EQ(LinkOf(*place, QStringLiteral("file")), QStringLiteral("C:\\Cards\\a \"b\".rtf"));
    EXPECT_EQ(LinkOf(*place, QStringLiteral("inner")), QStringLiteral("y"));
}

TEST(RtfLinks, WrittenAsTheSameFieldAndReadBack)
{
    QTextDocument doc;
    doc.setHtml(QStringLiteral(
        "<p>See <a href='https://example.org/a?b=1;c=\u00e9'><span style='color:#0000ff'>"
        "<u>the</u></span> page</a><a href='#x'>next</a> now</p>"));
    const QByteArray rtf = WriteRtf(&doc);
    EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1;c=\\u233?\"}}"
                             "{\\fldrslt{"))
        << rtf.toStdString();
    // A place in the document, with the backslash of \l escaped as RTF text.
    EXPECT_TRUE(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \\\\l \"x\"}}{\\fldrslt{"));
    const auto back = Read(rtf);
    EXPECT_EQ(Describe(*back), Describe(doc));
    EXPECT_EQ(LinkOf(*back, QStringLiteral("page")), QStringLiteral("https://example.org/a?b=1;c=\u00e9"));
    EXPECT_EQ(LinkOf(*back, QStringLiteral("next")), QStringLiteral("#x"));
    EXPECT_EQ(LinkOf(*back, QStringLiteral("now")), QString());
    EXPECT_EQ(ColourOf(FormatOf(*back, QStringLiteral("the")).foreground()), QStringLiteral("#0000ff"));
    EXPECT_EQ(WriteRtf(back.get()), rtf);
}

TEST(RtfLists, ReadFromListTables)
{
    // LibreOffice keeps the sublist's letters; AbiWord numbers it 1., 2.
    ExpectPartyLists(*Read(ReadData("libreoffice_links_lists.rtf")), kDisc, kLowerAlpha);
    ExpectPartyLists(*Read(ReadData("abiword_links_lists.rtf")), kDisc, kDecimal);
}

TEST(RtfLists, ReadFromParagraphNumbering)
{
    const auto doc = Read(ReadData("wordpad_links_lists.rtf"));
    ExpectPartyLists(*doc, kDisc, kLowerAlpha);
    EXPECT_EQ(ListOf(*doc, QStringLiteral("Lemon")).style, kCircle);
    EXPECT_EQ(ListOf(*doc, QStringLiteral("Wait")).number, QStringLiteral("b)"));
    EXPECT_EQ(ListOf(*doc, QStringLiteral("Love")), ListInfo());
    // The bullet hangs where the first-line indent put it: the text starts
    // half an inch in a level.
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("Cake")).leftMargin(), 0);
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("Cake")).textIndent(), 0);
}

TEST(RtfLists, WrittenAsParagraphNumberingAndListTableAndReadBack)
{
    const auto doc = Read(ReadData("libreoffice_links_lists.rtf"));
    const QByteArray rtf = WriteRtf(doc.get());
    // Every reader knows paragraph numbering, with the number as text for
    // those that know no lists.
    EXPECT_TRUE(rtf.contains("\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf"));
    EXPECT_TRUE(rtf.contains(" a.\\tab}{\\*\\pn\\pnlvlbody"));
    EXPECT_TRUE(rtf.contains("\\pnlcltr{\\pntxta .}}"));
    // Word processors see the levels in the list table: a bulleted list
    // with its sublist, a numbered one with lettered items under it.
    EXPECT_TRUE(rtf.contains("{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelnfcn23"
                             "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext\\'01\\u8226?;}"
                             "{\\levelnumbers;}\\fi-360\\li720}"));
    EXPECT_TRUE(rtf.contains("{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
                             "{\\listlevel\\levelnfc4"));
    EXPECT_TRUE(rtf.contains("{\\listoverride\\listid2\\listoverridecount0\\ls2}"));
    EXPECT_TRUE(rtf.contains("\\ls1\\ilvl1\\hich\\af1\\dbch\\af1\\loch\\f1 Chocolate"));
    EXPECT_TRUE(rtf.contains("\\ls2\\ilvl1\\hich\\af1\\dbch\\af1\\loch\\f1 Ring twice"));
    const auto back = Read(rtf);
    ExpectPartyLists(*back, kDisc, kLowerAlpha);
    EXPECT_EQ(Describe(*back), Describe(*doc));
    EXPECT_EQ(WriteRtf(back.get()), rtf);

    // A reader that knows only paragraph numbering sees the same lists.
    QByteArray numberingOnly = rtf;
    const qsizetype tables = numberingOnly.indexOf("{\\*\\listtable");
    numberingOnly.remove(tables, numberingOnly.indexOf("{\\*\\generator") - tables);
    numberingOnly.replace("\\ls1", "").replace("\\ls2", "");
    ExpectPartyLists(*Read(numberingOnly), kDisc, kLowerAlpha);
}

TEST(RtfLists, TheListTableKeepsWhichListsBelongTogether)
{
    // Sublists under two items of one list, each counting from a; a list
    // that goes on after a paragraph outside it; a list that starts at its
    // second level; two lists one after the other.
    QTextDocument doc;
    doc.setHtml(QStringLiteral(
        "<ol><li>One<ol type=a><li>x</li><li>y</li></ol></li><li>Two<ol type=a><li>z</li></ol></li></ol>"
        "<p>Between</p><ul><li>Plain</li></ul><ol type=I><li>Roman</li></ol>"));
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    QTextList *later = cursor.insertList(QTextListFormat::ListUpperAlpha);
    cursor.insertText(QStringLiteral("First"));
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(QStringLiteral("Aside"));
    cursor.insertBlock();
    later->add(cursor.block());
    cursor.insertText(QStringLiteral("Second"));
    QTextListFormat deep;
    deep.setStyle(QTextListFormat::ListCircle);
    deep.setIndent(2);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertList(deep);
    cursor.insertText(QStringLiteral("Deep"));

    const QByteArray rtf = WriteRtf(&doc);
    EXPECT_TRUE(rtf.contains("\\ls1\\ilvl1 z")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\ls2\\ilvl0 Plain"));
    EXPECT_TRUE(rtf.contains("\\ls3\\ilvl0 Roman"));
    EXPECT_TRUE(rtf.contains("\\ls4\\ilvl0 Second"));
    EXPECT_TRUE(rtf.contains("\\ls5\\ilvl1 Deep"));
    const auto back = Read(rtf);
    EXPECT_EQ(Describe(*back), Describe(doc));
    EXPECT_EQ(ListOf(*back, QStringLiteral("z")).number, QStringLiteral("a."));
    EXPECT_EQ(ListOf(*back, QStringLiteral("Second")).number, QStringLiteral("B."));
    EXPECT_EQ(ListOf(*back, QStringLiteral("Deep")), (ListInfo{kCircle, 2, QString()}));
}

TEST(RtfLists, NumberTextIsKeptWhereNoListCanBeShown)
{
    // \ls without a list table, \listtext without a list: the number as text
    // is all there is, so it stays.
    const auto doc = Read("{\\rtf1{\\listtext 1.\\tab}\\ls7\\ilvl0 One\\par{\\pntext (a)\\tab}Two\\par"
                          "{\\*\\listtable{\\list{\\listlevel\\levelnfc255{\\leveltext\\'00;}}\\listid5}}"
                          "{\\listoverridetable{\\listoverride\\listid5\\ls2}}{\\listtext x}\\ls2 Three}");
    EXPECT_EQ(Paragraphs(*doc),
              (QStringList{QStringLiteral("1.\tOne"), QStringLiteral("(a)\tTwo"), QStringLiteral("xThree")}));
    EXPECT_EQ(ListOf(*doc, QStringLiteral("One")), ListInfo());
}

TEST(RtfFonts, EveryRunNamesItsFontForEveryKindOfCharacter)
{
    QTextDocument doc;
    doc.setHtml(QStringLiteral("<span style='font-family:Noto Sans CJK SC'>\u751f\u65e5 A</span>"
                               "<span style='font-family:DejaVu Sans'>b</span>"));
    const QByteArray rtf = WriteRtf(&doc);
    EXPECT_TRUE(rtf.contains("\\hich\\af1\\dbch\\af1\\loch\\f1")) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\hich\\af2\\dbch\\af2\\loch\\f2 b"));
    const auto back = Read(rtf);
    EXPECT_EQ(FormatOf(*back, QStringLiteral("\u751f")).fontFamilies().toStringList().value(0),
              QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(FormatOf(*back, QStringLiteral("b")).fontFamilies().toStringList().value(0),
              QStringLiteral("DejaVu Sans"));
}

TEST(RtfFonts, EastAsianRunsFromEveryWriterInTheirOwnFonts)
{
    for (const char *sample : {"libreoffice_links_lists.rtf", "abiword_links_lists.rtf"}) {
        SCOPED_TRACE(sample);
        const auto doc = Read(ReadData(sample));
        const QTextCharFormat chinese = FormatOf(*doc, QStringLiteral("\u751f\u65e5\u5feb\u4e50"));
        EXPECT_EQ(chinese.fontFamilies().toStringList().value(0), QStringLiteral("Noto Sans CJK SC"));
        EXPECT_EQ(chinese.fontPointSize(), 16);
        EXPECT_EQ(FormatOf(*doc, QStringLiteral("\u304a\u8a95\u751f\u65e5")).fontFamilies().toStringList().value(0),
                  QStringLiteral("Noto Sans CJK JP"));
    }
}

TEST(RtfLists, MarksAreDrawnInTheItemsOwnFont)
{
    // Qt draws a bullet or number in the paragraph's block format: it is
    // that of the item's first text, not what was in effect before it.
    const auto doc = Read("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 Noto Sans CJK SC;}}\\f0\\fs20 Before\\par"
                          "\\pard\\fi-360\\li720{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\f1\\fs48 Big\\f0\\fs20  small\\par}");
    const QTextCharFormat mark = doc->find(QStringLiteral("Big")).block().charFormat();
    EXPECT_EQ(mark.fontPointSize(), 24);
    EXPECT_EQ(mark.fontFamilies().toStringList().value(0), QStringLiteral("Noto Sans CJK SC"));
}
