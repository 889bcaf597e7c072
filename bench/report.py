#!/usr/bin/env python3
"""Measures orvane side by side with its floors and peers, in one run, and prints one table.

Run through scripts/bench, which builds the release preset first. Every figure is a median
over repeated runs on this machine; each stands beside its floor or peer measured in the
same run, with the target it is held to.
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build/release"
ORVANE = os.path.join(BUILD, "bin", "orvane")
ONE_RESULT = "tap wage\ntype 15\ntap price\ntype 100\ntap calculate\nprint result\n"
ENV = dict(os.environ, LC_ALL="C.UTF-8")
rows = []


def row(figure, value, beside="", ratio="", target=""):
    rows.append((figure, value, beside, ratio, target))


def google_benchmark(binary):
    output = subprocess.run(
        [
            binary,
            "--benchmark_repetitions=20",
            "--benchmark_enable_random_interleaving=true",
            "--benchmark_report_aggregates_only=true",
            "--benchmark_format=json",
        ],
        capture_output=True,
        text=True,
        check=True,
    ).stdout
    medians = {}
    for entry in json.loads(output)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            medians[entry["run_name"]] = entry["real_time"], entry["time_unit"]
    return medians


def median_seconds(command, runs=21, stdin=None):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, input=stdin, capture_output=True, text=True, env=ENV, check=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def peak_kb_of(command, stdin):
    """Peak resident memory of one run, as GNU time reads it from the kernel. (A child forked
    from this Python process would inherit Python's own high-water mark.)"""
    with tempfile.NamedTemporaryFile("w") as script:
        script.write(stdin)
        script.flush()
        result = subprocess.run(
            ["/usr/bin/time", "-f", "%M", *command],
            stdin=open(script.name),
            capture_output=True,
            text=True,
            env=ENV,
            check=True,
        )
    return int(result.stderr.strip().splitlines()[-1])


def model_and_frame():
    model = google_benchmark(os.path.join(BUILD, "bench", "orvane_model_bench"))
    hours, floor = model["getHours"][0], model["bareCeilDivision"][0]
    row(
        "getHours per call",
        f"{hours:.1f} ns",
        f"bare std::ceil(p / w): {floor:.1f} ns",
        f"{hours / floor:.2f}x",
        "at most 1.5x",
    )
    parse, floor = model["doubleFromString"][0], model["bareFromChars"][0]
    row(
        "text to number per call",
        f"{parse:.1f} ns",
        f"std::from_chars: {floor:.1f} ns",
        f"{parse / floor:.2f}x",
        "at most 1.5x",
    )
    frame = google_benchmark(os.path.join(BUILD, "bench", "orvane_frame_bench"))
    paint = frame["paintFrameAt2x"][0]
    row("one frame at 2x, keyboard up", f"{paint / 1000:.2f} ms", "", "", "under 1 ms")


def whole_process():
    orvane = median_seconds([ORVANE, "--ui", "headless"], stdin=ONE_RESULT)
    python = median_seconds(["python3", "-c", "import math; print(math.ceil(100/15))"])
    row(
        "start, compute one result, exit (headless)",
        f"{orvane * 1000:.1f} ms",
        f"python3 doing the sum: {python * 1000:.1f} ms",
        f"{orvane / python:.2f}x",
        "at most 0.2x",
    )


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def idle_and_peak(front_end, pid):
    """CPU ticks over five idle seconds, and the peak resident memory so far."""
    before = cpu_ticks(pid)
    time.sleep(5)
    idle = cpu_ticks(pid) - before
    with open(f"/proc/{pid}/status") as status:
        peak = next(line.split()[1] for line in status if line.startswith("VmHWM"))
    row(f"{front_end}: CPU while idle, over 5 s", f"{idle} ticks", "", "", "0")
    row(f"{front_end}: peak resident memory", f"{int(peak) / 1024:.1f} MB")


# A screen reader for the idle figure: it listens for what Orca listens for, and stays.
LISTENER = """
import pyatspi
for kind in ("object:state-changed", "object:text-changed", "object:children-changed",
             "object:announcement", "window:activate", "focus:"):
    pyatspi.Registry.registerEventListener(lambda event: None, kind)
pyatspi.Registry.start()
"""


def accessibility_bus(runtime):
    """A session bus of its own with the accessibility bus started on it, as a desktop with a
    screen reader has; its environment and the daemon."""
    daemon = subprocess.Popen(
        ["dbus-daemon", "--session", "--print-address", "--nofork"],
        stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL,
        text=True,
        env=dict(ENV, XDG_RUNTIME_DIR=runtime),
    )
    address = daemon.stdout.readline().strip()
    env = dict(ENV, DBUS_SESSION_BUS_ADDRESS=address, XDG_RUNTIME_DIR=runtime)
    subprocess.run(
        [
            "gdbus",
            "call",
            "--session",
            "--dest",
            "org.a11y.Bus",
            "--object-path",
            "/org/a11y/bus",
            "--method",
            "org.a11y.Bus.GetAddress",
        ],
        env=env,
        check=True,
        capture_output=True,
    )
    return env, daemon


def window_starts(env, label):
    bare = os.path.join(BUILD, "bench", "orvane_bare_window")
    times, bare_times = [], []
    # Alternately, so that both meet the machine in the same state.
    for _ in range(11):
        for command, kept in (
            ([ORVANE, "--ui", "window", "--exit-after-first-frame"], times),
            ([bare], bare_times),
        ):
            start = time.perf_counter()
            subprocess.run(command, env=env, check=True, capture_output=True)
            kept.append(time.perf_counter() - start)
    window, floor = statistics.median(times), statistics.median(bare_times)
    row(
        f"window: start to first frame on screen, {label}",
        f"{window * 1000:.0f} ms",
        f"a bare SDL window's one frame: {floor * 1000:.0f} ms",
        f"{window / floor:.2f}x",
        "at most 1.5x",
    )


def window_figures():
    if not shutil.which("Xvfb"):
        row("window figures", "skipped: no Xvfb")
        return
    display_file = tempfile.NamedTemporaryFile()
    xvfb = subprocess.Popen(
        [
            "Xvfb",
            "-displayfd",
            str(display_file.fileno()),
            "-screen",
            "0",
            "800x800x24",
            "-nolisten",
            "tcp",
        ],
        pass_fds=[display_file.fileno()],
        stderr=subprocess.DEVNULL,
    )
    runtime = tempfile.mkdtemp()
    daemon = None
    try:
        for _ in range(100):
            display_file.seek(0)
            number = display_file.read().strip()
            if number:
                break
            time.sleep(0.05)
        env = dict(ENV, DISPLAY=f":{number.decode()}", XDG_RUNTIME_DIR=runtime)
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS"):
            env.pop(name, None)
        window_starts(env, "no session bus")
        app = subprocess.Popen([ORVANE, "--ui", "window"], env=env, stderr=subprocess.DEVNULL)
        time.sleep(1.5)
        idle_and_peak("window", app.pid)
        app.terminate()
        app.wait()

        bus_env, daemon = accessibility_bus(runtime)
        bus_env["DISPLAY"] = env["DISPLAY"]
        window_starts(bus_env, "an accessibility bus running")
        app = subprocess.Popen([ORVANE, "--ui", "window"], env=bus_env, stderr=subprocess.DEVNULL)
        reader = subprocess.Popen(
            ["/usr/bin/python3", "-c", LISTENER],
            env=bus_env,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        time.sleep(3)
        idle_and_peak("window with a screen reader attached", app.pid)
        reader.terminate()
        app.terminate()
        app.wait()
        reader.wait()
    finally:
        if daemon:
            daemon.terminate()
            daemon.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(runtime, ignore_errors=True)


def terminal_figures():
    if not shutil.which("tmux"):
        row("terminal figures", "skipped: no tmux")
        return
    socket = f"orvane-bench-{os.getpid()}"
    tmux = ["tmux", "-L", socket]
    subprocess.run(
        tmux
        + [
            "new-session",
            "-d",
            "-x",
            "80",
            "-y",
            "24",
            f"env -u DISPLAY -u WAYLAND_DISPLAY TERM=tmux-256color {ORVANE}",
        ],
        check=True,
    )
    try:
        time.sleep(1.0)
        pid = subprocess.run(
            ["pgrep", "-n", "-f", f"^{ORVANE}$"], capture_output=True, text=True
        ).stdout.strip()
        subprocess.run(tmux + ["send-keys", "Tab", "1", "5", "Tab", "1", "0", "0", "Enter"])
        time.sleep(0.5)
        idle_and_peak("terminal", pid)
    finally:
        subprocess.run(tmux + ["kill-server"], capture_output=True)


def headless_memory_and_throughput():
    peak = peak_kb_of([ORVANE, "--ui", "headless"], ONE_RESULT)
    row("headless: peak resident memory", f"{peak / 1024:.1f} MB", "", "", "under 15 MB")
    one = "tap price\ndelete 3\ntype 100\ntap calculate\n"
    start_script = "tap wage\ntype 15\n" + one * 1000
    million = "tap wage\ntype 15\n" + one * 1_000_000
    start = time.perf_counter()
    subprocess.run(
        [ORVANE, "--ui", "headless"],
        input=million,
        capture_output=True,
        text=True,
        env=ENV,
        check=True,
    )
    seconds = time.perf_counter() - start
    row(
        "a million calculations, headless script",
        f"{1_000_000 / seconds / 1000:.0f} k/s",
        f"{seconds:.1f} s in all",
    )
    memory_growth("  peak memory after 1,000,000", start_script, million, "1,000")


def memory_growth(figure, early_script, whole_script, early_steps):
    """A long script's peak memory beside the peak of its beginning alone."""
    early = peak_kb_of([ORVANE, "--ui", "headless"], early_script)
    late = peak_kb_of([ORVANE, "--ui", "headless"], whole_script)
    row(
        figure,
        f"{late / 1024:.1f} MB",
        f"after {early_steps}: {early / 1024:.1f} MB",
        f"{(late - early) / 1024:+.2f} MB",
        "within 1 MB",
    )


def soak():
    """One million random steps; memory must stay flat after the first ten thousand."""
    import random

    generator = random.Random(7)
    steps = []
    texts = ["15", "100", "0", "-3", "1e3", "abc", ".", "15,5", "9999999999", "€"]
    while len(steps) < 1_000_000:
        choice = generator.randrange(6)
        if choice == 0:
            steps.append(
                f"tap {generator.choice(['wage', 'price'])}\ntype {generator.choice(texts)}"
            )
        elif choice == 1:
            steps.append(
                f"tap {generator.choice(['wage', 'price'])}\ndelete {generator.randrange(5)}"
            )
        elif choice == 2:
            steps.append("tap price\ntap calculate")
        elif choice == 3:
            # Clear only shows with the keyboard down: after a calculation that comes out.
            steps.append(
                "tap wage\ndelete 999\ntype 15\ntap price\ndelete 999\ntype 100\n"
                "tap calculate\ntap clear"
            )
        elif choice == 4:
            steps.append("print result")
        else:
            steps.append(f"tap {generator.randrange(375)} {generator.randrange(667)}")
    first = "\n".join(steps[:10_000]) + "\n"
    whole = "\n".join(steps) + "\n"
    memory_growth("soak: 1,000,000 random steps, peak memory", first, whole, "10,000")


def web_figures():
    """The web build in Chromium, by tests/web/bench.mjs."""
    site = os.path.join(os.path.dirname(BUILD), "web", "site")
    if not (os.path.isdir(site) and os.path.exists("/usr/bin/chromium")):
        row("web figures", "skipped: no web build or no Chromium")
        return
    script = os.path.join(os.path.dirname(__file__), "..", "tests", "web", "bench.mjs")
    figures = json.loads(
        subprocess.run(["node", script, site], capture_output=True, text=True, check=True).stdout
    )
    row(
        "web: the program, gzipped",
        f"{figures['wasmGzipped'] / 1024:.0f} kB",
        "",
        "",
        "under 200 kB",
    )
    row(
        "web: the whole site, gzipped",
        f"{figures['siteGzipped'] / 1024:.0f} kB",
        "",
        "",
        "under 300 kB",
    )
    row(
        "web: navigation to first frame",
        f"{figures['firstFrame']:.0f} ms",
        f"a bare page's rectangle: {figures['bareFirstFrame']:.0f} ms",
        f"{figures['firstFrame'] / figures['bareFirstFrame']:.2f}x",
        "at most 1.5x",
    )
    slow = figures["slowVisit"]
    row(
        "web, chromium, a first visit on 1.6 Mbit/s, 150 ms, a 4x slower processor: "
        "the working screen, median of 5",
        f"{slow['working']:.0f} ms",
        f"the launch screen: {slow['launch']:.0f} ms",
        "",
        "within 1600 ms",
    )
    row(
        "  the bytes it needed before the working screen, as sent",
        f"{slow['bytes'] / 1000:.0f} kB",
        ", ".join(slow["files"]),
        "",
        "at most 150 kB",
    )
    row(
        "web, chromium: a repeat visit's first frame, installed and offline, median of 5",
        f"{figures['repeatVisit']:.0f} ms",
        f"a first visit's: {figures['firstVisit']:.0f} ms",
        f"{figures['repeatVisit'] / figures['firstVisit']:.2f}x",
    )
    for engine, start in figures["engines"].items():
        if "skipped" in start:
            row(f"web, {engine}: first frame", start["skipped"])
            continue
        row(
            f"web, {engine}: first frame, median of 5",
            f"{start['firstFrame']:.0f} ms",
            f"its floor, the bare page once the program is compiled: "
            f"{start['compiledFirstFrame']:.0f} ms",
            f"{start['firstFrame'] / start['compiledFirstFrame']:.2f}x",
            "at most 1.25x",
        )
        row(
            f"web, {engine}: the launch screen (first contentful paint), median of 5",
            f"{start['launchScreen']:.0f} ms",
            f"a bare page's rectangle, as painted: {start['bareFirstPaint']:.0f} ms",
            f"{start['launchScreen'] / start['bareFirstPaint']:.2f}x",
            "at most 1.25x",
        )
        row(
            "  the floor beside the bare page",
            f"{start['compiledFirstFrame']:.0f} ms",
            f"a bare page's rectangle: {start['bareFirstFrame']:.0f} ms",
            f"{start['compiledFirstFrame'] / start['bareFirstFrame']:.2f}x",
        )
    row(
        "web: a tap to its painted frame",
        f"{figures['tapToFrame']:.1f} ms",
        f"a display frame: {figures['displayFrame']:.1f} ms",
        "",
        "within the next frame",
    )
    row("web: painting one frame", f"{figures['paint']:.2f} ms", "", "", "under 1 ms")


def main():
    model_and_frame()
    whole_process()
    headless_memory_and_throughput()
    soak()
    terminal_figures()
    window_figures()
    web_figures()
    with open("/proc/cpuinfo") as cpuinfo:
        cpu = next(
            line.split(":", 1)[1].strip() for line in cpuinfo if line.startswith("model name")
        )
    print(f"orvane benchmarks, {time.strftime('%Y-%m-%d')}, {os.cpu_count()} cores, {cpu}\n")
    print("| figure | median | beside | ratio | target |")
    print("|---|---|---|---|---|")
    for figure in rows:
        print("| " + " | ".join(figure) + " |")


if __name__ == "__main__":
    main()
