// The worker and the main thread in lock-step, with two real threads and
// stand-in step and draw. Run under ThreadSanitizer by the test script: the
// step's results are plain memory that only the hand-over protects.
#include "app/worker.h"
#include "tests/support/hand_over_state.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// What a step produces and a frame copies: plain memory, no atomics.
constexpr int kResultSize = 64;
int gStepsTaken;
int gStepResult[kResultSize];
int gGarageLoads;

void CountingStep() {
  ++gStepsTaken;
  for (int& value : gStepResult) value = gStepsTaken;
}
void CountGarageLoad() { ++gGarageLoads; }
void NoLoad() {}
bool NoTrack() { return true; }

const WorkerJobs kJobs = {CountingStep, NoLoad, NoTrack, CountGarageLoad, NoLoad};

// The race frame's stand-in: copy the step's result, flip, return the copy.
int DrawRaceFrame() {
  int copy[kResultSize];
  for (int i = 0; i < kResultSize; ++i) copy[i] = gStepResult[i];
  gRenderBit = gRenderBit ? 0 : 1;
  for (int value : copy) EXPECT_EQ(value, copy[0]) << "a step overwrote its result while it was copied";
  return copy[0];
}

// Posts a load request and waits for its completion: proof that the worker
// ran whole passes since the request.
void RoundTripGarageLoad() {
  gLoaderStatus = LoaderStatus::LoadGarage;
  while (gLoaderStatus != LoaderStatus::GarageLoaded) std::this_thread::yield();
}

class LockStep : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHandOverState(ScreenState::RaceLoading);
    gStepsTaken = 0;
    gGarageLoads = 0;
    for (int& value : gStepResult) value = 0;
    worker_ = std::thread(RunWorker, std::cref(kJobs));
  }
  void TearDown() override {
    gQuit = 1;
    if (worker_.joinable()) worker_.join();
  }
  std::thread worker_;
};

}  // namespace

TEST_F(LockStep, EachDrawnFrameShowsExactlyOneNewStep) {
  PublishRaceStart();
  for (int frame = 1; frame <= 300; ++frame) {
    ASSERT_TRUE(WaitForSimulationStep());
    ASSERT_EQ(DrawRaceFrame(), frame);
  }
  LeaveRaceTo(ScreenState::RaceFinish);
  gQuit = 1;
  worker_.join();
  // At most the one step that runs while the last frame is drawn.
  EXPECT_GE(gStepsTaken, 300);
  EXPECT_LE(gStepsTaken, 301);
}

TEST_F(LockStep, AfterLeavingTheRaceNoStepWritesAnyMore) {
  for (int race = 0; race < 50; ++race) {
    PublishRaceStart();
    for (int frame = 0; frame < 3; ++frame) {
      ASSERT_TRUE(WaitForSimulationStep());
      DrawRaceFrame();
    }
    // The worker may be inside the next step right now.
    LeaveRaceTo(ScreenState::RaceFinish);
    int steps = gStepsTaken;  // the finish screen reads what the race left
    for (int value : gStepResult) ASSERT_EQ(value, steps);
    RoundTripGarageLoad();
    EXPECT_EQ(gStepsTaken, steps);
  }
}

TEST_F(LockStep, PauseStopsSteppingAndResumeGoesOn) {
  PublishRaceStart();
  for (int frame = 1; frame <= 5; ++frame) {
    ASSERT_TRUE(WaitForSimulationStep());
    DrawRaceFrame();
  }
  LeaveRaceTo(ScreenState::Pause);
  RoundTripGarageLoad();
  int stepsWhenPaused = gStepsTaken;
  EXPECT_LE(stepsWhenPaused, 6);
  gLoaderStatus = LoaderStatus::Idle;
  RoundTripGarageLoad();
  EXPECT_EQ(gStepsTaken, stepsWhenPaused);

  // Resuming keeps the bits: a step finished before the pause is drawn first.
  gLoaderStatus = LoaderStatus::Idle;
  gTargetScreen = ScreenState::Racing;
  gScreen = ScreenState::Racing;
  for (int frame = 1; frame <= 5; ++frame) {
    ASSERT_TRUE(WaitForSimulationStep());
    EXPECT_EQ(DrawRaceFrame(), 5 + frame);
  }
}

TEST_F(LockStep, LoadRequestDuringARaceWaitsUntilTheRaceIsLeft) {
  PublishRaceStart();
  ASSERT_TRUE(WaitForSimulationStep());
  DrawRaceFrame();
  gLoaderStatus = LoaderStatus::LoadGarage;  // no load runs on the racing screen
  for (int frame = 2; frame <= 20; ++frame) {
    ASSERT_TRUE(WaitForSimulationStep());
    DrawRaceFrame();
  }
  EXPECT_EQ(static_cast<int>(gLoaderStatus), LoaderStatus::LoadGarage);
  LeaveRaceTo(ScreenState::RaceFinish);
  while (gLoaderStatus != LoaderStatus::GarageLoaded) std::this_thread::yield();
  EXPECT_EQ(gGarageLoads, 1);
}

TEST_F(LockStep, QuitWhileTheWorkerWaitsForAFrameEndsAndJoins) {
  PublishRaceStart();
  ASSERT_TRUE(WaitForSimulationStep());
  DrawRaceFrame();
  // The worker steps once more and then waits for a frame that never comes.
  ASSERT_TRUE(WaitForSimulationStep());
  gQuit = 1;
  worker_.join();
  EXPECT_EQ(gStepsTaken, 2);
}

TEST_F(LockStep, RaceFrameWaitEndsOnQuitOrWhenTheRaceIsLeft) {
  gQuit = 1;
  worker_.join();
  gQuit = 0;
  PublishRaceStart();  // no worker: no step will come
  gTargetScreen = ScreenState::RaceFinish;  // a fade out of the race has begun
  EXPECT_FALSE(WaitForSimulationStep());
  PublishRaceStart();
  gQuit = 1;
  EXPECT_FALSE(WaitForSimulationStep());
}
