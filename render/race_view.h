// The race tick's view of the world, on the worker thread: the race camera,
// its frustum, the visible-leaf lists of the camera, the shadow light and
// the reflection cube faces, the racers' world matrices; and the copies of
// them that each tick publishes for the race frame on the render thread
// (read only while the worker waits in the lock-step).
#pragma once

#include "framework/vector_math.h"
#include "world/city_car.h"
#include "world/quadtree.h"
#include "world/racer.h"

#include <cstdint>

inline constexpr int kCubeFaceCount = 6;
inline constexpr int kFrustumPlaneCount = 6;

// The views SetupCameraFrustum builds.
enum RaceView : int { kViewCamera = 0, kViewShadowLight = 1, kViewCubeFace = 2 };

// ---- Worker side, written during the tick ----
extern neV3 gSimCameraEye, gSimCameraLookAt, gSimCameraUp, gSimCameraDir;
extern Matrix4 gSimCameraMatrix0;  // projection of the last view set up
extern Matrix4 gSimCameraMatrix1;  // view of the last view set up
extern float gSimFovSpeed;         // 0..1 field-of-view widening with speed
extern float gFrustumPlanes[kFrustumPlaneCount][4];  // unit normal (inside positive) and distance
extern NodeList gSimCameraLeaves, gSimLightLeaves, gSimCubeFaceLeaves[kCubeFaceCount];
extern int32_t gCubeFace;  // cube face refreshed last, 0..5; carries over between races
extern uint8_t gSimRacerVisible[kRacerCount];
extern Matrix4 gSimRacerMatrix[kRacerCount];
extern Matrix4 gSimCityCarMatrix[kCityCarSlotCount];

// ---- Published at the end of each tick for the race frame ----
struct RaceViewCopies {
  NodeList cameraLeaves, lightLeaves, cubeFaceLeaves[kCubeFaceCount];
  Matrix4 cameraMatrix0, cameraMatrix1;
  neV3 cameraUp, cameraEye, cameraLookAt, cameraDir;
  float fovSpeed, fovBoost;
  float bonusDisplayTime;  // seconds left showing the first queued bonus
  int32_t shownBonus;      // the first queued bonus kind, 0 for none
  float frameFactor;
};
extern RaceViewCopies gRaceViewCopies;

// A body's transform as a column-major 4x4 world matrix.
Matrix4 WorldMatrix(const neT3& transform);

// ---- Camera and culling (the race camera and visibility work) ----
// Places the race camera behind the player and the sound listener with it,
// and keeps busy crash sounds at their bodies, freeing them once stopped.
void SetupCameraAndListener(int, int);
// Projection and view of one view (camera, shadow light, cube face) into
// gSimCameraMatrix0/1, and its six clip planes into gFrustumPlanes.
void SetupCameraFrustum(int view, int face);
// True when the box of +-10 around the point lies at least partly inside
// the six planes.
bool BoxInFrustum(const neV3& point, const float planes[kFrustumPlaneCount][4]);
// Appends the leaves of gQuadTreeRoot inside the planes to the (emptied)
// list; the side-plane variant serves the shadow light's view.
void CollectVisibleLeaves(const float planes[kFrustumPlaneCount][4], NodeList& list);
void CollectVisibleLeavesSides(const float planes[kFrustumPlaneCount][4], NodeList& list);
