#include "rtftokenizer.h"

#include <algorithm>
#include <limits>

namespace rtf {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Token Tokenizer::next()
{
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{': ++m_pos; return Token(Token::Kind::GroupStart);
        case '}': ++m_pos; return Token(Token::Kind::GroupEnd);
        case '\\':
            ++m_pos;
            if (m_pos >= m_data.size())
                return Token(Token::Kind::End);
            if (isLetter(m_data[m_pos]))
                return controlWord();
            return controlSymbol(m_data[m_pos++]);
        case '\r':
        case '\n': ++m_pos; continue;
        default: return textRun();
        }
    }
    return Token(Token::Kind::End);
}

Token Tokenizer::controlWord()
{
    Token token{Token::Kind::ControlWord};
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
        ++m_pos;
    token.text = m_data.sliced(start, m_pos - start);

    bool negative = false;
    if (m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
        // Writers never need more than 32-bit values; longer digit runs are clamped, not wrapped.
        qint64 value = 0;
        while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            if (value <= std::numeric_limits<int>::max())
                value = value * 10 + (m_data[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            value = -value;
        token.parameter = static_cast<int>(std::clamp<qint64>(
            value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        token.hasParameter = true;
    }
    if (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;
    return token;
}

Token Tokenizer::controlSymbol(char c)
{
    if (c == '\'') {
        const int high = m_pos < m_data.size() ? hexValue(m_data[m_pos]) : -1;
        if (high < 0) // malformed escape: drop it and read on as ordinary text
            return Token(Token::Kind::Text);
        ++m_pos;
        int value = high;
        const int low = m_pos < m_data.size() ? hexValue(m_data[m_pos]) : -1;
        if (low >= 0) {
            value = high * 16 + low;
            ++m_pos;
        }
        Token token{Token::Kind::HexByte};
        token.byte = static_cast<unsigned char>(value);
        return token;
    }
    if (c == '\r' || c == '\n') { // backslash before a line end is a paragraph mark
        Token token{Token::Kind::ControlWord};
        token.text = "par";
        return token;
    }
    Token token{Token::Kind::ControlSymbol};
    token.symbol = c;
    return token;
}

Token Tokenizer::textRun()
{
    const qsizetype start = m_pos;
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
            break;
        ++m_pos;
    }
    Token token{Token::Kind::Text};
    token.text = m_data.sliced(start, m_pos - start);
    return token;
}

QByteArrayView Tokenizer::takeBinary(qint64 count)
{
    const qint64 available = m_data.size() - m_pos;
    const qint64 n = std::clamp<qint64>(count, 0, available);
    const QByteArrayView bytes = m_data.sliced(m_pos, static_cast<qsizetype>(n));
    m_pos += static_cast<qsizetype>(n);
    return bytes;
}

} // namespace rtf
