#!/usr/bin/python3
"""Reads and drives the window as a screen reader does, over AT-SPI (pyatspi), on a desktop of
its own: the application and its window, each thing the screen reads with its role, name,
description, states and extents at two scales; typing through the keypad's actions and
through set_text_contents; Calculate activated, its answer shown and announced, again for
the same answer; the focus moved by keys, heard as focus events; and a key a screen reader
takes never reaching the screen.

Usage: reader_test.py ORVANE   (it starts its own session bus; /usr/bin/python3 has gi)
"""
import pathlib
import subprocess
import sys

import desktop

desktop.in_private_session()

import pyatspi  # noqa: E402  (only inside the session: it connects to its bus)
from gi.repository import GLib  # noqa: E402

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "conformance"))
from conformance import window_frame  # noqa: E402

ORVANE = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print(f"FAIL: {message}", flush=True)


def pump():
    while GLib.MainContext.default().iteration(False):
        pass


class Heard:
    """The events of some kinds, as they come."""

    def __init__(self, *kinds):
        self.events = []
        self.kinds = kinds
        for kind in kinds:
            pyatspi.Registry.registerEventListener(self.hear, kind)

    def hear(self, event):
        try:
            role, name = event.source.getRoleName(), event.source.name
        except Exception:  # a source gone before it was asked
            role, name = "(gone)", ""
        self.events.append((event.type, role, name, event.detail1, str(event.any_data)))

    def close(self):
        for kind in self.kinds:
            pyatspi.Registry.deregisterEventListener(self.hear, kind)

    def wait_for(self, what, matches):
        return desktop.wait_for(lambda: [e for e in self.events if matches(*e)], what, step=pump)


def application():
    def find():
        pump()
        root = pyatspi.Registry.getDesktop(0)
        return next((app for app in root if app is not None and app.name == "orvane"), None)

    return desktop.wait_for(find, "the application on the accessibility bus")


def readings(frame):
    return [child for child in frame if child is not None]


def named(frame, role, name):
    found = [c for c in readings(frame) if c.getRoleName() == role and c.name == name]
    return found[0] if found else None


def text_of(element):
    return element.queryText().getText(0, -1)


def headless_frames():
    """The views' frames in points, as UIKit lays the screen out (the window's own truth)."""
    dump = subprocess.run(
        [ORVANE, "--ui", "headless", "--size", "%dx%d" % desktop.SCREEN],
        input="dump\n",
        capture_output=True,
        text=True,
        check=True,
        env={"LC_ALL": "en_US.UTF-8", "PATH": "/usr/bin:/bin"},
    ).stdout
    return {name: window_frame(dump, name) for name in ("wage", "price", "clear")}


EXPECTED = [
    ("heading", "orvane", ""),
    ("label", "What does it cost in hours of work?", ""),
    ("label", "Your hourly wage", ""),
    ("entry", "Your hourly wage", "$"),
    ("label", "The item's price", ""),
    ("entry", "The item's price", "$"),
    ("status bar", "", ""),
    ("push button", "Clear calculator", ""),
]


def check_tree(scale, frames):
    program = desktop.Program(ORVANE, "--scale", str(scale))
    try:
        app = application()
        check(app.getRoleName() == "application", f"the application's role is {app.getRoleName()}")
        check(app.childCount == 1, f"the application has {app.childCount} windows")
        frame = app[0]
        check(
            (frame.getRoleName(), frame.name) == ("frame", "orvane"),
            f"the window is {frame.getRoleName()} {frame.name!r}",
        )
        desktop.wait_for(
            lambda: frame.getState().contains(pyatspi.STATE_ACTIVE),
            "the window to be active",
            step=pump,
        )
        found = [(c.getRoleName(), c.name, c.description or "") for c in readings(frame)]
        check(found == EXPECTED, f"the window reads as {found}")
        wage = named(frame, "entry", "Your hourly wage")
        states = wage.getState()
        for state in (
            pyatspi.STATE_FOCUSABLE,
            pyatspi.STATE_EDITABLE,
            pyatspi.STATE_ENABLED,
            pyatspi.STATE_SENSITIVE,
            pyatspi.STATE_SHOWING,
            pyatspi.STATE_VISIBLE,
            pyatspi.STATE_SINGLE_LINE,
        ):
            check(states.contains(state), f"the wage lacks {state}")
        check(not states.contains(pyatspi.STATE_FOCUSED), "the wage is focused before anything")
        left, top, _, _ = program.geometry()
        for name, role, caption in (
            ("wage", "entry", "Your hourly wage"),
            ("price", "entry", "The item's price"),
            ("clear", "push button", "Clear calculator"),
        ):
            element = named(frame, role, caption)
            expected = tuple(round(value * scale) for value in frames[name])
            inside = element.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            on_screen = element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            check(
                all(abs(a - b) <= 1 for a, b in zip(tuple(inside), expected)),
                f"at {scale}x the {name} lies at {tuple(inside)} in the window, not {expected}",
            )
            check(
                (on_screen.x - inside.x, on_screen.y - inside.y) == (left, top),
                f"at {scale}x the {name}'s screen place is off the window's ({left}, {top})",
            )
    finally:
        status, printed = program.quit()
        check(status == 0 and printed == "", f"the window ended {status} saying {printed!r}")


