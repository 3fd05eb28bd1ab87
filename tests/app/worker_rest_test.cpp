// The worker at rest: with nothing to do it sleeps on the hand-over values
// instead of polling them, and wakes for the store that gives it work. Run
// under ThreadSanitizer with the other lock-step tests.
#include "app/worker.h"
#include "tests/support/hand_over_state.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace {

constexpr auto kRestTime = std::chrono::milliseconds(200);
// A sleeping thread takes next to nothing; one that polled for the whole
// rest would take most of it.
constexpr double kMostCpuSecondsAtRest = 0.02;

int gStepsTaken;
int gGarageLoads;
void CountingStep() { ++gStepsTaken; }
void CountGarageLoad() { ++gGarageLoads; }
void NoLoad() {}
bool NoTrack() { return true; }
const WorkerJobs kJobs = {CountingStep, NoLoad, NoTrack, CountGarageLoad, NoLoad};

double ThreadCpuSeconds(std::thread& thread) {
  clockid_t clock;
  if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0) return -1.0;
  timespec time{};
  clock_gettime(clock, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// The processor time the worker takes while the test thread sleeps.
double WorkerCpuSecondsAtRest(std::thread& worker) {
  double before = ThreadCpuSeconds(worker);
  std::this_thread::sleep_for(kRestTime);
  return ThreadCpuSeconds(worker) - before;
}

class LockStepRest : public ::testing::Test {
 protected:
  void SetUp() override {
    gStepsTaken = 0;
    gGarageLoads = 0;
  }
  void TearDown() override {
    gQuit = 1;
    if (worker_.joinable()) worker_.join();
  }
  void StartWorker(int screen) {
    ResetHandOverState(screen);
    worker_ = std::thread(RunWorker, std::cref(kJobs));
  }
  std::thread worker_;
};

}  // namespace

TEST_F(LockStepRest, WaitEndsOnTheStoreThatMakesItsConditionTrueAndNotBefore) {
  ResetHandOverState(ScreenState::MainMenu);
  std::atomic<int> checks{0};
  std::atomic<bool> woke{false};
  std::thread waiter([&] {
    WaitForHandOver([&] {
      ++checks;
      return gScreen == ScreenState::Options;
    });
    woke = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(woke);
  EXPECT_LE(checks, 2) << "the waiter re-checked with nothing stored";
  gKeys['A'] = 1;  // another value: a check, then sleep again
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(woke);
  EXPECT_LE(checks, 3);
  gScreen = ScreenState::Options;
  waiter.join();
  EXPECT_TRUE(woke);
}

TEST_F(LockStepRest, IdleWorkerOnAMenuTakesNoProcessorTimeAndStillServesARequest) {
  StartWorker(ScreenState::MainMenu);
  EXPECT_LT(WorkerCpuSecondsAtRest(worker_), kMostCpuSecondsAtRest);
  gScreen = ScreenState::RaceFinish;
  gLoaderStatus = LoaderStatus::LoadGarage;
  WaitForHandOver([] { return gLoaderStatus == LoaderStatus::GarageLoaded; });
  EXPECT_EQ(gGarageLoads, 1);
}

TEST_F(LockStepRest, WorkerWaitingForTheFrameTakesNoProcessorTimeAndStepsAfterIt) {
  StartWorker(ScreenState::RaceLoading);
  PublishRaceStart();
  ASSERT_TRUE(WaitForSimulationStep());
  // The step is not drawn yet: the worker waits for the frame.
  EXPECT_LT(WorkerCpuSecondsAtRest(worker_), kMostCpuSecondsAtRest);
  EXPECT_EQ(gStepsTaken, 1);
  gRenderBit = gRenderBit ? 0 : 1;
  ASSERT_TRUE(WaitForSimulationStep());
  EXPECT_EQ(gStepsTaken, 2);
}

TEST_F(LockStepRest, LeavingTheRaceEndsTheMainThreadsWaitForAStep) {
  ResetHandOverState(ScreenState::RaceLoading);
  PublishRaceStart();  // no worker: no step will come
  std::thread leaver([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    gTargetScreen = ScreenState::Pause;
  });
  EXPECT_FALSE(WaitForSimulationStep());
  leaver.join();
}
