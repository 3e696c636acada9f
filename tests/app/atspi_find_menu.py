#!/usr/bin/env python3
"""Finds, through AT-SPI as a screen reader does, an open menu of process PID holding an item named ITEM.

Usage: atspi_find_menu.py PID ITEM. Exit 0 when found; 1, with the application's tree, when not; 77 when
pyatspi is missing.
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


def main():
    pid, item = int(sys.argv[1]), sys.argv[2]
    # Asking starts the accessibility bus; Qt joins it only once it is there, and then registers.
    deadline = time.monotonic() + 10
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        apps = [a for a in children(desktop) if a is not None and a.get_process_id() == pid]
        if apps or time.monotonic() > deadline:
            break
        time.sleep(0.1)
    if not apps:
        print(f"no application with pid {pid} on the accessibility bus")
        return 1
    for node, _ in walk(apps[0]):
        if node.getRole() in MENUS and showing(node):
            items = [(c.getRoleName(), c.name) for c in children(node)]
            if ("menu item", item) in items:
                print(f"menu {node.name!r} in {node.parent.getRoleName()!r}: {items}")
                return 0
    for node, depth in walk(apps[0]):
        print(f"{'  ' * depth}{node.getRoleName()} {node.name!r}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
