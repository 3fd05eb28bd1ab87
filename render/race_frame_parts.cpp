// The race frame's calls into the racer, dust, grass, tree, shadow and
// reflection passes. Every one of them reads only the race frame's record
// (and what the loads left, which no step changes): the worker runs its
// next step while they draw.
#include "render/race_frame_parts.h"

#include "framework/globals.h"
#include "platform/gl.h"
#include "render/grass.h"
#include "render/prop_draw.h"
#include "render/racer_draw.h"
#include "render/reflection_cube.h"
#include "render/shadow_map.h"
#include "render/shadow_matrix.h"
#include "render/trees.h"
#include "render/tyre_tracks.h"
#include "render/sky.h"
#include "world/prop_models.h"
#include "world/racer_models.h"

Matrix4 gInverseViewMatrix;

namespace {

RacersView RaceFrameView(const RaceFrameInput& frame) {
  RacersView view;
  view.eye = gCameraEye;
  view.frameFactor = frame.frameFactor;
  view.props = {&frame.visibleNodes, frame.propPartMatrix, gPropPartModels, kPropTypesWithParts};
  view.tracks = &frame.tyreTracks;
  view.shadowTextureMatrix = FrameShadowTextureMatrix();
  for (int slot = 0; slot < kRacerCount; ++slot) {
    RacerDrawInput& in = view.racers[slot];
    const RacerDrawn& drawn = frame.racers[slot];
    in.look = &drawn.look;
    in.models = {gRacerModels[kRacerModelCar][slot], gRacerModels[kRacerModelGlass][slot],
                 gRacerModels[kRacerModelOptics][slot], gRacerModels[kRacerModelWheel][slot],
                 gRacerModels[kRacerModelPoints][slot]};
    in.matrix = frame.racerMatrix[slot];
    in.visible = frame.racerVisible[slot];
    for (int w = 0; w < kWheelCount; ++w) {
      in.wheelDrop[w] = drawn.wheelDrop[w];
      in.wheelRoll[w] = drawn.wheelRoll[w];
      in.trackHead[w] = drawn.tyreTrackHead[w];
    }
  }
  return view;
}

// The frame whose shadow map is being drawn, for the casters' racer call,
// which takes no arguments; set only while RenderFrameShadowMap runs.
const RaceFrameInput* gShadowFrame;

void DrawRacersForShadowMap() { DrawRacersForShadowMapFrom(RaceFrameView(*gShadowFrame)); }

// The sky box as the cube's faces see it: about the origin, from the sky's base height.
void DrawCubeSky() { DrawSkybox(0, kSkyBaseHeight, 0); }

}  // namespace

Matrix4 FrameShadowTextureMatrix() {
  if (gShadowMapSize > kShadowMapSizeOff) return ShadowTextureMatrix(gLightProjection, gLightView, gInverseViewMatrix);
  Matrix4 lit;  // every point to texel (0, 0) at depth 0, which no stored depth is below
  for (float& v : lit.m) v = 0.0f;
  lit.m[15] = 1.0f;
  return lit;
}

void DrawFrameRacers(const RaceFrameInput& frame, int pass) { DrawRacersFrom(pass, RaceFrameView(frame)); }

void DrawFrameDust(RaceFrameInput& frame) { DrawWheelDust(frame.dust, gCameraEye, frame.frameFactor); }

void DrawFrameGrass(const RaceFrameInput& frame) { DrawGrass(frame.visibleNodes, frame.leafDistSq, frame.frameFactor); }

void DrawFrameTrees(const RaceFrameInput& frame) { DrawTrees(frame.visibleNodes, frame.leafDistSq, frame.frameFactor); }

void RenderFrameShadowMap(const RaceFrameInput& frame) {
  const ShadowCasters casters{&frame.shadowNodes,   PropDrawnCount(),    gPropDrawn, frame.propPartMatrix,
                              gPropPartModels,      kPropTypesWithParts, DrawRacersForShadowMap};
  gShadowFrame = &frame;
  RenderShadowMap(casters, gLightProjection, gLightView);
  gShadowFrame = nullptr;
}

// Centred on the player's truck (its copied matrix), turned with its heading.
void UpdateFrameReflection(const RaceFrameInput& frame, int raceMode) {
  const Matrix4& player = frame.racerMatrix[0];
  const Vector3 eye(player.m[12], player.m[13], player.m[14]);
  Vector3 forward(player.m[0], player.m[1], player.m[2]);
  const float length = forward.Length();
  if (length > 0) forward = forward * (1 / length);
  UpdateReflectionCubeMap(raceMode != 0, {eye, eye + forward, Vector3(0, 1, 0), DrawCubeSky, frame.cubeFaceNodes});
}

void ComputeInverseViewMatrix() {
  Matrix4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  gInverseViewMatrix = InverseRigidView(view);
}
