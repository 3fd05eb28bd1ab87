// Views and clip planes: the plane order, the box rule and the views whose
// placement is ours to choose or easy to get wrong.
#include "render/frustum.h"

#include "render/race_camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

float Side(const float plane[4], float x, float y, float z) {
  return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}

TEST(FrustumPlanes, ComeInTheirOrderWithUnitNormals) {
  float planes[kFrustumPlaneCount][4];
  Matrix4 projection, view;
  projection.BuildPerspectiveMatrix(60.0f, 1.0f, 1.0f, 300.0f);
  view.BuildLookAtMatrix({0, 0, 0}, {0, 0, -1}, {0, 1, 0});  // looking down -z
  ExtractFrustumPlanes(projection, view, planes);
  // Each point lies outside exactly the plane named beside it.
  const struct {
    int plane;
    float x, y, z;
  } outside[] = {{kPlaneRight, 200, 0, -100}, {kPlaneLeft, -200, 0, -100},  {kPlaneFar, 0, 0, -310},
                 {kPlaneNear, 0, 0, -0.5f},   {kPlaneBottom, 0, -200, -100}, {kPlaneTop, 0, 200, -100}};
  for (const auto& o : outside)
    for (int p = 0; p < kFrustumPlaneCount; ++p)
      EXPECT_EQ(Side(planes[p], o.x, o.y, o.z) > 0.0f, p != o.plane) << "point outside " << o.plane << ", plane " << p;
  EXPECT_NEAR(Side(planes[kPlaneFar], 0, 0, -250), 50.0f, 0.01f);  // a distance: the normal is unit
  // A racer's box counts while any of it is inside; there is no distance cut.
  EXPECT_TRUE(BoxInFrustum({0, 0, -305, 0}, planes));
  EXPECT_FALSE(BoxInFrustum({0, 0, 50, 0}, planes));
}

TEST(QuatToAxisAngle, GivesTheTurnAndAWPastOneByRoundingIsNoTurnRatherThanNaN) {
  neV3 axis;
  float angle = -1;
  QuatToAxisAngle({0, 0.7071068f, 0, 0.7071068f}, &axis, &angle);
  EXPECT_NEAR(angle, 1.5707963f, 1e-5f);
  EXPECT_NEAR(axis.y, 1.0f, 1e-5f);
  QuatToAxisAngle({0.01f, 0, 0, 1.00001f}, &axis, &angle);
  EXPECT_EQ(angle, 0.0f);
}

TEST(BoxInPlanes, ACornerExactlyOnAPlaneIsStillOutside) {
  // Plane 0 keeps x > 0; the others keep everything.
  float planes[kFrustumPlaneCount][4] = {{1, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 1},
                                         {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
  const int all[] = {0, 1, 2, 3, 4, 5};
  const float lo[3] = {-20, 0, 0}, onPlane[3] = {0, 10, 10}, justIn[3] = {0.001f, 10, 10};
  EXPECT_FALSE(BoxInPlanes(lo, onPlane, planes, all, 6));
  EXPECT_TRUE(BoxInPlanes(lo, justIn, planes, all, 6));
}

class Views : public ::testing::Test {
 protected:
  void SetUp() override {
    gSimCameraEye = {10.0f, 5.0f, 20.0f, 0.0f};
    gSimCameraLookAt = {10.0f, 5.0f, 0.0f, 0.0f};  // looking down -z
  }
};

TEST_F(Views, TheRaceSunStandsOffAboveAPointAheadAndCubeFacesKeepItsMatrices) {
  SetupCameraFrustum(kViewShadowLight, 0);
  EXPECT_FLOAT_EQ(gShadowLightTarget.z, -30.0f);  // 50 ahead on the ground
  EXPECT_FLOAT_EQ(gShadowLightEye.x, 2510.0f);
  EXPECT_FLOAT_EQ(gShadowLightEye.y, 3000.0f);
  EXPECT_FLOAT_EQ(gShadowLightEye.z, 2470.0f);
  EXPECT_TRUE(BoxInFrustum({10, 0, -30, 0}, gFrustumPlanes));
  EXPECT_FALSE(BoxInFrustum({10, 0, 300, 0}, gFrustumPlanes));
  // The shadow pass reads the sun's matrices after the tick's cube faces.
  const Matrix4 sunProjection = gSimCameraMatrix0, sunView = gSimCameraMatrix1;
  for (int face = 0; face < kCubeFaceCount; ++face) SetupCameraFrustum(kViewCubeFace, face);
  EXPECT_TRUE(std::equal(sunProjection.m, sunProjection.m + 16, gSimCameraMatrix0.m));
  EXPECT_TRUE(std::equal(sunView.m, sunView.m + 16, gSimCameraMatrix1.m));
}

TEST_F(Views, TheSixCubeFacesTogetherSeeAllAroundTheEyeWithin55) {
  float faces[kCubeFaceCount][kFrustumPlaneCount][4];
  for (int face = 0; face < kCubeFaceCount; ++face) {
    SetupCameraFrustum(kViewCubeFace, face);
    std::copy(&gFrustumPlanes[0][0], &gFrustumPlanes[0][0] + 24, &faces[face][0][0]);
  }
  const neV3 e = gSimCameraEye;
  for (int d = 0; d < 27; ++d) {
    const int dx = d % 3 - 1, dy = d / 3 % 3 - 1, dz = d / 9 - 1;
    if (!dx && !dy && !dz) continue;
    const float len = std::sqrt(float(dx * dx + dy * dy + dz * dz)) / 30.0f;
    int seenBy = 0;
    for (const auto& planes : faces) {
      bool inside = true;
      for (const auto& plane : planes)
        inside = inside && Side(plane, e.x + dx / len, e.y + dy / len, e.z + dz / len) >= -1e-3f;
      seenBy += inside;
    }
    EXPECT_GE(seenBy, 1) << dx << " " << dy << " " << dz;
    EXPECT_TRUE(seenBy == 1 || dx * dx + dy * dy + dz * dz > 1) << "an axis is one face's centre";
  }
  for (const auto& planes : faces) EXPECT_FALSE(BoxInFrustum({e.x + 80, e.y + 80, e.z + 80, 0}, planes));
}

}  // namespace
