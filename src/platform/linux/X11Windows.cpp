#include "X11Windows.h"

#include <QGuiApplication>

#ifdef QB_HAVE_X11
#include <QtGui/qguiapplication_platform.h>

// Xlib's macros (None, Bool, ...) clash with Qt names, so its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#ifdef QB_HAVE_XRES
#include <X11/extensions/XRes.h>
#endif

namespace X11Windows {

namespace {

// One value of a 32-bit property: CARDINAL or WINDOW, 0 when the window does not have it.
unsigned long propertyValue(Display *x, Window window, const char *name, Atom type)
{
    const Atom atom = XInternAtom(x, name, True);
    if (atom == None)
        return 0;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    unsigned long value = 0;
    const int read =
        XGetWindowProperty(x, window, atom, 0, 1, False, type, &actual, &format, &count, &after, &data);
    if (read == Success && data) {
        if (format == 32 && count == 1)
            value = *reinterpret_cast<unsigned long *>(data);
        XFree(data);
    }
    return value;
}

// The _NET_WM_PID of a window or of the nearest window above it that has one: the focus often
// sits on a child of the top-level window that carries it.
qint64 declaredProcess(Display *x, Window window)
{
    for (int depth = 0; window != None && window != PointerRoot && depth < 32; ++depth) {
        if (const auto pid = propertyValue(x, window, "_NET_WM_PID", XA_CARDINAL); pid > 0)
            return static_cast<qint64>(pid);
        Window root = None, parent = None;
        Window *children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(x, window, &root, &parent, &children, &childCount))
            return 0;
        if (children)
            XFree(children);
        if (parent == root)
            return 0;
        window = parent;
    }
    return 0;
}

// The process of the X client that made the window, as the server knows it for local clients.
qint64 clientProcess([[maybe_unused]] Display *x, [[maybe_unused]] Window window)
{
    qint64 pid = 0;
#ifdef QB_HAVE_XRES
    int eventBase = 0, errorBase = 0;
    if (window == None || window == PointerRoot || !XResQueryExtension(x, &eventBase, &errorBase))
        return 0;
    XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue *ids = nullptr;
    if (XResQueryClientIds(x, 1, &spec, &count, &ids) != Success)
        return 0;
    for (long i = 0; i < count && pid <= 0; ++i)
        pid = XResGetClientPid(&ids[i]);
    XResClientIdsDestroy(count, ids);
#endif
    return pid > 0 ? pid : 0;
}

} // namespace

_XDisplay *display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

qint64 processOf(WindowId window)
{
    Display *x = display();
    if (!x)
        return 0;
    const qint64 pid = declaredProcess(x, window);
    return pid > 0 ? pid : clientProcess(x, window);
}

qint64 processWithFocus()
{
    Display *x = display();
    if (!x)
        return 0;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    if (const qint64 pid = declaredProcess(x, focus); pid > 0)
        return pid;
    // Some window managers keep the focus on their own frame, which belongs to them; they name
    // the active client window on the root window instead.
    if (const auto active = propertyValue(x, DefaultRootWindow(x), "_NET_ACTIVE_WINDOW", XA_WINDOW))
        return processOf(active);
    return clientProcess(x, focus);
}

QList<WindowId> managedWindows()
{
    QList<WindowId> windows;
    Display *x = display();
    const Atom list = x ? XInternAtom(x, "_NET_CLIENT_LIST", True) : None;
    if (list == None)
        return windows;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const int read = XGetWindowProperty(x, DefaultRootWindow(x), list, 0, 4096, False, XA_WINDOW, &actual,
                                        &format, &count, &after, &data);
    if (read == Success && data) {
        if (format == 32) {
            const auto *ids = reinterpret_cast<unsigned long *>(data);
            for (unsigned long i = 0; i < count; ++i)
                windows << ids[i];
        }
        XFree(data);
    }
    return windows;
}

bool iconify(WindowId window)
{
    Display *x = display();
    if (!x || !XIconifyWindow(x, window, DefaultScreen(x)))
        return false;
    XFlush(x);
    return true;
}

} // namespace X11Windows

#else // built without Xlib

namespace X11Windows {
_XDisplay *display()
{
    return nullptr;
}
qint64 processOf(WindowId)
{
    return 0;
}
qint64 processWithFocus()
{
    return 0;
}
QList<WindowId> managedWindows()
{
    return {};
}
bool iconify(WindowId)
{
    return false;
}
} // namespace X11Windows

#endif
