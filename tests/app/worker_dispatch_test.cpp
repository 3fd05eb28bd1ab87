// The worker's checks: which request runs which loads on which screen, and
// what completion it reports. One pass at a time, on the test's thread.
#include "app/worker.h"
#include "tests/support/hand_over_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string gLog;

void Step() { gLog += "step "; }
void Startup() { gLog += "startup "; }
bool gTrackLoads = true;
bool Track() {
  gLog += "track ";
  return gTrackLoads;
}
void Garage() { gLog += "garage "; }
void PlayerCar() { gLog += "car "; }

const WorkerJobs kJobs = {Step, Startup, Track, Garage, PlayerCar};

struct Request {
  int screen;
  int status;
  float splashTime;
  const char* loads;  // what one pass runs, in order
  int statusAfter;
};

void PrintTo(const Request& r, std::ostream* out) {
  *out << "screen " << r.screen << " status " << r.status << " splash " << r.splashTime;
}

class WorkerDispatch : public ::testing::TestWithParam<Request> {};

}  // namespace

TEST_P(WorkerDispatch, RunsTheLoadsOfTheRequestAndReportsItsCompletion) {
  const Request& request = GetParam();
  ResetHandOverState(request.screen);
  gSplashTime = request.splashTime;
  gLoaderStatus = request.status;
  gLog.clear();
  WorkerPass(kJobs);
  EXPECT_EQ(gLog, request.loads);
  EXPECT_EQ(static_cast<int>(gLoaderStatus), request.statusAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, WorkerDispatch,
    ::testing::Values(
        Request{ScreenState::Splash, 0, 10.5f, "startup ", 1},
        Request{ScreenState::Splash, 0, 10.0f, "", 0},  // the splash clock must pass 10
        Request{ScreenState::Splash, 0, 3.0f, "", 0},
        Request{ScreenState::RaceLoading, 10, 3.0f, "track ", 11},
        Request{ScreenState::RaceFinish, 20, 3.0f, "garage ", 21},
        Request{ScreenState::Pause, 10, 3.0f, "garage track ", 11},  // restart: garage first
        Request{ScreenState::Pause, 20, 3.0f, "garage ", 21},
        Request{1, 0, 3.0f, "car ", 1},  // any other screen: the player's car
        Request{ScreenState::ControlsOptions, 0, 3.0f, "car ", 1},
        Request{ScreenState::RaceLoading, 0, 3.0f, "", 0},
        Request{ScreenState::RaceFinish, 0, 3.0f, "", 0},
        Request{ScreenState::RaceLoading, 11, 3.0f, "", 11},  // completions are left alone
        Request{ScreenState::Pause, 21, 3.0f, "", 21},
        Request{ScreenState::Splash, 10, 3.0f, "", 10},
        // On the racing screen a pass steps once and loads nothing.
        Request{ScreenState::Racing, 20, 3.0f, "step ", 20},
        Request{ScreenState::Racing, 0, 3.0f, "step ", 0}));

TEST(WorkerDispatchRace, NoStepWhileAFadeOutOfTheRaceRuns) {
  ResetHandOverState(ScreenState::Racing);
  gTargetScreen = ScreenState::RaceFinish;
  gLog.clear();
  WorkerPass(kJobs);
  EXPECT_EQ(gLog, "");
  EXPECT_EQ(static_cast<int>(gSimBit), 0);
}

TEST(WorkerDispatchTrack, ATrackThatFailsToLoadIsAnsweredAsFailedNotLoaded) {
  for (int screen : {ScreenState::RaceLoading, ScreenState::Pause}) {
    ResetHandOverState(screen);
    gLoaderStatus = LoaderStatus::LoadTrack;
    gTrackLoads = false;
    gLog.clear();
    WorkerPass(kJobs);
    gTrackLoads = true;
    EXPECT_EQ(static_cast<int>(gLoaderStatus), LoaderStatus::TrackFailed) << "screen " << screen;
    EXPECT_EQ(gLog, screen == ScreenState::Pause ? "garage track " : "track ");
  }
}
