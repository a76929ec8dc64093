#include "merge/vcard_reader.h"

#include "merge/list_text.h"
#include "merge/vcard_lines.h"

#include <algorithm>
#include <cctype>

const QStringList VCardColumns = {
    QStringLiteral("Full name"),   QStringLiteral("Prefix"),      QStringLiteral("First name"),
    QStringLiteral("Middle name"), QStringLiteral("Last name"),   QStringLiteral("Suffix"),
    QStringLiteral("Nickname"),    QStringLiteral("Organization"), QStringLiteral("Address"),
    QStringLiteral("Street"),      QStringLiteral("City"),        QStringLiteral("Region"),
    QStringLiteral("Postal code"), QStringLiteral("Country"),     QStringLiteral("Email"),
    QStringLiteral("Phone"),
};

namespace {

enum Column {
    FullName, Prefix, FirstName, MiddleName, LastName, Suffix, Nickname, Organization,
    Address, Street, City, Region, PostalCode, Country, Email, Phone, ColumnCount
};

class TCardReader {
public:
    explicit TCardReader(QStringList *warnings) : FWarnings(warnings) {}
    // The card's values, one per column of VCardColumns.
    QStringList Read(const TVCard &card);
    // Adds the warnings gathered over all cards.
    void Finish();

private:
    QString Text(const TVCardProperty &property) { return Decoded(property.Value, property); }
    // Bytes of the property (its value or a parameter) in its charset.
    QString Decoded(const QByteArray &bytes, const TVCardProperty &property);
    // The components of a structured value (N, ADR, ORG), escapes undone.
    QStringList Components(const TVCardProperty &property, int count);

    QStringList *FWarnings;
    TLineList FUnknownCharsets;
};

// RFC 6350 section 3.4 (and RFC 2426 section 4): a backslash escapes a
// line break (\n or \N), a comma, a semicolon and itself. Anything else
// after a backslash stays as written, as older writers use it freely.
QString Unescaped(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('n') || next == QLatin1Char('N')) {
                plain += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char(',') || next == QLatin1Char(';') || next == QLatin1Char('\\')
                || next == QLatin1Char(':')) {
                plain += next;
                ++i;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

// Splits at semicolons that are not escaped.
QList<QStringView> SplitComponents(QStringView text)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\')) {
            ++i;
        } else if (text[i] == QLatin1Char(';')) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

bool IsPreferred(const TVCardProperty &property)
{
    return property.HasType("pref") || !property.Param("PREF").isEmpty();
}

// The property of that name the card prefers: the highest rank, the
// first among equals.
const TVCardProperty *Choose(const TVCard &card, const QByteArray &name, bool preferHome)
{
    const TVCardProperty *best = nullptr;
    int bestRank = -1;
    for (const TVCardProperty &property : card.Properties) {
        if (property.Name != name)
            continue;
        const int rank = (preferHome && property.HasType("home") ? 2 : 0) + (IsPreferred(property) ? 1 : 0);
        if (rank > bestRank) {
            best = &property;
            bestRank = rank;
        }
    }
    return best;
}

QString JoinNonEmpty(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            kept.append(part.trimmed());
    }
    return kept.join(separator);
}

} // namespace

void TCardReader::Finish()
{
    if (!FUnknownCharsets.Empty())
        FWarnings->append(QStringLiteral("Some values name a character set that does not read them; they are read "
                                         "as UTF-8 or Windows-1252 (%1).").arg(FUnknownCharsets.Text()));
}

QString TCardReader::Decoded(const QByteArray &bytes, const TVCardProperty &property)
{
    const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
    const QByteArray charset = property.Param("CHARSET");
    if (!charset.isEmpty()) {
        if (auto text = DecodeStrictly(view, charset.constData()))
            return *text;
        FUnknownCharsets.Add(property.Line);
    }
    if (auto text = DecodeStrictly(view, "UTF-8"))
        return *text;
    if (auto text = DecodeStrictly(view, "CP1252"))
        return *text;
    throw ERecipientListError(QStringLiteral("Line %1 of the list holds bytes that are neither UTF-8 nor "
                                             "Windows-1252 text, and it names no character set that reads them.")
                                  .arg(property.Line).toStdString());
}

QStringList TCardReader::Components(const TVCardProperty &property, int count)
{
    const QString text = Text(property);
    QStringList components;
    for (const QStringView part : SplitComponents(text))
        components.append(CleanValue(Unescaped(part)).trimmed());
    while (components.size() < count)
        components.append(QString());
    return components;
}

