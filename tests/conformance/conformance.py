#!/usr/bin/env python3
"""Runs the table of behaviours (behaviours.txt) against one front end, the real program
driven as a person drives it there, and checks what shows afterwards in the view tree the
program dumps. Each front end gets the same steps, translated into its own events: a
headless script, X events (xdotool under Xvfb), a terminal's bytes (tmux), a browser's
keys and touches (Chromium, Firefox, WebKit).

Usage: conformance.py headless|window|terminal ORVANE
       conformance.py chromium|firefox|webkit SITE-FOLDER
Ends with "N passed, N failed"; exits 1 when one failed, 77 when the front end's
tools are missing.
"""
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
TOOLKIT_KEYS_HEADER = HERE.parent.parent / "platform/UIKit/include/UIKit/UIHostSession.h"
SCREEN = (375, 667)
PATIENCE = float(os.environ.get("ORVANE_TEST_PATIENCE", "10"))


def behaviours():
    for line in (HERE / "behaviours.txt").read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        name, steps, expected = (part.strip() for part in line.split(" | "))
        yield name, [step.strip() for step in steps.split(", ")], dict(
            (item.split("=", 1)[0].strip(), item.split("=", 1)[1]) for item in expected.split("; ")
        )


def toolkit_keys():
    """The keys UIKit knows (UIKey's enumerators), by the names the table gives them: every
    driver translates each, so that a key added to the toolkit fails every driver that does
    not."""
    body = re.search(r"enum class UIKey \{([^}]*)\}", TOOLKIT_KEYS_HEADER.read_text()).group(1)
    names = [re.sub(r"//.*", "", name).strip() for name in body.split(",")]
    return ["Shift-Tab" if name == "ShiftTab" else name for name in names if name]


# Keys beyond UIKit's that the table presses: shortcuts UIKit decides.
SHORTCUTS = ["Ctrl-c"]


def parse_step(step):
    """("key", NAME), ("text", TEXT), ("tap", NAME), ("wheel", (NAME, LINES)) or ("focus",
    "leave" or "return")."""
    if step in ("leave", "return"):
        return "focus", step
    if step.startswith("text "):
        return "text", step[5:]
    if step.startswith("tap "):
        return "tap", step[4:]
    if step.startswith("wheel "):
        name, lines = step[6:].rsplit(" ", 1)
        return "wheel", (name, int(lines))
    return "key", step


def untranslated(driver, table):
    """What is wrong with a driver's keys: a key of the toolkit's, or one the table presses,
    that it does not translate."""
    wanted = set(toolkit_keys() + SHORTCUTS)
    wanted |= {value for _, steps, _ in table for kind, value in steps if kind == "key"}
    return sorted(wanted - set(driver.KEYS))


def unexercised(table):
    """The toolkit's keys no behaviour presses."""
    pressed = {value for _, steps, _ in table for kind, value in steps if kind == "key"}
    return [key for key in toolkit_keys() if key not in pressed]


def shown(dump):
    """What the dump says the screen shows: each named view's text or "hidden", how far each
    scrolled view is scrolled ("content.scrolled"), the keyboard, what has the focus ("wage
    editing", "clear ringed" or "none") and the application's state ("active", "inactive")."""
    state = {"keyboard": "up" if re.search(r"^\s*UIKeyboard ", dump, re.M) else "down"}
    view = r"#(\S+) \(([^)]*)\)(?: scrolled \([-0-9.e]+, ([-0-9.e]+)\))?( hidden)?(?: \"(.*)\")?$"
    for match in re.finditer(view, dump, re.M):
        name, _, scrolled, hidden, text = match.groups()
        state[name] = "hidden" if hidden else (text or "")
        state[f"{name}.scrolled"] = scrolled or "0"
    focus = re.search(r"^focus #(\S+) (editing|ringed)$", dump, re.M)
    state["focus"] = " ".join(focus.groups()) if focus else "none"
    application = re.search(r"^application (\w+)$", dump, re.M)
    state["application"] = application.group(1) if application else "(missing)"
    return state


BROWSERS = ("chromium", "firefox", "webkit")


def expected_in(front_end, expected):
    """What a behaviour expects in one front end: "KEY@FRONT-END=VALUE" overrides "KEY=VALUE"
    there, for what a host decides (a page's Tab leaves it past the ring's end); "@page" is
    the page's in every browser, and a browser's own overrides that."""
    kept = {key: value for key, value in expected.items() if "@" not in key}
    places = ["page", front_end] if front_end in BROWSERS else [front_end]
    for place in places:
        for key, value in expected.items():
            if key.endswith(f"@{place}"):
                kept[key.split("@", 1)[0]] = value
    return kept


