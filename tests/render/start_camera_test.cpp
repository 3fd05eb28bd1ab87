// The scripted start camera: its example shot, shots that join without a
// jump, the fade-ins, and the countdown beeps it moves on.
#include <gtest/gtest.h>

#include "framework/settings.h"
#include "render/race_frame.h"
#include "render/start_camera.h"
#include "world/race_path.h"
#include "world/race_state.h"

namespace {

const neV3 kPlayer = neMakeV3(1, 2, 3), kFirst = neMakeV3(0, 5, 0), kSecond = neMakeV3(10, 9, 0);

void ExpectNear(const neV3& a, const neV3& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(StartCamera, FirstShotOfModeZeroSwingsInFromTheSide) {
  // Half-way through: along the flat way (+x), beside it (s = -z), up.
  const StartCameraShot shot = StartCameraAt(0, 2, kPlayer, kFirst, kSecond);
  ASSERT_TRUE(shot.inShot);
  ExpectNear(shot.eye, kPlayer + neMakeV3(8 + 5.9f, 0.5f + 1.245f, -(9.29f - 0.36f)), 1e-4f);
  ExpectNear(shot.target, kPlayer + neMakeV3(2 + 3.06f, -(0.5f + 1.585f), -(1.06f + 0.21f)), 1e-4f);
}

TEST(StartCamera, EveryModesShotsJoinAndEachFadesInOverHalfASecond) {
  for (int mode = 0; mode < 3; ++mode) {
    const StartCameraShot end = StartCameraAt(mode, 3.9999f, kPlayer, kFirst, kSecond);
    const StartCameraShot start = StartCameraAt(mode, 4, kPlayer, kFirst, kSecond);
    ExpectNear(end.eye, start.eye, 1e-2f);
    ExpectNear(end.target, start.target, 1e-2f);
    for (float shotStart : {0.0f, 4.0f}) {
      EXPECT_NEAR(StartCameraAt(mode, shotStart, kPlayer, kFirst, kSecond).fade, 1, 1e-5f);
      EXPECT_NEAR(StartCameraAt(mode, shotStart + 0.4999f, kPlayer, kFirst, kSecond).fade, 0, 1e-3f);
      EXPECT_FALSE(StartCameraAt(mode, shotStart + 1, kPlayer, kFirst, kSecond).fades);
    }
  }
  EXPECT_FALSE(StartCameraAt(0, 8, kPlayer, kFirst, kSecond).inShot);
  EXPECT_FALSE(StartCameraAt(0, -1, kPlayer, kFirst, kSecond).inShot);
  EXPECT_FALSE(StartCameraAt(3, 1, kPlayer, kFirst, kSecond).inShot);
}

TEST(StartCamera, EachShotMovesTheCountdownOnOnce) {
  gSoundOn = 0;
  gRacePath[0].position = kFirst;
  gRacePath[1].position = kSecond;
  const struct {
    float t;
    int32_t step;
  } frames[] = {{0.1f, 1}, {2, 1}, {4.2f, 2}, {7, 2}, {9, 2}};
  int32_t step = 0;
  for (const auto& frame : frames) {
    gRacePhaseTime = frame.t;
    ComputeCameraPlacement(1, &step);
    EXPECT_EQ(step, frame.step) << "at " << frame.t << " s";
  }
  step = 0;  // a second shot never reached through the first beeps nothing
  gRacePhaseTime = 5;
  ComputeCameraPlacement(1, &step);
  EXPECT_EQ(step, 0);
}

}  // namespace
