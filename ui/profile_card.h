// The player's profile card (tex16): name, rating level and its bar, cash,
// the owned truck, and optionally the Power, Handling and Turbo bars.
#pragma once

// The rating bars' targets: power, handling and turbo of the live set-up
// with its packages, each at most 1.
struct CarRatings {
  float power, handling, turbo;
};
CarRatings LiveCarRatings();

// The card turned 10 degrees about its centre (x, y) in the 800 x 600
// frame, with the three rating bars when `withBars`.
void DrawProfileCard(float x, float y, const CarRatings& ratings, bool withBars);
