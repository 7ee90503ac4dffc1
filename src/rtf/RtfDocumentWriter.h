#pragma once

#include "RtfListTable.h"
#include "RtfModel.h"
#include "RtfParagraphCache.h"

#include <QByteArray>
#include <QColor>
#include <QStringList>

#include <optional>
#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;
class QTextFragment;
class QTextImageFormat;
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
    // endWord: "par", "cell" or nullptr for a paragraph cut off by the end of a selection.
    void writeBlock(const QTextBlock &block, int from, int to, const char *endWord);
    void writeWholeBlock(const QTextBlock &block);
    void writeKept(const ParagraphCache::Entry &kept);
    bool inList(const QTextBlock &block);
    void writeTable(const QTextTable *table);
    const QTextTable *tableOf(const QTextBlock &block) const;
    void writeParagraphProps(const QTextBlock &block);
    void writeFragmentText(const QString &text);
    void writeImage(const QTextImageFormat &format);
    void switchTo(const CharProps &props);
    void openLink(const QString &href);
    void closeLink();
    CharProps propsFor(const QTextCharFormat &format);
    const CharProps &propsAt(int formatIndex, const QTextCharFormat &format);
    int fontIndex(const QString &family);
    int colorIndex(const QColor &color);
    int symbolFont();
    bool symbolFontInUse() const;

    void word(const char *name);
    void word(const char *name, int value);
    void text(QStringView text);
    QByteArray escaped(const QString &text);

    const QTextDocument *m_doc;
    ParagraphCache *m_cache = nullptr;
    QByteArray m_body;
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
    std::vector<std::optional<CharProps>> m_propsByFormat; // by the document's format index
    CharProps m_scratchProps;
    std::vector<signed char> m_listByFormat; // by paragraph format index: -1 not looked at yet
    ParagraphCache::Key m_key;
    int m_nextNumber = -1; // of the next paragraph of a whole-document walk, -1 unknown
};

} // namespace rtf
