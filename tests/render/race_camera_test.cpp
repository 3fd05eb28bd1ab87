// The race camera behind the player's truck and the sound listener.
#include "render/race_camera.h"

#include "framework/sound.h"
#include "world/physics_world.h"
#include "physics/simulator.h"
#include "world/race_state.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// Full amplitude at speed 15 or below with no speed widening.
constexpr float kFullJolt = 15.0f * 0.06666f * 0.2f;

TEST(GearShiftJolt, PullsBackThenSwingsInAndIsZeroAtTheEdges) {
  const struct {
    float timer, expected;
  } cases[] = {
      {2.0f, 0.0f},
      {1.75f, std::sin(1.75f * NE_PI) * kFullJolt},
      {1.5f, 0.0f},
      {1.0f, std::sin(0.5f * -NE_PI / 2.0f) * kFullJolt},
      {0.5f, 0.0f},
      {0.25f, 0.0f},
  };
  for (const auto& c : cases) EXPECT_NEAR(GearShiftJolt(c.timer, 10.0f, 0.0f), c.expected, 1e-5f) << c.timer;
}

TEST(GearShiftJolt, FullBelowSpeed15GoneFromSpeed30) {
  EXPECT_EQ(GearShiftJolt(1.0f, 0.0f, 0.0f), GearShiftJolt(1.0f, 15.0f, 0.0f));
  EXPECT_NEAR(GearShiftJolt(1.0f, 22.5f, 0.0f), GearShiftJolt(1.0f, 15.0f, 0.0f) * 0.5f, 1e-6f);
  EXPECT_EQ(GearShiftJolt(1.0f, 30.0f, 0.0f), 0.0f);
  EXPECT_EQ(GearShiftJolt(1.75f, 45.0f, 1.0f), 0.0f);
  EXPECT_NEAR(GearShiftJolt(1.0f, 15.0f, 1.0f), GearShiftJolt(1.0f, 15.0f, 0.0f) * 1.5f, 1e-6f);
}

TEST(ChaseDirection, EasesByItsShareOfTheGap) {
  gChaseDirX = 0.0f;
  gChaseDirXGoal = 1.0f;
  gChaseDirZ = 0.0f;
  gChaseDirZGoal = -1.0f;
  EaseChaseDirection(2.0f);
  EXPECT_NEAR(gChaseDirX, 0.05f, 1e-6f);
  EXPECT_NEAR(gChaseDirZ, -0.05f, 1e-6f);
}

TEST(ChaseDirection, ALongFrameFreezesIt) {
  gChaseDirX = 0.0f;
  gChaseDirXGoal = 1.0f;
  gChaseDirZ = 1.0f;
  gChaseDirZGoal = 0.0f;
  EaseChaseDirection(kChaseFreezeFrameFactor);
  EXPECT_EQ(gChaseDirX, 0.0f);
  EXPECT_EQ(gChaseDirZ, 1.0f);
  EaseChaseDirection(9.49f);
  EXPECT_GT(gChaseDirX, 0.0f);
}

TEST(ChaseDirection, WithinOneHundredthItStays) {
  gChaseDirX = 0.995f;
  gChaseDirXGoal = 1.0f;
  gChaseDirZ = gChaseDirZGoal = 0.0f;
  EaseChaseDirection(1.0f);
  EXPECT_EQ(gChaseDirX, 0.995f);
}

TEST(CameraRoll, FollowsTheSteeringSideAboveSpeed10WithinTwoTenths) {
  const struct {
    float speed, steer, expected;
  } cases[] = {
      {30.0f, 0.1f, 0.0f},     {30.0f, -0.1f, 0.0f},    {10.0f, 0.7f, 0.0f},
      {20.0f, 0.7f, 0.15f},    {20.0f, -0.7f, -0.15f},  {30.0f, 0.2f, 0.2f},
      {60.0f, -0.7f, -0.2f},
  };
  for (const auto& c : cases) EXPECT_NEAR(CameraRoll(c.speed, c.steer), c.expected, 1e-6f) << c.speed << " " << c.steer;
}

