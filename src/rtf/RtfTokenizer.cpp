#include "RtfTokenizer.h"

#include <array>
#include <limits>

namespace rtf {

namespace {

// Byte classes looked up in one table: the tokenizer touches every byte of a note, so each
// test must be a single load rather than a chain of comparisons.
enum ByteClass : unsigned char {
    kPlain = 0,
    kLetter = 1,
    kDigit = 2,
    kSpecial = 4, // ends a text run: \ { } and the ignored CR, LF and NUL
    kIgnored = 8, // CR, LF and NUL carry no meaning in RTF; producers wrap long lines freely
};

constexpr auto kClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = kLetter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = kLetter;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = kDigit;
    for (const unsigned char c : {'\\', '{', '}'})
        classes[c] = kSpecial;
    for (const unsigned char c : {'\r', '\n', '\0'})
        classes[c] = kSpecial | kIgnored;
    return classes;
}();

bool is(char c, unsigned char byteClass)
{
    return (kClasses[static_cast<unsigned char>(c)] & byteClass) != 0;
}

bool isLetter(char c)
{
    return is(c, kLetter);
}

bool isDigit(char c)
{
    return is(c, kDigit);
}

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

} // namespace

Token Tokenizer::next()
{
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    // Raw line breaks and NULs carry no meaning in RTF; producers wrap long lines freely.
    while (m_pos < size && is(data[m_pos], kIgnored))
        ++m_pos;
    Token token;
    if (m_pos >= size)
        return token;

    const char c = data[m_pos];
    if (c == '{') {
        ++m_pos;
        token.kind = TokenKind::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_pos;
        token.kind = TokenKind::GroupEnd;
        return token;
    }
    if (c != '\\') {
        const qsizetype start = m_pos;
        while (m_pos < size && !is(data[m_pos], kSpecial))
            ++m_pos;
        token.kind = TokenKind::Text;
        token.text = m_data.sliced(start, m_pos - start);
        return token;
    }

    ++m_pos; // the backslash
    if (m_pos >= size)
        return token; // a lone backslash at the end: nothing more to read
    const char d = data[m_pos];
    if (isLetter(d))
        return controlWord();
    ++m_pos;
    if (d == '\'') {
        token.kind = TokenKind::Hex;
        int value = 0;
        // Two digits make the byte; anything else spoils the escape, which still counts as one
        // character for the \uc fallback count.
        for (int i = 0; i < 2; ++i) {
            if (m_pos >= size || data[m_pos] == '\\' || data[m_pos] == '{' || data[m_pos] == '}') {
                token.valid = false;
                break;
            }
            const int v = hexValue(data[m_pos++]);
            if (v < 0)
                token.valid = false;
            value = value * 16 + (v < 0 ? 0 : v);
        }
        token.byte = static_cast<unsigned char>(value);
        return token;
    }
    token.kind = TokenKind::ControlSymbol;
    token.byte = static_cast<unsigned char>(d == '\r' ? '\n' : d);
    if (d == '\r' && m_pos < size && data[m_pos] == '\n')
        ++m_pos; // \<CR><LF> is one paragraph mark
    return token;
}

Token Tokenizer::controlWord()
{
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    Token token;
    token.kind = TokenKind::ControlWord;
    const qsizetype start = m_pos;
    while (m_pos < size && isLetter(data[m_pos]))
        ++m_pos;
    token.text = m_data.sliced(start, m_pos - start);

    bool negative = false;
    if (m_pos + 1 < size && data[m_pos] == '-' && isDigit(data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < size && isDigit(data[m_pos])) {
        // Huge parameters are clamped rather than overflowing; every digit is still consumed.
        long long value = 0;
        constexpr long long limit = std::numeric_limits<int>::max();
        while (m_pos < size && isDigit(data[m_pos])) {
            if (value <= limit)
                value = value * 10 + (data[m_pos] - '0');
            ++m_pos;
        }
        if (value > limit)
            value = limit;
        token.hasParam = true;
        token.param = static_cast<int>(negative ? -value : value);
    }
    // Only a space is part of the control word; any other delimiter is content.
    if (m_pos < size && data[m_pos] == ' ')
        ++m_pos;
    return token;
}

QByteArrayView Tokenizer::takeBinary(qint64 count)
{
    const qint64 available = m_data.size() - m_pos;
    const qint64 n = count < 0 ? 0 : (count > available ? available : count);
    const QByteArrayView bytes = m_data.sliced(m_pos, n);
    m_pos += n;
    return bytes;
}

} // namespace rtf
