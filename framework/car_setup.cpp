#include "framework/car_setup.h"

#include <algorithm>
#include <cmath>

namespace {

float ClampRating(float rating, float fallback) {
  return std::isfinite(rating) ? std::clamp(rating, 0.0f, 1.0f) : fallback;
}

}  // namespace

CarSetup DefaultCarSetup() {
  CarSetup setup{};
  setup.powerRating = 0.6f;
  setup.handlingRating = 0.5f;
  setup.turboRating = 0.55f;
  setup.partChoice[2] = 1;
  setup.partChoice[3] = 2;
  for (auto& colour : setup.zoneColour) {
    colour[0] = 0.38f;
    colour[1] = 0.0f;
    colour[2] = 0.0f;
  }
  return setup;
}

void ClampCarSetup(CarSetup& s) {
  for (int i = 0; i < kPartCount; ++i) {
    if (kPartChoiceCount[i] > 0) s.partChoice[i] = std::clamp(s.partChoice[i], 0, kPartChoiceCount[i] - 1);
  }
  s.enginePackage = std::clamp(s.enginePackage, 0, kMaxPackageLevel);
  s.suspensionPackage = std::clamp(s.suspensionPackage, 0, kMaxPackageLevel);
  s.turboPackage = std::clamp(s.turboPackage, 0, kMaxPackageLevel);
  // The power rating scales the truck's drive force: a NaN would reach the physics.
  const CarSetup fallback = DefaultCarSetup();
  s.powerRating = ClampRating(s.powerRating, fallback.powerRating);
  s.handlingRating = ClampRating(s.handlingRating, fallback.handlingRating);
  s.turboRating = ClampRating(s.turboRating, fallback.turboRating);
}
