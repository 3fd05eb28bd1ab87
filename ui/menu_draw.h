// Drawing helpers shared by the menu screens and widgets: quads in the
// 800 x 600 frame, the menu textures by slot, and the tremble of a lit
// widget. They draw with the current colour, blending and matrices and
// change no other state.
#pragma once

#include "render/gl_state.h"

// What a menu widget draws its textured, see-through quads with.
inline constexpr GlCapability kBlendedTexturing[] = {{GL_TEXTURE_2D, true}, {GL_BLEND, true}};
// And its opaque plates and cards.
inline constexpr GlCapability kOpaqueTexturing[] = {{GL_TEXTURE_2D, true}, {GL_BLEND, false}};

// Binds gTextures[slot] on the active unit (texture 0 when it holds none).
void BindMenuTexture(int slot);

// An untextured quad from (x0, y0) to (x1, y1).
void DrawQuad(float x0, float y0, float x1, float y1);

// A textured quad from (x0, y0) to (x1, y1) with texture coordinates
// (s0, t0) at the first corner and (s1, t1) at the second.
void DrawTexturedQuad(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1);

// A textured quad of width x height centred on the current origin.
void DrawCentredQuad(float width, float height, float s0, float t0, float s1, float t1);

// Moves and turns the model-view matrix the way a lit widget trembles at
// strength g (0 still, 1 full) at menu clock c.
void ApplyTremble(float c, float g);
