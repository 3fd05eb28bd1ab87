// STAND-IN until the race HUD and countdown land (see race_hud_standin.h).
// Reads the race frame's picture and glow, the render-side start hold and
// frame factor; draws into the window framebuffer.
#include "ui/race_hud_standin.h"

#include "framework/font.h"
#include "framework/globals.h"
#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/post_passes.h"
#include "render/race_frame.h"

namespace {

constexpr float kCountdownSeconds = 3.0f;
constexpr float kStartShownSeconds = 1.0f;
constexpr float kSecondsPerFrameFactor = 0.01f;

float gCountdownLeft = kCountdownSeconds;  // seconds to the start; below 0 while "START" shows

void DrawPictureAndGlow() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glViewport(0, 0, RaceWidth(), RaceHeight());
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kFrameWidth, 0, kFrameHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_RECTANGLE_ARB);
  glColor4f(1, 1, 1, 1);
  DrawFrameQuad(gMotionBlur == 1 ? gPrevSceneTexture : gSceneTexture, float(RaceWidth()), float(RaceHeight()));
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  DrawFrameQuad(gBlurTexture, float(gBlurWidth), float(gBlurHeight));
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_RECTANGLE_ARB);
  glEnable(GL_TEXTURE_2D);
}

void RunCountdown() {
  if (!gStartHoldDrawn && gCountdownLeft > 0.0f) gCountdownLeft = 0.0f;  // a race that starts unheld
  if (gStartHoldDrawn && gCountdownLeft <= -kStartShownSeconds) gCountdownLeft = kCountdownSeconds;  // a new race
  if (gCountdownLeft <= -kStartShownSeconds) return;
  gCountdownLeft -= gRenderFrameFactor * kSecondsPerFrameFactor;
  if (gCountdownLeft <= 0.0f && gStartHoldDrawn) RequestStartHoldRelease();
  if (gCountdownLeft > 0.0f)
    DrawFontText(kFrameWidth / 2, kFrameHeight / 2, 3, 1.0f, 1, 3.0f, true, 1, "%d", int(gCountdownLeft) + 1);
  else
    DrawFontText(kFrameWidth / 2, kFrameHeight / 2, 3, 1.0f, 1, 3.0f, true, 1, "START");
}

}  // namespace

void DrawRaceHud() {
  if (!RaceFrameTargetsMade()) return;
  DrawPictureAndGlow();
  RunCountdown();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glColor4f(1, 1, 1, 1);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
