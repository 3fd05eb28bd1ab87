// The renderer's start-up: reads the settings that size the targets
// (window size, anti-aliasing, shadow-map size), the start-up textures,
// fonts and effects under base/; makes every framebuffer, renderbuffer and
// render texture, then the shader programs. What the splash's first frame
// draws with comes first; the rest may wait until that frame is shown. Leaves framebuffer 0 bound,
// unit 0 active with 2-D texturing on, depth test and back-face culling on,
// blending (source alpha, one) chosen but off, no program current.
#include "render/gl_resources.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "framework/random.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "render/shaders.h"

GLuint gMultisampleFbo, gResolveFbo, gShadowFbo;
GLuint gDepthRenderbuffer, gCubeDepthRenderbuffer, gMsColourRenderbuffer, gMsDepthRenderbuffer;
GLuint gOpaqueTexture, gLayerTexture, gSceneTexture, gPrevSceneTexture, gSmokeTexture;
GLuint gBlurTexture, gBlurTexture2;
GLuint gRouteMapTexture, gScreenTexture2D;
GLuint gCarPaintTextures[kRacerSlotCount], gCarPaintTextures2[kRacerSlotCount],
    gCarPaintTextures3[kRacerSlotCount];
GLuint gShadowMapTexture;
GLuint gReflectionCubeMap;
GLenum gCubeFaceTargets[6];
GLuint gWaterTexture3D, gNoiseTexture3D;
GLuint gSunQuery;
GLenum gGLError;

namespace {

// Fixed-function fog: never enabled; left as GL state a program may read.
constexpr GLfloat kFogColour[4] = {0.513f, 0.468f, 0.432f, 1.0f};
constexpr GLfloat kFogDensity = 0.003f;
constexpr GLfloat kFogStart = 10.0f, kFogEnd = 350.0f;  // world units

// Alpha 0: the pixels a layer leaves untouched stay transparent in the composite.
constexpr GLfloat kClearColour[4] = {0.16f, 0.24f, 0.27f, 0.0f};

// The anti-aliasing settings, in samples.
constexpr int kSampleCounts[] = {8, 4, 2};

void ShowError(const char* text) { Sys_MessageBox("ERROR", text, MessageIcon::Exclamation); }

// Stores the GL error into gGLError and reports it: nothing is stopped for
// it, but a broken driver state should not go unnoticed.
void ErrorCheckpoint(const char* step) {
  gGLError = glGetError();
  if (gGLError != GL_NO_ERROR) std::fprintf(stderr, "GL error 0x%04X after %s\n", gGLError, step);
}

void SetFogParameters() {
  glFogi(GL_FOG_MODE, GL_EXP);
  glFogfv(GL_FOG_COLOR, kFogColour);
  glFogf(GL_FOG_DENSITY, kFogDensity);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
  glFogf(GL_FOG_START, kFogStart);
  glFogf(GL_FOG_END, kFogEnd);
}

GLuint MakeRenderbuffer(GLenum format, int samples, int width, int height) {
  GLuint renderbuffer = 0;
  glGenRenderbuffersEXT(1, &renderbuffer);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
  if (samples > 0) {
    glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, format, width, height);
  } else {
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, format, width, height);
  }
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
  return renderbuffer;
}

// The driver's sample limit; 0 where multisample framebuffers are missing.
int MaxSamples() {
  if (!glRenderbufferStorageMultisampleEXT || !glBlitFramebufferEXT) return 0;
  GLint maxSamples = 0;
  glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);
  return maxSamples;
}

void MakeFramebuffersAndRenderbuffers() {
  glGenFramebuffersEXT(1, &gMultisampleFbo);
  glGenFramebuffersEXT(1, &gResolveFbo);
  glGenFramebuffersEXT(1, &gShadowFbo);
  gDepthRenderbuffer = MakeRenderbuffer(GL_DEPTH_COMPONENT24, 0, gScreenWidth, gScreenHeight);
  gCubeDepthRenderbuffer = MakeRenderbuffer(GL_DEPTH_COMPONENT24, 0, kCubeFaceSize, kCubeFaceSize);

  // The graphics screen starts from the count in effect.
  gAntiAliasing = ClampAntiAliasing(gAntiAliasing, MaxSamples());
  gAntiAliasingChoice = gAntiAliasing;
  if (gAntiAliasing > 0) {
    gMsColourRenderbuffer = MakeRenderbuffer(GL_RGBA8, gAntiAliasing, gScreenWidth, gScreenHeight);
    gMsDepthRenderbuffer = MakeRenderbuffer(GL_DEPTH_COMPONENT24, gAntiAliasing, gScreenWidth, gScreenHeight);
  }
}

