#include "richtext/rtf_tokenizer.h"

#include <algorithm>
#include <limits>

namespace rtf {

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Token Tokenizer::Next()
{
    while (!AtEnd()) {
        const char c = Peek();
        switch (c) {
        case '{':
            ++m_pos;
            return Token{TokenType::GroupStart};
        case '}':
            ++m_pos;
            return Token{TokenType::GroupEnd};
        case '\\':
            ++m_pos;
            return ReadControl();
        case '\r':
        case '\n':
            // Line ends only keep lines short in the file; they are not text.
            ++m_pos;
            continue;
        default:
            return ReadText();
        }
    }
    return Token{TokenType::End};
}

Token Tokenizer::ReadText()
{
    const std::size_t start = m_pos;
    while (!AtEnd()) {
        const char c = Peek();
        if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
            break;
        ++m_pos;
    }
    Token token{TokenType::Text};
    token.text = m_data.substr(start, m_pos - start);
    return token;
}

Token Tokenizer::ReadControl()
{
    if (AtEnd())
        return Token{TokenType::End};
    const char first = Peek();
    if (!IsLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            // \'hh: a byte in the current code page. A broken escape comes out
            // as the symbol ' itself, which readers ignore.
            if (m_data.size() - m_pos >= 2) {
                const int high = HexValue(m_data[m_pos]);
                const int low = HexValue(m_data[m_pos + 1]);
                if (high >= 0 && low >= 0) {
                    m_pos += 2;
                    Token token{TokenType::HexByte};
                    token.byte = static_cast<unsigned char>(high * 16 + low);
                    return token;
                }
            }
        }
        Token token{TokenType::ControlSymbol};
        token.symbol = first;
        return token;
    }

    const std::size_t start = m_pos;
    while (!AtEnd() && IsLetter(Peek()))
        ++m_pos;
    Token token{TokenType::ControlWord};
    token.word = m_data.substr(start, std::min(m_pos - start, kMaxControlWordLength));

    const bool negative = !AtEnd() && Peek() == '-' && m_pos + 1 < m_data.size()
                          && IsDigit(m_data[m_pos + 1]);
    if (negative)
        ++m_pos;
    if (!AtEnd() && IsDigit(Peek())) {
        // Digits beyond what an int holds are read and the value clamped.
        int64_t value = 0;
        while (!AtEnd() && IsDigit(Peek())) {
            if (value <= std::numeric_limits<int32_t>::max())
                value = value * 10 + (Peek() - '0');
            ++m_pos;
        }
        if (negative)
            value = -value;
        value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max());
        token.hasParam = true;
        token.param = static_cast<int32_t>(value);
    }
    if (!AtEnd() && Peek() == ' ')
        ++m_pos;

    if (token.word == "bin") {
        // \binN: N raw bytes follow that must not be read as RTF.
        const std::size_t count = token.param > 0 ? static_cast<std::size_t>(token.param) : 0;
        const std::size_t length = std::min(count, m_data.size() - m_pos);
        Token binary{TokenType::Binary};
        binary.text = m_data.substr(m_pos, length);
        m_pos += length;
        return binary;
    }
    return token;
}

} // namespace rtf
