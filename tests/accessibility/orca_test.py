#!/usr/bin/python3
"""Orca itself, on a desktop of its own, with the window: Tab to the wage, 15, Tab to the
price, 100, Enter. What Orca would say is in its debug file, as SPEECH OUTPUT lines: the
captions as the fields are reached, and the answer.

Usage: orca_test.py ORVANE
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

import desktop

desktop.in_private_session()

ORVANE = sys.argv[1]


def spoken(debug):
    text = debug.read_text(errors="replace") if debug.exists() else ""
    return re.findall(r"SPEECH OUTPUT: '(.*)'(?: *\{.*\})? *$", text, re.M)


def orca_listens():
    """Whether a screen reader has asked the accessibility registry for focus events: Orca is
    ready to hear the window. (Its debug file is written in blocks, too late to tell.)"""
    from gi.repository import Gio, GLib

    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync(
        "org.a11y.Bus",
        "/org/a11y/bus",
        "org.a11y.Bus",
        "GetAddress",
        None,
        GLib.VariantType("(s)"),
        Gio.DBusCallFlags.NONE,
        2000,
        None,
    ).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address,
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None,
        None,
    )
    events = bus.call_sync(
        "org.a11y.atspi.Registry",
        "/org/a11y/atspi/registry",
        "org.a11y.atspi.Registry",
        "GetRegisteredEvents",
        None,
        None,
        Gio.DBusCallFlags.NONE,
        2000,
        None,
    ).unpack()[0]
    bus.close_sync(None)
    return any(event.lower().startswith("object:statechanged") for _, event in events)


def in_order(lines, expected):
    """The first line holding each expected text, each after the one before; None for a text
    not said in its turn."""
    found, start = [], 0
    for text in expected:
        index = next((i for i in range(start, len(lines)) if text in lines[i]), None)
        found.append(index)
        if index is not None:
            start = index + 1
    return found


def main():
    if not shutil.which("orca"):
        print("FAIL: orca is missing (scripts/setup installs it)")
        sys.exit(1)
    home = pathlib.Path(tempfile.mkdtemp(prefix="orca-home-"))
    debug = home / "debug.out"
    failures = []
    with desktop.x_server():
        program = desktop.Program(ORVANE, "--scale", "1")
        orca = subprocess.Popen(
            ["orca", "--debug-file", str(debug), "--user-prefs", str(home / "prefs")],
            env={**os.environ, "HOME": str(home), "GTK_A11Y": "none"},
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        try:
            desktop.wait_for(orca_listens, "Orca to listen", timeout=desktop.PATIENCE * 3)
            # Orca hears the window as a person brings it to the front.
            desktop.xdotool("windowfocus", "--sync", program.window)
            time.sleep(desktop.PATIENCE / 10)
            for kind, value in (
                ("key", "Tab"),
                ("type", "15"),
                ("key", "Tab"),
                ("type", "100"),
                ("key", "Return"),
            ):
                desktop.xdotool(kind, value)
                time.sleep(desktop.PATIENCE / 10)
        finally:
            orca.terminate()
            try:
                orca.wait(timeout=desktop.PATIENCE)
            except subprocess.TimeoutExpired:
                orca.kill()
            status, printed = program.quit()
    said = spoken(debug)
    for line in said:
        print(f"said: {line}")
    expected = ["Your hourly wage", "The item's price", "7 hours"]
    for text, index in zip(expected, in_order(said, expected)):
        if index is None:
            failures.append(f"Orca did not say {text!r} in its turn")
    if status != 0 or printed:
        failures.append(f"the window ended {status} saying {printed!r}")
    shutil.rmtree(home, ignore_errors=True)
    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