class RaceCamera : public ::testing::Test {
 protected:
  void SetUp() override {
    gChaseDirX = gChaseDirXGoal = 1.0f;
    gChaseDirZ = gChaseDirZGoal = 0.0f;
    gSimFovSpeed = 0.0f;
    gSimCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
    gFinishOrbitAngle = 0.0f;
  }
  static ChaseSubject Truck() { return {{100.0f, 5.0f, -40.0f, 0.0f}, {1.0f, 0.0f, 0.0f, 0.0f}, 20.0f, 0.0f, 0.0f, false}; }
};

TEST_F(RaceCamera, StandsBehindAndAboveTheTruckLookingPastIt) {
  PlaceRaceCamera(Truck(), 1.0f);
  EXPECT_NEAR(gSimCameraEye.x, 91.0f, 1e-4f);
  EXPECT_NEAR(gSimCameraEye.y, 7.6f, 1e-4f);
  EXPECT_NEAR(gSimCameraEye.z, -40.0f, 1e-4f);
  EXPECT_NEAR(gSimCameraLookAt.x, 105.0f, 1e-4f);
  EXPECT_NEAR(gSimCameraLookAt.y, 5.5f, 1e-4f);
  EXPECT_NEAR(LengthV3(gSimCameraDir), 1.0f, 1e-5f);
  EXPECT_GT(gSimCameraDir.x, 0.98f);
}

TEST_F(RaceCamera, ComesCloserAsTheFieldOfViewWidens) {
  gSimFovSpeed = 1.0f;
  PlaceRaceCamera(Truck(), 1.0f);
  EXPECT_NEAR(gSimCameraEye.x, 91.5f, 1e-4f);
}

TEST_F(RaceCamera, TheGroundHeadingGoesToTheChaseGoal) {
  ChaseSubject truck = Truck();
  truck.forward = {0.0f, 0.6f, -0.8f, 0.0f};  // nose up, heading -z
  PlaceRaceCamera(truck, 1.0f);
  EXPECT_NEAR(gChaseDirXGoal, 0.0f, 1e-6f);
  EXPECT_NEAR(gChaseDirZGoal, -1.0f, 1e-6f);
}

TEST_F(RaceCamera, AnUprightTruckLeavesNoNonNumbers) {
  ChaseSubject truck = Truck();
  truck.forward = {0.0f, 1.0f, 0.0f, 0.0f};
  PlaceRaceCamera(truck, 1.0f);
  EXPECT_FALSE(std::isnan(gChaseDirX) || std::isnan(gSimCameraEye.x) || std::isnan(gSimCameraUp.x));
}

TEST_F(RaceCamera, SteeringAtSpeedRollsTheUpVectorGradually) {
  ChaseSubject truck = Truck();
  truck.speed = 30.0f;
  truck.steerInput = 0.5f;
  PlaceRaceCamera(truck, 1.0f);
  // Looking along +x, a roll of 0.2 turns up about x: up = (0, cos, sin).
  EXPECT_NEAR(gCameraUp.z, std::sin(0.2f) * gSimCameraDir.x, 1e-3f);
  EXPECT_NEAR(gSimCameraUp.z, gCameraUp.z * 0.01f, 1e-4f);  // eased by 1 % of the gap
  for (int i = 0; i < 2000; ++i) PlaceRaceCamera(truck, 1.0f);
  EXPECT_NEAR(gSimCameraUp.z, gCameraUp.z, 1e-3f);
}

