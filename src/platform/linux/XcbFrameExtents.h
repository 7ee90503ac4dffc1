#pragma once

#include "../FrameExtents.h"

#include <QAbstractNativeEventFilter>

#include <memory>

// The frame from the window's _NET_FRAME_EXTENTS property, which an EWMH window manager keeps up to
// date and sets on request (_NET_REQUEST_FRAME_EXTENTS) before the window is mapped. Each change
// comes as a PropertyNotify through Qt's native event filter. Off an X11 display (Wayland,
// offscreen), or with a window manager that does not list the hints, the frame stays unknown.
// While the program has the window hidden, what the window manager sets is not the frame the window
// will have when shown (openbox sets nothing when it lets go of a window): the last frame stands.
class XcbFrameExtents final : public FrameExtents, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit XcbFrameExtents(QObject *parent = nullptr);
    ~XcbFrameExtents() override;

    void watch(QWindow *window) override;
    std::optional<QMargins> extents() const override { return m_extents; }
    bool awaited() const override { return m_awaited; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool read();

    struct Watch;
    std::unique_ptr<Watch> m_watch;
    std::optional<QMargins> m_extents;
    bool m_awaited = false;
    bool m_filtering = false;
};
