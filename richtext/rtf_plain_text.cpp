// A text box's file that is not RTF, taken as plain text.

#include "richtext/rtf.h"

#include "richtext/rtf_codepage.h"
#include "richtext/rtf_document_builder.h"
#include "richtext/rtf_escape.h"

#include <QStringDecoder>
#include <QTextDocument>

bool ReadRtfOrPlainText(const QByteArray &data, QTextDocument *doc, QString *error)
{
    if (LooksLikeRtf(data) || data.size() > kMaxRtfBytes)
        return ReadRtf(data, doc, error);

    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
        text = rtf::CodePageDecoder().Decode(rtf::kDefaultCodePage, bytes);
    }
    // Paragraphs end at a line feed, a carriage return on its own and a
    // paragraph separator, as the document would end them; other control
    // characters and marks of the document's structure are no text.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.removeIf([](QChar c) { return c != u'\n' && rtf::IsStructureCharacter(c); });
    const bool fits = text.size() <= kMaxRtfCharacters && text.count(u'\n') < kMaxRtfParagraphs;
    doc->setPlainText(fits ? text : QString());
    if (!fits && error)
        *error = text.size() > kMaxRtfCharacters ? rtf::TooManyCharacters()
                                                 : rtf::TooManyParagraphs();
    return fits;
}
