#include "ui/menu_state.h"

#include <algorithm>
#include <cmath>

#include "math/ne_math.h"
#include "platform/gl.h"

float gScreenClock;
float gMenuSlide, gMenuDim, gLateFade, gVeilAlpha, gMenuAlpha;
uint8_t gSettleSound;
int32_t gMenuCursor, gMenuCursorOnEntry;
float gListAngle;
int32_t gSelectedColumn;
float gLoadingAlpha;
float gCarHandlingFactor, gCarTurboFactor;
uint8_t gSettingsChanged;
uint8_t gPaintZoneSelected[kPaintZoneCount];

void BeginOverlayFrame() {
  PushOverlayFrame();
  glDisable(GL_DEPTH_TEST);
}

void EndOverlayFrame() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  PopOverlayFrame();
  glLoadIdentity();
}

FadeCurves ComputeFadeCurves(float f) {
  constexpr float kHalfPi = NE_PI / 2;
  // Radians of the veil's sine per fade unit: the veil is gone at fade 0.7.
  constexpr float kVeilRate = 2.24296f;
  FadeCurves c;
  c.slide = 1.0f - std::sin(f * kHalfPi);
  c.dim = 1.0f - std::sin(std::min(f, 0.5f) * NE_PI);
  c.lateFade = 1.0f - std::sin(std::max(f, 0.5f) * NE_PI - kHalfPi);
  c.veil = 1.0f - std::sin(std::min(f, 0.7f) * kVeilRate);
  c.alpha = std::sin(std::min(f, 0.5f) * NE_PI);
  return c;
}

void PointerInFrame(int resolutionIndex, int windowX, int windowY, int32_t* frameX, int32_t* frameY) {
  static constexpr float kFactors[kResolutionCount][2] = {
      {0.782f, 0.782f}, {0.625f, 0.781f}, {0.625f, 0.625f}, {0.625f, 0.586f}, {0.5f, 0.667f},
      {0.5f, 0.6f},     {0.5f, 0.5f},     {0.476f, 0.571f}, {0.416f, 0.555f}, {0.416f, 0.5f}};
  const int index = resolutionIndex >= 0 && resolutionIndex < kResolutionCount ? resolutionIndex : 0;
  *frameX = static_cast<int32_t>(float(windowX) * kFactors[index][0]);
  *frameY = static_cast<int32_t>(float(windowY) * kFactors[index][1]);
}

void SetScreenDirectly(int screen) {
  gTargetScreen = screen;
  gScreen = screen;
  gScreenFade = 0.0f;
}

bool ScreenSettled(float fade) { return gScreen == gTargetScreen && gScreenFade >= fade; }
