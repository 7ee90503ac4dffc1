#pragma once

#include <charconv>

namespace rtf {

// Appends a number's decimal digits to a byte string (QByteArray or std::string) without a
// temporary: the writer puts one after nearly every control word.
template <typename Bytes> void appendNumber(Bytes &out, int value)
{
    char digits[12];
    const char *end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<decltype(out.size())>(end - digits));
}

} // namespace rtf
