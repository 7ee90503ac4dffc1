#pragma once

#include "FontBoxes.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

// The "F&ont" dialog: the platform's font chooser with a colour button beside the effects, and
// only the sizes 6 to 20 in its size list.
class FontColourDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit FontColourDialog(const FontChoice &preset, QWidget *parent = nullptr);

    FontChoice choice() const;
    void setColour(const QColor &colour);

    // Shows the dialog and waits; std::nullopt when the user cancelled.
    static std::optional<FontChoice> ask(const FontChoice &preset, QWidget *parent = nullptr);

private:
    void keepDialogSizes();
    void pickColour();

    QFontDialog *m_fonts;
    QPushButton *m_colourButton;
    QColor m_colour;
};
