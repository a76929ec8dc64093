#pragma once
// Puts the text the RTF reader decodes into a QTextDocument: runs of equally
// formatted text, paragraph ends with their formats, and the counts that bound
// a document's paragraphs and characters.
//
// A paragraph mark opens the next paragraph only when text follows it, so the
// \par that ends a file's last paragraph does not leave an empty one behind.
//
// A paragraph that is a list item joins the open list of its key and level,
// or starts one. An item closes the deeper lists of its key, so that the
// items under the next one count from the start again; a paragraph outside
// lists closes those of \pn numbering, which numbers only adjacent paragraphs.

#include "richtext/rtf.h"
#include "richtext/rtf_lists.h"

#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <map>
#include <utility>

class QTextDocument;

namespace rtf {

// The messages for a document beyond a text box's bounds.
QString TooManyParagraphs();
QString TooManyCharacters();

class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument *doc);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder &) = delete;
    DocumentBuilder &operator=(const DocumentBuilder &) = delete;

    // The format of the text that follows.
    void SetCharFormat(const QTextCharFormat &format);
    void AppendText(const QString &text);
    void EndParagraph(const QTextBlockFormat &format, const std::optional<ListItem> &item);
    bool WithinBounds() const
    {
        return m_paragraphs <= kMaxRtfParagraphs && m_characters <= kMaxRtfCharacters;
    }
    // Why the document is beyond a text box's bounds; empty while it is not.
    QString Overflow() const;
    // True right after a paragraph mark, before any text.
    bool AtParagraphStart() const { return m_paragraphPending && m_run.isEmpty(); }
    // Ends the document; `format` is the last paragraph's when it had no mark.
    void Finish(const QTextBlockFormat &format, const std::optional<ListItem> &item);

private:
    void JoinList(const std::optional<ListItem> &item);
    void FlushRun();
    void OpenPendingParagraph();

    QTextCursor m_cursor;
    QTextCharFormat m_format;
    QString m_run;
    bool m_paragraphPending = false;
    bool m_paragraphEmpty = true;
    int m_paragraphs = 0;
    qsizetype m_characters = 0;
    std::map<std::pair<QString, int>, QTextList *> m_lists; // by key and level
};

} // namespace rtf
