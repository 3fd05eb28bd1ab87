// What the race frame draws from: one record, filled by the copy step
// (race_frame.h) and passed down to every pass.
#pragma once

#include "framework/vector_math.h"
#include "render/frustum.h"
#include "render/race_camera.h"
#include "render/racer_draw.h"   // RacerLook
#include "render/tyre_tracks.h"  // TyreTrackRings
#include "world/city_car.h"
#include "world/city_object.h"
#include "world/quadtree.h"
#include "world/racer.h"

#include <cstdint>

// The per-racer values racer drawing and the HUD read.
struct RacerDrawn {
  float wheelDrop[kWheelCount];      // suspension offset of each wheel
  float wheelRoll[kWheelCount];      // spin angle of each wheel, degrees
  int32_t tyreTrackHead[kWheelCount];  // one past the newest quad of each track ring
  neV3 velocity;                     // chassis velocity; the speedometer reads its length
  RacerLook look;                    // layout, steering, lamps and exhaust of the truck
};

// What the race frame draws from: everything the worker published, as the
// copy step took it while the worker waited. The passes read it alone (and
// what the loads left, which no step changes), so the worker runs its next
// step while they draw. Some parts outlive a frame: the leaf distances
// keep older values for leaves not seen, the tyre tracks and the dust are
// taken over a stretch at a time, and the dust ages here only.
struct RaceFrameInput {
  NodeList visibleNodes;   // leaves the race camera sees, in list order
  NodeList shadowNodes;    // leaves the sun sees (copied only with shadows on)
  NodeList cubeFaceNodes[kCubeFaceCount];  // leaves of each reflection cube face
  // The race camera (gCameraEye, gRaceLookAt, gRaceCameraUp, gGarageLookAt):
  // race_camera.h; the sun's shadow projection and view (gLightProjection,
  // gLightView, copied only with shadows on): frustum.h.
  float fovSpeed, fovBoost;  // 0..1 field-of-view terms of speed and boost
  Matrix4 racerMatrix[kRacerCount];           // chassis world matrices
  Matrix4 cityCarMatrix[kCityCarSlotCount];   // traffic cars' world matrices
  uint8_t racerVisible[kRacerCount];          // the worker's frustum test said: draw it
  float frameFactor;   // the step's frame seconds x 100
  uint8_t startHold;   // the start hold as the step left it
  RacerDrawn racers[kRacerCount];
  // Squared ground distance of each leaf the camera saw from the eye, by
  // leaf index (the far-detail passes cut by it).
  float leafDistSq[kQuadTreeLeafCount];
  // The tyre-track rings as far as the worker had laid them.
  TyreTrackRings tyreTracks;
  // The dust the render thread draws and ages: each step's new particles
  // are taken over from the worker's rings, and from then on only the
  // render thread touches them, so the dust ages only in frames that draw it.
  WheelParticle dust[kRacerCount][kWheelCount][kDustRingSize];
  // World matrix of every prop part that has a body, by prop and part.
  Matrix4 propPartMatrix[kCityObjectCapacity][kMaxPropParts];
  // How far the copy step has taken over each wheel's rings: the dust
  // particles spawned, and the head of the track ring.
  int32_t dustTakenOver[kRacerCount][kWheelCount];
  int32_t trackTakenOver[kRacerCount][kWheelCount];
};

// The race frame's one record (render thread; written only by the copy
// step; large, hence not on a stack).
extern RaceFrameInput gRaceFrame;
