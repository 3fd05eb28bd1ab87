// The scripted start camera: its example shot, shots that join without a
// jump, the fade-ins, and the countdown beeps it moves on.
#include <gtest/gtest.h>

#include <vector>

#include "framework/settings.h"
#include "render/start_camera.h"
#include "world/race_state.h"

TEST(StartCamera, ShotsJoinWithoutAJumpFadeInAndEachMovesTheCountdownOnOnce) {
  const neV3 player = neMakeV3(1, 2, 3), first = neMakeV3(0, 5, 0), second = neMakeV3(10, 9, 0);
  auto at = [&](int mode, float t) { return StartCameraAt(mode, t, player, first, second); };
  // Mode 0 half-way through its first shot: along the flat way (+x), beside it (-z), up.
  EXPECT_LT((at(0, 2).eye - player - neMakeV3(13.9f, 1.745f, -8.93f)).Length(), 1e-4f);
  // A path starting straight up looks the grid's way (+x), not down one vertical.
  EXPECT_LT((StartCameraAt(0, 2, player, first, neMakeV3(0, 9, 0)).eye - at(0, 2).eye).Length(), 1e-4f);
  for (int mode = 0; mode < 3; ++mode) {
    EXPECT_LT((at(mode, 3.9999f).eye - at(mode, 4).eye).Length(), 1e-2f) << mode;
    EXPECT_LT((at(mode, 3.9999f).target - at(mode, 4).target).Length(), 1e-2f) << mode;
    for (float start : {0.0f, 4.0f})
      EXPECT_TRUE(at(mode, start).fade == 1 && at(mode, start + 0.4999f).fade < 1e-3f && !at(mode, start + 1).fades);
  }
  EXPECT_FALSE(at(0, 8).inShot || at(0, -1).inShot || at(3, 1).inShot);

  gSoundOn = 0;
  int32_t step = 0;
  std::vector<int32_t> steps;
  for (float t : {5.0f, 0.1f, 2.0f, 4.2f, 7.0f}) {  // the second shot first: no beep
    gRacePhaseTime = t;
    ComputeCameraPlacement(1, &step);
    steps.push_back(step);
  }
  EXPECT_EQ(steps, (std::vector<int32_t>{0, 1, 1, 2, 2}));
}
