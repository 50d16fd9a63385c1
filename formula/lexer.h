// SPDX-License-Identifier: MIT

#pragma once

// The formula's words: numbers read as the fields read them, names, y', the operators and
// parentheses. Blanks between them are skipped.

#include "formula/formula.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace formula {

enum class Kind : std::uint8_t {
    End,
    Number,
    Name,
    Slope, // y'
    Plus,
    Minus,
    Times,
    Divide,
    Power,
    Open,
    Close,
};

struct Token
{
    Kind kind = Kind::End;
    std::size_t begin = 0; // offset in the text
    std::size_t end = 0;
    double number = 0.0;
};

// Ends the compilation with `what` at `column`, e.g. "')' expected at column 9".
[[noreturn]] void fail(std::size_t column, std::string_view what, std::string_view after = "");

// A name as a message quotes it, shortened when it is long.
std::string quoted(std::string_view name);

// Reads one token ahead; a byte that starts no token ends the compilation at its column.
class Lexer
{
public:
    explicit Lexer(std::string_view text) : m_text(text) { advance(); }

    const Token &peek() const { return m_next; }
    // The 1-based column of the token ahead; past the end, the text's length + 1.
    std::size_t column() const { return m_next.begin + 1; }
    Token take()
    {
        const Token t = m_next;
        advance();
        return t;
    }

private:
    void advance();
    std::size_t numberEnd(std::size_t i) const;

    std::string_view m_text;
    std::size_t m_at = 0;
    Token m_next;
};

} // namespace formula
