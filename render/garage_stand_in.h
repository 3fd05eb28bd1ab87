// A stand-in for the garage showroom that the menus draw behind them,
// until the real garage scene is drawn: a plain lit showroom wall and
// floor with a truck's silhouette, straight into the window.
#pragma once

// Draws the stand-in showroom over the whole window. Leaves the
// projection and model-view as it found them, texturing and blending off,
// depth testing off.
void RenderGarageScene();
