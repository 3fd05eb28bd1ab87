// Stand-alone draws of the renderer that the frame does not call: the sun
// flare with its depth-read occlusion estimate, blob shadows under the
// trucks, the checkpoint beacon and route signs, and the debug markers (the
// sun point, the waypoints, the lamp points of the lamp table, a glowing
// textured square).
//
// They read the current model-view, projection and viewport, the depth
// buffer (the flare), the race path, the lamp table, the racers' records,
// the camera eye and the numbered textures, and draw into whatever target
// is bound. Each leaves what it found: culling and the depth test on,
// depth writes on, blending off, 2-D texturing on unit 0 (on units 0..2
// after the lamp spheres), the colour white, no program current but the
// Light program after the textured marker.
#pragma once

#include "framework/vector_math.h"
#include "world/race_path.h"
#include "world/racer.h"

// The fixed world point of the sun the flare and the sun marker use.
inline constexpr float kSunPoint[3] = {50.0f, 320.0f, 0.0f};

// How much of the sun the depth buffer lets through, 0..1, before the
// falloff toward the picture's edges: the share of a 9 x 9 grid of depth
// samples around its window point that lie behind it, 0 when the point
// itself is covered or off the viewport. Window x and y of the sun go to
// the outputs.
float SunFlareVisibility(float* windowX, float* windowY);
// The flare: a streak, a wash, a glow and thirteen rings along the line
// through the picture's centre, fading with visibility and distance from
// the centre.
void DrawSunFlare();

// A truck's blob shadow: its world matrix, the drop of each wheel (1.35
// when it hangs free) and its length from rear to front and half width.
struct BlobShadowCaster {
  Matrix4 matrix;
  float wheelDrop[kWheelCount];
  float rearX, frontX, halfWidth;
};
// Quad sizes of the racers' and the two traffic kinds' blob shadows.
inline constexpr float kRacerBlobRearX = -4.3f, kRacerBlobFrontX = 4.3f, kRacerBlobHalfWidth = 2.05f;
inline constexpr float kTrafficBlobRearX[2] = {-8.1f, -5.4f}, kTrafficBlobFrontX[2] = {8.75f, 6.2f};
inline constexpr float kTrafficBlobHalfWidth = 2.2f;
// Darkens the ground under each caster with the blob shadow texture (the colour
// below is multiplied by it), each corner following its wheel's drop.
void DrawBlobShadowsFrom(const BlobShadowCaster* casters, int count);

// Where the route sign of waypoint i stands: 11.5 beside the path to the
// right of the way on (kinds 2 and 4) or to its left (kinds 3 and 5), 4
// above it, turned by `degrees` about y. The way on runs to the next point;
// the last point's to point 0.
struct RouteSign {
  neV3 position;
  float degrees;
};
RouteSign RouteSignAt(const Waypoint* path, int last, int i);
// A pulsing beacon over the player's next checkpoint and, beside every
// waypoint of kinds 2 to 5, a sign pulsing in colour
// (the hint badge and the blob shadow textures); blended, without depth writes. Nothing when the
// race path or the checkpoint index lies outside the path's capacity.
void DrawCheckpointMarker();

// A sphere at the sun point, 4 above it, in pale yellow.
void DrawSunMarker();
// A small sphere at every waypoint of the race path, textured by the font 1 sheet.
void DrawWaypointSpheres();
// A glowing 0.5 x 0.5 square with the glow square texture through the Transparency
// program, glowing with racer slot's brake lamps (slot -1: no racer, the
// program's own glow).
void DrawTexturedMarker(int slot);
// Spheres at the four lamp points of the lamp table's row of the player's
// truck, mirrored across the truck, each lamp in its own colour.
void DrawLampPointSpheres();
// The lamp-table row of a catalogue truck: the table holds six.
int LampTableRow(int catalogueIndex);
