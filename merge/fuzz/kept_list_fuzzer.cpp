// Feeds arbitrary bytes to the reader of the list kept with a card (a card
// folder may come from anyone) and checks what it reads.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        CheckTable(ParseKeptList(BytesOf(data, size)));
    } catch (const ERecipientListError &) {
    }
    return 0;
}
