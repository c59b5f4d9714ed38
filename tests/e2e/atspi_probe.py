#!/usr/bin/python3
"""Asks the running program, through the accessibility bus, what a user would read off its
main window, or gives it a menu command, as tests/windows/zel_probe.exe does on Windows:
  atspi_probe.py line          the typed line's text, as UTF-8
  atspi_probe.py visible NAME  1 when a button named NAME is shown, else 0
  atspi_probe.py command NAME  presses the menu item named NAME
Exits 1 while the main window is not on the bus, 2 on bad arguments. The program must run
with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the same session bus."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def main_frame():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        for j in range(app.get_child_count() if app else 0):
            frame = app.get_child_at_index(j)
            if frame and frame.get_role() == Atspi.Role.FRAME and frame.get_name().startswith("もじもり"):
                return frame
    return None


def nodes(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child:
            yield from nodes(child)


def main(argv):
    frame = main_frame()
    if frame is None:
        return 1
    if argv == ["line"]:
        # The typed line is the window's only label.
        labels = [n for n in nodes(frame) if n.get_role() == Atspi.Role.LABEL]
        if len(labels) != 1:
            return 1
        sys.stdout.write(labels[0].get_name())
        return 0
    if len(argv) != 2:
        return 2
    what, name = argv
    if what == "visible":
        buttons = [n for n in nodes(frame) if n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() == name]
        if not buttons:
            return 2
        shown = any(b.get_state_set().contains(Atspi.StateType.SHOWING) for b in buttons)
        print(1 if shown else 0)
        return 0
    if what == "command":
        items = [n for n in nodes(frame) if n.get_role() in (Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM)
                 and n.get_name() == name]
        if len(items) != 1:
            return 2
        return 0 if items[0].do_action(0) else 1
    return 2


sys.exit(main(sys.argv[1:]))
