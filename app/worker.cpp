#include "app/worker.h"

#include "app/race_tick.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/startup_models.h"
#include "world/catalogue.h"
#include "world/texture_list.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <string>
#include <thread>

namespace {

// The player's truck in racer slot 0: its models land with the car loader;
// the slot already records which truck it holds, so that the screens' check
// for a changed truck settles once the rebuild is answered.
void BuildPlayerCarSlot() { gBuiltCarIndex[0] = gPlayerCarIndex; }

void LoadStartupAssets() {
  gMusic.Load("base/music/menu.wav", true);
  if (gMusicOn) gMusic.Play();
  LoadTextureList();
  // Then the object models, landing with their loader; then the 14 shared
  // part and garage models.
  LoadStartupModels();
  InitCarTables();
  LoadCarCatalogue();
  RestoreCarSetup();
  BuildPlayerCarSlot();
}

void LoadTrack() {
  // The world of the track chosen by the game mode (career, track list or
  // quick race) lands with the world loader; another mode loads nothing.
}

void LoadGarage() {
  // The garage loader lands with the world loaders.
}

void LoadPlayerCar() { BuildPlayerCarSlot(); }

// Runs the loads of one request with the loader context and publishes the
// completion only once the GL work is finished and the context released.
void RunLoad(void (*const* loads)(), int count, int completion) {
  bool contextCurrent = Sys_MakeLoaderContextCurrent();
  if (contextCurrent) glFinish();
  for (int i = 0; i < count; ++i) {
    loads[i]();
    if (contextCurrent) glFinish();
  }
  if (contextCurrent) Sys_ReleaseCurrentContext();
  gLoaderStatus = completion;
  Sys_Trace("loader", std::to_string(completion).c_str());
}

void RunLoad(void (*load)(), int completion) { RunLoad(&load, 1, completion); }

// Steps once when the main thread has drawn the previous step and the race
// is on. Waits for the draw only while the race state holds.
void SimulationTurn(const WorkerJobs& jobs) {
  if (gScreen != ScreenState::Racing) return;
  while (gSimBit != gRenderBit && gScreen == ScreenState::Racing && !gQuit) {
    std::this_thread::yield();
  }
  // Either this thread sees the race left and does not step, or the main
  // thread, leaving it, sees gWorkerStepping and waits: both store first
  // and load after, and the hand-over values have one order for both.
  gWorkerStepping = 1;
  if (gScreen == ScreenState::Racing && gTargetScreen == ScreenState::Racing &&
      gSimBit == gRenderBit && !gQuit) {
    jobs.raceStep();
    gSimBit = gSimBit ? 0 : 1;
  }
  gWorkerStepping = 0;
}

}  // namespace

void WorkerPass(const WorkerJobs& jobs) {
  namespace Screen = ScreenState;
  namespace Status = LoaderStatus;
  SimulationTurn(jobs);
  if (gScreen == Screen::Splash && gLoaderStatus == Status::LoadStartupOrPlayerCar &&
      gSplashTime > kStartupLoadSplashSeconds) {
    RunLoad(jobs.loadStartupAssets, Status::Idle);
  }
  if (gScreen == Screen::RaceLoading && gLoaderStatus == Status::LoadTrack) {
    RunLoad(jobs.loadTrack, Status::TrackLoaded);
  }
  if (gScreen == Screen::RaceFinish && gLoaderStatus == Status::LoadGarage) {
    RunLoad(jobs.loadGarage, Status::GarageLoaded);
  }
  if (gScreen == Screen::Pause && gLoaderStatus == Status::LoadTrack) {
    void (*const restart[])() = {jobs.loadGarage, jobs.loadTrack};
    RunLoad(restart, 2, Status::TrackLoaded);
  }
  if (gScreen == Screen::Pause && gLoaderStatus == Status::LoadGarage) {
    RunLoad(jobs.loadGarage, Status::GarageLoaded);
  }
  int screen = gScreen;
  if (screen != Screen::Racing && screen != Screen::Splash && screen != Screen::RaceLoading &&
      screen != Screen::RaceFinish && gLoaderStatus == Status::LoadStartupOrPlayerCar) {
    RunLoad(jobs.loadPlayerCar, Status::Idle);
  }
}

const WorkerJobs kGameWorkerJobs = {StepRaceSimulation, LoadStartupAssets, LoadTrack, LoadGarage, LoadPlayerCar};

void RunWorker(const WorkerJobs& jobs) {
  while (!gQuit) {
    WorkerPass(jobs);
    std::this_thread::yield();
  }
}

void WorkerThreadProc() {
  RunWorker(kGameWorkerJobs);
  if (Sys_IsContextCurrent()) Sys_ReleaseCurrentContext();
}
