#include "app/worker.h"

#include "app/race_tick.h"
#include "render/model_draw_lists.h"
#include "render/race_view.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/startup_models.h"
#include "world/catalogue.h"
#include "world/loaders.h"
#include "world/prop_models.h"
#include "world/racer_models.h"
#include "world/texture_list.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <string>

namespace {

void LoadStartupAssets() {
  gMusic.Load("base/music/menu.wav", true);
  if (gMusicOn) gMusic.Play();
  LoadTextureList();
  LoadObjectModels();
  BuildPropPartDrawLists();
  LoadStartupModels();
  InitCarTables();
  LoadCarCatalogue();
  RestoreCarSetup();
  LoadRacerCar(0);
}

// The race of the game mode: a career competition's race, a track-list
// stage or the quick race's track; another mode has no race to load.
int TrackOfGameMode() {
  switch (gGameMode) {
    case kGameModeCareer: return gCompetitionIndex * 4 + gCompetitionRace;
    case kGameModeTrackList: return gTrackListIndex * 4 + gTrackListStage[0];
    case kGameModeQuickRace: return gQuickRaceTrack;
    default: return 0;
  }
}

bool LoadTrack() {
  if (!LoadWorld(TrackOfGameMode())) return false;
  BuildRacerDrawLists();
  ResetRaceViewForStart();
  return true;
}

// The trucks' lists go with the race they were made for.
void EndRaceAndLoadGarage() {
  FreeRacerDrawLists();
  LoadGarage();
}

void LoadPlayerCar() { LoadRacerCar(0); }

// A load runs with the loader context current (when there is one) and
// publishes its completion only once the GL work is finished and the
// context released.
class LoaderContext {
 public:
  LoaderContext() : current_(Sys_MakeLoaderContextCurrent()) { Finish(); }
  void Finish() const {
    if (current_) glFinish();
  }
  void Complete(int completion) const {
    if (current_) Sys_ReleaseCurrentContext();
    gLoaderStatus = completion;
    Sys_Trace("loader", std::to_string(completion).c_str());
  }

 private:
  bool current_;
};

void RunLoad(void (*load)(), int completion) {
  LoaderContext context;
  load();
  context.Finish();
  context.Complete(completion);
}

// The track (after the garage when restarting): TrackLoaded when the race
// can start, TrackFailed when it cannot.
void RunTrackLoad(const WorkerJobs& jobs, bool garageFirst) {
  LoaderContext context;
  if (garageFirst) {
    jobs.loadGarage();
    context.Finish();
  }
  const bool loaded = jobs.loadTrack();
  context.Finish();
  context.Complete(loaded ? LoaderStatus::TrackLoaded : LoaderStatus::TrackFailed);
}

// Steps once when the main thread has drawn the previous step and the race
// is on. Waits for the draw only while the race state holds.
void SimulationTurn(const WorkerJobs& jobs) {
  if (gScreen != ScreenState::Racing) return;
  WaitForHandOver([] { return gSimBit == gRenderBit || gScreen != ScreenState::Racing || gQuit; });
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
    RunTrackLoad(jobs, false);
  }
  if (gScreen == Screen::RaceFinish && gLoaderStatus == Status::LoadGarage) {
    RunLoad(jobs.loadGarage, Status::GarageLoaded);
  }
  if (gScreen == Screen::Pause && gLoaderStatus == Status::LoadTrack) {
    RunTrackLoad(jobs, true);
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

const WorkerJobs kGameWorkerJobs = {StepRaceSimulation, LoadStartupAssets, LoadTrack, EndRaceAndLoadGarage,
                                   LoadPlayerCar};

void RunWorker(const WorkerJobs& jobs) {
  // Everything a pass acts on is a hand-over value: after a pass that found
  // nothing to do, the worker sleeps until one of them is stored again.
  while (!gQuit) {
    uint32_t seen = gHandOverStores;
    WorkerPass(jobs);
    gHandOverStores.wait(seen);
  }
}

HandOver<uint8_t> gWorkerEnded;

void WorkerThreadProc() {
  Sys_NameThisThread("zarnok-worker");
  RunWorker(kGameWorkerJobs);
  if (Sys_IsContextCurrent()) Sys_ReleaseCurrentContext();
  gWorkerEnded = 1;
}
