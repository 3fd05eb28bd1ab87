// Grass tufts, and the water that no pass draws. DrawGrass reads the given
// visible-leaf list and leaf distances, the leaves' grass records, the race camera's up and
// view direction, the sight distance and the animation clocks; it draws into
// the bound framebuffer with the Grass program, atlas tex62 on unit 0 and
// tex70 on unit 1. It leaves unit 0 active with 2-D texturing on, unit 1
// with 2-D, cube and 3-D texturing off (tex70 still bound), no program,
// face culling, alpha test and alpha-to-coverage as it found them.
#pragma once

#include "render/gl_state.h"
#include "world/quadtree.h"

// The sway clocks advance by `frameFactor`: the frame's copy of the step's
// frame factor, never the worker's own.
void DrawGrass(const NodeList& visible, const float* leafDistSq, float frameFactor);

// Runs a billboard pass in the state both billboard passes share: the
// alpha cut at 0.5 (by coverage with anti-aliasing, by the alpha test
// without), white, both faces drawn; then no program, and the capabilities
// as they were found.
void SetBillboardAlphaCut();
template <typename Draw>
void DrawCutBillboards(bool antiAliased, Draw draw) {
  SetBillboardAlphaCut();
  WithGlCapabilities({{GL_SAMPLE_ALPHA_TO_COVERAGE_ARB, antiAliased}, {GL_ALPHA_TEST, !antiAliased}, {GL_CULL_FACE, false}},
                     [&] {
                       draw();
                       glUseProgramObjectARB(0);
                     });
}
// The GL name of a gTextures record, 0 for an empty one.
unsigned TableTexture(int index);

// The water model under the Water program with the reflection cube on unit
// 1 and the 3-D water texture on unit 2; leaves unit 0 active with only
// 2-D texturing on and units 1 and 2 with all texturing off.
void DrawWater();
