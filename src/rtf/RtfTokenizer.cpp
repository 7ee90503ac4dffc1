#include "RtfTokenizer.h"

namespace rtf {

namespace {

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

Token Tokenizer::symbol(qsizetype pos)
{
    const qsizetype size = m_data.size();
    const char *data = m_data.data();
    Token token;
    if (pos >= size) {
        m_pos = pos;
        return token; // a lone backslash at the end: nothing more to read
    }
    const char d = data[pos++];
    if (d == '\'') {
        token.kind = TokenKind::Hex;
        int value = 0;
        // Two digits make the byte; anything else spoils the escape, which still counts as one
        // character for the \uc fallback count.
        for (int i = 0; i < 2; ++i) {
            if (pos >= size || data[pos] == '\\' || data[pos] == '{' || data[pos] == '}') {
                token.valid = false;
                break;
            }
            const int v = hexValue(data[pos++]);
            if (v < 0)
                token.valid = false;
            value = value * 16 + (v < 0 ? 0 : v);
        }
        token.byte = static_cast<unsigned char>(value);
        m_pos = pos;
        return token;
    }
    token.kind = TokenKind::ControlSymbol;
    token.byte = static_cast<unsigned char>(d == '\r' ? '\n' : d);
    if (d == '\r' && pos < size && data[pos] == '\n')
        ++pos; // \<CR><LF> is one paragraph mark
    m_pos = pos;
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
