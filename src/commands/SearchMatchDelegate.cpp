#include "SearchMatchDelegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

void SearchMatchDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(2, 0, -2, 0);
    const qsizetype from = std::clamp<qsizetype>(index.data(HighlightRole).toInt(), 0, text.size());
    const qsizetype length = std::clamp<qsizetype>(index.data(LengthRole).toInt(), 0, text.size() - from);
    const QString parts[3] = {text.left(from), text.mid(from, length), text.mid(from + length)};

    painter->save();
    painter->setClipRect(area);
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor textColour = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QFont bold = opt.font;
    bold.setBold(true);
    int x = area.left();
    for (int i = 0; i < 3; ++i) {
        const QFont &font = i == 1 ? bold : opt.font;
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(parts[i]);
        if (i == 1) {
            // A marker colour that reads on both the plain and the selected row.
            painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2), QColor(255, 230, 90));
            painter->setPen(Qt::black);
        } else {
            painter->setPen(textColour);
        }
        painter->setFont(font);
        painter->drawText(QRect(x, area.top(), width + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft,
                          parts[i]);
        x += width;
    }
    painter->restore();
}
