// The garage camera's orbit: the free camera under the mouse and the glide
// to each screen's preset. Reads the mouse and screen state; writes the
// orbit and its view values. No GL.
#include "render/garage_camera.h"

#include "framework/globals.h"
#include "math/ne_math.h"
#include "world/catalogue.h"

#include <algorithm>
#include <cmath>

float gGaragePitch, gGarageYaw, gGarageZoom;
float gGaragePitchSpeed, gGarageYawSpeed;
float gGarageViewPitch, gGarageViewYaw, gGarageViewZoom;
float gGarageWobblePhase;
uint8_t gNotOverButton;

namespace {

// Free camera.
constexpr float kZoomRate = 0.025f;           // world units per frame-factor unit while a button is held
constexpr float kZoomFadeDone = 0.95f;        // zooming waits for the screen fade to finish
constexpr float kYawDragRate = 0.01f;         // speed per 800x600 unit dragged
constexpr float kPitchDragRate = 0.0075f;
constexpr float kSpeedDecay = 0.03f;          // share of the speed lost per frame-factor unit
constexpr float kSpeedStop = 0.01f;           // slower than this stops
constexpr float kSpinRate = 0.65f;            // degrees per frame-factor unit at speed 1
// Glide to a preset.
constexpr float kGlideRate = 0.06f;           // share of the remaining way per frame-factor unit
constexpr float kMinYawStep = 0.0025f, kMaxYawStep = 100.0f;
constexpr float kMinDivisor = 0.01f;
constexpr float kFullTurn = 360.0f, kHalfTurn = 180.0f;
// The sway of the view values.
constexpr float kSwayYaw = 15.0f;             // degrees
constexpr float kSwayZoom = 0.5f;             // world units

struct ScreenPreset {
  int screen;
  GaragePreset preset;
};

// Each menu screen's view of the truck.
constexpr ScreenPreset kScreenPresets[] = {
    {1, {15, 229, 2.3f}},    // main menu
    {3, {11, 53, 2.3f}},     // options
    {5, {1, 172, 2.3f}},     // graphics
    {6, {1, 172, 2.3f}},     // audio
    {7, {1, 172, 2.3f}},     // controls
    {8, {12, 317, -0.5f}},   // career menu
    {9, {3, 233, 0.5f}},     // new-career confirmation
    {10, {7, 230, -0.5f}},   // garage
    {11, {16, 326, -0.5f}},  // tuning
    {14, {9, 265, -0.5f}},   // turbo tuning
    {15, {7, 225, 2.3f}},    // car shop
    {16, {0, 223, 2.3f}},    // part dialogs 16..21, 23, 24
    {17, {0, 321, -0.5f}},
    {18, {0, 266, -0.5f}},
    {19, {11, 53, 2.3f}},
    {20, {12, 214, -0.5f}},
    {21, {5, 265, -0.5f}},
    {22, {14, 220, 2.3f}},   // paint shop
    {23, {16, 241, 2.3f}},
    {24, {0, 243, -0.5f}},
    {30, {4, 126, -0.5f}},   // competitions
    {31, {12, 316, -0.5f}},  // race selection
    {44, {16, 330, 2.3f}},   // quit confirmation
    {100, {8, 240, 3.5f}},   // splash (the zoom clamp holds it at 2.3)
};
constexpr GaragePreset kOtherScreenPreset = {8, 240, 1.0f};

void SetViewValues() {
  gGarageViewPitch = gGaragePitch;
  gGarageViewYaw = gGarageYaw + kSwayYaw * std::sin(gGarageWobblePhase);
  gGarageViewZoom = gGarageZoom + kSwayZoom * std::sin(gGarageWobblePhase + NE_PI / 2.0f);
}

// Moves value toward goal by step (no overshoot check: the snap handles it).
float StepToward(float value, float goal, float step) {
  if (value < goal) return value + step;
  if (value > goal) return value - step;
  return value;
}

// A drag of `moved` units changes the speed by |moved| x rate against (or
// with) the move, within -1..1.
float Dragged(float speed, int moved, float rate, float sign) {
  if (moved > 0) speed += sign * std::fabs(static_cast<float>(moved)) * rate;
  if (moved < 0) speed -= sign * std::fabs(static_cast<float>(moved)) * rate;
  return std::clamp(speed, -1.0f, 1.0f);
}

float Decayed(float speed, float frameFactor) {
  speed = StepToward(speed, 0.0f, std::fabs(speed) * kSpeedDecay * frameFactor);
  return std::fabs(speed) < kSpeedStop ? 0.0f : speed;
}

// The yaw step d toward target yaw `y`: the plain distance, or, when the
// short way crosses 0/360, minus the wrapped distance (turning away from y).
float YawStep(float yaw, float y) {
  const float apart = std::fabs(yaw - y);
  if (apart <= kHalfTurn) return apart;
  return yaw > y ? -std::fabs(yaw - kFullTurn - y) : -std::fabs(yaw + kFullTurn - y);
}

float BoundYawStep(float d) {
  const float size = std::fabs(d);
  if (d == 0.0f) return d;
  return std::copysign(std::clamp(size, kMinYawStep, kMaxYawStep), d);
}

}  // namespace

