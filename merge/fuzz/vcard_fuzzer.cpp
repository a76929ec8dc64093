// Feeds arbitrary bytes to the vCard reader and checks what it reads.
#include "fuzz_checks.h"
#include "merge/vcard_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        CheckTable(ReadVCardRecipients(BytesOf(data, size)));
    } catch (const ERecipientListError &) {
    }
    return 0;
}
