#pragma once
// Windows code pages of RTF text: \ansicpg names the document's, a font's
// \fcharset (or \cpg) names its own, and \'hh bytes and raw 8-bit text are in
// the code page of the font in use. Decoding goes through the C library's
// iconv, which knows all the single- and double-byte pages writers use.

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rtf {

inline constexpr int kDefaultCodePage = 1252;

// The code page of a font character set (\fcharsetN); 0 when the set does not
// name one (ANSI and "default" sets use the document's code page).
int CodePageOfCharset(int charset);

// `text` in `codePage`, or nothing when the page cannot encode all of it
// exactly (so that decoding the bytes gives `text` again).
std::optional<std::string> EncodeInCodePage(int codePage, const QString &text);

// Decodes bytes of one code page, keeping an iconv converter per page. Bytes
// that are not valid in the page become U+FFFD; an unknown page is read as 1252.
class CodePageDecoder {
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    QString Decode(int codePage, std::string_view bytes);

private:
    void *ConverterFor(int codePage);

    std::map<int, void *> m_converters; // iconv_t by code page; (void*)-1 = none
};

} // namespace rtf
