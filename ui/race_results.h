// The screens around a race: race loading (32), which starts the race once
// the track is loaded; FINISH (33), which shows the player's place while
// the garage loads again; RESULTS (34), the four racers in order with their
// projected times.
#pragma once

#include "world/racer.h"

// A race time as the racer record holds it.
struct RaceTime {
  int minutes = 0, seconds = 0;
  float hundredths = 0.0f;
};

// One results row.
struct ResultRow {
  RaceTime raceTime;   // the racer's time, plus the time still to drive
  RaceTime bestLap;
  int carIndex = 0;    // catalogue row 0..17
  float progress = 0;  // route progress
  int racer = 0;       // 0 the player
};

// Hundredths of a second added per unit of route progress still to drive.
inline constexpr float kHundredthsPerProgressUnit = 25.0f;

// A time with `hundredths` more, whole hundreds of hundredths carried into
// seconds and whole sixties of seconds into minutes.
RaceTime AddHundredths(RaceTime time, float hundredths);

// The four rows from the racers' own fields: each time projected to the
// leader's progress, leaders first; racers of equal progress keep their
// order (the player first).
struct RacerResultInput {
  RaceTime raceTime, bestLap;
  int carIndex = 0;
  float progress = 0;
};
void BuildResultRows(const RacerResultInput (&racers)[kRacerCount], ResultRow (&rows)[kRacerCount]);

// "1 PLACE!" .. "4 PLACE!"; null for another place.
const char* PlaceText(int place);

// The race's own overlay flags (finish booking, countdown beeps, shown
// speed) cleared for a new start: the race loading's, and the pause's
// restart of the same track.
void ClearRaceOverlayFlags();

// Screen blocks of the state machine.
void DrawRaceLoading();
void DrawRaceFinishScreen();
void DrawRaceResults();
