#pragma once

#include <QMargins>
#include <QObject>

#include <optional>

class QWindow;

// The frame a window manager puts round a top-level window, as the window manager itself tells it:
// the widths of its left, top, right and bottom edges. Where the desktop tells nothing (not X11, or
// a window manager without the hints) the frame stays unknown.
class FrameExtents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Follows the frame of this window (its native window made) from now on. When the window
    // manager has not told it yet it is asked, and answers even before the window is first shown.
    virtual void watch(QWindow *window) = 0;
    // The frame as last told; empty while unknown.
    virtual std::optional<QMargins> extents() const = 0;
    // Asked and not answered yet: the frame is on its way. An answer, or the window being shown
    // without one, ends the wait.
    virtual bool awaited() const = 0;

signals:
    void changed(); // the frame was told, or a wait ended without it
};
