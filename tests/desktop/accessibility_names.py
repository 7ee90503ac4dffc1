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


app = wait_for(lambda: program() is not None and any(n[0] == "frame" for n in nodes()))
check(bool(app), "the program is on the accessibility bus")
tree = wait_for(lambda: (lambda t: t if any(n[1] == "ClearText" for n in t) else None)(nodes()))
tree = tree or nodes()

font_boxes = [(n[0], n[1]) for n in tree if n[0] == "combo box"]
check(("combo box", "Font name") in font_boxes, 'the font-name box is named "Font name": %s' % font_boxes)
check(("combo box", "Font size") in font_boxes, 'the font-size box is named "Font size": %s' % font_boxes)
clear = [n for n in tree if n[0] == "push button" and n[1] == "ClearText"]
check(bool(clear) and clear[0][2] == "Clear Current Notes",
      'the "ClearText" button describes itself as "Clear Current Notes"')
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
subprocess.run(["xdotool", "search", "--name", "^Quillbox Plus$", "windowactivate", "--sync"],
               check=False, capture_output=True)
subprocess.run(["xdotool", "key", "--clearmodifiers", "ctrl+s"], check=False)
tree = wait_for(lambda: (lambda t: t if any(n[0] == "dialog" and n[1] == "Setup" for n in t) else None)(nodes()))
tree = tree or nodes()
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
hide = [n[1] for n in tree if n[0] == "check box" and n[1].replace("\n", " ") == "Hide Application Buttons and Menu"]
check(hide == ["Hide Application Buttons and Menu"],
      'the check box reads "Hide Application Buttons and Menu" as one line: %s' % hide)

sys.exit(1 if failures else 0)
