"""Reads the running program's accessibility tree over AT-SPI and checks what a screen reader
announces: names of the note editors, font boxes, toolbar buttons and the Setup dialog's fields.
Run by accessibility.sh with the program's process id."""

import subprocess
import sys
import time

import pyatspi

pid = int(sys.argv[1])
failures = []


def check(ok, what):
    print(("PASS: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def walk(node, found):
    try:
        found.append((node.getRoleName(), node.name, node.description, node))
        for child in node:
            if child is not None:
                walk(child, found)
    except Exception:  # a node that went away while being read
        pass
    return found


def wait_for(condition, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.3)
    return condition()


def nodes():
    app = program()
    return walk(app, []) if app else []


def named(role, name, tree):
    return [n for n in tree if n[0] == role and n[1] == name]


def after_key(key, found):
    """Presses a key in the main window; the tree once it holds a node for which found() holds."""
    subprocess.run(["xdotool", "search", "--name", "^Quillbox Plus$", "windowactivate", "--sync"],
                   check=False, capture_output=True)
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=False)
    return wait_for(lambda: (lambda t: t if any(found(n) for n in t) else None)(nodes())) or nodes()


def children(node):
    try:
        return [(c.getRoleName(), c.name, c) for c in node if c is not None]
    except Exception:
        return []


# Captions that name facilities of another system, and misspellings, nowhere in what a screen reader
# reads (the entries of lists and trees are the user's fonts and folders, not our words).
FOREIGN = ("DOS", "Windows", "Control Panel", "Internet Explorer", "Eudora", "Exchange", "Minimizied",
           "an new")


def check_own_words(tree, where):
    said = [(n[0], text) for n in tree if n[0] not in ("list item", "table cell", "tree item")
            for text in (n[1], n[2]) if text]
    foreign = [(role, text) for role, text in said if any(word in text for word in FOREIGN)]
    check(not foreign, "%s names no facility of another system: %s" % (where, foreign))


app = wait_for(lambda: program() is not None and any(n[0] == "frame" for n in nodes()))
check(bool(app), "the program is on the accessibility bus")
tree = wait_for(lambda: (lambda t: t if any(n[1] == "Clear Text" for n in t) else None)(nodes()))
tree = tree or nodes()

font_boxes = [(n[0], n[1]) for n in tree if n[0] == "combo box"]
check(("combo box", "Font name") in font_boxes, 'the font-name box is named "Font name": %s' % font_boxes)
check(("combo box", "Font size") in font_boxes, 'the font-size box is named "Font size": %s' % font_boxes)
# A screen reader goes through a font box's entries in the list that is its child.
for box_name, wanted in (("Font size", [str(points) for points in range(5, 73)]), ("Font name", None)):
    box = named("combo box", box_name, tree)
    lists = [c[2] for c in children(box[0][3]) if c[0] == "list"] if box else []
    entries = [c[1].strip() for c in children(lists[0]) if c[0] == "list item"] if lists else []
    check(entries == wanted if wanted else len(entries) > 0,
          'the "%s" box lists its entries: %s' % (box_name, entries[:8] + (["..."] if len(entries) > 8 else [])))
# Toolbar buttons are named in words and described by their tooltips.
toolbar = {
    "Clear Text": "Clear Current Notes",
    "Insert Time": "Insert Time and Date",
    "Terminal": "Open a Terminal",
}
for name, description in toolbar.items():
    button = named("push button", name, tree)
    check(bool(button) and button[0][2] == description,
          'the "%s" button describes itself as "%s": %s' % (name, description, [b[1:3] for b in button]))
menu_items = [n[1] for n in tree if n[0] == "menu item"]
check("Terminal" in menu_items, 'the Applications menu has "Terminal": %s' % menu_items)
check_own_words(tree, "the main window")
bold = [(n[0], n[1], n[2]) for n in tree if "Bold" in (n[1], n[2])]
check(any(n[1] == "Bold" and n[0] in ("push button", "toggle button", "check box") for n in bold), 'the "Bold" button keeps its caption as its name: %s' % bold)
editors = [n[1] for n in tree if n[0] in ("text", "document text", "paragraph", "entry") and n[1] in
           ("Notes", "Web Pages", "E-Mail Addresses", "Phone/Fax Numbers", "R&D notes")]
check("Notes" in editors, "the shown note's editor is named after its tab: %s" % editors)
tabs = [n[1] for n in tree if n[0] == "page tab"]
check("R&D notes" in tabs, 'a tab caption with "&" reads as typed: %s' % tabs)

# Setup, through its menu shortcut.
frame = [n for n in tree if n[0] == "frame"][0][3]
try:
    frame.queryComponent().grabFocus()
except Exception:
    pass
tree = after_key("ctrl+s", lambda n: n[0] == "dialog" and n[1] == "Setup")
check(any(n[0] == "dialog" and n[1] == "Setup" for n in tree), "the Setup dialog opened")

fields = {
    "Your Web Browser:": "the browser path",
    "Your E-Mail Reader": "the mail program",
    "Command Line Options for E-mail Reader to create new messages:": "the mail options",
    "Password:": "the password",
    "Confirm Password:": "the confirmation",
}
texts = [n[1] for n in tree if n[0] in ("text", "password text", "entry")]
for name, what in fields.items():
    check(texts.count(name) == 1, '%s is named "%s" (text fields: %s)' % (what, name, texts))
# The password boxes are masked, so a screen reader does not read the password out.
roles = sorted((n[1], n[0]) for n in tree if n[1] in ("Password:", "Confirm Password:") and n[0] != "label")
check(roles == [("Confirm Password:", "password text"), ("Password:", "password text")],
      "the password boxes are password text: %s" % roles)
check(any(n[0] == "check box" and n[1] == "Show the password" for n in tree),
      'a "Show the password" check box unmasks them')
status = [n[1] for n in tree if n[0] == "label" and "start-up password" in n[1]]
check(status == ["No start-up password."], 'the password frame says "No start-up password.": %s' % status)
buttons = [n[1] for n in tree if n[0] == "push button"]
for name in ("Browse for your web browser", "Browse for your e-mail reader", "Browse for a dialer"):
    check(name in buttons, 'a "..." button says "%s"' % name)
check("..." not in buttons, 'no button is named only "..."')
# Named for a screen reader: role, name, description (None: any).
setup_names = [
    ("check box", "Use the desktop's default web browser and mail program", None),
    ("label", "Not needed for most mail programs", None),
    ("text", "Use a dialer other than the desktop's phone handler?", None),
    ("push button", "Clear the dialer", "Clear: use the desktop's phone handler"),
    ("text", "Global Hot Key", None),
    ("push button", "Clear the hot key", None),
    ("tree", "Folders", None),
]
for role, name, description in setup_names:
    found = named(role, name, tree)
    check(len(found) == 1 and description in (None, found[0][2]),
          'Setup has the %s "%s"%s: %s' % (role, name, ' described as "%s"' % description if description else "",
                                          [n[1:3] for n in found]))
check_own_words(tree, "the Setup dialog")
hide = [n[1] for n in tree if n[0] == "check box" and n[1].replace("\n", " ") == "Hide Application Buttons and Menu"]
check(hide == ["Hide Application Buttons and Menu"],
      'the check box reads "Hide Application Buttons and Menu" as one line: %s' % hide)

# Setup goes with Esc; the Run dialog comes up in its place.
subprocess.run(["xdotool", "key", "--clearmodifiers", "Escape"], check=False)
wait_for(lambda: not any(n[0] == "dialog" and n[1] == "Setup" for n in nodes()))
tree = after_key("ctrl+r", lambda n: n[0] == "check box" and n[1] == "Run Minimized")
check(bool(named("check box", "Run Minimized", tree)), 'the Run dialog has "Run Minimized"')
check_own_words(tree, "the Run dialog")

sys.exit(1 if failures else 0)
