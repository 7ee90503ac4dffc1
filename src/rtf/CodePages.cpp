#include "CodePages.h"

#include <QStringDecoder>

#include <array>
#include <map>
#include <memory>

namespace rtf {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; this page is by far the most common, so
// it is decoded here without a converter.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

const char *converterName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 866: return "IBM866";
    case 874: return "windows-874";
    case 932: return "windows-31j"; // Shift-JIS with the NEC and IBM extensions Windows uses
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "windows-950";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 1361: return "johab";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    case 20932: return "EUC-JP";
    case 54936: return "GB18030";
    default: return nullptr;
    }
}

// Converters are costly to create; one per code page is kept for the life of the process.
// The reader runs on the GUI thread only, but a thread_local cache keeps tools that read on
// other threads safe as well.
QStringDecoder *decoderFor(int codePage)
{
    thread_local std::map<int, std::unique_ptr<QStringDecoder>> cache;
    auto it = cache.find(codePage);
    if (it != cache.end())
        return it->second.get();
    std::unique_ptr<QStringDecoder> decoder;
    if (codePage == 65001) {
        decoder = std::make_unique<QStringDecoder>(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    } else if (const char *name = converterName(codePage)) {
        decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (!decoder->isValid())
            decoder.reset();
    }
    QStringDecoder *raw = decoder.get();
    cache.emplace(codePage, std::move(decoder));
    return raw;
}

void appendSingleByte(QString &out, QByteArrayView bytes, const char16_t *table)
{
    const qsizetype base = out.size();
    out.resize(base + bytes.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + base;
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        dst[i] = table[src[i]];
}

} // namespace

constinit const std::array<char16_t, 256> kCp1252Chars = [] {
    std::array<char16_t, 256> chars{};
    for (int b = 0; b < 256; ++b)
        chars[b] = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
    return chars;
}();

// Symbol-font glyphs that notes use as list bullets and arrows; the rest read as Latin-1, which
// keeps letters and digits right.
constinit const std::array<char16_t, 256> kSymbolChars = [] {
    std::array<char16_t, 256> chars{};
    for (int b = 0; b < 256; ++b)
        chars[b] = char16_t(b);
    chars[0xB7] = 0x2022;
    chars[0xA7] = 0x25AA;
    chars[0xAE] = 0x2192;
    chars[0xD8] = 0x27A2;
    chars[0xFC] = 0x2713;
    return chars;
}();

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolCodePage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

int normaliseCodePage(int codePage)
{
    if (codePage < 0)
        codePage &= 0xFFFF; // some writers store the page as a signed 16-bit number
    if (codePage == 0 || codePage == 1)
        return kDefaultCodePage;
    return codePage;
}

void appendDecoded(QString &out, QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return;
    if (const char16_t *table = singleByteTable(codePage)) {
        appendSingleByte(out, bytes, table);
        return;
    }
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        out += QLatin1StringView(bytes.data(), bytes.size());
        return;
    }
    if (QStringDecoder *decoder = decoderFor(codePage)) {
        out += decoder->decode(bytes);
        return;
    }
    appendSingleByte(out, bytes, kCp1252Chars.data());
}

bool cp1252Byte(char16_t ch, unsigned char &byte)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        byte = static_cast<unsigned char>(ch);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == ch && ch != 0xFFFD) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

} // namespace rtf
