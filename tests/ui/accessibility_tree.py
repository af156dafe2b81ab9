# SPDX-License-Identifier: MIT
"""The program's accessibility tree as a screen reader reads it over the desktop's accessibility bus.

Starts the program (argument 1) on a remembered login that connects, so it opens on the extraction
window; runs an extraction, unticks the tables and switches to the connection window through the
buttons' own actions; prints each window's tree as Orca would speak it and checks that both windows
are frames with names of their own, that the rows of both lists are check boxes that say whether they
are ticked, that a tick given through a row's action and the focus moving to a row are announced on
that row, and that the progress bar is named and tells its value. With no window manager on the display,
the window is active when shown; after a run started from the keyboard, the object last announced as
focused is the one that has the focus, and Tab into the results announces their current row. Ends with
"N passed, N failed".
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TABLES_AND_RESULTS, LOGIN = "Kestrelmoor \u2013 Tables and Results", "Kestrelmoor \u2013 MySQL Login"
tally = {"passed": 0, "failed": 0}
heard = []


def check(what, ok):
    tally["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + what)


def wait_for(find, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = find()
        if found:
            return found
        pump(0.25)
    return None


def pump(seconds):
    # Events from the bus arrive through the main loop.
    deadline, context = time.time() + seconds, GLib.MainContext.default()
    while time.time() < deadline:
        if not context.iteration(False):
            time.sleep(0.02)


def listen(event):
    heard.append((event.type, event.source.getRoleName(), event.source.name, event.detail1))


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)] if node else []


def has(node, state):
    return node.getState().contains(state)


def actions(node):
    try:
        action = node.queryAction()
        return [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        return []


def tickable(node):
    # A check box says "checked" or "not checked" whether or not it is marked checkable (Qt 6.4's bridge
    # never passes that state on); a table cell only with both.
    return node.getRoleName() == "check box" or has(node, pyatspi.STATE_CHECKABLE)


def dump(node, depth=0):
    words = [node.getRoleName(), '"%s"' % node.name]
    if tickable(node):
        words.append("checked" if has(node, pyatspi.STATE_CHECKED) else "not checked")
    try:
        words.append("%g%%" % node.queryValue().currentValue)
    except NotImplementedError:
        pass
    print("  " * depth + " ".join(words))
    for child in children(node):
        dump(child, depth + 1)


def frame(name):
    apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "kestrelmoor"]
    shown = [w for app in apps for w in children(app) if w.name == name and has(w, pyatspi.STATE_SHOWING)]
    return shown[0] if shown else None


def named(window, role, name):
    return next(node for node in children(window) if node.getRoleName() == role and node.name == name)


def rows(window, name):
    return [node for node in children(named(window, "list", name)) if "header" not in node.getRoleName()]


def act(node, action):
    node.queryAction().doAction(actions(node).index(action))


def press(window, caption):
    act(named(window, "push button", caption), "Press")


def check_heard(what, event, row, detail):
    check(what, wait_for(lambda: (event, "check box", row.name, detail) in heard, 10) is not None)


def focused_heard():
    return [(role, name) for kind, role, name, detail in heard if kind == "object:state-changed:focused" and detail]


def key(keysym, times=1):
    for _ in range(times):
        pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
        pump(0.2)


def check_focus_after_run(extraction):
    start = named(extraction, "push button", "Start Extracting")
    act(start, "SetFocus")
    wait_for(lambda: has(start, pyatspi.STATE_FOCUSED), 10)
    pump(0.5)
    before = len(focused_heard())
    key(0x20)  # Space
    results = check_rows(extraction, "Results", 3, True)
    pump(1)
    during, last = focused_heard()[before:], focused_heard()[-1:]
    check("after a run the focus stays on Start Extracting, and that is what was announced last (%s)" % last,
          has(start, pyatspi.STATE_FOCUSED) and last == [("push button", "Start Extracting")]
          and not any(role == "check box" for role, _ in during))
    names = [row.name for row in results]
    for _ in range(12):  # Tab until the results list has the focus
        key(0xFF09)
        if any(role == "check box" and name in names for role, name in focused_heard()[-1:]):
            break
    pump(1)
    last = focused_heard()[-1:]
    check("Tab into the results announces their current row, the last (%s)" % last,
          last == [("check box", results[-1].name)] and has(results[-1], pyatspi.STATE_FOCUSED))


def check_rows(window, name, count, checked):
    def settled():
        found = rows(window, name)
        return len(found) == count and all(has(row, pyatspi.STATE_CHECKED) == checked for row in found) and found

    found = wait_for(settled, 30) or rows(window, name)
    check("%s: %d rows, each a check box that says it is %schecked" % (name, count, "" if checked else "not "),
          len(found) == count and all(tickable(row) and has(row, pyatspi.STATE_CHECKED) == checked
                                      for row in found))
    return found


def main():
    # The bus and its registry first: a program started before them may never join.
    pyatspi.Registry.getDesktop(0).childCount
    program = subprocess.Popen([sys.argv[1]])
    try:
        extraction = wait_for(lambda: frame(TABLES_AND_RESULTS))
        check("the extraction window is a frame named " + TABLES_AND_RESULTS,
              extraction is not None and extraction.getRoleName() == "frame")
        if extraction is None:
            return
        check("with no window manager, the window is active once shown",
              wait_for(lambda: has(extraction, pyatspi.STATE_ACTIVE), 10) is not None)
        check_rows(extraction, "Tables", 2, True)
        pyatspi.Registry.registerEventListener(listen, "object:state-changed:checked",
                                               "object:state-changed:focused")
        check_focus_after_run(extraction)
        progress = named(extraction, "progress bar", "Progress")
        check("the progress bar is named and full after the run", progress.queryValue().currentValue == 100)
        press(extraction, "Uncheck All")
        first, second = check_rows(extraction, "Tables", 2, False)
        act(first, "Toggle")
        check_heard("a row ticked through its action says so", "object:state-changed:checked", first, 1)
        act(second, "SetFocus")
        check_heard("the focus on a row is announced on that row", "object:state-changed:focused", second, 1)
        dump(extraction)
        press(extraction, "Switch MySQL Database")
        connection = wait_for(lambda: frame(LOGIN))
        check("the connection window is a frame named " + LOGIN,
              connection is not None and connection.getRoleName() == "frame")
        if connection is not None:
            dump(connection)
    finally:
        program.terminate()
        program.wait(30)
        print("%d passed, %d failed" % (tally["passed"], tally["failed"]))


main()
sys.exit(1 if tally["failed"] else 0)
