// The end of a race for the career: the booking of the player's result
// into the career tables (once per loaded race) and the switch from the
// running race to the FINISH screen two seconds after the finish line.
#pragma once

#include <cstdint>

#include "framework/settings.h"

// Podium pay, in cash and career points alike, for places 1, 2 and 3.
inline constexpr float kPodiumPay[3] = {5000.0f, 2500.0f, 1000.0f};
// Seconds of race phase time between the finish and the FINISH screen.
inline constexpr float kFinishOverlaySeconds = 2.0f;

// Set by the booking, cleared by the race-loading screen when a track has
// loaded: a race is booked once however many frames show its finish.
extern uint8_t gFinishBooked;

// The player's result as the finish reads it from the racer record.
struct PlayerResult {
  int place = 4;  // 1..4
  int bestLapMinutes = 0, bestLapSeconds = 0;
  float bestLapHundredths = 0.0f;
};

// Books one finished race into the career by its game mode: the career's
// race slot (wins, runs, best lap, best place, podium pay, rating levels
// and the opening of the later competitions), the track list's stage and
// best place, or nothing for a quick race. A slot or series outside the
// tables books nothing.
void BookRaceResult(CareerRecord& career, const PlayerResult& result);

// Once per race frame after the player has finished: books the race in its
// second frame, advances the race phase clock, and after two seconds ends
// the race on screen 33 without a fade.
void DrawRaceFinish();
