// Globals of the application framework: the hand-over values between the
// main thread and the worker, the screen state, the frame clock's results
// and the input state. Everything is zero at start unless noted.
#pragma once

#include "framework/screen_state.h"
#include "framework/settings.h"  // gKeyBindings, gColourBits and the other settings words

#include <atomic>
#include <cstdint>

// Counts the stores to every hand-over value, so that a thread waiting for
// some of them to reach a state can sleep until any of them changes
// (WaitForHandOver) instead of spinning. Wraps around; only inequality counts.
inline std::atomic<uint32_t> gHandOverStores{0};

// A value that one thread writes and the other reads. Every store
// publishes what the writer did before it (release); every load sees what
// the writer published (acquire); and all threads see the stores to all
// hand-over values in one order (sequential consistency), which the exit
// from a race relies on (see LeaveRaceTo). Every store then counts in
// gHandOverStores and wakes the threads sleeping on it.
template <typename T>
class HandOver {
 public:
  constexpr HandOver(T initial = T()) : value_(initial) {}
  HandOver(const HandOver&) = delete;
  HandOver& operator=(const HandOver&) = delete;
  operator T() const { return value_.load(std::memory_order_seq_cst); }
  HandOver& operator=(T value) {
    value_.store(value, std::memory_order_seq_cst);
    gHandOverStores.fetch_add(1, std::memory_order_seq_cst);
    gHandOverStores.notify_all();
    return *this;
  }

 private:
  std::atomic<T> value_;
};

// Returns once done() holds, sleeping between the hand-over stores instead
// of polling. The count is read before done() looks at the values, so a
// store that done() missed has counted after it and ends the sleep.
template <typename Done>
void WaitForHandOver(Done done) {
  for (;;) {
    uint32_t seen = gHandOverStores.load(std::memory_order_seq_cst);
    if (done()) return;
    gHandOverStores.wait(seen, std::memory_order_seq_cst);
  }
}


// Loader requests and completions of gLoaderStatus.
namespace LoaderStatus {
inline constexpr int LoadStartupOrPlayerCar = 0;  // start-up assets on the splash, else the player's car
inline constexpr int Idle = 1;
inline constexpr int LoadTrack = 10;
inline constexpr int TrackLoaded = 11;
inline constexpr int TrackFailed = 12;  // the track could not be loaded; the garage is loaded again
inline constexpr int LoadGarage = 20;
inline constexpr int GarageLoaded = 21;
}  // namespace LoaderStatus

// ---- Hand-over values (both threads) ----
extern HandOver<uint8_t> gQuit;           // ends the message loop and the worker
extern HandOver<uint8_t> gQuitRequested;  // set by the QUIT confirmation; the loop turns it into gQuit
extern HandOver<int32_t> gScreen;         // current screen (ScreenState); 100 before the worker starts
extern HandOver<int32_t> gTargetScreen;   // screen being faded to; equal to gScreen when no fade runs
extern HandOver<int32_t> gLoaderStatus;   // LoaderStatus: request by the screens, completion by the worker
extern HandOver<uint8_t> gSimBit;         // flipped by the worker after each simulation step
extern HandOver<uint8_t> gRenderBit;      // flipped by the race frame after copying a step's results
extern HandOver<float> gSplashTime;       // seconds on the start-up screen, from 3.0; the start-up load waits for 10.0
extern HandOver<uint8_t> gPlayerFinished; // set by the player's car update in the race step; read by the Escape pause

// The splash clock's start value and the value the start-up load waits for.
inline constexpr float kSplashStartSeconds = 3.0f;
inline constexpr float kStartupLoadSplashSeconds = 10.0f;

// ---- Main loop ----
extern uint8_t gAppActive;   // 1 while the window is active and not minimised; 1 at start
extern uint8_t gFullScreen;  // always 1: the game runs full screen
extern float gScreenFade;    // fade value of the screen state machine
extern uint8_t gKeyLatch;    // a key press was consumed; cleared when the watched keys are up
extern uint8_t gDebugText;   // F1 toggle of the debug text
extern uint8_t gWaitingForKey;  // the CONTROLS screen waits for a key to bind
extern int32_t gSelectedRow;    // selected row of the current list; binding slot 0..4 on CONTROLS

// Key bindings shown on the CONTROLS screen; the live ones are gKeyBindings.
extern int32_t gPendingKeyBindings[kKeyBindingCount];

// ---- Frame clock results (menu frames here; the race step sets them in a race) ----
extern float gFrameSeconds;      // duration of the last frame, seconds
extern float gFps;               // 1 / gFrameSeconds; 0 for a frame of no measurable time
extern float gFrameFactor;       // gFrameSeconds x 100, 0 for a frame over 0.2 s
extern float gPhysicsFrameTime;  // gFrameSeconds, 0 for a frame over 0.2 s
extern float gFlarePulsePhase;   // advanced by gFrameFactor x 0.05 per menu frame
extern float gFlarePulse;        // sin(gFlarePulsePhase)
extern float gMenuClock;         // animation clock, advanced by 0.01 x frame factor per drawn frame

// ---- Render target sizes set at start-up (pixels) ----
inline constexpr int32_t kBlurWidth = 400, kBlurHeight = 300;
inline constexpr int32_t kRouteMapSide = 1024;
inline constexpr int32_t kShadowMapSizeOff = 16;  // the shadow map made when shadows are off
extern int32_t gBlurWidth, gBlurHeight;          // kBlurWidth x kBlurHeight
extern int32_t gRouteMapWidth, gRouteMapHeight;  // kRouteMapSide square
extern int32_t gShadowMapSize;                   // by shadow detail: 16 / 1024 / 4096 / 8192; 16 before
extern int32_t gCityCarCount;                    // 2 x the traffic setting

// ---- Input state (written by the window procedure on the main thread) ----
inline constexpr int kKeyCount = 256;
extern HandOver<uint8_t> gKeys[kKeyCount];  // 1 while the key with that virtual-key code is down
// Characters typed since the last frame, oldest first, for the next frame
// to take (the name entry does); the frame's end drops what none took, so
// that nothing typed between two frames is lost at any frame rate. Typing
// beyond the room before a frame comes is dropped.
inline constexpr int kTypedCharRoom = 32;
extern uint8_t gCharTyped;                    // characters waiting in gTypedChars
extern uint16_t gTypedChars[kTypedCharRoom];  // code page 1251
extern uint8_t gMouseMoved;   // set on every mouse move (cleared by the screens)
struct CursorPosition {
  int32_t x, y;  // pixels from the window's top left
};
extern CursorPosition gCursorPos;
extern uint8_t gLeftButton, gRightButton;  // mouse buttons down
extern uint8_t gFreeCamera;                // set when either button goes down
extern int32_t gDragStartX, gDragStartY, gDragLastX, gDragLastY;  // cursor in the 800x600 frame at the last press or release
extern int32_t gMouseX, gMouseY;  // cursor in the 800x600 frame, computed by the screens
