#include "merge/recipient_table.h"

#include <QLocale>

int TRecipientTable::ColumnIndex(const QString &name) const
{
    if (const qsizetype exact = Columns.indexOf(name); exact >= 0)
        return int(exact);
    int found = -1;
    for (qsizetype i = 0; i < Columns.size(); ++i) {
        if (Columns[i].compare(name, Qt::CaseInsensitive) == 0) {
            if (found >= 0)
                return -1; // "Name" and "NAME" both: which one is meant is unclear
            found = int(i);
        }
    }
    return found;
}

QString TRecipientTable::Value(std::size_t row, const QString &column) const
{
    const int index = ColumnIndex(column);
    if (index < 0 || row >= Rows.size() || index >= Rows[row].Values.size())
        return QString();
    return Rows[row].Values[index];
}

QString CleanValue(const QString &value)
{
    QString clean;
    clean.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\r')) {
            clean += QLatin1Char('\n');
            if (i + 1 < value.size() && value[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator) {
            clean += c == QLatin1Char('\t') ? c : QLatin1Char('\n');
        } else if (c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            clean += c;
        }
    }
    return clean;
}

QString CountText(std::size_t count)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(qulonglong(count));
}

namespace {

constexpr std::size_t ShownLines = 10;

} // namespace

void TLineList::Add(int line)
{
    if (FFirst.size() < ShownLines)
        FFirst.push_back(line);
    ++FCount;
}

QString TLineList::Text() const
{
    QStringList shown;
    for (const int line : FFirst)
        shown.append(QString::number(line));
    if (FCount > ShownLines)
        return QStringLiteral("lines ") + shown.join(QStringLiteral(", "))
               + QStringLiteral(" and %1 more").arg(CountText(FCount - ShownLines));
    if (shown.size() == 1)
        return QStringLiteral("line ") + shown.front();
    const QString last = shown.takeLast();
    return QStringLiteral("lines ") + shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}