TEST_F(RaceCamera, AfterTheFinishItOrbitsTheTruck) {
  ChaseSubject truck = Truck();
  truck.finished = true;
  gFinishOrbitAngle = NE_PI / 2.0f - 0.0105f;  // this step brings it to a quarter turn
  gChaseDirX = 0.0f;
  gChaseDirZ = 1.0f;
  PlaceRaceCamera(truck, 1.0f);
  EXPECT_NEAR(gChaseDirZGoal, 1.0f, 1e-5f);
  EXPECT_NEAR(gSimCameraEye.x, 100.0f, 1e-3f);
  EXPECT_NEAR(gSimCameraEye.y, 5.0f + 0.5f + 1.35f, 1e-4f);
  EXPECT_NEAR(gSimCameraEye.z, -40.0f + 7.0f, 1e-3f);
  EXPECT_NEAR(gSimCameraLookAt.z, -40.0f - 2.8f, 1e-3f);
  EXPECT_NEAR(gSimCameraLookAt.y, 5.5f, 1e-4f);

  // The eye goes round the truck as the angle turns, a little inside the
  // circle while the chase direction cuts the corner behind its goal.
  for (int i = 0; i < 150; ++i) PlaceRaceCamera(truck, 1.0f);  // a further quarter turn
  EXPECT_LT(gSimCameraEye.x, 100.0f - 5.0f);
  EXPECT_LT(gSimCameraLookAt.x, 100.0f + 2.8f);
  EXPECT_GT(gSimCameraLookAt.x, 100.0f);
  const float dx = gSimCameraEye.x - 100.0f, dz = gSimCameraEye.z + 40.0f;
  EXPECT_GT(std::sqrt(dx * dx + dz * dz), 6.0f);
  EXPECT_LE(std::sqrt(dx * dx + dz * dz), 7.0f);
}

class Listener : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card on the test machines
    ASSERT_TRUE(OpenSoundDevice());
  }
  static void TearDownTestSuite() { CloseSoundDevice(); }
};

TEST_F(Listener, HearsFromTheDrawnFramesEyeAndLooksItsWay) {
  gDrawnCameraEye = {1.0f, 2.0f, 3.0f, 0.0f};
  gDrawnCameraDir = {0.0f, 0.0f, -1.0f, 0.0f};
  MoveListenerAndRaceSounds({4.0f, 0.0f, -5.0f, 0.0f});
  float x = 0, y = 0, z = 0;
  alGetListener3f(AL_POSITION, &x, &y, &z);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(z, 3.0f);
  alGetListener3f(AL_VELOCITY, &x, &y, &z);
  EXPECT_EQ(x, 4.0f);
  EXPECT_EQ(z, -5.0f);
  float orientation[6] = {};
  alGetListenerfv(AL_ORIENTATION, orientation);
  EXPECT_EQ(orientation[2], -1.0f);
  EXPECT_EQ(orientation[4], 1.0f);
}

TEST_F(Listener, ACrashSoundWhoseBodyIsGoneOrWhichStoppedIsFreed) {
  neSimulatorSizes sizes;
  neV3 gravity = {0.0f, -10.0f, 0.0f, 0.0f};
  neSimulator* sim = neSimulator::CreateSimulator(sizes, nullptr, &gravity);
  gCrashSoundBusy[1][2] = 1;
  gCrashSoundPos[1][2] = nullptr;
  gCrashSoundBusy[3][0] = 1;
  gCrashSoundPos[3][0] = sim->CreateRigidBody();  // its sound is not playing
  gCrashSoundBusy[2][1] = 0;
  MoveListenerAndRaceSounds({});
  EXPECT_EQ(gCrashSoundBusy[1][2], 0);
  EXPECT_EQ(gCrashSoundBusy[3][0], 0);
  EXPECT_EQ(gCrashSoundBusy[2][1], 0);
  gCrashSoundPos[3][0] = nullptr;
  neSimulator::DestroySimulator(sim);
}

TEST(CrashSoundGain, RisesWithTheBodysSpeedSilentWhenResting) {
  const struct {
    float speed, gain;
  } cases[] = {{0.0f, 0.0f}, {0.99f, 0.0f}, {1.0f, 0.225f}, {4.0f, 0.45f}, {11.33f, 0.99975f}, {20.0f, 1.0f}};
  for (const auto& c : cases) EXPECT_NEAR(CrashSoundGain(c.speed), c.gain, 1e-4f) << c.speed;
}

}  // namespace
