// SPDX-License-Identifier: MIT

#include "formula/lexer.h"

#include "platform/texttonumber.h"

namespace formula {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

Kind symbol(char c)
{
    switch (c) {
    case '+':
        return Kind::Plus;
    case '-':
        return Kind::Minus;
    case '*':
        return Kind::Times;
    case '/':
        return Kind::Divide;
    case '^':
        return Kind::Power;
    case '(':
        return Kind::Open;
    case ')':
        return Kind::Close;
    default:
        return Kind::End;
    }
}

} // namespace

void fail(std::size_t column, std::string_view what, std::string_view after)
{
    std::string message(what);
    message += " at column ";
    message += std::to_string(column);
    message += after;
    throw ParseError{column, std::move(message)};
}

std::string quoted(std::string_view name)
{
    constexpr std::size_t kLongest = 24;
    std::string q;
    q.reserve(kLongest + 5);
    q += '\'';
    q += name.substr(0, kLongest);
    if (name.size() > kLongest)
        q += "...";
    q += '\'';
    return q;
}

// The field's rule: digits with at most one '.', at least one digit, then an exponent only
// when a digit follows its 'e' and sign; "2e" is 2 followed by the name e.
std::size_t Lexer::numberEnd(std::size_t i) const
{
    const std::string_view s = m_text;
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

void Lexer::advance()
{
    const std::string_view s = m_text;
    while (m_at < s.size() && isBlank(s[m_at]))
        ++m_at;
    const std::size_t begin = m_at;
    const std::size_t column = begin + 1;
    m_next = Token{Kind::End, begin, begin, 0.0};
    if (begin == s.size())
        return;
    const char c = s[begin];
    if (isDigit(c) || c == '.') {
        const std::size_t end = numberEnd(begin);
        if (end == 0)
            fail(column, "a digit expected after the point");
        // The very rule of the fields, so a formula's 0.1 is a field's 0.1.
        const auto value = textToNumber(s.substr(begin, end - begin));
        if (!value)
            fail(column, "the number", " is beyond the range of a double");
        m_next = Token{Kind::Number, begin, end, *value};
    } else if (isLetter(c)) {
        std::size_t end = begin + 1;
        while (end < s.size() && (isLetter(s[end]) || isDigit(s[end]) || s[end] == '_'))
            ++end;
        if (end == begin + 1 && c == 'y' && end < s.size() && s[end] == '\'')
            m_next = Token{Kind::Slope, begin, end + 1, 0.0};
        else
            m_next = Token{Kind::Name, begin, end, 0.0};
    } else if (const Kind k = symbol(c); k != Kind::End) {
        m_next = Token{k, begin, begin + 1, 0.0};
    } else if (c == '\'') {
        fail(column, "an apostrophe", " after something other than y");
    } else if (static_cast<unsigned char>(c) >= 0x80) {
        fail(column, "a character that is not ASCII");
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
        fail(column, "a control character");
    } else {
        fail(column, "unexpected " + quoted(std::string_view(&c, 1)));
    }
    m_at = m_next.end;
}

} // namespace formula
