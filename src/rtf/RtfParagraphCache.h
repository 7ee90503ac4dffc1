#pragma once

#include "RtfModel.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextFormat>

#include <unordered_map>
#include <vector>

class QTextDocument;

namespace rtf {

// The RTF of a document's plain paragraphs, kept from one write of the whole document to the
// next, so that writing a big note again encodes only the paragraphs that changed. The bytes are
// the same as a write without it.
//
// A paragraph's bytes follow from its text, its character and paragraph formats, the character
// formatting in force before it and the font and colour tables as far as they were built: all of
// these find a kept paragraph, and a kept one is used only while this write's tables grow exactly
// as in the write that kept it. Format numbers are trusted only while the document's formats are
// the ones seen before, and nothing is kept over a change of its default size or indent width.
// List items, table cells and paragraphs with pictures (whose bytes depend on their neighbours or
// on the document's resources) are always encoded afresh.
class ParagraphCache final
{
public:
    ParagraphCache();
    ~ParagraphCache();
    ParagraphCache(const ParagraphCache &) = delete;
    ParagraphCache &operator=(const ParagraphCache &) = delete;
    // Handed on with its document (a note read on another thread comes with its paragraphs).
    ParagraphCache(ParagraphCache &&) = default;
    ParagraphCache &operator=(ParagraphCache &&) = default;

    void clear();
    // Paragraphs encoded afresh by the last write.
    int encodedLastTime() const { return m_encoded; }

private:
    friend class DocumentWriter;

    struct Key
    {
        QString text;
        std::vector<int> runs; // per fragment: format number, length
        int blockFormat = -1;
        CharProps before;
        int fonts = 0; // table sizes before the paragraph
        int colors = 0;
        bool operator==(const Key &) const = default;
    };
    struct KeyHash
    {
        size_t operator()(const Key &key) const;
    };
    struct Entry
    {
        QByteArray bytes;
        CharProps after;
        int fontsAfter = 0;
        int colorsAfter = 0;
        quint64 write = 0; // the last write that used it
    };

    // Starts a write of doc; forgets everything when its formats, default size or indent width
    // are not the ones the kept paragraphs were encoded with.
    void beginWrite(const QTextDocument *doc);
    // A paragraph kept for key, or nullptr; never once the tables went their own way.
    const Entry *find(const Key &key);
    void keep(const Key &key, QByteArray bytes, const CharProps &after, int fontsAfter, int colorsAfter);
    // The writer added a table entry at index; a different one than last time ends reuse.
    void fontAdded(int index, const QString &family);
    void colorAdded(int index, const QColor &color);
    // Drops what this write did not use and keeps its tables for the next.
    void endWrite(const QStringList &fonts, const std::vector<QColor> &colors);

    std::unordered_map<Key, Entry, KeyHash> m_entries;
    QStringList m_fonts; // the last write's tables
    std::vector<QColor> m_colors;
    QList<QTextFormat> m_formats;
    qreal m_defaultSize = 0;
    qreal m_indentWidth = 0;
    quint64 m_write = 0;
    bool m_diverged = false;
    int m_encoded = 0;
};

} // namespace rtf
