// The game's gravity, physics sub-step and simulator sizes, defined once:
// the race's physics world is made and stepped with them, and the physics
// tests and benchmarks take them from here so that they measure the game's
// own case.
#pragma once

#include "math/ne_math.h"
#include "physics/simulator.h"

// The pull of the game's gravity, world units per second², straight down (−y).
inline constexpr f32 kGravityAcceleration = 8.5f;
inline const neV3 kGameGravity = neMakeV3(0, -kGravityAcceleration, 0);

// A race frame advances the simulator by kPhysicsTimeScale × its time, in
// kPhysicsSubSteps equal sub-steps.
inline constexpr f32 kPhysicsTimeScale = 2.3f;
inline constexpr int kPhysicsSubSteps = 4;

// The sub-step of a frame at 60 frames per second, seconds: the step the
// simulator usually takes in a race.
inline constexpr f32 kPhysicsSubStep = kPhysicsTimeScale / 60.0f / kPhysicsSubSteps;

// Traffic cars a race holds at the most.
inline constexpr int kCityCarSlotCount = 4;

// The pools of a race's simulator with `trafficCars` traffic cars (0 to
// kCityCarSlotCount): a body and a geometry for each of them and for every
// truck and prop part besides, and the broad phase's and the terrain
// tree's first allocations.
inline neSimulatorSizes RaceSimulatorSizes(int trafficCars) {
  constexpr int kBodiesBesideTraffic = 5005;
  neSimulatorSizes sizes;
  sizes.rigidBodiesCount = sizes.geometriesCount = trafficCars + kBodiesBesideTraffic;
  sizes.animatedBodiesCount = sizes.rigidParticleCount = 0;
  sizes.overlapPairsCount = 1225;
  sizes.terrainNodesStartCount = 100;
  return sizes;
}
