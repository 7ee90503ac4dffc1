#pragma once

#include <QByteArrayView>
#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

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
    // A control word's first eight letters, the first in the lowest byte and zeros after the
    // last: how the keyword table is keyed, read here while the letters are in a register.
    std::uint64_t head = 0;
};

// Splits RTF bytes into tokens without interpreting them. Never reads past the end, never
// allocates: text runs and names are views into the input.
// A note has a control word every few bytes, so the common tokens are read inline, and a name
// is measured eight letters at a time where eight bytes remain: it then ends without a loop
// whose exit the processor would guess wrong at nearly every word.
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
    // Byte classes looked up in one table, so that each test is a single load.
    enum ByteClass : unsigned char {
        kLetter = 1,
        kDigit = 2,
        kSpecial = 4, // ends a text run: \ { } and the ignored CR, LF and NUL
        kIgnored = 8, // CR, LF and NUL carry no meaning in RTF; producers wrap long lines freely
    };
    static constexpr std::array<unsigned char, 256> kClasses = [] {
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
    static bool is(char c, unsigned char byteClass)
    {
        return (kClasses[static_cast<unsigned char>(c)] & byteClass) != 0;
    }

    // Eight bytes at once, the first in the lowest bits. In the mask below a byte's high bit
    // marks the bytes in the range; adding to bytes whose high bit is cleared never carries into
    // the next byte.
    static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    static constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    static std::uint64_t load(const char *at) { return qFromLittleEndian<quint64>(at); }
    static std::uint64_t inRange(std::uint64_t bytes, unsigned char first, unsigned char last)
    {
        const std::uint64_t low = bytes & ~kHigh;
        return (low + kOnes * (0x80 - first)) & ~(low + kOnes * (0x7F - last)) & ~bytes & kHigh;
    }
    // How many of the eight bytes come before the first one that is not marked.
    static int leading(std::uint64_t marks) { return std::countr_zero(~marks & kHigh) / 8; }
    static std::uint64_t firstBytes(std::uint64_t bytes, int count)
    {
        return count >= 8 ? bytes : bytes & ((std::uint64_t(1) << (8 * count)) - 1);
    }

    // Where the text run from pos ends: at the first special byte or the end of the input.
    static qsizetype textEnd(const char *data, qsizetype pos, qsizetype size);
    Token controlWord(qsizetype pos);
    int number(qsizetype &pos, bool &given) const;
    Token symbol(qsizetype pos); // \'hh or a control symbol; pos is after the backslash

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

inline Token Tokenizer::next()
{
    // The position is kept in a local while scanning, so the loops run in registers.
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    qsizetype pos = m_pos;
    Token token;
    if (pos >= size) {
        m_pos = pos;
        return token;
    }
    char c = data[pos];
    if (is(c, kIgnored)) {
        // Line breaks come between tokens, not before every one: the common tokens are told
        // apart first.
        while (pos < size && is(data[pos], kIgnored))
            ++pos;
        if (pos >= size) {
            m_pos = pos;
            return token;
        }
        c = data[pos];
    }
    if (c == '\\') {
        ++pos;
        if (pos < size && is(data[pos], kLetter))
            return controlWord(pos);
        return symbol(pos);
    }
    if (c == '{' || c == '}') {
        m_pos = pos + 1;
        token.kind = c == '{' ? TokenKind::GroupStart : TokenKind::GroupEnd;
        return token;
    }
    const qsizetype start = pos;
    pos = textEnd(data, pos, size);
    m_pos = pos;
    token.kind = TokenKind::Text;
    token.text = QByteArrayView(data + start, pos - start);
    return token;
}

inline qsizetype Tokenizer::textEnd(const char *data, qsizetype pos, qsizetype size)
{
#if defined(__SSE2__)
    // Sixteen bytes compared against the six special ones at once: most runs end in the first
    // sixteen, and long ones pass at a fraction of a byte-by-byte look.
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; size - pos >= 16; pos += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + pos));
        const __m128i braces = _mm_or_si128(_mm_cmpeq_epi8(bytes, open), _mm_cmpeq_epi8(bytes, close));
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        const __m128i others = _mm_or_si128(_mm_cmpeq_epi8(bytes, backslash), _mm_cmpeq_epi8(bytes, nul));
        const int special = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(braces, breaks), others));
        if (special != 0)
            return pos + std::countr_zero(static_cast<unsigned>(special));
    }
#endif
    while (pos < size && !is(data[pos], kSpecial))
        ++pos;
    return pos;
}

inline Token Tokenizer::controlWord(qsizetype pos)
{
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    Token token;
    token.kind = TokenKind::ControlWord;
    const qsizetype start = pos;
    if (size - pos >= 8) {
        const std::uint64_t bytes = load(data + pos);
        const int letters = leading(inRange(bytes | kOnes * 0x20, 'a', 'z')); // any case
        token.head = firstBytes(bytes, letters);
        pos += letters;
        if (letters == 8) {
            while (pos < size && is(data[pos], kLetter))
                ++pos;
        }
    } else {
        while (pos < size && is(data[pos], kLetter)) {
            if (pos - start < 8)
                token.head |= std::uint64_t(static_cast<unsigned char>(data[pos])) << (8 * (pos - start));
            ++pos;
        }
    }
    token.text = QByteArrayView(data + start, pos - start);
    // What follows the name: a space that belongs to it, a parameter, or content. Most words
    // have a one-digit parameter or none.
    if (pos < size) {
        const char after = data[pos];
        if (after == ' ') {
            ++pos;
        } else if (is(after, kDigit) || after == '-') {
            token.param = number(pos, token.hasParam);
            pos += pos < size && data[pos] == ' ';
        }
    }
    m_pos = pos;
    return token;
}

// A control word's parameter: digits with an optional minus sign, at pos. Huge ones are clamped
// rather than overflowing; every digit is still consumed.
inline int Tokenizer::number(qsizetype &pos, bool &given) const
{
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    const bool negative = data[pos] == '-';
    if (negative && !(pos + 1 < size && is(data[pos + 1], kDigit))) {
        given = false; // a lone minus sign is content
        return 0;
    }
    pos += negative;
    given = true;
    constexpr long long limit = std::numeric_limits<int>::max();
    long long value = data[pos++] - '0';
    while (pos < size && is(data[pos], kDigit)) {
        if (value <= limit)
            value = value * 10 + (data[pos] - '0');
        ++pos;
    }
    if (value > limit)
        value = limit;
    return static_cast<int>(negative ? -value : value);
}

} // namespace rtf
