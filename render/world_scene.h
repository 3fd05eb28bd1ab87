// The world scene of a race frame: the opaque layer (terrain with its
// landscape pairs, near map objects, racers and props), the second layer
// (far map detail, glass and dirt), the soft smoke layer, then into the
// scene target the sky, the composite of the layers, the transparent map
// objects, grass, trees, the racers' blended parts and the sun. Reads the
// render-side copies (race_frame.h), the world models, the quadtree leaves
// and the landscape textures; draws into gOpaqueTexture, gLayerTexture,
// gSmokeTexture and gSceneTexture (through gMultisampleFbo with
// anti-aliasing). Leaves gResolveFbo bound with gSceneTexture, unit 0
// active with 2-D texturing on, the model-view matrix current.
#pragma once

#include <cstdint>

// The landscape pair of a terrain material's emissive red: 0..9 for e in
// (0, 1] by tenths (upper bounds included), -1 for none.
int LandscapePairOf(float emissiveRed);
// The two landscapes (0..4) of a pair.
void LandscapesOfPair(int pair, int* a, int* b);

// Landscape a on unit 3, b on unit 4, their normal maps on units 5 and 6,
// 2-D texturing on each; unit 3 left active.
void BindLandscapeTextures(int a, int b);

// What a terrain triangle shows of its pair's two landscapes, by the
// height of its corners' unit normals: Flat all the first (every corner at
// least 0.85 up), Steep all the second (every corner at most 0.6), Mixed a
// blend, which alone needs both read; a corner within 0.001 of a bound, or
// with a zero normal, counts as blending.
enum class TerrainSlope { Flat, Steep, Mixed };
TerrainSlope TerrainSlopeOf(const float (&normals)[3][3]);

// The sun's glare after a frame of `frameFactor`: rising by 0.02 a unit
// while the sun is seen, falling by 0.01 otherwise, within 0..1.
float StepSunGlare(float glare, bool sunSeen, float frameFactor);

extern int32_t gLandscapePair;      // pair bound last in the terrain pass, -1 for none
extern uint32_t gSunSamplesVisible;  // samples of the sun sprite that passed, last frame
extern float gSunGlare;              // 0..1 alpha of the sun's glare

// Landscape binds and multisample resolves of the last frame, for tests and
// the frame-time benchmark.
extern int32_t gLandscapeBindCount, gResolveCount;

void RenderWorldScene();
// The sun sprite behind its occlusion query, and its glare.
void DrawSkySun();
// The height the sky box is drawn from, world units.
inline constexpr float kSkyBaseHeight = -400.0f;
// The sky box and its ring of clouds around (x, z) from height y.
void DrawSkybox(float x, float y, float z);
// The four sides (no top or bottom) of a w x d box centred on (x, z) from
// height y to y + h, alpha-blended with texture 51 twice along each side.
// Called by nothing in the game.
void DrawTexturedBox(float x, float y, float z, float w, float h, float d);
