// A racer's look for drawing, taken from its record by the copy step.
#pragma once

#include "framework/particle_effect.h"
#include "world/racer.h"

#include <cstdint>

// What the drawing reads of a racer's record: the truck's layout from its
// marker model (fixed for a race) and the step's steering, lamps and
// exhaust. Taken in the copy step, so that no draw reads the record (or the
// exhaust effects' settings) that the worker's next step writes.
struct RacerLook {
  int32_t carKind = 0;  // catalogue row: the wheel sizes
  TruckLayout layout;
  float steerAngle = 0;  // radians
  float brakeLight = 0, reverseLight = 0;
  float exhaustFlame = 0;
  EffectLook fire, smoke;  // the slot's exhaust effects as the race code set them
};
