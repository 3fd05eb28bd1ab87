#include "physics/step_timer.h"

#include <chrono>

namespace {

bool SteadyFrequency(uint64_t* ticksPerSecond) {
    using period = std::chrono::steady_clock::period;
    *ticksPerSecond = static_cast<uint64_t>(period::den / period::num);
    return true;
}

uint64_t SteadyCounter() {
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// The empty call whose cost calibration measures; kept out of line.
[[gnu::noinline]] void EmptyCall() { asm volatile(""); }

constexpr s32 NE_TIMER_MAX_OVERHEAD = 200;
constexpr s32 NE_TIMER_CALIBRATION_READS = 20;

}  // namespace

neStepClock neMonotonicClock() { return neStepClock{SteadyFrequency, SteadyCounter}; }

void neStepTimer::Clear() {
    for (f32& b : buckets) b = 0.0f;
}

void neStepTimer::Calibrate(const neStepClock& source) {
    clock = source;
    Clear();
    shift = 0;
    overhead = 0;
    frequency = 0;
    mark = 0;
    uint64_t f = 0;
    if (!clock.frequency || !clock.counter || !clock.frequency(&f) || f == 0) return;
    frequency = f;
    overhead = NE_TIMER_MAX_OVERHEAD;
    for (s32 i = 0; i < NE_TIMER_CALIBRATION_READS; ++i) {
        uint64_t a = clock.counter();
        EmptyCall();
        uint64_t b = clock.counter();
        s32 d = static_cast<s32>(static_cast<uint32_t>(b) - static_cast<uint32_t>(a));
        if (d >= 0 && d < overhead) overhead = d;
    }
    uint32_t high = static_cast<uint32_t>(frequency >> 32);
    while (high) {
        ++shift;
        high >>= 1;
    }
}

void neStepTimer::Start() {
    Clear();
    mark = frequency ? clock.counter() : 0;
}

f32 neStepTimer::Elapsed() {
    if (!frequency) return 0.0f;
    uint64_t now = clock.counter();
    uint64_t previous = mark;
    mark = now;
    uint64_t f = frequency;
    uint32_t cost = static_cast<uint32_t>(overhead);
    if (shift > 0) {
        previous >>= shift;
        now >>= shift;
        f >>= shift;
        cost >>= shift;
    }
    uint32_t f32bits = static_cast<uint32_t>(f);
    if (f32bits == 0) return 0.0f;
    // An interval shorter than the overhead wraps to a huge value; the
    // advance leaves such totals out of its average.
    uint32_t ticks = static_cast<uint32_t>(now) - static_cast<uint32_t>(previous) - cost;
    return static_cast<f32>(ticks) / static_cast<f32>(f32bits);
}

f32 neStepTimer::Total() const {
    f32 total = 0.0f;
    for (f32 b : buckets) total += b;
    return total;
}