void ReadMaxAnisotropy() {
  gMaxAnisotropy = 0;
  if (Sys_HasGLExtension("GL_EXT_texture_filter_anisotropic")) {
    glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &gMaxAnisotropy);
  }
}

// Colours the programs write may leave 0..1 (the blur targets hold floats).
void TurnColourClampingOff() {
  if (!FetchColourClampEntryPoint()) return;
  glClampColorARB(GL_CLAMP_VERTEX_COLOR_ARB, GL_FALSE);
  glClampColorARB(GL_CLAMP_FRAGMENT_COLOR_ARB, GL_FALSE);
}

void SetDefaultState() {
  glColor4f(1, 1, 1, 0);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(kClearColour[0], kClearColour[1], kClearColour[2], kClearColour[3]);
  glClearDepth(1.0);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_DEPTH_TEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void LoadStartupTexture(int k) {
  char path[32];
  std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
  gTextures[k].LoadFromTGA(path, k == kSidePanelTexture ? kTexTrilinearClamped : kTexTrilinear);
}

// The textures below the worker's texture list, all but the title picture,
// which the first frame needs and which is loaded before it.
void LoadStartupTexturesAndFonts() {
  for (int k = 0; k < kFirstListedTexture; ++k) {
    if (k != kTitlePictureTexture) LoadStartupTexture(k);
  }
  LoadFontWidths("base/font1.ini", 1);
  LoadFontWidths("base/font2.ini", 2);
  MakeFont1DisplayLists();
  MakeFont2DisplayLists();
}

// An empty texture with linear filters and edges clamped.
GLuint MakeRenderTexture(GLenum target, GLint internalFormat, GLenum type, int width, int height) {
  GLuint texture = 0;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glGenTextures(1, &texture);
  glBindTexture(target, texture);
  glTexImage2D(target, 0, internalFormat, width, height, 0, GL_RGBA, type, nullptr);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return texture;
}

GLuint MakeLayerTexture() {
  return MakeRenderTexture(GL_TEXTURE_RECTANGLE_ARB, GL_RGBA, GL_UNSIGNED_BYTE, gScreenWidth, gScreenHeight);
}
GLuint MakeBlurTexture() {
  return MakeRenderTexture(GL_TEXTURE_RECTANGLE_ARB, GL_RGBA16F_ARB, GL_FLOAT, gBlurWidth, gBlurHeight);
}

void MakeRenderTextures() {
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, [] {
    gOpaqueTexture = MakeLayerTexture();
    gLayerTexture = MakeLayerTexture();
    gSceneTexture = MakeLayerTexture();
    gPrevSceneTexture = MakeLayerTexture();
    gSmokeTexture = MakeLayerTexture();
    gBlurTexture = MakeBlurTexture();
    gBlurTexture2 = MakeBlurTexture();
  });

  gRouteMapTexture = Make2DRenderTexture(gRouteMapWidth, gRouteMapHeight);
  gScreenTexture2D = Make2DRenderTexture(gScreenWidth, gScreenHeight);
}

// Also made with shadows off (at 16 texels), so that every binding of it is valid.
void MakeShadowMapTexture() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glGenTextures(1, &gShadowMapTexture);
  glBindTexture(GL_TEXTURE_2D, gShadowMapTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, gShadowMapSize, gShadowMapSize, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // Ground beyond the sun's view reads the far depth of the border, so it
  // is lit; clamped to the edge texels it would be shadowed wherever it lies
  // farther from the sun than what the edge holds.
  const GLfloat farDepth[4] = {1, 1, 1, 1};
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
  glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, farDepth);
  glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void MakeReflectionCubeMap() {
  const GLenum faces[6] = {GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
                           GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
                           GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z};
  for (int face = 0; face < 6; ++face) gCubeFaceTargets[face] = faces[face];
  WithGlCapabilities({{GL_TEXTURE_CUBE_MAP, true}}, [] {
    glGenTextures(1, &gReflectionCubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    for (GLenum face : gCubeFaceTargets) {
      glTexImage2D(face, 0, GL_RGB, kCubeFaceSize, kCubeFaceSize, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    }
  });
}

// ---- The check of every target configuration the passes draw into ----

void AttachColour(GLenum target, GLuint texture) {
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, target, texture, 0);
}
void AttachDepth(GLuint renderbuffer) {
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                               renderbuffer);
}

