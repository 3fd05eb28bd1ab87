// The sky box and its ring of clouds, drawn about a point with the texture
// of each from the texture table; leaves blending as it found it and the
// ring's texture bound.
#pragma once

// The height the sky box is drawn from, world units.
inline constexpr float kSkyBaseHeight = -400.0f;
// The sky box and its ring of clouds around (x, z) from height y.
void DrawSkybox(float x, float y, float z);
// The four sides (no top or bottom) of a w x d box centred on (x, z) from
// height y to y + h, alpha-blended with the barrier tape texture twice along
// each side. Called by nothing in the game.
void DrawTexturedBox(float x, float y, float z, float w, float h, float d);
