// The real program under Xvfb: it starts, shows its start-up screen, loads
// its start-up assets when the splash clock says so, and ends cleanly.
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// With 100 ms frames the splash clock, starting at 3 s, passes the 10 s of
// the start-up load after 70 frames.
constexpr int kFramesToStartupLoad = 71;
// Splash clock 9 s: the title page, faded in.
constexpr int kTitlePageFrame = 60;

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  }
};

}  // namespace

TEST_F(Startup, ShowsTheStartScreenAndQuitsWhenTheWindowIsClosed) {
  GameRunOptions options;
  options.inputScript = "20 close\n";
  options.dumpFrames = {10};
  GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  EXPECT_EQ(run.errorOutput.find("ERROR: "), std::string::npos) << run.errorOutput;
  ASSERT_FALSE(run.trace.empty());
  EXPECT_EQ(run.trace.front(), "screen 100");

  RgbImage frame = ReadPngFile(run.FramePath(10));
  ASSERT_FALSE(frame.Empty());
  EXPECT_EQ(frame.width, 1024);
  EXPECT_EQ(frame.height, 768);
  // At four seconds on the splash clock the title picture fills the screen:
  // a dusk sky above, brownish dirt below, nothing of it grey.
  const uint8_t* sky = frame.At(512, 20);
  const uint8_t* dirt = frame.At(512, 740);
  EXPECT_GT(sky[2], sky[0]) << "the sky at the top is blue";
  EXPECT_GT(dirt[0], dirt[2] + 20) << "the dirt at the bottom is brown";
}

TEST_F(Startup, StartupLoadWaitsForTheSplashClock) {
  GameRunOptions early;
  early.inputScript = std::to_string(kFramesToStartupLoad - 5) + " close\n";
  GameRunResult beforeLoad = RunGame(early);
  EXPECT_EQ(beforeLoad.exitCode, 0) << beforeLoad.errorOutput;
  EXPECT_TRUE(beforeLoad.Traced("loader 0"));
  EXPECT_FALSE(beforeLoad.Traced("loader 1"));

  // The worker loads in real time while frames run as fast as they can:
  // the game runs until the load is done, however long that takes under load.
  GameRunOptions late;
  late.quitWhenTraced = "loader 1";
  late.timeoutSeconds = 240;
  GameRunResult afterLoad = RunGame(late);
  std::string trace;
  for (const std::string& line : afterLoad.trace) trace += line + "\n";
  EXPECT_EQ(afterLoad.exitCode, 0) << afterLoad.errorOutput;
  EXPECT_TRUE(afterLoad.Traced("loader 1")) << trace << afterLoad.errorOutput;
  // The start-up load read the wheel and part models the generator makes.
  for (const char* model : {"wheels/support", "wheels/brake_disk", "parts/big_vint", "parts/small_vint",
                            "parts/turbo_vint", "wheels/suspension0", "wheels/suspension4"}) {
    EXPECT_TRUE(afterLoad.Traced(std::string("model base/cars/") + model + ".sbm")) << model << "\n" << trace;
  }
}

TEST_F(Startup, QuitsCleanlyOnAQuitRequest) {
  GameRunOptions options;
  options.inputScript =
      "3 key-down 27\n"  // Escape outside a race does nothing
      "4 key-up 27\n"
      "5 key-down 112\n"  // F1 toggles the debug text
      "6 key-up 112\n"
      "8 mouse-move 100 200\n"
      "9 mouse-down left\n"
      "10 mouse-up left\n"
      "12 quit\n";
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  EXPECT_EQ(run.errorOutput.find("ERROR: "), std::string::npos) << run.errorOutput;
  EXPECT_FALSE(run.Traced("screen 101"));
}

TEST_F(Startup, WithoutADisplayTheWindowErrorIsShownAndTheProgramEnds) {
  GameRunOptions options;
  options.environment = {{"DISPLAY", ":9999"}};
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.MessageBoxes().size(), 1u) << run.errorOutput;
  EXPECT_EQ(run.MessageBoxes()[0], "ERROR: Window Creation Error.");
  EXPECT_NE(run.errorOutput.find("ERROR: Window Creation Error."), std::string::npos);
  EXPECT_EQ(run.exitCode, 255);  // a failed start, -1
  EXPECT_FALSE(run.Traced("screen 100"));
}

TEST_F(Startup, DriverWithoutTheShaderObjectsReportsInitializationFailedAndEnds) {
  GameRunOptions options;
  options.inputScript = "5 close\n";
  options.environment = {{"ZARNOK_HIDE_GL_EXTENSIONS", "GL_ARB_shader_objects"}};
  GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 255) << run.errorOutput;  // -1
  EXPECT_EQ(run.MessageBoxes(), std::vector<std::string>{"ERROR: Initialization Failed."}) << run.errorOutput;
}

TEST_F(Startup, TheFirstFrameIsShownBeforeTheGraphicsItDoesNotNeedAreMade) {
  GameRunOptions options;
  options.inputScript = std::to_string(kTitlePageFrame + 1) + " close\n";
  options.dumpFrames = {0, kTitlePageFrame};
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;

  // In order: the splash's first frame and its swap, then the rest.
  auto at = [&run](const std::string& line) {
    return std::find(run.trace.begin(), run.trace.end(), line) - run.trace.begin();
  };
  ASSERT_TRUE(run.Traced("startup resources made")) << run.errorOutput;
  EXPECT_LT(at("screen 100"), at("startup first frame shown"));
  EXPECT_LT(at("startup first frame shown"), at("startup resources made"));

  // The first frame is the title picture, drawn without them.
  RgbImage first = ReadPngFile(run.FramePath(0));
  ASSERT_FALSE(first.Empty());
  const uint8_t* sky = first.At(512, 20);
  const uint8_t* dirt = first.At(512, 740);
  EXPECT_GT(sky[2], sky[0]) << "the sky at the top is blue";
  EXPECT_GT(dirt[0], dirt[2] + 20) << "the dirt at the bottom is brown";
  // The title page draws with textures made after it: the logo's red band.
  RgbImage page = ReadPngFile(run.FramePath(kTitlePageFrame));
  ASSERT_FALSE(page.Empty());
  const uint8_t* band = page.At(300, 432);
  EXPECT_GT(band[0], 150);
  EXPECT_LT(band[1], 80);
  EXPECT_LT(band[2], 80);
}