def window_frame(dump, name):
    """A named view's frame in window points: the dump gives each frame in its parent's, and
    what lies in a scrolled view moves up by as much."""
    stack = []
    for line in dump.splitlines():
        depth = (len(line) - len(line.lstrip())) // 2
        match = re.search(r"\(([^)]*)\)(?: scrolled \(([^)]*)\))?", line)
        if not match:
            continue  # the focus's line
        x, y, width, height = (float(value) for value in match.group(1).split(", "))
        scrolled_x, scrolled_y = (float(value) for value in (match.group(2) or "0, 0").split(", "))
        del stack[depth:]
        origin = (stack[-1][0] + x, stack[-1][1] + y) if stack else (x, y)
        stack.append((origin[0] - scrolled_x, origin[1] - scrolled_y))
        if f"#{name} " in line:
            return origin[0], origin[1], width, height
    raise SystemExit(f"conformance.py: no view {name} in the dump")


class Headless:
    KEYS = {key: key for key in toolkit_keys() + SHORTCUTS}

    def __init__(self, orvane):
        self.orvane = orvane

    def close(self):
        pass

    def run(self, steps, taps):
        lines = []
        for kind, value in steps:
            if kind == "key":
                lines.append(f"press {self.KEYS[value]}")
            elif kind == "text":
                lines.append(f"input {value}")
            elif kind == "wheel":
                lines.append("wheel %g %g %d" % (*taps[value[0]], value[1]))
            elif kind == "focus":
                lines.append("state " + ("inactive" if value == "leave" else "active"))
            else:
                lines.append("tap %g %g" % taps[value])
        script = "\n".join(lines + ["dump"]) + "\n"
        result = subprocess.run(
            [self.orvane, "--ui", "headless", "--size", "%dx%d" % SCREEN],
            input=script,
            capture_output=True,
            text=True,
            env={**os.environ, "LC_ALL": "en_US.UTF-8"},
            timeout=PATIENCE * 3,
        )
        if result.returncode != 0:
            raise RuntimeError(result.stderr.strip())
        return result.stdout


class Window:
    KEYS = {
        "Tab": "Tab",
        "Shift-Tab": "shift+Tab",
        "Enter": "Return",
        "Space": "space",
        "Escape": "Escape",
        "Backspace": "BackSpace",
        "Delete": "Delete",
        "Up": "Up",
        "Down": "Down",
        "PageUp": "Prior",
        "PageDown": "Next",
        "Ctrl-c": "ctrl+c",
    }

    def __init__(self, orvane):
        for tool in ("Xvfb", "xdotool", "xwininfo"):
            if not shutil.which(tool):
                raise Skip(f"{tool} is missing (scripts/setup installs it)")
        self.orvane = orvane
        self.work = pathlib.Path(tempfile.mkdtemp())
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write,),
            stderr=subprocess.DEVNULL,
        )
        os.close(write)
        with os.fdopen(read) as display:
            self.display = ":" + display.readline().strip()

    def close(self):
        self.server.kill()
        self.server.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    def root_window(self):
        info = subprocess.run(
            ["xwininfo", "-root"], capture_output=True, text=True, env=self.environment, check=True
        ).stdout
        return re.search(r"Window id: (0x[0-9a-f]+)", info).group(1)

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], check=True, env=self.environment, timeout=PATIENCE)

    def run(self, steps, taps):
        self.environment = {**os.environ, "DISPLAY": self.display, "LC_ALL": "en_US.UTF-8"}
        for name in ("WAYLAND_DISPLAY", "GDK_SCALE"):
            self.environment.pop(name, None)
        out = self.work / "out"
        out.unlink(missing_ok=True)
        program = subprocess.Popen(
            [
                self.orvane,
                "--ui",
                "window",
                "--scale",
                "1",
                "--size",
                "%dx%d" % SCREEN,
                "--dump-at-exit",
                str(out),
            ],
            env=self.environment,
            stderr=subprocess.PIPE,
            text=True,
        )
        try:
            window = subprocess.run(
                ["xdotool", "search", "--sync", "--pid", str(program.pid), "--name", "."],
                capture_output=True,
                text=True,
                env=self.environment,
                timeout=PATIENCE,
            ).stdout.split()[0]
            # Keys go through the server's own keyboard (XTEST) to the focused window, as a
            # person's do; events sent to a window directly are marked and SDL drops them.
            self.xdotool("windowfocus", "--sync", window)
            focused = True
            for kind, value in steps:
                if kind == "key":
                    self.xdotool("key", self.KEYS[value])
                elif kind == "text":
                    self.xdotool("type", value)
                elif kind == "wheel":
                    # X's wheel is buttons 4 (up) and 5 (down), a click a line.
                    x, y = taps[value[0]]
                    button = "5" if value[1] > 0 else "4"
                    self.xdotool(
                        "mousemove",
                        "--window",
                        window,
                        str(round(x)),
                        str(round(y)),
                        "click",
                        "--repeat",
                        str(abs(value[1])),
                        button,
                    )
                elif kind == "focus":
                    # Another window takes the focus: with no window manager, the screen's
                    # root does.
                    focused = value == "return"
                    self.xdotool("windowfocus", window if focused else self.root_window())
                else:
                    x, y = taps[value]
                    self.xdotool(
                        "mousemove", "--window", window, str(round(x)), str(round(y)), "click", "1"
                    )
                # The keyboard's text and the mouse reach SDL by different paths (an input
                # method, XInput): a step is given time to land before the next, more in a
                # slow (sanitized) build.
                time.sleep(PATIENCE / 50)
            # Events arrive in the order they were sent: the quit comes after every step. A
            # window without the focus hears no keys: it is asked to end as a session ending
            # would, once the steps have had time to land.
            if focused:
                self.xdotool("key", "ctrl+q")
            else:
                time.sleep(PATIENCE / 10)
                program.terminate()
            program.wait(timeout=PATIENCE)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
        if program.returncode != 0:
            raise RuntimeError(program.stderr.read().strip())
        return out.read_text()


