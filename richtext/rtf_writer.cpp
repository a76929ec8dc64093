// The RTF writer: a font table and a colour table built while the body is
// written, paragraphs with their formats, and runs that name only the
// character formats that change, all in the conventions of the Windows
// rich-edit control so that word processors read it as written.

#include "richtext/rtf.h"

#include "report/length.h"
#include "richtext/rtf_codepage.h"
#include "richtext/rtf_escape.h"
#include "richtext/rtf_fields.h"
#include "richtext/rtf_list_table_writer.h"
#include "richtext/rtf_lists.h"

#include <QFont>
#include <QFontInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>

namespace {

// Document lengths are card pixels (96 dpi): 15 twips each.
constexpr double kTwipsPerPixel = TLength::TwipsPerPixel(TLength::CardPixelsPerInch);

struct RunFormat {
    int font = -1;
    int halfPoints = 24;
    int colour = 0;
    int highlight = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
};

// A font's character set and name for the font table. A name beyond ASCII is
// written as the rich-edit control writes it: in the code page of a character
// set that can hold it (宋体 as \fcharset134 \'cb\'ce\'cc\'e5), which is
// also what tells a reader the font's script. Only a name that no such code
// page holds falls back to \uN.
QByteArray FontNameEntry(const QString &fullName)
{
    // Characters that never reach the file must not decide the character
    // set either, or the name read back would be written another way.
    const QString name = rtf::WithoutStructureCharacters(fullName);
    // The bullets' fonts have their own symbol character set.
    if (name == u"Symbol" || name == u"Wingdings")
        return "\\fcharset2 " + name.toLatin1();
    const bool ascii = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
    const bool kana = std::any_of(name.begin(), name.end(),
                                  [](QChar c) { return c.unicode() >= 0x3040 && c.unicode() < 0x3100; });
    if (!ascii) {
        // Japanese first when the name has kana; the Chinese sets hold most
        // other Han names.
        const int charsets[] = {kana ? 128 : 134, kana ? 134 : 128, 136, 129, 204, 161, 238,
                                162, 177, 178, 186, 222, 163};
        for (const int charset : charsets) {
            const auto bytes = rtf::EncodeInCodePage(rtf::CodePageOfCharset(charset), name);
            if (!bytes)
                continue;
            QByteArray entry = "\\fcharset" + QByteArray::number(charset) + ' ';
            for (const char c : *bytes) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 0x80 || byte < 0x20 || c == '\\' || c == '{' || c == '}' || c == ';')
                    entry += rtf::HexByte(byte);
                else
                    entry += c;
            }
            return entry;
        }
    }
    QByteArray entry = "\\fcharset0";
    bool needDelimiter = true;
    rtf::AppendEscaped(entry, name, needDelimiter);
    return entry;
}

class Writer {
public:
    explicit Writer(const QTextDocument *doc) : m_doc(doc)
    {
        // Name the family the default font resolves to, not an alias such as
        // "Sans Serif" that other systems would not know.
        m_defaultFamily = QFontInfo(doc->defaultFont()).family();
        FontIndex(m_defaultFamily);
    }

    QByteArray Write();

private:
    void WriteParagraph(const QTextBlock &block);
    void WriteParagraphFormat(const QTextBlockFormat &format, const QTextList *list);
    void WriteNumbering(const QTextBlock &block, const QTextList &list);
    void OpenLink(const QString &target);
    void CloseLink(const RunFormat &outside);
    void WriteRunFormat(const QTextCharFormat &format);
    void WriteText(const QString &text);
    void Word(const char *word);
    void Word(const char *word, long long value);
    int FontIndex(const QString &family);
    int ColourIndex(const QBrush &brush);
    RunFormat RunFormatOf(const QTextCharFormat &format);

    const QTextDocument *m_doc;
    QString m_defaultFamily;
    QStringList m_fonts;
    QList<QColor> m_colours;
    QByteArray m_body;
    bool m_needDelimiter = false; // a control word was written last
    RunFormat m_run;
    rtf::ListTableWriter m_listTable;
};

QByteArray Writer::Write()
{
    for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next())
        WriteParagraph(block);

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fnil" + FontNameEntry(m_fonts[i]) + ";}";
    rtf += "}\r\n";
    if (!m_colours.isEmpty()) {
        rtf += "{\\colortbl ;";
        for (const QColor &colour : m_colours)
            rtf += "\\red" + QByteArray::number(colour.red()) + "\\green"
                   + QByteArray::number(colour.green()) + "\\blue"
                   + QByteArray::number(colour.blue()) + ";";
        rtf += "}\r\n";
    }
    rtf += m_listTable.Tables();
    rtf += "{\\*\\generator Tessaly;}\\viewkind4\\uc1 \r\n";
    rtf += m_body;
    rtf += "}\r\n";
    return rtf;
}

