// The physics world of a race: the simulator with its materials, collision
// table and terrain, the four trucks on the starting grid, the collision
// callback (crash sounds and collision bonuses) and the per-frame step with
// its frame-time smoothing. Worker thread only.
#pragma once

#include "framework/model.h"
#include "physics/simulator.h"

#include <cstdint>

extern neSimulator* gSimulator;       // the running race's simulator; null between races
extern float gPrevPhysicsFrameTime;   // clamped frame time of the previous step, seconds; 0 before the first

// The longest time one step covers, seconds; a longer frame steps this.
inline constexpr float kMaxPhysicsFrameTime = 0.1f;

// Crash sounds that follow a body: gSndCrash's 4 banks of 4, each with a
// busy byte and the body it follows (the camera-and-listener code moves
// busy sounds to their bodies and frees them once stopped).
inline constexpr int kCrashBankCount = 4;
inline constexpr int kCrashSoundsPerBank = 4;
extern uint8_t gCrashSoundBusy[kCrashBankCount][kCrashSoundsPerBank];
extern neRigidBody* gCrashSoundPos[kCrashBankCount][kCrashSoundsPerBank];

// What one physics step does with a frame time.
struct PhysicsStepPlan {
  float frameTime;  // the smoothed time, stored as the previous one
  bool advance;     // the racers update and the simulator advances
  int subSteps;
  float simulatedTime;  // frameTime x kPhysicsTimeScale
};
// The smoothing and the sub-step rule: within 0.8..1.2 x the previous time
// (when there is one), at most 0.1 s; anything above 0 is stepped, in
// kPhysicsSubSteps sub-steps, or more above 1/17 s.
PhysicsStepPlan PlanPhysicsStep(float frameTime, float previousFrameTime);

// The unit ground direction from the path's first point to its second,
// which the grid faces; +x when the two stand on one vertical.
neV3 GridDirection(const neV3& first, const neV3& second);
// Where racer `slot` (0..3) stands on the starting grid of a path whose
// first two points are given: behind the first point along the ground
// direction to the second, to one side, before the lift that drops the
// truck onto its wheels.
neV3 GridSlotPosition(const neV3& first, const neV3& second, int slot);

// Creates the simulator of a track whose race path, world models and props
// are loaded: pools, gravity, materials, the four racers on the grid with
// their drivers started fresh, the terrain from the physic world model
// (which it then frees), the props' bodies, the collision table and
// callback, and the looping race sounds.
void InitPhysicsWorld();
// The engine's terrain from a model's vertices and triangles, all of
// material 0; the model itself is left alone.
void BuildTerrainMesh(neSimulator* sim, const Model& physic);
// The collision callback: crash sounds, the crash effect and collision bonuses.
void OnCollision(neCollisionInfo* info);
// One race frame's physics: smooths gPhysicsFrameTime, updates the player
// and the opponents, advances the simulator.
void StepPhysicsWorld();
// Destroys the simulator and forgets every body pointer into it; the props
// went with it, so no prop is left to update or draw.
void DestroyPhysicsWorld();
