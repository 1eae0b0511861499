#!/usr/bin/python3
"""Drives the real Tavrel window through AT-SPI alone, as a screen reader
would, for the end-to-end tests atspi.sh and orca.sh:

    atspi_client.py ENTRY

finds the push button "Activate Selected", selects ENTRY in the list
"Currently Installed Mods", runs the button's action, answers each question
through the dialog's own buttons, and prints what the active-mod line reads.

    atspi_client.py --registered

waits until the program's main window is on the accessibility bus, which
a screen reader must see before the window takes the keyboard.

    atspi_client.py --text-queries NAME

asks the text named NAME for the character, word, sentence and line at,
before and after every offset, the end included, each within two seconds,
then asks the window its name: the program must answer all of it.
Every wait is for the object itself, given up after 30 seconds.
"""
import sys
import time

import pyatspi

DEADLINE = 30


def wait_for(what, find):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit("atspi_client: no %s" % what)


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # an object that went while it was walked
            continue
        yield from descendants(child, depth + 1)


def find(root, role, name=None, prefix=None):
    for node in descendants(root):
        try:
            if node.getRole() != role:
                continue
            if name is not None and node.name != name:
                continue
            if prefix is not None and not node.name.startswith(prefix):
                continue
            return node
        except Exception:
            continue
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name.lower() == "tavrel":
            return app
    return None


def press(button):
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return
    sys.exit("atspi_client: %s has no Press action" % button.name)


def button_in(dialog, name):
    """The dialog's button `name`; when it has none, what it holds instead."""
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        button = find(dialog, pyatspi.ROLE_PUSH_BUTTON, name)
        if button is not None:
            return button
        time.sleep(0.1)
    sys.exit("atspi_client: no button %s in %s" % (name, [(n.getRoleName(), n.name) for n in descendants(dialog)]))


def answer(app, button_name):
    """Presses `button_name` in the question or message that is up now, and
    waits for it to go."""
    dialog = wait_for("message box", lambda: find(app, pyatspi.ROLE_DIALOG) or find(app, pyatspi.ROLE_ALERT))
    button = button_in(dialog, button_name)
    text = " ".join(n.name for n in descendants(dialog) if n.getRole() == pyatspi.ROLE_LABEL and n.name)
    press(button)
    wait_for("the box to go", lambda: None if dialog in list(descendants(app)) else True)
    return text


def text_queries(name):
    app = wait_for("application tavrel", application)
    box = wait_for("text " + name, lambda: find(app, pyatspi.ROLE_TEXT, name))
    text = box.queryText()
    count = text.characterCount
    pyatspi.setTimeout(2000, 2000)  # a question left unanswered fails here
    boundaries = [pyatspi.TEXT_BOUNDARY_CHAR, pyatspi.TEXT_BOUNDARY_WORD_START, pyatspi.TEXT_BOUNDARY_WORD_END,
                  pyatspi.TEXT_BOUNDARY_SENTENCE_START, pyatspi.TEXT_BOUNDARY_SENTENCE_END,
                  pyatspi.TEXT_BOUNDARY_LINE_START, pyatspi.TEXT_BOUNDARY_LINE_END]
    for offset in range(count + 1):
        for boundary in boundaries:
            for ask in (text.getTextAtOffset, text.getTextBeforeOffset, text.getTextAfterOffset):
                try:
                    ask(offset, boundary)
                except Exception as e:
                    sys.exit("atspi_client: %s(%d, %s) of %d characters: %s" % (ask.__name__, offset, boundary, count, e))
    window = find(app, pyatspi.ROLE_FRAME, prefix="Tavrel - Generals Mod Manager")
    if window is None:
        sys.exit("atspi_client: the program no longer answers")
    print("%d questions at %d offsets answered" % ((count + 1) * len(boundaries) * 3, count + 1))


def main():
    if sys.argv[1] == "--text-queries":
        return text_queries(sys.argv[2])
    if sys.argv[1] == "--registered":
        app = wait_for("application tavrel", application)
        wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, prefix="Tavrel - Generals Mod Manager"))
        return None
    entry = sys.argv[1]
    app = wait_for("application tavrel", application)
    window = wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, prefix="Tavrel - Generals Mod Manager"))
    button = wait_for("push button Activate Selected",
                      lambda: find(window, pyatspi.ROLE_PUSH_BUTTON, "Activate Selected"))
    mods = wait_for("list Currently Installed Mods",
                    lambda: find(window, pyatspi.ROLE_LIST, "Currently Installed Mods") or
                    find(window, pyatspi.ROLE_LIST_BOX, "Currently Installed Mods"))
    # Each row reads "__Name, N of M".
    names = [mods.getChildAtIndex(i).name.split(",")[0] for i in range(mods.childCount)]
    if entry not in names:
        sys.exit("atspi_client: %s is not listed: %s" % (entry, names))
    # Qt's list serves the table interface: its rows are selected there.
    row = names.index(entry)
    try:
        mods.querySelection().selectChild(row)
    except NotImplementedError:
        mods.queryTable().addRowSelection(row)

    press(button)
    print(answer(app, "Yes"))   # "Are you sure you want to activate ... MOD?"
    print(answer(app, "OK"))    # "Mod ... Has Been De-activated..."
    print(answer(app, "OK"))    # "MOD ... activated..."
    active = wait_for("active mod line", lambda: find(window, pyatspi.ROLE_LABEL, prefix="Current Active Mod: " + entry))
    print(active.name)


if __name__ == "__main__":
    main()
