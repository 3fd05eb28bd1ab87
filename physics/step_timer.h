// Timing of a step's phases, for an application that asks for it by passing
// a neStepTimerRecord to an advance. Without a record nothing is read.
#pragma once

#include "math/ne_math.h"

#include <cstdint>

// Owned by the application and passed to an advance. The advance zeroes the
// ten totals and writes the first: the last advance's time in seconds (mode
// 1), or the running average of advances shorter than 100 s.
struct neStepTimerRecord {
    f32 totals[10];
    f32 runningSum;
    u32 unused[9];
    s32 mode;
    s32 sampleCount;
};

// The high-resolution counter the timer reads. The default is the standard
// library's monotonic clock; tests install their own.
struct neStepClock {
    // Ticks per second; false when no high-resolution counter exists.
    bool (*frequency)(uint64_t* ticksPerSecond);
    uint64_t (*counter)();
};
neStepClock neMonotonicClock();

// What each bucket of a step's timer holds: the time since the previous
// mark, taken when the phase named ends.
enum neTimerBucket : s32 {
    NE_TIMER_INTEGRATION = 0,      // velocities from the step's forces
    NE_TIMER_POSITIONS = 1,        // position update, gravity and controllers for the next step
    NE_TIMER_JOINT_COUNTERS = 2,   // the joints' countdowns
    NE_TIMER_RESTING_BODIES = 3,   // constraint solve, stack check, bodies resting alone
    NE_TIMER_STACK_SOLVE = 4,      // the stacks' solve
    NE_TIMER_BROAD_PHASE = 5,      // the region's end points and overlapping pairs
    NE_TIMER_BODY_PAIRS = 6,       // collisions between bodies
    NE_TIMER_TERRAIN = 7,          // collisions with the terrain
    NE_TIMER_TERRAIN_SEARCH = 8,   // the terrain triangles under a body, inside the terrain stage
};
constexpr s32 NE_TIMER_BUCKETS = 9;

struct neStepTimer {
    f32 buckets[NE_TIMER_BUCKETS];
    s32 shift;          // low bits dropped from counter values so the frequency fits 32 bits
    s32 overhead;       // ticks one counter read costs, subtracted from every interval
    uint64_t frequency; // 0 when there is no counter: every interval is then 0
    uint64_t mark;
    neStepClock clock;

    void Calibrate(const neStepClock& source);
    void Start();
    void Clear();
    // Seconds since the mark; moves the mark to now.
    f32 Elapsed();
    void AddBucket(s32 k) { buckets[k] += Elapsed(); }
    f32 Total() const;
};
