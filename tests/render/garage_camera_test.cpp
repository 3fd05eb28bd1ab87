// The garage camera: the glide to each screen's preset and the free camera
// under the mouse.
#include "render/garage_camera.h"

#include "framework/globals.h"
#include "math/ne_math.h"
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
    gMouseX = gDragLastX = 400;
    gMouseY = gDragLastY = 300;
    gGarageWobblePhase = 0.0f;
    gGaragePitch = 8.0f;
    gGarageYaw = 240.0f;
    gGarageZoom = 1.0f;
    gGaragePitchSpeed = gGarageYawSpeed = 0.0f;
    gFreeCamera = 0;
  }
};

TEST_F(GarageCamera, TurnsTheShortWayThroughZeroAndSettlesOnThePreset) {
  gGarageYaw = 10.0f;
  const GaragePreset target = {8.0f, 350.0f, 1.0f};
  GarageCameraToward(target);
  EXPECT_NEAR(gGarageYaw, 8.8f, 1e-4f);

  bool wentBelowZero = false, cameBackFromTheTop = false;
  for (int step = 0; step < 2000 && gGarageYaw != target.yaw; ++step) {
    GarageCameraToward(target);
    ASSERT_TRUE(gGarageYaw < 10.0f || gGarageYaw > 349.99f) << "took the long way at " << gGarageYaw;
    if (gGarageYaw < 0.0f) wentBelowZero = true;
    if (wentBelowZero && gGarageYaw > 350.0f && gGarageYaw < 360.0f) cameBackFromTheTop = true;
  }
  EXPECT_TRUE(wentBelowZero);
  EXPECT_TRUE(cameBackFromTheTop);
  EXPECT_EQ(gGarageYaw, 350.0f);
}

TEST_F(GarageCamera, PitchAndZoomArriveWithTheYaw) {
  gGarageYaw = 200.0f;
  gGaragePitch = 0.0f;
  gGarageZoom = -0.5f;
  const GaragePreset target = GaragePresetFor(1);  // main menu: 15, 229, 2.3
  for (int step = 0; step < 2000 && gGarageYaw != target.yaw; ++step) GarageCameraToward(target);
  EXPECT_EQ(gGarageYaw, 229.0f);
  EXPECT_EQ(gGaragePitch, 15.0f);
  EXPECT_EQ(gGarageZoom, 2.3f);
}

TEST_F(GarageCamera, AtThePresetYawPitchAndZoomStay) {
  gGarageYaw = 230.0f;
  gGaragePitch = 3.0f;
  gGarageZoom = 1.5f;
  GarageCameraToPreset(10);  // garage: 7, 230, -0.5
  EXPECT_EQ(gGarageYaw, 230.0f);
  EXPECT_EQ(gGaragePitch, 3.0f);
  EXPECT_EQ(gGarageZoom, 1.5f);
}

TEST_F(GarageCamera, AStepPastThePresetSnapsOntoIt) {
  gFrameFactor = 20.0f;  // 1.2 x the remaining way
  gGarageYaw = 200.0f;
  gGaragePitch = 0.0f;
  gGarageZoom = 0.0f;
  GarageCameraToPreset(10);
  EXPECT_EQ(gGarageYaw, 230.0f);
  EXPECT_EQ(gGaragePitch, 7.0f);
  EXPECT_EQ(gGarageZoom, -0.5f);
}

TEST_F(GarageCamera, NoGlideWhileTheTruckIsBeingChanged) {
  gCarChangeProgress = 1.0f;
  GarageCameraToPreset(1);
  EXPECT_EQ(gGarageYaw, 240.0f);
  EXPECT_EQ(gGaragePitch, 8.0f);
}

TEST_F(GarageCamera, PresetsByScreen) {
  const struct {
    int screen;
    GaragePreset preset;
  } cases[] = {{5, {1, 172, 2.3f}}, {7, {1, 172, 2.3f}}, {30, {4, 126, -0.5f}}, {44, {16, 330, 2.3f}},
               {2, {8, 240, 1.0f}}, {99, {8, 240, 1.0f}}};
  for (const auto& c : cases) {
    const GaragePreset p = GaragePresetFor(c.screen);
    EXPECT_EQ(p.pitch, c.preset.pitch) << c.screen;
    EXPECT_EQ(p.yaw, c.preset.yaw) << c.screen;
    EXPECT_EQ(p.zoom, c.preset.zoom) << c.screen;
  }
}

TEST_F(GarageCamera, TheSplashPresetsZoomIsHeldByTheClamp) {
  gGarageYaw = 100.0f;
  for (int step = 0; step < 2000 && gGarageYaw != 240.0f; ++step) GarageCameraToPreset(100);
  EXPECT_EQ(gGarageZoom, kGarageZoomMax);
}

