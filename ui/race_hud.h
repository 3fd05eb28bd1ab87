// The race overlay: the finished scene put on the window with the crash
// colour split and the glow, the side panels, the gauge cluster with its
// needles and gear, place, lap and the three clocks, the minimap, and the
// start countdown. The state it keeps between frames (the shown speed, the
// decaying crash strength, the countdown clock) moves in UpdateRaceHud,
// which runs while the worker waits in the lock-step; DrawRaceHud then
// draws only from what UpdateRaceHud took.
#pragma once

#include <cstdint>

#include "framework/vector_math.h"
#include "world/racer.h"

// The countdown: the race phase clock starts at this when a track loads,
// the opponents start above kCountdownRelease, and the countdown ends at
// kCountdownEnd (the clock then reads 0).
inline constexpr float kCountdownRelease = 11.0f;
inline constexpr float kCountdownEnd = 13.0f;
// A frame advances the countdown by at most this frame factor (95 ms): a
// hitch cannot skip it, and a slow machine still gets through it.
inline constexpr float kCountdownLongestFrame = 9.5f;

extern float gHudSpeed;        // displayed speed, eased toward the truck's
extern int32_t gCountdownStep; // beep step of the countdown; cleared when a track loads

// What the countdown shows at race phase time t: nothing (null text), a
// digit or "START", with its alpha and scale, and the beep step on which
// entering it beeps.
struct CountdownFrame {
  const char* text = nullptr;
  float alpha = 0.0f;
  float scale = 0.0f;
  int beepStep = -1;
};
CountdownFrame CountdownAt(float t);

// One frame of the countdown clock: advanced by 0.01 per frame-factor unit,
// at most kCountdownLongestFrame of them; back to 0 once it reaches the end.
float AdvanceCountdown(float t, float frameFactor);

// The engine needle's turn in degrees for the engine revolutions, and the
// turbo needle's for the turbo amount 0..100.
float EngineNeedleAngle(float revolutions);
float TurboNeedleAngle(float turbo);
// The speed the speedometer aims at for a chassis speed.
float SpeedometerTarget(float speed);
// The gear letter: "R", "N", "1".."5".
const char* GearText(int gear);

// What the HUD reads of the race, taken while the worker waits.
struct HudView {
  float revolutions = 0, speed = 0, turbo = 0;
  bool boosting = false;
  int gear = 0, place = 1, laps = 0;
  int raceMinutes = 0, raceSeconds = 0;
  float raceHundredths = 0;
  int lapMinutes = 0, lapSeconds = 0;
  float lapHundredths = 0;
  int bestMinutes = 0, bestSeconds = 0;
  float bestHundredths = 0;
  float sway[4] = {1, 1, 1, 1};  // wheel heights; 1 is the resting truck
  neV3 position[kRacerCount];    // racers' world positions
  neV3 playerAxisX;              // the player's forward (x) axis
  bool finished = false;
  bool countdown = false;   // the countdown is shown
  float phaseTime = 0;      // race phase clock the countdown draws
  float crash = 0;          // crash colour split strength
};
extern HudView gHudView;

// The lock-step half of the overlay (main thread, worker waiting): takes
// the HUD view, runs the countdown clock and lifts the start hold, decays
// the crash effect, and runs the finish (booking, and the end of the race
// two seconds after the finish line).
void UpdateRaceHud();
// Draws the overlay over the finished scene and puts it on the window.
void DrawRaceHud();

// A ring of up to 100 glowing quads around the current origin counting the
// player's turbo as the HUD took it: the shown value climbs toward the
// turbo by 0.75 per frame-factor unit and drops to it at once; above 90
// the ring pulses toward white. Called by nothing in the game.
void DrawRingGauge();
// One frame of the ring's shown value.
float StepRingValue(float shown, float turbo, float frameFactor);
