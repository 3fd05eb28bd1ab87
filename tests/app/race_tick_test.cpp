// The worker's race tick over the test terrain: the trucks driven through
// it, long frames, the racers' visibility cut, the reflection faces and
// the render copies it publishes.
#include "app/race_tick.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "render/race_view.h"
#include "tests/support/race_scene.h"
#include "world/physics_world.h"
#include "world/player.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

namespace {

constexpr float kTick = 0.02f;

void Ticks(int count, float seconds = kTick) {
  for (int i = 0; i < count; ++i) RunRaceTick(seconds);
}

}  // namespace

TEST(RaceTick, DrivesThePlayerByTheBoundKeysAndPublishesWhatTheRaceFrameDraws) {
  RaceScene scene;
  Racer& player = scene.player();
  const neV3 start = player.body->GetPos();
  scene.Press(kControlAccelerate);
  Ticks(150);
  EXPECT_GT(player.body->GetPos().x - start.x, 10.0f);
  EXPECT_EQ(gFrameFactor, 2.0f);
  EXPECT_EQ(gRaceViewCopies.frameFactor, 2.0f);

  for (int i = 0; i < kRacerCount; ++i) {
    const Racer& car = gRacers[i];
    const neV3 p = car.body->GetPos();
    EXPECT_EQ(gSimRacerMatrix[i].m[12], p.x) << "racer " << i;
    EXPECT_EQ(gSimRacerMatrix[i].m[13], p.y) << "racer " << i;
    EXPECT_EQ(gSimRacerMatrix[i].m[14], p.z) << "racer " << i;
    EXPECT_EQ(gSimRacerMatrix[i].m[0], car.body->GetRotationM3()[0].x) << "racer " << i;
    for (int w = 0; w < kWheelCount; ++w) {
      EXPECT_EQ(car.suspensionDraw[w], car.suspension[w]);
      EXPECT_EQ(car.wheelRollDraw[w], car.wheelRoll[w]);
      EXPECT_EQ(car.trackHeadDraw[w], car.trackHead[w]);
    }
    EXPECT_EQ(car.velocityDraw.x, car.velocity.x);
  }
  EXPECT_EQ(gRaceViewCopies.cameraEye.x, gSimCameraEye.x);
  EXPECT_LT(gSimCameraEye.x, player.body->GetPos().x);  // the camera follows from behind
  EXPECT_EQ(gRaceViewCopies.fovSpeed, gSimFovSpeed);
  EXPECT_GT(gSimFovSpeed, 0.0f);  // above speed 13.3 the view widens
}

TEST(RaceTick, ALongFrameCountsAsTwoTenthsAndMovesThePhysicsLittleFurther) {
  RaceScene scene;
  scene.Press(kControlAccelerate);
  Ticks(50);
  const float fade = gPointSoundFade;
  const int steps = gSimulator->GetStepCount();
  RunRaceTick(0.25f);
  EXPECT_FLOAT_EQ(gFrameFactor, 20.0f);
  EXPECT_FLOAT_EQ(gPhysicsFrameTime, 0.2f);
  EXPECT_FLOAT_EQ(gPointSoundFade, fade + 20.0f * 0.004f);
  // The physics step grows by at most a fifth over the previous frame's.
  EXPECT_NEAR(gPrevPhysicsFrameTime, 1.2f * kTick, 1e-7f);
  EXPECT_EQ(gSimulator->GetStepCount(), steps + 1);
}

TEST(RaceTick, ARacerMoreThan300FromTheCameraIsNeverVisible) {
  RaceScene scene;
  gStartHold = 1;
  Ticks(1);
  const neV3 eye = gSimCameraEye;
  struct Case {
    float distance;
    bool visible;
  };
  for (const Case c : {Case{301.0f, false}, Case{299.0f, true}}) {
    gRacers[3].body->SetPos(eye + neMakeV3(c.distance, 0, 0));
    Ticks(1);
    EXPECT_EQ(gSimRacerVisible[3], c.visible ? 1 : 0) << "at " << c.distance;
    EXPECT_EQ(gSimRacerVisible[0], 1);
  }
}

TEST(RaceTick, ReflectionModeOneRefreshesThreeCubeFacesATick) {
  RaceScene scene;
  const int32_t saved = gReflectionMode;
  struct Case {
    int32_t mode;
    int facesPerTick;
  };
  for (const Case c : {Case{1, 3}, Case{0, 6}, Case{2, 6}}) {
    gReflectionMode = c.mode;
    const int32_t before = gSimCubeFace;
    Ticks(1);
    EXPECT_EQ(gSimCubeFace, (before + c.facesPerTick) % kCubeFaceCount) << "mode " << c.mode;
  }
  gReflectionMode = saved;
}

TEST(RaceTick, PublishesTheFirstQueuedBonusForTheHud) {
  RaceScene scene;
  Ticks(1);
  EXPECT_EQ(gRaceViewCopies.shownBonus, 0);
  GiveBonus(kBonusShortcut);
  GiveBonus(kBonusRam);
  Ticks(1);
  EXPECT_EQ(gRaceViewCopies.shownBonus, kBonusShortcut);
  EXPECT_NEAR(gRaceViewCopies.bonusDisplayTime, 2.0f - 0.02f, 1e-5f);
  Ticks(100);
  EXPECT_EQ(gRaceViewCopies.shownBonus, kBonusRam);
}