// The status of the bound framebuffer; the failure is said on stderr with
// the configuration's name.
GLenum Status(const char* configuration) {
  GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
    std::fprintf(stderr, "Render target %s: %s\n", configuration, FramebufferStatusMessage(status));
  }
  return status;
}

// Each configuration once, as the passes attach it; the attachments are
// taken off again. GL_FRAMEBUFFER_COMPLETE_EXT or the first failure.
GLenum CheckRenderTargets() {
  GLenum status = GL_FRAMEBUFFER_COMPLETE_EXT;
  auto check = [&status](const char* configuration) {
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT) status = Status(configuration);
  };
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  AttachColour(GL_TEXTURE_RECTANGLE_ARB, gOpaqueTexture);
  AttachDepth(gDepthRenderbuffer);
  check("scene layer with depth");
  AttachDepth(0);
  AttachColour(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture);
  check("blur");
  AttachColour(GL_TEXTURE_2D, gRouteMapTexture);
  check("route map");
  AttachColour(gCubeFaceTargets[0], gReflectionCubeMap);
  AttachDepth(gCubeDepthRenderbuffer);
  check("reflection cube face");
  AttachColour(GL_TEXTURE_2D, 0);
  AttachDepth(0);

  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gShadowFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, gShadowMapTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  check("shadow map");
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, 0, 0);

  if (gAntiAliasing > 0) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gMultisampleFbo);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 gMsColourRenderbuffer);
    AttachDepth(gMsDepthRenderbuffer);
    check("multisample");
  }
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  return status;
}

}  // namespace

GLuint Make2DRenderTexture(int width, int height) {
  return MakeRenderTexture(GL_TEXTURE_2D, GL_RGBA, GL_UNSIGNED_BYTE, width, height);
}

int ClampAntiAliasing(int asked, int maxSamples) {
  for (int samples : kSampleCounts) {
    if (samples <= asked && samples <= maxSamples) return samples;
  }
  return 0;
}

const char* FramebufferStatusMessage(GLenum status) {
  switch (status) {
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT: return "GL_FRAMEBUFFER_UNSUPPORTED_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
      return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT!";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE_EXT!";
    default: return "The framebuffer is incomplete.";
  }
}

GLResourcesResult InitGLResourcesForFirstFrame() {
  SetFogParameters();

  if (!Sys_HasGLExtension("GL_EXT_framebuffer_object")) {
    ShowError("EXT_framebuffer_object extension was not found");
    return GLResourcesResult::Fatal;
  }
  if (!FetchFramebufferEntryPoints()) {
    ShowError("One or more EXT_framebuffer_object functions were not found");
    return GLResourcesResult::Fatal;
  }
  if (!FetchOcclusionQueryEntryPoints()) {
    ShowError("One or more GL_ARB_occlusion_query functions were not found");
    return GLResourcesResult::Failed;
  }
  glGenQueriesARB(1, &gSunQuery);
  ReadMaxAnisotropy();
  TurnColourClampingOff();
  if (!SetupMultitexture()) return GLResourcesResult::Failed;
  SetDefaultState();
  Sys_SetSwapInterval(0);  // where the driver cannot, its own interval stays
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  LoadStartupTexture(kTitlePictureTexture);
  ErrorCheckpoint("the title picture");
  return GLResourcesResult::Ready;
}

