#include "XcbFrameExtents.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#ifdef QB_HAVE_XCB
#include <xcb/xcb.h>
#endif

#include <array>
#include <cstdlib>
#include <cstring>

Q_LOGGING_CATEGORY(lcFrame, "quillbox.platform.frame")

struct XcbFrameExtents::Watch
{
    QPointer<QWindow> qtWindow; // shown or hidden by the program
#ifdef QB_HAVE_XCB
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t frameExtents = 0;
#endif
};

#ifdef QB_HAVE_XCB
namespace {
// No screen is this wide: such a value is not a frame.
constexpr uint32_t WidestEdge = 1 << 15;

template <typename Reply> struct Freed
{
    Reply *reply;
    ~Freed() { free(reply); }
    Reply *operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};
template <typename Reply> Freed(Reply *) -> Freed<Reply>;

bool listed(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t supported, xcb_atom_t hint)
{
    // 1024 atoms: more than any window manager lists.
    const Freed reply{xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 1024), nullptr)};
    if (!reply || reply->type != XCB_ATOM_ATOM || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.reply));
    const int count = xcb_get_property_value_length(reply.reply) / int(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i)
        if (atoms[i] == hint)
            return true;
    return false;
}
} // namespace
#endif

XcbFrameExtents::XcbFrameExtents(QObject *parent) : FrameExtents(parent) {}

XcbFrameExtents::~XcbFrameExtents()
{
    if (m_filtering && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XcbFrameExtents::watch(QWindow *window)
{
    m_watch.reset();
    m_extents.reset();
    m_awaited = false;
#ifdef QB_HAVE_XCB
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    auto watch = std::make_unique<Watch>();
    watch->connection = connection;
    watch->qtWindow = window;
    watch->window = xcb_window_t(window->winId());

    constexpr std::array<const char *, 3> names{"_NET_SUPPORTED", "_NET_FRAME_EXTENTS",
                                                "_NET_REQUEST_FRAME_EXTENTS"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, 3> atoms{};
    for (size_t i = 0; i < names.size(); ++i) {
        const Freed reply{xcb_intern_atom_reply(connection, cookies[i], nullptr)};
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    const auto [supported, frameExtents, request] = atoms;
    const Freed geometry{
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, watch->window), nullptr)};
    if (!geometry || !frameExtents)
        return;
    const xcb_window_t root = geometry->root;
    // A window manager that does not list the hint never tells the frame.
    if (!listed(connection, root, supported, frameExtents)) {
        qCInfo(lcFrame) << "the window manager does not tell its frame";
        return;
    }
    watch->frameExtents = frameExtents;

    // Property changes first, so that none is missed between them and the first look. Qt selects
    // them on its windows already; the mask is added to, never replaced.
    const Freed attributes{xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, watch->window), nullptr)};
    if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, watch->window, XCB_CW_EVENT_MASK, &mask);
    }
    if (!m_filtering) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filtering = true;
    }
    m_watch = std::move(watch);
    read();
    if (!m_extents && request && listed(connection, root, supported, request)) {
        xcb_client_message_event_t message;
        std::memset(&message, 0, sizeof message);
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_watch->window;
        message.type = request;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&message));
        m_awaited = true;
    }
    xcb_flush(connection);
#endif
}

bool XcbFrameExtents::read()
{
#ifdef QB_HAVE_XCB
    xcb_connection_t *connection = m_watch->connection;
    const Freed reply{xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, m_watch->window, m_watch->frameExtents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr)};
    if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32 || reply->value_len != 4)
        return false;
    // Left, right, top, bottom.
    const auto *edges = static_cast<const uint32_t *>(xcb_get_property_value(reply.reply));
    for (int i = 0; i < 4; ++i)
        if (edges[i] >= WidestEdge)
            return false;
    const QMargins told{int(edges[0]), int(edges[2]), int(edges[1]), int(edges[3])};
    m_awaited = false;
    if (m_extents == told)
        return false;
    m_extents = told;
    return true;
#else
    return false;
#endif
}

bool XcbFrameExtents::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#ifdef QB_HAVE_XCB
    if (!m_watch || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
        const auto *notify = static_cast<xcb_property_notify_event_t *>(message);
        if (notify->window != m_watch->window || notify->atom != m_watch->frameExtents ||
            notify->state != XCB_PROPERTY_NEW_VALUE)
            break;
        // Hidden by the program (in the tray), the window is out of the window manager's care: what
        // it sets now is not the frame the window gets back when shown. Only the answer counts.
        if (!m_awaited && m_watch->qtWindow && !m_watch->qtWindow->isVisible())
            break;
        if (read())
            emit changed();
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        // Asked for the frame, a window manager may try the window in a frame of its own and send it
        // the place it would have there (openbox does). The window is not there: Qt is not to take
        // that for its place, nor set a minimised window's place again (which maps the window).
        const auto *notify = static_cast<xcb_configure_notify_event_t *>(message);
        if (m_awaited && (event->response_type & 0x80) && notify->window == m_watch->window)
            return true;
        break;
    }
    case XCB_MAP_NOTIFY: {
        // A window manager frames a window before it maps it, and the property change comes before
        // the map: mapped without a frame told, the window will not be told one.
        const auto *notify = static_cast<xcb_map_notify_event_t *>(message);
        if (!m_awaited || notify->window != m_watch->window)
            break;
        m_awaited = false;
        qCInfo(lcFrame) << "the window was shown without its frame being told";
        emit changed();
        break;
    }
    default:
        break;
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false; // Qt keeps its own view of the window as well
}
