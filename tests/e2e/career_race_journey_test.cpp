// The real game through a career race: the garage hub, COMPETITIONS,
// Select, Start, the race loading, the race with its HUD, a scripted finish,
// FINISH, RESULTS, Next and back in the garage; the career file then counts
// the run. The same race paused, restarted, paused again and quit back to
// the garage. And a quick race from the main menu back to the quick-race
// screen, which counts nothing. Pictures of the garage hub, the race
// selection, the quick race, the HUD, the pause and the results go to
// frames/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "framework/settings.h"
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"

namespace {

// Frames of 190 ms, nearly the longest the clocks count in full: a race
// frame costs up to seconds under the software rasteriser, so the race is
// kept to a few frames. FINISH comes eleven frames after the finish line.
constexpr int kFrameMs = 190;
constexpr int kTimeoutSeconds = 240;  // the start-up, track and garage loads are real
constexpr int kGarageFrame = 115;
constexpr int kSelectRaceFrame = 145;
constexpr int kHudFrame = 158;
constexpr int kResultsFrame = 190;
constexpr int kGarageAgainFrame = 215;

// From the splash to the start of competition 0's first race; the race
// draws from frame 155.
const std::string kToTheFirstRace =
    "38 key-down 13\n60 key-up 13\n" +  // the start-up load's frames are not counted: the splash acts once it is done
    KeyTaps({{80, 13}}) +                // CAREER: a new career asks for the name
    "90 char 75\n91 char 97\n92 char 116\n93 char 121\n94 char 97\n" +
    KeyTaps({{105, 13},  // Next: the garage hub
             {120, 13},  // COMPETITIONS
             {135, 13},  // Select: the first competition
             {150, 13}});  // Start: its first race (the load's frames are not counted)

const std::string kJourney = kToTheFirstRace + "160 finish\n" + KeyTaps({{195, 13}}) +  // Next on the results
                             "220 close\n";

// The screens a run passed through. The race-loading screen (32) is left
// in the frame the track's answer comes in, so the trace shows it only when
// the load outlasts a frame: it is left out here.
std::vector<std::string> ScreensVisited(const GameRunResult& run) {
  std::vector<std::string> screens;
  for (const std::string& line : run.trace) {
    if (line.rfind("screen ", 0) == 0 && line != "screen 32") screens.push_back(line.substr(7));
  }
  return screens;
}

// Pixels in the frame-unit box (800 x 600, y up) that differ from the colour
// by more than a little: text, needles, markers.
int InkedPixels(const RgbImage& image, int x0, int y0, int x1, int y1, const uint8_t colour[3]) {
  const float sx = float(image.width) / 800.0f, sy = float(image.height) / 600.0f;
  int inked = 0;
  for (int y = int(y0 * sy); y < int(y1 * sy); ++y) {
    for (int x = int(x0 * sx); x < int(x1 * sx); ++x) {
      const uint8_t* p = image.At(x, image.height - 1 - y);
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference += std::abs(int(p[c]) - int(colour[c]));
      inked += difference > 90;
    }
  }
  return inked;
}

// The game run with the script in frames of frameMs, on the temporary home.
GameRunResult RunJourney(const TempHome& home, const std::string& script, std::vector<int> dumpFrames,
                         int frameMs = kFrameMs) {
  GameRunOptions options;
  options.home = home.Path();
  options.inputScript = script;
  options.frameMilliseconds = frameMs;
  options.timeoutSeconds = kTimeoutSeconds;
  options.dumpFrames = std::move(dumpFrames);
  return RunGame(options);
}

// A race frame of the generated world between the HUD's side panels: sky
// or cloud (blue the strongest) over the top, ground (blue the weakest)
// along the bottom.
void ExpectTheWorld(const GameRunResult& run, int frame) {
  const RgbImage image = ReadPngFile(run.FramePath(frame));
  ASSERT_FALSE(image.Empty()) << "frame " << frame;
  for (int x : {300, 512, 724}) {
    const uint8_t* sky = image.At(x, 5);
    EXPECT_TRUE(sky[2] >= sky[0] && sky[2] >= sky[1] && sky[2] > 150) << "frame " << frame << ", x " << x;
  }
  for (int x : {300, 512}) {
    const uint8_t* ground = image.At(x, image.height - 8);
    EXPECT_TRUE(ground[2] < ground[0] && ground[2] < ground[1]) << "frame " << frame << ", x " << x;
  }
}

}  // namespace

