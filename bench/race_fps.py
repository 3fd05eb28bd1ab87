#!/usr/bin/env python3
"""Runs our game and three established racing games (SuperTuxKart, TORCS,
Trigger Rally, from Debian's packages) one after the other under Xvfb at
1024x768 on Mesa's software rasteriser, and measures each the same way:

- frames from Mesa's own counter (GALLIUM_HUD=fps, not drawn, dumped to a
  file with GALLIUM_HUD_PERIOD=0, so one line per frame: the rate of the
  frame that just ended), each line's arrival timed by polling the file;
- time to the first frame: the first line's arrival less its frame time;
- time to the main menu (a run without race arguments);
- race frame rate over the same window of race time after a warm-up;
- menu frame rate over a window once the menu stands: the main menus, and
  our quick-race screen (both with the 3-D garage behind them);
- peak resident memory (VmHWM) at the end of the window;
- our main and worker threads' processor time (/proc/<pid>/task).

Every game runs with a fresh HOME, so no earlier run's settings count:
ours at the settings' defaults (shadows normal, anisotropic off), and at
its lightest (ours-light: LIGHTEST_WORDS); SuperTuxKart's first-run screens
are answered in a launch of its own before its main menu is measured.
"""
import argparse
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

WIDTH, HEIGHT = 1024, 768
POLL_S = 0.005
CLOCK_TICK = os.sysconf("SC_CLK_TCK")
STK = "/usr/games/supertuxkart"
TORCS = "/usr/games/torcs"
TRIGGER = "/usr/games/trigger-rally"
# SuperTuxKart's low preset by its own switches: no advanced pipeline, no
# shadows, no post effects, no anisotropic filtering.
STK_LOW = ["--screensize=%dx%d" % (WIDTH, HEIGHT), "--windowed", "--disable-dynamic-lights",
           "--shadows=0", "--anisotropic=0", "--disable-glow", "--disable-bloom",
           "--disable-light-shaft", "--disable-dof", "--disable-ssao", "--disable-mlaa",
           "--disable-motion-blur", "--disable-ibl", "--disable-hd-textures"]
# Our lightest settings, as words of menu.inf (word index: value): shadows
# off, the shortest sight range, no traffic; motion blur, soft particles,
# anisotropic filtering and anti-aliasing stay off as by default, and the
# reflection cube is drawn once a race as by default.
LIGHTEST_WORDS = {12: 0, 13: 0, 7: 0}
# Our countdown: 6 s of race-phase time, of which a frame advances at most
# 95 ms; the race clock runs once it is over.
COUNTDOWN_S, COUNTDOWN_LONGEST_FRAME_S = 6.0, 0.095
# Our race clock on the screen (x0, y0, x1, y1 at 1024 x 768): it must change
# over the measured window.
RACE_CLOCK_BOX = (166, 102, 307, 143)


def log(*words):
    print(*words, file=sys.stderr, flush=True)


class Display:
    """An Xvfb server of our own for one run."""

    def __init__(self, number):
        # Far above the numbers xvfb-run hands out (99 down), and never one
        # another server holds.
        number += 400
        while os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
            number += 1
        self.name = ":%d" % number
        self.proc = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT), "+extension", "GLX",
             "-nolisten", "tcp", "-br"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X%d" % number
        for _ in range(400):
            if os.path.exists(socket):
                return
            time.sleep(0.01)
        raise RuntimeError("Xvfb %s did not start" % self.name)

    def close(self):
        self.proc.terminate()
        self.proc.wait()


class Lines:
    """A file that a process appends lines to; each line's arrival time."""

    def __init__(self, path):
        self.path, self.offset, self.rest = path, 0, ""
        self.lines, self.times = [], []

    def poll(self, now):
        try:
            with open(self.path) as f:
                f.seek(self.offset)
                chunk = f.read()
        except OSError:
            return
        if not chunk:
            return
        self.offset += len(chunk)
        parts = (self.rest + chunk).split("\n")
        self.rest = parts.pop()
        for line in parts:
            self.lines.append(line)
            self.times.append(now)


