// The trucks' lamp flares and the camera-facing quads they, the wheel dust
// and the sky's sun are made of. Reads a racer's lamp points and lamp
// levels (as the race frame took them), its world matrix and the camera eye; draws additive sprites into
// whatever target is bound. DrawCarLights leaves culling, blending and the
// depth test as it found them, depth writes on and the colour white; the
// quad emitters change nothing but the vertices they issue.
#pragma once

#include "framework/vector_math.h"

class Model;
struct RacerLook;

// Binds element `index` of gTextures on the active unit; an empty record binds 0.
void BindTableTexture(int index);

// Strength 0..1 of a lamp's flare seen from `theta` radians off the lamp's
// facing on the ground: full within about 38.25 degrees, gone beyond about
// 83.25.
float FlareFade(float theta);

// The levels of the optics model's three lit groups: head and tail lamps
// always, the brake lamps while braking, the reversing lamp while reversing.
void LampLevels(const RacerLook& look, float levels[3]);

// A textured quad facing the eye, centred on the centre, its corner
// offsets scaled per axis, in its own quad list. Seen from straight above
// (eye over the centre) the quad collapses to a point.
void DrawFacingQuad(float eyeX, float eyeY, float eyeZ, float x, float y, float z, float sizeX, float sizeY,
                    float sizeZ);
// The same quad with one size, four vertices inside the caller's quad list.
void DrawBeamQuad(const neV3& eye, const neV3& centre, float size);
// The same in its own quad list.
void DrawBeam(const neV3& eye, const neV3& centre, float size);

// One flare of lamp 0..3 of a racer at a world position; `direction` is
// the lamp's facing (the truck's forward axis, negated for the rear lamps).
void DrawLightFlare(const neV3& eye, const neV3& position, const neV3& direction, int lamp, const float levels[3]);

// The eight lamp flares of a racer (its four lamp points and their mirror
// images across the truck) under the truck's world matrix.
void DrawCarLights(const neV3& eye, const Matrix4& carMatrix, const RacerLook& look);

// The traffic-car form, called by nothing in the game: lamps 0..3 at row
// `type` (0 or 1) of gCarLightOffsets, 0 and 2 facing forward and 1 and 3
// backward, and their mirror images as lamps 4..7, lit by the car's three
// levels (head lamps, the -z side's and the +z side's orange lamps).
void DrawCarLights(const neV3& eye, const Matrix4& carMatrix, int type, const float levels[3]);

// The facing quad with the y of its corner offsets halved (a flattened
// sprite), inside the caller's quad list. Called by nothing in the game.
void DrawBeamQuad2(const neV3& eye, const neV3& centre, float size);

// Light points gathered from a model: the centroids of group 0's triangles,
// then those of every later group. Filled by CollectLightPoints, drawn by
// DrawLightFlares; neither is called by the game.
inline constexpr int kLightPointCapacity = 800;
struct LightPoints {
  neV3 points[kLightPointCapacity];
  int firstCount = 0;   // points of the first set, from index 0
  int secondCount = 0;  // points of the second set, right after the first
};
extern LightPoints gLightPoints;
// Triangles past the table's capacity are left out.
void CollectLightPoints(const Model& model);
// White beams of `size` at the first set and red ones of half the size,
// their alpha times `blink`, at the second, each pulled 0.75 toward the eye.
void DrawLightFlares(const neV3& eye, float size, float alpha, float blink);
