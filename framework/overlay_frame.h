// The overlay frame: the 800 x 600 units, y up, that the menus, the HUD,
// the text printers and the picture composites draw in, whatever the
// window's size.
#pragma once

inline constexpr float kFrameWidth = 800.0f, kFrameHeight = 600.0f;

// Pushes the projection and the model-view matrices, sets the projection to
// the overlay frame and the model-view to identity; the model-view matrix
// is left current.
void PushOverlayFrame();
// Pops the two matrices PushOverlayFrame pushed; the model-view matrix is
// left current.
void PopOverlayFrame();