TEST_F(GarageCamera, ViewValuesSwayAroundTheOrbit) {
  gGarageWobblePhase = NE_PI / 2.0f;
  gGarageYaw = 230.0f;
  gGarageZoom = -0.5f;
  GarageCameraToPreset(10);
  EXPECT_NEAR(gGarageViewYaw, 245.0f, 1e-4f);   // + 15 sin(phase)
  EXPECT_NEAR(gGarageViewZoom, -0.5f, 1e-4f);  // + 0.5 sin(phase + pi/2) = 0
  EXPECT_EQ(gGarageViewPitch, gGaragePitch);
}

TEST_F(GarageCamera, TheLeftButtonZoomsInOnlyOffTheMenuButtons) {
  gLeftButton = 1;
  gNotOverButton = 0;  // a menu button is under the pointer
  GarageCameraInput();
  EXPECT_EQ(gGarageZoom, 1.0f);
  EXPECT_EQ(gNotOverButton, 1);  // set again for the next frame
  GarageCameraInput();
  EXPECT_NEAR(gGarageZoom, 0.975f, 1e-6f);
}

TEST_F(GarageCamera, TheRightButtonZoomsOutEvenOverAMenuButton) {
  gRightButton = 1;
  gNotOverButton = 0;
  GarageCameraInput();
  EXPECT_NEAR(gGarageZoom, 1.025f, 1e-6f);
}

TEST_F(GarageCamera, NoZoomDuringAScreenFade) {
  gRightButton = 1;
  gScreenFade = 0.5f;
  GarageCameraInput();
  EXPECT_EQ(gGarageZoom, 1.0f);
}

TEST_F(GarageCamera, ZoomStaysWithinItsLimits) {
  gRightButton = 1;
  for (int i = 0; i < 200; ++i) GarageCameraInput();
  EXPECT_EQ(gGarageZoom, kGarageZoomMax);
  gRightButton = 0;
  gLeftButton = 1;
  for (int i = 0; i < 200; ++i) GarageCameraInput();
  EXPECT_EQ(gGarageZoom, kGarageZoomMin);
}

TEST_F(GarageCamera, DraggingRightSpinsTheYawDownAndDraggingDownRaisesThePitch) {
  gLeftButton = 1;
  gMouseX = 420;  // 20 to the right
  gMouseY = 310;  // 10 down
  GarageCameraInput();
  EXPECT_LT(gGarageYawSpeed, 0.0f);
  EXPECT_GT(gGaragePitchSpeed, 0.0f);
  EXPECT_LT(gGarageYaw, 240.0f);
  EXPECT_GT(gGaragePitch, 8.0f);
  EXPECT_EQ(gDragLastX, 420);
  EXPECT_EQ(gDragLastY, 310);
}

TEST_F(GarageCamera, SpinDiesAwayAndStopsBelowOneHundredth) {
  gGarageYawSpeed = 0.5f;
  gGaragePitchSpeed = -0.02f;
  GarageCameraInput();
  EXPECT_NEAR(gGarageYawSpeed, 0.485f, 1e-6f);  // 3 % per frame-factor unit
  EXPECT_NEAR(gGaragePitchSpeed, -0.0194f, 1e-6f);
  for (int i = 0; i < 200; ++i) GarageCameraInput();
  EXPECT_EQ(gGarageYawSpeed, 0.0f);
  EXPECT_EQ(gGaragePitchSpeed, 0.0f);
}

TEST_F(GarageCamera, FreePitchStaysWithinItsLimits) {
  gGaragePitchSpeed = 1.0f;
  for (int i = 0; i < 100; ++i) {
    gGaragePitchSpeed = 1.0f;
    GarageCameraInput();
  }
  EXPECT_EQ(gGaragePitch, kGaragePitchMax);
}

TEST_F(GarageCamera, EachFrameGlidesToTheScreensPresetUnlessTheMouseHasTakenOver) {
  gScreen = 1;  // main menu, yaw 229
  gTargetScreen = 1;
  MoveGarageCamera();
  EXPECT_LT(gGarageYaw, 240.0f);

  const float yaw = gGarageYaw;
  gTargetScreen = 3;  // fading to the options
  MoveGarageCamera();
  EXPECT_EQ(gGarageYaw, yaw);

  gFreeCamera = 1;
  gTargetScreen = 1;
  gGarageYawSpeed = 0.5f;
  MoveGarageCamera();
  EXPECT_GT(gGarageYaw, yaw);  // the spin, not the preset
}

}  // namespace
