#!/usr/bin/python3
# What a screen reader learns of a running program over AT-SPI, one line each: "image<TAB>name" for every
# image not inside another image, "list<TAB>name<TAB>selected item's name" for every list on screen.
# Usage: atspi-read.py APP_NAME   (the application's name on the accessibility bus, any case)
import sys

import pyatspi


def walk(acc, depth=0):
    yield acc
    for child in (acc if depth < 12 else []):
        if child is not None:
            yield from walk(child, depth + 1)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and (app.name or "").lower() == sys.argv[1].lower():
        for acc in walk(app):
            if acc.getRole() == pyatspi.ROLE_IMAGE and acc.parent.getRole() != pyatspi.ROLE_IMAGE:
                print("image\t%s" % acc.name)
            elif acc.getRole() == pyatspi.ROLE_LIST and acc.getState().contains(pyatspi.STATE_SHOWING):
                chosen = [c.name for c in acc if c is not None and c.getState().contains(pyatspi.STATE_SELECTED)]
                print("list\t%s\t%s" % (acc.name, chosen[0] if chosen else ""))
