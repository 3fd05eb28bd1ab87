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

