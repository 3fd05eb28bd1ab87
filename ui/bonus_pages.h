// The profile page (the career's bonus counters) and the race bonus page
// (the points of the race just run), both eight bonus tiles over the
// blurred garage.
#pragma once

inline constexpr int kShownBonusCount = 8;  // the tiles; the last two bonus slots are not shown

// The career's bonus totals, rating level and points, and a Back button.
void DrawProfilePage();

// The race's bonus points, the rating level they would reach, their sum
// counting up, and a Next button.
void DrawRaceBonusPage();

// The rating level after booking `raceSum` points: one more for each whole
// 10000 of career points plus the sum, up to seven.
int RatingLevelAfterBonus(int ratingLevel, float careerPoints, float raceSum);
