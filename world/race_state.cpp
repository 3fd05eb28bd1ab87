#include "world/race_state.h"

#include "framework/globals.h"
#include "framework/random.h"

uint8_t gStartHold;
int32_t gRaceLaps;
float gRacePhaseTime;
float gCarPowerFactor;
float gSimFovBoost;
float gCrashEffect;
int32_t gCameraMode;
float gChaseDirX, gChaseDirZ, gChaseDirXGoal, gChaseDirZGoal;

float gBonusTimers[kBonusSlotCount] = {kBonusStartClock, kBonusStartClock, kBonusStartClock, kBonusStartClock,
                                       kBonusStartClock, kBonusStartClock, kBonusStartClock, kBonusStartClock,
                                       kBonusStartClock, kBonusStartClock};
int32_t gBonusEvents[kBonusSlotCount];
int32_t gBonusEventLast = -1;
float gRaceBonus[kBonusSlotCount];
float gBonusDisplayTime = kBonusDisplaySeconds;

namespace {

constexpr int kRaceLaps = 4;
constexpr float kRaceStartPhaseSeconds = 7.0f;

struct BonusRule {
  float threshold;  // seconds
  float points;
};

// By kind 1..8; the speed-change bonus has no clock rule of its own.
constexpr BonusRule kBonusRules[] = {
    {0.0f, 0.0f},      // no kind 0
    {5.0f, 100.0f},    // prop hit
    {5.0f, 350.0f},    // ram
    {5.0f, 350.0f},    // back on track
    {5.0f, 500.0f},    // shortcut
    {5.0f, 250.0f},    // overtake
    {20.0f, 500.0f},   // leading
    {25.0f, 500.0f},   // clean driving
    {0.0f, 250.0f},    // speed change
};

constexpr float kCleanDrivingSpeed = 10.0f;

bool KnownKind(int kind) { return kind >= kBonusPropHit && kind <= kBonusSpeedChange; }

}  // namespace

float BonusThreshold(int kind) { return KnownKind(kind) ? kBonusRules[kind].threshold : 0.0f; }

float BonusPoints(int kind) { return KnownKind(kind) ? kBonusRules[kind].points : 0.0f; }

bool QueueBonus(int kind) {
  if (!KnownKind(kind) || gBonusEventLast >= kLastBonusQueueIndex) return false;
  gBonusEventLast += 1;
  gBonusEvents[gBonusEventLast] = kind;
  gRaceBonus[kind - 1] += BonusPoints(kind);
  return true;
}

bool GiveBonus(int kind) {
  if (!KnownKind(kind) || gBonusTimers[kind - 1] <= BonusThreshold(kind)) return false;
  if (!QueueBonus(kind)) return false;
  gBonusTimers[kind - 1] = 0.0f;
  return true;
}

void AdvanceBonusClocks(float frameFactor, float playerSpeed) {
  const float seconds = frameFactor * 0.01f;
  for (int i = 0; i < kBonusSlotCount; ++i)
    if (i != kBonusCleanDriving - 1 || playerSpeed > kCleanDrivingSpeed) gBonusTimers[i] += seconds;
  if (gBonusEventLast < 0) return;
  gBonusDisplayTime -= seconds;
  if (gBonusDisplayTime >= 0.0f) return;
  gBonusEventLast -= 1;
  gBonusDisplayTime = kBonusDisplaySeconds;
  for (int i = 0; i <= gBonusEventLast; ++i) gBonusEvents[i] = gBonusEvents[i + 1];
  for (int i = gBonusEventLast + 1; i < kBonusSlotCount; ++i) gBonusEvents[i] = 0;
}

void ResetBonuses() {
  for (int i = 0; i < kBonusSlotCount; ++i) {
    gBonusTimers[i] = kBonusStartClock;
    gBonusEvents[i] = 0;
    gRaceBonus[i] = 0.0f;
  }
  gBonusEventLast = -1;
  gBonusDisplayTime = kBonusDisplaySeconds;
}

void ResetRaceState() {
  gRaceLaps = kRaceLaps;
  gStartHold = 1;
  gPlayerFinished = 0;
  gRacePhaseTime = kRaceStartPhaseSeconds;
  gChaseDirXGoal = 1.0f;
  gChaseDirZGoal = 0.0f;
  gChaseDirX = -5.5f;
  gChaseDirZ = -1.0f;
  gCameraMode = Random() % kRaceCameraModeCount;
}
