#pragma once

#include "../KeystrokeSender.h"

class X11KeystrokeSender final : public KeystrokeSender
{
public:
    bool sendKeys(const QString &keys, bool wait) override;
    qint64 focusedWindowProcessId() override;
};
