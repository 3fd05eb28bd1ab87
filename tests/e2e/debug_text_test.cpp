// The F1 debug text on the real program's start-up screen: printed with
// the font made at start-up, where the game puts it and nowhere else.
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDumpedFrame = 15;

// A box in the 800 x 600 menu frame (y up), as window pixels of the
// 1024 x 768 dump (y down).
struct Box {
  int x0, y0, x1, y1;
};
Box FrameBox(float left, float bottom, float right, float top) {
  const float sx = 1024.0f / 800, sy = 768.0f / 600;
  return {int(left * sx), int((600 - top) * sy), int(right * sx) + 1, int((600 - bottom) * sy) + 1};
}
bool Inside(const Box& b, int x, int y) { return x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1; }

// The two runs draw the same frame but for the text, and the text's light
// grey lies close to the start-up screen's grey: any change counts.
bool Differs(const uint8_t* a, const uint8_t* b) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(int(a[c]) - int(b[c])) > 2) return true;
  return false;
}

GameRunResult RunToDump(bool pressF1) {
  GameRunOptions options;
  options.inputScript = pressF1 ? "5 key-down 112\n6 key-up 112\n20 close\n" : "20 close\n";
  options.dumpFrames = {kDumpedFrame};
  return RunGame(options);
}

}  // namespace

TEST(DebugText, F1PrintsReadableTextAtItsPlacesAndNowhereElse) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  GameRunResult plain = RunToDump(false);
  const RgbImage without = ReadPngFile(plain.FramePath(kDumpedFrame));
  GameRunResult debug = RunToDump(true);
  const RgbImage with = ReadPngFile(debug.FramePath(kDumpedFrame));
  for (const GameRunResult* run : {&plain, &debug}) {
    EXPECT_EQ(run->exitCode, 0) << run->errorOutput;
    EXPECT_TRUE(run->MessageBoxes().empty()) << run->errorOutput;
  }
  ASSERT_FALSE(without.Empty());
  ASSERT_FALSE(with.Empty());
  ASSERT_EQ(with.width, without.width);

  // "FPS:10" at (715, 580) and the three garage lines at x 70; each line
  // is one glyph row of font 1 lifted 3 below its y.
  const Box lines[] = {FrameBox(712, 571, 800, 600), FrameBox(67, 461, 220, 490),
                       FrameBox(67, 441, 220, 470), FrameBox(67, 421, 220, 450)};
  int inkPerLine[4] = {};
  int boxPixels[4] = {};
  int strayInk = 0;
  for (int y = 0; y < with.height; ++y) {
    for (int x = 0; x < with.width; ++x) {
      const bool ink = Differs(with.At(x, y), without.At(x, y));
      bool inLine = false;
      for (int i = 0; i < 4; ++i) {
        if (!Inside(lines[i], x, y)) continue;
        inLine = true;
        ++boxPixels[i];
        inkPerLine[i] += ink;
      }
      strayInk += ink && !inLine;
    }
  }
  EXPECT_EQ(strayInk, 0);
  for (int i = 0; i < 4; ++i) {
    // Glyph shapes, not filled cells: some ink, and far from all of the line.
    EXPECT_GT(inkPerLine[i], 40) << "line " << i;
    EXPECT_LT(inkPerLine[i], boxPixels[i] / 3) << "line " << i;
  }
}
