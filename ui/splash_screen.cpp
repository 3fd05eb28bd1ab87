// The splash. Reads the splash clock, the loader status and Enter; draws
// tex01 (title picture, given back once the clock is past it), the page
// emblem (tex03), tex07 (logo), tex06 (corner icon), the side strips and
// the LOADING sign into the window in its own 800 x 600 frame. Leaves the depth test on, blending off, the
// projection as it found it and the model-view the identity.
#include "ui/splash_screen.h"

#include <algorithm>
#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "render/paint.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"

float gPromptClock;

namespace {

void DrawTitlePicture(float a1) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, a1);
  BindMenuTexture(kTitlePictureTexture);
  DrawTexturedQuad(0, 0, kFrameWidth, kFrameHeight, 0, 0, 1, 1);
}

void DrawTitlePage(float t, float a2) {
  const float bottom = (1 + 0.23f * std::sin(t)) * a2, top = (1 - 0.23f * std::sin(t)) * a2;
  WithGlCapabilities({{GL_BLEND, false}, {GL_TEXTURE_2D, false}}, [bottom, top] {
    glBegin(GL_QUADS);
    glColor4f(bottom, bottom, bottom, 1);
    glVertex2f(0, 0);
    glVertex2f(kFrameWidth, 0);
    glColor4f(top, top, top, 1);
    glVertex2f(kFrameWidth, kFrameHeight);
    glVertex2f(0, kFrameHeight);
    glEnd();
  });
  DrawEmblem();
  glColor4f(a2, a2, a2, a2);
  BindMenuTexture(kLogoTexture);
  DrawTexturedQuad(150, 175, 650, 425, 0, 0, 1, 1);
  glColor4f(1, 1, 1, a2);
  BindMenuTexture(kCornerIconTexture);
  DrawTexturedQuad(30, 35, 110, 115, 0, 0, 0.5f, 1);
  DrawSidePanels(a2, a2, a2, 0.85f);
  const bool loaded = gLoaderStatus == LoaderStatus::Idle;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loaded ? -0.02f : 0.02f) * gFrameFactor, 0.0f, 1.0f);
  DrawLoadingIndicator(730, 75, gMenuClock, gLoadingAlpha);
}

void DrawEnterPrompt() {
  gPromptClock += 0.01f * gFrameFactor;
  const float alpha = std::clamp(3 * std::sin(5 * gPromptClock) + 3, 0.0f, 1.0f);
  DrawFontText(400, 103, 1, alpha, 1, 1.12f, false, kAlignCentre, "press");
  DrawFontText(400, 120, 3, alpha, 1, 1.55f, true, kAlignCentre, "ENTER");
}

}  // namespace

float TitlePictureAlpha(float t) {
  float a = 1.0f;
  if (t < 2.0f) a = t * 0.5f;
  if (t > 5.0f) a = 3.5f - 0.5f * t;
  return std::clamp(a, 0.0f, 1.0f);
}

float TitlePageBrightness(float t) {
  const float a = t < 9.0f ? 0.5f * t - 3.5f : 1.0f;
  return std::clamp(a, 0.0f, 1.0f);
}

void UpdateAndDrawSplash() {
  ServeRepaintRequest();  // as every screen does
  const float t = gSplashTime + 0.01f * gFrameFactor;
  gSplashTime = t;
  BeginOverlayFrame();
  glColor4f(1, 1, 1, 1);
  const bool loaded = gLoaderStatus == LoaderStatus::Idle;
  WithGlCapabilities(kBlendedTexturing, [t, loaded] {
    if (t < kTitlePictureEnd) DrawTitlePicture(TitlePictureAlpha(t));
    if (t > kTitlePictureEnd) DrawTitlePage(t, TitlePageBrightness(t));
    if (loaded) DrawEnterPrompt();
  });
  // The splash clock only runs on, and nothing else draws the picture.
  if (t > kTitlePictureEnd) gTextures[kTitlePictureTexture].Release();
  if (loaded && gKeys[vk::kEnter] && !gKeyLatch) {
    gKeyLatch = 1;
    SetScreenDirectly(ScreenState::MainMenu);
    ResetMenuHover();
    if (gSoundOn) gSndMenuStep.Play();
    gSettleSound = 1;
  }
  EndOverlayFrame();
  glFinish();
}
