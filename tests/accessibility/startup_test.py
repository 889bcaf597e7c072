#!/usr/bin/python3
"""The window starts as it always does whatever the desktop's buses are like: no session bus,
a stale one, a wedged one (it takes the connection and never answers), one without the
accessibility service, and the bridge turned off with NO_AT_BRIDGE=1. Each time the window
shows its first frame, quits at Ctrl-Q, prints nothing, starts no bus of its own
(dbus-launch) and leaves no process behind; with the bridge off, no screen reader finds it.

Usage: startup_test.py ORVANE
"""
import contextlib
import os
import pathlib
import socket
import subprocess
import sys
import tempfile
import time

import desktop

desktop.in_private_session()

ORVANE = sys.argv[1]
EMPTY_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


@contextlib.contextmanager
def no_bus(work):
    yield {"DBUS_SESSION_BUS_ADDRESS": None, "XDG_RUNTIME_DIR": str(work)}


@contextlib.contextmanager
def stale_bus(work):
    yield {"DBUS_SESSION_BUS_ADDRESS": f"unix:path={work}/gone", "XDG_RUNTIME_DIR": str(work)}


@contextlib.contextmanager
def wedged_bus(work):
    """A socket that takes connections and never says a word."""
    path = work / "wedged"
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(str(path))
    listener.listen(16)
    try:
        yield {"DBUS_SESSION_BUS_ADDRESS": f"unix:path={path}", "XDG_RUNTIME_DIR": str(work)}
    finally:
        listener.close()


@contextlib.contextmanager
def bus_without_accessibility(work):
    """A session bus that knows no services at all."""
    config = work / "bus.conf"
    config.write_text(EMPTY_BUS_CONFIG)
    daemon = subprocess.Popen(
        ["dbus-daemon", "--config-file", str(config), "--print-address", "--nofork"],
        stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL,
        text=True,
    )
    address = daemon.stdout.readline().strip()
    try:
        yield {"DBUS_SESSION_BUS_ADDRESS": address, "XDG_RUNTIME_DIR": str(work)}
    finally:
        daemon.kill()
        daemon.wait()


@contextlib.contextmanager
def bridge_turned_off(work):
    yield {"NO_AT_BRIDGE": "1"}


def found_by_a_screen_reader():
    import pyatspi

    deadline = time.monotonic() + desktop.PATIENCE / 5
    while time.monotonic() < deadline:
        root = pyatspi.Registry.getDesktop(0)
        if any(app is not None and app.name == "orvane" for app in root):
            return True
        time.sleep(0.1)
    return False


def bus_launchers():
    return subprocess.run(
        ["pgrep", "-x", "dbus-launch"], capture_output=True, text=True
    ).stdout.split()


def run_case(name, bus):
    failures = []
    with tempfile.TemporaryDirectory() as folder, bus(pathlib.Path(folder)) as settings:
        environment = {key: value for key, value in settings.items() if value is not None}
        saved = {key: os.environ.get(key) for key in settings}
        for key, value in settings.items():
            if value is None:
                os.environ.pop(key, None)
        launchers = bus_launchers()
        started = time.monotonic()
        try:
            program = desktop.Program(ORVANE, "--scale", "1", environment=environment)
        finally:
            for key, value in saved.items():
                if value is None:
                    os.environ.pop(key, None)
                else:
                    os.environ[key] = value
        shown = time.monotonic() - started
        # What a bridge would do, it has had time to try.
        time.sleep(desktop.PATIENCE / 10)
        if name == "the bridge turned off" and found_by_a_screen_reader():
            failures.append("a screen reader found the window")
        behind_while_running = program.left_behind()
        status, printed = program.quit()
        if status != 0:
            failures.append(f"it ended {status}")
        if printed:
            failures.append(f"it printed {printed!r}")
        behind = program.left_behind()
        if behind_while_running or behind:
            described = subprocess.run(
                ["ps", "-o", "pid,args", "-p", ",".join(behind_while_running + behind)],
                capture_output=True,
                text=True,
            ).stdout
            failures.append(f"it started processes: {described.strip()}")
        if len(bus_launchers()) > len(launchers):
            failures.append("dbus-launch was started")
        print(f"     {name}: the window showed in {shown:.2f} s")
    return failures


def main():
    cases = [
        ("no session bus", no_bus),
        ("a stale session bus", stale_bus),
        ("a wedged session bus", wedged_bus),
        ("a bus without the accessibility service", bus_without_accessibility),
        ("the bridge turned off", bridge_turned_off),
    ]
    failed = 0
    with desktop.x_server():
        for name, bus in cases:
            try:
                failures = run_case(name, bus)
            except (RuntimeError, subprocess.TimeoutExpired) as error:
                failures = [str(error)]
            for failure in failures:
                print(f"FAIL: {name}: {failure}")
            failed += bool(failures)
            print(("FAIL " if failures else "ok   ") + name, flush=True)
    print(f"{len(cases) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
