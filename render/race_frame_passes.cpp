// The race frame's passes after the flip (see race_frame.h for what they
// read, where the picture ends and the GL state they leave).
#include "render/race_frame_passes.h"

#include "framework/globals.h"
#include "framework/overlay_frame.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/post_passes.h"
#include "render/race_camera.h"
#include "render/race_frame_parts.h"
#include "render/race_pass_timers.h"
#include "render/race_projection.h"
#include "render/reflection_cube.h"  // gReflectionPending
#include "render/shaders.h"
#include "render/world_scene.h"

namespace {

// Motion blur: the scene with its radially blurred copy over it, into
// gPrevSceneTexture, in the 800 x 600 frame.
void ComposeMotionBlur() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_RECTANGLE_ARB,
                            gPrevSceneTexture, 0);
  PushOverlayFrame();
  glColor4f(1, 1, 1, 1);
  WithGlCapabilities({{GL_DEPTH_TEST, false}, {GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, [] {
    DrawFrameQuad(gSceneTexture, float(RaceWidth()), float(RaceHeight()));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    WithGlCapabilities({{GL_BLEND, true}},
                       [] { DrawFrameQuad(gBlurTexture2, float(gBlurWidth), float(gBlurHeight)); });
  });
  PopOverlayFrame();  // back to the reset model-view the blur pass left
}

void RunPostChain() {
  if (gMotionBlur == 1) {
    RenderFullScreenPass(kProgRadialBlur, gSceneTexture, gBlurTexture, kPostFromWindow);
    RenderFullScreenPass(kProgRadialBlur, gBlurTexture, gBlurTexture2, kPostFromBlur);
    ComposeMotionBlur();
    RenderFullScreenPass(kProgBlur, gPrevSceneTexture, gBlurTexture2, kPostFromWindow);
  } else {
    RenderFullScreenPass(kProgBlur, gSceneTexture, gBlurTexture2, kPostFromWindow);
  }
  RenderFullScreenPass(kProgBlur, gBlurTexture2, gBlurTexture, kPostFromBlur);
}

void SetUpView(bool shadows) {
  glLoadIdentity();
  gFarPlane = gSightDistance;
  SetProjection(RaceWidth(), RaceHeight());
  glColor4f(1, 1, 1, 1);
  SetupCameraAndListener(0, 1);
  SetupLights();
  if (shadows) ComputeInverseViewMatrix();
}

}  // namespace

void DrawRaceFramePasses(RaceFrameInput& frame) {
  const bool shadows = gShadowMapSize > kShadowMapSizeOff;
  TimedRacePass(kPassReflection, [&frame] {
    if (gReflectionPending) UpdateFrameReflection(frame, 1);
  });
  TimedRacePass(kPassShadow, [&frame, shadows] {
    if (shadows) RenderFrameShadowMap(frame);
  });
  TimedRacePass(kPassView, [shadows] { SetUpView(shadows); });
  RenderWorldScene(frame);
  TimedRacePass(kPassPostChain, RunPostChain);
}
