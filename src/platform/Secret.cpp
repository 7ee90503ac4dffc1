#include "Secret.h"

#include <cstring>
#include <strings.h>

Secret::Secret(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    m_bytes.assign(utf8.begin(), utf8.end());
}

Secret::Secret(Secret &&other) noexcept : m_bytes(std::move(other.m_bytes))
{
    other.m_bytes.clear();
}

Secret &Secret::operator=(const Secret &other)
{
    if (this != &other) {
        wipe();
        m_bytes = other.m_bytes;
    }
    return *this;
}

Secret &Secret::operator=(Secret &&other) noexcept
{
    if (this != &other) {
        wipe();
        m_bytes = std::move(other.m_bytes);
        other.m_bytes.clear();
    }
    return *this;
}

Secret::~Secret()
{
    wipe();
}

void Secret::wipe()
{
    // explicit_bzero is not optimised away, unlike a memset before the buffer dies.
    if (!m_bytes.empty())
        explicit_bzero(m_bytes.data(), m_bytes.size());
    m_bytes.clear();
    m_bytes.shrink_to_fit();
}
