// The game's gravity and physics sub-step, defined once: the race's physics
// world is made and stepped with them, and the physics tests and benchmarks
// take them from here so that they measure the game's own case.
#pragma once

#include "math/ne_math.h"

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
