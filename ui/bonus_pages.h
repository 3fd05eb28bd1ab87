// The profile page (the career's bonus counters) and the race bonus page
// (the points of the race just run), both eight bonus tiles over the
// blurred garage.
#pragma once

#include "framework/settings.h"  // CareerRecord
#include "world/race_state.h"    // kBonusSlotCount

inline constexpr int kShownBonusCount = 8;  // the tiles; the last two bonus slots are not shown

// The career's bonus totals, rating level and points, and a Back button.
void DrawProfilePage();

// The race's bonus points, the rating level they would reach, their sum
// counting up, and a Next button.
void DrawRaceBonusPage();

// The rating level after booking `raceSum` points: one more for each whole
// 10000 of career points plus the sum, up to seven.
int RatingLevelAfterBonus(int ratingLevel, float careerPoints, float raceSum);

// Books the race's bonus points into the career as the bonus page is left
// for the garage: each kind onto its career total, their sum onto the
// career points and the cash; every whole 10000 points is a rating level
// and takes 10000 off each total that has it (a smaller total starts
// again from 0). The race's points are then spent (all 0).
void BookRaceBonus(CareerRecord& career, float (&raceBonus)[kBonusSlotCount]);