QStringList TCardReader::Read(const TVCard &card)
{
    QStringList values(ColumnCount);
    if (const TVCardProperty *fn = Choose(card, "FN", false))
        values[FullName] = CleanValue(Unescaped(Text(*fn))).trimmed();
    if (const TVCardProperty *n = Choose(card, "N", false)) {
        // Family; Given; Additional; Prefixes; Suffixes
        const QStringList parts = Components(*n, 5);
        values[LastName] = parts[0];
        values[FirstName] = parts[1];
        values[MiddleName] = parts[2];
        values[Prefix] = parts[3];
        values[Suffix] = parts[4];
        if (values[FullName].isEmpty())
            values[FullName] = JoinNonEmpty({parts[3], parts[1], parts[2], parts[0], parts[4]}, QStringLiteral(" "));
    }
    if (const TVCardProperty *nickname = Choose(card, "NICKNAME", false))
        values[Nickname] = CleanValue(Unescaped(Text(*nickname))).trimmed();
    if (const TVCardProperty *org = Choose(card, "ORG", false))
        values[Organization] = Components(*org, 1).front();
    if (const TVCardProperty *adr = Choose(card, "ADR", true)) {
        // PO box; extended address; street; locality; region; postal code; country
        const QStringList parts = Components(*adr, 7);
        values[Street] = JoinNonEmpty({parts[2], parts[1], parts[0]}, QStringLiteral("\n"));
        values[City] = parts[3];
        values[Region] = parts[4];
        values[PostalCode] = parts[5];
        values[Country] = parts[6];
        // The label its writer formatted wins (4.0 keeps it in a parameter);
        // otherwise the parts in the order most countries write them.
        const QByteArray label = adr->Param("LABEL");
        if (!label.isEmpty()) {
            values[Address] = CleanValue(Decoded(label, *adr)).trimmed();
        } else {
            const QString town = parts[4].isEmpty()
                                     ? JoinNonEmpty({parts[5], parts[3]}, QStringLiteral(" "))
                                     : JoinNonEmpty({parts[3], JoinNonEmpty({parts[4], parts[5]}, QStringLiteral(" "))},
                                                    QStringLiteral(", "));
            values[Address] = JoinNonEmpty({values[Street], town, parts[6]}, QStringLiteral("\n"));
        }
    }
    if (values[Address].isEmpty()) {
        if (const TVCardProperty *label = Choose(card, "LABEL", true)) // 2.1 and 3.0
            values[Address] = CleanValue(Unescaped(Text(*label))).trimmed();
    }
    if (const TVCardProperty *email = Choose(card, "EMAIL", false))
        values[Email] = CleanValue(Unescaped(Text(*email))).trimmed();
    if (const TVCardProperty *tel = Choose(card, "TEL", false)) {
        QString number = CleanValue(Unescaped(Text(*tel))).trimmed();
        if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive)) // 4.0 may give a URI
            number = number.mid(4);
        values[Phone] = number;
    }
    return values;
}

TRecipientTable ReadVCardRecipients(std::string_view bytes)
{
    TRecipientTable table;
    table.Columns = VCardColumns;
    TCardReader reader(&table.Warnings);
    TLineList nameless, empty, versions;
    SplitVCards(bytes, &table.Warnings, [&](const TVCard &card) {
        if (!card.Version.isEmpty() && card.Version != "2.1" && card.Version != "3.0" && card.Version != "4.0")
            versions.Add(card.Line);
        TRecipient recipient;
        recipient.Values = reader.Read(card);
        if (std::all_of(recipient.Values.begin(), recipient.Values.end(), [](const QString &v) { return v.isEmpty(); })) {
            empty.Add(card.Line);
            return;
        }
        if (recipient.Values[FullName].isEmpty())
            nameless.Add(card.Line);
        table.Rows.push_back(std::move(recipient));
    });
    reader.Finish();
    if (!empty.Empty())
        table.Warnings.append(QStringLiteral("Cards without a name, an address, an email address or a telephone "
                                             "number are left out (%1).").arg(empty.Text()));
    if (!nameless.Empty())
        table.Warnings.append(QStringLiteral("Some cards have no name (%1).").arg(nameless.Text()));
    if (!versions.Empty())
        table.Warnings.append(QStringLiteral("Some cards are of a vCard version other than 2.1, 3.0 and 4.0 and "
                                             "are read as 4.0 (%1).").arg(versions.Text()));
    return table;
}

bool LooksLikeVCard(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        // The first characters are enough.
        const std::string_view head = bytes.substr(0, 64 - (64 % 2));
        const char *charset = bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
        QString text;
        if (auto whole = DecodeStrictly(head.substr(2), charset, nullptr, &text))
            text = *whole;
        return text.trimmed().startsWith(QStringLiteral("BEGIN:VCARD"), Qt::CaseInsensitive);
    }
    while (!bytes.empty() && (bytes[0] == ' ' || bytes[0] == '\t' || bytes[0] == '\r' || bytes[0] == '\n'))
        bytes.remove_prefix(1);
    const std::string_view begin = "BEGIN:VCARD";
    if (bytes.size() < begin.size())
        return false;
    for (std::size_t i = 0; i < begin.size(); ++i) {
        if (std::toupper(uchar(bytes[i])) != begin[i])
            return false;
    }
    return true;
}
