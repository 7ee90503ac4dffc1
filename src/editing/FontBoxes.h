#pragma once

#include "EditorAccess.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;
class RichTextBox;
class SettingsStore;

// What the font dialog is preset with and what it returns.
struct FontChoice
{
    QFont font;
    QColor color; // invalid: the automatic colour
};

// The font-name and font-size boxes, the font dialog, the Bold/Italic/Underline menu toggles and
// "Set Font as Default".
class FontBoxes final : public QObject
{
    Q_OBJECT
public:
    // The chooser shows the font dialog; std::nullopt means the user cancelled. Unless a test sets
    // another, it is the Font dialog, in front of the window of the note being edited.
    using Chooser = std::function<std::optional<FontChoice>(const FontChoice &preset)>;

    FontBoxes(EditorAccess access, SettingsStore *settings, QObject *parent = nullptr);

    // A click on an entry of either box (activated) and Enter in its text field reach the
    // matching method below.
    void setBoxes(QComboBox *name, QComboBox *size);
    void setChooser(Chooser chooser);

    // The sizes the dialog offers; a size chosen outside them is brought to the nearest.
    static constexpr double DialogMinSize = 6;
    static constexpr double DialogMaxSize = 20;

    // Fills both boxes (screen fonts, " 5" ... " 72") and selects the font of the given box; each
    // selection counts as a click, so that box's typing format takes the chosen name and size.
    // Start-up fills them once; filling again replaces what they held.
    void fill(const QStringList &families, RichTextBox *first);
    // One name per family, without the foundry the font database adds to tell namesakes apart.
    static QStringList fontNames(const QStringList &families);
    // An entry picked from a list: the name alone, or the size.
    void nameClicked(int index);
    void sizeClicked(int index);
    // Enter in a box's text field: a font of the list (in any case) or a size the note can hold
    // is applied; anything else puts the selection's value back in the box.
    void nameEntered(const QString &text);
    void sizeEntered(const QString &text);

    void fontDialog();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void setFontAsDefault();

private:
    void applyChosenSize(RichTextBox *box);
    void showSelectionIn(QComboBox *box);

    EditorAccess m_access;
    SettingsStore *m_settings;
    QPointer<QComboBox> m_nameBox;
    QPointer<QComboBox> m_sizeBox;
    Chooser m_chooser;
};
