// The garage camera: the glide to each screen's preset and the free camera
// under the mouse.
#include "render/garage_camera.h"

#include "framework/globals.h"
#include "world/catalogue.h"

#include <gtest/gtest.h>

namespace {

class GarageCamera : public ::testing::Test {
 protected:
  void SetUp() override {
    gFrameFactor = 1.0f;
    gScreen = 10;
    gTargetScreen = 10;
    gScreenFade = 1.0f;
    gCarChangeProgress = 0.0f;
    gLeftButton = gRightButton = 0;
    gNotOverButton = 1;
    gFreeCamera = 0;
    gGaragePitch = 8.0f, gGarageYaw = 240.0f, gGarageZoom = 1.0f;
    gGaragePitchSpeed = gGarageYawSpeed = 0.0f;
  }
};

TEST_F(GarageCamera, TurnsTheShortWayThroughZeroAndSettlesOnThePreset) {
  gGarageYaw = 10.0f;
  const GaragePreset target = {8.0f, 350.0f, 1.0f};
  GarageCameraToward(target);
  EXPECT_NEAR(gGarageYaw, 8.8f, 1e-4f);
  bool wentBelowZero = false;
  for (int step = 0; step < 2000 && gGarageYaw != target.yaw; ++step) {
    GarageCameraToward(target);
    ASSERT_TRUE(gGarageYaw < 10.0f || gGarageYaw > 349.99f) << "took the long way at " << gGarageYaw;
    wentBelowZero = wentBelowZero || gGarageYaw < 0.0f;
  }
  EXPECT_TRUE(wentBelowZero);
  EXPECT_EQ(gGarageYaw, 350.0f);
}

TEST_F(GarageCamera, AStepPastThePresetSnapsYawPitchAndZoomOntoIt) {
  gFrameFactor = 20.0f;  // 1.2 x the remaining way
  gGarageYaw = 200.0f, gGaragePitch = 0.0f, gGarageZoom = 0.0f;
  GarageCameraToPreset(10);  // garage: 7, 230, -0.5
  EXPECT_EQ(gGarageYaw, 230.0f);
  EXPECT_EQ(gGaragePitch, 7.0f);
  EXPECT_EQ(gGarageZoom, -0.5f);

  gGaragePitch = 3.0f, gGarageZoom = 1.5f;  // at the preset's yaw nothing moves
  GarageCameraToPreset(10);
  EXPECT_EQ(gGaragePitch, 3.0f);
  EXPECT_EQ(gGarageZoom, 1.5f);
}

TEST_F(GarageCamera, ZoomStaysWithinItsLimits) {
  gGarageYaw = 100.0f;
  for (int step = 0; step < 2000 && gGarageYaw != 240.0f; ++step) GarageCameraToPreset(100);
  EXPECT_EQ(gGarageZoom, kGarageZoomMax);  // the splash preset's 3.5 is held
  gRightButton = 1;
  for (int i = 0; i < 200; ++i) GarageCameraInput();
  EXPECT_EQ(gGarageZoom, kGarageZoomMax);
  gRightButton = 0, gLeftButton = 1;
  for (int i = 0; i < 200; ++i) GarageCameraInput();
  EXPECT_EQ(gGarageZoom, kGarageZoomMin);
}

TEST_F(GarageCamera, TheLeftButtonZoomsOnlyOffTheMenuButtonsTheRightOneAnywhere) {
  gLeftButton = 1;
  gNotOverButton = 0;  // a menu button is under the pointer
  GarageCameraInput();
  EXPECT_EQ(gGarageZoom, 1.0f);
  EXPECT_EQ(gNotOverButton, 1);  // set again for the next frame
  gLeftButton = 0, gRightButton = 1;
  gNotOverButton = 0;
  GarageCameraInput();
  EXPECT_NEAR(gGarageZoom, 1.025f, 1e-6f);
}

TEST_F(GarageCamera, SpinDiesAwayAndStops) {
  gFreeCamera = 1;
  gGarageYawSpeed = 0.5f;
  MoveGarageCamera();
  EXPECT_NEAR(gGarageYawSpeed, 0.485f, 1e-6f);  // 3 % per frame-factor unit
  EXPECT_GT(gGarageYaw, 240.0f);                // the spin, not the preset
  for (int i = 0; i < 200; ++i) MoveGarageCamera();
  EXPECT_EQ(gGarageYawSpeed, 0.0f);
}

}  // namespace
