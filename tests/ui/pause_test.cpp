// The pause screen's hand-over with the worker: a reloaded track starts the
// race at once, a loaded garage leads at once to the screen the game mode
// returns to, and the LOADING sign shows only while a load runs.
#include <gtest/gtest.h>

#include "framework/globals.h"
#include "framework/settings.h"
#include "ui/menu_button.h"
#include "ui/menu_state.h"
#include "ui/pause.h"
#include "ui/race_finish.h"
#include "ui/race_hud.h"
#include "ui/screen_machine.h"

namespace {

namespace S = ScreenState;

void Paused(int loaderStatus) {
  gScreen = S::Pause;
  gTargetScreen = S::Pause;
  gScreenFade = 1.0f;
  gLoaderStatus = loaderStatus;
  gFrameFactor = 10.0f;
}

}  // namespace

TEST(PauseScreen, AReloadedTrackStartsTheRaceAtOnceWithASimulationStepFirst) {
  Paused(LoaderStatus::TrackLoaded);
  gSimBit = 0;
  gRenderBit = 1;
  TakePauseLoaderAnswer();
  EXPECT_EQ(gScreen, S::Racing);
  EXPECT_EQ(gTargetScreen, S::Racing);
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  EXPECT_EQ(gSimBit, gRenderBit);
}

TEST(PauseScreen, ARestartedRaceCountsDownAndBooksItsFinishAfresh) {
  Paused(LoaderStatus::TrackLoaded);
  gFinishBooked = 1;
  gCountdownStep = 6;
  gHudSpeed = 80.0f;
  TakePauseLoaderAnswer();
  EXPECT_EQ(gFinishBooked, 0) << "the new race's finish is booked again";
  EXPECT_EQ(gCountdownStep, 0) << "the countdown beeps again from its first step";
  EXPECT_EQ(gHudSpeed, 0.0f);
}

TEST(PauseScreen, ALoadedGarageLeadsAtOnceWhereTheGameModeReturns) {
  struct Case {
    int gameMode, screen, entryRow;
  };
  gTrackListStage[0] = 3;
  for (const Case& c : {Case{kGameModeCareer, S::Garage, 0}, Case{kGameModeTrackList, S::Information, 2},
                        Case{kGameModeQuickRace, S::QuickRace, 0}}) {
    Paused(LoaderStatus::GarageLoaded);
    gGameMode = c.gameMode;
    gFreeCamera = 1;
    TakePauseLoaderAnswer();
    EXPECT_EQ(gTargetScreen, c.screen) << c.gameMode;
    EXPECT_EQ(gScreen, S::Pause) << "the dispatcher switches in the next frame";
    EXPECT_EQ(gScreenFade, -1.0f);
    EXPECT_EQ(gMenuCursorOnEntry, c.entryRow);
    EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
    EXPECT_EQ(gFreeCamera, 0);
    AdvanceScreenFade(10.0f);
    EXPECT_EQ(gScreen, c.screen);
  }
  gGameMode = kGameModeCareer;
}

TEST(PauseScreen, TheLoadingSignGrowsWhileALoadRunsAndIsGoneWhenIdle) {
  Paused(LoaderStatus::LoadTrack);
  gLoadingAlpha = 0.0f;
  TakePauseLoaderAnswer();
  EXPECT_FLOAT_EQ(gLoadingAlpha, 0.2f);
  for (int frame = 0; frame < 10; ++frame) TakePauseLoaderAnswer();
  EXPECT_FLOAT_EQ(gLoadingAlpha, 1.0f);
  EXPECT_EQ(gScreen, S::Pause) << "nothing switches while the worker loads";
  gLoaderStatus = LoaderStatus::Idle;
  TakePauseLoaderAnswer();
  EXPECT_FLOAT_EQ(gLoadingAlpha, 0.0f);
}

TEST(PauseScreen, RaceResumesButRestartAndQuitOnlyAskTheWorker) {
  const TransitionInputs in;
  const Transition race = ButtonTransition(S::Pause, ButtonKind::Back, in);
  EXPECT_EQ(race.target, S::Racing);
  EXPECT_TRUE(race.resumeRace);
  const Transition restart = ButtonTransition(S::Pause, ButtonKind::One, in);
  EXPECT_EQ(restart.target, -1);
  EXPECT_EQ(restart.loaderRequest, LoaderStatus::LoadTrack);
  const Transition quit = ButtonTransition(S::Pause, ButtonKind::Two, in);
  EXPECT_EQ(quit.target, -1);
  EXPECT_EQ(quit.loaderRequest, LoaderStatus::LoadGarage);
}

TEST(PauseScreen, ARestartWhoseTrackFailsEndsLikeAQuit) {
  Paused(LoaderStatus::TrackFailed);
  gGameMode = kGameModeCareer;
  TakePauseLoaderAnswer();
  EXPECT_EQ(gTargetScreen, S::Garage);
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  EXPECT_EQ(gScreenFade, -1.0f);
}
