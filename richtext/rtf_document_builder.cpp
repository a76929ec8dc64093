#include "richtext/rtf_document_builder.h"

#include "richtext/rtf.h"

#include <QTextDocument>
#include <QTextList>

namespace rtf {

DocumentBuilder::DocumentBuilder(QTextDocument *doc)
    : m_cursor(doc)
{
    // One edit block for the whole document: its layout is brought up to date
    // once at the end instead of after every paragraph.
    m_cursor.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder()
{
    m_cursor.endEditBlock();
}

void DocumentBuilder::SetCharFormat(const QTextCharFormat &format)
{
    FlushRun();
    m_format = format;
}

void DocumentBuilder::AppendText(const QString &text)
{
    m_run += text;
    m_characters += text.size();
}

QString TooManyParagraphs()
{
    return QStringLiteral("The text has more than %1 paragraphs, more than a text box can hold.")
        .arg(kMaxRtfParagraphs);
}

QString TooManyCharacters()
{
    return QStringLiteral("The text has more than %1 characters, more than a text box can hold.")
        .arg(kMaxRtfCharacters);
}

QString DocumentBuilder::Overflow() const
{
    if (m_paragraphs > kMaxRtfParagraphs)
        return TooManyParagraphs();
    if (m_characters > kMaxRtfCharacters)
        return TooManyCharacters();
    return {};
}

void DocumentBuilder::OpenPendingParagraph()
{
    if (!m_paragraphPending)
        return;
    m_cursor.insertBlock(QTextBlockFormat(), m_format);
    m_paragraphPending = false;
    m_paragraphEmpty = true;
}

void DocumentBuilder::FlushRun()
{
    if (m_run.isEmpty())
        return;
    OpenPendingParagraph();
    // A list item's bullet or number is drawn in the paragraph's own format:
    // that of its first text, as word processors draw it.
    if (m_paragraphEmpty)
        m_cursor.setBlockCharFormat(m_format);
    m_cursor.insertText(m_run, m_format);
    m_run.clear();
    m_paragraphEmpty = false;
}

void DocumentBuilder::JoinList(const std::optional<ListItem> &item)
{
    if (!item) {
        std::erase_if(m_lists, [](const auto &entry) { return entry.first.first == u"pn"; });
        return;
    }
    std::erase_if(m_lists, [&](const auto &entry) {
        return entry.first.first == item->key && entry.first.second > item->level;
    });
    QTextList *&list = m_lists[{item->key, item->level}];
    if (list && list->format() == item->format)
        list->add(m_cursor.block());
    else
        list = m_cursor.createList(item->format);
}

void DocumentBuilder::EndParagraph(const QTextBlockFormat &format, const std::optional<ListItem> &item)
{
    FlushRun();
    OpenPendingParagraph();
    m_cursor.setBlockFormat(format);
    JoinList(item);
    // An empty paragraph is as high as the font in effect at its mark.
    if (m_paragraphEmpty)
        m_cursor.setBlockCharFormat(m_format);
    m_paragraphPending = true;
    ++m_paragraphs;
}

void DocumentBuilder::Finish(const QTextBlockFormat &format, const std::optional<ListItem> &item)
{
    FlushRun();
    if (m_paragraphPending)
        return;
    m_cursor.setBlockFormat(format);
    JoinList(item);
    if (m_paragraphEmpty)
        m_cursor.setBlockCharFormat(m_format);
}

} // namespace rtf