TEST(CareerRaceJourney, GarageToARaceAndItsResultsAndBackWithTheRunCounted) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  const GameRunResult run =
      RunJourney(home, kJourney, {kGarageFrame, kSelectRaceFrame, kHudFrame, kResultsFrame, kGarageAgainFrame});

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "30", "31", "0", "33", "34", "10"};
  EXPECT_EQ(ScreensVisited(run), expected) << run.errorOutput;
  // Start asks for the track and the FINISH screen for the garage, each once.
  for (const char* line : {"loader 10", "loader 11", "loader 20", "loader 21"}) {
    EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), line), 1) << line;
  }

  const CareerRecord career = home.SavedCareer();
  EXPECT_EQ(career.raceStarts[0], 1) << "the race of competition 0, race 1 was run once";
  EXPECT_EQ(career.raceStarts[1], 0);

  ExpectTheWorld(run, kHudFrame);
  const RgbImage hud = ReadPngFile(run.FramePath(kHudFrame));
  ASSERT_FALSE(hud.Empty());
  const uint8_t black[3] = {0, 0, 0};
  EXPECT_GT(InkedPixels(hud, 85, 515, 200, 535, black), 50) << "PLACE and the place";
  EXPECT_GT(InkedPixels(hud, 600, 20, 790, 200, black), 1000) << "the gauge cluster";

  const RgbImage results = ReadPngFile(run.FramePath(kResultsFrame));
  ASSERT_FALSE(results.Empty());
  const uint8_t page[3] = {235, 235, 235};
  for (int row = 0; row < 4; ++row) {
    const int y = 305 - 35 * row;
    EXPECT_GT(InkedPixels(results, 52, y - 8, 150, y + 8, page), 100) << "row " << row + 1;
  }

  for (auto [frame, name] : {std::pair{kGarageFrame, "garage_hub.png"}, {kSelectRaceFrame, "race_selection.png"},
                             {kHudFrame, "race_hud.png"}, {kResultsFrame, "race_results.png"}}) {
    run.KeepFrame(frame, name);
  }
}

// Escape pauses the race; Restart (1) loads the garage and the track again
// and starts the race afresh; Escape pauses it again and Quit (2) loads the
// garage and goes back to it. The loads' frames are not counted.
constexpr int kFirstRaceFrames[] = {155, 156};
constexpr int kPauseFrame = 166;
constexpr int kRestartedRaceFrame = 176;
constexpr int kGarageAfterQuitFrame = 205;
const std::string kPauseRestartQuit =
    kToTheFirstRace + KeyTaps({{157, 27}, {170, 49}, {180, 27}, {192, 50}}) + "215 close\n";

