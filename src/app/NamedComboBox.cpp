#include "NamedComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

class NamedComboAccessible final : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return combo()->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = combo()->isEditable();
        s.expandable = true;
        s.expanded = combo()->view() && combo()->view()->isVisible();
        return s;
    }

    // The list and, in a box one can type into, the text field: a screen reader lists the entries
    // from the first.
    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QLineEdit *field = combo()->isEditable() ? combo()->lineEdit() : nullptr;
        if (field && field->isVisible() &&
            QRect(field->mapToGlobal(QPoint(0, 0)), field->size()).contains(x, y))
            return child(1);
        return nullptr;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << showMenuAction(); }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
};

// Asked with the most derived class first, so Qt's own combo-box interface never answers for it.
QAccessibleInterface *namedComboFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("NamedComboBox"))
        return new NamedComboAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

NamedComboBox::NamedComboBox(const QString &accessibleName, QWidget *parent) : QComboBox(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(namedComboFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(accessibleName);
}
