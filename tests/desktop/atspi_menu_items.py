#!/usr/bin/env python3
# Prints the items of the popup menu of Quillbox Plus whose item a screen reader is told has the
# focus, one a line, as the accessibility tree (AT-SPI) reports them. Popup menus are not in the
# tree of windows, so the reader listens for the focus event, as screen readers do. Says "ready"
# on stderr once it listens; gives up after 20 seconds.
import sys

import pyatspi
from gi.repository import GLib


def focused(event):
    item = event.source
    if not event.detail1 or item.getRole() != pyatspi.ROLE_MENU_ITEM:
        return
    menu = item.parent
    names = [menu.getChildAtIndex(i).name for i in range(menu.childCount)]
    if 'Add to Dictionary' in names:
        print('\n'.join(n for n in names if n), flush=True)
        pyatspi.Registry.stop()


def give_up():
    print('no spelling menu in the accessibility tree', file=sys.stderr)
    pyatspi.Registry.stop()
    sys.exit(1)


pyatspi.Registry.registerEventListener(focused, 'object:state-changed:focused')
GLib.timeout_add_seconds(20, give_up)
GLib.idle_add(lambda: print('ready', file=sys.stderr, flush=True) and False)
pyatspi.Registry.start()
