// The player's driving: the bound keys become steering, drive, brake, gear
// and boost; engine revolutions and sounds; race and lap clocks; progress
// along the race path, laps and places; the back-on-track reset; the
// player's race bonuses. Worker thread, once per race tick.
#pragma once

#include <cstdint>

// Bound controls, the rows of gKeyBindings.
enum PlayerControl : int {
  kControlSteerLeft = 0,
  kControlSteerRight = 1,
  kControlAccelerate = 2,
  kControlBrake = 3,
  kControlBoost = 4,
};

extern float gUpsideDownTime;  // seconds the truck's up axis has pointed less than 0.3 upward
extern float gEngineVolume;    // 0.35..1 loudness of the engine layers
extern float gShiftTime;       // seconds of drive cut left after a gear change
extern int32_t gBestPlaceSeen; // best place seen so far; taken from the first update of the run
extern float gSpeedSample;     // speed half a second ago, for the speed-change bonus

inline constexpr int kTopGear = 5;
inline constexpr float kIdleRpm = 1000.0f, kMaxRpm = 7500.0f;

// The gear the player's box chooses when accelerating at `speed` in `gear`:
// at least first; up at 10, 16.5, 23.3, 28.3; down below 9, 14.5, 20.3, 24.3.
int32_t AcceleratingGear(int32_t gear, float speed);
// Engine revolutions from speed and gear before the launch revs: 1000 in
// neutral, else speed x the gear's factor + 1000 (reverse as first).
float GearRpm(int32_t gear, float speed);
// Places: 4 less one for each opponent whose progress is below the
// player's (an equal progress counts as ahead).
int32_t PlayerPlace(float playerProgress, const float opponentProgress[3]);
// Forgets the values kept for the whole run (best place and speed sample),
// so that the next update takes them afresh.
void ResetPlayerRunState();
