#!/usr/bin/python3
# What a screen reader learns of a running program over AT-SPI: the name of each image that is not part
# of another image, and the selected item of each list, one line each:
#   image<TAB>name
#   list<TAB>name<TAB>name of the selected item (empty when none)
# Usage: atspi-read.py APP_NAME   (the application's name on the accessibility bus, any case)
import sys

import pyatspi

MAX_DEPTH = 12


def walk(acc, depth=0):
    yield acc
    if depth >= MAX_DEPTH:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    want = sys.argv[1].lower()
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or (app.name or "").lower() != want:
            continue
        for acc in walk(app):
            role = acc.getRole()
            if role == pyatspi.ROLE_IMAGE and acc.parent.getRole() != pyatspi.ROLE_IMAGE:
                print("image\t%s" % acc.name)
            elif role == pyatspi.ROLE_LIST and acc.getState().contains(pyatspi.STATE_SHOWING):
                selected = [c.name for c in acc if c is not None
                            and c.getState().contains(pyatspi.STATE_SELECTED)]
                print("list\t%s\t%s" % (acc.name, selected[0] if selected else ""))
        return


main()
