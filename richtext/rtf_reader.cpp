// The RTF reader: one loop over the tokens, a stack of group states, and the
// destinations the text goes to. Nothing recurses, nesting beyond kMaxDepth is
// skipped, and a file that ends early keeps what was read up to its end.

#include "richtext/rtf.h"

#include "richtext/rtf_reader.h"

#include "richtext/rtf_escape.h"
#include "richtext/rtf_fields.h"
#include "richtext/twips.h"

#include <algorithm>
#include <utility>

namespace rtf {

bool Reader::Read(std::string_view data)
{
    Tokenizer tokens(data);
    bool ended = false;
    while (!ended) {
        const Token token = tokens.Next();
        if (token.type == TokenType::End)
            break;
        if (!InGroup()) {
            // Only the opening brace of the document counts; what follows
            // its closing brace is not part of it.
            if (m_started)
                ended = true;
            else if (token.type == TokenType::GroupStart)
                m_stack.emplace_back();
            m_started = m_started || InGroup();
            continue;
        }
        if (m_skipping) {
            OnSkippedToken(token.type);
            continue;
        }
        if (m_starred && token.type != TokenType::ControlWord) {
            // {\* followed by anything but a word: nothing readers know.
            m_starred = false;
            FlushBytes();
            SkipCurrentGroup();
            OnSkippedToken(token.type);
            continue;
        }
        switch (token.type) {
        case TokenType::GroupStart:
            FlushBytes();
            m_fallbackLeft = 0;
            OnGroupStart();
            break;
        case TokenType::GroupEnd:
            FlushBytes();
            m_fallbackLeft = 0;
            OnGroupEnd();
            break;
        case TokenType::ControlWord:
            FlushBytes();
            if (m_fallbackLeft > 0)
                --m_fallbackLeft;
            else
                OnControlWord(token);
            break;
        case TokenType::ControlSymbol:
            if (m_fallbackLeft > 0)
                --m_fallbackLeft;
            else
                OnControlSymbol(token.symbol);
            break;
        case TokenType::HexByte:
            if (m_fallbackLeft > 0)
                --m_fallbackLeft;
            else
                OnBytes(std::string_view(reinterpret_cast<const char *>(&token.byte), 1));
            break;
        case TokenType::Text: {
            std::string_view bytes = token.text;
            OnFallbackSkipped(bytes);
            OnBytes(bytes);
            break;
        }
        case TokenType::Binary:
            // Binary data belongs to pictures and objects, which are skipped;
            // anywhere else it has no meaning.
            if (m_fallbackLeft > 0)
                --m_fallbackLeft;
            break;
        case TokenType::End:
            break;
        }
        if (!m_builder.WithinBounds())
            return false;
    }
    FlushBytes();
    FinishFontEntry();
    if (InGroup()) {
        m_lastParagraph = State().para; // cut short: the paragraph in effect
        if (State().destination == Destination::Text)
            SettleShownNumber();
    }
    const auto item = m_tables.ListItemOf(m_lastParagraph);
    m_builder.Finish(BlockFormat(m_lastParagraph, item), item);
    return true;
}

void Reader::OnSkippedToken(TokenType type)
{
    // Only the braces count, to find the end of the skipped group.
    if (type == TokenType::GroupStart) {
        ++m_skipNesting;
    } else if (type == TokenType::GroupEnd) {
        if (m_skipNesting > 0) {
            --m_skipNesting;
            return;
        }
        m_skipping = false;
        if (m_skipPopsState)
            OnGroupEnd();
    }
}

void Reader::OnGroupStart()
{
    if (m_stack.size() >= kMaxDepth) {
        m_skipping = true;
        m_skipPopsState = false;
        m_skipNesting = 0;
        return;
    }
    m_stack.push_back(State());
}

void Reader::OnGroupEnd()
{
    if (State().destination == Destination::FontTable)
        FinishFontEntry();
    if (m_stack.size() == 1)
        m_lastParagraph = State().para;
    const GroupState closed = State();
    m_stack.pop_back();
    m_formatDirty = true;
    if (InGroup() && closed.destination != State().destination)
        OnDestinationEnd(closed);
}

void Reader::OnDestinationEnd(const GroupState &closed)
{
    switch (closed.destination) {
    case Destination::FieldInstruction:
        // The field's result, which follows in the same group, is the
        // link's text.
        if (const QString target = HyperlinkTarget(m_fieldInstruction); !target.isEmpty())
            State().chars.link = target;
        m_fieldInstruction.clear();
        break;
    case Destination::Numbering:
        State().para.numbering = m_numbering;
        break;
    case Destination::LevelText:
        if (ListLevel *level = CurrentListLevel())
            level->text = m_levelText;
        m_levelText.clear();
        break;
    case Destination::ListOverrideTable:
        m_tables.lists.FinishOverride();
        break;
    default:
        break;
    }
}

ListLevel *Reader::CurrentListLevel()
{
    std::vector<ListDefinition> &lists = m_tables.lists.lists;
    if (!m_listAccepted || !m_levelAccepted || lists.empty() || lists.back().levels.empty())
        return nullptr;
    return &lists.back().levels.back();
}

void Reader::SettleShownNumber()
{
    // The number as text is for readers that know no lists. Kept only when
    // the paragraph turns out to be no list item we can show as one.
    if (m_shownNumber.isEmpty())
        return;
    QString shown = std::exchange(m_shownNumber, QString());
    if (m_tables.ListItemOf(State().para))
        return;
    m_builder.SetCharFormat(m_shownNumberFormat);
    m_builder.AppendText(WithoutStructureCharacters(shown));
    m_formatDirty = true;
}

void Reader::OnParagraphEnd()
{
    GroupState &state = State();
    SettleShownNumber();
    if (m_formatDirty) {
        m_builder.SetCharFormat(m_tables.CharFormat(state.chars));
        m_formatDirty = false;
    }
    const auto item = m_tables.ListItemOf(state.para);
    m_builder.EndParagraph(BlockFormat(state.para, item), item);
}

void Reader::SkipCurrentGroup()
{
    // The document's own group is never skipped whole: a misplaced
    // destination word there must not swallow the text.
    if (m_stack.size() <= 1)
        return;
    m_skipping = true;
    m_skipPopsState = true;
    m_skipNesting = 0;
}

void Reader::OnFallbackSkipped(std::string_view &bytes)
{
    const std::size_t skipped = std::min<std::size_t>(m_fallbackLeft, bytes.size());
    bytes.remove_prefix(skipped);
    m_fallbackLeft -= static_cast<int>(skipped);
}

int Reader::CurrentCodePage() const
{
    const GroupState &state = m_stack.back();
    return m_tables.CodePageOf(state.destination == Destination::FontTable
                                   ? m_fontEntry
                                   : m_tables.FontOf(state.chars));
}

void Reader::OnBytes(std::string_view bytes)
{
    switch (State().destination) {
    case Destination::Text:
        AppendBytes(bytes);
        break;
    case Destination::FontTable:
        // A ';' ends each entry's name.
        while (!bytes.empty()) {
            const std::size_t end = bytes.find(';');
            AppendBytes(bytes.substr(0, end));
            if (end == std::string_view::npos)
                break;
            FlushBytes();
            FinishFontEntry();
            bytes.remove_prefix(end + 1);
        }
        break;
    case Destination::ColourTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            m_tables.colours.push_back(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colourGiven = false;
        }
        break;
    default:
        AppendBytes(bytes);
        break;
    }
}

void Reader::AppendBytes(std::string_view bytes)
{
    if (bytes.empty())
        return;
    const int codePage = CurrentCodePage();
    if (codePage != m_bytesCodePage)
        FlushBytes();
    m_bytesCodePage = codePage;
    m_bytes.append(bytes);
}

void Reader::FlushBytes()
{
    if (m_bytes.empty())
        return;
    const QString text = m_decoder.Decode(m_bytesCodePage, m_bytes);
    m_bytes.clear();
    AppendString(text);
}

void Reader::AppendString(const QString &text)
{
    // What is gathered outside the text stays short: no instruction, number
    // or font name is longer than a line.
    constexpr qsizetype kMaxGathered = 4096;
    const auto gather = [&](QString &into) {
        if (into.size() < kMaxGathered)
            into += text.left(kMaxGathered - into.size());
    };
    GroupState &state = State();
    switch (state.destination) {
    case Destination::Text:
        break;
    case Destination::FontTable: gather(m_fontName); return;
    case Destination::FieldInstruction: gather(m_fieldInstruction); return;
    case Destination::NumberingBefore: gather(m_numbering.before); return;
    case Destination::NumberingAfter: gather(m_numbering.after); return;
    case Destination::LevelText: gather(m_levelText); return;
    case Destination::ShownNumber:
        if (state.chars.hidden)
            return;
        if (m_shownNumber.isEmpty())
            m_shownNumberFormat = m_tables.CharFormat(state.chars);
        gather(m_shownNumber);
        return;
    default:
        return;
    }
    if (state.chars.hidden)
        return;
    SettleShownNumber();
    if (m_formatDirty) {
        m_builder.SetCharFormat(m_tables.CharFormat(state.chars));
        m_formatDirty = false;
    }
    m_builder.AppendText(WithoutStructureCharacters(text));
}

void Reader::FinishFontEntry()
{
    // No font's name holds a control character, nor one the writer leaves
    // out (an object mark), so a name reads back as it was written.
    QString name = WithoutStructureCharacters(std::exchange(m_fontName, QString()));
    name.removeIf([](QChar c) { return c.unicode() < 0x20; });
    name = name.trimmed();
    if (!name.isEmpty())
        m_tables.fonts[m_fontEntry].name = name;
}

} // namespace rtf

