#!/usr/bin/python3
"""What a screen reader learns of a running program through AT-SPI.

Usage: screen-reader.py PID

Prints, one line each, tab-separated:
  object  ROLE  NAME  FOCUSABLE(0/1)  ACTIONS(comma-separated)   for every object of the program
  tab     ROLE  NAME                                              for every focus a Tab reaches,
                                                                  until the focus comes back
  pressed NAME                                                    once "press" ran on the search
"""
import sys
import time

import pyatspi

SEARCH = "Procurar módulos na rede"


def application(pid):
    # The program registers with the accessibility bus once its window is up.
    for _ in range(200):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.05)
    sys.exit("no accessible application with process %d" % pid)


def walk(obj):
    yield obj
    for child in obj:
        if child is not None:
            yield from walk(child)


def actions(obj):
    try:
        action = obj.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def field(text):
    return text.replace("\t", " ").replace("\n", " ")


def focused(candidates):
    for obj in candidates:
        if obj.getState().contains(pyatspi.STATE_FOCUSED):
            return obj
    return None


def main():
    app = application(int(sys.argv[1]))
    objects = list(walk(app))
    focusable = []
    for obj in objects:
        can_focus = obj.getState().contains(pyatspi.STATE_FOCUSABLE)
        if can_focus:
            focusable.append(obj)
        print("object\t%s\t%s\t%d\t%s" % (obj.getRoleName(), field(obj.name), can_focus,
                                          ",".join(actions(obj))))

    # A full Tab round, with the real key through the X server, as the user presses it.
    first = focused(focusable)
    if first is None:
        sys.exit("nothing has the keyboard focus")
    print("tab\t%s\t%s" % (first.getRoleName(), field(first.name)))
    current = first
    for _ in range(len(focusable) + 1):
        pyatspi.Registry.generateKeyboardEvent(0xFF09, None, pyatspi.KEY_SYM)  # Tab
        reached = None
        for _ in range(100):
            reached = focused(focusable)
            if reached is not None and reached != current:
                break
            time.sleep(0.02)
        if reached is None or reached == current:
            sys.exit("Tab moved the focus nowhere from %s" % current.name)
        current = reached
        if current == first:
            break
        print("tab\t%s\t%s" % (current.getRoleName(), field(current.name)))

    for obj in focusable:
        if obj.name == SEARCH:
            names = [name.lower() for name in actions(obj)]
            if "press" in names:
                obj.queryAction().doAction(names.index("press"))
                print("pressed\t%s" % obj.name)
    sys.stdout.flush()


main()
