#pragma once

#include "EditorAccess.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class FormatPainter;
class QAction;
class QComboBox;

// The formatting toolbar (tbToolBar) and the two font boxes follow the selection of ActiveEditor;
// a button click formats that selection. Buttons are found by their key ("Bold", "Center", "FPt").
class FormatToolbarController final : public QObject
{
    Q_OBJECT
public:
    FormatToolbarController(EditorAccess access, FormatPainter *painter, QObject *parent = nullptr);

    // Any of the eleven keys may be missing (nullptr); the rest still work.
    void setButton(const QString &key, QAction *button);
    void setFontBoxes(QComboBox *name, QComboBox *size);

    // A toolbar click, by the button's exact key; other keys do nothing.
    void click(const QString &key);
    // "Bullets" pressed when the selection is all bulleted; mixed or none show it released.
    void chkBullets();
    // Buttons and font boxes from the selection of ActiveEditor (whichever box changed).
    void sync();

private:
    void setPressed(const QString &key, bool pressed);
    void toggle(const QString &key);

    EditorAccess m_access;
    QPointer<FormatPainter> m_painter;
    QHash<QString, QPointer<QAction>> m_buttons;
    QPointer<QComboBox> m_nameBox;
    QPointer<QComboBox> m_sizeBox;
};

// Writes a text into a font box without counting as the user's choice.
void showInFontBox(QComboBox *box, const QString &text);
