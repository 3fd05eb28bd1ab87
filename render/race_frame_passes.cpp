// The race frame's passes after the flip (see race_frame.h for what they
// read, where the picture ends and the GL state they leave).
#include "render/race_frame_passes.h"

#include "framework/globals.h"
#include "render/gl_resources.h"
#include "render/post_passes.h"
#include "render/race_frame.h"
#include "render/race_view.h"
#include "render/reflection_cube.h"  // gReflectionPending
#include "render/shaders.h"
#include "render/world_scene.h"

#include <chrono>
#include <ctime>

namespace {

// Motion blur: the scene with its radially blurred copy over it, into
// gPrevSceneTexture, in the 800 x 600 frame.
void ComposeMotionBlur() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_RECTANGLE_ARB,
                            gPrevSceneTexture, 0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kFrameWidth, 0, kFrameHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_RECTANGLE_ARB);
  glColor4f(1, 1, 1, 1);
  DrawFrameQuad(gSceneTexture, float(RaceWidth()), float(RaceHeight()));
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawFrameQuad(gBlurTexture2, float(gBlurWidth), float(gBlurHeight));
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_RECTANGLE_ARB);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
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

// Runs one pass and keeps its time and the GL error it left.
template <typename Pass>
void Timed(int index, Pass pass) {
  BeginRacePass();
  pass();
  EndRacePass(index);
}

using Clock = std::chrono::steady_clock;
Clock::time_point gPassStart;
double gPassStartCpuMs;

}  // namespace

bool gRacePassesFinished;
RacePassRecord gRacePassRecords[kRacePassCount] = {
    {"reflection", 0, 0, 0},      {"shadow", 0, 0, 0},          {"view", 0, 0, 0},
    {"terrain", 0, 0, 0},         {"near map", 0, 0, 0},        {"racers opaque", 0, 0, 0},
    {"second layer", 0, 0, 0},    {"smoke layer", 0, 0, 0},     {"sky", 0, 0, 0},
    {"composite", 0, 0, 0},       {"transparent map", 0, 0, 0}, {"grass", 0, 0, 0},
    {"trees", 0, 0, 0},           {"racers blended", 0, 0, 0},  {"sun", 0, 0, 0},
    {"post chain", 0, 0, 0}};

double ProcessCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1.0e6;
}

void BeginRacePass() {
  if (gRacePassesFinished) glFinish();
  gPassStart = Clock::now();
  gPassStartCpuMs = ProcessCpuMilliseconds();
}

void EndRacePass(int pass) {
  if (gRacePassesFinished) glFinish();
  RacePassRecord& record = gRacePassRecords[pass];
  record.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - gPassStart).count();
  record.cpuMilliseconds = ProcessCpuMilliseconds() - gPassStartCpuMs;
  record.glError = glGetError();
}

void DrawRaceFramePasses() {
  const bool shadows = gShadowMapSize > kShadowMapSizeOff;
  Timed(kPassReflection, [] {
    if (gReflectionPending) UpdateReflectionCubeMap(1);
  });
  Timed(kPassShadow, [shadows] {
    if (shadows) RenderShadowMap();
  });
  Timed(kPassView, [shadows] { SetUpView(shadows); });
  RenderWorldScene();
  Timed(kPassPostChain, RunPostChain);
}
