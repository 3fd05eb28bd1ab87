#include "framework/frame_clock.h"

#include "platform/platform.h"

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
