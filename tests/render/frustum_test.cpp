// Views and clip planes: the plane order, the box tests and the four views.
#include "render/frustum.h"

#include "framework/settings.h"
#include "render/race_camera.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float Side(const float plane[4], float x, float y, float z) { return plane[0] * x + plane[1] * y + plane[2] * z + plane[3]; }

// A camera at the origin looking down -z: 60 degrees, square, near 1, far 300.
void LookDownMinusZ(float planes[kFrustumPlaneCount][4]) {
  Matrix4 projection, view;
  projection.BuildPerspectiveMatrix(60.0f, 1.0f, 1.0f, 300.0f);
  view.BuildLookAtMatrix({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
  ExtractFrustumPlanes(projection, view, planes);
}

TEST(FrustumPlanes, ComeInTheirOrderWithUnitNormals) {
  float planes[kFrustumPlaneCount][4];
  LookDownMinusZ(planes);
  // Each point lies outside exactly the plane named beside it.
  const struct {
    int plane;
    float x, y, z;
  } outside[] = {
      {kPlaneRight, 200, 0, -100}, {kPlaneLeft, -200, 0, -100}, {kPlaneFar, 0, 0, -310},
      {kPlaneNear, 0, 0, -0.5f},   {kPlaneBottom, 0, -200, -100}, {kPlaneTop, 0, 200, -100},
  };
  for (const auto& o : outside)
    for (int p = 0; p < kFrustumPlaneCount; ++p)
      EXPECT_EQ(Side(planes[p], o.x, o.y, o.z) > 0.0f, p != o.plane) << "point outside " << o.plane << ", plane " << p;
  for (const auto& plane : planes)
    EXPECT_NEAR(std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]), 1.0f, 1e-5f);
  // The far plane is 300 away along the view, as a distance.
  EXPECT_NEAR(Side(planes[kPlaneFar], 0, 0, -250), 50.0f, 0.01f);
}

TEST(BoxInFrustum, AcceptsABoxAheadAndRejectsOneBehindOrBeyond) {
  float planes[kFrustumPlaneCount][4];
  LookDownMinusZ(planes);
  EXPECT_TRUE(BoxInFrustum({0, 0, -50, 0}, planes));
  EXPECT_FALSE(BoxInFrustum({0, 0, 50, 0}, planes));
  EXPECT_TRUE(BoxInFrustum({0, 0, -305, 0}, planes));  // the box's near half reaches inside
  EXPECT_FALSE(BoxInFrustum({0, 0, -311, 0}, planes));
  // Partly in view at the side: the box reaches over the right plane.
  EXPECT_TRUE(BoxInFrustum({65, 0, -100, 0}, planes));
  EXPECT_FALSE(BoxInFrustum({80, 0, -100, 0}, planes));
}

