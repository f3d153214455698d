"""Walks Wispen's accessibility tree over AT-SPI as a screen reader does, and fails when the
note cannot be read or a control that shows has no name.

Usage: screen_reader_walk.py <expected note text> <expected tab title>...
"""
import sys
import time

import pyatspi

CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
}


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node, depth=0):
    yield node
    if depth > 40:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None and showing(child):
            yield from walk(child, depth + 1)


def find_app():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Wispen":
                return app
        time.sleep(0.1)
    sys.exit("FAIL: Wispen is not on the accessibility bus")


def main():
    note, titles = sys.argv[1], sys.argv[2:]
    problems = []
    nodes = list(walk(find_app()))
    for node in nodes:
        if node.getRole() in CONTROLS and not node.name.strip():
            problems.append(f"a {node.getRoleName()} has no name")
    editors = [n for n in nodes if n.getRole() == pyatspi.ROLE_TEXT
               and n.getState().contains(pyatspi.STATE_EDITABLE) and n.name == "Note"]
    if len(editors) != 1:
        problems.append(f"expected one editable note, found {len(editors)}")
    else:
        text = editors[0].queryText()
        content = text.getText(0, -1)
        if content != note:
            problems.append(f"the note reads {content!r}, not {note!r}")
        if not 0 <= text.caretOffset <= len(note):
            problems.append(f"the caret is at {text.caretOffset}")
    lists = [n for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST]
    tabs = [n for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB]
    if len(lists) != 1 or [t.name for t in tabs] != titles:
        problems.append(f"the tabs read {[t.name for t in tabs]}, not {titles}")
    selected = [t.name for t in tabs if t.getState().contains(pyatspi.STATE_SELECTED)]
    if len(selected) != 1:
        problems.append(f"selected tabs: {selected}")
    bold = [n for n in nodes if n.name == "Bold"]
    if not bold or bold[0].getRole() not in (pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TOGGLE_BUTTON):
        problems.append("the Bold button does not say whether it is on")
    if not any(n.name.startswith("Font size") for n in nodes):
        problems.append("the font size is not told")
    for problem in problems:
        print("FAIL:", problem)
    if problems:
        sys.exit(1)
    print(f"walked {len(nodes)} objects")


main()
