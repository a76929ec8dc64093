// What the RTF reader does with each control word and control symbol.

#include "richtext/rtf_keywords.h"
#include "richtext/rtf_reader.h"

#include <algorithm>
#include <utility>

namespace rtf {

namespace {

// A toggle such as \b is on without a parameter and off with \b0.
bool ToggleOn(const Token &token)
{
    return !token.hasParam || token.param != 0;
}

int ParamOr(const Token &token, int fallback)
{
    return token.hasParam ? token.param : fallback;
}

} // namespace

void Reader::OnControlWord(const Token &token)
{
    const KeywordInfo info = LookUpKeyword(token.word);
    if (!std::exchange(m_starred, false)) {
        OnWord(token, info);
        return;
    }
    // {\*\word ...}: read when it is a destination we know and it applies
    // here; otherwise skipped, as readers must.
    const Destination before = State().destination;
    const bool known = IsReadDestination(info.keyword);
    if (known)
        OnWord(token, info);
    if (!known || (State().destination == before && info.keyword != Keyword::FieldResult))
        SkipCurrentGroup();
}

void Reader::OnWord(const Token &token, const KeywordInfo &info)
{
    GroupState &state = State();
    CharProps &chars = state.chars;
    ParaProps &para = state.para;
    const Keyword keyword = info.keyword;

    switch (keyword) {
    case Keyword::Unknown:
    case Keyword::Rtf:
        return;

    case Keyword::Ansi: m_tables.codePage = 1252; return;
    case Keyword::Mac: m_tables.codePage = 10000; return;
    case Keyword::Pc: m_tables.codePage = 437; return;
    case Keyword::Pca: m_tables.codePage = 850; return;
    case Keyword::AnsiCodePage:
        if (token.param > 0)
            m_tables.codePage = token.param;
        return;
    case Keyword::DefaultFont:
        m_tables.defaultFont = ParamOr(token, 0);
        m_formatDirty = true;
        return;

    // Tables are groups of their own; a table word loose in the document's
    // group must not turn the rest of the text into table entries.
    case Keyword::FontTable:
        if (m_stack.size() > 1)
            state.destination = Destination::FontTable;
        return;
    case Keyword::ColourTable:
        if (m_stack.size() > 1) {
            state.destination = Destination::ColourTable;
            m_tables.colours.clear();
        }
        return;
    case Keyword::SkippedDestination:
        SkipCurrentGroup();
        return;

    // Fields: the instruction is gathered, the result read as text.
    case Keyword::Field:
    case Keyword::FieldResult:
        return;
    case Keyword::FieldInstruction:
        if (m_stack.size() > 1 && state.destination == Destination::Text) {
            state.destination = Destination::FieldInstruction;
            m_fieldInstruction.clear();
        }
        return;

    // Paragraph numbering: {\*\pn ...} inside the paragraph.
    case Keyword::NumberingGroup:
        if (m_stack.size() > 1 && state.destination == Destination::Text) {
            state.destination = Destination::Numbering;
            m_numbering = Numbering();
            m_numbering.on = true;
        }
        return;
    case Keyword::NumberingTextBefore:
    case Keyword::NumberingTextAfter:
        if (state.destination == Destination::Numbering) {
            const bool before = keyword == Keyword::NumberingTextBefore;
            state.destination = before ? Destination::NumberingBefore : Destination::NumberingAfter;
            (before ? m_numbering.before : m_numbering.after).clear();
        }
        return;
    case Keyword::NumberingShownText:
        if (m_stack.size() > 1 && state.destination == Destination::Text) {
            state.destination = Destination::ShownNumber;
            m_shownNumber.clear();
        }
        return;
    case Keyword::NumberingBullet:
        if (state.destination == Destination::Numbering)
            m_numbering.bullet = true;
        return;
    case Keyword::NumberingBody:
    case Keyword::NumberingLevel:
        if (state.destination == Destination::Numbering)
            m_numbering.bullet = false;
        return;
    case Keyword::NumberingStyle:
        if (state.destination == Destination::Numbering)
            m_numbering.style = static_cast<QTextListFormat::Style>(info.style);
        return;

    // The list table, its overrides, and the paragraph's \ls and \ilvl.
    case Keyword::ListTable:
        if (m_stack.size() > 1)
            state.destination = Destination::ListTable;
        return;
    case Keyword::ListOverrideTable:
        if (m_stack.size() > 1)
            state.destination = Destination::ListOverrideTable;
        return;
    case Keyword::List:
        if (state.destination == Destination::ListTable) {
            std::vector<ListDefinition> &lists = m_tables.lists.lists;
            m_listAccepted = lists.size() < kMaxLists;
            m_levelAccepted = false;
            if (m_listAccepted)
                lists.emplace_back();
        }
        return;
    case Keyword::ListLevel:
        if (state.destination == Destination::ListTable && m_listAccepted) {
            std::vector<ListLevel> &levels = m_tables.lists.lists.back().levels;
            m_levelAccepted = levels.size() < static_cast<std::size_t>(kListLevels);
            if (m_levelAccepted)
                levels.emplace_back();
        }
        return;
    case Keyword::LevelNumberFormat:
        if (ListLevel *level = CurrentListLevel();
            level && state.destination == Destination::ListTable)
            level->numberFormat = ParamOr(token, 0);
        return;
    case Keyword::LevelText:
        if (state.destination == Destination::ListTable && CurrentListLevel()) {
            state.destination = Destination::LevelText;
            m_levelText.clear();
        }
        return;
    case Keyword::ListId:
        if (state.destination == Destination::ListTable && m_listAccepted)
            m_tables.lists.lists.back().id = ParamOr(token, 0);
        else if (state.destination == Destination::ListOverrideTable)
            m_tables.lists.pendingListId = ParamOr(token, 0);
        return;
    case Keyword::ListOverride:
        if (state.destination == Destination::ListOverrideTable)
            m_tables.lists.FinishOverride();
        return;
    case Keyword::ListOverrideIndex:
        if (state.destination == Destination::ListOverrideTable)
            m_tables.lists.pendingOverride = ParamOr(token, 0);
        else
            para.listOverride = std::max(ParamOr(token, 0), 0);
        return;
    case Keyword::ListLevelIndex:
        para.listLevel = std::clamp(ParamOr(token, 0), 0, kListLevels - 1);
        return;

    case Keyword::FontCharset:
        if (state.destination == Destination::FontTable) {
            FontEntry &entry = m_tables.fonts[m_fontEntry];
            entry.charset = ParamOr(token, 0);
            entry.codePage = CodePageOfCharset(entry.charset);
        }
        return;
    case Keyword::FontCodePage:
        if (state.destination == Destination::FontTable && token.param > 0)
            m_tables.fonts[m_fontEntry].codePage = token.param;
        return;
    case Keyword::Red:
    case Keyword::Green:
    case Keyword::Blue:
        if (state.destination == Destination::ColourTable) {
            const int value = std::clamp(ParamOr(token, 0), 0, 255);
            int &component = keyword == Keyword::Red     ? m_red
                             : keyword == Keyword::Green ? m_green
                                                         : m_blue;
            component = value;
            m_colourGiven = true;
        }
        return;

    case Keyword::Font:
        if (state.destination == Destination::FontTable) {
            FinishFontEntry();
            m_fontEntry = ParamOr(token, 0);
            m_tables.fonts[m_fontEntry];
        } else {
            chars.font = ParamOr(token, 0);
        }
        break;
    case Keyword::Plain: chars = CharProps(); break;
    case Keyword::FontSize: chars.halfPoints = ParamOr(token, 24); break;
    case Keyword::Colour: chars.colour = ParamOr(token, 0); break;
    case Keyword::Highlight: chars.highlight = ParamOr(token, 0); break;
    case Keyword::Bold: chars.bold = ToggleOn(token); break;
    case Keyword::Italic: chars.italic = ToggleOn(token); break;
    case Keyword::Underline: chars.underline = ToggleOn(token); break;
    case Keyword::UnderlineNone: chars.underline = false; break;
    case Keyword::Strike: chars.strike = ToggleOn(token); break;
    case Keyword::Hidden: chars.hidden = ToggleOn(token); break;
    case Keyword::Super:
        chars.vertical = ToggleOn(token) ? VerticalPosition::Super : VerticalPosition::Normal;
        break;
    case Keyword::Sub:
        chars.vertical = ToggleOn(token) ? VerticalPosition::Sub : VerticalPosition::Normal;
        break;
    case Keyword::NoSuperSub: chars.vertical = VerticalPosition::Normal; break;
    // Raised and lowered text (\upN, \dnN, in half-points) is shown as
    // superscript and subscript.
    case Keyword::Raise:
        chars.vertical = ParamOr(token, 6) > 0 ? VerticalPosition::Super : VerticalPosition::Normal;
        break;
    case Keyword::Lower:
        chars.vertical = ParamOr(token, 6) > 0 ? VerticalPosition::Sub : VerticalPosition::Normal;
        break;
    case Keyword::SingleByte: chars.doubleByte = false; break;
    case Keyword::DoubleByte: chars.doubleByte = true; break;
    case Keyword::AssociatedFont:
        if (chars.doubleByte)
            chars.associatedFont = ParamOr(token, 0);
        break;
    case Keyword::AssociatedFontSize:
        if (chars.doubleByte)
            chars.associatedHalfPoints = ParamOr(token, 24);
        break;

    case Keyword::ParagraphDefault: para = ParaProps(); return;
    case Keyword::AlignLeft: para.alignment = Qt::AlignLeft; return;
    case Keyword::AlignCentre: para.alignment = Qt::AlignHCenter; return;
    case Keyword::AlignRight: para.alignment = Qt::AlignRight; return;
    case Keyword::AlignJustify: para.alignment = Qt::AlignJustify; return;
    case Keyword::LeftIndent: para.leftIndent = ParamOr(token, 0); return;
    case Keyword::RightIndent: para.rightIndent = ParamOr(token, 0); return;
    case Keyword::FirstIndent: para.firstIndent = ParamOr(token, 0); return;
    case Keyword::SpaceBefore: para.spaceBefore = ParamOr(token, 0); return;
    case Keyword::SpaceAfter: para.spaceAfter = ParamOr(token, 0); return;
    case Keyword::LineSpacing: para.lineSpacing = ParamOr(token, 0); return;
    case Keyword::LineMultiple: para.lineMultiple = ToggleOn(token); return;

    case Keyword::SectionBreak:
        // A section or page break ends the paragraph it stands in; after a
        // paragraph mark it adds none of its own.
        if (state.destination != Destination::Text || m_builder.AtParagraphStart())
            return;
        [[fallthrough]];
    case Keyword::Paragraph:
        if (state.destination == Destination::Text)
            OnParagraphEnd();
        return;
    case Keyword::Line: AppendString(QString(QChar::LineSeparator)); return;
    case Keyword::Tab: AppendString(QStringLiteral("\t")); return;
    case Keyword::Character: AppendString(QString(QChar(info.character))); return;
    case Keyword::Unicode: {
        // \uN counts UTF-16 units as a signed 16-bit number; a character
        // beyond the first plane comes as two of them.
        const int unit = ParamOr(token, 0) & 0xFFFF;
        AppendString(QString(QChar(static_cast<char16_t>(unit))));
        m_fallbackLeft = state.unicodeSkip;
        return;
    }
    case Keyword::UnicodeSkip:
        state.unicodeSkip = std::clamp(ParamOr(token, 1), 0, kMaxFallback);
        return;
    }
    // Only character properties come here.
    m_formatDirty = true;
    return;
}

void Reader::OnControlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        OnBytes(std::string_view(&symbol, 1));
        return;
    case '~':
        FlushBytes();
        AppendString(QString(QChar(0x00A0)));
        return;
    case '-':
        FlushBytes();
        AppendString(QString(QChar(0x00AD)));
        return;
    case '_':
        FlushBytes();
        AppendString(QString(QChar(0x2011)));
        return;
    case '*':
        // An ignorable destination follows: the next word says whether we
        // read it (OnControlWord) or skip it.
        FlushBytes();
        m_starred = m_stack.size() > 1;
        return;
    case '\r':
    case '\n': {
        FlushBytes();
        Token par{TokenType::ControlWord};
        par.word = "par";
        OnControlWord(par);
        return;
    }
    default:
        return;
    }
}

} // namespace rtf
