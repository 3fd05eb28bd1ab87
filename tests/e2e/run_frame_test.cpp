// RunFrame in a real window with a real worker thread: one race frame per
// simulation step, a race that is being left never stalls the loop, and the
// debug text that F1 turns on.
#include "app/app.h"
#include "framework/font.h"
#include "app/window.h"
#include "app/worker.h"
#include "platform/gl.h"
#include "render/renderer.h"
#include "tests/support/hand_over_state.h"
#include "tests/support/game_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> gSteps;
void CountStep() { gSteps.fetch_add(1); }
void NoLoad() {}
bool NoTrack() { return true; }
const WorkerJobs kJobs = {CountStep, NoLoad, NoTrack, NoLoad, NoLoad};

class RaceFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
    HoldDisplay();
    ASSERT_TRUE(CreateMainWindow("Zarnok Racing", 1024, 768, 32, true));
    ResetHandOverState(ScreenState::RaceLoading);
    gSteps = 0;
    worker_ = std::thread(RunWorker, std::cref(kJobs));
  }
  void TearDown() override {
    gQuit = 1;
    if (worker_.joinable()) worker_.join();
    if (HasDisplay()) DestroyMainWindow();
  }
  std::thread worker_;
};

}  // namespace

TEST_F(RaceFrames, EveryRaceFrameWaitsForItsOwnStep) {
  PublishRaceStart();
  for (int frame = 1; frame <= 50; ++frame) {
    ASSERT_TRUE(RunFrame());
    int steps = gSteps;
    ASSERT_GE(steps, frame);      // the frame drew a finished step
    ASSERT_LE(steps, frame + 1);  // and the worker is at most one step ahead
  }
}

TEST_F(RaceFrames, AFadeOutOfTheRaceDoesNotStallTheFrame) {
  PublishRaceStart();
  ASSERT_TRUE(RunFrame());
  ASSERT_TRUE(RunFrame());
  // The screens began to leave the race without setting both numbers: the
  // worker stops stepping, and the frame must not wait for it for ever.
  gTargetScreen = ScreenState::RaceFinish;
  for (int frame = 0; frame < 5; ++frame) ASSERT_TRUE(RunFrame());
  LeaveRaceTo(ScreenState::RaceFinish);
  int steps = gSteps;
  EXPECT_LE(steps, 3);
  ASSERT_TRUE(RunFrame());  // a menu frame
  EXPECT_EQ(gSteps, steps);
}

namespace {

// RGB pixels of the top-right corner, where the frame rate is printed
// (715, 580 in the 800 x 600 frame, y up).
std::vector<unsigned char> TopRightPixels() {
  constexpr int kX = 900, kY = 720, kWidth = 124, kHeight = 48;
  std::vector<unsigned char> rgb(kWidth * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(kX, kY, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

int DifferentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int different = 0;
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    different += (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ? 1 : 0;
  }
  return different;
}

}  // namespace

TEST_F(RaceFrames, DebugTextShowsTheFrameRateInTheTopRightCorner) {
  ASSERT_EQ(InitGLResources(), GLResourcesResult::Ready);
  LeaveRaceTo(1);  // the main menu, fully faded in, so that its corner stands still
  gScreenFade = 1.0f;
  gTextColour = 0;
  gDebugText = 0;
  ASSERT_TRUE(RunFrame());
  ASSERT_TRUE(RunFrame());
  const std::vector<unsigned char> withoutText = TopRightPixels();
  gDebugText = 1;
  ASSERT_TRUE(RunFrame());
  gDebugText = 0;
  EXPECT_GT(DifferentPixels(withoutText, TopRightPixels()), 50);
}
