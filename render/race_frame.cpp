// The race frame: the copy step while the worker waits, the flip, and the
// passes in their fixed order (see race_frame.h for what it reads and the
// GL state it leaves).
#include "render/race_frame.h"

#include "framework/globals.h"
#include "platform/gl.h"
#include "render/garage_camera.h"
#include "render/gl_resources.h"
#include "render/prop_draw.h"  // TakePropStates
#include "render/race_frame_passes.h"
#include "render/race_view.h"
#include "render/renderer.h"
#include "world/race_state.h"

#include <algorithm>

NodeList gVisibleNodes, gShadowNodes, gCubeFaceNodes[kCubeFaceCount];
float gFovSpeed, gFovBoost;
Matrix4 gRacerMatrix[kRacerCount];
Matrix4 gCityCarMatrix[kCityCarSlotCount];
uint8_t gRacerVisible[kRacerCount];
float gRenderFrameFactor;
uint8_t gStartHoldDrawn;
RacerDrawn gRacerDrawn[kRacerCount];
float gLeafDistSqDrawn[kQuadTreeLeafCount];
TyreTrackRings gTyreTracksDrawn;
WheelParticle gDustDrawn[kRacerCount][kWheelCount][kDustRingSize];
Matrix4 gPropPartMatrixDrawn[kCityObjectCapacity][kMaxPropParts];
float gFarPlane = 400.0f;
float gSunPosition[3];

namespace {

constexpr float kMenuClockPerFrameFactor = 0.01f;
constexpr float kSunX = 25000.0f, kSunY = 50000.0f, kSunZ = 25000.0f;

// Race projection: 45 degrees, widened by speed (up to 5) and boost (x3).
constexpr double kRaceFieldOfView = 45.0, kFovPerSpeed = 5.0, kFovBoostScale = 2.0;
constexpr double kRaceNearPlane = 0.1;
// Menus over the garage scene.
constexpr double kGarageFieldOfView = 30.0, kGarageFarPlane = 15000.0;
constexpr double kGarageNearPerZoom = 0.9, kGarageNearBase = 1.0;

// Requested by the countdown on the render thread, applied by the copy step.
uint8_t gStartHoldReleaseRequested;

// Dust particles the worker spawned, per racer and wheel, as last taken over.
int32_t gDustTakenOver[kRacerCount][kWheelCount];
// The head of each track ring as last taken over.
int32_t gTrackTakenOver[kRacerCount][kWheelCount];

bool ShadowsOn() { return gShadowMapSize > kShadowMapSizeOff; }

void CopyLeafLists() {
  const RaceViewCopies& published = gRaceViewCopies;
  gVisibleNodes = published.cameraLeaves;
  if (ShadowsOn()) gShadowNodes = published.lightLeaves;
  for (int f = 0; f < kCubeFaceCount; ++f) gCubeFaceNodes[f] = published.cubeFaceLeaves[f];
  if (!gQuadTreeLeaves) return;
  for (int i = 0; i < gVisibleNodes.count; ++i) {
    const int leaf = gVisibleNodes.leaf[i];
    gLeafDistSqDrawn[leaf] = gQuadTreeLeaves[leaf].cameraDistSq;
  }
}

void CopyCamera() {
  const RaceViewCopies& published = gRaceViewCopies;
  if (ShadowsOn()) {
    gLightProjection = published.cameraMatrix0;
    gLightView = published.cameraMatrix1;
  }
  gRaceCameraUp = published.cameraUp;
  gCameraEye = published.cameraEye;
  gRaceLookAt = published.cameraLookAt;
  gGarageLookAt = published.cameraDir;
  gFovSpeed = published.fovSpeed;
  gFovBoost = published.fovBoost;
}

// The particles spawned since the last copy, newest last; a ring the worker
// lapped within one step is taken over whole.
void TakeOverDust(const Racer& car, int slot) {
  for (int w = 0; w < kWheelCount; ++w) {
    int32_t fresh = car.dustSpawned[w] - gDustTakenOver[slot][w];
    if (fresh < 0) {  // a new race restarted the count: the old dust is gone
      for (WheelParticle& particle : gDustDrawn[slot][w]) particle.alive = 0;
      fresh = car.dustSpawned[w];
    }
    fresh = std::min(fresh, kDustRingSize);
    for (int k = 1; k <= fresh; ++k) {
      const int index = (car.dustHead[w] - k + kDustRingSize) % kDustRingSize;
      gDustDrawn[slot][w][index] = gWheelParticles[slot][w][index];
    }
    gDustTakenOver[slot][w] = car.dustSpawned[w];
  }
}

// The quads laid since the last copy. The wheel model lays at most a few
// dozen a step, never a whole ring, so the stretch from the old head to the
// new one is all that changed (a new race restarting the heads included).
void TakeOverTracks(const Racer& car, int slot) {
  for (int w = 0; w < kWheelCount; ++w) {
    const int32_t head = std::clamp(car.trackHeadDraw[w], 0, kTyreTrackRingSize - 1);
    for (int32_t i = gTrackTakenOver[slot][w]; i != head; i = (i + 1) % kTyreTrackRingSize)
      gTyreTracksDrawn[slot][w][i] = gTyreTracks[slot][w][i];
    gTrackTakenOver[slot][w] = head;
  }
}

void CopyRacers() {
  for (int i = 0; i < kRacerCount; ++i) {
    const Racer& car = gRacers[i];
    gRacerMatrix[i] = gSimRacerMatrix[i];
    gRacerVisible[i] = gSimRacerVisible[i];
    RacerDrawn& drawn = gRacerDrawn[i];
    for (int w = 0; w < kWheelCount; ++w) {
      drawn.wheelDrop[w] = car.suspensionDraw[w];
      drawn.wheelRoll[w] = car.wheelRollDraw[w];
      drawn.tyreTrackHead[w] = car.trackHeadDraw[w];
    }
    drawn.velocity = car.velocityDraw;
    TakeRacerLook(i, drawn.look);
    TakeOverTracks(car, i);
    TakeOverDust(car, i);
  }
  for (int i = 0; i < kCityCarSlotCount; ++i) gCityCarMatrix[i] = gSimCityCarMatrix[i];
}

void CopyPropTransforms() {
  const int count = std::clamp(gCityObjectCount, 0, kCityObjectCapacity);
  for (int i = 0; i < count; ++i) {
    const CityObject& prop = gCityObjects[i];
    for (int p = 0; p < kMaxPropParts; ++p)
      if (prop.partBodies[p]) gPropPartMatrixDrawn[i][p] = WorldMatrix(prop.partBodies[p]->GetTransform());
  }
}

}  // namespace

