#pragma once

#include "RtfModel.h"

#include <QTextFormat>
#include <QTextOption>

#include <cmath>

namespace rtf {

// Where the codec's model meets Qt's text formats, for the reader and the writers alike.

// Qt's table cell properties of each side, in CellSide order.
struct CellSideProperties
{
    QTextFormat::Property width;
    QTextFormat::Property style;
    QTextFormat::Property brush;
};
extern const CellSideProperties kCellSideProperties[kCellSides];

// Whether Qt draws a line on a cell's side: the cell's own where it has one, else the table's.
bool drawsLine(const QTextTableFormat &table, const QTextFormat &cell, CellSide side);

QTextOption::TabType qtTabType(TabKind kind);

// The size in points Qt draws a character format at in a document whose base font is basePoints.
// Web pages give sizes that Qt keeps as they came: HTML headings as a step from the base size,
// CSS sizes in pixels (taken at 96 to the inch).
qreal shownPointSize(const QTextCharFormat &format, qreal basePoints);

// Qt's lengths in a document are pixels at 96 to the inch; RTF's are twips.
inline int twips(qreal pixels)
{
    return static_cast<int>(std::lround(pixels * 15));
}

} // namespace rtf
