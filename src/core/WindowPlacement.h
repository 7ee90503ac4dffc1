#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The place and size start-up or the off-screen rescue give the window, kept until the window
// stands there. They are outer values, the window manager's frame included, while Qt places a
// window by its inside: the inside follows from the frame, and is set again when the window manager
// tells a frame other than the one it was set for. Until the window stands there, they are the
// window's place and size.
class WindowPlacement final
{
public:
    enum class Shown {
        Hidden,    // not mapped: in the tray, or before the first show
        Normal,    // in view
        Minimised, // on the task bar
        Maximised, // maximised or full screen: where the window manager puts it
    };

    void place(const QPoint &outerTopLeft);
    void resize(const QSize &outer);
    bool pending() const { return m_pending; }

    // The inside to give a window now `shown`, whose inside is `inside` with `frame` round it; none
    // when there is nothing to set. A window manager may take a change of size of a window mapped
    // minimised for a request to restore it, and places a maximised one itself, so either gets its
    // place and size when it next comes into view. In view with a frame that is final (the window
    // manager's own word, or the best there will ever be) the window stands where it was asked to:
    // from then on its place and size are its own.
    std::optional<QRect> apply(const QRect &inside, const QMargins &frame, Shown shown, bool frameFinal);

    // The window's outer rectangle: where it was asked to be while that is pending, else where it is.
    QRect outer(const QRect &inside, const QMargins &frame, Shown shown) const;

private:
    std::optional<QPoint> m_place;
    QSize m_size;
    bool m_pending = false;
};
