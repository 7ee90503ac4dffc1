#include "TextFormats.h"

#include <algorithm>

namespace rtf {

const CellSideProperties kCellSideProperties[kCellSides] = {
    {QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
     QTextFormat::TableCellTopBorderBrush},
    {QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
     QTextFormat::TableCellLeftBorderBrush},
    {QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
     QTextFormat::TableCellBottomBorderBrush},
    {QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
     QTextFormat::TableCellRightBorderBrush},
};

bool drawsLine(const QTextTableFormat &table, const QTextFormat &cell, CellSide side)
{
    const CellSideProperties &own = kCellSideProperties[side];
    if (cell.hasProperty(own.width)) {
        return cell.doubleProperty(own.width) > 0 &&
               (!cell.hasProperty(own.style) ||
                cell.intProperty(own.style) != QTextFrameFormat::BorderStyle_None);
    }
    return table.border() > 0 && table.borderStyle() != QTextFrameFormat::BorderStyle_None;
}

QTextOption::TabType qtTabType(TabKind kind)
{
    switch (kind) {
    case TabKind::Right:
        return QTextOption::RightTab;
    case TabKind::Center:
        return QTextOption::CenterTab;
    case TabKind::Decimal:
        return QTextOption::DelimiterTab;
    case TabKind::Left:
        break;
    }
    return QTextOption::LeftTab;
}

qreal shownPointSize(const QTextCharFormat &format, qreal basePoints)
{
    if (format.hasProperty(QTextFormat::FontSizeAdjustment)) {
        // Qt scales the document's base size by the HTML font size steps, whatever else is set.
        static constexpr qreal kSteps[] = {0.7, 0.8, 1.0, 1.2, 1.5, 2.0, 2.4};
        const int step = std::clamp(format.intProperty(QTextFormat::FontSizeAdjustment) + 2, 0, 6);
        return basePoints * kSteps[step];
    }
    // Of a point size and a pixel size, the one set last is the one drawn.
    if (format.hasProperty(QTextFormat::FontPixelSize) && format.font().pixelSize() > 0)
        return format.font().pixelSize() * 0.75;
    return format.fontPointSize() > 0 ? format.fontPointSize() : basePoints;
}

} // namespace rtf