TEST(CareerRaceJourney, PauseRestartsTheRaceAndQuitGoesBackToTheGarage) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  const GameRunResult run = RunJourney(home, kPauseRestartQuit,
                                      {kFirstRaceFrames[0], kFirstRaceFrames[1], kPauseFrame, kRestartedRaceFrame,
                                       kGarageAfterQuitFrame});

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "30", "31", "0", "101", "0", "101", "10"};
  EXPECT_EQ(ScreensVisited(run), expected) << run.errorOutput;
  // Start and Restart each load the track; Quit loads the garage once.
  const std::pair<const char*, int> loads[] = {{"loader 10", 2}, {"loader 11", 2}, {"loader 20", 1}, {"loader 21", 1}};
  for (const auto& [line, count] : loads) {
    EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), line), count) << line;
  }
  EXPECT_EQ(home.SavedCareer().raceStarts[0], 0) << "a race quit from the pause counts nothing";

  // The menus' race draws the generated world frame after frame, and again
  // after the restart.
  for (int frame : kFirstRaceFrames) ExpectTheWorld(run, frame);
  ExpectTheWorld(run, kRestartedRaceFrame);

  const RgbImage pause = ReadPngFile(run.FramePath(kPauseFrame));
  ASSERT_FALSE(pause.Empty());
  const uint8_t page[3] = {235, 235, 235};
  EXPECT_GT(InkedPixels(pause, 620, 520, 760, 560, page), 300) << "PAUSE";
  for (int x : {190, 335, 480}) {
    EXPECT_GT(InkedPixels(pause, x - 40, 290, x + 140, 330, page), 1000) << "the button at " << x;
  }
  run.KeepFrame(kPauseFrame, "race_pause.png");
}

// Frames of a machine without a graphics card: a steady 150 ms, and 300 ms,
// which counts as 200. The countdown still ends (at most 95 ms of it a
// frame, near frame 200), the race's clock runs and the throttle drives the
// player's truck on. The step down to QUICK RACE is a tap within one frame.
constexpr int kQuickRaceFrame = 120;
constexpr int kRacingFrames[] = {210, 220};
const std::string kQuickRace =
    "38 key-down 13\n60 key-up 13\n"
    "75 key-down 40\n75 key-up 40\n" +  // down to QUICK RACE: pressed and released before one frame
    KeyTaps({{90, 13}, {130, 13}}) +     // QUICK RACE; Start, once the drawn truck stands in the garage
    "200 key-down 38\n225 key-up 38\n225 finish\n" +  // the throttle
    KeyTaps({{265, 13}}) + "290 close\n";               // Next on the results

// Each frame time has its own run (two would outlast a test's time limit).
static void ExpectAQuickRaceAtSlowFrames(int frameMs) {
  TempHome home;
  const GameRunResult run =
      RunJourney(home, kQuickRace, {kQuickRaceFrame, kRacingFrames[0], kRacingFrames[1]}, frameMs);

  ASSERT_FALSE(run.timedOut) << frameMs;
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "50", "0", "33", "34", "50"};
  EXPECT_EQ(ScreensVisited(run), expected) << run.errorOutput;
  const RgbImage before = ReadPngFile(run.FramePath(kRacingFrames[0]));
  const RgbImage after = ReadPngFile(run.FramePath(kRacingFrames[1]));
  ASSERT_FALSE(before.Empty() || after.Empty()) << frameMs;
  const float sx = float(before.width) / 800.0f, sy = float(before.height) / 600.0f;
  EXPECT_GT(PixelsThatDiffer(before, after, int(130 * sx), int(80 * sy), int(240 * sx), int(112 * sy)), 20)
      << frameMs << " ms: the race time under PLACE";
  EXPECT_GT(PixelsThatDiffer(before, after, int(220 * sx), int(150 * sy), int(580 * sx), int(600 * sy)), 5000)
      << frameMs << " ms: the view behind the truck";
  const CareerRecord career = home.SavedCareer();
  for (int slot = 0; slot < kRaceSlotCount; ++slot) EXPECT_EQ(career.raceStarts[slot], 0) << slot;
  EXPECT_EQ(career.gameMode, kGameModeQuickRace);
  if (frameMs == 150) run.KeepFrame(kQuickRaceFrame, "quick_race.png");
}

TEST(CareerRaceJourney, QuickRaceFromTheMainMenuAt150MsAFrameRacesAndGoesBackToAnotherOne) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  ExpectAQuickRaceAtSlowFrames(150);
}

TEST(CareerRaceJourney, QuickRaceFromTheMainMenuAt300MsAFrameRacesAndGoesBackToAnotherOne) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  ExpectAQuickRaceAtSlowFrames(300);
}
