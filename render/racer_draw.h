// The four trucks of a race. Reads per racer slot the truck's models, what
// the race frame took of its record (markers, steering, lamps, exhaust), the
// world matrix, the visibility flag and the wheel values, plus the
// shared suspension and spinning-part models; draws
//   pass 0: the props, then bodies, lamp housings, suspension and wheels,
//           lit by the Light program (opaque layer);
//   pass 1: glass, then the tyre tracks with DirtTrace (glass layer; the
//           caller's blending);
//   pass 2: exhaust fire and smoke, the spinning parts and the lamp flares
//           (blended over the composed scene);
// and the bodies and wheels into the shadow depth map. Passes 0 and 1 leave
// no program current, units 1..4 off and unit 0 active with 2-D on; pass 2
// leaves blending and culling as it found them and the colour white; the shadow draw
// changes no program or enable.
#pragma once

#include "framework/model.h"
#include "framework/particle_effect.h"
#include "framework/vector_math.h"
#include "render/prop_draw.h"
#include "render/racer_look.h"
#include "render/tyre_tracks.h"        // TyreTrackRings
#include "world/racer.h"

#include <cstdint>

// A truck's models in its racer slot.
struct TruckModels {
  const Model* car = nullptr;
  const Model* glass = nullptr;
  const Model* optics = nullptr;  // groups 0..2 lit by the three lamp levels
  const Model* wheel = nullptr;
  const Model* points = nullptr;  // marker model: groups 4..6 place the spinning parts
};

// The look of racer slot `slot` (0..3) as its record and exhaust fire stand now.
void TakeRacerLook(int slot, RacerLook& look);

// One racer as a frame draws it.
struct RacerDrawInput {
  const RacerLook* look = nullptr;  // null: the slot draws nothing
  TruckModels models;
  Matrix4 matrix;         // chassis world matrix; column 0 the forward axis
  uint8_t visible = 0;    // passed the worker's frustum test
  float wheelDrop[kWheelCount] = {};   // 1.35 - sensor depth: suspension offset
  float wheelRoll[kWheelCount] = {};   // spin angle, degrees
  int32_t trackHead[kWheelCount] = {}; // one past the newest quad of each track ring
};

struct RacersView {
  RacerDrawInput racers[kRacerCount];
  neV3 eye = {0, 0, 0, 0};  // camera position
  float frameFactor = 0;    // the frame's seconds x 100
  PropsView props = {};     // drawn by pass 0 before the trucks
  const TyreTrackRings* tracks = nullptr;  // drawn by pass 1 (none when null)
  Matrix4 shadowTextureMatrix;  // bias x light projection x light view x inverse view
};

// The common rotation of every spinning part, degrees; pass 0 turns it.
extern float gSpinAngle;

// Wheel-height offset of an axle whose wheels are scaled by `scale`.
inline float WheelHeightOffset(float scale) { return (scale - 1.0f) * 0.5f; }

// Spinning parts pass 2 draws for a marker model: group 4, 5 or 6 gives
// one per triangle, at most one per placement a racer holds.
int SpinningPartCount(const Model& points, int group);

// What DrawRacersFrom draws.
enum RacerPass : int {
  kRacerPassOpaque = 0,   // bodies, wheels and the world props
  kRacerPassGlass = 1,    // glass and tyre tracks
  kRacerPassBlended = 2,  // exhaust, spinning parts and lamp flares
};
// Pass 0, 1 or 2; any other number draws nothing and changes nothing.
void DrawRacersFrom(int pass, const RacersView& view);
// Bodies and wheels of the visible trucks nearer than 120 to the eye,
// plain geometry for the shadow pass's depth target.
void DrawRacersForShadowMapFrom(const RacersView& view);
// Exhaust smoke and fire of every truck, visible or not: each slot's two
// effects step by the frame and stream backward, faster while boosting.
void DrawExhaustEffects(const RacersView& view);
// Backward speed of the exhaust stream for an exhaust factor.
float ExhaustStreamSpeed(float exhaustFactor);
