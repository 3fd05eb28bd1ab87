#!/usr/bin/env python3
"""The race benchmark's reading of its measurements, without launching a
game: frame lines and their arrival, the first frame, where a race starts,
when a menu settles, the window's figures, and the screenshot's pixels."""
import os
import struct
import sys
import tempfile
import unittest
import zlib

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import race_fps  # noqa: E402


def run_with_frames(frame_seconds, arrivals, now):
    """A run whose counter wrote one line per frame (its rate) at the given arrivals."""
    run = race_fps.Run.__new__(race_fps.Run)
    run.frames = race_fps.Lines("")
    run.frames.lines = ["%f" % (1.0 / s) for s in frame_seconds]
    run.frames.times = list(arrivals)
    run.now = lambda: now
    return run


class FrameLines(unittest.TestCase):
    def test_a_line_counts_once_its_end_arrives_at_the_time_it_arrived(self):
        with tempfile.NamedTemporaryFile("w", delete=False) as f:
            f.write("10.0\n20.")
        lines = race_fps.Lines(f.name)
        lines.poll(1.5)
        with open(f.name, "a") as f2:
            f2.write("5\n")
        lines.poll(2.5)
        os.unlink(f.name)
        self.assertEqual(lines.lines, ["10.0", "20.5"])
        self.assertEqual(lines.times, [1.5, 2.5])

    def test_first_frame_is_the_first_lines_arrival_less_its_own_frame_time(self):
        run = run_with_frames([0.25, 0.1], [1.0, 1.1], 2.0)
        self.assertAlmostEqual(run.first_frame_s(), 0.75, places=6)


class RaceStart(unittest.TestCase):
    def test_the_race_starts_where_the_longest_frame_after_the_clicks_ends(self):
        # Menu frames, a click at 5 s, loading frames, then the race.
        frames = [0.1, 0.1, 3.0, 0.8, 4.0, 0.1, 0.1, 0.1]
        arrivals = [1.0, 1.1, 4.0, 6.0, 10.0, 10.1, 10.2, 10.3]
        run = run_with_frames(frames, arrivals, 11.0)
        self.assertEqual(run.longest_frame_end(5.0), 10.0)
        self.assertEqual(run.longest_frame_end(0.0), 10.0)
        self.assertEqual(run.longest_frame_end(10.0), None, "no frame over half a second after 10 s")
        self.assertEqual(run.longest_frame_end(10.0, least_s=0.0), 10.1, "a short load still counts")

    def test_our_race_starts_once_its_frames_each_counted_up_to_95_ms_add_up_to_six_seconds(self):
        # The switch to racing at 1 s, then frames of 0.3 s: 0.095 s of countdown each.
        arrivals = [1.0 + 0.3 * k for k in range(80)]
        run = run_with_frames([0.3] * 80, arrivals, 30.0)
        self.assertAlmostEqual(race_fps.countdown_end(run, 1.0), arrivals[64], places=6)
        self.assertIsNone(race_fps.countdown_end(run, 20.0))


class MenuSettles(unittest.TestCase):
    def test_steady_frames_for_three_seconds_settle_at_their_start(self):
        # A start-up frame of a second, then a frame every 0.1 s from 1.6 s.
        arrivals = [0.5, 1.5] + [1.6 + 0.1 * k for k in range(40)]
        frames = [0.5, 1.0] + [0.1] * 40
        run = run_with_frames(frames, arrivals, 6.0)
        self.assertAlmostEqual(run.settled_at(), 1.5, places=6)

    def test_a_menu_drawn_only_on_change_settles_at_its_last_frame_before_a_quiet_spell(self):
        run = run_with_frames([1.0, 0.3, 0.2], [4.0, 4.3, 4.5], 7.0)
        self.assertEqual(run.settled_at(), 4.5)

    def test_nothing_settles_while_frames_keep_coming_unevenly(self):
        run = run_with_frames([0.5, 0.5, 0.5], [1.0, 1.5, 2.0], 2.1)
        self.assertIsNone(run.settled_at())


class WindowFigures(unittest.TestCase):
    def test_rate_is_frames_over_their_time_and_the_spread_comes_from_per_frame_rates(self):
        run = run_with_frames([0.1] * 8 + [0.5, 0.5], [1 + k for k in range(10)], 20.0)
        rates = run.window(1.0, 9.0)
        self.assertEqual(len(rates), 10)
        figures = race_fps.summary(rates)
        self.assertAlmostEqual(figures["fps"], 10 / 1.8, places=3)
        self.assertAlmostEqual(figures["median"], 10.0, places=3)
        self.assertAlmostEqual(figures["p10"], 2.0, places=3)
        self.assertIsNone(race_fps.summary([5.0]))


def xwd(width, height, bits, pixels):
    """A minimal xwd dump: header, no colour map, least significant byte first."""
    step = bits // 8
    line = width * step
    header = struct.pack(">25I", 100, 7, 2, 24, width, height, 0, 0, 32, 0, 32, bits, line, 5,
                         0xff0000, 0xff00, 0xff, 8, 0, 0, width, height, 0, 0, 0)
    body = b"".join(bytes([b, g, r] + [0] * (step - 3)) for r, g, b in pixels)
    return header + body


def png_rows(png):
    """The RGB rows of an unfiltered 8-bit PNG as written by the benchmark."""
    width, height = struct.unpack(">II", png[16:24])
    start = png.index(b"IDAT") + 4
    size = struct.unpack(">I", png[start - 8:start - 4])[0]
    raw = zlib.decompress(png[start:start + size])
    stride = 1 + width * 3
    return [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


class Screenshot(unittest.TestCase):
    def test_both_pixel_sizes_keep_red_green_and_blue_in_place(self):
        pixels = [(255, 0, 0), (0, 128, 0), (0, 0, 64), (1, 2, 3)]
        for bits in (24, 32):
            rows = png_rows(race_fps.xwd_to_png(xwd(2, 2, bits, pixels)))
            self.assertEqual(rows[0], bytes([255, 0, 0, 0, 128, 0]), "bits %d" % bits)
            self.assertEqual(rows[1], bytes([0, 0, 64, 1, 2, 3]), "bits %d" % bits)

    def test_changed_pixels_are_counted_inside_the_box_only(self):
        before = xwd(3, 2, 32, [(0, 0, 0)] * 6)
        after = xwd(3, 2, 32, [(200, 0, 0), (0, 0, 0), (30, 30, 30), (0, 0, 0), (255, 255, 255), (0, 0, 0)])
        self.assertEqual(race_fps.pixels_changed(before, after, (0, 0, 3, 2)), 2)
        self.assertEqual(race_fps.pixels_changed(before, after, (1, 0, 3, 1)), 0)
        self.assertIsNone(race_fps.pixels_changed(before, b"", (0, 0, 1, 1)))

    def test_a_cut_short_or_unknown_dump_gives_no_picture(self):
        whole = xwd(2, 2, 32, [(1, 1, 1)] * 4)
        self.assertIsNone(race_fps.xwd_to_png(whole[:-3]))
        self.assertIsNone(race_fps.xwd_to_png(xwd(2, 2, 16, []) + b"\0" * 8))
        self.assertIsNone(race_fps.xwd_to_png(b""))


if __name__ == "__main__":
    unittest.main()