GLResourcesResult InitGLResourcesAfterFirstFrame() {
  MakeFramebuffersAndRenderbuffers();
  LoadStartupTexturesAndFonts();
  ErrorCheckpoint("the start-up textures and fonts");
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_RECTANGLE_ARB);
  ErrorCheckpoint("the texture targets");
  if (!FetchAssetGlEntryPoints()) return GLResourcesResult::Failed;
  Load3DTextureTGA(&gWaterTexture3D, kVolumeTextureSize);
  MakeNoise3DTexture(&gNoiseTexture3D, kVolumeTextureSize);
  ErrorCheckpoint("the volumes");
  MakeRenderTextures();
  MakeShadowMapTexture();
  ErrorCheckpoint("the render textures");
  LoadParticleEffects();
  MakeReflectionCubeMap();

  const GLenum status = CheckRenderTargets();
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
    ShowError(FramebufferStatusMessage(status));
    return GLResourcesResult::Fatal;
  }
  return BuildShaderPrograms() ? GLResourcesResult::Ready : GLResourcesResult::Failed;
}

GLResourcesResult InitGLResources() {
  const GLResourcesResult first = InitGLResourcesForFirstFrame();
  return first == GLResourcesResult::Ready ? InitGLResourcesAfterFirstFrame() : first;
}

void AttachToResolve(GLuint texture) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  AttachColour(GL_TEXTURE_RECTANGLE_ARB, texture);
  AttachDepth(gDepthRenderbuffer);
}

bool CopyToWindow(GLuint texture) {
  if (texture == 0 || !glBlitFramebufferEXT) return false;
  AttachToResolve(texture);
  glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
  glBlitFramebufferEXT(0, 0, gScreenWidth, gScreenHeight, 0, 0, gScreenWidth, gScreenHeight, GL_COLOR_BUFFER_BIT,
                       GL_NEAREST);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  return true;
}

void BindLayerTarget(GLuint texture) {
  if (gAntiAliasing > 0) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gMultisampleFbo);
  } else {
    AttachToResolve(texture);
  }
}

void ReleaseRenderTargets() {
  GLuint* textures[] = {&gOpaqueTexture,   &gLayerTexture,     &gSceneTexture,      &gPrevSceneTexture,
                        &gSmokeTexture,    &gBlurTexture,      &gBlurTexture2,      &gRouteMapTexture,
                        &gScreenTexture2D, &gShadowMapTexture, &gReflectionCubeMap, &gWaterTexture3D,
                        &gNoiseTexture3D};
  for (GLuint* texture : textures) {
    glDeleteTextures(1, texture);
    *texture = 0;
  }
  for (GLuint* paints : {gCarPaintTextures, gCarPaintTextures2, gCarPaintTextures3}) {
    glDeleteTextures(kRacerSlotCount, paints);
    for (int slot = 0; slot < kRacerSlotCount; ++slot) paints[slot] = 0;
  }
  if (glDeleteFramebuffersEXT) {
    for (GLuint* framebuffer : {&gMultisampleFbo, &gResolveFbo, &gShadowFbo}) {
      glDeleteFramebuffersEXT(1, framebuffer);
      *framebuffer = 0;
    }
    for (GLuint* renderbuffer :
         {&gDepthRenderbuffer, &gCubeDepthRenderbuffer, &gMsColourRenderbuffer, &gMsDepthRenderbuffer}) {
      glDeleteRenderbuffersEXT(1, renderbuffer);
      *renderbuffer = 0;
    }
  }
  if (glDeleteQueriesARB) glDeleteQueriesARB(1, &gSunQuery);
  gSunQuery = 0;
}

void ReleaseTextures() { ReleaseTextureTables(); }

void DestroyTextureArray() {
  constexpr int kDestroyedTextures = 61;
  for (int k = 0; k < kDestroyedTextures; ++k) gTextures[k].Release();
}

void MakeRandomDirTexture(GLuint* texture, int size) {
  const int side = size > 0 ? size : 0;
  std::vector<uint8_t> rgb(size_t(side) * size_t(side) * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    const float x = float(Random() % 1000), y = float(Random() % 1000);
    const float length = std::sqrt(x * x + y * y);
    const float nx = length > 0 ? x / length : 0, ny = length > 0 ? y / length : 0;
    rgb[i] = uint8_t((nx * 0.5f + 0.5f) * 255.0f);
    rgb[i + 1] = uint8_t((ny * 0.5f + 0.5f) * 255.0f);
  }
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R}) glTexParameteri(GL_TEXTURE_2D, wrap, GL_REPEAT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}