namespace {

// `data` without a leading UTF-8 byte-order mark and white space.
QByteArrayView RtfStart(const QByteArray &data)
{
    QByteArrayView start(data);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    return start.trimmed();
}

} // namespace

bool LooksLikeRtf(const QByteArray &data)
{
    return RtfStart(data).startsWith("{\\rtf");
}

bool ReadRtf(const QByteArray &rtf, QTextDocument *doc, QString *error)
{
    doc->clear();
    const auto fail = [&](const QString &message) {
        doc->clear();
        if (error)
            *error = message;
        return false;
    };
    if (rtf.size() > kMaxRtfBytes)
        return fail(QStringLiteral("The file is larger than %1 MB, more than a text box can hold.")
                        .arg(kMaxRtfBytes / (1024 * 1024)));
    const QByteArrayView start = RtfStart(rtf);
    if (!start.startsWith("{\\rtf"))
        return fail(QStringLiteral("The file is not in Rich Text Format."));

    // A list takes half an inch a level, as in the file's paragraph indents.
    doc->setIndentWidth(TwipsToPixels(rtf::kTwipsPerListLevel, 96));
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    rtf::Reader reader(doc);
    const bool read =
        reader.Read(std::string_view(start.data(), static_cast<std::size_t>(start.size())));
    doc->setUndoRedoEnabled(undo);
    if (!read)
        return fail(reader.Overflow());
    return true;
}
