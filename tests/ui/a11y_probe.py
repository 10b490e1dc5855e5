#!/usr/bin/python3
"""Reads the program's window through the accessibility bus, as a screen reader does.

    a11y_probe.py tree APP          prints every object offered under APP's windows, one a line:
                                    depth, role, name, states, description, value and the
                                    names of its labels, tab-separated
    a11y_probe.py focus APP         prints the focused object of APP as one such line
    a11y_probe.py listen APP SECS   prints "listening", then for SECS seconds, one a line: the text
                                    of every notification APP shows ("notification", text) and
                                    every new value of a progress bar ("value", name, value)

APP is the application's name on the bus (the program's file name). Exits 2 when APP is not there.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

STATES = {
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_SENSITIVE: "sensitive",
    pyatspi.STATE_SHOWING: "showing",
    pyatspi.STATE_VISIBLE: "visible",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_EDITABLE: "editable",
}


def find_app(name, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def describe(obj, depth):
    states = obj.getState()
    words = [word for state, word in STATES.items() if states.contains(state)]
    value = ""
    try:
        v = obj.queryValue()
        value = "%g/%g..%g" % (v.currentValue, v.minimumValue, v.maximumValue)
    except NotImplementedError:
        if obj.getRole() == pyatspi.ROLE_TEXT:
            try:
                value = obj.queryText().getText(0, -1)
            except NotImplementedError:
                pass
    labels = [
        target.name
        for relation in obj.getRelationSet()
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
        for target in (relation.getTarget(i) for i in range(relation.getNTargets()))
    ]
    fields = [str(depth), obj.getRoleName(), obj.name, ",".join(words), obj.description, value,
              ",".join(labels)]
    return "\t".join(f.replace("\t", " ").replace("\n", "\\n") for f in fields)


def walk(obj, depth, out):
    out.append(describe(obj, depth))
    if obj.getRole() == pyatspi.ROLE_TABLE:
        # A table's cells are its rows as shown; one line per row, in order.
        table = obj.queryTable()
        for row in range(table.nRows):
            cell = table.getAccessibleAt(row, 0)
            if cell is not None:
                out.append(describe(cell, depth + 1))
        return
    for child in obj:
        if child is not None:
            walk(child, depth + 1, out)


def tree(app):
    out = []
    for window in app:
        walk(window, 0, out)
    print("\n".join(out))


def focus(app):
    found = []

    def visit(obj, depth):
        if obj.getState().contains(pyatspi.STATE_FOCUSED):
            found.append(describe(obj, depth))
        if obj.getRole() == pyatspi.ROLE_TABLE:
            return
        for child in obj:
            if child is not None:
                visit(child, depth + 1)

    for window in app:
        visit(window, 0)
    print("\n".join(found))


def listen(app, seconds):
    def on_event(event):
        try:
            if event.host_application.name != app.name:
                return
            source = event.source
            role = source.getRole()
            if event.type.startswith("object:state-changed:showing"):
                if event.detail1 and role == pyatspi.ROLE_NOTIFICATION:
                    print("notification\t" + source.name, flush=True)
            elif role == pyatspi.ROLE_PROGRESS_BAR:
                value = source.queryValue().currentValue
                print("value\t%s\t%g" % (source.name, value), flush=True)
        except Exception as e:  # an object gone meanwhile
            print("error\t%r" % e, flush=True)

    events = ["object:state-changed:showing", "object:property-change:accessible-value"]
    pyatspi.Registry.registerEventListener(on_event, *events)
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    GLib.idle_add(lambda: print("listening", flush=True) and False)
    pyatspi.Registry.start()


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 1
    app = find_app(sys.argv[2])
    if app is None:
        print("no application named %s on the accessibility bus" % sys.argv[2], file=sys.stderr)
        return 2
    command = sys.argv[1]
    if command == "tree":
        tree(app)
    elif command == "focus":
        focus(app)
    elif command == "listen":
        listen(app, float(sys.argv[3]))
    else:
        print(__doc__, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
