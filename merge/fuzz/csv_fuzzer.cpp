// Feeds arbitrary bytes to the CSV reader, with the separator found and
// with each one given (the first byte chooses), and checks what it reads.
#include "fuzz_checks.h"
#include "merge/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const char delimiters[] = {0, ',', ';', '\t'};
    TCsvOptions options;
    options.Delimiter = delimiters[data[0] % 4];
    try {
        CheckTable(ReadCsvRecipients(BytesOf(data + 1, size - 1), options));
    } catch (const ERecipientListError &) {
    }
    return 0;
}
