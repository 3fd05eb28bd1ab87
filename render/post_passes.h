// Full-screen post passes: one screen-filling quad from a source rectangle
// texture through a post-effect program into a target rectangle texture of
// gBlurWidth x gBlurHeight, with gResolveFbo and no depth. Reads the source
// texture, the window size by the resolution index and, for the radial
// blur, the race frame's speed term. Leaves framebuffer 0 bound, the
// window viewport, the depth test on, no program current, the projection
// matrix as it was and the model-view matrix current and reset.
#pragma once

#include "framework/overlay_frame.h"  // kFrameWidth, kFrameHeight
#include "platform/gl.h"


// Variants: 0 for a window-size source (scaled down to the target), 1 for
// a gBlurWidth x gBlurHeight source; for the blurs 2 and 3 step one pixel
// across and along.
enum PostVariant : int { kPostFromWindow = 0, kPostFromBlur = 1 };

// The blur programs' "texOffset": variant 0 steps (window width div
// gBlurWidth) source pixels across, 1 one pixel along, 2 one across, 3 one
// along.
void BlurTexOffset(int variant, int windowWidth, float offset[2]);

// Gamma of the HDR pass: the race's in a race and on the finish screen; on
// any other screen it darkens with the menu dim (0 clear .. 1 dark). No
// pass of the game selects the HDR program yet.
float HdrGamma(int screen, float menuDim);
// The menu dim as the screens last drew it, for the HDR pass (main thread).
extern float gHdrMenuDim;

// One pass. A program number other than Blur (2), HDR (3), RadialBlur (4)
// and BlurSmoke (9) copies the source scaled with no program.
void RenderFullScreenPass(int program, GLuint source, GLuint target, int variant);

// A quad over the whole 800 x 600 frame with the rectangle texture, its
// coordinates 0..s x 0..t (the texture's size in pixels).
void DrawFrameQuad(GLuint texture, float s, float t);
