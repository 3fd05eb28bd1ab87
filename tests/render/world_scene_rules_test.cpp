// The world scene's and the post passes' rules that need no window: the
// landscape pair of a terrain material, which terrain triangles show one
// landscape, the sun's glare, the blur steps.
#include "framework/globals.h"
#include "render/post_passes.h"
#include "render/world_scene.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LandscapePair, FollowsTheEmissiveRedByTenthsWithUpperBoundsIncluded) {
  const struct {
    float emissiveRed;
    int pair, a, b;
  } cases[] = {
      {0.05f, 0, 0, 1}, {0.1f, 0, 0, 1}, {0.15f, 1, 0, 2}, {0.3f, 2, 0, 3}, {0.31f, 3, 0, 4},
      {0.45f, 4, 1, 2}, {0.6f, 5, 1, 3}, {0.7f, 6, 1, 4},  {0.75f, 7, 2, 3}, {0.9f, 8, 2, 4},
      {1.0f, 9, 3, 4},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(LandscapePairOf(c.emissiveRed), c.pair) << "emissive red " << c.emissiveRed;
    int a = -1, b = -1;
    LandscapesOfPair(c.pair, &a, &b);
    EXPECT_EQ(a, c.a) << "pair " << c.pair;
    EXPECT_EQ(b, c.b) << "pair " << c.pair;
  }
}

TEST(LandscapePair, NoneForNothingOrMoreThanOne) {
  for (float e : {0.0f, -0.2f, 1.01f, 7.0f}) EXPECT_EQ(LandscapePairOf(e), -1) << e;
}

// A corner's normal whose height over its length is `upness` (scaled, as
// the meshes' normals need not be unit).
struct Corner {
  float x, y, z;
};
Corner Tilted(float upness, float scale) {
  return {std::sqrt(1.0f - upness * upness) * scale, upness * scale, 0.0f};
}

TEST(TerrainSlope, OneLandscapeOnlyWhenEveryCornerIsPastItsBound) {
  const struct {
    float upness[3];
    TerrainSlope slope;
  } cases[] = {
      {{1.0f, 1.0f, 1.0f}, TerrainSlope::Flat},      {{0.9f, 0.86f, 1.0f}, TerrainSlope::Flat},
      {{0.0f, 0.3f, 0.59f}, TerrainSlope::Steep},    {{-1.0f, 0.5f, 0.2f}, TerrainSlope::Steep},
      {{1.0f, 1.0f, 0.84f}, TerrainSlope::Mixed},    {{0.5f, 0.5f, 0.61f}, TerrainSlope::Mixed},
      {{1.0f, 0.5f, 1.0f}, TerrainSlope::Mixed},     {{0.7f, 0.7f, 0.7f}, TerrainSlope::Mixed},
      {{0.8505f, 1.0f, 1.0f}, TerrainSlope::Mixed},  {{0.5995f, 0.0f, 0.0f}, TerrainSlope::Mixed},
  };
  for (const auto& c : cases)
    for (float scale : {1.0f, 0.01f, 40.0f}) {
      float normals[3][3];
      for (int k = 0; k < 3; ++k) {
        const Corner n = Tilted(c.upness[k], scale);
        normals[k][0] = n.x, normals[k][1] = n.y, normals[k][2] = n.z;
      }
      EXPECT_EQ(TerrainSlopeOf(normals), c.slope)
          << c.upness[0] << " " << c.upness[1] << " " << c.upness[2] << " x" << scale;
    }
  // A zero normal leaves the blend to the program.
  const float zero[3][3] = {{0, 1, 0}, {0, 0, 0}, {0, 1, 0}};
  EXPECT_EQ(TerrainSlopeOf(zero), TerrainSlope::Mixed);
}

TEST(SunGlare, RisesInHalfASecondAndFadesInOne) {
  float glare = 0.0f;
  for (int frame = 0; frame < 49; ++frame) glare = StepSunGlare(glare, true, 1.0f);  // 100 frames a second
  EXPECT_LT(glare, 1.0f);
  glare = StepSunGlare(StepSunGlare(glare, true, 1.0f), true, 1.0f);
  EXPECT_EQ(glare, 1.0f);
  EXPECT_EQ(StepSunGlare(glare, true, 5.0f), 1.0f);
  for (int frame = 0; frame < 99; ++frame) glare = StepSunGlare(glare, false, 1.0f);
  EXPECT_GT(glare, 0.0f);
  EXPECT_EQ(StepSunGlare(StepSunGlare(glare, false, 1.0f), false, 1.0f), 0.0f);
}

TEST(BlurTexOffset, TheFirstPassStepsTheWindowWidthOverTheBlurWidthInWholePixels) {
  gBlurWidth = 400;
  const struct {
    int width;
    float step;
  } cases[] = {{1024, 2}, {1280, 3}, {1600, 4}, {1680, 4}, {1920, 4}};
  for (const auto& c : cases) {
    float offset[2];
    BlurTexOffset(kPostFromWindow, c.width, offset);
    EXPECT_EQ(offset[0], c.step) << c.width;
    EXPECT_EQ(offset[1], 0.0f);
  }
  const struct {
    int variant;
    float x, y;
  } variants[] = {{kPostFromBlur, 0, 1}, {2, 1, 0}, {3, 0, 1}};
  for (const auto& v : variants) {
    float offset[2];
    BlurTexOffset(v.variant, 1024, offset);
    EXPECT_EQ(offset[0], v.x) << "variant " << v.variant;
    EXPECT_EQ(offset[1], v.y) << "variant " << v.variant;
  }
}
