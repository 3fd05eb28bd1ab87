#include "app/app.h"

#include "framework/font.h"
#include "framework/frame_clock.h"
#include "framework/lock_step.h"
#include "framework/random.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "framework/vector_math.h"
#include "app/window.h"
#include "app/worker.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/garage_camera.h"
#include "render/renderer.h"
#include "world/catalogue.h"
#include "world/race_state.h"
#include "ui/options.h"
#include "ui/race_hud.h"
#include "ui/screens.h"

#include <cmath>
#include <string>
#include <thread>

namespace {

constexpr const char* kWindowTitle = "Zarnok Racing";
constexpr int kWindowColourBits = 32;
constexpr const char* kStatisticsPage = "stats/zarnokracing.html";

// Exit code of a start-up that finds no sound device, no car catalogue, no
// window and contexts or not every graphics resource.
constexpr int kStartupFailedExitCode = -1;

// How long the shutdown waits for the worker to end: a simulation step ends
// well within it, a load may not.
constexpr uint32_t kWorkerEndWaitMs = 2000;
constexpr uint32_t kWorkerEndPollMs = 10;
// What the rest of the shutdown takes after that wait: the sounds, the
// window and the contexts released.
constexpr uint32_t kTeardownMs = 1000;

bool WorkerEndsWithin(uint32_t milliseconds) {
  for (uint32_t waited = 0; !gWorkerEnded && waited < milliseconds; waited += kWorkerEndPollMs) {
    Sys_Sleep(kWorkerEndPollMs);
  }
  return gWorkerEnded;
}

// Trace of screen switches and of the load requests the screens post; the
// worker traces the completions it writes.
void TraceHandOverChanges() {
  static int tracedScreen = -1;
  static int tracedStatus = -1;
  int screen = gScreen;
  if (screen != tracedScreen) {
    tracedScreen = screen;
    Sys_Trace("screen", std::to_string(screen).c_str());
  }
  int status = gLoaderStatus;
  bool request = status == LoaderStatus::LoadStartupOrPlayerCar || status == LoaderStatus::LoadTrack ||
                 status == LoaderStatus::LoadGarage;
  if (status != tracedStatus) {
    tracedStatus = status;
    if (request) Sys_Trace("loader", std::to_string(status).c_str());
  }
}

// Waits while the worker serves the loader request `status`.
void WaitForLoad(int status) {
  WaitForHandOver([status] { return gLoaderStatus != status || gQuit; });
}

// The race a test asks for (ZARNOK_RACE): once the splash clock asks for the
// start-up load, the load and then the track's are awaited in this frame,
// and the race starts, as the race selection and the race-loading screen
// will do; so the race's frames have the same numbers in every run.
void StartTestRace() {
  const int track = Sys_TestRaceTrack();
  if (track == 0 || gScreen != ScreenState::Splash || gSplashTime <= kStartupLoadSplashSeconds) return;
  WaitForLoad(LoaderStatus::LoadStartupOrPlayerCar);
  gGameMode = kGameModeQuickRace;
  gQuickRaceTrack = track;
  gCarPowerFactor = kDirectRaceFactor;  // the quick-race screen's shops would set it
  gLoaderStatus = LoaderStatus::LoadTrack;
  gTargetScreen = ScreenState::RaceLoading;
  gScreen = ScreenState::RaceLoading;
  WaitForLoad(LoaderStatus::LoadTrack);
  if (gLoaderStatus == LoaderStatus::TrackLoaded) PublishRaceStart();
}

// The frame rate and the garage camera, in the current text colour.
void PrintDebugText() {
  PrintText1(715, 580, 1.0f, 1, "FPS:%2i", FloatToInt(gFps));
  PrintText1(70, 470, 1.0f, 1, "Rot1:%2i", FloatToInt(gGaragePitch));
  PrintText1(70, 450, 1.0f, 1, "Rot2:%2i", FloatToInt(gGarageYaw));
  PrintText1(70, 430, 1.0f, 1, "Zoom:%2i", FloatToInt(gGarageZoom * 1000.0f));
}

// Runs until the quit flag. The GL resources the first frame does not need
// are made right after it is shown (the splash's clock leaves seven seconds
// before anything else draws), so that the window shows the game at once;
// when they fall short the loop ends there with their result, else Ready.
GLResourcesResult MessageLoop() {
  bool resourcesMade = false;
  while (!gQuit) {
    Event event;
    if (Sys_NextEvent(&event)) {
      if (event.kind == EventKind::Quit) {
        gQuit = 1;
      } else {
        MainWindowProc(event);
      }
      continue;
    }
    bool frameOk = true;
    if (gAppActive) frameOk = RunFrame();
    TraceHandOverChanges();
    Sys_HoldScriptFrames(FrameOnlyWaitsForALoad(gScreen, gLoaderStatus, gSplashTime));
    if (!frameOk || gQuitRequested) {
      gQuit = 1;
    } else {
      Sys_SwapBuffers();
      if (!resourcesMade) {
        Sys_Trace("startup", "first frame shown");
        const GLResourcesResult resources = InitGLResourcesAfterFirstFrame();
        if (resources != GLResourcesResult::Ready) return resources;
        Sys_Trace("startup", "resources made");
        resourcesMade = true;
      }
    }
    HandleLoopKeys();
    EndInputFrame();
    CommitSaves();  // what a shutdown that cannot wait for the next frame writes
  }
  return GLResourcesResult::Ready;
}

}  // namespace

