#pragma once

#include <QList>
#include <QString>
#include <Qt>

// One key press as a key string describes it: a named key (Qt::Key_Return, Qt::Key_F5, ...) or a
// character typed as it is, with the modifiers held while it is pressed.
struct KeyStroke
{
    Qt::KeyboardModifiers modifiers;
    Qt::Key key = Qt::Key_unknown; // a named key; Key_unknown when text holds a character
    QString text;                  // one character (a surrogate pair counts as one)

    bool operator==(const KeyStroke &other) const = default;
};

struct KeyStringParse
{
    bool ok = false;
    QString error;            // why the string was refused; nothing is typed then
    QList<KeyStroke> strokes; // in typing order
};

// Reads the classic key-string syntax: "+" holds Shift, "^" Ctrl and "%" Alt for the next key or
// for a parenthesised group, "~" is Enter, braces name a special key ("{TAB}", "{F5}"), repeat it
// ("{LEFT 3}") or quote a character that is otherwise special ("{+}", "{(}", "{}}"). Every other
// character is typed as it is.
class KeyStringParser final
{
public:
    static KeyStringParse parse(const QString &keys);

    // The text quoted so that parse() types every character of it literally.
    static QString literal(const QString &text);
};
