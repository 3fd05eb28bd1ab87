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

constexpr float kRacerVisibleRange = 300.0f;
constexpr int kNoShadowMapSize = 16;

// Field of view widens with speed: toward clamp(speed x 0.075 - 1, 0, 1).
void EaseFovSpeed(float playerSpeed) {
  const float goal = std::clamp(playerSpeed * 0.075f - 1.0f, 0.0f, 1.0f);
  const float step = gFrameFactor * 0.005f;
  if (gSimFovSpeed > goal) gSimFovSpeed -= step;
  if (gSimFovSpeed < goal) gSimFovSpeed += step;
  gSimFovSpeed = std::min(gSimFovSpeed, 1.0f);
}

// Reflection faces whose lists a tick renews, by the reflection setting:
// all six for modes 0 and 2, half for mode 1.
int CubeFacesPerTick(int reflectionMode) {
  switch (reflectionMode) {
    case 0:
    case 2: return kCubeFaceCount;
    case 1: return kCubeFaceCount / 2;
    default: return 1;
  }
}

// The list of the view just set up; empty while no world is loaded.
void CollectInto(NodeList& list, bool sides) {
  list.count = 0;
  if (!gQuadTreeRoot) return;
  if (sides)
    CollectVisibleLeavesSides(*gQuadTreeRoot, gFrustumPlanes, list);
  else
    CollectVisibleLeaves(*gQuadTreeRoot, gFrustumPlanes, list);
}

void CullCameraAndRacers() {
  SetupCameraFrustum(kViewCamera, 0);
  CollectInto(gSimCameraLeaves, false);
  StoreLeafDistances(gSimCameraLeaves, gDrawnCameraEye.x, gDrawnCameraEye.z);
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
  const int faces = CubeFacesPerTick(gReflectionMode);
  for (int i = 0; i < faces; ++i) {
    gSimCubeFace = (gSimCubeFace + 1) % kCubeFaceCount;
    SetupCameraFrustum(kViewCubeFace, gSimCubeFace);
    CollectInto(gSimCubeFaceLeaves[gSimCubeFace], false);
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
  for (int i = 0; i < kRacerCount; ++i) c.racerVisible[i] = gSimRacerVisible[i];
}

void PublishRacers() {
  for (int i = 0; i < kRacerCount; ++i) {
    Racer& car = gRacers[i];
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
  ApplyFrameTime(frameSeconds);
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
