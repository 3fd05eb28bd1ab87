// The game's window in a test process, for tests that draw and read back
// what a player would see. Needs a display (the test script runs under Xvfb).
#pragma once

#include "tests/support/png_image.h"

// Opens the full-screen game window (1024 x 768, as Xvfb's screen) with its
// main context current on the calling thread. False without a display.
class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

// The back buffer as a player would see it after the swap, rows top to bottom.
RgbImage ReadBackBuffer();
