"""Prints "x y", the screen centre of the running program's widget with the given accessible role
and name, as AT-SPI tells a screen reader (the toolbar's boxes are no X windows of their own, so
xdotool cannot find them). Waits up to 30 seconds for it.
    atspi_centre.py <process id> <role> <name>"""

import sys
import time

import pyatspi

pid, role, name = int(sys.argv[1]), sys.argv[2], sys.argv[3]


def find(node):
    try:
        if node.getRoleName() == role and node.name == name:
            return node
        for child in node:
            if child is not None:
                hit = find(child)
                if hit:
                    return hit
    except Exception:  # a node that went away while being read
        pass
    return None


end = time.time() + 30
while time.time() < end:
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.get_process_id() != pid:
            continue
        hit = find(app)
        if hit:
            box = hit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if box.width > 0 and box.height > 0:
                print(box.x + box.width // 2, box.y + box.height // 2)
                sys.exit(0)
    time.sleep(0.3)
print("no %s named %r" % (role, name), file=sys.stderr)
sys.exit(1)
