#include "Secret.h"

#include <cstring>
#include <strings.h>

Secret::Secret(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    m_bytes.assign(utf8.cbegin(), utf8.cend());
    wipe(utf8);
}

Secret::Secret(const char *utf8, size_t size) : m_bytes(utf8, utf8 + size) {}

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

void Secret::wipe(QByteArray &bytes)
{
    // Writing through data() would detach and overwrite a fresh copy; the point is to overwrite
    // the buffer every sharer sees, so it is written through constData(). Only a buffer the array
    // allocated itself: not raw data (QByteArray::fromRawData), which may be read-only.
    if (!bytes.isEmpty() && bytes.data_ptr().isMutable())
        explicit_bzero(const_cast<char *>(bytes.constData()), size_t(bytes.size()));
    bytes.clear();
}
