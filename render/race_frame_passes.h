// The passes of a race frame after the flip, in their fixed order. They
// draw from the race frame's record (race_frame.h) alone.
#pragma once

#include "render/race_frame_input.h"

// Reflection, shadow, projection, camera and lights, the world scene and
// the post chain, in that order; the picture ends in gSceneTexture (and
// with motion blur in gPrevSceneTexture) with the glow in gBlurTexture.
// The record's dust ages as it is drawn.
void DrawRaceFramePasses(RaceFrameInput& frame);
