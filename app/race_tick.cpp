#include "app/race_tick.h"

#include "framework/frame_clock.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "render/race_view.h"
#include "world/city_car.h"
#include "world/city_object.h"
#include "world/physics_world.h"
#include "world/race_state.h"
#include "world/racer.h"

#include <algorithm>

float gPointSoundFade = -1.5f;

namespace {

constexpr float kStallSeconds = 0.2f;
constexpr float kRacerVisibleRange = 300.0f;
constexpr int kNoShadowMapSize = 16;

void SetFrameTime(float seconds) {
  gFrameSeconds = seconds;
  gFps = seconds > 0.0f ? 1.0f / seconds : 0.0f;
  const bool stall = seconds > kStallSeconds;
  gFrameFactor = stall ? 0.0f : seconds * 100.0f;
  gPhysicsFrameTime = stall ? 0.0f : seconds;
}

// Field of view widens with speed: toward clamp(speed x 0.075 - 1, 0, 1).
void EaseFovSpeed(float playerSpeed) {
  const float goal = std::clamp(playerSpeed * 0.075f - 1.0f, 0.0f, 1.0f);
  const float step = gFrameFactor * 0.005f;
  if (gSimFovSpeed > goal) gSimFovSpeed -= step;
  if (gSimFovSpeed < goal) gSimFovSpeed += step;
  gSimFovSpeed = std::min(gSimFovSpeed, 1.0f);
}

void CollectInto(NodeList& list, bool sides) {
  list.count = 0;
  if (sides)
    CollectVisibleLeavesSides(gFrustumPlanes, list);
  else
    CollectVisibleLeaves(gFrustumPlanes, list);
}

// Each visible leaf keeps its squared ground distance to the eye, by which
// the renderer sorts them.
void StoreLeafDistances(const NodeList& list, const neV3& eye) {
  if (!gQuadTreeLeaves) return;
  for (int i = 0; i < list.count; ++i) {
    QuadTreeList& leaf = gQuadTreeLeaves[list.leaf[i]];
    leaf.cameraDistSq = (eye.x - leaf.cx) * (eye.x - leaf.cx) + (eye.z - leaf.cz) * (eye.z - leaf.cz);
  }
}

void CullCameraAndRacers() {
  SetupCameraFrustum(kViewCamera, 0);
  CollectInto(gSimCameraLeaves, false);
  StoreLeafDistances(gSimCameraLeaves, gSimCameraEye);
  for (int i = 0; i < kRacerCount; ++i) {
    gSimRacerVisible[i] = 0;
    if (!gRacers[i].body) continue;
    const neV3 p = gRacers[i].body->GetPos();
    const neV3 d = p - gSimCameraEye;
    if (d.Dot(d) < kRacerVisibleRange * kRacerVisibleRange && BoxInFrustum(p, gFrustumPlanes)) gSimRacerVisible[i] = 1;
  }
}

void CullLightAndReflections() {
  if (gShadowMapSize > kNoShadowMapSize) {
    SetupCameraFrustum(kViewShadowLight, 0);
    CollectInto(gSimLightLeaves, true);
  }
  const int faces = gReflectionMode == 1 ? kCubeFaceCount / 2 : kCubeFaceCount;
  for (int i = 0; i < faces; ++i) {
    gCubeFace = (gCubeFace + 1) % kCubeFaceCount;
    SetupCameraFrustum(kViewCubeFace, gCubeFace);
    CollectInto(gSimCubeFaceLeaves[gCubeFace], false);
  }
}

void PublishView() {
  RaceViewCopies& c = gRaceViewCopies;
  c.cameraLeaves = gSimCameraLeaves;
  c.lightLeaves = gSimLightLeaves;
  for (int f = 0; f < kCubeFaceCount; ++f) c.cubeFaceLeaves[f] = gSimCubeFaceLeaves[f];
  c.cameraMatrix0 = gSimCameraMatrix0;
  c.cameraMatrix1 = gSimCameraMatrix1;
  c.cameraUp = gSimCameraUp;
  c.cameraEye = gSimCameraEye;
  c.cameraLookAt = gSimCameraLookAt;
  c.cameraDir = gSimCameraDir;
  c.fovSpeed = gSimFovSpeed;
  c.fovBoost = gSimFovBoost;
}

void PublishRacers() {
  for (int i = 0; i < kRacerCount; ++i) {
    CSampleCar& car = gRacers[i];
    if (car.body) gSimRacerMatrix[i] = WorldMatrix(car.body->GetTransform());
    for (int w = 0; w < kWheelCount; ++w) {
      car.suspensionDraw[w] = car.suspension[w];
      car.wheelRollDraw[w] = car.wheelRoll[w];
      car.trackHeadDraw[w] = car.trackHead[w];
    }
    car.velocityDraw = car.velocity;
  }
  const int traffic = BoundedCityCarCount();
  for (int i = 0; i < traffic; ++i)
    if (gCityCars[i].body) gSimCityCarMatrix[i] = WorldMatrix(gCityCars[i].body->GetTransform());
}

}  // namespace

void RunRaceTick(float frameSeconds) {
  SetFrameTime(frameSeconds);
  StepPhysicsWorld();
  UpdateCityObjects();
  SetupCameraAndListener(0, 0);

  gPointSoundFade += gFrameFactor * 0.004f;
  gSndPoint.SetGain(std::clamp(gPointSoundFade, 0.0f, 1.0f));
  EaseFovSpeed(gRacers[0].speed);

  CullCameraAndRacers();
  CullLightAndReflections();
  PublishView();
  PublishRacers();

  AdvanceBonusClocks(gFrameFactor, gRacers[0].speed);
  gRaceViewCopies.bonusDisplayTime = gBonusDisplayTime;
  gRaceViewCopies.shownBonus = gBonusEventLast >= 0 ? gBonusEvents[0] : 0;
  gRaceViewCopies.frameFactor = gFrameFactor;
}

void StepRaceSimulation() { RunRaceTick(GetFrameSeconds()); }
