// The player's truck on the test terrain, driven by the bound keys: it
// settles, drives forwards and in reverse, climbs through the gears to its
// top speed, and the four trucks hold on the grid during the countdown.
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "world/player.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds

float GroundDistance(const neV3& a, const neV3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

}  // namespace

TEST(TruckScene, SettlesUprightAboutOneAboveFlatGroundAndStaysPut) {
  RaceScene scene;
  Racer& car = scene.player();
  scene.Frames(2 * kFramesPerSecond);
  const neV3 settled = car.body->GetPos();
  scene.Frames(10 * kFramesPerSecond);
  EXPECT_NEAR(scene.Height(car), 1.0f, 0.05f);
  EXPECT_GT(car.body->GetRotationM3()[1].y, 0.999f);
  EXPECT_LT(GroundDistance(car.body->GetPos(), settled), 0.01f);
  EXPECT_LT(car.speed, 0.05f);
  EXPECT_TRUE(std::isfinite(car.body->GetPos().x));
}

TEST(TruckScene, DrivesForwardsFromRestAndBacksUpAfterStopping) {
  RaceScene scene;
  scene.ParkOpponents();
  Racer& car = scene.player();
  scene.Frames(kFramesPerSecond);
  const neV3 start = car.body->GetPos();

  scene.Press(kControlAccelerate);
  scene.Frames(2 * kFramesPerSecond);
  scene.Press(kControlAccelerate, false);
  const neV3 ahead = car.body->GetPos();
  EXPECT_GT(ahead.x - start.x, 10.0f);
  EXPECT_NEAR(ahead.z, start.z, 0.5f);
  EXPECT_GE(car.gear, 1);

  // The brake stops the truck; let go and press it again to reverse.
  scene.Press(kControlBrake);
  scene.Frames(3 * kFramesPerSecond);
  EXPECT_LT(car.speed, 1.0f);
  EXPECT_EQ(car.brakeLight, 1.0f);
  scene.Press(kControlBrake, false);
  scene.Frame();
  scene.Press(kControlBrake);
  const float stoppedX = car.body->GetPos().x;
  scene.Frames(2 * kFramesPerSecond);
  EXPECT_EQ(car.gear, -1);
  EXPECT_EQ(car.reverseLight, 1.0f);
  EXPECT_LT(car.body->GetPos().x, stoppedX - 3.0f);
}

TEST(TruckScene, ClimbsThroughTheGearsAndLevelsOutAtTopSpeed) {
  RaceScene scene;
  scene.ParkOpponents();
  Racer& car = scene.player();
  scene.Frames(kFramesPerSecond);
  scene.Press(kControlAccelerate);
  int lastGear = 0;
  int upshifts = 0;
  for (int i = 0; i < 12 * kFramesPerSecond; ++i) {
    scene.Frame();
    if (car.gear > lastGear) ++upshifts;
    EXPECT_GE(car.gear, lastGear) << "frame " << i;  // never a downshift on a straight
    lastGear = car.gear;
  }
  EXPECT_EQ(car.gear, 5);
  EXPECT_EQ(upshifts, 5);
  const float speed = car.speed;
  scene.Frames(2 * kFramesPerSecond);
  EXPECT_GT(speed, 28.3f);  // fast enough for fifth
  EXPECT_LT(speed, 35.0f);  // air drag holds it
  EXPECT_NEAR(car.speed, speed, 0.2f);
  EXPECT_NEAR(scene.Height(car), 1.0f, 0.1f);
  EXPECT_LT(std::fabs(car.body->GetPos().z - 3.0f), 0.5f);
}

TEST(TruckScene, StartHoldKeepsAllFourTrucksOnTheirGridSpots) {
  RaceScene scene;
  neV3 grid[kRacerCount];
  for (int i = 0; i < kRacerCount; ++i) grid[i] = gRacers[i].body->GetPos();
  gStartHold = 1;  // race clock 7 to 11 s of the countdown
  scene.Press(kControlAccelerate);
  scene.Press(kControlSteerLeft);
  scene.Frames(4 * kFramesPerSecond);
  for (int i = 0; i < kRacerCount; ++i) {
    EXPECT_LT(GroundDistance(gRacers[i].body->GetPos(), grid[i]), 0.5f) << "racer " << i;
    EXPECT_EQ(gRacers[i].brakeLight, 1.0f) << "racer " << i;
  }
  EXPECT_EQ(scene.player().raceHundredths, 0.0f);  // the clock stands still
  gStartHold = 0;  // the countdown screen clears it
  scene.Frames(kFramesPerSecond);
  EXPECT_GT(GroundDistance(scene.player().body->GetPos(), grid[0]), 2.0f);
}

TEST(TruckScene, UnstickLiftsOnlyANearlyStoppedTruckBackToItsGridOrientation) {
  RaceScene scene;
  Racer& car = gRacers[1];
  scene.Frames(kFramesPerSecond);
  neM3 tipped;
  tipped.RotateXYZ(neMakeV3(1.2f, 0.3f, 0));
  car.body->SetRotation(tipped);
  car.driveForce = 50.0f;
  gFrameFactor = 2.0f;

  car.body->SetVelocity(neMakeV3(0.2f, 0, 0));  // moving: nothing happens
  const neV3 before = car.body->GetPos();
  car.Unstick();
  EXPECT_EQ(car.body->GetPos().y, before.y);
  EXPECT_EQ(car.driveForce, 50.0f);

  car.body->SetVelocity(neMakeV3(0.1f, 0, 0));
  car.Unstick();
  const neV3 after = car.body->GetPos();
  EXPECT_NEAR(after.y, before.y + 2.0f, 1e-5f);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.z, before.z);
  EXPECT_EQ(car.driveForce, 0.0f);
  const neM3 rotation = car.body->GetRotationM3();
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(rotation[c].Dot(car.startRotation[c]), 1.0f, 1e-5f) << "column " << c;

  gFrameFactor = 9.5f;  // a stalled frame: no unstick
  car.body->SetVelocity(neMakeV3(0, 0, 0));
  car.Unstick();
  EXPECT_NEAR(car.body->GetPos().y, after.y, 1e-5f);
}
