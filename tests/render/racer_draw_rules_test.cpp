// The rules of racer drawing that need no window: which tyre-track segment
// is drawn when and how faded, how a lamp flare fades with the viewing
// angle, how dust looks and ages, which props and spinning parts are drawn
// and how fast the exhaust streams.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/model.h"
#include "render/car_lights.h"
#include "render/prop_draw.h"
#include "render/racer_draw.h"
#include "render/tyre_tracks.h"
#include "tests/support/quad_model.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDegrees = kPi / 180.0f;

}  // namespace

TEST(TyreTrackRing, RunsFromTheNewestSegmentBeforeTheHeadToTheOldest) {
  struct Case {
    int32_t head;
    int i;
    int segment;
  };
  const Case cases[] = {
      {0, 0, 399}, {0, 399, 0}, {5, 0, 4}, {5, 5, 399}, {5, 399, 5}, {399, 0, 398}, {399, 399, 399},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TyreTrackSegment(c.head, c.i), c.segment) << "head " << c.head << ", i " << c.i;
}

TEST(TyreTrackRing, FadesFromFullAtTheNewestToJustBelowZeroAtTheOldest) {
  EXPECT_FLOAT_EQ(TyreTrackFade(0), 1.0f);
  EXPECT_NEAR(TyreTrackFade(399), -0.0003f, 0.00005f);
  EXPECT_GT(TyreTrackFade(200), TyreTrackFade(201));
}

TEST(LampFlare, IsFullWithinAbout38DegreesAndGoneBehindTheLamp) {
  EXPECT_FLOAT_EQ(FlareFade(0.0f), 1.0f);
  EXPECT_FLOAT_EQ(FlareFade(38.0f * kDegrees), 1.0f);
  EXPECT_LT(FlareFade(45.0f * kDegrees), 1.0f);
  EXPECT_GT(FlareFade(60.0f * kDegrees), 0.0f);
  EXPECT_FLOAT_EQ(FlareFade(84.0f * kDegrees), 0.0f);
  EXPECT_FLOAT_EQ(FlareFade(kPi), 0.0f);
}

TEST(LampFlare, LevelsLightTheHeadAndTailLampsAlwaysAndTheOthersWhenSwitched) {
  RacerLook car;
  float levels[3];
  LampLevels(car, levels);
  EXPECT_EQ(levels[0], 1.0f);
  EXPECT_EQ(levels[1], 0.0f);
  EXPECT_EQ(levels[2], 0.0f);
  car.brakeLight = 1.0f;
  car.reverseLight = 1.0f;
  LampLevels(car, levels);
  EXPECT_EQ(levels[1], 1.0f);
  EXPECT_EQ(levels[2], 1.0f);
}

TEST(WheelDust, ParticleOfAge0Point9IsFaintLargeAndDiesWithinAFrameOf0Point4Seconds) {
  EXPECT_NEAR(DustAlpha(0.9f), 0.1f, 1e-6f);
  EXPECT_NEAR(DustSize(0.9f), 2.55f, 1e-6f);
  EXPECT_NEAR(0.9f + DustAgeStep(40.0f), 1.0f, 1e-6f);
  EXPECT_EQ(DustAgeStep(0.0f), 0.0f) << "a stalled frame ages nothing";
  EXPECT_NEAR(DustSize(0.0f), 0.75f, 1e-6f);
}

TEST(PropSelection, ARestingPropIsDrawnOnlyNearerThan200UnitsToThePlayer) {
  EXPECT_TRUE(PropDrawnAtRest({0, 39999.0f}));
  EXPECT_FALSE(PropDrawnAtRest({0, 40000.0f})) << "exactly 200 units away";
  EXPECT_FALSE(PropDrawnAtRest({1, 100.0f})) << "awake props are drawn on their own";
}

TEST(PropSelection, AwakePropsCountTheSecondsOfDrawnFramesForTheirCrashSound) {
  gCityObjectCount = 2;
  gCityObjects[0].awake = 1;
  gCityObjects[0].crashCoolDown = 0.0f;
  gCityObjects[1].awake = 0;
  gCityObjects[1].crashCoolDown = 0.0f;
  gCityObjects[1].playerDistSq = 25.0f;
  TakePropStates(50.0f);
  EXPECT_FLOAT_EQ(gCityObjects[0].crashCoolDown, 0.5f);
  EXPECT_EQ(gCityObjects[1].crashCoolDown, 0.0f);
  EXPECT_EQ(gPropDrawn[0].awake, 1);
  EXPECT_EQ(gPropDrawn[1].playerDistSq, 25.0f);
  TakePropStates(0.0f);
  EXPECT_FLOAT_EQ(gCityObjects[0].crashCoolDown, 0.5f) << "a stalled frame leaves the timers";
  gCityObjectCount = 0;
  gCityObjects[0].awake = 0;
}

TEST(SpinningParts, OnePerMarkerTriangleOfGroups4To6AndNeverMoreThanThePlacementsHeld) {
  Ms3dFile file = QuadModelFile(0, 0, 1, 1);
  file.groups.clear();
  const int trianglesPerGroup[7] = {1, 4, 1, 1, 3, 0, 12};
  for (int g = 0; g < 7; ++g) {
    Ms3dGroup group{"marker" + std::to_string(g), {}, -1};
    for (int t = 0; t < trianglesPerGroup[g]; ++t) {
      group.triangles.push_back(uint16_t(file.triangles.size()));
      file.triangles.push_back(file.triangles[0]);
    }
    file.groups.push_back(group);
  }
  const std::vector<uint8_t> bytes = EncodeMs3d(file);
  MilkshapeModel points;
  ASSERT_TRUE(points.LoadFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(SpinningPartCount(points, 1), 0) << "lamp markers are no spinning parts";
  EXPECT_EQ(SpinningPartCount(points, 4), 3);
  EXPECT_EQ(SpinningPartCount(points, 5), 0);
  EXPECT_EQ(SpinningPartCount(points, 6), kPlacementCount) << "12 markers, 10 placements";

  Ms3dFile few = QuadModelFile(0, 0, 1, 1);
  const std::vector<uint8_t> fewBytes = EncodeMs3d(few);
  MilkshapeModel fewGroups;
  ASSERT_TRUE(fewGroups.LoadFromBytes(fewBytes.data(), fewBytes.size()));
  EXPECT_EQ(SpinningPartCount(fewGroups, 4), 0) << "a marker model of fewer than five groups";
}

TEST(Exhaust, StreamsAt84WhenIdleAnd240WhileBoostingAndNoFaster) {
  EXPECT_FLOAT_EQ(ExhaustStreamSpeed(0.7f), 84.0f);
  EXPECT_FLOAT_EQ(ExhaustStreamSpeed(2.0f), 240.0f);
  EXPECT_FLOAT_EQ(ExhaustStreamSpeed(3.0f), 240.0f);
}

TEST(Wheels, SitHigherByHalfTheirExtraScale) {
  EXPECT_FLOAT_EQ(WheelHeightOffset(1.0f), 0.0f);
  EXPECT_FLOAT_EQ(WheelHeightOffset(1.3f), 0.15f);
}
