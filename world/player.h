// The player's driving: the bound keys become steering, drive, brake, gear
// and boost; engine revolutions and sounds; race and lap clocks; progress
// along the race path, laps and places; the back-on-track reset; the
// player's race bonuses. Worker thread, once per race tick.
#pragma once

#include "math/ne_math.h"
#include "world/truck_tuning.h"

#include <cstdint>

class Racer;
struct ParticleEffect;

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

// ---- Shared with the opponent driver ----

// A force against the motion; below speed 1 scaled by the root of the speed.
float AgainstMotion(bool movingBackward, float forward, float backward, float speed);
// Before the start the truck stands still with a token drive force; once
// the player has finished it brakes against its motion. Either way it does
// not steer.
void HoldBeforeStartAndAfterFinish(Racer& car, bool movingBackward);
// The velocity points more than a right angle away from the forward axis.
bool MovingBackward(const neV3& velocity, const neV3& forward);
// Path point kinds 1, 4 and 5.
bool IsCheckpoint(int point);
// The race and lap clocks run by dt hundredths.
void AdvanceRaceClocks(Racer& car, float dt);
// The launch revolutions of first gear and reverse, then rpm within 1000..7500.
void AddLaunchRevolutions(Racer& car);
// displayRpm moves toward rpm by |gap| x 0.075 x dt, never past it.
void FollowDisplayRpm(Racer& car, float dt);
void SetEffect(ParticleEffect& effect, float strength, bool enabled);
// The slot's two dust effects from its slide and spin skids.
void SetDustEffects(const Racer& car);
// Within 22.5 of the next checkpoint: at point 0 a lap is counted (with the
// best-lap rule); then the next checkpoint is the following point of kind
// 1, 4 or 5 (0 past the last). Only the player hears the point sound and
// finishes the race when the laps run out.
void PassCheckpoint(Racer& car, const neV3& position, bool player);
