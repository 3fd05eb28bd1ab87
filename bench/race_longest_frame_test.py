#!/usr/bin/env python3
"""The longest-frame benchmark's key script and its reading of frame times,
without launching a game."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import race_longest_frame as bench  # noqa: E402


class LongestFrame(unittest.TestCase):
    def test_the_script_goes_forward_and_releases_every_key_it_presses(self):
        script = [line.split() for line in bench.drive_script().splitlines()]
        self.assertEqual([int(f) for f, _, _ in script], sorted(int(f) for f, _, _ in script))
        held = {}
        for _, action, key in script:
            held[key] = held.get(key, 0) + (1 if action == "key-down" else -1)
            self.assertIn(held[key], (0, 1))
        self.assertEqual(set(held.values()), {0})

    def test_the_longest_frame_counts_one_unfinished_at_the_limit_with_its_time_so_far(self):
        figures = bench.frame_figures([9.0, 0.1, 0.2, 3.0, 0.3, 8.0], 2, 4)
        self.assertEqual((figures["longest_s"], figures["longest_frame"], figures["over_1s"]), (3.0, 4, 1))
        figures = bench.frame_figures([0.1, 0.2], 1, 10, unfinished_s=40.0)
        self.assertEqual((figures["frames"], figures["longest_s"], figures["unfinished"]), (3, 40.0, True))


if __name__ == "__main__":
    unittest.main()
