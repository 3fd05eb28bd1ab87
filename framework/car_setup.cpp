#include "framework/car_setup.h"

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
