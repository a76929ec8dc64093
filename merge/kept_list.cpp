#include "merge/kept_list.h"

#include "imaging/atomicfile.h"
#include "merge/csv_reader.h"
#include "merge/recipient_file.h"

#include <csv.h>

#include <QFile>
#include <QFileInfo>

const QString KeptListFileName = QStringLiteral("Recipients.csv");
const QString KeptListTickColumn = QStringLiteral("Print");

namespace {

const QString Yes = QStringLiteral("yes");
const QString No = QStringLiteral("no");

void AppendField(std::string *out, const QString &value, bool first)
{
    if (!first)
        out->push_back(',');
    const QByteArray utf8 = CleanValue(value).toUtf8();
    const std::size_t needed = csv_write(nullptr, 0, utf8.constData(), std::size_t(utf8.size()));
    const std::size_t at = out->size();
    out->resize(at + needed);
    csv_write(out->data() + at, needed, utf8.constData(), std::size_t(utf8.size()));
}

} // namespace

QString KeptListPath(const QString &cardFolder)
{
    return cardFolder.endsWith(QLatin1Char('/')) ? cardFolder + KeptListFileName
                                                 : cardFolder + QLatin1Char('/') + KeptListFileName;
}

bool HasKeptList(const QString &cardFolder)
{
    return QFileInfo(KeptListPath(cardFolder)).isFile();
}

std::string KeptListBytes(const TRecipientTable &table)
{
    std::string out = "\xEF\xBB\xBF";
    AppendField(&out, KeptListTickColumn, true);
    for (const QString &column : table.Columns)
        AppendField(&out, column, false);
    out += "\r\n";
    for (const TRecipient &row : table.Rows) {
        AppendField(&out, row.Ticked ? Yes : No, true);
        for (qsizetype i = 0; i < table.Columns.size(); ++i)
            AppendField(&out, i < row.Values.size() ? row.Values[i] : QString(), false);
        out += "\r\n";
    }
    return out;
}

TRecipientTable ParseKeptList(std::string_view bytes)
{
    TRecipientTable read = ReadCsvRecipients(bytes, TCsvOptions{',', false});
    if (read.Columns.isEmpty() || read.Columns.front() != KeptListTickColumn)
        throw ERecipientListError(QStringLiteral("The file is no recipient list kept by this program: its first "
                                                 "column is not \"%1\".").arg(KeptListTickColumn).toStdString());
    TRecipientTable table;
    table.Columns = read.Columns.mid(1);
    table.Warnings = read.Warnings;
    table.Rows.reserve(read.Rows.size());
    for (std::size_t i = 0; i < read.Rows.size(); ++i) {
        TRecipient &row = read.Rows[i];
        const QString tick = row.Values.takeFirst();
        if (tick != Yes && tick != No)
            throw ERecipientListError(QStringLiteral("Recipient %1 of the kept list is marked \"%2\" in its "
                                                     "column \"%3\", which is neither \"yes\" nor \"no\".")
                                          .arg(i + 1).arg(tick.left(40), KeptListTickColumn).toStdString());
        row.Ticked = tick == Yes;
        table.Rows.push_back(std::move(row));
    }
    // The reader notes a list without recipients; a kept list may be one.
    table.Warnings.removeAll(QStringLiteral("The list has a header row but no recipients."));
    return table;
}

void WriteKeptList(const QString &cardFolder, const TRecipientTable &table)
{
    WriteFileAtomically(QFile::encodeName(KeptListPath(cardFolder)).toStdString(), KeptListBytes(table));
}

TRecipientTable ReadKeptList(const QString &cardFolder)
{
    const QString path = KeptListPath(cardFolder);
    const QString what = QStringLiteral("the recipient list kept with the card");
    const std::string bytes = ReadListFileBytes(path, what);
    try {
        return ParseKeptList(bytes);
    } catch (const ERecipientListError &error) {
        RefuseListFile(path, what, QString::fromStdString(error.what()));
    }
}
