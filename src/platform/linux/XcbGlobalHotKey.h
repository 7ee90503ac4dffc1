#pragma once

#include "../GlobalHotKey.h"

#include <QAbstractNativeEventFilter>

#include <memory>

// The hot key as a passive key grab on the X root window. The grab is taken four times, with and
// without NumLock and CapsLock, since X compares the lock modifiers too. Off an X11 display (Wayland,
// offscreen) every key is Unsupported.
class XcbGlobalHotKey final : public GlobalHotKey, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit XcbGlobalHotKey(QObject *parent = nullptr);
    ~XcbGlobalHotKey() override;

    Status setKey(QKeyCombination key) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The X modifier mask of Qt's modifiers (Shift, Ctrl, Alt as Mod1, Meta as Mod4).
    static uint16_t modifierMask(Qt::KeyboardModifiers modifiers);

private:
    void release();

    struct Grab;
    std::unique_ptr<Grab> m_grab;
    bool m_filtering = false;
};
