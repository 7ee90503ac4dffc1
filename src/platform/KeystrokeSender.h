#pragma once

#include <QString>

// Synthetic keystrokes into the window that has the focus. The key string uses the classic
// syntax: "%" holds Alt, "+" Shift, "^" Ctrl, "~" is Enter, braces name special keys ("{TAB}"),
// parentheses group keys held by a modifier; every other character is typed as it is.
class KeystrokeSender
{
public:
    virtual ~KeystrokeSender() = default;
    // Returns false where synthetic keys are not available (no X11 display).
    virtual bool sendKeys(const QString &keys, bool wait) = 0;
    // Process id of the program owning the window that has the keyboard focus, 0 when unknown.
    virtual qint64 focusedWindowProcessId() = 0;
};
