#!/usr/bin/env python3
"""Reads a note of the running program through the accessibility tree (AT-SPI), as a screen
reader would: prints the selection of the note in view under the given tab caption as
"start end x y width height" (in the note, then on the screen), or with "text" the note's text.
Ends with 1 when no such note is in view or nothing is selected.
    selection_on_screen.py <process id> <tab caption> [text]"""
import sys

import pyatspi

pid, caption = int(sys.argv[1]), sys.argv[2]
want_text = sys.argv[3:] == ["text"]


def editors(node):
    try:
        if (node.getRoleName() in ("text", "document text", "entry", "paragraph") and node.name == caption
                and node.getState().contains(pyatspi.STATE_SHOWING)):
            yield node
        for child in node:
            if child is not None:
                yield from editors(child)
    except Exception:  # a node that went away while being read
        return


for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.get_process_id() != pid:
        continue
    for editor in editors(app):
        text = editor.queryText()
        if want_text:
            print(text.getText(0, -1))
            sys.exit(0)
        if text.getNSelections() > 0:
            start, end = text.getSelection(0)
            x, y, width, height = text.getRangeExtents(start, end, pyatspi.DESKTOP_COORDS)
            print(start, end, x, y, width, height)
            sys.exit(0)
sys.exit(1)
