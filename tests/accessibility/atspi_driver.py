#!/usr/bin/python3
"""The desktop's half of the accessibility conformance table: each row's steps made as a
screen reader makes them over AT-SPI (grab_focus, set_text_contents, an action), in a fresh
window each, then what the window's tree tells, printed as JSON by row. The rows come as JSON
on standard input, from tests/conformance/accessibility.py, which checks them.

Usage: atspi_driver.py ORVANE < ROWS.json
"""
import json
import sys
import time

import desktop

desktop.in_private_session()

import pyatspi  # noqa: E402  (only inside the session)
from gi.repository import GLib  # noqa: E402

ROLES = {"heading": "heading", "entry": "textbox", "push button": "button", "status bar": "status"}


def pump():
    while GLib.MainContext.default().iteration(False):
        pass


def window_of(program):
    def find():
        pump()
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "orvane" and app.childCount:
                frame = app[0]
                if frame.getState().contains(pyatspi.STATE_ACTIVE):
                    return frame
        return None

    return desktop.wait_for(find, "the window on the accessibility bus")


def elements(frame):
    found = []
    for child in frame:
        if child is None or child.getRoleName() not in ROLES:
            continue
        found.append(
            {
                "role": ROLES[child.getRoleName()],
                "name": child.name,
                "description": child.description or "",
                "activatable": child.getState().contains(pyatspi.STATE_ENABLED),
            }
        )
    return found


def shown(frame):
    return [(child.getRoleName(), child.name) for child in frame if child is not None]


def element_named(frame, name, roles):
    return desktop.wait_for(
        lambda: next(
            (c for c in frame if c is not None and c.name == name and c.getRoleName() in roles),
            None,
        ),
        f"an element called {name!r}",
        step=pump,
    )


def text_of(element):
    return element.queryText().getText(0, -1)


def run(orvane, row):
    program = desktop.Program(orvane, "--scale", "1")
    announced = []

    def hear(event):
        if event.any_data:
            announced.append(str(event.any_data))

    pyatspi.Registry.registerEventListener(hear, "object:announcement")
    try:
        frame = window_of(program)
        for kind, target, text in row["steps"]:
            if kind == "focus":
                element = element_named(frame, target, ("entry", "push button"))
                element.queryComponent().grabFocus()
                desktop.wait_for(
                    lambda: element.getState().contains(pyatspi.STATE_FOCUSED),
                    f"{target} to be focused",
                    step=pump,
                )
            elif kind == "set":
                element = element_named(frame, target, ("entry",))
                element.queryEditableText().setTextContents(text)
                desktop.wait_for(
                    lambda: text_of(element) == text, f"{target} to read {text}", step=pump
                )
            else:
                before = shown(frame)
                element_named(frame, target, ("push button",)).queryAction().doAction(0)
                try:
                    desktop.wait_for(
                        lambda: shown(frame) != before,
                        f"{target} to act",
                        timeout=desktop.PATIENCE / 2,
                        step=pump,
                    )
                except AssertionError:
                    pass  # what it did changed nothing a screen reader is shown
        # The announcements of the last step, heard.
        deadline = time.monotonic() + desktop.PATIENCE / 20
        while time.monotonic() < deadline:
            pump()
            time.sleep(0.01)
        return {"elements": elements(frame), "announced": len(announced)}
    finally:
        pyatspi.Registry.deregisterEventListener(hear, "object:announcement")
        program.quit()


def main():
    rows = json.load(sys.stdin)
    told = {}
    with desktop.x_server():
        for row in rows:
            told[row["name"]] = run(sys.argv[1], row)
    print(json.dumps(told))


if __name__ == "__main__":
    main()
