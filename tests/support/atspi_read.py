#!/usr/bin/env python3
"""Reads a running program through AT-SPI, as a screen reader does.

Usage:
  atspi_read.py menu PID ITEM     exit 0 when an open menu of process PID holds an item named ITEM
  atspi_read.py cells PID COLUMN  each row of the program's shown table, one a line: the name and the
                                  description of its cell in COLUMN, tab-separated
Exit 1, with the application's tree, when there is no such menu or table; 77 when pyatspi is missing.
"""
import sys
import time

try:
    import pyatspi
except ImportError:
    sys.exit(77)

MENUS = (pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU)


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # an object that went away while it was read
        return []


def walk(node, depth=0):
    yield node, depth
    if depth < 12:
        for child in children(node):
            if child is not None:
                yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def application(pid):
    # Asking starts the accessibility bus; Qt joins it only once it is there, and then registers.
    deadline = time.monotonic() + 10
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        apps = [a for a in children(desktop) if a is not None and a.get_process_id() == pid]
        if apps or time.monotonic() > deadline:
            return apps[0] if apps else None
        time.sleep(0.1)


def find_menu(app, item):
    for node, _ in walk(app):
        if node.getRole() in MENUS and showing(node):
            items = [(c.getRoleName(), c.name) for c in children(node)]
            if ("menu item", item) in items:
                print(f"menu {node.name!r} in {node.parent.getRoleName()!r}: {items}")
                return True
    return False


def read_cells(app, column):
    for node, _ in walk(app):
        if node.getRole() == pyatspi.ROLE_TABLE and showing(node):
            table = node.queryTable()
            for row in range(table.nRows):
                cell = table.getAccessibleAt(row, column)
                print(f"{cell.name}\t{cell.description}")
            return True
    return False


def main():
    command, pid, argument = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    app = application(pid)
    if app is None:
        print(f"no application with pid {pid} on the accessibility bus")
        return 1
    found = find_menu(app, argument) if command == "menu" else read_cells(app, int(argument))
    if found:
        return 0
    for node, depth in walk(app):
        print(f"{'  ' * depth}{node.getRoleName()} {node.name!r}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
