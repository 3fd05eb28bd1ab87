// A whole race, headless, through the worker's race tick at a fixed frame
// time: the start countdown, four laps for the player driven by a test
// driver through the bound keys, the three opponents racing it, the finish.
// The test keeps its own lap log and checks the game's clocks, laps and
// places against it. On a generated loop over rolling ground, and on the
// game's shortest track.
#include "app/race_tick.h"
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "world/city_object.h"
#include "world/player.h"
#include "world/race_path.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds
constexpr int kHundredthsPerFrame = 2;
constexpr int kCountdownFrames = 3 * kFramesPerSecond;
constexpr int kMaxRaceFrames = 240 * kFramesPerSecond;

// A loop of two straights joined by half circles, point 0 in the middle of
// the first straight, about 6 apart: over 200 points, so that point 100 is
// a checkpoint besides the line.
std::vector<neV3> LoopPath() {
  constexpr float kHalfStraight = 200.0f, kRadius = 90.0f, kSpacing = 6.0f;
  std::vector<neV3> path;
  for (float x = 0.0f; x < kHalfStraight; x += kSpacing) path.push_back(neMakeV3(x, 0, -kRadius));
  const int arc = static_cast<int>(NE_PI * kRadius / kSpacing);
  for (int i = 0; i < arc; ++i) {
    const float a = -NE_PI * 0.5f + NE_PI * i / arc;
    path.push_back(neMakeV3(kHalfStraight + kRadius * std::cos(a), 0, kRadius * std::sin(a)));
  }
  for (float x = kHalfStraight; x > -kHalfStraight; x -= kSpacing) path.push_back(neMakeV3(x, 0, kRadius));
  for (int i = 0; i < arc; ++i) {
    const float a = NE_PI * 0.5f + NE_PI * i / arc;
    path.push_back(neMakeV3(-kHalfStraight + kRadius * std::cos(a), 0, kRadius * std::sin(a)));
  }
  for (float x = -kHalfStraight; x < 0.0f; x += kSpacing) path.push_back(neMakeV3(x, 0, -kRadius));
  return path;
}

float RollingGround(float x, float z) { return 1.5f * std::sin(x * 0.013f) + 1.0f * std::cos(z * 0.017f); }

// One race frame through the game's race tick.
void Tick(int count = 1) {
  for (int i = 0; i < count; ++i) RunRaceTick(kSceneFrameSeconds);
}

float GroundDistance(const neV3& a, const neV3& b) { return std::hypot(a.x - b.x, a.z - b.z); }


// The test's player: aims a few points ahead of the last point it has
// reached, steers in proportion to the angle to it and lifts off before
// the bends.
class TestDriver {
 public:
  static constexpr int kAimPoints = 3, kBendPoints = 6;
  static constexpr float kDeadBand = 0.01f;  // radians
  static constexpr float kBendAngle = 0.3f, kBendSpeed = 16.0f, kStraightSpeed = 26.0f;
  void Drive(RaceScene& scene) {
    const Racer& car = scene.player();
    const neV3 p = car.body->GetPos();
    while (GroundDistance(p, gRacePath[point_].position) < 20.0f) point_ = Next(point_, 1);
    const neV3 forward = car.body->GetRotationM3()[0];
    const float angle = HeadingDeltaNormalized(forward, gRacePath[Next(point_, kAimPoints)].position - p);
    const float bend = HeadingDeltaNormalized(forward, gRacePath[Next(point_, kBendPoints)].position - p);
    // Keys only ramp the steering up and drop it on release: hold a key
    // until the steering reaches the angle, then let go.
    const float wanted = std::clamp(angle, -0.7f, 0.7f);
    scene.Press(kControlSteerLeft, wanted > kDeadBand && car.steerInput < wanted);
    scene.Press(kControlSteerRight, wanted < -kDeadBand && car.steerInput > wanted);
    const float speed = std::fabs(bend) > kBendAngle ? kBendSpeed : kStraightSpeed;
    scene.Press(kControlAccelerate, car.speed < speed);
    scene.Press(kControlBrake, car.speed > speed + 5.0f);
  }

 private:
  static int Next(int point, int n) { return (point + n) % (gRacePathLast + 1); }
  int point_ = 0;
};

int ClockHundredths(int minutes, int seconds, float hundredths) {
  return minutes * 6000 + seconds * 100 + static_cast<int>(std::lround(hundredths));
}

