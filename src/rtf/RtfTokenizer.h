#pragma once

#include <QByteArrayView>

namespace rtf {

enum class TokenKind : unsigned char {
    GroupStart,
    GroupEnd,
    ControlWord,   // name + optional numeric parameter
    ControlSymbol, // backslash + one non-letter character
    Text,          // a run of ordinary bytes (CR, LF and NUL are dropped by the format)
    Hex,           // \'hh; invalid digits give a token with valid == false
    End,
};

struct Token
{
    TokenKind kind = TokenKind::End;
    QByteArrayView text; // control word name or text run
    int param = 0;
    bool hasParam = false;
    bool valid = true;
    unsigned char byte = 0; // the control symbol or the hex value
};

// Splits RTF bytes into tokens without interpreting them. Never reads past the end, never
// allocates: text runs and names are views into the input.
class Tokenizer final
{
public:
    explicit Tokenizer(QByteArrayView data) : m_data(data) {}

    Token next();

    // The raw bytes of \binN data, clamped at the end of the input.
    QByteArrayView takeBinary(qint64 count);

    qsizetype position() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

private:
    Token controlWord();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace rtf
