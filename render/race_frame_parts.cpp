// The race frame's calls into the racer, dust, grass, tree, shadow and
// reflection passes. Every one of them reads only the render-side copies
// of race_frame.h (and what the loads left, which no step changes): the
// worker runs its next step while they draw. What each draws into and the
// GL state it leaves: see the pass's own header.
#include "framework/globals.h"
#include "platform/gl.h"
#include "render/grass.h"
#include "render/prop_draw.h"
#include "render/race_frame.h"
#include "render/race_frame_passes.h"
#include "render/racer_draw.h"
#include "render/reflection_cube.h"
#include "render/shadow_map.h"
#include "render/shadow_matrix.h"
#include "render/trees.h"
#include "render/tyre_tracks.h"
#include "render/world_scene.h"
#include "world/prop_models.h"
#include "world/racer_models.h"

Matrix4 gInverseViewMatrix;

namespace {

RacersView RaceFrameView() {
  RacersView view;
  view.eye = gCameraEye;
  view.frameFactor = gRenderFrameFactor;
  view.props = {&gVisibleNodes, gPropPartMatrixDrawn, gPropPartModels, kPropTypesWithParts};
  view.tracks = &gTyreTracksDrawn;
  view.shadowTextureMatrix = FrameShadowTextureMatrix();
  for (int slot = 0; slot < kRacerCount; ++slot) {
    RacerDrawInput& in = view.racers[slot];
    const RacerDrawn& drawn = gRacerDrawn[slot];
    in.look = &drawn.look;
    in.models = {gRacerModels[kRacerModelCar][slot], gRacerModels[kRacerModelGlass][slot],
                 gRacerModels[kRacerModelOptics][slot], gRacerModels[kRacerModelWheel][slot],
                 gRacerModels[kRacerModelPoints][slot]};
    in.matrix = gRacerMatrix[slot];
    in.visible = gRacerVisible[slot];
    for (int w = 0; w < kWheelCount; ++w) {
      in.wheelDrop[w] = drawn.wheelDrop[w];
      in.wheelRoll[w] = drawn.wheelRoll[w];
      in.trackHead[w] = drawn.tyreTrackHead[w];
    }
  }
  return view;
}

void DrawRacersForShadowMap() { DrawRacersForShadowMapFrom(RaceFrameView()); }

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

void DrawRacers(int pass) { DrawRacersFrom(pass, RaceFrameView()); }

void DrawWheelParticles() { DrawWheelDust(gDustDrawn, gCameraEye, gRenderFrameFactor); }

void DrawGrass() { DrawGrass(gVisibleNodes, gLeafDistSqDrawn, gRenderFrameFactor); }

void DrawTrees() { DrawTrees(gVisibleNodes, gLeafDistSqDrawn, gRenderFrameFactor); }

void RenderShadowMap() {
  const ShadowCasters casters{&gShadowNodes,        PropDrawnCount(), gPropDrawn, gPropPartMatrixDrawn,
                              gPropPartModels,      kPropTypesWithParts, DrawRacersForShadowMap};
  RenderShadowMap(casters, gLightProjection, gLightView);
}

// Centred on the player's truck (its copied matrix), turned with its heading.
void UpdateReflectionCubeMap(int raceMode) {
  const Matrix4& player = gRacerMatrix[0];
  const Vector3 eye(player.m[12], player.m[13], player.m[14]);
  Vector3 forward(player.m[0], player.m[1], player.m[2]);
  const float length = forward.Length();
  if (length > 0) forward = forward * (1 / length);
  UpdateReflectionCubeMap(raceMode != 0, {eye, eye + forward, Vector3(0, 1, 0), DrawCubeSky, gCubeFaceNodes});
}

void ComputeInverseViewMatrix() {
  Matrix4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  gInverseViewMatrix = InverseRigidView(view);
}
