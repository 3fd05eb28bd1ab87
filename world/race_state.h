// State of the running race that the racers, the physics world, the race
// tick and the race HUD share: the start hold and the laps, the player's
// power factor, the bonus clocks and the bonus display queue. Worker
// thread unless noted; the HUD reads only the race tick's render copies.
#pragma once

#include <cstdint>

// ---- Race flags (gPlayerFinished is a hand-over value in framework/globals.h) ----
extern uint8_t gStartHold;      // 1 while the start countdown runs: racers held on the grid, clocks stopped
extern int32_t gRaceLaps;       // laps of the race
extern float gRacePhaseTime;    // seconds; 0 when the player finishes, advanced by the finish overlay
extern float gCarPowerFactor;   // drive-power factor of the player's set-up; written by the garage screens
// The set-up factors (power, handling, turbo) of a race started without
// the garage's shops (the direct race, and a race a test starts).
inline constexpr float kDirectRaceFactor = 0.85f;
extern float gSimFovBoost;      // 0..1 field-of-view widening while boosting, read by the camera
extern float gCrashEffect;      // 0..1 strength of the screen's crash effect, 1 on a hard hit; the HUD decays it
inline constexpr int kRaceCameraModeCount = 3;
extern int32_t gCameraMode;     // race camera mode 0..2, drawn at random when a track loads; read by the start camera
// Chase-camera direction on the ground and its goal: set from the start
// direction when the physics world is made, eased by the race camera.
extern float gChaseDirX, gChaseDirZ, gChaseDirXGoal, gChaseDirZGoal;

// ---- Bonuses ----
// Kinds 1..8; kind k keeps its clock in gBonusTimers[k - 1].
enum BonusKind : int32_t {
  kBonusPropHit = 1,      // a car hits a prop hard
  kBonusRam = 2,          // the player rams a slower opponent
  kBonusBackOnTrack = 3,  // the player's truck is put back on the track
  kBonusShortcut = 4,     // progress jumps by more than 30 between two reached points
  kBonusOvertake = 5,     // two or more places gained
  kBonusLeading = 6,      // leading the race
  kBonusCleanDriving = 7, // 25 s above speed 10 without touching terrain or a prop
  kBonusSpeedChange = 8,  // a speed change of more than 15 within half a second
};
inline constexpr int kBonusSlotCount = 10;     // clocks, queue entries and point totals
inline constexpr int kLastBonusQueueIndex = 9; // the queue is full at this index
inline constexpr float kBonusStartClock = 5.0f;    // seconds, every clock at program start and track load
inline constexpr float kBonusDisplaySeconds = 2.0f;  // each queued bonus is shown this long

extern float gBonusTimers[kBonusSlotCount];  // seconds since each kind was last given
extern int32_t gBonusEvents[kBonusSlotCount];  // queue of kinds to display, first in first out
extern int32_t gBonusEventLast;              // index of the last queued kind; -1 when empty
extern float gRaceBonus[kBonusSlotCount];    // points earned per kind in this race
extern float gBonusDisplayTime;              // seconds left showing the first queued kind

// Seconds a kind's clock must exceed before it is given again.
float BonusThreshold(int kind);
// Points a kind is worth.
float BonusPoints(int kind);
// Gives bonus `kind` when the queue has room and its clock is above its
// threshold: queues it, restarts its clock and adds its points. True when given.
bool GiveBonus(int kind);
// Queues `kind` with its points when the queue has room, without looking at
// or restarting a clock (the speed-change bonus). True when queued.
bool QueueBonus(int kind);
// Once per race tick: the bonus clocks run (the clean-driving clock only
// while the player is faster than 10), and the first queued bonus is
// shown for 2 s before the next moves up.
void AdvanceBonusClocks(float frameFactor, float playerSpeed);
// Every clock at kBonusStartClock, the queue empty, no points, the display clock full.
void ResetBonuses();
// A race about to start: its laps, the start hold and phase clock, not
// finished, and the chase camera's first direction.
void ResetRaceState();
