#include "richtext/rtf_codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace rtf {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The iconv name of a Windows code page, or nullptr.
const char *IconvName(int codePage)
{
    switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

// Writes out what `converter` holds back and resets it: a page with
// combining marks (1258) keeps the last character in case a mark follows.
void FlushConverter(iconv_t converter, char *&out, size_t &outLeft)
{
    iconv(converter, nullptr, nullptr, &out, &outLeft);
}

} // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;  // Mac Roman
    case 128: return 932;   // Shift-JIS
    case 129: return 949;   // Hangul
    case 130: return 1361;  // Johab
    case 134: return 936;   // GB2312 / GBK
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 163: return 1258;  // Vietnamese
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Cyrillic
    case 222: return 874;   // Thai
    case 238: return 1250;  // Central European
    case 254: return 437;   // PC 437
    case 255: return 850;   // OEM
    default: return 0;      // ANSI, default, symbol: the document's page
    }
}

std::optional<std::string> EncodeInCodePage(int codePage, const QString &text)
{
    const char *name = IconvName(codePage);
    if (!name)
        return std::nullopt;
    iconv_t converter = iconv_open(name, "UTF-8");
    if (converter == kNoConverter)
        return std::nullopt;
    QByteArray utf8 = text.toUtf8();
    std::string out(static_cast<std::size_t>(utf8.size()) * 2 + 8, '\0');
    char *in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    char *outPtr = out.data();
    size_t outLeft = out.size();
    const bool converted = iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)
                           && inLeft == 0;
    FlushConverter(converter, outPtr, outLeft);
    iconv_close(converter);
    if (!converted)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    // Some pages take a character in as a look-alike of their own (U+00AC
    // into 932 as the byte pair of U+FFE2): that is no encoding of the text.
    if (CodePageDecoder().Decode(codePage, out) != text)
        return std::nullopt;
    return out;
}

CodePageDecoder::~CodePageDecoder()
{
    for (auto &[page, converter] : m_converters) {
        if (converter != kNoConverter)
            iconv_close(static_cast<iconv_t>(converter));
    }
}

void *CodePageDecoder::ConverterFor(int codePage)
{
    auto found = m_converters.find(codePage);
    if (found != m_converters.end())
        return found->second;
    const char *name = IconvName(codePage);
    iconv_t converter = name ? iconv_open("UTF-8", name) : kNoConverter;
    m_converters[codePage] = converter;
    return converter;
}

QString CodePageDecoder::Decode(int codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    iconv_t converter = static_cast<iconv_t>(ConverterFor(codePage));
    if (converter == kNoConverter && codePage != kDefaultCodePage)
        converter = static_cast<iconv_t>(ConverterFor(kDefaultCodePage));
    if (converter == kNoConverter)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));

    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    static const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four output bytes per input byte suffice
        // An invalid or incomplete sequence: replace its first byte and go
        // on, after what the converter holds back.
        FlushConverter(converter, outPtr, outLeft);
        if (outLeft < 3)
            break;
        std::copy(kReplacement, kReplacement + 3, outPtr);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    FlushConverter(converter, outPtr, outLeft);
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(outPtr - out.data()));
}

} // namespace rtf
