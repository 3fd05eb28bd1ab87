// The real program started with ZARNOK_RACE: it loads the asked race after
// the start-up load, races frame after frame in lock-step, and ends cleanly.
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// With 50 ms frames the splash clock, from 3 s, passes the 10 s of the
// start-up load after 140 frames; the race starts in the frame after.
constexpr int kFrameMilliseconds = 50;
constexpr int kRaceStartFrame = 142;

GameRunOptions RaceRun(const std::string& race, int closeFrame) {
  GameRunOptions options;
  options.frameMilliseconds = kFrameMilliseconds;
  options.environment = {{"ZARNOK_RACE", race}};
  options.inputScript = std::to_string(closeFrame) + " close\n";
  options.timeoutSeconds = 120;
  return options;
}

class RaceStartHook : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  }
};

}  // namespace

TEST_F(RaceStartHook, LoadsTheAskedRaceAfterTheStartupLoadAndDrawsItsFrames) {
  GameRunOptions options = RaceRun("1", kRaceStartFrame + 20);
  options.dumpFrames = {kRaceStartFrame + 10};
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  EXPECT_TRUE(run.Traced("loader 1"));
  EXPECT_TRUE(run.Traced("loader 11")) << run.errorOutput;
  EXPECT_TRUE(run.Traced("screen 0"));

  // The race frame put its sky on the window: blue over the top.
  RgbImage frame = ReadPngFile(run.FramePath(kRaceStartFrame + 10));
  ASSERT_FALSE(frame.Empty());
  for (int x : {10, 512, 1010}) {
    const uint8_t* pixel = frame.At(x, 5);
    EXPECT_GT(pixel[2], pixel[0] + 20) << "x " << x;
  }
}

TEST_F(RaceStartHook, AnyOtherValueLeavesTheGameOnItsStartScreen) {
  for (const char* race : {"31", "one"}) {
    GameRunResult run = RunGame(RaceRun(race, 150));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_FALSE(run.Traced("screen 0")) << race;
  }
}
