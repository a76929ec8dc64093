#pragma once
// The text of a recipient list, whatever it was written in. Spreadsheets
// write UTF-8 (with or without a byte order mark), older ones and many
// Windows programs Windows-1252, and "Unicode text" exports UTF-16 with a
// byte order mark. Decoding goes through the C library's iconv and is
// strict: a byte that means nothing in the file's encoding is refused with
// its line, never turned into a replacement character without a word.

#include <QString>

#include <cstddef>
#include <optional>
#include <string_view>

struct TListText {
    QString Text;
    QString Encoding; // "UTF-8", "UTF-16" or "Windows-1252", for messages and tests
};

// UTF-16 or UTF-8 by their byte order marks (removed from the text); then
// UTF-8 when every byte is valid UTF-8; then Windows-1252, unless lines
// before the first invalid byte already held UTF-8 (a file of mixed
// encodings would come out garbled either way). Refuses a byte that cannot
// be decoded and a NUL character (a file that is not text, or UTF-16
// without its mark) with ERecipientListError naming the line.
TListText DecodeListText(std::string_view bytes);

// `bytes` in the encoding iconv knows as `charset`, or nothing when a byte
// sequence is invalid or incomplete; then `badOffset`, when given, receives
// its offset and `decodedBefore` the text before it.
std::optional<QString> DecodeStrictly(std::string_view bytes, const char *charset,
                                      std::size_t *badOffset = nullptr, QString *decodedBefore = nullptr);

// Valid UTF-8 as text, every character kept: QString::fromUtf8 drops a
// U+FEFF at the start, which may begin a value in the middle of a file.
QString FromValidUtf8(std::string_view bytes);

// The line number (from 1) after `text`: one more than its line breaks,
// counting CR LF, LF and a lone CR each as one.
int LineAfter(QStringView text);