void Writer::WriteParagraph(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    WriteParagraphFormat(block.blockFormat(), list);
    if (list)
        WriteNumbering(block, *list);
    if (const auto place = m_listTable.PlaceOf(block)) {
        Word("ls", place->override);
        Word("ilvl", place->level);
    }
    bool empty = true;
    QString link;       // of the field being written
    RunFormat outside;  // the run format in effect outside it
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || rtf::WithoutStructureCharacters(fragment.text()).isEmpty())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        const QString target = format.isAnchor() ? format.anchorHref() : QString();
        if (target != link) {
            if (!link.isEmpty())
                CloseLink(outside);
            outside = m_run;
            if (!target.isEmpty())
                OpenLink(target);
            link = target;
        }
        WriteRunFormat(format);
        WriteText(fragment.text());
        empty = false;
    }
    if (!link.isEmpty())
        CloseLink(outside);
    // An empty paragraph is as high as its mark's font: say which one.
    if (empty)
        WriteRunFormat(block.charFormat());
    Word("par");
    m_body += "\r\n";
    m_needDelimiter = false;
}

// A link is a HYPERLINK field whose result is the link's text, formatted as
// it is shown: {\field{\*\fldinst{HYPERLINK "target"}}{\fldrslt{text}}}.
void Writer::OpenLink(const QString &target)
{
    m_body += "{\\field{\\*\\fldinst{";
    m_needDelimiter = false;
    WriteText(rtf::HyperlinkInstruction(target));
    m_body += "}}{\\fldrslt{";
    m_needDelimiter = false;
}

void Writer::CloseLink(const RunFormat &outside)
{
    // The groups' ends restore the formats in effect before them.
    m_body += "}}}";
    m_needDelimiter = false;
    m_run = outside;
}

namespace {

// The \pn words of a number style.
const char *NumberingWord(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha: return "\\pnlcltr";
    case QTextListFormat::ListUpperAlpha: return "\\pnucltr";
    case QTextListFormat::ListLowerRoman: return "\\pnlcrm";
    case QTextListFormat::ListUpperRoman: return "\\pnucrm";
    default: return "\\pndec";
    }
}

} // namespace

// A list item as the rich-edit control writes one, which every reader takes
// as a list: the number as text for readers without lists ({\pntext ...}),
// then the numbering itself ({\*\pn ...}). Bullets are the Symbol font's
// (disc), Courier New's "o" (circle) and Wingdings' square.
void Writer::WriteNumbering(const QTextBlock &block, const QTextList &list)
{
    const QTextListFormat format = list.format();
    const QTextListFormat::Style style = format.style();
    if (rtf::IsBulletStyle(style)) {
        const char *family = style == QTextListFormat::ListCircle   ? "Courier New"
                             : style == QTextListFormat::ListSquare ? "Wingdings"
                                                                    : "Symbol";
        const QByteArray mark = style == QTextListFormat::ListCircle   ? QByteArray(" o")
                                : style == QTextListFormat::ListSquare ? QByteArray("\\'a7")
                                                                       : QByteArray("\\'b7");
        const QByteArray font = QByteArray::number(FontIndex(QString::fromLatin1(family)));
        m_body += "{\\pntext\\f" + font + mark + "\\tab}{\\*\\pn\\pnlvlblt\\pnf" + font
                  + "\\pnindent0{\\pntxtb" + mark + "}}";
    } else {
        QTextCharFormat first = block.charFormat();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().isValid() && !rtf::WithoutStructureCharacters(it.fragment().text()).isEmpty()) {
                first = it.fragment().charFormat();
                break;
            }
        }
        const QByteArray font = QByteArray::number(RunFormatOf(first).font);
        m_body += "{\\pntext\\f" + font + rtf::Escaped(list.itemText(block)) + "\\tab}";
        m_body += "{\\*\\pn\\pnlvlbody\\pnf" + font + "\\pnindent0\\pnstart1";
        m_body += NumberingWord(style);
        if (const QString prefix = rtf::NumberAffix(format.numberPrefix()); !prefix.isEmpty())
            m_body += "{\\pntxtb" + rtf::Escaped(prefix) + '}';
        if (const QString suffix = rtf::NumberAffix(rtf::NumberSuffixOf(format)); !suffix.isEmpty())
            m_body += "{\\pntxta" + rtf::Escaped(suffix) + '}';
        m_body += '}';
    }
    m_needDelimiter = false;
}

