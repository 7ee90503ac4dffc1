#pragma once

#include <QComboBox>

// On this desktop Qt names a combo box after the entry it shows, so a screen reader would
// announce the font boxes as "DejaVu Sans" and "10". This box is named by its accessible name
// ("Font name") instead, the entry being its value; its list and text field are its children, as
// in Qt's own combo box, so a screen reader can still go through the entries.
class NamedComboBox final : public QComboBox
{
    Q_OBJECT
public:
    explicit NamedComboBox(const QString &accessibleName, QWidget *parent = nullptr);
};
