// The projection by target screen and the lights, read back from GL.
#include "render/race_frame.h"

#include "framework/globals.h"
#include "render/garage_camera.h"
#include "render/renderer.h"
#include "tests/support/gl_window.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Projection {
  float fovDegrees;  // vertical
  float aspect;
  float nearPlane, farPlane;
};

// The perspective loaded in GL, from its matrix.
Projection ReadProjection() {
  float m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  const float f = m[5];
  Projection p;
  p.fovDegrees = float(2.0 * std::atan(1.0 / f) * 180.0 / 3.14159265358979);
  p.aspect = f / m[0];
  p.nearPlane = m[14] / (m[10] - 1.0f);
  p.farPlane = m[14] / (m[10] + 1.0f);
  return p;
}

class RaceProjection : public ::testing::Test {
 protected:
  void TearDown() override {
    gTargetScreen = ScreenState::Splash;
    gRaceFrame.fovSpeed = gRaceFrame.fovBoost = 0.0f;
  }
};

}  // namespace

TEST_F(RaceProjection, InARaceWidensWithSpeedAndReachesTheFarPlane) {
  REQUIRE_GL_WINDOW(window);
  gTargetScreen = ScreenState::Racing;
  gRaceFrame.fovSpeed = 1.0f;
  gRaceFrame.fovBoost = 0.5f;
  gFarPlane = 380.0f;
  SetProjection(1024, 768);
  const Projection p = ReadProjection();
  EXPECT_NEAR(p.fovDegrees, 55.0f, 0.01f);
  EXPECT_NEAR(p.aspect, 1024.0f / 768.0f, 1e-4f);
  EXPECT_NEAR(p.nearPlane, 0.1f, 1e-3f);
  EXPECT_NEAR(p.farPlane, 380.0f, 1.0f);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(RaceProjection, OverTheGarageIsThirtyDegreesWhateverTheSpeedTerm) {
  REQUIRE_GL_WINDOW(window);
  gTargetScreen = ScreenState::Splash;
  gRaceFrame.fovSpeed = 1.0f;
  gGarageViewZoom = 10.0f;
  SetProjection(1280, 1024);
  const Projection p = ReadProjection();
  EXPECT_NEAR(p.fovDegrees, 30.0f, 0.01f);
  EXPECT_NEAR(p.nearPlane, 10.0f, 0.01f);  // zoom x 0.9 + 1
  EXPECT_NEAR(p.farPlane, 15000.0f, 50.0f);
  gGarageViewZoom = 0.0f;
}

TEST_F(RaceProjection, AHeightOfZeroCountsAsOne) {
  REQUIRE_GL_WINDOW(window);
  gTargetScreen = ScreenState::Racing;
  SetProjection(640, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
  EXPECT_NEAR(ReadProjection().aspect, 640.0f, 0.1f);
  SetProjection(GlWindow::kWidth, GlWindow::kHeight);
}

TEST(RaceLights, PutTheSunFarUpAndTheSecondLightAlongTheCamera) {
  REQUIRE_GL_WINDOW(window);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gCameraEye = neMakeV3(3, 4, 5);
  SetupLights();
  EXPECT_EQ(gSunPosition[1], 50000.0f);
  GLfloat sun[4], second[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, sun);
  glGetLightfv(GL_LIGHT1, GL_POSITION, second);
  EXPECT_EQ(sun[0], 25000.0f);
  EXPECT_EQ(sun[3], 1.0f);
  EXPECT_EQ(second[2], 5.0f);
  EXPECT_EQ(second[3], 0.0f);
}
