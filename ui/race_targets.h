// The render targets the route map and the race overlay use. They are made
// with the renderer's graphics resources; until those exist, a stand-in
// (race_targets_standin.cpp) provides the route map texture and draws the
// route into it on the processor.
#pragma once

#include "platform/gl.h"

extern GLuint gRouteMapTexture;  // gRouteMapWidth x gRouteMapHeight RGBA, 2-D

// Draws a dot of `size` texels centred on (x, y) (texels, y up) into the
// route map: added (source alpha, one) in grey `grey`, or laid over
// (source alpha, one minus source alpha) in white.
void BeginRouteMapCanvas();
void AddRouteDot(float x, float y, float size, float grey);
void LayRouteDot(float x, float y, float size);
void EndRouteMapCanvas();

// Puts the finished race scene on the window in the 800 x 600 frame, with
// the colour split of crash strength k (0 for none) and the glow.
void DrawRaceScene(float k);
