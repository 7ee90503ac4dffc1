#pragma once

#include "FontBoxes.h"

#include <QDialog>

class QFontDialog;
class QLineEdit;
class QListView;
class QPushButton;

// The "F&ont" dialog: the platform's font chooser with a colour button beside the effects, and
// only the sizes 6 to 20 in its size list.
class FontColourDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit FontColourDialog(const FontChoice &preset, QWidget *parent = nullptr);

    // The preset with what the user changed in the dialog; OK at once gives the preset back as it
    // came, whatever the chooser showed in its place (a stand-in family, a style of another name).
    FontChoice choice() const;
    void setColour(const QColor &colour);

    // Shows the dialog and waits; std::nullopt when the user cancelled.
    static std::optional<FontChoice> ask(const FontChoice &preset, QWidget *parent = nullptr);

private:
    void chooserChanged();
    void keepDialogSizes();
    void sizeTextChanged(const QString &text);
    void showSize();
    void pickColour();

    FontChoice m_preset;
    QFontDialog *m_fonts;
    QPushButton *m_colourButton;
    QColor m_colour;
    QFont m_shownFirst; // what the chooser showed at the start, to tell what the user changed
    QLineEdit *m_sizeField = nullptr;
    QListView *m_sizeList = nullptr;
    double m_size = 0; // the size the dialog shows; the chooser itself knows only whole points
    double m_sizeFirst = 0;
};
