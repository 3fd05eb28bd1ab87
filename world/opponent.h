// The computer opponents' driver (racers 1..3): steering toward the next
// race-path point with a slow weave, a target speed from the bend ahead and
// from the gap to the player (catch-up), gears like the player's, braking
// for bends and for another opponent ahead, reversing out when stuck, engine
// revs on the start line, clocks and laps, engine and skid sounds and
// exhaust and dust effects. Worker thread, once per race tick after the
// player's update; the wheel model applies what it sets.
#pragma once

#include <cstdint>

extern float gOpponentWeavePhase;  // weave phase shared by the three opponents, radians

// The driver's speeds and ranges (world units per second, world units).
inline constexpr float kOpponentAvoidanceRange = 30.0f;
inline constexpr float kOpponentPointReach = 22.5f;
// Stuck clocks, in seconds of frame factor x 0.01: an opponent below 1.5
// that wants to go faster reverses after kReverseAfter; one held below 0.3
// for kUnstickAfter without the reverse clock getting there is lifted.
inline constexpr float kOpponentReverseAfter = 3.0f;
inline constexpr float kOpponentUnstickAfter = 4.5f;

// How hard an opponent drives for its place against the player.
struct CatchUp {
  float factor;    // drive power multiplier, 0.5..2
  float speedCap;  // its top speed, 10..32
};
// `gap` is (player's progress + 10) − the opponent's own progress; `lead`
// the smallest such gap over the three opponents, at most 0. An opponent
// more than 10 points ahead of the player slows down (the leading one most),
// one behind speeds up.
CatchUp OpponentCatchUp(float gap, float lead);

// The target speed before a bend of `bend` radians at the look-ahead
// point: the cap, reduced beyond 0.2 rad, never below 3.
float BendTargetSpeed(float speedCap, float bend);

// The look-ahead point once point `waypoint` has become the target at
// `speed`: at least (int)(speed x 0.35 + 1) points beyond it, never moved
// back, wrapped past point `last` of the loop.
int32_t NextLookAhead(int32_t waypoint, int32_t lookAhead, float speed, int32_t last);