class Terminal:
    KEYS = {
        "Tab": "Tab",
        "Shift-Tab": "BTab",
        "Enter": "Enter",
        "Space": "Space",
        "Escape": "Escape",
        "Backspace": "BSpace",
        "Delete": "DC",
        "Up": "Up",
        "Down": "Down",
        "PageUp": "PPage",
        "PageDown": "NPage",
        "Ctrl-c": "C-c",
    }
    SIZE = (80, 24)

    def __init__(self, orvane):
        if not shutil.which("tmux"):
            raise Skip("tmux is missing (scripts/setup installs it)")
        self.orvane = orvane
        self.work = pathlib.Path(tempfile.mkdtemp())
        self.runs = 0

    def close(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def tmux(self, *arguments, **options):
        return subprocess.run(
            ["tmux", "-L", f"conformance-{os.getpid()}-{self.runs}", *arguments],
            check=True,
            capture_output=True,
            text=True,
            timeout=PATIENCE,
            **options,
        ).stdout

    def settle(self):
        """Waits until the program shows something and the screen has stopped changing: every
        key sent has been drawn. Keys sent before the program takes the terminal may be lost."""
        last, still, deadline = None, 0, time.monotonic() + PATIENCE
        # Still for a tenth of the patience a slow (sanitized) build is given, a second at most.
        wanted = max(3, min(20, int(PATIENCE)))
        while still < wanted and time.monotonic() < deadline:
            time.sleep(0.05)
            screen = self.tmux("capture-pane", "-p", "-t", "app")
            still = still + 1 if screen == last and screen.strip() else 0
            last = screen

    def run(self, steps, taps):
        self.runs += 1
        out, status = self.work / "out", self.work / "status"
        out.unlink(missing_ok=True)
        status.unlink(missing_ok=True)
        command = (
            f"env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=en_US.UTF-8 TERM=tmux-256color "
            f"'{self.orvane}' --ui terminal --dump-at-exit '{out}' 2>'{self.work}/err'; "
            f"echo $? > '{status}'; sleep 60"
        )
        self.tmux(
            "new-session",
            "-d",
            "-s",
            "app",
            "-x",
            str(self.SIZE[0]),
            "-y",
            str(self.SIZE[1]),
            command,
        )
        try:
            self.settle()
            for kind, value in steps:
                if kind == "key":
                    self.tmux("send-keys", "-t", "app", self.KEYS[value])
                elif kind == "text":
                    self.tmux("send-keys", "-t", "app", "-l", value)
                elif kind == "wheel":
                    # The wheel: buttons 64 (up) and 65 (down) in X10 encoding, a press a line.
                    column, row = taps[value[0]]
                    button = chr(32 + (65 if value[1] > 0 else 64))
                    step = "\033[M" + button + chr(33 + column) + chr(33 + row)
                    self.tmux("send-keys", "-t", "app", "-l", step * abs(value[1]))
                elif kind == "focus":
                    # What a terminal reports as its window loses or takes the focus.
                    report = "\033[O" if value == "leave" else "\033[I"
                    self.tmux("send-keys", "-t", "app", "-l", report)
                else:
                    column, row = taps[value]
                    # A press and a release of the first button (X10 encoding, from 1).
                    press = "\033[M " + chr(33 + column) + chr(33 + row)
                    release = "\033[M#" + chr(33 + column) + chr(33 + row)
                    self.tmux("send-keys", "-t", "app", "-l", press + release)
                self.settle()
            pid = self.tmux("list-panes", "-t", "app", "-F", "#{pane_pid}").strip()
            subprocess.run(["pkill", "-TERM", "-P", pid, "-f", str(out)], timeout=PATIENCE)
            deadline = time.monotonic() + PATIENCE
            while not status.exists() and time.monotonic() < deadline:
                time.sleep(0.05)
        finally:
            subprocess.run(
                ["tmux", "-L", f"conformance-{os.getpid()}-{self.runs}", "kill-server"],
                capture_output=True,
            )
        if not out.exists():
            raise RuntimeError((self.work / "err").read_text().strip() or "no view tree at exit")
        return out.read_text()


class Browser:
    """A browser engine's driver: Chromium, Firefox or WebKit, in browser.mjs."""

    KEYS = {
        "Tab": "Tab",
        "Shift-Tab": "Shift+Tab",
        "Enter": "Enter",
        "Space": " ",
        "Escape": "Escape",
        "Backspace": "Backspace",
        "Delete": "Delete",
        "Up": "ArrowUp",
        "Down": "ArrowDown",
        "PageUp": "PageUp",
        "PageDown": "PageDown",
        "Ctrl-c": "Control+c",
    }

    def __init__(self, engine, site):
        self.engine = engine
        self.site = site

    def close(self):
        pass

    def run_all(self, table):
        """Every behaviour in one browser: the dump after each."""
        result = subprocess.run(
            ["node", HERE / "browser.mjs", self.engine, self.site],
            input=json.dumps({"keys": self.KEYS, "table": table}),
            capture_output=True,
            text=True,
            timeout=PATIENCE * 30,
        )
        if result.returncode == 77:
            raise Skip(result.stdout.strip())
        if result.returncode != 0:
            raise RuntimeError(result.stderr.strip())
        return json.loads(result.stdout)


class Skip(Exception):
    pass


def tap_points(front_end, steps):
    """Where each view a step taps lies, in the front end's own coordinates, as the same
    front end shows it after the steps before: points, or a terminal's cells."""
    points = {}
    for index, (kind, value) in enumerate(steps):
        if kind == "wheel":
            value = value[0]
        elif kind != "tap":
            continue
        if value in points:
            continue
        dump = front_end.run(steps[:index], points)
        x, y, width, height = window_frame(dump, value)
        center = (x + width / 2, y + height / 2)
        if isinstance(front_end, Terminal):
            # The dump's first line is the screen in points, over the terminal's cells less
            # the hint's row.
            _, _, screen_width, screen_height = (
                float(value) for value in re.search(r"\(([^)]*)\)", dump).group(1).split(", ")
            )
            rows = front_end.SIZE[1] - 1 if front_end.SIZE[1] >= 20 else front_end.SIZE[1]
            center = (
                int(center[0] / (screen_width / front_end.SIZE[0])),
                int(center[1] / (screen_height / rows)),
            )
        points[value] = center
    return points


def check(kind, name, expected, dump, failures):
    state = shown(dump)
    expected = expected_in(kind, expected)
    wrong = [
        f"{key} is {state.get(key, '(missing)')!r}, not {value!r}"
        for key, value in expected.items()
        if state.get(key) != value
    ]
    if wrong:
        failures.append(f"{name}: " + "; ".join(wrong) + "\n" + dump)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("headless", "window", "terminal", *BROWSERS):
        sys.exit(__doc__)
    kind, target = sys.argv[1], os.path.abspath(sys.argv[2])
    table = [
        (name, [parse_step(step) for step in steps], expected)
        for name, steps, expected in behaviours()
    ]
    if unexercised(table):
        sys.exit(f"FAIL: no behaviour presses {', '.join(unexercised(table))}")
    try:
        front_end = (
            Browser(kind, target)
            if kind in BROWSERS
            else {"headless": Headless, "window": Window, "terminal": Terminal}[kind](target)
        )
    except Skip as reason:
        print(f"SKIP: {reason}")
        sys.exit(77)
    if untranslated(front_end, table):
        front_end.close()
        sys.exit(
            f"FAIL: the {kind} driver does not translate "
            + ", ".join(untranslated(front_end, table))
        )
    failures = []
    try:
        if kind in BROWSERS:
            dumps = front_end.run_all([{"name": name, "steps": steps} for name, steps, _ in table])
        for name, steps, expected in table:
            before = len(failures)
            try:
                dump = (
                    dumps[name]
                    if kind in BROWSERS
                    else front_end.run(steps, tap_points(front_end, steps))
                )
                check(kind, name, expected, dump, failures)
            except (RuntimeError, subprocess.TimeoutExpired) as error:
                failures.append(f"{name}: {error}")
            print(("FAIL " if len(failures) > before else "ok   ") + name, flush=True)
    except Skip as reason:
        print(f"SKIP: {reason}")
        sys.exit(77)
    finally:
        front_end.close()
    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(table) - len(failures)} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