bool FrameOnlyWaitsForALoad(int screen, int status, float splashTime) {
  namespace Status = LoaderStatus;
  // The answer counts with the request until the screen takes it: it may
  // come after the screen read the request in this frame, and that frame
  // showed the waiting picture all the same.
  const bool track = status == Status::LoadTrack || status == Status::TrackLoaded || status == Status::TrackFailed;
  const bool garage = status == Status::LoadGarage || status == Status::GarageLoaded;
  const bool assets = status == Status::LoadStartupOrPlayerCar;
  const bool startup = assets && screen == ScreenState::Splash && splashTime > kStartupLoadSplashSeconds;
  const bool truck = assets && screen != ScreenState::Splash;  // the player's truck rebuilt behind a menu
  return startup || truck || (screen == ScreenState::RaceLoading && track) ||
         (screen == ScreenState::RaceFinish && garage) || (screen == ScreenState::Pause && (track || garage));
}

bool EscapeOpensPause(bool escapeDown, bool keyLatch, int screen, int targetScreen, bool playerFinished) {
  return escapeDown && !keyLatch && screen == ScreenState::Racing && targetScreen == screen && !playerFinished;
}

// The keys that CONTROLS can show are the keys that can be bound.
bool IsBindableKey(int key) { return KeyName(key) != nullptr; }

int FindKeyToBind(const HandOver<uint8_t>* keys) {
  for (int key = 0; key < kKeyCount; ++key) {
    if (keys[key] && IsBindableKey(key)) return key;
  }
  return -1;
}

bool KeyLatchMayClear(const HandOver<uint8_t>* keys, bool leftButton) {
  static constexpr int kLatchKeys[] = {
      vk::kEnter, vk::kEscape, '1', '2', '3', vk::kF1, vk::kF1 + 1, vk::kF1 + 2, vk::kF1 + 4,
      vk::kLeft, vk::kRight, vk::kUp, vk::kDown, vk::kSpace,
      'Y', 'Q', 'R', 'F', 'L', 'K', 'C', 'X', 'Z', 'O', 'P', 'I', 'U'};
  if (leftButton) return false;
  for (int key : kLatchKeys) {
    if (keys[key]) return false;
  }
  return true;
}

void HandleLoopKeys() {
  if (EscapeOpensPause(gKeys[vk::kEscape], gKeyLatch, gScreen, gTargetScreen, gPlayerFinished)) {
    gKeyLatch = 1;
    PauseAllSounds();
    if (gMusicOn) gMusic.Pause();
    if (gSoundOn) {
      gSndMenuClick.Play();
      gSndMenuSettled.Play();
    }
    LeaveRaceTo(ScreenState::Pause);
    gScreenFade = 0.0f;
  }
  if (gTargetScreen == ScreenState::ControlsOptions && gWaitingForKey) {
    int key = FindKeyToBind(gKeys);
    if (key >= 0) {
      if (gSelectedRow >= 0 && gSelectedRow < kKeyBindingCount) {
        gPendingKeyBindings[gSelectedRow] = key;
        gKeyBindings[gSelectedRow] = key;
      }
      gWaitingForKey = 0;
      gKeyLatch = 1;
      if (gSoundOn) gSndMenuPurchase.Play();
    }
  }
  if (gKeys[vk::kF1] && !gKeyLatch) {
    gDebugText = gDebugText ? 0 : 1;
    gKeyLatch = 1;
  }
  if (KeyLatchMayClear(gKeys, gLeftButton)) gKeyLatch = 0;
}

int ShadowMapSizeForDetail(int shadowDetail, int currentSize) {
  static constexpr int kShadowMapSizes[] = {kShadowMapSizeOff, 1024, 4096, 8192};  // texels a side, by detail 0..3
  if (shadowDetail < 0 || shadowDetail > 3) return currentSize;
  return kShadowMapSizes[shadowDetail];
}

// A scripted test's finish: the player's race ends as at the finish line
// (in the place the race gives it), in the lock-step while the worker waits.
static void TakeTestFinish() {
  if (!gTestFinishAsked) return;
  gTestFinishAsked = 0;
  if (gPlayerFinished) return;
  gPlayerFinished = 1;
  gRacePhaseTime = 0.0f;
}

