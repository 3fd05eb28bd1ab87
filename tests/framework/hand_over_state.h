// Puts the hand-over values and the input state back to their start values
// so that each test starts from a fresh program state.
#pragma once

#include "framework/globals.h"

inline void ResetHandOverState(int screen) {
  gQuit = 0;
  gQuitRequested = 0;
  gScreen = screen;
  gTargetScreen = screen;
  gLoaderStatus = LoaderStatus::Idle;
  gSimBit = 0;
  gRenderBit = 0;
  gSplashTime = kSplashStartSeconds;
  for (auto& key : gKeys) key = 0;
  gKeyLatch = 0;
  gLeftButton = gRightButton = 0;
  gPlayerFinished = 0;
}

// What the race-loading screen does when the track is loaded: the bits
// first, then the screen numbers, so that a worker that sees the race state
// also sees equal bits and steps first.
inline void StartRace() {
  gLoaderStatus = LoaderStatus::Idle;
  gSimBit = static_cast<uint8_t>(gRenderBit);
  gTargetScreen = ScreenState::Racing;
  gScreen = ScreenState::Racing;
}

// What the Escape pause and the finish do: both screen numbers together.
inline void LeaveRace(int screen) {
  gTargetScreen = screen;
  gScreen = screen;
}