def thread_cpu(pid):
    """{tid: (name, cpu seconds)} of a live process."""
    threads = {}
    try:
        for tid in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                    stat = f.read()
                name = stat[stat.index("(") + 1:stat.rindex(")")]
                fields = stat[stat.rindex(")") + 2:].split()
                threads[int(tid)] = (name, (int(fields[11]) + int(fields[12])) / CLOCK_TICK)
            except (OSError, ValueError):
                pass
    except OSError:
        pass
    return threads


def peak_rss_mib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return None


def game_pid(proc, exe_name):
    """The game's own process (TORCS starts through a shell script)."""
    try:
        if os.path.basename(os.readlink("/proc/%d/exe" % proc.pid)).startswith(exe_name[:15]):
            return proc.pid
    except OSError:
        return proc.pid
    out = subprocess.run(["pgrep", "-P", str(proc.pid)], capture_output=True, text=True).stdout.split()
    for child in out:
        try:
            if os.path.basename(os.readlink("/proc/%s/exe" % child)).startswith(exe_name[:15]):
                return int(child)
        except OSError:
            pass
    return proc.pid


def xwd_rgb(dump):
    """(width, height, RGB bytes rows top to bottom) of an xwd ZPixmap dump of
    24 or 32 bits a pixel; None for anything else."""
    if len(dump) < 100:
        return None
    header = struct.unpack(">25I", dump[:100])
    header_size, width, height, byte_order, bits_per_pixel, line_bytes, colours = \
        header[0], header[4], header[5], header[7], header[11], header[12], header[19]
    step = bits_per_pixel // 8
    if step not in (3, 4) or len(dump) < header_size + colours * 12 + height * line_bytes:
        return None
    pixels = dump[header_size + colours * 12:]  # after the colour map
    first = (2, 1, 0) if byte_order == 0 else (step - 3, step - 2, step - 1)  # least significant first: B, G, R
    rgb = bytearray()
    for y in range(height):
        line = pixels[y * line_bytes:y * line_bytes + width * step]
        rgb += bytes(v for px in zip(line[first[0]::step], line[first[1]::step], line[first[2]::step]) for v in px)
    return width, height, bytes(rgb)


def xwd_to_png(dump):
    """A PNG of an xwd ZPixmap dump of 24 or 32 bits a pixel; None for anything else."""
    image = xwd_rgb(dump)
    if image is None:
        return None
    width, height, rgb = image
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        rows += rgb[y * width * 3:(y + 1) * width * 3]

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


def grab(display):
    """The xwd dump of an Xvfb server's whole screen."""
    return subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True).stdout


def screenshot(display, path):
    """The whole screen of an Xvfb server as a PNG file."""
    png = xwd_to_png(grab(display))
    if png:
        with open(path, "wb") as f:
            f.write(png)


def pixels_changed(dump_a, dump_b, box):
    """Pixels of the box whose channels differ by more than 90 in sum between
    two xwd dumps of one screen; None when either cannot be read."""
    a, b = xwd_rgb(dump_a), xwd_rgb(dump_b)
    if a is None or b is None or a[:2] != b[:2]:
        return None
    width, x0, y0, x1, y1 = a[0], box[0], box[1], box[2], box[3]
    changed = 0
    for y in range(y0, y1):
        row = slice((y * width + x0) * 3, (y * width + x1) * 3)
        ra, rb = a[2][row], b[2][row]
        changed += sum(1 for i in range(0, len(ra), 3)
                       if abs(ra[i] - rb[i]) + abs(ra[i + 1] - rb[i + 1]) + abs(ra[i + 2] - rb[i + 2]) > 90)
    return changed


def countdown_end(run, race_start):
    """When our countdown is over: the frames after the race's start, each
    counted up to COUNTDOWN_LONGEST_FRAME_S, add up to COUNTDOWN_S."""
    counted = 0.0
    for text, at in zip(run.frames.lines, run.frames.times):
        if at > race_start:
            counted += min(1.0 / float(text), COUNTDOWN_LONGEST_FRAME_S)
            if counted >= COUNTDOWN_S:
                return at
    return None