void Writer::WriteParagraphFormat(const QTextBlockFormat &format, const QTextList *list)
{
    Word("pard");
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & (Qt::AlignHCenter | Qt::AlignCenter))
        Word("qc");
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        Word("qr");
    else if (alignment & Qt::AlignJustify)
        Word("qj");
    const auto twips = [](qreal pixels) { return std::llround(pixels * kTwipsPerPixel); };
    if (list) {
        // The bullet or number hangs in the half inch a level that the
        // list adds to the paragraph's indent.
        const int levels = std::clamp(list->format().indent(), 1, rtf::kListLevels);
        Word("fi", -rtf::kTwipsPerListLevel / 2);
        Word("li", twips(format.leftMargin()) + levels * rtf::kTwipsPerListLevel);
    } else {
        if (const auto value = twips(format.leftMargin()))
            Word("li", value);
        if (const auto value = twips(format.textIndent()))
            Word("fi", value);
    }
    if (const auto value = twips(format.rightMargin()))
        Word("ri", value);
    if (const auto value = twips(format.topMargin()))
        Word("sb", value);
    if (const auto value = twips(format.bottomMargin()))
        Word("sa", value);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (format.lineHeight() != 100) {
            Word("sl", std::llround(format.lineHeight() * 240.0 / 100.0));
            Word("slmult", 1);
        }
        break;
    case QTextBlockFormat::FixedHeight:
        Word("sl", -twips(format.lineHeight()));
        Word("slmult", 0);
        break;
    case QTextBlockFormat::MinimumHeight:
        Word("sl", twips(format.lineHeight()));
        Word("slmult", 0);
        break;
    default:
        break;
    }
}

RunFormat Writer::RunFormatOf(const QTextCharFormat &format)
{
    RunFormat run;
    const QFont fallback = m_doc->defaultFont();
    QString family = format.fontFamilies().toStringList().value(0);
    if (family.isEmpty())
        family = m_defaultFamily;
    run.font = FontIndex(family);

    double points = format.fontPointSize();
    if (points <= 0 && format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (points <= 0)
        points = fallback.pointSizeF() > 0 ? fallback.pointSizeF() : fallback.pixelSize() * 0.75;
    run.halfPoints = std::max(2, static_cast<int>(std::lround(points * 2)));

    run.bold = format.fontWeight() >= QFont::DemiBold;
    run.italic = format.fontItalic();
    run.underline = format.fontUnderline();
    run.strike = format.fontStrikeOut();
    run.vertical = format.verticalAlignment();
    run.colour = ColourIndex(format.foreground());
    run.highlight = ColourIndex(format.background());
    return run;
}

void Writer::WriteRunFormat(const QTextCharFormat &format)
{
    const RunFormat run = RunFormatOf(format);
    const auto toggle = [this](bool was, bool is, const char *word) {
        if (was != is)
            is ? Word(word) : Word(word, 0);
    };
    if (run.font != m_run.font) {
        // Readers take the font of each kind of character from its own
        // associated font: double-byte (Chinese, Japanese, Korean) text from
        // \dbch\af, the rest from \hich\af and \loch\f. All are the run's.
        Word("hich");
        Word("af", run.font);
        Word("dbch");
        Word("af", run.font);
        Word("loch");
        Word("f", run.font);
    }
    if (run.halfPoints != m_run.halfPoints)
        Word("fs", run.halfPoints);
    if (run.colour != m_run.colour)
        Word("cf", run.colour);
    if (run.highlight != m_run.highlight)
        Word("highlight", run.highlight);
    toggle(m_run.bold, run.bold, "b");
    toggle(m_run.italic, run.italic, "i");
    if (m_run.underline != run.underline)
        Word(run.underline ? "ul" : "ulnone");
    toggle(m_run.strike, run.strike, "strike");
    if (run.vertical != m_run.vertical) {
        if (run.vertical == QTextCharFormat::AlignSuperScript)
            Word("super");
        else if (run.vertical == QTextCharFormat::AlignSubScript)
            Word("sub");
        else
            Word("nosupersub");
    }
    m_run = run;
}

void Writer::WriteText(const QString &text)
{
    rtf::AppendEscaped(m_body, text, m_needDelimiter);
}

void Writer::Word(const char *word)
{
    m_body += '\\';
    m_body += word;
    m_needDelimiter = true;
}

void Writer::Word(const char *word, long long value)
{
    m_body += '\\';
    m_body += word;
    m_body += QByteArray::number(value);
    m_needDelimiter = true;
}

int Writer::FontIndex(const QString &family)
{
    qsizetype index = m_fonts.indexOf(family);
    if (index < 0) {
        index = m_fonts.size();
        m_fonts.append(family);
    }
    return static_cast<int>(index);
}

int Writer::ColourIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QColor colour = brush.color().toRgb();
    const QColor opaque(colour.red(), colour.green(), colour.blue());
    qsizetype index = m_colours.indexOf(opaque);
    if (index < 0) {
        index = m_colours.size();
        m_colours.append(opaque);
    }
    return static_cast<int>(index) + 1;
}

} // namespace

QByteArray WriteRtf(const QTextDocument *doc)
{
    if (!doc)
        return {};
    return Writer(doc).Write();
}
