#include "RtfDocumentWriter.h"

#include "AppendNumber.h"
#include "TextFormats.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <cmath>

// How the writer puts a table into RTF: one row definition per row (padding, widths, the lines
// each cell draws), then each cell's paragraphs.

namespace rtf {

// \trowd and what the row's cells share: their padding (Word's usual 108 twips to the left and
// right for a table that has none of its own) and the table's width when it is a share.
std::string DocumentWriter::rowStartOf(const QTextTable *table)
{
    const QTextTableFormat format = table->format();
    const QTextFormat first = table->cellAt(0, 0).format();
    const auto padding = [&](QTextFormat::Property own, int none) {
        if (first.hasProperty(own))
            return twips(first.doubleProperty(own));
        return format.hasProperty(QTextFormat::TableCellPadding) ? twips(format.cellPadding()) : none;
    };
    const int vertical = padding(QTextFormat::TableCellTopPadding, 0);
    return captured([&] {
        word("trowd");
        word("trgaph", padding(QTextFormat::TableCellLeftPadding, 108));
        word("trleft", 0);
        if (vertical != 0) {
            word("trpaddt", vertical);
            word("trpaddft", 3);
            word("trpaddb", vertical);
            word("trpaddfb", 3);
        }
        if (format.width().type() == QTextLength::PercentageLength) {
            word("trftsWidth", 2);
            word("trwWidth", static_cast<int>(std::lround(format.width().rawValue() * 50)));
        }
    });
}

const QTextTable *DocumentWriter::tableOf(const QTextBlock &block) const
{
    // The outermost table: tables nested in a cell are written as the cell's paragraphs.
    const QTextTable *table = nullptr;
    for (QTextFrame *frame = m_doc->frameAt(block.position()); frame; frame = frame->parentFrame()) {
        if (const auto *t = qobject_cast<const QTextTable *>(frame))
            table = t;
    }
    return table;
}

void DocumentWriter::writeTable(const QTextTable *table)
{
    // Cell edges from the column widths; columns without a fixed width share a 6.5 inch line,
    // and say that their width is automatic or a share, so that the table still fits the note.
    constexpr int kLineTwips = 9360;
    const QTextTableFormat format = table->format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    struct ColumnEnd
    {
        std::string widthWords;
        int right;
    };
    std::vector<ColumnEnd> columnEnds;
    int right = 0;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextLength width = column < widths.size() ? widths[column] : QTextLength();
        int twipsWide = kLineTwips / table->columns();
        std::string widthWords = "\\clftsWidth1";
        if (width.type() == QTextLength::FixedLength) {
            twipsWide = twips(width.rawValue());
            widthWords.clear();
        } else if (width.type() == QTextLength::PercentageLength) {
            twipsWide = static_cast<int>(width.rawValue() * kLineTwips / 100);
            widthWords = "\\clftsWidth2\\clwWidth" + std::to_string(std::lround(width.rawValue() * 50));
        }
        right += std::clamp(twipsWide, 150, 31680);
        columnEnds.push_back({std::move(widthWords), right});
    }
    const std::string rowStart = rowStartOf(table);
    m_inTable = true;
    for (int row = 0; row < table->rows(); ++row) {
        m_body += rowStart;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextFormat cell = table->cellAt(row, column).format();
            m_body += columnEnds[column].widthWords;
            for (const CellSide side : {SideTop, SideLeft, SideBottom, SideRight}) {
                if (drawsLine(format, cell, side)) {
                    m_body += "\\clbrdr";
                    m_body += "tlbr"[side];
                    m_body += "\\brdrs\\brdrw10";
                }
            }
            m_body += "\\cellx";
            appendNumber(m_body, columnEnds[column].right);
        }
        m_body += "\r\n";
        m_needSpace = false;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column) {
                // Covered by a merged cell: an empty cell keeps the row's cells in line.
                word("pard");
                word("intbl");
                word("cell");
                continue;
            }
            QTextBlock block = m_doc->findBlock(cell.firstPosition());
            while (block.isValid() && block.position() <= cell.lastPosition()) {
                const QTextBlock next = block.next();
                const bool last = !next.isValid() || next.position() > cell.lastPosition();
                writeBlock(block, block.position(), block.position() + block.length(), last ? "cell" : "par");
                block = next;
            }
        }
        word("row");
        m_body += "\r\n";
        m_needSpace = false;
    }
    m_inTable = false;
    m_nextNumber = -1; // the walk skipped the table's paragraphs
}

} // namespace rtf
