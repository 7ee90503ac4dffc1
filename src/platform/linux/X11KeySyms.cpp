#include "X11KeySyms.h"

#include <X11/keysym.h>

uint32_t X11KeySyms::forNamedKey(Qt::Key key)
{
    switch (key) {
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Enter:
        return XK_KP_Enter;
    case Qt::Key_Tab:
        return XK_Tab;
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_PageUp:
        return XK_Prior;
    case Qt::Key_PageDown:
        return XK_Next;
    case Qt::Key_Insert:
        return XK_Insert;
    case Qt::Key_Pause:
        return XK_Break;
    case Qt::Key_CapsLock:
        return XK_Caps_Lock;
    case Qt::Key_NumLock:
        return XK_Num_Lock;
    case Qt::Key_ScrollLock:
        return XK_Scroll_Lock;
    case Qt::Key_Print:
        return XK_Print;
    case Qt::Key_Help:
        return XK_Help;
    case Qt::Key_Space:
        return XK_space;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
            return XK_F1 + (key - Qt::Key_F1);
        return 0;
    }
}

uint32_t X11KeySyms::forShortcutKey(Qt::Key key)
{
    if (const uint32_t named = forNamedKey(key))
        return named;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return XK_a + (key - Qt::Key_A);
    // Latin-1 keys have the character's code as their keysym.
    if (key > Qt::Key_Space && key <= 0xff)
        return uint32_t(key);
    return 0;
}
