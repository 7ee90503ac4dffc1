#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

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

// The Windows-1252 byte for a character, when the page has one.
bool cp1252Byte(char16_t ch, unsigned char &byte);

} // namespace rtf
