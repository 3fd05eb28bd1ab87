#!/usr/bin/env python3
"""The longest-frame benchmark's key script and its reading of frame times,
without launching a game."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import race_longest_frame as bench  # noqa: E402


def events(script):
    return [(int(frame), action, int(key)) for frame, action, key in (line.split() for line in script.splitlines())]


class DriveScript(unittest.TestCase):
    def test_it_opens_with_the_drive_off_the_road_into_the_field_on_the_left(self):
        start = bench.RACE_START_FRAME
        self.assertEqual(events(bench.drive_script())[:4], [
            (start, "key-down", bench.KEY_UP), (start + 20, "key-down", bench.KEY_LEFT),
            (start + 31, "key-up", bench.KEY_LEFT), (start + 71, "key-up", bench.KEY_UP)])

    def test_its_frames_never_go_back_and_every_key_pressed_is_released(self):
        script = events(bench.drive_script())
        frames = [frame for frame, _, _ in script]
        self.assertEqual(frames, sorted(frames))
        held = {}
        for _, action, key in script:
            held[key] = held.get(key, 0) + (1 if action == "key-down" else -1)
            self.assertIn(held[key], (0, 1))
        self.assertEqual(set(held.values()), {0})

    def test_it_drives_until_the_five_minutes_of_race_are_over(self):
        last_press = max(frame for frame, action, _ in events(bench.drive_script()) if action == "key-down")
        self.assertGreater(last_press, bench.RACE_START_FRAME + bench.RACE_FRAMES - 60)


class FrameFigures(unittest.TestCase):
    def test_the_longest_frame_of_the_window_and_its_line_number(self):
        figures = bench.frame_figures([9.0, 0.1, 0.2, 3.0, 0.3, 8.0], 2, 4)
        self.assertEqual((figures["frames"], figures["longest_s"], figures["longest_frame"]), (4, 3.0, 4))
        self.assertEqual(figures["over_1s"], 1)
        self.assertFalse(figures["unfinished"])

    def test_a_frame_unfinished_at_the_limit_counts_with_its_time_so_far(self):
        figures = bench.frame_figures([0.1, 0.2], 1, 10, unfinished_s=40.0)
        self.assertEqual((figures["frames"], figures["longest_s"], figures["longest_frame"]), (3, 40.0, 3))
        self.assertTrue(figures["unfinished"])

    def test_no_frame_in_the_window_gives_no_figures(self):
        self.assertIsNone(bench.frame_figures([0.1], 5, 10))


if __name__ == "__main__":
    unittest.main()
