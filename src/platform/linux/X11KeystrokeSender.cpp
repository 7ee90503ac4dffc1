#include "X11KeystrokeSender.h"

bool X11KeystrokeSender::sendKeys(const QString &, bool)
{
    return false;
}

qint64 X11KeystrokeSender::focusedWindowProcessId()
{
    return 0;
}
