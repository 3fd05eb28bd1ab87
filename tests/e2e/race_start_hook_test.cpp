// The real program started with ZARNOK_RACE: it loads the asked race after
// the start-up load, races frame after frame in lock-step, and ends cleanly.
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// With 50 ms frames the splash clock, from 3 s, passes the 10 s of the start-up
// load in frame 140; frames that only wait for it are not counted.
constexpr int kFrameMilliseconds = 50;
constexpr int kRaceStartFrame = 140;

GameRunOptions RaceRun(const std::string& race, int closeFrame) {
  GameRunOptions options;
  options.frameMilliseconds = kFrameMilliseconds;
  options.environment = {{"ZARNOK_RACE", race}};
  options.inputScript = std::to_string(closeFrame) + " close\n";
  options.timeoutSeconds = 240;  // the start-up and track loads are real
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

  // The race frame put the world on the window: light sky or cloud over
  // the top, ground (green or earth, blue the weakest) along the bottom,
  // between the HUD's side panels and gauges.
  RgbImage frame = ReadPngFile(run.FramePath(kRaceStartFrame + 10));
  ASSERT_FALSE(frame.Empty());
  for (int x : {300, 512, 724}) {
    const uint8_t* sky = frame.At(x, 5);
    EXPECT_TRUE(sky[2] >= sky[0] && sky[2] > 150) << "x " << x;
  }
  // Exhaust smoke may drift over a few points of the bottom row: most of
  // the row between the panels is ground.
  int groundPoints = 0;
  for (int x = 280; x <= 740; x += 20) {
    const uint8_t* ground = frame.At(x, 760);
    groundPoints += ground[2] < ground[0] || ground[2] < ground[1];
  }
  EXPECT_GE(groundPoints, 16) << "of 24 points along the bottom";
}

TEST_F(RaceStartHook, AnyOtherValueLeavesTheGameOnItsStartScreen) {
  for (const char* race : {"31", "one"}) {
    GameRunResult run = RunGame(RaceRun(race, 150));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_FALSE(run.Traced("screen 0")) << race;
  }
}

// A session that turns the sound off on AUDIO, then opens GRAPHICS (screen 5).
const std::string kSoundOffThenGraphics =
    "72 key-down 13\n80 key-up 13\n" +
    KeyTaps({{100, 40}, {103, 40}, {106, 13}, {130, 40}, {133, 13}, {155, 39}, {165, 27}, {190, 38}, {193, 13}});

// However the game ends, the files hold what the session did (in a race, its start made the game
// mode quick race; in the menus the sound went off), both whole, no temporary file left. A lost
// display keeps what the last whole frame committed and a kill what the last second wrote, so
// those come a moment after the change. With the GL driver's first
// rasterizer thread held stopped, a frame never ends and the guard ends the game all the same.
TEST_F(RaceStartHook, EveryWayOfEndingTheGameKeepsTheSessionWithinThreeSecondsEvenWhenAFrameNeverEnds) {
  using EndBy = GameRunOptions::EndBy;
  const struct { EndBy endBy; int delayMilliseconds, exitCode; bool stuck, race; } cases[] = {
      {EndBy::Sigterm, 0, 0, false, true}, {EndBy::Sighup, 0, 0, false, true}, {EndBy::Sigkill, 3000, -1, false, true},
      {EndBy::DestroyingTheWindow, 1000, 0, false, true}, {EndBy::DestroyingTheWindow, 1000, 0, false, true},
      {EndBy::DestroyingTheWindow, 1000, 0, false, true}, {EndBy::KillingTheConnection, 1000, 0, false, true},
      {EndBy::Sigterm, 0, 0, true, true}, {EndBy::DestroyingTheWindow, 0, 0, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.endBy)) + (c.stuck ? " stuck" : ""));
    TempHome home;
    GameRunOptions options = RaceRun(c.race ? "1" : "", 1000000);
    if (!c.race) options.inputScript = kSoundOffThenGraphics;
    options.frameMilliseconds = 100, options.home = home.Path(), options.quitWhenTraced = c.race ? "screen 0" : "screen 5";
    options.endBy = c.endBy, options.quitDelayMilliseconds = c.delayMilliseconds;
    options.quitTimeoutSeconds = c.stuck ? 3 : 10;  // the guard's 1 s, or the loop's own end (slow under a sanitizer)
    if (c.stuck) options.stopThreadsBeforeQuit = "llvmpipe-0", options.environment.push_back({"LP_NUM_THREADS", "2"});
    const GameRunResult run = RunGame(options);
    ASSERT_EQ(run.threadsStopped > 0, c.stuck);
    ASSERT_FALSE(run.timedOut) << "still running " << options.quitTimeoutSeconds << " s after the request";
    EXPECT_EQ(run.exitCode, c.exitCode) << run.errorOutput;
    if (c.race) EXPECT_EQ(home.SavedCareer().gameMode, kGameModeQuickRace);
    else EXPECT_EQ(home.ReadSaveFile("menu.inf").at(4 * kWordSound), 0);
    EXPECT_EQ(home.ReadSaveFile("menu.inf").size(), kSettingsFileSize);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.SaveFolder()), {}), 2);
  }
}
