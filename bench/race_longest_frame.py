#!/usr/bin/env python3
"""The longest single frame of five minutes of our race beside load: our
game on two cores races track 6 at a fixed 250 ms of game time a frame
(ZARNOK_FRAME_MS), driven by a fixed key script that leaves the road into
the field on the left and then swerves along the track, so every run draws
the same frames; other instances of our game race on the other cores as the
load, each on its own pair of cores with its own software GL. Every frame's
wall time comes from Mesa's own counter (GALLIUM_HUD=fps dumped a line a
frame, as bench/race_fps.py reads it).

A frame still unfinished when the wall-clock limit runs out counts with the
time it has taken so far, marked as unfinished.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import race_fps  # noqa: E402

FRAME_MS = 250
SEED = 1796724778
# Under ZARNOK_RACE at 250 ms a frame the race clock starts at frame 90
# (the countdown's 6 s pass at most 95 ms a frame); five minutes of race
# are the 1200 frames after it.
RACE_START_FRAME = 90
RACE_FRAMES = 300 * 1000 // FRAME_MS
KEY_UP, KEY_LEFT, KEY_RIGHT = 38, 37, 39


def drive_script(start=RACE_START_FRAME, frames=RACE_FRAMES):
    """The key script (ZARNOK_INPUT): full throttle at the start, 20 frames
    later left for 11 frames (off the road into the field), throttle off 40
    frames after that; then, from 190 frames after the start and every 60
    frames to the end, throttle for 50 frames with a turn of 8 frames, left
    and right in turn."""
    events = [(start, "key-down", KEY_UP), (start + 20, "key-down", KEY_LEFT),
              (start + 31, "key-up", KEY_LEFT), (start + 71, "key-up", KEY_UP)]
    turn = KEY_RIGHT
    for at in range(start + 190, start + frames, 60):
        events += [(at, "key-down", KEY_UP), (at + 20, "key-down", turn), (at + 28, "key-up", turn),
                   (at + 50, "key-up", KEY_UP)]
        turn = KEY_LEFT if turn == KEY_RIGHT else KEY_RIGHT
    return "".join("%d %s %d\n" % event for event in events)


def frame_figures(frame_seconds, first, count, unfinished_s=None):
    """Figures of frames first..first+count-1 (1-based line numbers of the
    counter) of the given wall times; an unfinished frame's time so far
    counts as the frame after the last line."""
    window = list(enumerate(frame_seconds, 1))[first - 1:first - 1 + count]
    if unfinished_s is not None and len(frame_seconds) < first - 1 + count:
        window.append((len(frame_seconds) + 1, unfinished_s))
    if not window:
        return None
    number, longest = max(window, key=lambda item: item[1])
    times = [s for _, s in window]
    return {"frames": len(window), "longest_s": longest, "longest_frame": number,
            "unfinished": unfinished_s is not None and number == len(frame_seconds) + 1,
            "over_1s": sum(1 for s in times if s > 1.0), "median_s": statistics.median(times)}


def pinned(command, cores):
    """The command on the listed cores, its software GL with as many threads."""
    return ["taskset", "-c", ",".join(map(str, cores))] + command, {"LP_NUM_THREADS": str(len(cores))}


def start_game(game, build, cores, display, extra_env):
    """A game on its own display and HOME: (process, HOME)."""
    home = tempfile.mkdtemp(prefix="race-longest-")
    env = race_fps.game_env(home, display)
    command, threads = pinned([game], cores)
    env.update(threads)
    env.update({"ZARNOK_NONINTERACTIVE": "1", "ZARNOK_NO_WEB_PAGE": "1"})
    env.update(extra_env)
    proc = subprocess.Popen(command, cwd=build, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    return proc, home


def stop(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
    proc.wait()


def measure(args):
    cores = os.cpu_count() or 2
    loads = []
    for k in range(args.load):
        pair = [(2 + 2 * k) % cores, (3 + 2 * k) % cores]
        display = race_fps.Display(60 + k)
        proc, home = start_game(args.load_game, args.build, pair, display.name, {"ZARNOK_RACE": "1"})
        loads.append((proc, display, home))
    work = tempfile.mkdtemp(prefix="race-longest-")
    script = os.path.join(work, "drive")
    with open(script, "w") as f:
        f.write(drive_script())
    hud = os.path.join(work, "hud")
    os.mkdir(hud)
    display = race_fps.Display(59)
    proc, home = start_game(args.game, args.build, [0, 1], display.name, {
        "ZARNOK_RACE": str(args.track), "ZARNOK_FRAME_MS": str(FRAME_MS), "ZARNOK_SEED": str(SEED),
        "ZARNOK_INPUT": script, "GALLIUM_HUD": "fps", "GALLIUM_HUD_VISIBLE": "false",
        "GALLIUM_HUD_PERIOD": "0", "GALLIUM_HUD_DUMP_DIR": hud})
    frames = race_fps.Lines(os.path.join(hud, "fps"))
    len_needed = RACE_START_FRAME + RACE_FRAMES
    start = time.monotonic()
    last_at = start
    loadavg = []
    unfinished = None
    while True:
        now = time.monotonic()
        count = len(frames.lines)
        frames.poll(now - start)
        if len(frames.lines) != count:
            last_at = now
        if len(frames.lines) >= len_needed or proc.poll() is not None:
            break
        if now - start > args.limit:
            unfinished = now - last_at
            break
        if int(now - start) % 30 == 0 and (not loadavg or now - loadavg[-1][0] > 1):
            loadavg.append((now, os.getloadavg()[0]))
        time.sleep(race_fps.POLL_S)
    wall = time.monotonic() - start
    stop(proc)
    display.close()
    for load, load_display, load_home in loads:
        running = load.poll() is None
        stop(load)
        load_display.close()
        shutil.rmtree(load_home, ignore_errors=True)
        if not running:
            race_fps.log("a load game ended early")
    shutil.rmtree(home, ignore_errors=True)
    seconds = [1.0 / float(line) for line in frames.lines]
    shutil.rmtree(work, ignore_errors=True)
    figures = frame_figures(seconds, RACE_START_FRAME + 1, RACE_FRAMES, unfinished)
    if figures:
        figures["wall_s"] = wall
        figures["load_average"] = statistics.median([v for _, v in loadavg]) if loadavg else None
        figures["frames_seen"] = len(seconds)
    return figures


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--game", default=None, help="the measured binary (default: BUILD/zarnok)")
    parser.add_argument("--load-game", default=None, help="the load's binary (default: BUILD/zarnok)")
    parser.add_argument("--load", type=int, default=3, help="instances of our game racing as load")
    parser.add_argument("--track", type=int, default=6)
    parser.add_argument("--limit", type=float, default=1800.0, help="wall-clock seconds for the run")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    args.game = os.path.abspath(args.game or os.path.join(args.build, "zarnok"))
    args.load_game = os.path.abspath(args.load_game or os.path.join(args.build, "zarnok"))
    f = measure(args)
    print("| binary | load | race frames | longest frame s (frame) | frames over 1 s | median frame s | "
          "load average | wall s |")
    print("|---|---|---:|---|---:|---:|---:|---:|")
    if not f:
        print("| %s | %d games | 0 | – | – | – | – | – |" % (args.game, args.load))
        return 1
    print("| %s | %d games | %d | %.2f (%d)%s | %d | %.3f | %s | %.0f |" % (
        args.game, args.load, f["frames"], f["longest_s"], f["longest_frame"],
        ", unfinished" if f["unfinished"] else "", f["over_1s"], f["median_s"],
        race_fps.fmt(f["load_average"], "%.1f"), f["wall_s"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
