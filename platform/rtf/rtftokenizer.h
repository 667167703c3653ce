#pragma once

#include <QByteArrayView>

namespace rtf {

// One lexical unit of an RTF stream. Views point into the tokenizer's input.
struct Token
{
    enum class Kind {
        GroupStart,
        GroupEnd,
        ControlWord,   // name + optional numeric parameter
        ControlSymbol, // backslash + one non-letter character (in `symbol`)
        HexByte,       // \'hh, value in `byte`
        Text,          // run of literal bytes, CR/LF already dropped
        End
    };

    Token() = default;
    explicit Token(Kind k) : kind(k) {}

    Kind kind = Kind::End;
    QByteArrayView text; // control word name or text run
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
    unsigned char byte = 0;
};

// The value of a hexadecimal digit (either case); -1 for any other character.
int hexValue(char c);

// Splits RTF bytes into tokens. Never reads past the input and keeps no state besides the
// position, so every input terminates after at most one token per byte.
class Tokenizer
{
public:
    explicit Tokenizer(QByteArrayView data) : m_data(data) {}

    Token next();

    // Consumes up to `count` raw bytes following \binN; fewer when the input ends first.
    QByteArrayView takeBinary(qint64 count);

    qsizetype position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

private:
    Token controlWord();
    Token controlSymbol(char c);
    Token textRun();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace rtf
