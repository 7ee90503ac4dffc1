#pragma once

#include <QString>
#include <Qt>

#include <cstdint>

// X keysyms for Qt's keys, shared by the synthetic keystrokes and the global hot key.
namespace X11KeySyms {

// The keysym of a named key (Return, F5, arrows, ...), 0 when it has none.
uint32_t forNamedKey(Qt::Key key);

// The keysym of any key a shortcut can hold: named keys, letters (lower-case keysym), digits and
// Latin-1 punctuation; 0 when it has none.
uint32_t forShortcutKey(Qt::Key key);

} // namespace X11KeySyms
