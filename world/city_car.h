// Traffic cars: four slots whose count sizes the physics pools. In the
// game's flow no traffic car gets a body, so only the record's body pointer
// matters to the race tick (it builds matrices only for cars with a body).
#pragma once

#include "physics/simulator.h"

inline constexpr int kCityCarSlotCount = 4;

struct CityCar {
  neRigidBody* body = nullptr;
};

extern CityCar gCityCars[kCityCarSlotCount];

// gCityCarCount within the four slots: the settings bound it where they are
// read, and the pools and the slot loops rely on it here as well.
int BoundedCityCarCount();
