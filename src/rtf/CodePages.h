#pragma once

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace rtf {

// Code page numbers as RTF names them (\ansicpgN, \cpgN); the symbol pseudo page is for
// fonts with \fcharset2, whose bytes are glyph numbers rather than characters.
constexpr int kSymbolCodePage = 42;
constexpr int kDefaultCodePage = 1252;

// The code page for a font's \fcharsetN, or 0 when the charset means "the document's default".
int codePageForCharset(int charset);

// Maps what documents write for \ansicpg to a page we can decode (\ansicpg-535 is 65001,
// \ansicpg0 means the default).
int normaliseCodePage(int codePage);

// Appends the bytes decoded in the given code page. Unknown pages decode as Windows-1252 so that
// text is never lost; bytes with no character become U+FFFD.
void appendDecoded(QString &out, QByteArrayView bytes, int codePage);

// The character of every byte in Windows-1252 and in the symbol page.
extern const std::array<char16_t, 256> kCp1252Chars;
extern const std::array<char16_t, 256> kSymbolChars;

// For the pages with one character per byte that need no converter, the character of every
// byte; nullptr for the others. Inline: the reader asks for every run of body text.
inline const char16_t *singleByteTable(int codePage)
{
    if (codePage == kDefaultCodePage)
        return kCp1252Chars.data();
    if (codePage == kSymbolCodePage)
        return kSymbolChars.data();
    return nullptr;
}

// Decodes bytes in a page from singleByteTable() into out, which has room for all of them.
// ASCII reads as itself in Windows-1252, so there eight such bytes at a time are widened
// together; inline, as it decodes nearly all of a note's text.
inline void decodeSingleByte(char16_t *out, QByteArrayView bytes, const char16_t *table)
{
    using Bytes = unsigned char __attribute__((vector_size(8)));
    using Units = std::uint16_t __attribute__((vector_size(16)));
    const char *in = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    if (table == kCp1252Chars.data() && n >= 8) {
        // The last eight overlap the eight before them rather than going byte by byte.
        const qsizetype last = n - 8;
        for (;; i += 8) {
            const qsizetype at = std::min(i, last);
            Bytes eight;
            std::memcpy(&eight, in + at, sizeof eight);
            std::uint64_t word;
            std::memcpy(&word, in + at, sizeof word);
            if (word & 0x8080808080808080ull) {
                i = at;
                break;
            }
            const Units units = __builtin_convertvector(eight, Units);
            std::memcpy(out + at, &units, sizeof units);
            if (at == last)
                return;
        }
    }
    for (; i < n; ++i)
        out[i] = table[static_cast<unsigned char>(in[i])];
}

// The Windows-1252 byte for a character, when the page has one.
bool cp1252Byte(char16_t ch, unsigned char &byte);

} // namespace rtf
