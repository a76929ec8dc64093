// Recipient lists at their largest: a 100,000-row CSV list read, a vCard
// address book of 10,000 cards read, and a card's text filled in with one
// recipient's values (as each card of a merged print is).
//   cmake --build build --target merge_benchmark
//   build/benchmarks/merge_benchmark --benchmark_repetitions=5
// ReadCsv100000: six columns as a spreadsheet exports them (quoted values
//   with commas and line breaks among them), 12 MB of UTF-8; decoding,
//   separator detection and libcsv parsing.
// ReadVCard10000: 3.0 cards with folded lines and escapes.
// FillInFields: a box of three paragraphs with five fields in formatted
//   runs, copied and filled in for one recipient.
// KeptList100000: the list kept with a card, written to bytes and read back.

#include "merge/csv_reader.h"
#include "merge/kept_list.h"
#include "merge/merge_fields.h"
#include "merge/vcard_reader.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string CsvList(int rows)
{
    std::string list = "Title,First name,Last name,Street,City,Postal code\r\n";
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        list += "Dr.,Anna " + n + ",\"Berg, " + n + "\",\"" + n + " Long Road\r\nFlat " + n
                + "\",Lund,222 " + n + "\r\n";
    }
    return list;
}

std::string VCardList(int cards)
{
    std::string list;
    for (int i = 0; i < cards; ++i) {
        const std::string n = std::to_string(i);
        list += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg " + n + ";Anna;;Dr.;\r\nFN:Dr. Anna Berg " + n
                + "\r\nADR;TYPE=HOME:;;" + n + " Long Road\\nFlat 3;Lund;;222 21;Swe\r\n den\r\n"
                  "EMAIL:anna" + n + "@example.org\r\nEND:VCARD\r\n";
    }
    return list;
}

void ReadCsv100000(benchmark::State &state)
{
    const std::string list = CsvList(100000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCsvRecipients(list));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(list.size()));
}
BENCHMARK(ReadCsv100000)->Unit(benchmark::kMillisecond);

void ReadVCard10000(benchmark::State &state)
{
    const std::string list = VCardList(10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadVCardRecipients(list));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(list.size()));
}
BENCHMARK(ReadVCard10000)->Unit(benchmark::kMillisecond);

void FillInFields(benchmark::State &state)
{
    const TRecipientTable table = ReadCsvRecipients(CsvList(1000));
    QTextDocument box;
    QTextCursor cursor(&box);
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("Dear ", plain);
    cursor.insertText("{{Title}} {{First name}} {{Last name}}", bold);
    cursor.insertText(",\nYou are invited to our wedding on the 5th of June.\n", plain);
    cursor.insertText("{{Street}}\n{{City}}", plain);
    std::size_t row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WithRecipient(box, table, row));
        row = (row + 1) % table.Rows.size();
    }
}
BENCHMARK(FillInFields)->Unit(benchmark::kMicrosecond);

void KeptList100000(benchmark::State &state)
{
    const TRecipientTable table = ReadCsvRecipients(CsvList(100000));
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseKeptList(KeptListBytes(table)));
}
BENCHMARK(KeptList100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Text documents ask the font database for their default font.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
