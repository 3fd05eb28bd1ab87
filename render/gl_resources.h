// The renderer's graphics resources: every framebuffer, renderbuffer and render texture, the start-up
// textures, fonts and effects, and the shader programs, made once at
// start-up on the main thread and given back at shutdown.
#pragma once

#include "platform/gl.h"
#include "world/catalogue.h"  // kRacerSlotCount

// Framebuffer objects; the passes attach what they draw into.
extern GLuint gMultisampleFbo;  // multisample colour and depth; resolved into gResolveFbo
extern GLuint gResolveFbo;      // a render texture or cube face as colour, one of the depths or none
extern GLuint gShadowFbo;       // depth only: gShadowMapTexture

// Renderbuffers.
extern GLuint gDepthRenderbuffer;      // depth 24, window size
extern GLuint gCubeDepthRenderbuffer;  // depth 24, kCubeFaceSize square
extern GLuint gMsColourRenderbuffer;   // RGBA8, gAntiAliasing samples, window size; 0 without anti-aliasing
extern GLuint gMsDepthRenderbuffer;  // depth 24, gAntiAliasing samples, window size; 0 without anti-aliasing

// Window-size rectangle textures (addressed in pixels), RGBA bytes.
extern GLuint gOpaqueTexture;     // opaque scene layer
extern GLuint gLayerTexture;      // second layer: glass, dirt traces, far detail
extern GLuint gSceneTexture;      // composed scene, input of the post passes and the HUD
extern GLuint gPrevSceneTexture;  // motion-blur composite
extern GLuint gSmokeTexture;      // soft-particle smoke layer
// gBlurWidth x gBlurHeight rectangle textures of half floats: the blur ping-pong.
extern GLuint gBlurTexture, gBlurTexture2;

// 2-D textures.
extern GLuint gRouteMapTexture;  // gRouteMapWidth x gRouteMapHeight, the route map pass's target
extern GLuint gScreenTexture2D;  // window size, the garage picture kept while a car is rebuilt
// Composed paint per racer slot (render/paint.h), 0 until the slot's first
// composition makes them: a race composes none.
extern GLuint gCarPaintTextures[kRacerSlotCount];   // 1536 x 1024
extern GLuint gCarPaintTextures2[kRacerSlotCount];  // 512 x 512
extern GLuint gCarPaintTextures3[kRacerSlotCount];  // 1024 x 512
extern GLuint gShadowMapTexture;  // depth 24, gShadowMapSize square, compares R to the texture

// The reflection cube map: six RGB faces of kCubeFaceSize square.
inline constexpr int kCubeFaceSize = 128;
extern GLuint gReflectionCubeMap;
// Cube face targets by face number 0..5: +x, -x, +y, -y, +z, -z.
extern GLenum gCubeFaceTargets[6];

// The 64-cubed volumes: base/textures/tex65.tga (the water's) and the noise of
// the lit passes; 0 until made.
extern GLuint gWaterTexture3D;
extern GLuint gNoiseTexture3D;

// The occlusion query of the sun.
extern GLuint gSunQuery;

// Binds gResolveFbo with a window-size rectangle texture as colour and the
// window-size depth (the reflection cube leaves its own small depth
// attached there).
void AttachToResolve(GLuint texture);

// Copies a window-size rectangle texture onto the window and leaves the
// window bound; false, with nothing drawn, for no texture or a driver
// without the blit, where the caller draws the texture as a quad. A copy
// costs the software rasteriser far less than a textured window-size quad.
bool CopyToWindow(GLuint texture);

// A scene layer's target: its texture with the shared depth, or with
// anti-aliasing the multisample buffer, which the pass then resolves into
// the texture.
void BindLayerTarget(GLuint texture);

// An empty RGBA 2-D texture with linear filters and edges clamped, left
// bound; what a pass copies or draws into.
GLuint Make2DRenderTexture(int width, int height);

// The last GL error seen at a start-up checkpoint (0 for none).
extern GLenum gGLError;

// What InitGLResources ended with.
enum class GLResourcesResult {
  Ready,   // everything made
  Failed,  // occlusion queries, multitexturing or a shader program missing: "Initialization Failed." is due
  Fatal,   // framebuffer objects missing or a render target unusable; its own message was shown
};

// Makes everything above, then the shader programs, with the main context
// current, after the loader context shares its names. The noise volume
// takes its texels from the random generator as seeded by then. The
// anti-aliasing setting is lowered to the largest sample count the driver
// allows. The two halves below in a row.
GLResourcesResult InitGLResources();

// The first half: the extension checks and entry points, the default GL
// state, the sun's query and the splash's title picture (tex01), all that
// the first splash frames draw with. The driver's missing framebuffer or
// occlusion-query extensions are reported here.
GLResourcesResult InitGLResourcesForFirstFrame();

// The second half, which may wait until the first frame is shown (but not
// until anything else draws): every framebuffer, renderbuffer and render
// texture and the check of the targets, the other start-up textures and the
// fonts, the volumes, the effects and the shader programs.
GLResourcesResult InitGLResourcesAfterFirstFrame();

// Deletes the framebuffers, renderbuffers and render textures made by
// InitGLResources (main context current).
void ReleaseRenderTargets();

// Deletes the GL textures of the texture tables (main context current).
void ReleaseTextures();
// Deletes the GL textures of gTextures[0..60] only, each once. Called by
// nothing in the game.
void DestroyTextureArray();

// A size x size repeating RGB texture of random flat directions: each texel
// a normalised (rand() % 1000, rand() % 1000, 0) scaled into bytes, so red
// and green lie in 127..255 and blue is 0. Called by nothing in the game.
void MakeRandomDirTexture(GLuint* texture, int size);

// The largest anti-aliasing setting (0, 2, 4 or 8 samples) not above the
// asked count that a driver allowing maxSamples supports.
int ClampAntiAliasing(int asked, int maxSamples);

// The message shown for a framebuffer status other than complete.
const char* FramebufferStatusMessage(GLenum status);
