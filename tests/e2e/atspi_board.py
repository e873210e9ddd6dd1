"""Reads the board as a screen reader does, through the AT-SPI bus.

Used by accessibility.sh:
  tree UNTIL           waits for an object named UNTIL, then prints every
                       object of the program, one a line:
                       role <TAB> name <TAB> text <TAB> enabled|disabled <TAB> parent's name
  centre ROLE NAME     screen position of the middle of that object
  alert TEXT           waits for a box whose text holds TEXT, prints its
                       texts, then presses its OK button
  press BUTTON NAME    presses BUTTON through its action and waits for an
                       object to announce NAME as its new name
  table COLUMNS        waits until the one table has COLUMNS columns, then
                       prints: tables found <TAB> rows <TAB> columns <TAB>
                       name of the cell in row 0, column 1
  selected             the table's selected cells as row,column
  describe TEXT        the description of the block whose time label reads TEXT
  parked               the description of a block named ---
  month ROW DAY [TEXT] waits for the month window's table (and, with TEXT,
                       until the cell of row ROW, day DAY reads TEXT), then
                       prints: rows <TAB> columns <TAB> the day's column
                       header <TAB> the row's header <TAB> the cell's text
                       <TAB> its description
Exit status 1 with a message when the program or the object does not show.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM = "kabrelo24"
WAIT_S = 20


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == PROGRAM:
            return app
    return None


def walk(node, parent_name=""):
    yield node, parent_name
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, node.name)


def text_of(node):
    try:
        t = node.queryText()
    except NotImplementedError:
        return ""
    return t.getText(0, -1)


def find(root, test):
    for node, _ in walk(root):
        if test(node):
            return node
    return None


def wait_for(test):
    deadline = time.monotonic() + WAIT_S
    while time.monotonic() < deadline:
        app = program()
        node = find(app, test) if app is not None else None
        if node is not None:
            return app, node
        time.sleep(0.2)
    return None, None


def one_line(s):
    return s.replace("\t", " ").replace("\n", "\\n")


def tree(until):
    app, _ = wait_for(lambda n: n.name == until)
    if app is None:
        fail("nothing named %s within %d s" % (until, WAIT_S))
    for node, parent in walk(app):
        enabled = node.getState().contains(pyatspi.STATE_ENABLED)
        print("\t".join([node.getRoleName(), one_line(node.name), one_line(text_of(node)),
                         "enabled" if enabled else "disabled", one_line(parent)]))


def centre(role, name):
    _, node = wait_for(lambda n: n.getRoleName() == role and n.name == name)
    if node is None:
        fail("no %s named %s" % (role, name))
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(box.x + box.width // 2, box.y + box.height // 2)


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            action.doAction(i)
            return
    fail("%s has no press action" % node.name)


def alert(text):
    def holds(n):
        return text in n.name or text in text_of(n)

    app, node = wait_for(holds)
    if node is None:
        fail("no box saying %s within %d s" % (text, WAIT_S))
    box = node
    while box.parent is not None and box.parent.getRoleName() != "application":
        box = box.parent
    print("%s\t%s" % (box.getRoleName(), one_line(box.name)))
    for n, _ in walk(box):
        if n.name or text_of(n):
            print("%s\t%s\t%s" % (n.getRoleName(), one_line(n.name), one_line(text_of(n))))
    ok = find(box, lambda n: n.getRoleName() == "push button" and n.name == "OK")
    if ok is None:
        fail("the box has no OK button")
    press(ok)


def press_and_listen(button, name):
    _, node = wait_for(lambda n: n.getRoleName() == "push button" and n.name == button)
    if node is None:
        fail("no button %s" % button)
    heard = []

    # Qt sends the object, not the new name, with the event: the name is
    # read from the object.
    def on_name(event):
        if event.source is not None and event.source.name == name:
            heard.append("%s\t%s" % (event.source.getRoleName(), event.source.name))
            pyatspi.Registry.stop()

    def give_up():
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.idle_add(lambda: press(node) and False)
    GLib.timeout_add_seconds(WAIT_S, give_up)
    pyatspi.Registry.start()
    if not heard:
        fail("no object announced the name %s within %d s" % (name, WAIT_S))
    print(heard[0])


def the_table(columns=None):
    def is_table(n):
        if n.getRoleName() != "table":
            return False
        return columns is None or n.queryTable().nColumns == columns

    app, node = wait_for(is_table)
    if node is None:
        fail("no table with %s columns" % columns)
    return app, node


def table(columns):
    app, node = the_table(int(columns))
    tables = [n for n, _ in walk(app) if n.getRoleName() == "table"]
    t = node.queryTable()
    print("\t".join(str(v) for v in
                    [len(tables), t.nRows, t.nColumns, t.getAccessibleAt(0, 1).name]))


def selected():
    _, node = the_table()
    t = node.queryTable()
    print(" ".join("%d,%d" % (r, c) for r in range(t.nRows) for c in range(t.nColumns)
                   if t.isSelected(r, c)))


def describe(times):
    _, label = wait_for(lambda n: n.getRoleName() == "label" and n.name == times)
    if label is None:
        fail("no time label %s" % times)
    print(label.parent.description)


def parked():
    _, node = wait_for(lambda n: n.getRoleName() == "panel" and n.name == "---")
    if node is None:
        fail("no parked block")
    print(node.description)


def month(row, day, want=None):
    _, node = wait_for(lambda n: n.getRoleName() == "table" and n.name == "月間表")
    if node is None:
        fail("no month table")
    deadline = time.monotonic() + WAIT_S
    while True:
        t = node.queryTable()
        names = [t.getRowHeader(r).name if t.getRowHeader(r) else "" for r in range(t.nRows)]
        if row not in names:
            fail("no row %s among %r" % (row, names))
        r, c = names.index(row), int(day) - 1
        cell = t.getAccessibleAt(r, c)
        if want is None or one_line(cell.name) == want or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    header = t.getColumnHeader(c)
    print("\t".join([str(t.nRows), str(t.nColumns), one_line(header.name if header else ""),
                     one_line(names[r]), one_line(cell.name), one_line(cell.description)]))


def main(argv):
    commands = {"tree": (tree, 1), "centre": (centre, 2), "alert": (alert, 1),
                "press": (press_and_listen, 2), "table": (table, 1), "selected": (selected, 0),
                "describe": (describe, 1), "parked": (parked, 0), "month": (month, 2)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 not in (
            commands[argv[1]][1], 3 if argv[1] == "month" else -1):
        fail(__doc__)
    command, _ = commands[argv[1]]
    command(*argv[2:])


if __name__ == "__main__":
    main(sys.argv)