TEST(BoxInPlanes, ACornerExactlyOnAPlaneIsStillOutside) {
  // Plane 0 keeps x > 0; the others keep everything.
  float planes[kFrustumPlaneCount][4] = {{1, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 1},
                                          {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
  const int all[] = {0, 1, 2, 3, 4, 5};
  const float lo[3] = {-20, 0, 0};
  const float onPlane[3] = {0, 10, 10};
  const float justIn[3] = {0.001f, 10, 10};
  EXPECT_FALSE(BoxInPlanes(lo, onPlane, planes, all, 6));
  EXPECT_TRUE(BoxInPlanes(lo, justIn, planes, all, 6));
  // A plane left out of the list rejects nothing.
  const int sides[] = {1, 4, 5};
  EXPECT_TRUE(BoxInPlanes(lo, onPlane, planes, sides, 3));
}

class Views : public ::testing::Test {
 protected:
  void SetUp() override {
    gSimCameraEye = {10.0f, 5.0f, 20.0f, 0.0f};
    gSimCameraLookAt = {10.0f, 5.0f, 0.0f, 0.0f};  // looking down -z
    gSimCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
    gSimFovSpeed = 0.0f;
    gSimFovBoost = 0.0f;
    gSightDistance = 310.0f;
    gResolutionIndex = 0;
  }
};

TEST_F(Views, TheCameraSeesAheadUpToTheSightDistance) {
  SetupCameraFrustum(kViewCamera, 0);
  EXPECT_GT(Side(gFrustumPlanes[kPlaneFar], 10, 5, 20 - 309), 0.0f);
  EXPECT_LT(Side(gFrustumPlanes[kPlaneFar], 10, 5, 20 - 311), 0.0f);
  EXPECT_LT(Side(gFrustumPlanes[kPlaneNear], 10, 5, 20 - 0.9f), 0.0f);
  EXPECT_GT(Side(gFrustumPlanes[kPlaneNear], 10, 5, 20 - 1.1f), 0.0f);
}

TEST_F(Views, TheCameraFieldOfViewWidensWithSpeedAndBoost) {
  EXPECT_EQ(CameraFieldOfView(0.0f, 0.0f), 65.0f);
  EXPECT_EQ(CameraFieldOfView(1.0f, 0.0f), 75.0f);
  EXPECT_EQ(CameraFieldOfView(1.0f, 1.0f), 95.0f);
  // 65 degrees high in a 4:3 window: the point at the top edge of the view.
  const float edge = 100.0f * std::tan(32.5f * NE_PI / 180.0f);
  SetupCameraFrustum(kViewCamera, 0);
  EXPECT_NEAR(Side(gFrustumPlanes[kPlaneTop], 10, 5 + edge, 20 - 100), 0.0f, 0.01f);
  EXPECT_NEAR(Side(gFrustumPlanes[kPlaneRight], 10 + edge * 4.0f / 3.0f, 5, 20 - 100), 0.0f, 0.01f);
}

TEST_F(Views, WindowAspectByResolution) {
  EXPECT_FLOAT_EQ(WindowAspect(0), 1024.0f / 768.0f);
  EXPECT_FLOAT_EQ(WindowAspect(8), 1920.0f / 1080.0f);
  EXPECT_FLOAT_EQ(WindowAspect(42), 1024.0f / 768.0f);
}

TEST_F(Views, TheRaceSunStandsOffToPlusXPlusZAboveAPointAheadOfTheCamera) {
  SetupCameraFrustum(kViewShadowLight, 0);
  // 50 ahead along the ground direction of the view.
  EXPECT_FLOAT_EQ(gShadowLightTarget.x, 10.0f);
  EXPECT_FLOAT_EQ(gShadowLightTarget.y, 5.0f);
  EXPECT_FLOAT_EQ(gShadowLightTarget.z, -30.0f);
  EXPECT_FLOAT_EQ(gShadowLightEye.x, 2510.0f);
  EXPECT_FLOAT_EQ(gShadowLightEye.y, 3000.0f);
  EXPECT_FLOAT_EQ(gShadowLightEye.z, 2470.0f);
  // The sun's matrices are kept for the shadow pass.
  Matrix4 view;
  view.BuildLookAtMatrix(gShadowLightEye, gShadowLightTarget, {0, 1, 0});
  for (int i = 0; i < 16; ++i) EXPECT_EQ(gSimCameraMatrix1.m[i], view.m[i]);
  EXPECT_NE(gSimCameraMatrix0.m[0], 1.0f);
  // The narrow view holds the ground around the target, not the camera's far side.
  EXPECT_TRUE(BoxInFrustum({10, 0, -30, 0}, gFrustumPlanes));
  EXPECT_FALSE(BoxInFrustum({10, 0, 300, 0}, gFrustumPlanes));
}

TEST_F(Views, CubeFacesLeaveTheSunsMatricesAlone) {
  SetupCameraFrustum(kViewShadowLight, 0);
  const Matrix4 sunProjection = gSimCameraMatrix0;
  for (int face = 0; face < kCubeFaceCount; ++face) SetupCameraFrustum(kViewCubeFace, face);
  SetupCameraFrustum(kViewCamera, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(gSimCameraMatrix0.m[i], sunProjection.m[i]);
}

TEST_F(Views, TheSixCubeFacesTogetherSeeAllAroundTheEyeWithin55) {
  const float e[3] = {gSimCameraEye.x, gSimCameraEye.y, gSimCameraEye.z};
  float faces[kCubeFaceCount][kFrustumPlaneCount][4];
  for (int face = 0; face < kCubeFaceCount; ++face) {
    SetupCameraFrustum(kViewCubeFace, face);
    std::copy(&gFrustumPlanes[0][0], &gFrustumPlanes[0][0] + 24, &faces[face][0][0]);
  }
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      for (int dz = -1; dz <= 1; ++dz) {
        if (!dx && !dy && !dz) continue;
        const float len = std::sqrt(float(dx * dx + dy * dy + dz * dz));
        const float p[3] = {e[0] + 30 * dx / len, e[1] + 30 * dy / len, e[2] + 30 * dz / len};
        int seenBy = 0;
        for (const auto& planes : faces) {
          bool inside = true;
          for (const auto& plane : planes) inside = inside && Side(plane, p[0], p[1], p[2]) >= -1e-3f;
          seenBy += inside;
        }
        EXPECT_GE(seenBy, 1) << dx << " " << dy << " " << dz;
        if (dx * dx + dy * dy + dz * dz == 1) {
          EXPECT_EQ(seenBy, 1) << dx << " " << dy << " " << dz;
        }
      }
  // Nothing beyond the reflected range.
  for (const auto& planes : faces) EXPECT_FALSE(BoxInFrustum({e[0] + 80, e[1] + 80, e[2] + 80, 0}, planes));
}

TEST_F(Views, TheGarageSunIsScaledToTheShowroomAndKeptForItsShadowPass) {
  gCameraEye = {0.0f, 3.0f, 10.0f, 0.0f};
  gGarageLookAt = {0.0f, 1.0f, 0.0f, 0.0f};
  SetupCameraFrustum(kViewGarageSun, 0);
  EXPECT_FLOAT_EQ(gShadowLightTarget.z, 10.0f - 27.5f);
  EXPECT_FLOAT_EQ(gShadowLightEye.x, 337.5f);
  EXPECT_FLOAT_EQ(gShadowLightEye.y, 405.00003f);
  EXPECT_FLOAT_EQ(gShadowLightEye.z, 10.0f - 27.5f + 337.5f);
  Matrix4 view;
  view.BuildLookAtMatrix(gShadowLightEye, gShadowLightTarget, {0, 1, 0});
  for (int i = 0; i < 16; ++i) EXPECT_EQ(gLightView.m[i], view.m[i]);
}

}  // namespace
