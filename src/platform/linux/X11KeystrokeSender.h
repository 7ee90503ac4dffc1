#pragma once

#include "../KeystrokeSender.h"

// Types key strings into the focused window with the XTest extension. Where the program does not
// run on an X11 display (Wayland, offscreen) nothing is typed and sendKeys() says so.
class X11KeystrokeSender final : public KeystrokeSender
{
public:
    bool sendKeys(const QString &keys, bool wait) override;
    qint64 focusedWindowProcessId() override;
};
