#include "richtext/rtf_escape.h"

#include <cstdint>

namespace rtf {

bool IsStructureCharacter(QChar c)
{
    const char16_t unit = c.unicode();
    return (unit < 0x20 && unit != u'\t') || unit == 0x2029 || unit == 0xFDD0 || unit == 0xFDD1
           || unit == 0xFFFC;
}

QString WithoutStructureCharacters(QString text)
{
    text.removeIf(IsStructureCharacter);
    return text;
}

void AppendEscaped(QByteArray &out, const QString &text, bool &needDelimiter)
{
    const auto word = [&](const char *control) {
        out += control;
        needDelimiter = true;
    };
    for (const QChar c : text) {
        if (IsStructureCharacter(c))
            continue;
        const char16_t unit = c.unicode();
        switch (unit) {
        case u'\\': out += "\\\\"; needDelimiter = false; continue;
        case u'{': out += "\\{"; needDelimiter = false; continue;
        case u'}': out += "\\}"; needDelimiter = false; continue;
        case u'\t': word("\\tab"); continue;
        case 0x2028: word("\\line"); continue;
        case 0x00A0: out += "\\~"; needDelimiter = false; continue;
        case 0x00AD: out += "\\-"; needDelimiter = false; continue;
        case 0x2011: out += "\\_"; needDelimiter = false; continue;
        default: break;
        }
        if (unit < 0x7F) {
            if (needDelimiter)
                out += ' ';
            needDelimiter = false;
            out += static_cast<char>(unit);
            continue;
        }
        // \uN takes a signed 16-bit number; '?' is the fallback for readers
        // without Unicode. The '?' ends the word, so no delimiter is needed.
        out += "\\u" + QByteArray::number(static_cast<int16_t>(unit)) + '?';
        needDelimiter = false;
    }
}

QByteArray HexByte(unsigned char byte)
{
    return "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
}

QByteArray Escaped(const QString &text)
{
    QByteArray out;
    bool needDelimiter = true;
    AppendEscaped(out, text, needDelimiter);
    return out;
}

} // namespace rtf
