#!/usr/bin/python3
# Reads a window of the running program through the AT-SPI bus, as a screen
# reader does, and lists each control a user can focus that has no name or
# no role. Exit 0: none; 1: some (printed); 2: the window was not found.
#   atspi_names.py APPLICATION_NAME WINDOW_TITLE
import sys
import time

import pyatspi

# Roles whose objects are containers or items read through their text; a
# name is not expected of them.
UNNAMED_ROLES = {
    pyatspi.ROLE_PAGE_TAB_LIST, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_TOOL_BAR,
    pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_COLUMN_HEADER,
    pyatspi.ROLE_ROW_HEADER, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL, pyatspi.ROLE_SPLIT_PANE,
    pyatspi.ROLE_SEPARATOR, pyatspi.ROLE_STATUS_BAR,
}
MAX_OBJECTS = 20000


def find_window(app_name, title):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.name != app_name:
            continue
        for window in app:
            if window is not None and window.name == title:
                return window
    return None


def inside_named_box(node):
    # The text part of an editable combo or spin box: the box carries the name.
    parent = node.parent
    return parent is not None and parent.getRole() in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON) \
        and bool((parent.name or "").strip())


def path_of(node):
    steps = []
    while node is not None and len(steps) < 6:
        steps.append("%s '%s'" % (node.getRoleName(), node.name or ""))
        node = node.parent
    return " < ".join(steps)


def faults_in(window):
    faults = []
    seen = 0
    stack = [window]
    while stack and seen < MAX_OBJECTS:
        node = stack.pop()
        seen += 1
        try:
            states = node.getState()
            if not states.contains(pyatspi.STATE_SHOWING):
                continue
            role = node.getRole()
            if states.contains(pyatspi.STATE_FOCUSABLE):
                name = (node.name or "").strip()
                if role == pyatspi.ROLE_UNKNOWN:
                    faults.append("no role: %s" % (name or node.getRoleName()))
                elif not name and role not in UNNAMED_ROLES and not inside_named_box(node):
                    faults.append("no name: %s in %s" % (node.getRoleName(), path_of(node)))
            # Items of a list or table are read through their own text.
            if role in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE):
                continue
            stack.extend(child for child in node if child is not None)
        except Exception as error:  # an object that went away as it was read
            faults.append("unreadable object: %s" % error)
    return faults


def main():
    app_name, title = sys.argv[1], sys.argv[2]
    window = None
    for _ in range(50):
        window = find_window(app_name, title)
        if window is not None:
            break
        time.sleep(0.2)
    if window is None:
        print("window not found on the accessibility bus: %s" % title)
        return 2
    faults = faults_in(window)
    for fault in faults:
        print("%s: %s" % (title, fault))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
