#include "framework/app.h"

#include "framework/random.h"
#include "framework/window.h"
#include "framework/worker.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "ui/screens.h"

#include <cmath>
#include <string>
#include <thread>

namespace {

constexpr const char* kWindowTitle = "Zarnok Racing";
constexpr int kWindowColourBits = 32;
constexpr const char* kStatisticsPage = "stats/zarnokracing.html";

std::thread gWorkerThread;

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

// The keys the loop handles itself, after each idle pass.
void HandleLoopKeys() {
  if (EscapeOpensPause(gKeys[vk::kEscape], gKeyLatch, gScreen, gTargetScreen, gPlayerFinished)) {
    gKeyLatch = 1;
    // All sounds and the music pause here, and the two menu sounds play,
    // once sound exists.
    gTargetScreen = ScreenState::Pause;
    gScreen = ScreenState::Pause;
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
      // The confirmation sound plays here once sound exists.
    }
  }
  if (gKeys[vk::kF1] && !gKeyLatch) {
    gDebugText = gDebugText ? 0 : 1;
    gKeyLatch = 1;
  }
  if (KeyLatchMayClear(gKeys, gLeftButton)) gKeyLatch = 0;
}

void MessageLoop() {
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
    if (!frameOk || gQuitRequested) {
      gQuit = 1;
    } else {
      Sys_SwapBuffers();
    }
    HandleLoopKeys();
  }
}

}  // namespace

bool EscapeOpensPause(bool escapeDown, bool keyLatch, int screen, int targetScreen, bool playerFinished) {
  return escapeDown && !keyLatch && screen == ScreenState::Racing && targetScreen == screen && !playerFinished;
}

bool IsBindableKey(int key) {
  if (key >= 'A' && key <= 'Z') return true;
  switch (key) {
    case vk::kShift:
    case vk::kControl:
    case vk::kSpace:
    case vk::kComma:
    case vk::kPeriod:
    case vk::kSlash:
    case vk::kSemicolon:
    case vk::kQuote:
    case vk::kLeftBracket:
    case vk::kRightBracket:
    case vk::kUp:
    case vk::kDown:
    case vk::kLeft:
    case vk::kRight: return true;
    default: return false;
  }
}

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

void ApplyMenuFrameTime(float seconds) {
  gFrameSeconds = seconds;
  gFps = seconds > 0.0f ? 1.0f / seconds : 0.0f;
  bool counted = seconds <= kLongestCountedFrame;
  gFrameFactor = counted ? seconds * 100.0f : 0.0f;
  gPhysicsFrameTime = counted ? seconds : 0.0f;
}

bool RunFrame() {
  if (gScreen == ScreenState::Racing && WaitForSimulationStep()) RenderRaceFrame();
  if (gScreen != ScreenState::Racing) {
    ApplyMenuFrameTime(GetFrameSeconds());
    gFlarePulsePhase += gFrameFactor * 0.05f;
    gFlarePulse = std::sin(gFlarePulsePhase);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    UpdateAndDrawScreens();
  }
  // With gDebugText set, the frame rate and the garage camera's angles and
  // zoom are printed here once the font printer exists.
  glEnable(GL_DEPTH_TEST);
  return true;
}

int WinMain() {
  // The settings are read here (and written back at once).
  gBlurWidth = 400;
  gBlurHeight = 300;
  gRouteMapWidth = 1024;
  gRouteMapHeight = 1024;
  // Then, from the settings: the shadow-map size by the shadow detail and
  // the traffic-car count; then the career (written back at once) and the
  // optica table; then the sound device, the 48 sounds and the listener
  // model, and EAX when asked for and present.

  if (!CreateMainWindow(kWindowTitle, gScreenWidth, gScreenHeight, kWindowColourBits, gFullScreen)) {
    return 0;
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
    return 0;
  }
  gWorkerThread = std::thread(WorkerThreadProc);
  glFinish();

  if (!InitGLResources()) {
    Sys_MessageBox("ERROR", "Initialization Failed.", MessageIcon::Exclamation);
  }
  glFinish();

  MessageLoop();

  // The worker sees gQuit in either of its waits and ends; only then do the
  // resources it might use go away.
  gWorkerThread.join();
  // The sounds, the sound context and the device are released here, and the
  // settings and the career saved.
  DestroyMainWindow();
  Sys_OpenWebPage(kStatisticsPage);
  return 0;
}