def keys(display, *sequence):
    """Types keys (xdotool names) or waits (numbers, seconds) in order."""
    for item in sequence:
        if isinstance(item, (int, float)):
            time.sleep(item)
        else:
            # Without a window manager the keyboard goes to the window under the pointer.
            subprocess.run(["xdotool", "mousemove", str(WIDTH // 2), str(HEIGHT // 2), "key", "--delay", "80", item],
                           env=dict(os.environ, DISPLAY=display),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def game_env(home, display):
    """A game's environment: its own HOME and display, Mesa's llvmpipe, no sound device."""
    env = dict(os.environ)
    env.update({
        "DISPLAY": display, "HOME": home, "XDG_CONFIG_HOME": home + "/.config",
        "XDG_DATA_HOME": home + "/.local/share", "XDG_RUNTIME_DIR": home,
        "LIBGL_ALWAYS_SOFTWARE": "1", "GALLIUM_DRIVER": "llvmpipe",
        "ALSOFT_DRIVERS": "null", "SDL_AUDIODRIVER": "dummy", "vblank_mode": "0",
    })
    return env


def click(display, x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=dict(os.environ, DISPLAY=display),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Run:
    """One launch of one game: polls the frame counter until `stop` says so."""

    def __init__(self, command, cwd, extra_env, cores, display_number, exe_name, prepare=None):
        self.home = tempfile.mkdtemp(prefix="race-fps-")
        if prepare:
            prepare(self.home)
        self.hud = os.path.join(self.home, "hud")
        os.mkdir(self.hud)
        self.display = Display(display_number)
        env = game_env(self.home, self.display.name)
        env.update({"GALLIUM_HUD": "fps", "GALLIUM_HUD_VISIBLE": "false", "GALLIUM_HUD_PERIOD": "0",
                    "GALLIUM_HUD_DUMP_DIR": self.hud})
        env.update(extra_env)
        if cores == 2:
            env["LP_NUM_THREADS"] = "2"
            command = ["taskset", "-c", "0,1"] + command
        self.frames = Lines(os.path.join(self.hud, "fps"))
        self.trace = Lines(os.path.join(self.home, "trace"))
        self.start = time.monotonic()
        self.proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self.exe_name = exe_name

    @property
    def pid(self):
        return game_pid(self.proc, self.exe_name)

    def now(self):
        return time.monotonic() - self.start

    def poll_until(self, done, limit_s):
        """Polls until done(self) or limit_s after launch or the game ends."""
        while self.now() < limit_s:
            now = self.now()
            self.frames.poll(now)
            self.trace.poll(now)
            if done(self) or self.proc.poll() is not None:
                return done(self)
            time.sleep(POLL_S)
        return False

    def wait_s(self, seconds):
        end = self.now() + seconds
        self.poll_until(lambda r: r.now() >= end, end + 1)

    def first_frame_s(self):
        if not self.frames.lines:
            return None
        return self.frames.times[0] - 1.0 / float(self.frames.lines[0])

    def trace_time(self, line):
        for text, at in zip(self.trace.lines, self.trace.times):
            if text == line:
                return at
        return None

    def longest_frame_end(self, after, least_s=0.5):
        """When the longest frame ending after `after` (and over least_s) ended."""
        longest, end = least_s, None
        for text, at in zip(self.frames.lines, self.frames.times):
            if at > after and 1.0 / float(text) > longest:
                longest, end = 1.0 / float(text), at
        return end

    def steady_start(self, gap_s, stretch_s):
        """Start of the first stretch of stretch_s with no frame over gap_s."""
        start = None
        for text, at in zip(self.frames.lines, self.frames.times):
            frame = 1.0 / float(text)
            if frame > gap_s or start is None:
                start = at if frame <= gap_s else None
            if start is not None and at - start >= stretch_s:
                return start - frame
        return None

    def settled_at(self, quiet_s=1.5, stretch_s=3.0):
        """When the screen settles: the start of stretch_s of steady frames
        (none over 0.25 s), or a frame followed by quiet_s without one (a
        menu drawn only when something changes)."""
        steady = self.steady_start(0.25, stretch_s)
        for i, at in enumerate(self.frames.times):
            if steady is not None and at > steady:
                break
            following = self.frames.times[i + 1] if i + 1 < len(self.frames.times) else self.now()
            if following - at >= quiet_s:
                return at
        return steady

    def window(self, begin, length):
        """Frame rates (Mesa's per-frame values) of frames ending in [begin, begin+length]."""
        return [float(t) for t, at in zip(self.frames.lines, self.frames.times) if begin <= at <= begin + length]

    def close(self, shot=None):
        if shot:
            screenshot(self.display.name, shot)
        rss = peak_rss_mib(self.pid)
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
        self.proc.wait()
        self.display.close()
        shutil.rmtree(self.home, ignore_errors=True)
        return rss


def summary(rates):
    if len(rates) < 2:
        return None
    ordered = sorted(rates)
    seconds = sum(1.0 / r for r in rates)
    return {"fps": len(rates) / seconds, "median": statistics.median(rates),
            "p10": ordered[len(ordered) // 10], "p90": ordered[(len(ordered) * 9) // 10], "frames": len(rates)}


def our_threads(before, after, pid):
    """CPU seconds of our main and worker threads between two samples."""
    out = {}
    for tid, (name, cpu) in after.items():
        role = "main" if tid == pid else ("worker" if name == "zarnok-worker" else None)
        if role:
            out[role] = cpu - before.get(tid, (name, 0.0))[1]
    return out


# ---- The games: how each reaches a race and its menu ----

def seeded_settings(build, words):
    """Prepares a HOME whose settings file is the shipped one with these words changed."""
    def prepare(home):
        with open(os.path.join(build, "base", "menu.inf"), "rb") as f:
            data = bytearray(f.read())
        for index, value in words.items():
            struct.pack_into("<i", data, 4 * index, value)
        folder = os.path.join(home, "Documents", "Zarnok")
        os.makedirs(folder)
        with open(os.path.join(folder, "menu.inf"), "wb") as f:
            f.write(data)
    return prepare


def race_of_ours(args, cores, display, words=None):
    """Our race; it starts for the benchmark when the countdown is over."""
    home_trace = tempfile.mktemp(prefix="race-fps-trace-")
    run = Run([args.game], args.build, {"ZARNOK_RACE": str(args.track), "ZARNOK_TRACE": home_trace}, cores,
              display, "zarnok", seeded_settings(args.build, words) if words else None)
    run.trace.path = home_trace
    if not run.poll_until(lambda r: r.trace_time("screen 0") is not None, args.limit):
        return run, None, home_trace
    switched = run.trace_time("screen 0")
    run.poll_until(lambda r: countdown_end(r, switched) is not None, args.limit)
    return run, countdown_end(run, switched), home_trace


def race_of_ours_lightest(args, cores, display):
    return race_of_ours(args, cores, display, LIGHTEST_WORDS)


def race_of_stk(args, cores, display):
    # Its own profile mode: four karts, all driven by the computer.
    command = [STK, "--no-start-screen", "--track=%s" % args.stk_track, "--numkarts=4", "--laps=9",
               "--profile-time=%d" % (args.warmup + args.window + 60)] + STK_LOW
    run = Run(command, None, {}, cores, display, "supertuxkart")
    return run, race_after_loading(run, args), None


def measure_race(args, name, starter, cores, display, shots):
    run, race_start, extra = starter(args, cores, display)
    row = {"game": name, "cores": cores, "first_frame": run.first_frame_s()}
    if race_start is None:
        row["note"] = "no race reached in %d s" % args.limit
        row["rss"] = run.close(os.path.join(shots, "%s-%d-race.png" % (name, cores)))
        return row
    begin = race_start + args.warmup
    run.poll_until(lambda r: r.now() >= begin, begin + 5)
    cpu_before = thread_cpu(run.pid)
    first_picture = grab(run.display.name)
    run.poll_until(lambda r: r.now() >= begin + args.window, begin + args.window + 5)
    cpu_after = thread_cpu(run.pid)
    if name.startswith("ours"):
        # The race clock must run in the window: the countdown is behind it.
        changed = pixels_changed(first_picture, grab(run.display.name), RACE_CLOCK_BOX)
        row["clock_runs"] = changed is not None and changed > 20
    frames = len(run.window(begin, args.window))
    # Processor time a frame takes over all threads: what the frame costs,
    # whatever else the machine runs at the time.
    row["cpu_ms_per_frame"] = None if not frames else 1000.0 * (
        sum(c for _, c in cpu_after.values()) - sum(c for _, c in cpu_before.values())) / frames
    if name.startswith("ours"):
        row["threads"] = our_threads(cpu_before, cpu_after, run.pid)
    row["race"] = summary(run.window(begin, args.window))
    row["race_start"] = race_start
    row["rss"] = run.close(os.path.join(shots, "%s-%d-race.png" % (name, cores)))
    if extra:
        os.unlink(extra)
    return row


def menu_of_ours(args, cores, display):
    trace = tempfile.mktemp(prefix="race-fps-trace-")
    run = Run([args.game], args.build, {"ZARNOK_TRACE": trace}, cores, display, "zarnok")
    run.trace.path = trace
    # The title page asks for Enter once the start-up load is done.
    if run.poll_until(lambda r: r.trace_time("loader 1") is not None, args.limit):
        keys(run.display.name, "Return")
    run.poll_until(lambda r: r.trace_time("screen 1") is not None, args.limit)
    return run, run.trace_time("screen 1"), trace


def quick_race_of_ours(args, cores, display):
    """Our quick-race screen, from the main menu by Down and Enter, once the
    truck shown in the garage is in."""
    run, menu_at, trace = menu_of_ours(args, cores, display)
    if menu_at is None:
        return run, None, trace
    run.wait_s(2.0)  # the main menu fades in
    keys(run.display.name, "Down", 1.0, "Return")
    if not run.poll_until(lambda r: r.trace_time("screen 50") is not None, args.limit):
        return run, None, trace
    run.wait_s(3.0)
    return run, run.trace_time("screen 50"), trace


def answer_stk_first_run(display_number):
    """Prepares a HOME in which SuperTuxKart opens on its main menu: a launch
    of its own answers its first-run screens (no internet, an offline user
    "bench", its login, no tutorial) and leaves by its Exit button, which
    writes its settings."""
    def prepare(home):
        display = Display(display_number + 50)
        proc = subprocess.Popen([STK] + STK_LOW, env=game_env(home, display.name), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        time.sleep(25)
        keys(display.name, "Return", 3)  # the internet question: No has the focus
        click(display.name, 650, 170)  # the offline account's name
        subprocess.run(["xdotool", "type", "--delay", "80", "bench"], env=dict(os.environ, DISPLAY=display.name),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for x, y in ((412, 680), (143, 660), (613, 520), (998, 717)):  # OK, login's OK, no tutorial, Exit
            time.sleep(4)
            click(display.name, x, y)
        try:
            proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        display.close()
    return prepare


def menu_of_peer(command, exe, first_run=None):
    def start(args, cores, display):
        run = Run(command, None, {}, cores, display, exe, first_run(display) if first_run else None)
        run.poll_until(lambda r: r.settled_at() is not None, args.limit)
        return run, run.settled_at(), None
    return start


def race_after_loading(run, args, after=0.0, least_s=0.5):
    """The race begins where the longest frame since `after` (and over
    least_s) ends (the track's loading), once frames have come for five
    seconds since."""
    def loaded(r):
        end = r.longest_frame_end(after, least_s)
        return end is not None and r.frames.times[-1] - end > 5.0
    return run.longest_frame_end(after, least_s) if run.poll_until(loaded, args.limit) else None


def clicks(run, args, *points):
    """Waits for the menu, then clicks each point (x, y) or types each key, two seconds apart."""
    if not run.poll_until(lambda r: r.settled_at() is not None, args.limit):
        return False
    for point in points:
        run.wait_s(2.0)
        if isinstance(point, str):
            keys(run.display.name, point)
        else:
            click(run.display.name, *point)
    return True


def race_of_torcs(args, cores, display):
    # Race, Quick Race, New Race: its default quick race, four robots and the player's car.
    run = Run([TORCS], None, {}, cores, display, "torcs-bin")
    if not clicks(run, args, (320, 89), (320, 89), (320, 89)):
        return run, None, None
    return run, race_after_loading(run, args, run.now()), None


def race_of_trigger(args, cores, display):
    # Single race, the first track, race, the first car; then full throttle.
    run = Run([TRIGGER], None, {}, cores, display, "trigger-rally")
    if not clicks(run, args, (512, 445), (220, 220), (940, 725), "Return"):
        return run, None, None
    # Its stage may load in well under half a second on an idle machine: the
    # longest frame after the last key is the load, however short.
    start = race_after_loading(run, args, run.now(), least_s=0.0)
    subprocess.run(["xdotool", "mousemove", str(WIDTH // 2), str(HEIGHT // 2), "keydown", "Up"],
                   env=dict(os.environ, DISPLAY=run.display.name), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return run, start, None


def measure_menu(args, name, starter, cores, display, shots):
    run, menu_at, extra = starter(args, cores, display)
    row = {"game": name, "cores": cores, "first_frame": run.first_frame_s(), "menu": menu_at}
    if menu_at is not None:
        run.wait_s(1.0)
        cpu_before = thread_cpu(run.pid)
        run.wait_s(args.menu_window)
        if name.startswith("ours"):
            threads = our_threads(cpu_before, thread_cpu(run.pid), run.pid)
            row["menu_threads"] = {k: v / args.menu_window for k, v in threads.items()}
        row["menu_fps"] = summary(run.window(run.now() - args.menu_window, args.menu_window))
    row["rss"] = run.close(os.path.join(shots, "%s-%d-menu.png" % (name, cores)))
    if extra:
        os.unlink(extra)
    return row


def fmt(value, pattern="%.2f"):
    return "–" if value is None else pattern % value


def table(rows, args):
    """Markdown: one row per game and core count, then ours ÷ each peer."""
    by = {(r["game"], r["cores"], r["kind"]): r for r in rows}
    out = ["| game | cores | first frame s | main menu s | menu fps (median) | race fps (median, p10–p90) | "
           "race clock runs | CPU ms a race frame | peak RSS MiB | our main / worker CPU in race, % of a core | "
           "worker CPU on the menu, % |",
           "|---|---:|---:|---:|---|---|---|---:|---:|---|---:|"]
    for cores in args.cores:
        for game in args.games:
            race, menu = by.get((game, cores, "race"), {}), by.get((game, cores, "menu"), {})
            r, m = race.get("race"), menu.get("menu_fps")
            fps = ("%.2f (%.2f, %.2f–%.2f)" % (r["fps"], r["median"], r["p10"], r["p90"])) if r else \
                race.get("note", "–")
            menu_fps = "%.2f (%.2f)" % (m["fps"], m["median"]) if m else "–"
            clock = {True: "yes", False: "no"}.get(race.get("clock_runs"), "–")
            threads = race.get("threads") or {}
            cpu = "–" if not threads else "%.0f / %.0f" % (100 * threads.get("main", 0) / args.window,
                                                           100 * threads.get("worker", 0) / args.window)
            idle = (menu.get("menu_threads") or {}).get("worker")
            rss = max([v for v in (race.get("rss"), menu.get("rss")) if v is not None], default=None)
            first = menu.get("first_frame") if menu.get("first_frame") is not None else race.get("first_frame")
            out.append("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
                game, "all" if cores == 0 else cores, fmt(first), fmt(menu.get("menu")), menu_fps, fps, clock,
                fmt(race.get("cpu_ms_per_frame"), "%.0f"), fmt(rss, "%.0f"), cpu,
                fmt(None if idle is None else 100 * idle, "%.1f")))
    out.append("")
    out.append("| ratio | cores | race fps | CPU a race frame | menu fps | first frame | peak RSS |")
    out.append("|---|---:|---:|---:|---:|---:|---:|")

    def ratio(a, b):
        return None if a is None or not b else a / b

    def peak(*runs):
        return max([r.get("rss") for r in runs if r.get("rss")], default=None)
    for cores in args.cores:
        for ours in [g for g in args.games if g.startswith("ours")]:
            our_race, our_menu = by.get((ours, cores, "race"), {}), by.get((ours, cores, "menu"), {})
            for game in [g for g in args.games if not g.startswith("ours")]:
                race, menu = by.get((game, cores, "race"), {}), by.get((game, cores, "menu"), {})
                fps = ratio((our_race.get("race") or {}).get("fps"), (race.get("race") or {}).get("fps"))
                menu_fps = ratio((our_menu.get("menu_fps") or {}).get("fps"), (menu.get("menu_fps") or {}).get("fps"))
                first = ratio(our_menu.get("first_frame"), menu.get("first_frame"))
                cpu = ratio(our_race.get("cpu_ms_per_frame"), race.get("cpu_ms_per_frame"))
                out.append("| %s ÷ %s | %s | %s | %s | %s | %s | %s |" % (
                    ours, game, "all" if cores == 0 else cores, fmt(fps), fmt(cpu), fmt(menu_fps), fmt(first),
                    fmt(ratio(peak(our_race, our_menu), peak(race, menu)))))
    return "\n".join(out)


GAMES = {
    "ours": (race_of_ours, menu_of_ours),
    "ours-light": (race_of_ours_lightest, None),
    "ours-quick-race": (None, quick_race_of_ours),
    "SuperTuxKart": (race_of_stk, menu_of_peer([STK] + STK_LOW, "supertuxkart", answer_stk_first_run)),
    "TORCS": (race_of_torcs, menu_of_peer([TORCS], "torcs-bin")),
    "TriggerRally": (race_of_trigger, menu_of_peer([TRIGGER], "trigger-rally")),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--games", nargs="+", default=list(GAMES), choices=list(GAMES))
    parser.add_argument("--cores", nargs="+", type=int, default=[0, 2], help="0: all cores")
    parser.add_argument("--track", type=int, default=1, help="our race (ZARNOK_RACE)")
    parser.add_argument("--stk-track", default="lighthouse")
    parser.add_argument("--warmup", type=float, default=5.0, help="race seconds before the window")
    parser.add_argument("--window", type=float, default=20.0, help="race seconds measured")
    parser.add_argument("--menu-window", type=float, default=5.0)
    parser.add_argument("--limit", type=float, default=120.0, help="seconds to reach a race or menu")
    parser.add_argument("--shots", default=None, help="folder for a screenshot at the end of each run")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    args.game = os.path.join(args.build, "zarnok")
    shots = args.shots or os.path.join(args.build, "frames", "race-fps")
    os.makedirs(shots, exist_ok=True)
    rows, display = [], 90
    for cores in args.cores:
        for game in args.games:
            race, menu = GAMES[game]
            for kind, starter in (("menu", menu), ("race", race)):
                if starter is None:
                    continue
                display += 1
                log("== %s, %s, %s" % (game, "all cores" if cores == 0 else "%d cores" % cores, kind))
                measure = measure_menu if kind == "menu" else measure_race
                row = measure(args, game, starter, cores, display, shots)
                row["kind"] = kind
                log("  ", {k: v for k, v in row.items() if k not in ("game", "cores")})
                rows.append(row)
    print(table(rows, args))


if __name__ == "__main__":
    main()
