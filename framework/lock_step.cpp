#include "framework/lock_step.h"

#include <thread>

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
  while (gWorkerStepping) std::this_thread::yield();
}

bool WaitForSimulationStep() {
  while (gSimBit == gRenderBit) {
    if (gScreen != ScreenState::Racing || gTargetScreen != ScreenState::Racing || gQuit) return false;
    std::this_thread::yield();
  }
  return true;
}
