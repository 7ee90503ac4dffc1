#pragma once

#include <QObject>

// Tells when the desktop locks its screen, where the desktop tells us at all.
class ScreenLock : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ScreenLock() override = default;

signals:
    void screenLocked();
};
