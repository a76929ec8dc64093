#pragma once
// Splits RTF bytes into tokens: group braces, control words with their
// parameter, control symbols, \'hh bytes, runs of text and \binN data.
// It never reads past its input and bounds what it keeps of over-long words
// and numbers, so hostile input costs time linear in its length.

#include <cstdint>
#include <string_view>

namespace rtf {

enum class TokenType {
    GroupStart,
    GroupEnd,
    ControlWord,   // word, hasParam, param
    ControlSymbol, // symbol
    HexByte,       // byte (\'hh)
    Text,          // text: bytes without braces, backslashes, CR or LF
    Binary,        // text: the N bytes after \binN
    End,
};

struct Token {
    Token() = default;
    explicit Token(TokenType kind) : type(kind) {}

    TokenType type = TokenType::End;
    std::string_view text;
    std::string_view word;
    int32_t param = 0;
    bool hasParam = false;
    char symbol = 0;
    unsigned char byte = 0;
};

// Control words longer than this are cut to it (RTF allows 32 letters).
inline constexpr std::size_t kMaxControlWordLength = 32;

class Tokenizer {
public:
    explicit Tokenizer(std::string_view data) : m_data(data) {}

    Token Next();

    std::size_t Position() const { return m_pos; }

private:
    Token ReadControl();
    Token ReadText();
    bool AtEnd() const { return m_pos >= m_data.size(); }
    char Peek() const { return m_data[m_pos]; }

    std::string_view m_data;
    std::size_t m_pos = 0;
};

} // namespace rtf
