#include "richtext/rtf_fields.h"

#include "richtext/rtf_escape.h"

#include <QStringList>

namespace rtf {

namespace {

// The words of a field instruction: quoted arguments (with \\ and \" inside)
// and bare words, switches such as \l among the latter.
QStringList InstructionWords(const QString &instruction)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype size = instruction.size();
    while (i < size) {
        if (instruction[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (instruction[i] == u'"') {
            for (++i; i < size && instruction[i] != u'"'; ++i) {
                if (instruction[i] == u'\\' && i + 1 < size
                    && (instruction[i + 1] == u'\\' || instruction[i + 1] == u'"'))
                    ++i;
                word += instruction[i];
            }
            ++i; // the closing quote
        } else {
            while (i < size && !instruction[i].isSpace() && instruction[i] != u'"')
                word += instruction[i++];
        }
        words << word;
    }
    return words;
}

} // namespace

QString HyperlinkTarget(const QString &instruction)
{
    // Control characters are no part of an instruction's words.
    const QStringList words = InstructionWords(WithoutStructureCharacters(instruction));
    if (words.isEmpty() || words.front().compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString target, place;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words[i];
        if (word.compare(u"\\l", Qt::CaseInsensitive) == 0 && i + 1 < words.size()) {
            place = words[++i];
        } else if (word.startsWith(u'\\')) {
            // \o "tooltip" and \t "frame" take an argument; \m and \n do not.
            if ((word.compare(u"\\o", Qt::CaseInsensitive) == 0
                 || word.compare(u"\\t", Qt::CaseInsensitive) == 0) && i + 1 < words.size())
                ++i;
        } else if (target.isEmpty()) {
            target = word;
        }
    }
    if (!place.isEmpty())
        target += u'#' + place;
    return target.trimmed();
}

QString HyperlinkInstruction(const QString &target)
{
    const auto quoted = [](QString text) {
        text.replace(u'\\', QStringLiteral("\\\\"));
        text.replace(u'"', QStringLiteral("\\\""));
        return u'"' + text + u'"';
    };
    // A place in the document itself is named with the \l switch.
    if (target.startsWith(u'#'))
        return QStringLiteral("HYPERLINK \\l ") + quoted(target.mid(1));
    return QStringLiteral("HYPERLINK ") + quoted(target);
}

} // namespace rtf
