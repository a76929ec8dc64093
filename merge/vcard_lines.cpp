#include "merge/vcard_lines.h"

#include "merge/list_text.h"
#include "merge/recipient_table.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

// The lines of the text one by one, without their line breaks (CR LF, LF
// or CR). Nothing is gathered: a file of millions of empty lines costs no
// memory.
class TPhysicalLines {
public:
    explicit TPhysicalLines(std::string_view text) : FText(text), FStart(text.empty() ? 1 : 0) { Find(); }
    bool AtEnd() const { return FStart > FText.size(); }
    std::string_view Text() const { return FText.substr(FStart, FEnd - FStart); }
    int Number() const { return FNumber; }
    void Next()
    {
        std::size_t next = FEnd;
        if (next < FText.size() && FText[next] == '\r' && next + 1 < FText.size() && FText[next + 1] == '\n')
            ++next;
        FStart = next + 1;
        ++FNumber;
        // The text's last line break ends its last line; it starts none.
        if (FStart == FText.size())
            ++FStart;
        Find();
    }

private:
    void Find()
    {
        FEnd = std::min(FStart, FText.size());
        while (FEnd < FText.size() && FText[FEnd] != '\n' && FText[FEnd] != '\r')
            ++FEnd;
    }

    std::string_view FText;
    std::size_t FStart;
    std::size_t FEnd = 0;
    int FNumber = 1;
};

[[noreturn]] void Refuse(const QString &message)
{
    throw ERecipientListError(message.toStdString());
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// RFC 2045 section 6.7; soft line breaks were joined with their lines
// already. An "=" that starts no valid pair stays as it is.
QByteArray DecodeQuotedPrintable(const QByteArray &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// RFC 6868: ^n is a line break, ^' a double quote, ^^ a caret.
QByteArray DecodeCaret(const QByteArray &value)
{
    QByteArray decoded;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '^' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N' || next == '\'' || next == '^') {
                decoded += next == '^' ? '^' : next == '\'' ? '"' : '\n';
                ++i;
                continue;
            }
        }
        decoded += value[i];
    }
    return decoded;
}

// Splits at `separator` outside double quotes.
QList<QByteArray> SplitOutsideQuotes(const QByteArray &text, char separator)
{
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(current);
    return parts;
}

bool IsEncodingName(const QByteArray &upper)
{
    return upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "B" || upper == "8BIT" || upper == "7BIT";
}

// The name and parameters of a content line (everything before its value).
TVCardProperty ParseHead(const QByteArray &head, int line)
{
    TVCardProperty property;
    property.Line = line;
    const QList<QByteArray> parts = SplitOutsideQuotes(head, ';');
    QByteArray name = parts.front().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    property.Name = name;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        QByteArray paramName = equals < 0 ? QByteArray() : part.left(equals).trimmed().toUpper();
        QByteArray value = equals < 0 ? part : part.mid(equals + 1).trimmed();
        if (paramName.isEmpty())
            paramName = IsEncodingName(value.toUpper()) ? QByteArray("ENCODING") : QByteArray("TYPE");
        QByteArray unquoted;
        for (const char c : value) {
            if (c != '"')
                unquoted += c;
        }
        property.Params.emplace_back(paramName, DecodeCaret(unquoted));
    }
    return property;
}

bool IsQuotedPrintable(const TVCardProperty &property)
{
    return property.Param("ENCODING").toUpper() == "QUOTED-PRINTABLE";
}

class TSplitter {
public:
    TSplitter(QStringList *warnings, const std::function<void(const TVCard &)> &onCard)
        : FWarnings(warnings), FOnCard(onCard)
    {
    }
    void Run(std::string_view text);

private:
    void Property(const QByteArray &logical, int line);

    QStringList *FWarnings;
    const std::function<void(const TVCard &)> &FOnCard;
    std::size_t FCards = 0;
    std::optional<TVCard> FOpen;
    TLineList FStrayLines;
    TLineList FNotProperties;
};

