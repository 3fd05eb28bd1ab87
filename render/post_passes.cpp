// Full-screen post passes (see post_passes.h for what they read and the GL
// state they leave).
#include "render/post_passes.h"

#include "framework/globals.h"
#include "framework/screen_state.h"
#include "render/gl_resources.h"
#include "render/race_frame_input.h"
#include "render/race_projection.h"
#include "render/shaders.h"

namespace {

constexpr float kBlurIntensity = 1.0f;
constexpr float kHdrExposure = 0.31f;
constexpr float kRaceHdrGamma = 0.75f;
constexpr float kHdrGammaDimming = 0.65f;  // gamma taken off at full menu dim

void LoadBlurUniforms(GLint decal, GLint texOffset, GLint intensity, int variant) {
  float offset[2];
  BlurTexOffset(variant, RaceWidth(), offset);
  glUniform1iARB(decal, 0);
  glUniform2fARB(texOffset, offset[0], offset[1]);
  glUniform1fARB(intensity, kBlurIntensity);
}

// Makes the pass's program current with its uniforms; false for a number
// that names no post program.
bool UsePostProgram(int program, int variant) {
  switch (program) {
    case kProgBlur:
      glUseProgramObjectARB(gBlurProgram.object);
      LoadBlurUniforms(gBlurProgram.decal, gBlurProgram.texOffset, gBlurProgram.intensity, variant);
      return true;
    case kProgBlurSmoke:
      glUseProgramObjectARB(gBlurSmokeProgram.object);
      LoadBlurUniforms(gBlurSmokeProgram.decal, gBlurSmokeProgram.texOffset, gBlurSmokeProgram.intensity, variant);
      return true;
    case kProgHDR:
      glUseProgramObjectARB(gHDRProgram.object);
      glUniform1iARB(gHDRProgram.decal, 0);
      glUniform1iARB(gHDRProgram.decal2, 1);
      glUniform1fARB(gHDRProgram.exposure, kHdrExposure);
      glUniform1fARB(gHDRProgram.gamma, HdrGamma(gScreen, gHdrMenuDim));
      return true;
    case kProgRadialBlur:
      glUseProgramObjectARB(gRadialBlurProgram.object);
      glUniform1iARB(gRadialBlurProgram.decal, 0);
      glUniform1fARB(gRadialBlurProgram.speed, gRaceFrame.fovSpeed);
      if (variant == kPostFromWindow) glUniform2fARB(gRadialBlurProgram.texSize, float(RaceWidth()), float(RaceHeight()));
      if (variant == kPostFromBlur) glUniform2fARB(gRadialBlurProgram.texSize, float(gBlurWidth), float(gBlurHeight));
      return true;
    default: return false;
  }
}

}  // namespace

float gHdrMenuDim;

float HdrGamma(int screen, float menuDim) {
  if (screen == ScreenState::Racing || screen == ScreenState::RaceFinish) return kRaceHdrGamma;
  return kRaceHdrGamma - menuDim * kHdrGammaDimming;
}

void BlurTexOffset(int variant, int windowWidth, float offset[2]) {
  offset[0] = offset[1] = 0.0f;
  switch (variant) {
    case 0: offset[0] = float(gBlurWidth > 0 ? windowWidth / gBlurWidth : 0); break;
    case 2: offset[0] = 1.0f; break;
    default: offset[1] = 1.0f; break;
  }
}

void RenderFullScreenPass(int program, GLuint source, GLuint target, int variant) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_RECTANGLE_ARB, target, 0);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, 0);

  const float w = float(gBlurWidth), h = float(gBlurHeight);
  glViewport(0, 0, gBlurWidth, gBlurHeight);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, w, 0, h, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glColor4f(1, 1, 1, 1);
  glDisable(GL_DEPTH_TEST);

  UsePostProgram(program, variant);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, source);
  const float s = variant == kPostFromWindow ? float(RaceWidth()) : w;
  const float t = variant == kPostFromWindow ? float(RaceHeight()) : h;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(s, 0);
  glVertex2f(w, 0);
  glTexCoord2f(s, t);
  glVertex2f(w, h);
  glTexCoord2f(0, t);
  glVertex2f(0, h);
  glEnd();

  glUseProgramObjectARB(0);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glViewport(0, 0, RaceWidth(), RaceHeight());
}

void DrawFrameQuad(GLuint texture, float s, float t) {
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(s, 0);
  glVertex2f(kFrameWidth, 0);
  glTexCoord2f(s, t);
  glVertex2f(kFrameWidth, kFrameHeight);
  glTexCoord2f(0, t);
  glVertex2f(0, kFrameHeight);
  glEnd();
}
