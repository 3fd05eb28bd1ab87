// The render targets of the route map and the race overlay (the
// renderer's graphics resources): drawing the route into the route map
// texture, and the finished race scene onto the window.
#pragma once

#include "render/gl_resources.h"

// Between Begin and End (which clears it), dots of `size` texels centred
// on (x, y) (texels, y up) go into the route map: added (source alpha, one)
// in grey `grey`, or laid over (source alpha, one minus source alpha) in
// white.
void BeginRouteMapCanvas();
void AddRouteDot(float x, float y, float size, float grey);
void LayRouteDot(float x, float y, float size);
void EndRouteMapCanvas();

// Puts the finished race scene on the window in the 800 x 600 frame, with
// the colour split of crash strength k (0 for none) and the glow.
void DrawRaceScene(float k);
