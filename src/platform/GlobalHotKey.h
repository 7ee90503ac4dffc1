#pragma once

#include <QObject>
#include <Qt>

// A key combination that reaches the program wherever the keyboard focus is on the desktop.
class GlobalHotKey : public QObject
{
    Q_OBJECT
public:
    enum class Status {
        Off,           // no key asked for
        Active,        // the key now reaches us from anywhere
        HeldElsewhere, // another program has the key for itself
        Unsupported,   // this desktop gives programs no global keys (or not this key)
    };

    using QObject::QObject;

    // Replaces the key; Qt::Key_unknown releases it. Only one key is held at a time.
    virtual Status setKey(QKeyCombination key) = 0;

signals:
    void activated();
};
