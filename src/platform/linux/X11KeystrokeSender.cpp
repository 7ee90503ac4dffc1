#include "X11KeystrokeSender.h"

#include "../KeyString.h"
#include "X11KeySyms.h"
#include "X11Windows.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcKeystrokes, "quillbox.platform.keys")

#ifdef QB_HAVE_XTEST
// Xlib's macros (None, KeyPress, Bool, ...) clash with Qt names, so its headers come last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

KeySym keysymForKey(Qt::Key key)
{
    return X11KeySyms::forNamedKey(key);
}

KeySym keysymForText(const QString &text)
{
    const char32_t ucs = text.toUcs4().value(0);
    if (ucs == U'\n' || ucs == U'\r')
        return XK_Return;
    if (ucs == U'\t')
        return XK_Tab;
    // Latin-1 keysyms equal their code points; the rest use the Unicode keysym range.
    if ((ucs >= 0x20 && ucs <= 0x7e) || (ucs >= 0xa0 && ucs <= 0xff))
        return ucs;
    return ucs > 0xff ? KeySym(0x01000000 | ucs) : NoSymbol;
}

class KeyTyper
{
public:
    explicit KeyTyper(Display *display) : m_display(display) {}

    bool type(const KeyStroke &stroke)
    {
        const KeySym sym = stroke.key != Qt::Key_unknown ? keysymForKey(stroke.key) : keysymForText(stroke.text);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(m_display, sym);
        if (code == 0)
            return false;
        // A character on the shifted level of its key needs Shift, as a person would press it;
        // but a letter in a chord ("%N") names the shortcut Alt+N, not Alt+Shift+N.
        const bool chord = stroke.modifiers & (Qt::ControlModifier | Qt::AltModifier);
        const bool letter = stroke.text.size() == 1 && stroke.text.at(0).isLetter();
        const bool shifted = !(chord && letter) && XkbKeycodeToKeysym(m_display, code, 0, 0) != sym
            && XkbKeycodeToKeysym(m_display, code, 0, 1) == sym;
        QList<KeyCode> held;
        if (stroke.modifiers.testFlag(Qt::ControlModifier))
            held << XKeysymToKeycode(m_display, XK_Control_L);
        if (stroke.modifiers.testFlag(Qt::AltModifier))
            held << XKeysymToKeycode(m_display, XK_Alt_L);
        if (stroke.modifiers.testFlag(Qt::ShiftModifier) || shifted)
            held << XKeysymToKeycode(m_display, XK_Shift_L);
        for (KeyCode m : held)
            XTestFakeKeyEvent(m_display, m, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        for (auto it = held.crbegin(); it != held.crend(); ++it)
            XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
        return true;
    }

private:
    Display *m_display;
};

} // namespace

bool X11KeystrokeSender::sendKeys(const QString &keys, bool wait)
{
    Display *display = X11Windows::display();
    if (!display) {
        qCInfo(lcKeystrokes) << "no X11 display: keystrokes are not available";
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        qCInfo(lcKeystrokes) << "the X server has no XTest extension";
        return false;
    }
    const KeyStringParse parsed = KeyStringParser::parse(keys);
    if (!parsed.ok) {
        qCInfo(lcKeystrokes) << "key string refused:" << parsed.error;
        return false;
    }
    KeyTyper typer(display);
    bool all = true;
    for (const KeyStroke &stroke : parsed.strokes)
        all = typer.type(stroke) && all;
    if (wait)
        XSync(display, False);
    else
        XFlush(display);
    return all;
}

#else // no XTest at build time

bool X11KeystrokeSender::sendKeys(const QString &, bool)
{
    qCInfo(lcKeystrokes) << "built without XTest: keystrokes are not available";
    return false;
}

#endif

qint64 X11KeystrokeSender::focusedWindowProcessId()
{
    return X11Windows::processWithFocus();
}
