// Feeds arbitrary bytes to the reader of Card.fold. Any bytes may be
// refused; a finding is a sanitizer report, or a fold taken from bytes
// that are not exactly its word with blanks around it.

#include "card/fold_kind.h"

#include <cstddef>
#include <cstdint>

namespace {

void Expect(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<TFoldKind> fold = ParseFoldKind(bytes);
    if (!fold)
        return 0;
    const QByteArray word = FoldKindWord(*fold).toLatin1();
    const qsizetype at = bytes.indexOf(word);
    Expect(at >= 0);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i < at || i >= at + word.size())
            Expect(IsBlank(bytes[i]));
    }
    Expect(ParseFoldKind(word) == fold);
    return 0;
}
