#pragma once

#include <QToolBar>


class QAction;
class QActionGroup;

// tbToolBar: Bold, Italic, Underline | Align Left, Center, Align Right | FPt | Bullets. Each
// entry is an action whose objectName is its key; separators are actions too. Bold, Italic,
// Underline, FPt and Bullets are checkable (pressed = checked); the three alignment buttons form
// a group where pressing one releases the other two.
class FormatToolbar final : public QToolBar
{
    Q_OBJECT
public:
    explicit FormatToolbar(QWidget *parent = nullptr);

    QAction *button(const QString &key) const;
    QAction *entry(int position) const; // 1..11, separators included
    QActionGroup *alignmentGroup() const { return m_alignment; }


private:
    QList<QAction *> m_entries;
    QActionGroup *m_alignment = nullptr;
};
