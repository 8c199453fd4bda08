#!/usr/bin/python3
"""What a screen reader meets in the fleet window, through AT-SPI, driven from the keyboard.

Usage: frota-screen-reader.py PID MODULES

Presses F5 and waits until the Modules table holds MODULES rows and the search is over, then
on every tab page, switched with Ctrl+Tab: walks the page and Tabs once round it with
the real key, and reads every table shown through the table interface. On the Plan page the
plan is first made from the modules found. Prints, one line each, tab-separated:
  object  PAGE ROLE NAME FOCUSABLE(0/1)            every object shown (not a table's cells)
  tab     PAGE ROLE NAME DESCRIPTION LABEL TABLE   every focus a Tab reaches, until it is back
                                                   (LABEL: the label naming it; TABLE: for a
                                                   cell or an editor, the table it is in)
  header  PAGE TABLE COLUMN NAME                   a table's column headers
  cell    PAGE TABLE ROW COLUMN TEXT ROW-HEADER COLUMN-HEADER   the first rows' cells
  page    NAME                                     the page selected after Ctrl+Tab
"""
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

TAB = 0xFF09
F5 = 0xFFC2
CONTROL_MASK = 1 << 2
SEARCH = "Procurar"
PLAN_FROM_FOUND = "Plano dos módulos encontrados"
# Read cells of so many rows of each table: enough to check, short enough to print.
ROWS_READ = 3


def application(pid):
    # The program registers with the accessibility bus once its window is up.
    for _ in range(400):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.05)
    sys.exit("no accessible application with process %d" % pid)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def walk(obj):
    """Every object shown, without the cells and headers inside tables (read as a table)."""
    yield obj
    if obj.getRole() in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE):
        return
    for child in obj:
        if child is not None and showing(child):
            yield from walk(child)


def field(text):
    return (text or "").replace("\t", " ").replace("\n", " ")


def wait_until(test, what, tries=500):
    for _ in range(tries):
        result = test()
        if result:
            return result
        time.sleep(0.02)
    sys.exit("timed out waiting for %s" % what)


def has_focus(obj):
    if not obj.getState().contains(pyatspi.STATE_FOCUSED):
        return False
    # Qt calls the current page's tab focused even when its tab bar has lost the focus.
    return obj.getRole() != pyatspi.ROLE_PAGE_TAB or has_focus(obj.parent)


def focused(candidates):
    """The innermost object focused: the tab widget, its tab bar and the tab hold the focus
    together, and the tab is what is spoken."""
    found = None
    for obj in candidates:
        if has_focus(obj):
            found = obj
    return found


def key(sym, control=False):
    if control:
        pyatspi.Registry.generateKeyboardEvent(CONTROL_MASK, None, pyatspi.KEY_LOCKMODIFIERS)
    pyatspi.Registry.generateKeyboardEvent(sym, None, pyatspi.KEY_SYM)
    if control:
        pyatspi.Registry.generateKeyboardEvent(CONTROL_MASK, None, pyatspi.KEY_UNLOCKMODIFIERS)


def selected_page(frame):
    # The tab bar is named after the page it shows.
    for obj in walk(frame):
        if obj.getRole() == pyatspi.ROLE_PAGE_TAB_LIST:
            return obj.name
    return None


def find(frame, role, name):
    for obj in walk(frame):
        if obj.getRole() == role and obj.name == name:
            return obj
    return None


def read_tables(page, objects):
    for obj in objects:
        if obj.getRole() != pyatspi.ROLE_TABLE:
            continue
        table = obj.queryTable()
        # The table interface finds a column's header through its first cell: an empty
        # table's headers are read as the table's children.
        if table.nRows:
            headers = [table.getColumnHeader(c) for c in range(table.nColumns)]
        else:
            headers = [h for h in obj
                       if h is not None and h.getRole() == pyatspi.ROLE_TABLE_COLUMN_HEADER]
        for c, header in enumerate(headers):
            print("header\t%s\t%s\t%d\t%s" % (page, field(obj.name), c,
                                              field(header.name if header else "")))
        for r in range(min(table.nRows, ROWS_READ)):
            row_header = table.getRowHeader(r)
            for c in range(table.nColumns):
                cell = table.getAccessibleAt(r, c)
                column_header = table.getColumnHeader(c)
                print("cell\t%s\t%s\t%d\t%d\t%s\t%s\t%s" % (
                    page, field(obj.name), r, c, field(cell.name if cell else ""),
                    field(row_header.name if row_header else ""),
                    field(column_header.name if column_header else "")))


