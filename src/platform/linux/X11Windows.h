#pragma once

#include <QList>
#include <QtGlobal>

struct _XDisplay;

// Other programs' top-level windows as the X server and the window manager tell them, over the
// program's own X11 connection. Off X11 (Wayland, offscreen) there is no display and every
// answer is empty.
namespace X11Windows {

using WindowId = unsigned long; // an X11 Window

// The program's own connection to the X server, or null off X11.
_XDisplay *display();

// The process that owns a window: the _NET_WM_PID its program set on the window or on the
// top-level window above it; else, for a program on this computer, the process the X server
// knows for its connection (Xt programs such as xmessage set no _NET_WM_PID). 0 when unknown.
qint64 processOf(WindowId window);

// The process owning the window that has the keyboard focus, 0 when unknown.
qint64 processWithFocus();

// The programs' windows the window manager has taken on, oldest first; empty without one.
QList<WindowId> managedWindows();

// Asks the window manager to minimise a window (the ICCCM iconify request).
bool iconify(WindowId window);

} // namespace X11Windows
