#include "framework/frame_clock.h"

#include "framework/globals.h"
#include "platform/platform.h"

#include <algorithm>

float SecondsBetween(uint32_t earlierMilliseconds, uint32_t laterMilliseconds) {
  uint32_t elapsed = laterMilliseconds - earlierMilliseconds;
  return static_cast<float>(elapsed) / 1000.0f;
}

float FrameClock::Next(uint32_t nowMilliseconds) {
  uint64_t previous = last_.exchange(nowMilliseconds, std::memory_order_acq_rel);
  if (previous == kUnset) return 0.0f;
  return SecondsBetween(static_cast<uint32_t>(previous), nowMilliseconds);
}

float GetFrameSeconds() {
  static FrameClock clock;
  return clock.Next(Sys_Milliseconds());
}

void ApplyFrameTime(float seconds) {
  gFrameSeconds = seconds;
  gFps = seconds > 0.0f ? 1.0f / seconds : 0.0f;
  const float counted = std::min(seconds, kLongestCountedFrame);
  gFrameFactor = counted * 100.0f;
  gPhysicsFrameTime = counted;
}
