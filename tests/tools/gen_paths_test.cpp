// The shipped race paths: 30 loops a truck can drive round.
#include "world/race_path.h"

#include "framework/settings.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float Distance2d(const neV3& a, const neV3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

// Whether segments ab and cd cross (touching ends are not crossings).
bool Cross(const neV3& a, const neV3& b, const neV3& c, const neV3& d) {
  auto side = [](const neV3& p, const neV3& q, const neV3& r) {
    return (q.x - p.x) * (r.z - p.z) - (q.z - p.z) * (r.x - p.x);
  };
  return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

TEST(ShippedRacePaths, EveryRaceIsAClosedLoopInsideTheLandscape) {
  for (int race = 1; race <= kTrackCount; ++race) {
    ASSERT_TRUE(LoadRacePath(race)) << race;
    const int32_t last = gRacePathLast;
    EXPECT_GE(last, 199) << race;  // at least two checkpoints after the start
    int checkpoints = 0;
    for (int k = 0; k <= last; ++k) {
      const Waypoint& p = gRacePath[k];
      EXPECT_LE(std::fabs(p.position.x), 1800.0f) << race;
      EXPECT_LE(std::fabs(p.position.z), 1800.0f) << race;
      const float step = Distance2d(p.position, gRacePath[k == last ? 0 : k + 1].position);
      EXPECT_GT(step, 5.0f) << race << " point " << k;
      EXPECT_LT(step, 20.0f) << race << " point " << k;
      if (p.type == kWaypointCheckpoint) {
        EXPECT_EQ(k % 100, 0) << race;
        ++checkpoints;
      }
    }
    EXPECT_GE(checkpoints, 2) << race;
  }
}

TEST(ShippedRacePaths, NoPathCrossesItself) {
  for (int race = 1; race <= kTrackCount; ++race) {
    ASSERT_TRUE(LoadRacePath(race));
    const int32_t n = gRacePathLast + 1;
    for (int i = 0; i < n; ++i) {
      for (int j = i + 2; j < n; ++j) {
        if (i == 0 && j == n - 1) continue;  // neighbours across the start
        ASSERT_FALSE(Cross(gRacePath[i].position, gRacePath[(i + 1) % n].position, gRacePath[j].position,
                           gRacePath[(j + 1) % n].position))
            << "race " << race << " segments " << i << " and " << j;
      }
    }
  }
}

TEST(ShippedRacePaths, LastRecordedPathIsACopyOfRaceOne) {
  EXPECT_EQ(ReadFileBytes("base/world/races/last.ai"), ReadFileBytes("base/world/races/1.ai"));
}

}  // namespace