def spoken(page, obj):
    """A focus as a screen reader speaks it: role, name, description, the label that names
    it, and for a cell the table it is in."""
    label = ", ".join(field(r.getTarget(i).name) for r in obj.getRelationSet()
                      if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                      for i in range(r.getNTargets()))
    inside = obj.parent
    while inside is not None and inside.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_FRAME):
        inside = inside.parent
    table = field(inside.name) if inside is not None and inside.getRole() == pyatspi.ROLE_TABLE \
        else ""
    return "tab\t%s\t%s\t%s\t%s\t%s\t%s" % (page, obj.getRoleName(), field(obj.name),
                                             field(obj.description), label, table)


class Focus:
    """The focus as the program announces it, which reaches inside tables (cells, editors)."""

    def __init__(self):
        self.events = []
        pyatspi.Registry.registerEventListener(self._changed, "object:state-changed:focused")

    def _changed(self, event):
        if event.detail1:
            self.events.append(event.source)

    def pump(self):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def moved_from(self, current):
        self.pump()
        return self.events[-1] if self.events and self.events[-1] != current else None


def tab_round(page, focusable, focus):
    # Where the page starts: its tab, chosen with Ctrl+Tab.
    first = wait_until(lambda: focused(focusable), "the keyboard focus on " + page)
    # Tab comes back to the tab bar, which announces itself rather than its current tab.
    if first.getRole() == pyatspi.ROLE_PAGE_TAB:
        first = first.parent
    current = first
    # Enough for every control and every cell of a table that keeps Tab inside.
    for _ in range(len(focusable) + 200):
        print(spoken(page, current))
        focus.pump()
        focus.events.clear()
        key(TAB)
        current = wait_until(lambda: focus.moved_from(current),
                             "Tab to move on from %s on %s" % (current.name, page), 250)
        if current == first:
            return
    sys.exit("Tab never came back to %s on %s" % (first.name, page))


def main():
    pid, modules = int(sys.argv[1]), int(sys.argv[2])
    app = application(pid)
    # Every question goes to the program: a cached state may be out of date.
    app.set_cache_mask(Atspi.Cache.NONE)
    focus = Focus()
    frame = wait_until(lambda: next((f for f in app if f is not None and
                                     f.getRole() == pyatspi.ROLE_FRAME), None), "the window")
    wait_until(lambda: focused(o for o in walk(frame)), "the keyboard focus")

    # The search from the keyboard; it is over when its key works again.
    key(F5)
    found = wait_until(lambda: next((o for o in walk(frame) if o.getRole() == pyatspi.ROLE_TABLE),
                                    None), "the modules' table")
    wait_until(lambda: found.queryTable().nRows >= modules, "%d modules" % modules, 1500)
    search = wait_until(lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, SEARCH), "the search")
    wait_until(lambda: search.getState().contains(pyatspi.STATE_ENABLED), "the search to end", 1500)

    pages = []
    for _ in range(8):
        page = selected_page(frame)
        if page in pages:
            break
        pages.append(page)
        if len(pages) == 2:
            # The Plan page: its plan made from the modules found, as a click would.
            start = wait_until(lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, PLAN_FROM_FOUND),
                               "the plan's button")
            start.queryAction().doAction(0)
            wait_until(lambda: any(o.getRole() == pyatspi.ROLE_TABLE and
                                   o.queryTable().nRows >= modules for o in walk(frame)),
                       "the plan's rows")
        objects = list(walk(frame))
        for obj in objects:
            can_focus = obj.getState().contains(pyatspi.STATE_FOCUSABLE)
            print("object\t%s\t%s\t%s\t%d" % (page, obj.getRoleName(), field(obj.name), can_focus))
        tab_round(page, [o for o in objects if o.getState().contains(pyatspi.STATE_FOCUSABLE)],
                  focus)
        read_tables(page, objects)
        key(TAB, control=True)
        wait_until(lambda: selected_page(frame) != page, "Ctrl+Tab to leave " + page)
        print("page\t%s" % selected_page(frame))
    sys.stdout.flush()


main()
