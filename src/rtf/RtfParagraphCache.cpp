#include "RtfParagraphCache.h"

#include <QHash>
#include <QTextDocument>

#include <algorithm>

namespace rtf {

ParagraphCache::ParagraphCache() = default;
ParagraphCache::~ParagraphCache() = default;

size_t ParagraphCache::KeyHash::operator()(const Key &key) const
{
    size_t h = qHash(key.text);
    for (const int run : key.runs)
        h = h * 31 + static_cast<size_t>(run);
    return h * 31 + static_cast<size_t>(key.blockFormat) + static_cast<size_t>(key.fonts) * 7919;
}

void ParagraphCache::clear()
{
    m_entries.clear();
    m_fonts.clear();
    m_colors.clear();
    m_formats.clear();
}

void ParagraphCache::beginWrite(const QTextDocument *doc)
{
    ++m_write;
    m_diverged = false;
    m_encoded = 0;
    // Formats are only ever added to a document, so the numbers keep their meaning as long as
    // the formats seen last time are still the first ones; clearing a document starts anew. The
    // default size is the size of every run that names none.
    const QList<QTextFormat> formats = doc->allFormats();
    const bool sameFormats = formats.size() >= m_formats.size() &&
                             std::equal(m_formats.cbegin(), m_formats.cend(), formats.cbegin());
    const qreal defaultSize = doc->defaultFont().pointSizeF();
    if (!sameFormats || defaultSize != m_defaultSize || doc->indentWidth() != m_indentWidth) {
        clear();
        m_defaultSize = defaultSize;
        m_indentWidth = doc->indentWidth();
    }
    m_formats = formats;
    if (m_entries.empty())
        m_entries.reserve(static_cast<size_t>(doc->blockCount()));
}

const ParagraphCache::Entry *ParagraphCache::find(const Key &key)
{
    if (m_diverged)
        return nullptr;
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return nullptr;
    found->second.write = m_write;
    return &found->second;
}

void ParagraphCache::keep(const Key &key, QByteArray bytes, const CharProps &after, int fontsAfter,
                          int colorsAfter)
{
    Entry &entry = m_entries[key];
    entry.bytes = std::move(bytes);
    entry.after = after;
    entry.fontsAfter = fontsAfter;
    entry.colorsAfter = colorsAfter;
    entry.write = m_write;
}

void ParagraphCache::fontAdded(int index, const QString &family)
{
    if (index >= m_fonts.size() || m_fonts[index] != family)
        m_diverged = true;
}

void ParagraphCache::colorAdded(int index, const QColor &color)
{
    if (index >= static_cast<int>(m_colors.size()) ||
        m_colors[static_cast<size_t>(index)].rgb() != color.rgb())
        m_diverged = true;
}

void ParagraphCache::endWrite(const QStringList &fonts, const std::vector<QColor> &colors)
{
    // What this write used was encoded with, or checked against, these tables.
    std::erase_if(m_entries, [this](const auto &item) { return item.second.write != m_write; });
    m_fonts = fonts;
    m_colors = colors;
}

} // namespace rtf