// The whole race on a scene: the countdown, the race to the player's
// finish with the test's own log, then the checks.
void RunWholeRace(RaceScene& scene) {
  Racer& player = scene.player();
  gStartHold = 1;
  Tick(kCountdownFrames);
  for (int i = 1; i < kRacerCount; ++i) EXPECT_LT(GroundDistance(gRacers[i].body->GetPos(), gRacePath[0].position), 12.0f);
  gStartHold = 0;

  TestDriver driver;
  std::vector<int> crossings;  // race frames at which the player's lap count rose
  int lastLaps = player.laps;
  int raceFrames = 0;
  int opponentLaps[kRacerCount] = {};
  float furthestFromPath[kRacerCount] = {};
  float longestStuck = 0.0f;
  bool anyReversing = false;
  int propsWoken = 0;  // times a prop woke as the player came by
  std::vector<uint8_t> wasAwake(kCityObjectCapacity, 0);
  while (!gPlayerFinished && raceFrames < kMaxRaceFrames) {
    driver.Drive(scene);
    Tick();
    ++raceFrames;
    if (player.laps != lastLaps || gPlayerFinished) crossings.push_back(raceFrames);
    lastLaps = player.laps;
    for (int i = 1; i < kRacerCount; ++i) {
      const Racer& car = gRacers[i];
      furthestFromPath[i] = std::max(furthestFromPath[i], GroundDistanceToPath(car.body->GetPos()));
      longestStuck = std::max(longestStuck, car.stuckTime);
      anyReversing = anyReversing || car.reversing;
      opponentLaps[i] = car.laps;
    }
    for (int i = 0; i < gCityObjectCount; ++i) propsWoken += gCityObjects[i].awake && !wasAwake[i];
    for (int i = 0; i < gCityObjectCount; ++i) wasAwake[i] = gCityObjects[i].awake;
  }
  ASSERT_TRUE(gPlayerFinished) << "after " << raceFrames << " frames, laps " << player.laps;
  EXPECT_EQ(player.laps, 4);
  // Lap 1 was counted on the grid (it lies before the line); then four full laps.
  ASSERT_EQ(crossings.size(), 4u);

  std::vector<int> laps;
  for (size_t i = 0; i < crossings.size(); ++i)
    laps.push_back((crossings[i] - (i == 0 ? 0 : crossings[i - 1])) * kHundredthsPerFrame);
  const int best = ClockHundredths(player.bestLapMinutes, player.bestLapSeconds, player.bestLapHundredths);
  EXPECT_EQ(best, *std::min_element(laps.begin(), laps.end()));
  const int race = ClockHundredths(player.raceMinutes, player.raceSeconds, player.raceHundredths);
  EXPECT_EQ(race, raceFrames * kHundredthsPerFrame);
  EXPECT_EQ(race, crossings.back() * kHundredthsPerFrame);  // no run-up: the grid is within reach of the line

  for (int i = 1; i < kRacerCount; ++i) {
    EXPECT_LT(furthestFromPath[i], 14.0f) << "opponent " << i;
    EXPECT_GE(opponentLaps[i], 4) << "opponent " << i;
    if (gRacers[i].progress > player.progress) {
      EXPECT_GT(gRacers[i].laps, gRaceLaps) << "opponent " << i << " ahead";
    }
  }
  // A track with props wakes them as the player passes, lap after lap.
  if (gCityObjectCount > 0) {
    EXPECT_GT(propsWoken, 4);
  }
  EXPECT_LT(longestStuck, 1.0f);
  EXPECT_FALSE(anyReversing);

  // After the finish the opponents brake to a stop and their clocks stand.
  Tick(8 * kFramesPerSecond);
  for (int i = 1; i < kRacerCount; ++i) {
    EXPECT_LT(gRacers[i].speed, 1.0f) << "opponent " << i;
  }
  EXPECT_EQ(ClockHundredths(player.raceMinutes, player.raceSeconds, player.raceHundredths), race);
  scene.ReleaseAll();
}

}  // namespace

TEST(WholeRace, OnAGeneratedLoopThePlayerFinishesFourLapsAndTheClocksAgreeWithTheLog) {
  RaceScene scene(RollingGround, LoopPath());
  RunWholeRace(scene);
}


TEST(WholeRace, OnTheGamesShortestTrackThePlayerFinishesFourLapsAndTheClocksAgreeWithTheLog) {
  RaceScene scene(5);
  ASSERT_TRUE(scene.loaded);
  RunWholeRace(scene);
}
