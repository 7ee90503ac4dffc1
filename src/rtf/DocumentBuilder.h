#pragma once

#include "RtfModel.h"

#include <QPointer>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include <map>
#include <utility>
#include <vector>

namespace rtf {

// Builds the document at a cursor from what the reader hands over: one insertText per run of
// equally formatted text, paragraphs as blocks, lists as QTextList.
// Stores the picture in the document as an image resource and returns the format that shows it.
QTextImageFormat pictureFormat(QTextDocument *doc, const Picture &picture);

class DocumentBuilder final : public Sink
{
public:
    // wholeDocument: the last paragraph takes its properties even without a closing \par, and a
    // closing \par adds no empty paragraph. Inserted content leaves the host paragraph alone.
    DocumentBuilder(QTextCursor &cursor, bool wholeDocument);

    void text(QStringView run, const CharProps &props) override;
    void paragraphEnd(const ParaProps &props) override;
    void picture(const Picture &picture, const CharProps &props) override;
    void finish(const ParaProps &lastProps) override;
    void cellStart(int columns) override;
    void cellEnd(const ParaProps &props) override;
    void rowEnd(const RowDefinition &row) override;
    bool wantsTables() const override { return true; }

private:
    void openBlock();
    void leaveTable();
    void takeTableLook(const RowDefinition &row);
    void drawCellLines();
    void applyParagraph(const ParaProps &props);
    QTextList *listFor(const ListRef &list);
    const QTextCharFormat &charFormat(const CharProps &props);
    QTextBlockFormat blockFormat(const ParaProps &props) const;

    QTextCursor &m_cursor;
    bool m_whole;
    bool m_blockPending = false;
    QTextBlockFormat m_hostFormat;
    QTextTable *m_table = nullptr; // the table being read
    int m_row = 0;
    int m_column = 0;
    bool m_inCell = false;
    bool m_rowEnded = false;
    bool m_widthsSet = false;
    qreal m_verticalPadding = 0;                                  // of the table being read, in pixels
    std::vector<std::vector<unsigned char>> m_lines;              // its cells' CellDefinition::lines by row
    std::vector<std::pair<CharProps, QTextCharFormat>> m_formats; // recently used, small
    std::map<std::pair<int, int>, QPointer<QTextList>> m_wordLists;
    std::vector<std::pair<ListRef, QPointer<QTextList>>> m_openLegacy; // by level
};

// Collects the plain text only, as QTextDocument::toPlainText would give it (pictures left out).
class PlainTextCollector final : public Sink
{
public:
    void text(QStringView run, const CharProps &props) override;
    void paragraphEnd(const ParaProps &props) override;
    void picture(const Picture &picture, const CharProps &props) override;
    void finish(const ParaProps &lastProps) override;
    bool wantsFormatting() const override { return false; }

    QString result;

private:
    bool m_pendingBreak = false;
};

} // namespace rtf
