// The race tick's view of the world, on the worker thread: the race camera,
// its frustum, the visible-leaf lists of the camera, the shadow light and
// the reflection cube faces, the racers' world matrices; and the copies of
// them that each tick publishes for the race frame on the render thread
// (read only while the worker waits in the lock-step).
#pragma once

#include "framework/vector_math.h"
#include "render/frustum.h"
#include "render/leaf_culling.h"
#include "render/race_camera.h"
#include "world/city_car.h"
#include "world/quadtree.h"
#include "world/racer.h"

#include <cstdint>

// ---- Worker side, written during the tick (the camera: race_camera.h;
// the planes and the sun's matrices: frustum.h) ----
extern NodeList gSimCameraLeaves, gSimLightLeaves, gSimCubeFaceLeaves[kCubeFaceCount];
// The cube face whose list the tick renewed last, 0..5: 0 at program start,
// never reset, so the faces go on cycling across races. The worker's own:
// the reflection pass keeps its face counter on the render thread.
extern int32_t gSimCubeFace;
extern uint8_t gSimRacerVisible[kRacerCount];
extern Matrix4 gSimRacerMatrix[kRacerCount];
extern Matrix4 gSimCityCarMatrix[kCityCarSlotCount];

// ---- Published at the end of each tick for the race frame ----
struct RaceViewCopies {
  NodeList cameraLeaves, lightLeaves, cubeFaceLeaves[kCubeFaceCount];
  Matrix4 cameraMatrix0, cameraMatrix1;
  neV3 cameraUp, cameraEye, cameraLookAt, cameraDir;
  float fovSpeed, fovBoost;
  uint8_t racerVisible[kRacerCount];  // racer inside the camera's view and within 300
  float bonusDisplayTime;  // seconds left showing the first queued bonus
  int32_t shownBonus;      // the first queued bonus kind, 0 for none
  float frameFactor;
};
extern RaceViewCopies gRaceViewCopies;

// A body's transform as a column-major 4x4 world matrix.
Matrix4 WorldMatrix(const neT3& transform);

// The view's start values for a freshly loaded race: the camera upright, no
// field-of-view widening, no bonus shown, the display clock full and the
// reflection cube due (reflection mode 0 renders it once per race).
void ResetRaceViewForStart();
