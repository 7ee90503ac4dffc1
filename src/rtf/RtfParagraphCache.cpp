#include "RtfParagraphCache.h"

#include <QHash>
#include <QTextBlock>
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
    m_byNumber.clear();
    m_numbersHold = false;
    m_entries.clear();
    m_fonts.clear();
    m_colors.clear();
    m_formats.clear();
}

void ParagraphCache::trackChanges(const QTextDocument *doc)
{
    m_tracked = doc;
    m_byNumber.clear();
    m_numbersHold = false;
}

void ParagraphCache::continueTracking(const QTextDocument *doc)
{
    // Every edit, of formats too, moves a document's revision on, whether it was reported or not.
    if (doc && doc == m_tracked && m_numbersHold && doc->revision() == m_revisionWritten &&
        m_byNumber.size() == static_cast<size_t>(doc->blockCount()))
        return;
    trackChanges(doc);
}

void ParagraphCache::stopTracking(const QTextDocument *doc)
{
    if (doc == m_tracked)
        trackChanges(nullptr);
}

void ParagraphCache::documentChanged(const QTextDocument *doc, int from, int length)
{
    if (doc != m_tracked || !m_numbersHold)
        return;
    // The paragraphs after the change are those after it before, moved by as many paragraphs as
    // came or went. One paragraph more on either side covers the mark a change ends on.
    const int count = doc->blockCount();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(from + std::max(length, 0));
    const int firstChanged = std::max(0, (first.isValid() ? first.blockNumber() : count - 1) - 1);
    const int lastChanged = std::min(count - 1, (last.isValid() ? last.blockNumber() : count - 1) + 1);
    const int after = count - 1 - lastChanged; // paragraphs untouched after the change
    const int keptBefore = static_cast<int>(m_byNumber.size());
    if (firstChanged + after > keptBefore || lastChanged < firstChanged) {
        trackChanges(doc); // out of step: the next write reads every paragraph
        return;
    }
    const auto changedFrom = m_byNumber.begin() + firstChanged;
    const auto changedTo = m_byNumber.end() - after;
    const int nowChanged = lastChanged - firstChanged + 1;
    // Typing within a paragraph moves none: the rest of a big note's numbers stay where they are.
    if (changedTo - changedFrom == nowChanged) {
        std::fill(changedFrom, changedTo, nullptr);
        return;
    }
    m_byNumber.erase(changedFrom, changedTo);
    m_byNumber.insert(m_byNumber.begin() + firstChanged, nowChanged, nullptr);
}

void ParagraphCache::beginWrite(const QTextDocument *doc)
{
    ++m_write;
    m_diverged = false;
    m_encoded = 0;
    m_read = 0;
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
    // Only the tracked document's numbers are known; a write of another drops what they would
    // point at.
    m_writingTracked = doc == m_tracked;
    if (!m_writingTracked || m_byNumber.size() != static_cast<size_t>(doc->blockCount())) {
        m_byNumber.clear();
        m_numbersHold = false;
    }
    m_written.assign(m_writingTracked ? static_cast<size_t>(doc->blockCount()) : 0, nullptr);
    m_revisionWritten = doc->revision();
}

const ParagraphCache::Entry *ParagraphCache::untouched(int number, const CharProps &before, int fonts,
                                                       int colors)
{
    if (!m_numbersHold || m_diverged || number < 0 || number >= static_cast<int>(m_byNumber.size()))
        return nullptr;
    Kept *kept = m_byNumber[static_cast<size_t>(number)];
    if (!kept || kept->first.before != before || kept->first.fonts != fonts || kept->first.colors != colors)
        return nullptr;
    kept->second.write = m_write;
    m_written[static_cast<size_t>(number)] = kept;
    return &kept->second;
}

const ParagraphCache::Entry *ParagraphCache::find(const Key &key, int number)
{
    ++m_read;
    if (m_diverged)
        return nullptr;
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return nullptr;
    found->second.write = m_write;
    if (m_writingTracked && number >= 0 && number < static_cast<int>(m_written.size()))
        m_written[static_cast<size_t>(number)] = &*found;
    return &found->second;
}

void ParagraphCache::keep(const Key &key, int number, QByteArray bytes, const CharProps &after,
                          int fontsAfter, int colorsAfter)
{
    const auto kept = m_entries.try_emplace(key).first;
    Entry &entry = kept->second;
    entry.bytes = std::move(bytes);
    entry.after = after;
    entry.fontsAfter = fontsAfter;
    entry.colorsAfter = colorsAfter;
    entry.write = m_write;
    if (m_writingTracked && number >= 0 && number < static_cast<int>(m_written.size()))
        m_written[static_cast<size_t>(number)] = &*kept;
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
    // Every change from here on is reported against these numbers.
    m_byNumber.swap(m_written);
    m_written.clear();
    m_numbersHold = m_writingTracked;
}

} // namespace rtf
