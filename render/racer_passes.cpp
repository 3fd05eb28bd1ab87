// The racer passes of the race frame: what DrawRacers, the shadow pass and
// the smoke layer draw, taken from the race frame's render-side copies and
// the models loaded in each racer slot (see racer_draw.h, tyre_tracks.h).
#include "render/race_frame.h"
#include "render/race_frame_passes.h"
#include "render/racer_draw.h"
#include "render/tyre_tracks.h"
#include "world/loaders.h"

namespace {

// Eye space to the shadow map's [0, 1] texture space.
Matrix4 ShadowTextureMatrix() {
  Matrix4 bias;
  bias.Set(0.5f, 0, 0, 0.5f, 0, 0.5f, 0, 0.5f, 0, 0, 0.5f, 0.5f, 0, 0, 0, 1);
  return bias * gLightProjection * gLightView * gInverseViewMatrix;
}

RacersView RaceFrameView() {
  RacersView view;
  view.eye = gCameraEye;
  view.frameFactor = gRenderFrameFactor;
  view.props = {&gVisibleNodes, gPropPartMatrixDrawn, gPropPartModels, kPropTypesWithParts};
  view.shadowTextureMatrix = ShadowTextureMatrix();
  for (int slot = 0; slot < kRacerCount; ++slot) {
    RacerDrawInput& in = view.racers[slot];
    in.car = &gRacers[slot];
    in.models = {gRacerModels[kRacerModelCar][slot], gRacerModels[kRacerModelGlass][slot],
                 gRacerModels[kRacerModelOptics][slot], gRacerModels[kRacerModelWheel][slot],
                 gRacerModels[kRacerModelPoints][slot]};
    in.matrix = gRacerMatrix[slot];
    in.visible = gRacerVisible[slot];
    const RacerDrawn& drawn = gRacerDrawn[slot];
    for (int w = 0; w < kWheelCount; ++w) {
      in.wheelDrop[w] = drawn.wheelDrop[w];
      in.wheelRoll[w] = drawn.wheelRoll[w];
      in.trackHead[w] = drawn.tyreTrackHead[w];
    }
  }
  return view;
}

}  // namespace

void DrawRacers(int pass) { DrawRacersFrom(pass, RaceFrameView()); }

void DrawRacersForShadowMap() { DrawRacersForShadowMapFrom(RaceFrameView()); }

void DrawWheelParticles() { DrawWheelDust(gDustDrawn, gCameraEye, gRenderFrameFactor); }
