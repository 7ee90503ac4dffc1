// A loaded document's text in the form the quick plain-text extraction gives it.
#pragma once

#include <algorithm>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

inline QString trimmedLines(QString text)
{
    while (text.startsWith(u'\n'))
        text.remove(0, 1);
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

inline QString blockText(const QTextBlock &block)
{
    QString text = block.text().remove(QChar(QChar::ObjectReplacementCharacter));
    return text.replace(QChar(QChar::LineSeparator), u'\n').replace(QChar(QChar::Nbsp), u' ');
}

// The document's text the way the quick extraction gives it: a table row is one line with its
// cells separated by tabs (empty cells at its end left out). Qt keeps a paragraph before and
// after every table, so empty lines at the start and end do not count.
inline QString textWithRowsAsLines(const QTextDocument &doc)
{
    QStringList lines;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            for (int row = 0; row < table->rows(); ++row) {
                QStringList cells;
                for (int column = 0; column < table->columns(); ++column) {
                    const QTextTableCell cell = table->cellAt(row, column);
                    QStringList paragraphs;
                    for (QTextBlock b = doc.findBlock(cell.firstPosition());
                         b.isValid() && b.position() <= cell.lastPosition(); b = b.next())
                        paragraphs << blockText(b);
                    cells << paragraphs.join(u'\n');
                }
                while (!cells.isEmpty() && cells.constLast().isEmpty())
                    cells.removeLast();
                lines << cells.join(u'\t');
            }
        } else {
            lines << blockText(it.currentBlock());
        }
    }
    return trimmedLines(lines.join(u'\n'));
}

// What a reader sees of a note's structure.
struct DocumentStructure
{
    int pictures = 0;
    int tables = 0;
    int deepestList = 0; // 1 for a plain list, 2 when a list nests in another
};

inline DocumentStructure structureOf(const QTextDocument &doc)
{
    DocumentStructure s;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it)
            s.pictures += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
        if (b.textList())
            s.deepestList = std::max(s.deepestList, b.textList()->format().indent());
    }
    for (const QTextFrame *frame : doc.rootFrame()->childFrames())
        s.tables += qobject_cast<const QTextTable *>(frame) ? 1 : 0;
    return s;
}

struct StructureSample
{
    const char *file;
    int pictures;
    int tables;
    int deepestList;
};

// Files whose pictures, tables and list levels a reader must keep, by producer.
inline constexpr StructureSample kStructureSamples[] = {
    {"libreoffice/lo74-structures", 1, 1, 2},
    {"libreoffice/lo74-notes-sample", 0, 1, 1},
    {"pictures/pandoc-image", 1, 0, 0},
    {"pandoc/pandoc-table_simple", 0, 1, 0},
    {"pictures/rtfpipe-PictureObjectEmbed2", 1, 0, 0},
    {"richedit/tika-testRTFTableCellSeparation", 0, 1, 0},
    {"pictures/tika-testBinControlWord", 1, 0, 0},
    {"word/tika-testRTFListMicrosoftWord", 0, 0, 2},
    {"word/tika-testRTFVarious", 0, 1, 1},
    {"textedit/pandoc-list_simple", 0, 0, 2},
    {"textedit/striprtf-pages_table_sample", 0, 1, 0},
};
