// The frame clock: seconds between readings of the millisecond clock.
#pragma once

#include <atomic>
#include <cstdint>

// Seconds between two readings of the millisecond clock; the difference is
// taken modulo 2^32, so a wrap of the clock still gives the small value.
float SecondsBetween(uint32_t earlierMilliseconds, uint32_t laterMilliseconds);

// The frame clock: seconds since its previous reading, 0 on the first.
// Safe to read from either thread.
class FrameClock {
 public:
  float Next(uint32_t nowMilliseconds);

 private:
  static constexpr uint64_t kUnset = ~uint64_t{0};
  std::atomic<uint64_t> last_{kUnset};
};

// The game's one frame clock on Sys_Milliseconds, shared by the menu frames
// and the race step: the first reading after a switch includes the time
// spent on the other side.
float GetFrameSeconds();

// The longest frame that still counts in full, seconds. A longer one (a
// load, or a machine that slow) counts as this long: the game runs in slow
// motion rather than not at all, and one long frame moves nothing further.
inline constexpr float kLongestCountedFrame = 0.2f;

// Frame seconds into gFrameSeconds, gFps, gFrameFactor and
// gPhysicsFrameTime, the counted time capped at kLongestCountedFrame.
void ApplyFrameTime(float seconds);