GaragePreset GaragePresetFor(int screen) {
  for (const ScreenPreset& s : kScreenPresets)
    if (s.screen == screen) return s.preset;
  return kOtherScreenPreset;
}

void GarageCameraInput() {
  const float ff = gFrameFactor;
  const bool settled = gScreenFade >= kZoomFadeDone && gScreen == gTargetScreen;
  if (gLeftButton && gNotOverButton && settled) gGarageZoom -= ff * kZoomRate;
  if (gRightButton && settled) gGarageZoom += ff * kZoomRate;
  gGarageZoom = std::clamp(gGarageZoom, kGarageZoomMin, kGarageZoomMax);

  if (gLeftButton || gRightButton) {
    gDragStartX = gMouseX;
    gGarageYawSpeed = Dragged(gGarageYawSpeed, gMouseX - gDragLastX, kYawDragRate, -1.0f);
    gDragLastX = gMouseX;
    gDragStartY = gMouseY;
    gGaragePitchSpeed = Dragged(gGaragePitchSpeed, gMouseY - gDragLastY, kPitchDragRate, 1.0f);
    gDragLastY = gMouseY;
  }

  gGaragePitchSpeed = Decayed(gGaragePitchSpeed, ff);
  gGaragePitch = std::clamp(gGaragePitch + gGaragePitchSpeed * kSpinRate * ff, kGaragePitchMin, kGaragePitchMax);
  gGarageYawSpeed = Decayed(gGarageYawSpeed, ff);
  gGarageYaw += gGarageYawSpeed * kSpinRate * ff;
  SetViewValues();
  gNotOverButton = 1;
}

void GarageCameraToward(const GaragePreset& target) {
  const float ff = gFrameFactor;
  if (gGarageYaw > kFullTurn) gGarageYaw -= kFullTurn;
  if (gGarageYaw < 0.0f) gGarageYaw += kFullTurn;
  const float before = gGarageYaw - target.yaw;

  const float rawStep = YawStep(gGarageYaw, target.yaw);
  const float pitchRatio = std::fabs(gGaragePitch - target.pitch) / std::max(std::fabs(rawStep), kMinDivisor);
  const float d = BoundYawStep(rawStep);
  const bool gliding = gScreen == gTargetScreen && gCarChangeProgress < 1.0f;

  if (gliding) gGarageYaw = StepToward(gGarageYaw, target.yaw, d * kGlideRate * ff);
  const float after = gGarageYaw - target.yaw;
  const bool passed = before * after < 0.0f;
  if (passed) gGarageYaw = target.yaw;

  if (gliding) gGaragePitch = StepToward(gGaragePitch, target.pitch, std::fabs(d) * pitchRatio * kGlideRate * ff);
  if (passed) gGaragePitch = target.pitch;
  gGaragePitch = std::clamp(gGaragePitch, kGaragePitchMin, kGaragePitchMax);

  const float zoomRatio =
      std::fabs(gGarageZoom - target.zoom) / std::max(std::fabs(gGarageYaw - target.yaw), kMinDivisor);
  if (gliding) gGarageZoom = StepToward(gGarageZoom, target.zoom, std::fabs(d) * zoomRatio * kGlideRate * ff);
  if (passed) gGarageZoom = target.zoom;
  gGarageZoom = std::clamp(gGarageZoom, kGarageZoomMin, kGarageZoomMax);
  SetViewValues();
}

void GarageCameraToPreset(int screen) { GarageCameraToward(GaragePresetFor(screen)); }

void MoveGarageCamera() {
  if (gFreeCamera)
    GarageCameraInput();
  else if (gScreen == gTargetScreen)
    GarageCameraToPreset(gScreen);
}
