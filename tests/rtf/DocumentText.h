// A loaded document's text in the form the quick plain-text extraction gives it.
#pragma once

#include <QTextBlock>
#include <QTextDocument>
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
