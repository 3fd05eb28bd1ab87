// The scripted start camera: its example shot, shots that join without a
// jump, the fade-ins, and the countdown beeps it moves on.
#include <gtest/gtest.h>

#include "framework/settings.h"
#include "render/start_camera.h"
#include "world/race_path.h"
#include "world/race_state.h"

TEST(StartCamera, ShotsSwingInJoinWithoutAJumpAndFadeInOverHalfASecond) {
  const neV3 player = neMakeV3(1, 2, 3), first = neMakeV3(0, 5, 0), second = neMakeV3(10, 9, 0);
  auto at = [&](int mode, float t) { return StartCameraAt(mode, t, player, first, second); };
  // Mode 0 half-way through its first shot: along the flat way (+x), beside it (-z), up.
  const neV3 eye = at(0, 2).eye - player - neMakeV3(8 + 5.9f, 0.5f + 1.245f, -(9.29f - 0.36f));
  EXPECT_LT(eye.Length(), 1e-4f);
  for (int mode = 0; mode < 3; ++mode) {
    EXPECT_LT((at(mode, 3.9999f).eye - at(mode, 4).eye).Length(), 1e-2f) << mode;
    EXPECT_LT((at(mode, 3.9999f).target - at(mode, 4).target).Length(), 1e-2f) << mode;
    for (float start : {0.0f, 4.0f}) {
      EXPECT_NEAR(at(mode, start).fade, 1, 1e-5f);
      EXPECT_NEAR(at(mode, start + 0.4999f).fade, 0, 1e-3f);
      EXPECT_FALSE(at(mode, start + 1).fades);
    }
  }
  EXPECT_FALSE(at(0, 8).inShot || at(0, -1).inShot || at(3, 1).inShot);
}

TEST(StartCamera, EachShotMovesTheCountdownOnOnce) {
  gSoundOn = 0;
  const struct {
    float t;
    int32_t step;
  } frames[] = {{5, 0}, {0.1f, 1}, {2, 1}, {4.2f, 2}, {7, 2}, {9, 2}};  // the second shot first: no beep
  int32_t step = 0;
  for (const auto& frame : frames) {
    gRacePhaseTime = frame.t;
    ComputeCameraPlacement(1, &step);
    EXPECT_EQ(step, frame.step) << "at " << frame.t << " s";
  }
}
