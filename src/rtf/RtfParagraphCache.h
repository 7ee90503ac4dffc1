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
//
// Finding a paragraph still means reading all of it. A cache told of every change of its document
// (by whoever sees them: the editor's layout) skips that for the paragraphs no change touched: it
// takes their bytes by their number, as long as each starts from the state it was written from.
// Only what it is told is trusted: a document it was not told about, a write before the changes
// were reported or a cache handed on with its document reads every paragraph again.
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
    // Paragraphs the last write had to read to find them (the untouched ones of a tracked
    // document it takes by their number).
    int readLastTime() const { return m_read; }

    // Every change of doc is reported from now on (documentChanged). The next write still reads
    // every paragraph; from then on the untouched ones are taken by their number.
    void trackChanges(const QTextDocument *doc);
    // As trackChanges(), for a document the cache may already have written while tracking it
    // (a note read and written on the loader's thread, then handed on with its cache): when doc
    // was not changed since, the next write takes the untouched paragraphs by their number too.
    void continueTracking(const QTextDocument *doc);
    // Changes of doc are no longer reported (its layout is gone, the owner moved on).
    void stopTracking(const QTextDocument *doc);
    // Characters [from, from + length) of doc, as it is now, are new or changed.
    void documentChanged(const QTextDocument *doc, int from, int length);

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
    using Kept = std::pair<const Key, Entry>;

    // Starts a write of doc; forgets everything when its formats, default size or indent width
    // are not the ones the kept paragraphs were encoded with.
    void beginWrite(const QTextDocument *doc);
    // The paragraph numbered `number` as the last write kept it, when no change reported since
    // touched it and it starts from the same state and tables; else nullptr.
    const Entry *untouched(int number, const CharProps &before, int fonts, int colors);
    // A paragraph kept for key, or nullptr; never once the tables went their own way.
    const Entry *find(const Key &key, int number);
    void keep(const Key &key, int number, QByteArray bytes, const CharProps &after, int fontsAfter,
              int colorsAfter);
    // The writer added a table entry at index; a different one than last time ends reuse.
    void fontAdded(int index, const QString &family);
    void colorAdded(int index, const QColor &color);
    // Drops what this write did not use and keeps its tables for the next.
    void endWrite(const QStringList &fonts, const std::vector<QColor> &colors);

    std::unordered_map<Key, Entry, KeyHash> m_entries;
    // For the tracked document: what the last write took for each paragraph number, shifted and
    // cleared by the changes reported since (nullptr: changed, or not kept).
    const QTextDocument *m_tracked = nullptr;
    std::vector<Kept *> m_byNumber;
    bool m_numbersHold = false;
    int m_revisionWritten = -1;    // the tracked document's revision when the numbers were taken
    std::vector<Kept *> m_written; // this write's, by number
    bool m_writingTracked = false;
    QStringList m_fonts; // the last write's tables
    std::vector<QColor> m_colors;
    QList<QTextFormat> m_formats;
    qreal m_defaultSize = 0;
    qreal m_indentWidth = 0;
    quint64 m_write = 0;
    bool m_diverged = false;
    int m_encoded = 0;
    int m_read = 0;
};

} // namespace rtf
