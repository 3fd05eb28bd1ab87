// The screens of a career between races and the quick race: the garage hub
// with the profile card, the competitions pyramid, the race selection with
// its four race cards, and the quick-race screen.
#pragma once

#include <cstdint>

// Rating gained per tuning package level, and the factor's ceiling.
inline constexpr float kPackageRatingStep = 0.05f;
// A base rating with `level` packages: + 0.05 a level, at most 1.
float RatingFactor(float base, int level);
// The three factors of the player's live set-up into their globals.
void ComputeRatingFactors();

// A truck's name by catalogue index; "" outside the catalogue.
const char* CarName(int index);
// A race path's length in kilometres from its last waypoint index (7 m a
// waypoint).
float RaceLengthKm(int lastWaypoint);
// Races a competition has won: those of its four whose best place is 1.
int CompetitionWins(const int32_t* bestPlace, int competition);

// Screen blocks of the state machine.
void DrawGarageHub();
void DrawCompetitions();
void DrawSelectRace();
void DrawQuickRace();
