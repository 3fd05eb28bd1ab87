// The truck the garage shows, as its scene and its shadow draw it.
#pragma once

#include "framework/model.h"
#include "world/racer.h"

// The truck standing in the showroom.
struct ShowroomTruck {
  const Model* car = nullptr;
  const Model* optics = nullptr;  // groups 0..2: the lamps, dark in the showroom
  const Model* glass = nullptr;
  const Model* wheel = nullptr;
  const Model* points = nullptr;  // marker model: groups 4..6 place the spinning parts
  const Racer* record = nullptr;
  float frontWheelScale = 1, rearWheelScale = 1;
};