bool RunFrame() {
  StartTestRace();
  if (gScreen == ScreenState::Racing && WaitForSimulationStep()) {
    // The HUD's own clocks and the finish run while the worker waits; the
    // finish may end the race here, and the FINISH screen then draws below.
    TakeTestFinish();
    UpdateRaceHud();
    if (gScreen == ScreenState::Racing) {
      RenderRaceFrame();
      DrawRaceHud();
    }
  }
  if (gScreen != ScreenState::Racing) {
    ApplyFrameTime(GetFrameSeconds());
    gFlarePulsePhase += gFrameFactor * 0.05f;
    gFlarePulse = std::sin(gFlarePulsePhase);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    UpdateAndDrawScreens();
  }
  if (gDebugText == 1) PrintDebugText();
  glEnable(GL_DEPTH_TEST);
  return true;
}

int WinMain() {
  // First, before any thread starts: the guard keeps what each frame
  // commits on disk and answers the system's requests to end whatever this
  // thread is doing.
  Sys_StartShutdownGuard(WriteCommittedSaves);
  LoadSettings();
  gBlurWidth = kBlurWidth;
  gBlurHeight = kBlurHeight;
  gRouteMapWidth = kRouteMapSide;
  gRouteMapHeight = kRouteMapSide;
  gShadowMapSize = ShadowMapSizeForDetail(gShadowDetail, gShadowMapSize);
  gCityCarCount = 2 * gTrafficSetting;
  LoadCareer();
  CommitSaves();
  LoadOpticaTable();
  // The worker reads the catalogue later; without it no truck can be built.
  if (!CarCatalogueFileIsComplete()) {
    Sys_MessageBox("ERROR", "The car catalogue base/cars.ini is missing or damaged.", MessageIcon::Stop);
    return kStartupFailedExitCode;
  }
  if (!OpenSoundDevice()) {
    Sys_MessageBox("ERROR", "No sound device could be opened.", MessageIcon::Stop);
    return kStartupFailedExitCode;
  }
  LoadStartupSounds();
  SetSoundModel();
  SetupEax();

  // The window code has shown its message: the exit code says failure too.
  if (!CreateMainWindow(kWindowTitle, gScreenWidth, gScreenHeight, kWindowColourBits, gFullScreen)) {
    return kStartupFailedExitCode;
  }
  gTargetScreen = ScreenState::Splash;
  gScreen = ScreenState::Splash;
  glFinish();

  // The worker's context shares the main one's textures and display lists.
  // Sharing is fixed when a context is made, so both are made here, before
  // the worker starts; the worker makes its own current for each load.
  if (!Sys_CreateLoaderContext()) {
    DestroyMainWindow();
    Sys_MessageBox("ERROR", "Can't Create A GL Texture Loading Context.", MessageIcon::Exclamation);
    return kStartupFailedExitCode;
  }
  // A local, not a global: when the display goes away, Xlib ends the
  // process from inside a call, and a global thread object still joinable
  // at exit would turn that into an abort.
  std::thread workerThread(WorkerThreadProc);
  glFinish();

  SeedRandomAtStartup();  // before the renderer's noise volume takes its texels
  GLResourcesResult resources = InitGLResourcesForFirstFrame();
  if (resources == GLResourcesResult::Ready) {
    glFinish();
    resources = MessageLoop();
  }
  if (resources != GLResourcesResult::Ready) {
    // The passes need every program, target and entry point: rather than
    // draw without them, the program ends after saying so.
    if (resources == GLResourcesResult::Failed) {
      Sys_MessageBox("ERROR", "Initialization Failed.", MessageIcon::Exclamation);
    }
    gQuit = 1;
    workerThread.join();
    ReleaseAllSounds();
    CloseSoundDevice();
    DestroyMainWindow();
    return kStartupFailedExitCode;
  }

  // What the player keeps goes to disk first (the worker writes neither),
  // as long as the disk takes: the guard waits for it.
  Sys_BeginShutdown();
  const bool settingsSaved = SaveSettings();
  const bool careerSaved = SaveCareer();
  const int exitCode = settingsSaved && careerSaved ? 0 : kExitSavesFailed;
  // The guard's deadline comes after the forced end below, which gives a
  // full-screen display its mode back.
  Sys_EndShutdownWithin(kWorkerEndWaitMs + kTeardownMs);
  // The worker sees gQuit in either of its waits and ends; only then do the
  // resources it might use go away. A load it has begun runs to its end,
  // many seconds on a slow machine: rather than wait for that, the game
  // leaves the rest to the system.
  if (!WorkerEndsWithin(kWorkerEndWaitMs)) {
    Sys_OpenWebPage(kStatisticsPage);
    Sys_EndProcessNow(exitCode);
  }
  workerThread.join();
  ReleaseAllSounds();
  CloseSoundDevice();
  DestroyMainWindow();
  Sys_OpenWebPage(kStatisticsPage);
  return exitCode;
}
