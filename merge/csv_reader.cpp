#include "merge/csv_reader.h"

#include "merge/list_text.h"

#include <csv.h>

#include <QSet>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

// The libcsv parser state between records (ROW_NOT_BEGUN in libcsv.c): no
// field of a record has been started, so the next line begins one.
constexpr int ParserBetweenRecords = 0;

constexpr std::array<char, 3> Delimiters = {',', ';', '\t'};
// How many rows after the header the separator detection looks at.
constexpr int RowsForDetection = 20;

class TCsvParse {
public:
    TCsvParse(char delimiter, bool renameColumns) : FRenameColumns(renameColumns)
    {
        if (csv_init(&FParser, CSV_STRICT | CSV_STRICT_FINI) != 0)
            throw ERecipientListError("The list cannot be read: out of memory.");
        csv_set_delim(&FParser, static_cast<unsigned char>(delimiter));
    }
    ~TCsvParse() { csv_free(&FParser); }
    TCsvParse(const TCsvParse &) = delete;
    TCsvParse &operator=(const TCsvParse &) = delete;

    // `firstLine`: the line number of the text's first line.
    TRecipientTable Run(std::string_view text, int firstLine);

private:
    static void OnField(void *field, size_t length, void *self)
    {
        static_cast<TCsvParse *>(self)->Field(static_cast<const char *>(field), length);
    }
    static void OnRecord(int, void *self) { static_cast<TCsvParse *>(self)->Record(); }

    void Field(const char *field, size_t length);
    void Record();
    void Header();
    void Fail(const QString &message)
    {
        if (!FError)
            FError = message;
    }
    void DropEmptyUnnamedColumns();
    void AddWarnings();

    bool FRenameColumns;
    csv_parser FParser{};
    TRecipientTable FTable;
    bool FHaveHeader = false;
    int FLine = 1;             // the line being fed to the parser
    int FRecordLine = 1;       // where the record being read began
    int FLastFieldLine = 1;    // where the last value ended
    std::vector<QString> FFields;
    std::vector<qsizetype> FUnnamed; // columns the header row leaves without a name
    std::optional<QString> FError;
    TLineList FShortLines, FLongLines, FEmptyLines;
};

void TCsvParse::Field(const char *field, size_t length)
{
    FLastFieldLine = FLine;
    if (FError)
        return;
    if (length > MaxFieldBytes) {
        Fail(QStringLiteral("The value in line %1 of the list is longer than %2 MB, which no card can show.")
                 .arg(FRecordLine).arg(MaxFieldBytes / 1000000));
        return;
    }
    if (!FHaveHeader && FFields.size() >= MaxColumns) {
        Fail(QStringLiteral("The header row (line %1) of the list has more than %2 columns.")
                 .arg(FRecordLine).arg(MaxColumns));
        return;
    }
    FFields.push_back(CleanValue(FromValidUtf8(std::string_view(field, length))));
}

void TCsvParse::Header()
{
    FHaveHeader = true;
    if (!FRenameColumns) {
        FTable.Columns = QStringList(FFields.begin(), FFields.end());
        return;
    }
    QSet<QString> seen;
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        QString name = FFields[i].simplified(); // a line break in a name becomes a space
        if (name.isEmpty()) {
            name = QStringLiteral("Column %1").arg(i + 1);
            FUnnamed.push_back(qsizetype(i));
        }
        if (seen.contains(name)) {
            int n = 2;
            while (seen.contains(QStringLiteral("%1 (%2)").arg(name).arg(n)))
                ++n;
            const QString renamed = QStringLiteral("%1 (%2)").arg(name).arg(n);
            FTable.Warnings.append(QStringLiteral("The header row names \"%1\" more than once; column %2 is called "
                                                  "\"%3\".").arg(name).arg(i + 1).arg(renamed));
            name = renamed;
        }
        seen.insert(name);
        FTable.Columns.append(name);
    }
}

void TCsvParse::Record()
{
    if (FError) {
        FFields.clear();
        return;
    }
    if (!FHaveHeader) {
        Header();
        FFields.clear();
        return;
    }
    if (std::all_of(FFields.begin(), FFields.end(), [](const QString &v) { return v.trimmed().isEmpty(); })) {
        FEmptyLines.Add(FRecordLine);
        FFields.clear();
        return;
    }
    const std::size_t columns = std::size_t(FTable.Columns.size());
    if (FTable.Rows.size() >= MaxRecipients) {
        Fail(QStringLiteral("The list has more than %1 recipients (line %2 begins recipient %3).")
                 .arg(CountText(MaxRecipients)).arg(FRecordLine)
                 .arg(CountText(MaxRecipients + 1)));
        return;
    }
    if ((FTable.Rows.size() + 1) * columns > MaxValues) {
        Fail(QStringLiteral("The list holds more than %1 values (%2 columns; line %3 begins recipient %4).")
                 .arg(CountText(MaxValues)).arg(columns).arg(FRecordLine)
                 .arg(FTable.Rows.size() + 1));
        return;
    }
    if (FFields.size() < columns)
        FShortLines.Add(FRecordLine);
    if (FFields.size() > columns) {
        // Values past the last column are dropped only when they say something.
        if (std::any_of(FFields.begin() + qsizetype(columns), FFields.end(),
                        [](const QString &v) { return !v.trimmed().isEmpty(); }))
            FLongLines.Add(FRecordLine);
    }
    FFields.resize(columns);
    TRecipient recipient;
    recipient.Values = QStringList(FFields.begin(), FFields.end());
    FTable.Rows.push_back(std::move(recipient));
    FFields.clear();
}

