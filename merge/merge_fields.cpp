#include "merge/merge_fields.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <map>

namespace {

// Two braces, a name without braces or line breaks, two braces. U+2028 is
// a line break inside a paragraph and U+FFFC stands for a picture.
const QRegularExpression &FieldPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\{\\{([^{}\\n\\x{2028}\\x{2029}\\x{fffc}]+)\\}\\}"));
    return pattern;
}

struct TFieldAt {
    int Start = 0;     // of the first brace, in the document
    int Length = 0;    // braces included
    int NameStart = 0; // first character of the name, blanks skipped
    QString Name;
};

std::vector<TFieldAt> FieldsOf(const QTextBlock &block)
{
    std::vector<TFieldAt> fields;
    const QString text = block.text();
    auto matches = FieldPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QString name = match.captured(1).trimmed();
        if (name.isEmpty())
            continue;
        qsizetype nameStart = match.capturedStart(1);
        while (text[nameStart].isSpace())
            ++nameStart;
        fields.push_back({block.position() + int(match.capturedStart()), int(match.capturedLength()),
                          block.position() + int(nameStart), name});
    }
    return fields;
}

// The first name to use for a recipient in a message.
QString NameOf(const TRecipientTable &table, std::size_t row)
{
    for (const QString &column : {QStringLiteral("Full name"), QStringLiteral("Name")}) {
        if (const QString value = table.Value(row, column).simplified(); !value.isEmpty())
            return value;
    }
    const QString parts = (table.Value(row, QStringLiteral("First name")) + QLatin1Char(' ')
                           + table.Value(row, QStringLiteral("Last name"))).simplified();
    if (!parts.isEmpty())
        return parts;
    return table.Value(row, table.Columns.value(0)).simplified();
}

} // namespace

QStringList FieldsIn(const QTextDocument &document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (const TFieldAt &field : FieldsOf(block)) {
            if (!names.contains(field.Name))
                names.append(field.Name);
        }
    }
    return names;
}

std::unique_ptr<QTextDocument> WithValues(const QTextDocument &document,
                                          const std::function<QString(const QString &name)> &valueOf)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setUndoRedoEnabled(false);
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        std::vector<TFieldAt> fields = FieldsOf(block);
        // From the last to the first, so earlier positions stay where they are.
        for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
            QTextCursor probe(copy.get());
            probe.setPosition(field->NameStart + 1); // the format of the character before
            const QTextCharFormat format = probe.charFormat();
            QString value = valueOf(field->Name);
            value.replace(QLatin1Char('\n'), QChar::LineSeparator);
            QTextCursor cursor(copy.get());
            cursor.setPosition(field->Start);
            cursor.setPosition(field->Start + field->Length, QTextCursor::KeepAnchor);
            if (value.isEmpty())
                cursor.removeSelectedText();
            else
                cursor.insertText(value, format);
        }
    }
    return copy;
}

std::unique_ptr<QTextDocument> WithRecipient(const QTextDocument &document, const TRecipientTable &table,
                                             std::size_t row)
{
    return WithValues(document, [&](const QString &name) { return table.Value(row, name); });
}

std::vector<TMissingValue> MissingValues(const QStringList &fields, const TRecipientTable &table)
{
    std::vector<TMissingValue> missing;
    std::vector<int> columns;
    for (const QString &field : fields)
        columns.push_back(table.ColumnIndex(field));
    for (std::size_t row = 0; row < table.Rows.size(); ++row) {
        if (!table.Rows[row].Ticked)
            continue;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const int column = columns[std::size_t(i)];
            const QStringList &values = table.Rows[row].Values;
            if (column < 0)
                missing.push_back({row, fields[i], true});
            else if (column >= values.size() || values[column].trimmed().isEmpty())
                missing.push_back({row, fields[i], false});
        }
    }
    return missing;
}

QString DescribeMissingValues(const std::vector<TMissingValue> &missing, const TRecipientTable &table)
{
    if (missing.empty())
        return QString();
    constexpr std::size_t Shown = 10;
    QStringList lines;
    QStringList unknownColumns;
    // Fields missing per recipient, recipients in list order.
    std::map<std::size_t, QStringList> byRecipient;
    for (const TMissingValue &one : missing) {
        if (one.NoSuchColumn) {
            if (!unknownColumns.contains(one.Field))
                unknownColumns.append(one.Field);
        } else {
            byRecipient[one.Recipient].append(QStringLiteral("\"%1\"").arg(one.Field));
        }
    }
    for (const QString &column : unknownColumns)
        lines.append(QStringLiteral("The list has no column \"%1\": the field {{%1}} stays empty on every card.")
                         .arg(column));
    std::size_t shown = 0;
    for (const auto &[row, fields] : byRecipient) {
        if (shown++ == Shown)
            break;
        const QString name = NameOf(table, row);
        const QString who = name.isEmpty() ? QStringLiteral("Recipient %1").arg(row + 1)
                                           : QStringLiteral("Recipient %1 (%2)").arg(row + 1).arg(name);
        lines.append(QStringLiteral("%1 has no value for %2.").arg(who, fields.join(QStringLiteral(", "))));
    }
    if (byRecipient.size() > Shown)
        lines.append(QStringLiteral("… and %1 more recipients with missing values.").arg(byRecipient.size() - Shown));
    return QStringLiteral("These fields stay empty:\n") + lines.join(QLatin1Char('\n'));
}