void TSplitter::Property(const QByteArray &logical, int line)
{
    if (logical.trimmed().isEmpty())
        return;
    // The value starts at the first colon outside a quoted parameter value.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < logical.size(); ++i) {
        if (logical[i] == '"')
            quoted = !quoted;
        else if (logical[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0) {
        if (FOpen)
            FNotProperties.Add(line);
        else
            FStrayLines.Add(line);
        return;
    }
    TVCardProperty property = ParseHead(logical.left(colon), line);
    property.Value = logical.mid(colon + 1);
    const QByteArray upperValue = property.Value.trimmed().toUpper();

    if (property.Name == "BEGIN" && upperValue == "VCARD") {
        if (FOpen)
            Refuse(QStringLiteral("The card that begins in line %1 of the list has no END:VCARD before the next "
                                  "card begins in line %2.").arg(FOpen->Line).arg(line));
        if (FCards >= MaxRecipients)
            Refuse(QStringLiteral("The list has more than %1 cards (line %2 begins card %3).")
                       .arg(CountText(MaxRecipients)).arg(line)
                       .arg(CountText(MaxRecipients + 1)));
        FOpen.emplace();
        FOpen->Line = line;
        return;
    }
    if (!FOpen) {
        FStrayLines.Add(line);
        return;
    }
    if (property.Name == "END" && upperValue == "VCARD") {
        ++FCards;
        FOnCard(*FOpen);
        FOpen.reset();
        return;
    }
    if (property.Name == "VERSION")
        FOpen->Version = property.Value.trimmed();
    if (FOpen->Properties.size() >= MaxCardProperties)
        Refuse(QStringLiteral("The card that begins in line %1 of the list has more than %2 lines.")
                   .arg(FOpen->Line).arg(CountText(MaxCardProperties)));
    if (IsQuotedPrintable(property))
        property.Value = DecodeQuotedPrintable(property.Value);
    FOpen->Properties.push_back(std::move(property));
}

void TSplitter::Run(std::string_view text)
{
    TPhysicalLines lines(text);
    while (!lines.AtEnd()) {
        const int first = lines.Number();
        QByteArray logical(lines.Text().data(), qsizetype(lines.Text().size()));
        // A quoted-printable value ends in "=" where its writer broke the
        // line (2.1); its next line continues it, indented or not.
        const bool quotedPrintable = [&] {
            const qsizetype colon = logical.indexOf(':');
            return colon > 0 && logical.left(colon).toUpper().contains("QUOTED-PRINTABLE");
        }();
        // 2.1 folds before a blank that belongs to the value; 3.0 and 4.0
        // insert the blank, which unfolding removes.
        const bool keepBlank = FOpen && FOpen->Version.startsWith("2.");
        lines.Next();
        while (!lines.AtEnd()) {
            const std::string_view next = lines.Text();
            if (quotedPrintable && logical.endsWith('=')) {
                logical.chop(1);
                logical.append(next.data(), qsizetype(next.size()));
            } else if (!next.empty() && (next[0] == ' ' || next[0] == '\t')) {
                const std::size_t skip = keepBlank ? 0 : 1;
                logical.append(next.data() + skip, qsizetype(next.size() - skip));
            } else {
                break;
            }
            if (std::size_t(logical.size()) > MaxFieldBytes)
                break;
            lines.Next();
        }
        if (std::size_t(logical.size()) > MaxFieldBytes)
            Refuse(QStringLiteral("The property in line %1 of the list is longer than %2 MB.")
                       .arg(first).arg(MaxFieldBytes / 1000000));
        Property(logical, first);
    }
    if (FOpen)
        Refuse(QStringLiteral("The card that begins in line %1 of the list has no END:VCARD: the file may be cut "
                              "short.").arg(FOpen->Line));
    if (FCards == 0)
        Refuse(QStringLiteral("The file holds no vCard (BEGIN:VCARD … END:VCARD)."));
    if (!FNotProperties.Empty())
        FWarnings->append(QStringLiteral("Lines in cards that are no vCard property are passed over (%1).")
                              .arg(FNotProperties.Text()));
    if (!FStrayLines.Empty())
        FWarnings->append(QStringLiteral("Text outside the cards is passed over (%1).").arg(FStrayLines.Text()));
}

} // namespace

QByteArray TVCardProperty::Param(const QByteArray &name) const
{
    for (const auto &[paramName, value] : Params) {
        if (paramName == name)
            return value;
    }
    return QByteArray();
}

bool TVCardProperty::HasType(const QByteArray &type) const
{
    for (const auto &[paramName, value] : Params) {
        if (paramName != "TYPE")
            continue;
        for (const QByteArray &one : value.split(',')) {
            if (one.trimmed().compare(type, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

void SplitVCards(std::string_view bytes, QStringList *warnings, const std::function<void(const TVCard &)> &onCard)
{
    // UTF-16 files (some Windows address books write them) are read as
    // UTF-8; the lines of the format are ASCII, so they split the same.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const QByteArray utf8 = DecodeListText(bytes).Text.toUtf8();
        TSplitter(warnings, onCard).Run(std::string_view(utf8.constData(), std::size_t(utf8.size())));
        return;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    TSplitter(warnings, onCard).Run(bytes);
}