// Spreadsheets save a few empty columns after the last one used, as
// separators at the end of every row; they would only clutter the list.
// An unnamed column that holds values stays, under a name of its own.
void TCsvParse::DropEmptyUnnamedColumns()
{
    for (auto column = FUnnamed.rbegin(); column != FUnnamed.rend(); ++column) {
        const qsizetype index = *column;
        const bool empty = std::all_of(FTable.Rows.begin(), FTable.Rows.end(), [&](const TRecipient &row) {
            return row.Values[index].trimmed().isEmpty();
        });
        if (!empty) {
            FTable.Warnings.prepend(QStringLiteral("Column %1 of the header row has no name; it is called \"%2\".")
                                        .arg(index + 1).arg(FTable.Columns[index]));
            continue;
        }
        FTable.Columns.removeAt(index);
        for (TRecipient &row : FTable.Rows)
            row.Values.removeAt(index);
    }
}

void TCsvParse::AddWarnings()
{
    if (!FShortLines.Empty())
        FTable.Warnings.append(QStringLiteral("Some rows have fewer values than the header row has columns "
                                              "(%1); the missing values are left empty.")
                                   .arg(FShortLines.Text()));
    if (!FLongLines.Empty())
        FTable.Warnings.append(QStringLiteral("Some rows have more values than the header row has columns "
                                              "(%1); the values past the last column are left out.")
                                   .arg(FLongLines.Text()));
    if (!FEmptyLines.Empty())
        FTable.Warnings.append(QStringLiteral("Empty rows are left out (%1).")
                                   .arg(FEmptyLines.Text()));
    if (FTable.Rows.empty())
        FTable.Warnings.append(QStringLiteral("The list has a header row but no recipients."));
}

TRecipientTable TCsvParse::Run(std::string_view text, int firstLine)
{
    FLine = FRecordLine = FLastFieldLine = firstLine;
    // One line at a time, so that whatever the parser reports belongs to a
    // known line.
    std::size_t start = 0;
    while (start < text.size() && !FError) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (end < text.size()) {
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
                ++end;
            ++end;
        }
        if (FParser.pstate == ParserBetweenRecords)
            FRecordLine = FLine;
        const std::size_t length = end - start;
        if (csv_parse(&FParser, text.data() + start, length, OnField, OnRecord, this) != length)
            Fail(QStringLiteral("Line %1 of the list has a quote in the wrong place. A value in quotes must end "
                                "with a quote followed by the separator or the end of the line, and a quote inside "
                                "a value is written twice, with the whole value in quotes.")
                     .arg(FLine));
        start = end;
        ++FLine;
    }
    // In strict mode csv_fini refuses a quoted value still open at the end.
    if (!FError && csv_fini(&FParser, OnField, OnRecord, this) != 0) {
        if (csv_error(&FParser) == CSV_EPARSE)
            Fail(QStringLiteral("The quote opened in line %1 of the list is never closed.")
                     .arg(FFields.empty() ? FRecordLine : FLastFieldLine));
        else
            Fail(QStringLiteral("The list cannot be read: %1.").arg(csv_strerror(csv_error(&FParser))));
    }
    if (FError)
        throw ERecipientListError(FError->toStdString());
    if (!FHaveHeader)
        throw ERecipientListError("The list is empty: it needs a header row naming its columns, then one row "
                                  "per recipient.");
    DropEmptyUnnamedColumns();
    AddWarnings();
    return std::move(FTable);
}

// The number of each separator outside quotes in each of the first records.
std::vector<std::array<int, 3>> CountSeparators(std::string_view text)
{
    std::vector<std::array<int, 3>> records;
    std::array<int, 3> counts{};
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size() && records.size() <= std::size_t(RowsForDetection); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted; // a doubled quote toggles twice
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (any)
                records.push_back(counts);
            counts = {};
            any = false;
            continue;
        } else if (!quoted) {
            for (std::size_t d = 0; d < Delimiters.size(); ++d)
                counts[d] += c == Delimiters[d];
        }
        any = any || (c != ' ');
    }
    if (any)
        records.push_back(counts);
    return records;
}

} // namespace

char DetectDelimiter(std::string_view text)
{
    const std::vector<std::array<int, 3>> records = CountSeparators(text);
    if (records.empty())
        return ',';
    char best = ',';
    int bestAgreeing = -1;
    int bestCount = 0;
    for (std::size_t d = 0; d < Delimiters.size(); ++d) {
        const int inHeader = records.front()[d];
        if (inHeader == 0)
            continue;
        const int agreeing = int(std::count_if(records.begin() + 1, records.end(),
                                               [&](const auto &counts) { return counts[d] == inHeader; }));
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && inHeader > bestCount)) {
            best = Delimiters[d];
            bestAgreeing = agreeing;
            bestCount = inHeader;
        }
    }
    return best;
}

TRecipientTable ReadCsvRecipients(std::string_view bytes, TCsvOptions options)
{
    const TListText text = DecodeListText(bytes);
    const QByteArray utf8 = text.Text.toUtf8();
    const std::string_view view(utf8.constData(), std::size_t(utf8.size()));
    // Excel writes, and reads, a first line "sep=;" that names the separator.
    if (view.starts_with("sep=") && view.size() > 4 && view[4] != '"' && uchar(view[4]) > 0x20 && uchar(view[4]) < 0x7F
        && (view.size() == 5 || view[5] == '\r' || view[5] == '\n')) {
        const char named = view[4];
        std::size_t next = 5;
        if (next < view.size() && view[next] == '\r')
            ++next;
        if (next < view.size() && view[next] == '\n')
            ++next;
        return TCsvParse(options.Delimiter ? options.Delimiter : named, options.RenameColumns)
            .Run(view.substr(next), 2);
    }
    const char delimiter = options.Delimiter ? options.Delimiter : DetectDelimiter(view);
    return TCsvParse(delimiter, options.RenameColumns).Run(view, 1);
}
