// The race frame's calls into the racer, dust, grass, tree, shadow and
// reflection passes: each builds its pass's input from the race frame's
// record and calls the pass. What each draws into and the GL state it
// leaves: see the pass's own header.
#pragma once

#include "framework/vector_math.h"
#include "render/race_frame_input.h"

extern Matrix4 gInverseViewMatrix;  // world from eye space, for the shadow texture matrix
// Eye space to the shadow map's texture space for the frame's lit passes;
// with shadows off, a matrix under which every point reads lit (the map
// then holds nothing of this race).
Matrix4 FrameShadowTextureMatrix();
// gInverseViewMatrix from the model-view matrix current now.
void ComputeInverseViewMatrix();

// The reflection cube about the player's truck (see reflection_cube.h).
void UpdateFrameReflection(const RaceFrameInput& frame, int raceMode);
// The sun's shadow map of the leaves, props and trucks it sees.
void RenderFrameShadowMap(const RaceFrameInput& frame);
// One racer pass (RacerPass) of every truck.
void DrawFrameRacers(const RaceFrameInput& frame, int pass);
// The dust ages as it is drawn.
void DrawFrameDust(RaceFrameInput& frame);
void DrawFrameGrass(const RaceFrameInput& frame);
void DrawFrameTrees(const RaceFrameInput& frame);