void RequestStartHoldRelease() { gStartHoldReleaseRequested = 1; }

void CopyPublishedRaceState() {
  CopyLeafLists();
  CopyCamera();
  CopyRacers();
  CopyPropTransforms();
  gRenderFrameFactor = gRaceViewCopies.frameFactor;
  TakePropStates(gRenderFrameFactor);
  gMenuClock += gRenderFrameFactor * kMenuClockPerFrameFactor;
  if (gStartHoldReleaseRequested) {
    gStartHold = 0;
    gStartHoldReleaseRequested = 0;
  }
  gStartHoldDrawn = gStartHold;
}

void RenderRaceFrame() {
  CopyPublishedRaceState();
  gRenderBit = gRenderBit ? 0 : 1;  // from here the worker runs its next step
  if (RaceFrameTargetsMade())
    DrawRaceFramePasses();
  else
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool RaceFrameTargetsMade() { return gResolveFbo != 0; }

int RaceWidth() {
  int32_t width = 0, height = 0;
  if (!ResolutionSize(gResolutionIndex, width, height)) ResolutionSize(0, width, height);
  return width;
}

int RaceHeight() {
  int32_t width = 0, height = 0;
  if (!ResolutionSize(gResolutionIndex, width, height)) ResolutionSize(0, width, height);
  return height;
}

float RaceFieldOfView(float fovSpeed, float fovBoost) {
  return float(kRaceFieldOfView + kFovPerSpeed * fovSpeed * (1.0 + kFovBoostScale * fovBoost));
}

void SetProjection(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = double(width) / height;
  if (gTargetScreen == ScreenState::Racing)
    gluPerspective(RaceFieldOfView(gFovSpeed, gFovBoost), aspect, kRaceNearPlane, gFarPlane);
  else
    gluPerspective(kGarageFieldOfView, aspect, gGarageViewZoom * kGarageNearPerZoom + kGarageNearBase, kGarageFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void SetupLights() {
  const GLfloat sun[4] = {kSunX, kSunY, kSunZ, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, sun);
  std::copy(sun, sun + 3, gSunPosition);
  const GLfloat eye[4] = {gCameraEye.x, gCameraEye.y, gCameraEye.z, 0.0f};
  glLightfv(GL_LIGHT1, GL_POSITION, eye);
}
