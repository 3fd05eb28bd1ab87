// The player's truck update: gears and revolutions, boost, places, laps and
// the best lap, the back-on-track reset, and the checkpoint search.
#include "world/player.h"

#include "framework/globals.h"
#include "tests/support/race_scene.h"
#include "world/race_path.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PlayerGearbox, ShiftsAtItsThresholdsWhenAccelerating) {
  struct Case {
    int32_t gear;
    float speed;
    int32_t expected;
  };
  const Case cases[] = {
      {0, 0.0f, 1},    {1, 9.99f, 1},  {1, 10.0f, 2},  {1, 15.0f, 2},  // up to 2 at 10, not 3 below 16.5
      {2, 16.5f, 3},   {3, 23.3f, 4},  {4, 28.3f, 5},  {1, 30.0f, 5},
      {3, 9.5f, 2},    {2, 8.99f, 1},  {5, 24.29f, 4}, {5, 24.3f, 5},  // down to 2 below 14.5, not 1 at 9.5
      {4, 20.29f, 3},  {-1, 0.0f, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AcceleratingGear(c.gear, c.speed), c.expected) << "gear " << c.gear << " at " << c.speed;
}

TEST(PlayerGearbox, RevolutionsAtSpeedTwentyInThirdAre6578) {
  RaceScene scene;
  Racer& car = scene.player();
  car.gear = 3;
  car.body->SetVelocity(neMakeV3(20, 0, 0));
  scene.Press(kControlAccelerate);
  car.UpdatePlayer(1.0f);
  EXPECT_EQ(car.gear, 3);
  EXPECT_NEAR(car.rpm, 20 * 278.9f + 1000, 0.01f);
  EXPECT_NEAR(car.driveForce, 0.85f * 136.0f, 0.01f);
  EXPECT_EQ(GearRpm(0, 20), 1000.0f);
  EXPECT_EQ(GearRpm(-1, 2), GearRpm(1, 2));
}

TEST(PlayerBoost, FillsInTwoAndAHalfSecondsThenMustDrainForTenBeforeItBoostsAgain) {
  RaceScene scene;
  Racer& car = scene.player();
  gStartHold = 1;  // hold the truck still; the boost meter runs all the same
  scene.Press(kControlBoost);
  int boosting = 0;
  while (!car.boostEmpty && boosting < 1000) {
    car.UpdatePlayer(1.0f);  // one frame-factor unit, 0.01 s
    if (car.boostForce > 0.0f) ++boosting;
  }
  EXPECT_NEAR(boosting, 250, 1);
  EXPECT_NEAR(car.boost, 99.9f, 1e-3f);  // full, and already draining in the same frame
  int draining = 0;
  while (car.boostEmpty && draining < 2000) {
    car.UpdatePlayer(1.0f);
    EXPECT_EQ(car.boostForce, 0.0f);
    ++draining;
  }
  EXPECT_NEAR(draining, 1000, 2);
  car.UpdatePlayer(1.0f);
  EXPECT_GT(car.boostForce, 0.0f);  // the key still held: boosting again
}