def check_use():
    program = desktop.Program(ORVANE, "--scale", "1")
    heard = Heard(
        "object:state-changed:focused",
        "object:text-changed:insert",
        "object:announcement",
        "object:state-changed:showing",
        "object:children-changed",
    )
    try:
        frame = application()[0]
        desktop.wait_for(
            lambda: frame.getState().contains(pyatspi.STATE_ACTIVE),
            "the window to be active",
            step=pump,
        )
        wage = named(frame, "entry", "Your hourly wage")
        check(wage.queryComponent().grabFocus(), "grab_focus on the wage was refused")
        heard.wait_for(
            "the wage focused",
            lambda kind, role, name, detail, _: kind == "object:state-changed:focused"
            and name == "Your hourly wage"
            and detail == 1,
        )
        one = desktop.wait_for(lambda: named(frame, "push button", "1"), "the keypad", step=pump)
        check(one.getState().contains(pyatspi.STATE_ENABLED), "the key 1 is not enabled")
        check(not one.getState().contains(pyatspi.STATE_FOCUSABLE), "a key is in the ring")
        for key in ("1", "5"):
            check(named(frame, "push button", key).queryAction().doAction(0), f"key {key} refused")
        desktop.wait_for(lambda: text_of(wage) == "15", "the wage to read 15", step=pump)
        heard.wait_for(
            "the typing heard",
            lambda kind, role, name, detail, data: kind.startswith("object:text-changed:insert")
            and name == "Your hourly wage",
        )
        price = named(frame, "entry", "The item's price")
        price.queryEditableText().setTextContents("100")
        desktop.wait_for(lambda: text_of(price) == "100", "the price to read 100", step=pump)
        check(text_of(wage) == "15", "setting the price changed the wage")
        attributes = price.queryText().getAttributeRun(0)
        check(attributes[2] == 3, f"the price's text runs {attributes}")
        for attempt in (1, 2):
            calculate = desktop.wait_for(
                lambda: named(frame, "push button", "Calculate"), "the Calculate bar", step=pump
            )
            heard.events.clear()
            check(calculate.queryAction().getName(0) == "click", "Calculate's action")
            check(calculate.queryAction().doAction(0), "Calculate refused")
            answer = desktop.wait_for(
                lambda: named(frame, "status bar", "7 hours"),
                f"the answer, time {attempt}",
                step=pump,
            )
            check(text_of(answer) == "7 hours", f"the answer reads {text_of(answer)!r}")
            heard.wait_for(
                f"the answer announced, time {attempt}",
                lambda kind, role, name, d, data: kind == "object:announcement"
                and data == "7 hours",
            )
            heard.wait_for(
                f"the answer's notification, time {attempt}",
                lambda kind, role, name, detail, _: kind == "object:state-changed:showing"
                and role == "notification"
                and name == "7 hours"
                and detail == 1,
            )
            check(named(frame, "push button", "Calculate") is None, "the keypad stayed up")
            # The same answer again: the price edited, Calculate once more.
            if attempt == 1:
                price.queryComponent().grabFocus()
                heard.wait_for(
                    "the price focused",
                    lambda kind, role, name, detail, _: kind == "object:state-changed:focused"
                    and name == "The item's price"
                    and detail == 1,
                )

        # The focus by keys: the ring, heard as focus events.
        program_keys = [
            ("Escape", None),
            ("Tab", "Your hourly wage"),
            ("Tab", "The item's price"),
            ("Tab", "Clear calculator"),
            ("shift+Tab", "The item's price"),
        ]
        for key, expected in program_keys:
            heard.events.clear()
            desktop.xdotool("key", key)
            if expected:
                heard.wait_for(
                    f"{key} to focus {expected}",
                    lambda kind, role, name, detail, _: kind == "object:state-changed:focused"
                    and name == expected
                    and detail == 1,
                )
    finally:
        heard.close()
        status, printed = program.quit()
        check(status == 0 and printed == "", f"the window ended {status} saying {printed!r}")


def check_keys_taken():
    """A key the screen reader takes never reaches the screen; the rest do."""
    program = desktop.Program(ORVANE, "--scale", "1")
    taken = []

    def listener(event):
        if event.event_string == "7":
            taken.append(event.type)
            return True
        return False

    pyatspi.Registry.registerKeystrokeListener(
        listener,
        kind=(pyatspi.KEY_PRESSED_EVENT, pyatspi.KEY_RELEASED_EVENT),
        mask=pyatspi.allModifiers(),
        synchronous=True,
        preemptive=True,
    )
    try:
        frame = application()[0]
        wage = named(frame, "entry", "Your hourly wage")
        desktop.wait_for(
            lambda: frame.getState().contains(pyatspi.STATE_ACTIVE),
            "the window to be active",
            step=pump,
        )
        for key in ("Tab", "1", "7", "2"):
            desktop.xdotool("key", key)
            desktop.wait_for(lambda: True, "", step=pump)
        desktop.wait_for(
            lambda: text_of(wage) == "12", "the wage to read 12, without the 7", step=pump
        )
        check(taken, "the listener never heard the 7")
    except AssertionError as error:
        check(False, f"{error} (it reads {text_of(wage)!r})")
    finally:
        pyatspi.Registry.deregisterKeystrokeListener(
            listener,
            kind=(pyatspi.KEY_PRESSED_EVENT, pyatspi.KEY_RELEASED_EVENT),
            mask=pyatspi.allModifiers(),
        )
        status, printed = program.quit()
        check(status == 0 and printed == "", f"the window ended {status} saying {printed!r}")


def main():
    frames = headless_frames()
    failed = 0
    cases = (
        ("tree at 1x", lambda: check_tree(1, frames)),
        ("tree at 2x", lambda: check_tree(2, frames)),
        ("use by a screen reader", check_use),
        ("keys a screen reader takes", check_keys_taken),
    )
    with desktop.x_server("2000x1600"):
        for name, run in cases:
            before = len(failures)
            try:
                run()
            except (AssertionError, RuntimeError) as error:
                check(False, f"{name}: {error}")
            failed += len(failures) > before
            print(("FAIL " if len(failures) > before else "ok   ") + name, flush=True)
    print(f"{len(cases) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
