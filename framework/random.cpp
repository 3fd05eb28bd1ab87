#include "framework/random.h"

#include "platform/platform.h"

#include <atomic>
#include <ctime>

namespace {
// The linear congruential step of the classic C library, so that sequences
// have the familiar statistics; atomic because both threads draw from it.
std::atomic<uint32_t> gRandomState{1};
}  // namespace

void SeedRandom(uint32_t seed) { gRandomState.store(seed, std::memory_order_relaxed); }

int Random() {
  uint32_t state = gRandomState.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = state * 214013u + 2531011u;
  } while (!gRandomState.compare_exchange_weak(state, next, std::memory_order_relaxed));
  return static_cast<int>((next >> 16) & kRandomMax);
}

void SeedRandomAtStartup() {
  int64_t fixed = Sys_FixedSeed();
  SeedRandom(fixed >= 0 ? static_cast<uint32_t>(fixed) : static_cast<uint32_t>(std::time(nullptr)));
}
