#include "merge/list_text.h"

#include "merge/recipient_table.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

class TConverter {
public:
    explicit TConverter(const char *charset) : FHandle(iconv_open("UTF-16LE", charset)) {}
    ~TConverter()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    TConverter(const TConverter &) = delete;
    TConverter &operator=(const TConverter &) = delete;
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return FHandle; }

private:
    iconv_t FHandle;
};

QString FromUtf16Le(const std::vector<char> &bytes, std::size_t length)
{
    QString text(qsizetype(length / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < length; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8)));
    return text;
}

[[noreturn]] void RefuseAt(const QString &before, const QString &why)
{
    throw ERecipientListError(
        QStringLiteral("Line %1 of the list %2").arg(LineAfter(before)).arg(why).toStdString());
}

bool HasNonAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return true;
    }
    return false;
}

TListText Checked(QString text, const QString &encoding)
{
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        RefuseAt(text.left(nul), QStringLiteral("holds a NUL character, so the file is not plain text "
                                                "(it may be UTF-16 without a byte order mark)."));
    return {std::move(text), encoding};
}

} // namespace

std::optional<QString> DecodeStrictly(std::string_view bytes, const char *charset, std::size_t *badOffset,
                                      QString *decodedBefore)
{
    // glibc's iconv drops U+FEFF wherever it stands; Qt keeps every
    // character. iconv then only finds where invalid UTF-8 begins.
    if (qstricmp(charset, "UTF-8") == 0 || qstricmp(charset, "UTF8") == 0) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        if (!decoder.hasError())
            return text;
    }
    const TConverter converter(charset);
    if (!converter.Valid())
        return std::nullopt;
    // Two bytes of UTF-16 per input byte are enough for every single-byte
    // page and for UTF-8; the buffer grows for anything that needs more.
    std::vector<char> out(bytes.size() * 2 + 16);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    std::size_t done = 0;
    for (;;) {
        char *outPtr = out.data() + done;
        size_t outLeft = out.size() - done;
        const size_t result = iconv(converter.Get(), inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr,
                                    &outPtr, &outLeft);
        done = std::size_t(outPtr - out.data());
        if (result != size_t(-1)) {
            if (inLeft == 0)
                break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ (an invalid sequence) or EINVAL (one cut off at the end).
        if (badOffset)
            *badOffset = std::size_t(in - bytes.data());
        if (decodedBefore)
            *decodedBefore = FromUtf16Le(out, done);
        return std::nullopt;
    }
    return FromUtf16Le(out, done);
}

QString FromValidUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

int LineAfter(QStringView text)
{
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n'))
            ++line;
        else if (text[i] == QLatin1Char('\r') && (i + 1 == text.size() || text[i + 1] != QLatin1Char('\n')))
            ++line;
    }
    return line;
}

TListText DecodeListText(std::string_view bytes)
{
    const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    for (const auto &[mark, charset] : {std::pair{std::string_view("\xFF\xFE", 2), "UTF-16LE"},
                                        std::pair{std::string_view("\xFE\xFF", 2), "UTF-16BE"}}) {
        if (!startsWith(mark))
            continue;
        QString before;
        if (auto text = DecodeStrictly(bytes.substr(2), charset, nullptr, &before))
            return Checked(std::move(*text), QStringLiteral("UTF-16"));
        RefuseAt(before, QStringLiteral("ends in the middle of a character, or holds a character that is not "
                                        "valid UTF-16."));
    }

    const bool marked = startsWith("\xEF\xBB\xBF");
    const std::string_view body = marked ? bytes.substr(3) : bytes;
    std::size_t bad = 0;
    QString before;
    if (auto text = DecodeStrictly(body, "UTF-8", &bad, &before))
        return Checked(std::move(*text), QStringLiteral("UTF-8"));
    if (marked || HasNonAscii(body.substr(0, bad)))
        RefuseAt(before, QStringLiteral("holds bytes that are not valid UTF-8, while the text before them is "
                                        "UTF-8. Save the list again as UTF-8 text."));
    if (auto text = DecodeStrictly(body, "CP1252", &bad, &before))
        return Checked(std::move(*text), QStringLiteral("Windows-1252"));
    RefuseAt(before, QStringLiteral("holds a byte that is neither UTF-8 nor Windows-1252 text (0x%1). "
                                    "Save the list again as UTF-8 text.")
                         .arg(uchar(body[bad]), 2, 16, QLatin1Char('0')));
}
