#include "framework/lock_step.h"

HandOver<uint8_t> gWorkerStepping;

void PublishRaceStart() {
  gLoaderStatus = LoaderStatus::Idle;
  gSimBit = static_cast<uint8_t>(gRenderBit);
  gTargetScreen = ScreenState::Racing;
  gScreen = ScreenState::Racing;
}

void LeaveRaceTo(int screen) {
  gTargetScreen = screen;
  gScreen = screen;
  WaitForHandOver([] { return !gWorkerStepping; });
}

bool WaitForSimulationStep() {
  bool stepped = false;
  WaitForHandOver([&stepped] {
    stepped = gSimBit != gRenderBit;
    return stepped || gScreen != ScreenState::Racing || gTargetScreen != ScreenState::Racing || gQuit;
  });
  return stepped;
}