TEST(PlayerPlace, CountsOpponentsBehindWithTiesAhead) {
  struct Case {
    float opponents[3];
    int32_t place;
  };
  const Case cases[] = {
      {{1, 2, 3}, 1}, {{5, 5, 1}, 3}, {{5, 9, 7}, 4}, {{4.9f, 5.1f, 0}, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(PlayerPlace(5.0f, c.opponents), c.place);
}

TEST(PlayerLaps, ALapNoLongerThanTheBestReplacesItAndTheLastLapFinishes) {
  RaceScene scene;
  Racer& car = scene.player();
  gStartHold = 1;  // the clocks stand still
  car.body->SetPos(gRacePath[0].position);
  struct Case {
    int32_t lapsBefore;
    int32_t lapMinutes, lapSeconds;
    float lapHundredths;
    bool replaces;
  };
  const Case cases[] = {
      {2, 1, 5, 30.0f, true},    // 1:05.30 after a best of 1:05.30
      {2, 1, 5, 29.0f, true},
      {2, 1, 5, 31.0f, false},
      {1, 1, 9, 0.0f, true},     // the first full lap always sets the best
  };
  for (const Case& c : cases) {
    car.laps = c.lapsBefore;
    car.nextCheckpoint = 0;
    car.lapMinutes = c.lapMinutes;
    car.lapSeconds = c.lapSeconds;
    car.lapHundredths = c.lapHundredths;
    // Lap times compare as minutes x 10000 + seconds x 100 + hundredths: the
    // best of 1:05.30 written as 0:105.30 ties with it and shows whether it
    // was replaced.
    car.bestLapMinutes = 0;
    car.bestLapSeconds = 105;
    car.bestLapHundredths = 30.0f;
    car.UpdatePlayer(1.0f);
    EXPECT_EQ(car.laps, c.lapsBefore + 1);
    EXPECT_EQ(car.bestLapSeconds, c.replaces ? c.lapSeconds : 105) << c.lapHundredths;
    EXPECT_EQ(car.lapSeconds, 0);  // the lap clock restarts
    EXPECT_EQ(car.nextCheckpoint, 100);
  }
  EXPECT_FALSE(gPlayerFinished);
  car.laps = 4;
  car.nextCheckpoint = 0;
  car.UpdatePlayer(1.0f);
  EXPECT_TRUE(gPlayerFinished);
  EXPECT_EQ(car.laps, 4);
  EXPECT_EQ(gRacePhaseTime, 0.0f);
  gPlayerFinished = 0;
}

TEST(PlayerReset, UpsideDownForMoreThanTwoSecondsPutsTheTruckBackAndBooksItsBonus) {
  RaceScene scene;
  Racer& car = scene.player();
  AdvanceBonusClocks(100.0f, 0.0f);
  neM3 upsideDown;
  upsideDown.RotateXYZ(neMakeV3(NE_PI, 0, 0));
  car.body->SetRotation(upsideDown);
  for (int i = 0; i < 150; ++i) car.UpdatePlayer(1.0f);
  EXPECT_EQ(car.resetFlash, 0.0f);  // 1.5 s: still waiting
  // The grid lies within reach of the start line: the first update crossed
  // it and reached point 1, the farthest point within reach.
  ASSERT_EQ(car.lastReachedPoint, 1);
  for (int i = 0; i < 60; ++i) car.UpdatePlayer(1.0f);
  EXPECT_GT(car.resetFlash, 0.5f);
  // Four points behind the last reached one (wrapping round the loop), one
  // above the path, facing along it.
  const neV3 expected = gRacePath[gRacePathLast - 3].position + neMakeV3(0, 1, 0);
  EXPECT_NEAR(car.body->GetPos().x, expected.x, 1e-3f);
  EXPECT_NEAR(car.body->GetPos().y, expected.y, 1e-3f);
  EXPECT_GT(car.body->GetRotationM3()[1].y, 0.999f);
  EXPECT_GT(car.body->GetRotationM3()[0].x, 0.999f);
  EXPECT_EQ(gRaceBonus[kBonusBackOnTrack - 1], 350.0f);
  EXPECT_EQ(gBonusEvents[gBonusEventLast], kBonusBackOnTrack);
  EXPECT_EQ(gUpsideDownTime, 0.0f);
}

TEST(PlayerProgress, APathWithoutCheckpointsIsSearchedOnceRound) {
  RaceScene scene;
  Racer& car = scene.player();
  for (int k = 0; k <= gRacePathLast; ++k) gRacePath[k].type = kWaypointPlain;
  gStartHold = 1;
  car.body->SetPos(gRacePath[150].position + neMakeV3(0, 0, 60));  // far from every point
  car.UpdatePlayer(1.0f);  // returns: the search gives up
  EXPECT_EQ(car.reachedPoint, 0);
  car.body->SetPos(gRacePath[150].position + neMakeV3(1, 0, 0));
  car.UpdatePlayer(1.0f);
  EXPECT_EQ(car.reachedPoint, 153);  // back from point 0 round the loop: the first within reach
  EXPECT_NEAR(car.pointCloseness, 2.5f / 22.5f, 1e-4f);  // 20 away
}

TEST(PlayerProgress, ReachingPointsAheadMovesTheProgressAndTheShortcutBonusNeedsAJump) {
  RaceScene scene;
  Racer& car = scene.player();
  AdvanceBonusClocks(100.0f, 0.0f);
  gStartHold = 1;
  car.nextCheckpoint = 100;
  // The search runs back from the next checkpoint: the first point within
  // 22.5 is the farthest one ahead.
  car.body->SetPos(gRacePath[1].position);
  car.UpdatePlayer(1.0f);
  EXPECT_EQ(car.reachedPoint, 4);
  EXPECT_NEAR(car.progress, 4.0f + 1.5f / 22.5f, 1e-4f);
  EXPECT_EQ(gRaceBonus[kBonusShortcut - 1], 0.0f);  // 28 from point 0
  car.body->SetPos(gRacePath[20].position);
  car.UpdatePlayer(1.0f);
  EXPECT_EQ(car.reachedPoint, 23);
  EXPECT_EQ(gRaceBonus[kBonusShortcut - 1], 500.0f);  // 133 from point 4
  car.body->SetPos(gRacePath[10].position);
  car.UpdatePlayer(1.0f);
  EXPECT_NEAR(car.progress, 23.0f + 1.5f / 22.5f, 1e-4f);  // going back does not count
}
