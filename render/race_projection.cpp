// The view of a frame (see race_projection.h).
#include "render/race_projection.h"

#include "framework/globals.h"
#include "platform/gl.h"
#include "render/garage_camera.h"
#include "render/race_camera.h"
#include "render/race_frame_input.h"

#include <algorithm>

float gFarPlane = 400.0f;
float gSunPosition[3];

namespace {

constexpr float kSunX = 25000.0f, kSunY = 50000.0f, kSunZ = 25000.0f;

// Race projection: 45 degrees, widened by speed (up to 5) and boost (x3).
constexpr double kRaceFieldOfView = 45.0, kFovPerSpeed = 5.0, kFovBoostScale = 2.0;
constexpr double kRaceNearPlane = 0.1;
// Menus over the garage scene.
constexpr double kGarageFieldOfView = 30.0, kGarageFarPlane = 15000.0;
constexpr double kGarageNearPerZoom = 0.9, kGarageNearBase = 1.0;

}  // namespace

int RaceWidth() {
  int32_t width = 0, height = 0;
  if (!ResolutionSize(gResolutionIndex, width, height)) ResolutionSize(0, width, height);
  return width;
}

int RaceHeight() {
  int32_t width = 0, height = 0;
  if (!ResolutionSize(gResolutionIndex, width, height)) ResolutionSize(0, width, height);
  return height;
}

float RaceFieldOfView(float fovSpeed, float fovBoost) {
  return float(kRaceFieldOfView + kFovPerSpeed * fovSpeed * (1.0 + kFovBoostScale * fovBoost));
}

void SetProjection(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = double(width) / height;
  if (gTargetScreen == ScreenState::Racing)
    gluPerspective(RaceFieldOfView(gRaceFrame.fovSpeed, gRaceFrame.fovBoost), aspect, kRaceNearPlane, gFarPlane);
  else
    gluPerspective(kGarageFieldOfView, aspect, gGarageViewZoom * kGarageNearPerZoom + kGarageNearBase, kGarageFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void SetupLights() {
  const GLfloat sun[4] = {kSunX, kSunY, kSunZ, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, sun);
  std::copy(sun, sun + 3, gSunPosition);
  const GLfloat eye[4] = {gCameraEye.x, gCameraEye.y, gCameraEye.z, 0.0f};
  glLightfv(GL_LIGHT1, GL_POSITION, eye);
}
