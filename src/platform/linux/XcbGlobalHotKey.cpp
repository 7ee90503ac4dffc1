#include "XcbGlobalHotKey.h"

#include "X11KeySyms.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QtGui/qguiapplication_platform.h>

#ifdef QB_HAVE_XCB_KEYSYMS
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#endif

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

Q_LOGGING_CATEGORY(lcHotKey, "quillbox.platform.hotkey")

namespace {
// X's modifier bits, spelled out so this header-free part also builds without xcb.
constexpr uint16_t kShift = 1 << 0;
constexpr uint16_t kLock = 1 << 1; // CapsLock
constexpr uint16_t kControl = 1 << 2;
constexpr uint16_t kMod1 = 1 << 3; // Alt
constexpr uint16_t kMod2 = 1 << 4; // NumLock on the usual keymaps
constexpr uint16_t kMod4 = 1 << 6; // Super
constexpr std::array<uint16_t, 4> kLockVariants{0, kLock, kMod2, kLock | kMod2};
} // namespace

struct XcbGlobalHotKey::Grab
{
#ifdef QB_HAVE_XCB_KEYSYMS
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    std::vector<xcb_keycode_t> keycodes;
#endif
    uint16_t modifiers = 0;
};

XcbGlobalHotKey::XcbGlobalHotKey(QObject *parent) : GlobalHotKey(parent) {}

XcbGlobalHotKey::~XcbGlobalHotKey()
{
    release();
    if (m_filtering && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

uint16_t XcbGlobalHotKey::modifierMask(Qt::KeyboardModifiers modifiers)
{
    uint16_t mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= kShift;
    if (modifiers & Qt::ControlModifier)
        mask |= kControl;
    if (modifiers & Qt::AltModifier)
        mask |= kMod1;
    if (modifiers & Qt::MetaModifier)
        mask |= kMod4;
    return mask;
}

void XcbGlobalHotKey::release()
{
#ifdef QB_HAVE_XCB_KEYSYMS
    if (m_grab && m_grab->connection) {
        for (xcb_keycode_t code : m_grab->keycodes)
            for (uint16_t locks : kLockVariants)
                xcb_ungrab_key(m_grab->connection, code, m_grab->root, m_grab->modifiers | locks);
        xcb_flush(m_grab->connection);
    }
#endif
    m_grab.reset();
}

GlobalHotKey::Status XcbGlobalHotKey::setKey(QKeyCombination key)
{
    release();
    if (key.key() == Qt::Key_unknown || key.key() == 0)
        return Status::Off;
#ifdef QB_HAVE_XCB_KEYSYMS
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return Status::Unsupported;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    const uint32_t keysym = X11KeySyms::forShortcutKey(key.key());
    if (!connection || keysym == 0)
        return Status::Unsupported;

    auto grab = std::make_unique<Grab>();
    grab->connection = connection;
    grab->root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    grab->modifiers = modifierMask(key.keyboardModifiers());
    // A keysym may sit on more than one key; each of them is grabbed.
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t *c = codes; *c != XCB_NO_SYMBOL; ++c)
            grab->keycodes.push_back(*c);
        free(codes);
    }
    xcb_key_symbols_free(symbols);
    if (grab->keycodes.empty())
        return Status::Unsupported; // not on this keyboard

    bool taken = false;
    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t code : grab->keycodes)
        for (uint16_t locks : kLockVariants)
            cookies.push_back(xcb_grab_key_checked(connection, 1, grab->root, grab->modifiers | locks, code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            taken = taken || error->error_code == XCB_ACCESS;
            free(error);
        }
    }
    m_grab = std::move(grab);
    if (taken) {
        qCInfo(lcHotKey) << "the hot key is held by another program";
        release(); // the variants we did get would only half work
        return Status::HeldElsewhere;
    }
    if (!m_filtering) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filtering = true;
    }
    return Status::Active;
#else
    return Status::Unsupported;
#endif
}

bool XcbGlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#ifdef QB_HAVE_XCB_KEYSYMS
    if (!m_grab || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<xcb_key_press_event_t *>(message);
    if (key->event != m_grab->root)
        return false;
    const uint16_t held = key->state & uint16_t(kShift | kControl | kMod1 | kMod4);
    const bool ours = held == m_grab->modifiers && std::find(m_grab->keycodes.begin(), m_grab->keycodes.end(),
                                                             key->detail) != m_grab->keycodes.end();
    if (!ours)
        return false;
    if (type == XCB_KEY_PRESS)
        emit activated();
    return true; // the grab's keys are ours alone, no widget sees them
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}
