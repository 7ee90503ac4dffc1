#pragma once

#include <QStringView>

#include <algorithm>
#include <memory>

namespace rtf {

// UTF-16 text the reader gathers before handing it over. A run grows by a few characters
// between every two control words, so growing must be a compare and an add, not a call.
class TextRun final
{
public:
    bool isEmpty() const { return m_size == 0; }
    QStringView view() const { return QStringView(m_chars.get(), m_size); }
    void clear() { m_size = 0; }

    // Room for count more characters at the end, for the caller to fill.
    char16_t *extend(qsizetype count)
    {
        if (m_size + count > m_capacity)
            grow(m_size + count);
        char16_t *at = m_chars.get() + m_size;
        m_size += count;
        return at;
    }

    void append(QStringView text)
    {
        std::copy(text.utf16(), text.utf16() + text.size(), extend(text.size()));
    }
    void append(char16_t c, qsizetype count = 1) { std::fill_n(extend(count), count, c); }

private:
    void grow(qsizetype needed)
    {
        const qsizetype capacity = std::max<qsizetype>({needed, m_capacity * 2, 256});
        auto chars = std::make_unique_for_overwrite<char16_t[]>(static_cast<size_t>(capacity));
        std::copy_n(m_chars.get(), m_size, chars.get());
        m_chars = std::move(chars);
        m_capacity = capacity;
    }

    std::unique_ptr<char16_t[]> m_chars;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

} // namespace rtf
