// Vertex streams of the landscape's billboards (grass tufts and trees) built
// from the quadtree leaves' grass records, and the sway clocks that move
// them. No GL: the grass and tree passes feed these streams to GL.
#pragma once

#include "framework/vector_math.h"
#include "world/quadtree.h"

#include <vector>

// One corner of a billboard quad. All four corners of a quad share the
// item's position; the shader places them from tex0 (s, t corner, r atlas
// column, q size) and the billboard axes.
struct BillboardVertex {
  float position[3];
  float tex0[4];
  float tex1[3];    // grass: the tip's sway offset
  float colour[3];  // trees: the current colour when the corner is sent
};

inline constexpr int kTreeKindsPerBatch = 4;
inline constexpr float kGrassLeafMargin = 140.0f;  // grass stops this far inside the sight distance, units

// One step of a sway clock: phase += step, then extraStep more while the
// phase lies strictly between pi/2 and 3pi/2 (the backward swing runs
// faster), then wrapped below 2pi by repeated subtraction.
float AdvanceSwayPhase(float phase, float step, float extraStep);

// The grass clocks' four phases, radians; kept across frames and races.
extern float gGrassSwayPhase[4];
// Advances the four grass clocks by the frame factor.
void AdvanceGrassSway(float phase[4], float frameFactor);
// The tip offsets of the eight grass kinds from the phases and the
// animation clock (seconds); y is always 0.
void GrassSwayVectors(const float phase[4], float menuClock, Vector3 sway[kGrassKindCount]);

// The streams read each listed leaf's record and its squared ground
// distance from the camera (leafDistSq, by leaf number: the race frame's
// copy, which the worker's next step cannot rewrite meanwhile).
//
// Appends the grass quads of the listed leaves nearer than the grass limit
// (squared distance strictly below (sightDistance - 140)^2): kinds 0..7,
// each item as four corners.
void BuildGrassStream(const NodeList& leaves, const QuadTreeList* records, const float* leafDistSq, float sightDistance,
                      const Vector3 sway[kGrassKindCount], std::vector<BillboardVertex>& out);

// The tree clocks of the two batches, radians; kept across frames and races.
extern float gTreeSwayPhase[2];
// Advances one tree clock by the frame factor and returns its lean amplitude (6 - sin P).
float AdvanceTreeSway(float& phase, float frameFactor);
// Billboard axes of a tree batch: Up leans with the sway across the flat
// view direction, Right = Up x that direction; both scaled by 2.9. A camera
// looking straight up or down gives no lean and a zero Right.
void TreeBillboardAxes(const Vector3& viewDirection, float phase, float amplitude, float leanFactor, Vector3& right,
                       Vector3& up);
// Appends the tree quads of batch 0 (kinds 8, 10, 12, 14) or batch 1
// (kinds 9, 11, 13, 15, atlas mirrored) of the listed leaves strictly
// within the sight distance. `colour` is the current colour, carried from
// item to item: batch 1's kinds 11 and 13 set it to (size, 1, 1).
void BuildTreeStream(int batch, const NodeList& leaves, const QuadTreeList* records, const float* leafDistSq,
                     float sightDistance,
                     float colour[3], std::vector<BillboardVertex>& out);
