"""A desktop of its own for the window's accessibility tests: an X server (Xvfb), a session bus
with a private runtime folder (so that the accessibility bus it starts is this test's), and
the program in its window."""
import contextlib
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

PATIENCE = float(os.environ.get("ORVANE_TEST_PATIENCE", "10"))
SCREEN = (375, 667)
INSIDE = "ORVANE_TEST_DESKTOP_SESSION"


def in_private_session():
    """Runs this script again under dbus-run-session with a runtime folder of its own, unless it
    already is; returns once it is."""
    if os.environ.get(INSIDE):
        return
    for tool in ("dbus-run-session", "Xvfb", "xdotool"):
        if not shutil.which(tool):
            print(f"FAIL: {tool} is missing (scripts/setup installs it)")
            sys.exit(1)
    runtime = tempfile.mkdtemp(prefix="orvane-runtime-")
    os.chmod(runtime, 0o700)
    environment = {**os.environ, INSIDE: "1", "XDG_RUNTIME_DIR": runtime, "NO_AT_BRIDGE": "0"}
    for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "GDK_SCALE"):
        environment.pop(name, None)
    try:
        result = subprocess.run(
            ["dbus-run-session", "--", sys.executable, *sys.argv],
            env=environment,
            stderr=subprocess.PIPE,
            text=True,
        )
    finally:
        shutil.rmtree(runtime, ignore_errors=True)
    # The bus's own chatter (services it starts) is not the test's.
    for line in result.stderr.splitlines():
        if not line.startswith("dbus-daemon[") and "SpiRegistry daemon" not in line:
            print(line, file=sys.stderr)
    sys.exit(result.returncode)


@contextlib.contextmanager
def x_server(size="1280x1024"):
    read, write = os.pipe()
    server = subprocess.Popen(
        [
            "Xvfb",
            "-displayfd",
            str(write),
            "-screen",
            "0",
            f"{size}x24",
            "-nolisten",
            "tcp",
            "-noreset",
        ],
        pass_fds=(write,),
        stderr=subprocess.DEVNULL,
    )
    os.close(write)
    with os.fdopen(read) as display:
        name = ":" + display.readline().strip()
    os.environ["DISPLAY"] = name
    try:
        yield name
    finally:
        server.kill()
        server.wait()


def xdotool(*arguments, check=True):
    return subprocess.run(
        ["xdotool", *arguments], check=check, capture_output=True, text=True, timeout=PATIENCE
    ).stdout


class Program:
    """orvane in a window on this desktop; its standard error is kept."""

    def __init__(self, orvane, *arguments, environment=None):
        self.work = pathlib.Path(tempfile.mkdtemp(prefix="orvane-window-"))
        self.errors = open(self.work / "err", "w+")
        self.process = subprocess.Popen(
            [orvane, "--ui", "window", "--size", "%dx%d" % SCREEN, *arguments],
            env={**os.environ, "LC_ALL": "en_US.UTF-8", **(environment or {})},
            stderr=self.errors,
            start_new_session=True,
        )
        try:
            found = subprocess.run(
                ["xdotool", "search", "--sync", "--pid", str(self.process.pid), "--name", "."],
                capture_output=True,
                text=True,
                timeout=PATIENCE,
            ).stdout.split()
        except subprocess.TimeoutExpired:
            found = []
        if not found:
            self.process.kill()
            self.process.wait()
            raise RuntimeError(f"no window appeared within {PATIENCE:g} s")
        self.window = found[0]
        xdotool("windowfocus", "--sync", self.window)

    def geometry(self):
        """The window's place on the screen and its size, in pixels."""
        values = dict(
            line.split("=") for line in xdotool("getwindowgeometry", "--shell", self.window).split()
        )
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def quit(self):
        """Ctrl-Q, as a person quits; the exit status, and what it printed."""
        try:
            xdotool("windowfocus", "--sync", self.window, check=False)
            xdotool("key", "ctrl+q", check=False)
            status = self.process.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            status = "hung"
        self.errors.seek(0)
        printed = self.errors.read()
        self.errors.close()
        shutil.rmtree(self.work, ignore_errors=True)
        return status, printed

    def left_behind(self):
        """Processes the program started that are still running."""
        found = subprocess.run(
            ["pgrep", "-s", str(self.process.pid)], capture_output=True, text=True
        ).stdout.split()
        # A sanitized build's runtime names its stack traces with a helper of its own.
        helpers = subprocess.run(
            ["pgrep", "-s", str(self.process.pid), "llvm-symbolizer"],
            capture_output=True,
            text=True,
        ).stdout.split()
        return [pid for pid in found if pid != str(self.process.pid) and pid not in helpers]


def wait_for(predicate, what, timeout=PATIENCE, step=None):
    deadline = time.monotonic() + timeout
    while True:
        if step:
            step()
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout:g} s for {what}")
        time.sleep(0.02)
