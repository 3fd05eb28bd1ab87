// The track's props (gCityObjects), each part at its body's place. Reads
// the visible leaves' prop lists, the props' types and part counts, the
// render-side prop states below and the part matrices the race frame
// copied; draws into the opaque layer with the lit program its caller made
// current (tangent geometry, two fixed textures). Leaves unit 0 active
// with 2-D on, unit 2's 2-D off and the uniform set of the program loaded
// again.
#pragma once

#include "framework/model.h"
#include "framework/vector_math.h"
#include "world/city_object.h"
#include "world/quadtree.h"

#include <cstdint>

// A resting prop is drawn only this near the player (squared, x-z).
inline constexpr float kPropDrawDistSq = 40000.0f;  // 200 units

// What the drawing knows of a prop's state, taken while the worker waits.
struct PropDrawn {
  uint8_t awake;       // knocked awake: drawn wherever it is
  float playerDistSq;  // squared x-z distance to the player's truck
  int32_t type = 0;       // row of the part models
  int32_t partCount = 0;  // parts with a body, 0..kMaxPropParts
};
extern PropDrawn gPropDrawn[kCityObjectCapacity];

// The copy step of a race frame (worker waiting): takes every prop's state
// and the number of props, and lets the crash-sound timer of each awake prop count the frame's
// seconds (frame factor x 0.01).
void TakePropStates(float frameFactor);

// Whether a prop taken from a visible leaf is drawn: at rest and nearer
// than 200 units to the player (awake props are drawn on their own).
bool PropDrawnAtRest(const PropDrawn& prop);

struct PropsView {
  const NodeList* visible;                        // leaves the camera sees
  const Matrix4 (*partMatrices)[kMaxPropParts];   // world matrix per prop and part
  Model* const (*partModels)[kMaxPropParts];      // model per prop type and part
  int partModelTypes;                             // rows of partModels
};

// Props of the race as the copy step took them.
int PropDrawnCount();

// Resting props of the visible leaves near the player, then every awake
// prop. A leaf's prop index beyond the props of the race is skipped, and
// so is a part without a model.
void DrawWorldObjects(const PropsView& view);
