#pragma once

#include <QStyledItemDelegate>

// Draws a match list row with the matched text highlighted within its line.
class SearchMatchDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    enum Role {
        NoteRole = Qt::UserRole + 1,
        PositionRole,
        LengthRole,
        HighlightRole, // where the match starts in the row's text; its length is LengthRole
    };

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
