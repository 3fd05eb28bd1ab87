// The sun's shadow map. Reads the sun's matrices, the leaves the sun sees
// with their triangle lists of the opaque and alpha-tested world sections,
// the props' part matrices and states as the frame took them, and (with the two largest maps) the
// racers through the caller's drawer; draws depth only into
// gShadowMapTexture through gShadowFbo. Hands back the window framebuffer,
// the window's viewport, the projection current before the pass, the
// modelview matrix selected (identity), colour writes and smooth shading on,
// polygon offset off, face culling on, no program.
#pragma once

#include "framework/model.h"
#include "framework/vector_math.h"
#include "render/prop_draw.h"  // PropDrawn
#include "world/city_object.h"
#include "world/quadtree.h"

#include <cstdint>

// A prop casts its shadow from its leaf only this near the player (squared, x-z).
inline constexpr float kPropShadowDistSq = 4225.0f;  // 65 units

// What the race's shadow pass draws besides the world's leaves.
struct ShadowCasters {
  const NodeList* leaves;                        // leaves the sun sees
  int propCount;                                 // props of the race
  const PropDrawn* props;                        // per prop: its state as the frame took it
  const Matrix4 (*partMatrices)[kMaxPropParts];  // world matrix per prop and part
  Model* const (*partModels)[kMaxPropParts];     // model per prop type and part
  int partModelTypes;                            // rows of partModels
  void (*drawRacers)();                          // the trucks' depth, called only with a large map
};

// Whether a prop listed in a sun-lit leaf casts a shadow there: an index
// that names a prop of the race, nearer to the player than 65 units.
// (Leaf prop lists come from the file; an index past the race's props is
// skipped rather than read.)
bool PropCastsShadowFromLeaf(int propIndex, int propCount, const PropDrawn* props);
// The trucks go into the map only at 4096 and 8192 texels.
bool ShadowMapTakesRacers(int shadowMapSize);

// The race pass: world, props, racers into the map from the sun's
// matrices; then the window of the screen mode in effect again.
void RenderShadowMap(const ShadowCasters& casters, const Matrix4& lightProjection, const Matrix4& lightView);
// The frame of a depth pass: the map attached and cleared, the projection
// pushed and the sun's loaded, the modelview at the sun's view, colour
// writes off, flat shading, polygon offset on, face culling off.
void BeginShadowDepthPass(const Matrix4& lightProjection, const Matrix4& lightView);
// Its end: culling and colour writes on, smooth shading, no offset; then
// the window of the screen mode in effect, the projection from before the
// pass and the window framebuffer.
void EndShadowDepthPass();
// Clears the map to the far depth (everything reads as lit); leaves the
// viewport at the map's size and the window framebuffer bound.
void ClearShadowMap();
