#pragma once

#include "RtfListTable.h"
#include "RtfModel.h"
#include "RtfParagraphCache.h"

#include <QByteArray>
#include <QColor>
#include <QStringList>

#include <string>
#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;
class QTextFragment;
class QTextImageFormat;
class QTextList;
class QTextTable;

namespace rtf {

// Writes a document range in the style of the Windows rich-edit control: control words toggled
// inline, one \pard per paragraph, bullets with {\pntext}{\*\pn}, links as HYPERLINK fields.
// Only the document decides the bytes (no dates, no addresses), so the output is reproducible.
class DocumentWriter final
{
public:
    // With a cache, a write of the whole document reuses the paragraphs it kept.
    explicit DocumentWriter(const QTextDocument *doc, ParagraphCache *cache = nullptr);

    // Characters [from, to); wholeDocument ends every paragraph with \par, a selection only
    // those whose paragraph mark it includes.
    QByteArray write(int from, int to, bool wholeDocument);

private:
    // What a character format writes, worked out once per format: a note has few formats and
    // many fragments.
    struct CharLook
    {
        bool known = false;
        bool image = false;
        CharProps props;
        QString href; // empty outside links
    };
    // The same for a paragraph format: its list and the control words that follow from it alone.
    struct ParagraphLook
    {
        bool known = false;
        const QTextList *list = nullptr;
        int firstIndent = 0; // twips
        int ownIndent = 0;   // twips, without a list's own indent
        std::string tail;    // right indent, spacing and alignment
    };

    // endWord: "par", "cell" or nullptr for a paragraph cut off by the end of a selection.
    void writeBlock(const QTextBlock &block, int from, int to, const char *endWord);
    void writeWholeBlock(const QTextBlock &block);
    void writeKept(const ParagraphCache::Entry &kept);
    void writeTable(const QTextTable *table);
    std::string rowStartOf(const QTextTable *table);
    const QTextTable *tableOf(const QTextBlock &block) const;
    void writeParagraphProps(const QTextBlock &block);
    void writeImage(const QTextImageFormat &format);
    void switchTo(const CharProps &props);
    void openLink(const QString &href);
    void closeLink();
    const CharLook &charLookOf(const QTextFragment &fragment);
    CharLook charLookFor(const QTextCharFormat &format);
    const ParagraphLook &paragraphLookOf(const QTextBlock &block);
    ParagraphLook paragraphLookFor(const QTextBlock &block);
    // Characters [from, to) of a fragment that starts at fragmentStart.
    QStringView fragmentText(const QTextFragment &fragment, int fragmentStart, int from, int to);
    CharProps propsFor(const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(const QColor &color);
    int symbolFont();
    bool symbolFontInUse() const;

    void word(const char *name);
    void word(const char *name, int value);
    void append(QByteArrayView bytes) { m_body.append(bytes.data(), static_cast<size_t>(bytes.size())); }
    void text(QStringView text);
    QByteArray escaped(QStringView text);
    // What write() puts into the body, returned instead; the body is left as it was.
    template <typename Write> std::string captured(Write write);

    const QTextDocument *m_doc;
    ParagraphCache *m_cache = nullptr;
    // The document's text by position when the whole of it is written: one copy instead of one
    // per fragment. Empty otherwise.
    QString m_rawText;
    QString m_fragmentText;
    std::string m_body;
    bool m_needSpace = false;
    CharProps m_current;
    CharProps m_outsideLink;
    QString m_link;
    QStringList m_fonts;
    std::vector<int> m_fontCharsets;
    std::vector<QColor> m_colors;
    double m_defaultPointSize = 12;
    ListTable m_listTable;
    bool m_inTable = false;
    std::vector<CharLook> m_charLooks;           // by the document's format index
    std::vector<ParagraphLook> m_paragraphLooks; // by the document's format index
    CharLook m_scratchCharLook;
    ParagraphLook m_scratchParagraphLook;
    ParagraphCache::Key m_key;
    int m_nextNumber = -1; // of the next paragraph of a whole-document walk, -1 unknown
};

template <typename Write> std::string DocumentWriter::captured(Write write)
{
    std::string saved;
    saved.swap(m_body);
    const bool needSpace = m_needSpace;
    m_needSpace = false;
    write();
    saved.swap(m_body);
    m_needSpace = needSpace;
    return saved;
}

} // namespace rtf
