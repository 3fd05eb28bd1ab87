// The race camera behind the player's truck and its crash sounds.
#include "render/race_camera.h"

#include "framework/sound.h"
#include "physics/simulator.h"
#include "world/physics_world.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(GearShiftJolt, PullsBackThenSwingsInStrongestSlowAndGoneFromSpeed30) {
  const float full = 15.0f * 0.06666f * 0.2f;
  const struct {
    float timer, speed, expected;
  } cases[] = {
      {2.0f, 10, 0},   {1.75f, 10, std::sin(1.75f * NE_PI) * full}, {1.5f, 10, 0},
      {1.0f, 15, std::sin(0.5f * -NE_PI / 2.0f) * full},              {0.5f, 10, 0},
      {1.0f, 22.5f, std::sin(0.5f * -NE_PI / 2.0f) * full / 2},       {1.0f, 30, 0}, {1.75f, 45, 0},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(GearShiftJolt(c.timer, c.speed, 0.0f), c.expected, 1e-5f) << c.timer << " " << c.speed;
}

TEST(ChaseDirection, AndRollEaseByTheirShareOfTheGapALongFrameInSlicesOfAtMost95Ms) {
  // 95 ms is one step; 300 ms four slices of 75 ms, each closing 0.1875 of
  // the heading's gap and 0.075 of the roll's.
  const struct { float frameFactor, share, rollShare; } cases[] = {
      {2.0f, 0.05f, 0.02f}, {9.5f, 0.2375f, 0.095f},
      {30.0f, 1.0f - std::pow(0.8125f, 4.0f), 1.0f - std::pow(0.925f, 4.0f)}};
  for (const auto& c : cases) {
    gChaseDirX = 0.0f, gChaseDirXGoal = 1.0f;
    gChaseDirZ = 1.0f, gChaseDirZGoal = 0.0f;
    EaseChaseDirection(1.0f, 0.0f, c.frameFactor);
    EXPECT_NEAR(gChaseDirX, c.share, 1e-6f) << c.frameFactor;
    EXPECT_NEAR(gChaseDirZ, 1.0f - c.share, 1e-6f) << c.frameFactor;
    gChaseDirX = 1.0f, gChaseDirZ = 0.0f, gSimCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};  // straight on, upright
    PlaceRaceCamera({{}, {1, 0, 0, 0}, 30, 0.7f, 0, false}, c.frameFactor);  // steering hard at speed
    EXPECT_NEAR(gSimCameraUp.z, gCameraUp.z * c.rollShare, 1e-6f) << c.frameFactor;
  }
}

TEST(ChaseDirection, FollowsATurnAlikeAt50And250MsAFrame) {
  // A truck at speed 20 round a circle of radius 20 (a radian a second) for 3 s.
  const auto heading = [](int frameMs, int untilMs) {
    gChaseDirX = gChaseDirXGoal = 1.0f, gChaseDirZ = gChaseDirZGoal = 0.0f;
    for (float a = frameMs / 1000.0f; a <= untilMs / 1000.0f + 1e-4f; a += frameMs / 1000.0f)
      PlaceRaceCamera({{20 * std::sin(a), 0, 20 - 20 * std::cos(a), 0}, {std::cos(a), 0, std::sin(a), 0}, 20, 0, 0, false},
                      frameMs / 10.0f);
    return std::atan2(gChaseDirZ, gChaseDirX);
  };
  for (int ms = 250; ms <= 3000; ms += 250) EXPECT_NEAR(heading(250, ms), heading(50, ms), 3 * NE_PI / 180) << ms;
}

TEST(CameraRoll, FollowsTheSteeringSideAboveSpeed10WithinTwoTenths) {
  const struct {
    float speed, steer, expected;
  } cases[] = {{30, 0.1f, 0}, {30, -0.1f, 0}, {10, 0.7f, 0}, {20, -0.7f, -0.15f}, {30, 0.2f, 0.2f}, {60, -0.7f, -0.2f}};
  for (const auto& c : cases) EXPECT_NEAR(CameraRoll(c.speed, c.steer), c.expected, 1e-6f) << c.speed << " " << c.steer;
}

TEST(RaceCamera, BehindTheTruckThenAroundItAfterTheFinish) {
  gChaseDirX = gChaseDirXGoal = 1.0f;
  gChaseDirZ = gChaseDirZGoal = 0.0f;
  gSimFovSpeed = 0.0f;
  ChaseSubject truck = {{100, 5, -40, 0}, {1, 0, 0, 0}, 20.0f, 0.0f, 0.0f, false};
  PlaceRaceCamera(truck, 1.0f);
  EXPECT_NEAR(gSimCameraEye.x, 91.0f, 1e-4f);  // 9 behind, 2.6 up
  EXPECT_NEAR(gSimCameraEye.y, 7.6f, 1e-4f);
  EXPECT_NEAR(gSimCameraLookAt.x, 105.0f, 1e-4f);  // 5 ahead, 0.5 up
  EXPECT_NEAR(gSimCameraLookAt.y, 5.5f, 1e-4f);

  truck.finished = true;
  gFinishOrbitAngle = NE_PI / 2.0f - 0.0105f;  // this step turns it to a quarter turn
  gChaseDirX = 0.0f, gChaseDirZ = 1.0f;
  PlaceRaceCamera(truck, 1.0f);
  EXPECT_NEAR(gSimCameraEye.x, 100.0f, 1e-3f);  // 7 out along the orbit, 0.5 + 1.35 up
  EXPECT_NEAR(gSimCameraEye.y, 6.85f, 1e-4f);
  EXPECT_NEAR(gSimCameraEye.z, -33.0f, 1e-3f);
  EXPECT_NEAR(gSimCameraLookAt.z, -42.8f, 1e-3f);  // 2.8 beyond the truck
  for (int i = 0; i < 150; ++i) PlaceRaceCamera(truck, 1.0f);  // a further quarter turn
  EXPECT_LT(gSimCameraEye.x, 95.0f);
}

TEST(CrashSounds, AreFreedWhenTheirBodyIsGoneOrTheyStoppedAndSilentOnARestingBody) {
  neSimulatorSizes sizes;
  neSimulator* sim = neSimulator::CreateSimulator(sizes);
  gCrashSoundBusy[1][2] = 1;
  gCrashSoundPos[1][2] = nullptr;
  gCrashSoundBusy[3][0] = 1;
  gCrashSoundPos[3][0] = sim->CreateRigidBody();  // its sound is not playing
  MoveListenerAndRaceSounds({});
  EXPECT_EQ(gCrashSoundBusy[1][2], 0);
  EXPECT_EQ(gCrashSoundBusy[3][0], 0);
  gCrashSoundPos[3][0] = nullptr;
  neSimulator::DestroySimulator(sim);

  const struct {
    float speed, gain;
  } gains[] = {{0.0f, 0.0f}, {0.99f, 0.0f}, {1.0f, 0.225f}, {4.0f, 0.45f}, {20.0f, 1.0f}};
  for (const auto& g : gains) EXPECT_NEAR(CrashSoundGain(g.speed), g.gain, 1e-4f) << g.speed;
}

}  // namespace
