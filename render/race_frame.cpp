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
#include "world/race_state.h"

#include <algorithm>

RaceFrameInput gRaceFrame;

namespace {

constexpr float kMenuClockPerFrameFactor = 0.01f;
// Requested by the countdown on the render thread, applied by the copy step.
uint8_t gStartHoldReleaseRequested;

bool ShadowsOn() { return gShadowMapSize > kShadowMapSizeOff; }

void CopyLeafLists(RaceFrameInput& frame) {
  const RaceViewCopies& published = gRaceViewCopies;
  frame.visibleNodes = published.cameraLeaves;
  if (ShadowsOn()) frame.shadowNodes = published.lightLeaves;
  for (int f = 0; f < kCubeFaceCount; ++f) frame.cubeFaceNodes[f] = published.cubeFaceLeaves[f];
  if (!gQuadTreeLeaves) return;
  for (int i = 0; i < frame.visibleNodes.count; ++i) {
    const int leaf = frame.visibleNodes.leaf[i];
    frame.leafDistSq[leaf] = gQuadTreeLeaves[leaf].cameraDistSq;
  }
}

void CopyCamera(RaceFrameInput& frame) {
  const RaceViewCopies& published = gRaceViewCopies;
  if (ShadowsOn()) {
    gLightProjection = published.cameraMatrix0;
    gLightView = published.cameraMatrix1;
  }
  gRaceCameraUp = published.cameraUp;
  gCameraEye = published.cameraEye;
  gRaceLookAt = published.cameraLookAt;
  gGarageLookAt = published.cameraDir;
  frame.fovSpeed = published.fovSpeed;
  frame.fovBoost = published.fovBoost;
}

// The particles spawned since the last copy, newest last; a ring the worker
// lapped within one step is taken over whole.
void TakeOverDust(RaceFrameInput& frame, const Racer& car, int slot) {
  for (int w = 0; w < kWheelCount; ++w) {
    int32_t fresh = car.dustSpawned[w] - frame.dustTakenOver[slot][w];
    if (fresh < 0) {  // a new race restarted the count: the old dust is gone
      for (WheelParticle& particle : frame.dust[slot][w]) particle.alive = 0;
      fresh = car.dustSpawned[w];
    }
    fresh = std::min(fresh, kDustRingSize);
    for (int k = 1; k <= fresh; ++k) {
      const int index = (car.dustHead[w] - k + kDustRingSize) % kDustRingSize;
      frame.dust[slot][w][index] = gWheelParticles[slot][w][index];
    }
    frame.dustTakenOver[slot][w] = car.dustSpawned[w];
  }
}

// The quads laid since the last copy. The wheel model lays at most a few
// dozen a step, never a whole ring, so the stretch from the old head to the
// new one is all that changed (a new race restarting the heads included).
void TakeOverTracks(RaceFrameInput& frame, const Racer& car, int slot) {
  for (int w = 0; w < kWheelCount; ++w) {
    const int32_t head = std::clamp(car.trackHeadDraw[w], 0, kTyreTrackRingSize - 1);
    for (int32_t i = frame.trackTakenOver[slot][w]; i != head; i = (i + 1) % kTyreTrackRingSize)
      frame.tyreTracks[slot][w][i] = gTyreTracks[slot][w][i];
    frame.trackTakenOver[slot][w] = head;
  }
}

void CopyRacers(RaceFrameInput& frame) {
  for (int i = 0; i < kRacerCount; ++i) {
    const Racer& car = gRacers[i];
    frame.racerMatrix[i] = gSimRacerMatrix[i];
    frame.racerVisible[i] = gSimRacerVisible[i];
    RacerDrawn& drawn = frame.racers[i];
    for (int w = 0; w < kWheelCount; ++w) {
      drawn.wheelDrop[w] = car.suspensionDraw[w];
      drawn.wheelRoll[w] = car.wheelRollDraw[w];
      drawn.tyreTrackHead[w] = car.trackHeadDraw[w];
    }
    drawn.velocity = car.velocityDraw;
    TakeRacerLook(i, drawn.look);
    TakeOverTracks(frame, car, i);
    TakeOverDust(frame, car, i);
  }
  for (int i = 0; i < kCityCarSlotCount; ++i) frame.cityCarMatrix[i] = gSimCityCarMatrix[i];
}

void CopyPropTransforms(RaceFrameInput& frame) {
  const int count = std::clamp(gCityObjectCount, 0, kCityObjectCapacity);
  for (int i = 0; i < count; ++i) {
    const CityObject& prop = gCityObjects[i];
    for (int p = 0; p < kMaxPropParts; ++p)
      if (prop.partBodies[p]) frame.propPartMatrix[i][p] = WorldMatrix(prop.partBodies[p]->GetTransform());
  }
}

}  // namespace

void RequestStartHoldRelease() { gStartHoldReleaseRequested = 1; }

void CopyPublishedRaceState(RaceFrameInput& frame) {
  CopyLeafLists(frame);
  CopyCamera(frame);
  CopyRacers(frame);
  CopyPropTransforms(frame);
  frame.frameFactor = gRaceViewCopies.frameFactor;
  TakePropStates(frame.frameFactor);
  gMenuClock += frame.frameFactor * kMenuClockPerFrameFactor;
  if (gStartHoldReleaseRequested) {
    gStartHold = 0;
    gStartHoldReleaseRequested = 0;
  }
  frame.startHold = gStartHold;
}

void RenderRaceFrame() {
  CopyPublishedRaceState(gRaceFrame);
  gRenderBit = gRenderBit ? 0 : 1;  // from here the worker runs its next step
  if (RaceFrameTargetsMade())
    DrawRaceFramePasses(gRaceFrame);
  else
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool RaceFrameTargetsMade() { return gResolveFbo != 0; }

