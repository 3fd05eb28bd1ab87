// The race frame's copy step: what the worker published becomes the render
// side's own, and the values the worker keeps changing (leaf distances,
// dust, prop bodies, the start hold) are read or written only there.
#include "render/race_frame.h"
#include "render/race_projection.h"

#include "framework/globals.h"
#include "render/race_view.h"
#include "tests/support/race_scene.h"
#include "world/physics_world.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kShadowsOff = 16, kShadowsOn = 1024;

class RaceFrameCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    gShadowMapSize = kShadowsOff;
    gRaceViewCopies = RaceViewCopies{};
    gStartHold = 0;
  }
  void TearDown() override { gShadowMapSize = kShadowsOff; }
};

Matrix4 Translation(float x, float y, float z) {
  Matrix4 m;
  m.m[12] = x;
  m.m[13] = y;
  m.m[14] = z;
  return m;
}

WheelParticle Particle(float x) {
  WheelParticle p{};
  p.position = neMakeV3(x, 0, 0);
  p.alive = 1;
  return p;
}

// The worker's side of a wheel giving off `count` particles at x = first, first + 1, ...
void Spawn(Racer& car, int slot, int w, int count, float first) {
  for (int k = 0; k < count; ++k) {
    gWheelParticles[slot][w][car.dustHead[w]] = Particle(first + float(k));
    car.dustHead[w] = (car.dustHead[w] + 1) % kDustRingSize;
    ++car.dustSpawned[w];
  }
}

// A truck built for a race starts its rings and counts again.
void ClearDust(Racer& car) {
  for (int w = 0; w < kWheelCount; ++w) car.dustHead[w] = car.dustSpawned[w] = 0;
}

}  // namespace

TEST_F(RaceFrameCopy, TakesTheCameraListsRacersAndFrameFactorThatTheStepPublished) {
  RaceViewCopies& published = gRaceViewCopies;
  published.cameraLeaves.count = 2;
  published.cameraLeaves.leaf[0] = 7;
  published.cameraLeaves.leaf[1] = 9;
  published.cubeFaceLeaves[5].count = 1;
  published.cubeFaceLeaves[5].leaf[0] = 3;
  published.cameraEye = neMakeV3(1, 2, 3);
  published.cameraLookAt = neMakeV3(4, 5, 6);
  published.cameraUp = neMakeV3(0, 1, 0);
  published.cameraDir = neMakeV3(0, 0, 1);
  published.fovSpeed = 0.25f;
  published.fovBoost = 0.5f;
  published.frameFactor = 1.6f;
  gSimRacerMatrix[2] = Translation(10, 20, 30);
  gSimRacerVisible[2] = 1;
  gRacers[2].suspensionDraw[1] = 0.9f;
  gRacers[2].wheelRollDraw[3] = 45.0f;
  gRacers[2].trackHeadDraw[0] = 17;
  gRacers[2].velocityDraw = neMakeV3(3, 0, 4);

  CopyPublishedRaceState(gRaceFrame);

  ASSERT_EQ(gRaceFrame.visibleNodes.count, 2);
  EXPECT_EQ(gRaceFrame.visibleNodes.leaf[1], 9);
  EXPECT_EQ(gRaceFrame.cubeFaceNodes[5].leaf[0], 3);
  EXPECT_EQ(gCameraEye.z, 3.0f);
  EXPECT_EQ(gRaceLookAt.x, 4.0f);
  EXPECT_EQ(gGarageLookAt.z, 1.0f);
  EXPECT_EQ(gRaceFrame.fovSpeed, 0.25f);
  EXPECT_EQ(gRaceFrame.fovBoost, 0.5f);
  EXPECT_EQ(gRaceFrame.frameFactor, 1.6f);
  EXPECT_EQ(gRaceFrame.racerMatrix[2].m[13], 20.0f);
  EXPECT_EQ(gRaceFrame.racerVisible[2], 1);
  EXPECT_EQ(gRaceFrame.racers[2].wheelDrop[1], 0.9f);
  EXPECT_EQ(gRaceFrame.racers[2].wheelRoll[3], 45.0f);
  EXPECT_EQ(gRaceFrame.racers[2].tyreTrackHead[0], 17);
  EXPECT_EQ(LengthV3(gRaceFrame.racers[2].velocity), 5.0f);
}

TEST_F(RaceFrameCopy, LightMatricesAndShadowLeavesAreTakenOnlyWithShadowsOn) {
  gRaceViewCopies.cameraMatrix0 = Translation(1, 0, 0);
  gRaceViewCopies.lightLeaves.count = 4;
  gLightProjection = Matrix4();
  gRaceFrame.shadowNodes.count = 0;
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gLightProjection.m[12], 0.0f);
  EXPECT_EQ(gRaceFrame.shadowNodes.count, 0);

  gShadowMapSize = kShadowsOn;
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gLightProjection.m[12], 1.0f);
  EXPECT_EQ(gRaceFrame.shadowNodes.count, 4);
}

TEST_F(RaceFrameCopy, LeafDistancesAreTheStepsNotWhatTheNextStepWrites) {
  std::unique_ptr<QuadTreeList[]> leaves(new QuadTreeList[kQuadTreeLeafCount]);
  gQuadTreeLeaves = leaves.get();
  gRaceViewCopies.cameraLeaves.count = 1;
  gRaceViewCopies.cameraLeaves.leaf[0] = 40;
  leaves[40].cameraDistSq = 900.0f;
  CopyPublishedRaceState(gRaceFrame);
  leaves[40].cameraDistSq = 250000.0f;  // the next step, running while the frame draws
  EXPECT_EQ(gRaceFrame.leafDistSq[40], 900.0f);
  gQuadTreeLeaves = nullptr;
}

TEST_F(RaceFrameCopy, NewDustIsTakenOverOnceAndThenAgesOnlyOnTheRenderSide) {
  Racer& car = gRacers[1];
  ClearDust(car);
  CopyPublishedRaceState(gRaceFrame);
  Spawn(car, 1, 2, 3, 100.0f);
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gRaceFrame.dust[1][2][2].position.x, 102.0f);
  EXPECT_EQ(gRaceFrame.dust[1][2][2].alive, 1);

  gRaceFrame.dust[1][2][0].age = 0.7f;  // the drawing ages it
  gRaceFrame.dust[1][2][1].alive = 0;   // and retires it
  Spawn(car, 1, 2, 1, 200.0f);
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gRaceFrame.dust[1][2][0].age, 0.7f) << "a particle taken over once is not taken again";
  EXPECT_EQ(gRaceFrame.dust[1][2][1].alive, 0);
  EXPECT_EQ(gRaceFrame.dust[1][2][3].position.x, 200.0f);
  EXPECT_EQ(gWheelParticles[1][2][1].alive, 1) << "the worker's ring is never written by the render side";
}

TEST_F(RaceFrameCopy, DustOfAWholeLappedRingOrANewRaceIsTakenWhole) {
  Racer& car = gRacers[3];
  ClearDust(car);
  CopyPublishedRaceState(gRaceFrame);
  Spawn(car, 3, 0, kDustRingSize + 30, 0.0f);  // more than a ring within one step
  CopyPublishedRaceState(gRaceFrame);
  const int newest = (car.dustHead[0] + kDustRingSize - 1) % kDustRingSize;
  EXPECT_EQ(gRaceFrame.dust[3][0][newest].position.x, float(kDustRingSize + 29));
  EXPECT_EQ(gRaceFrame.dust[3][0][car.dustHead[0]].position.x, 30.0f);

  ClearDust(car);  // the next race: the count starts again
  Spawn(car, 3, 0, 1, 500.0f);
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gRaceFrame.dust[3][0][0].position.x, 500.0f);
  EXPECT_EQ(gRaceFrame.dust[3][0][1].alive, 0) << "the last race's dust is gone";
}

TEST_F(RaceFrameCopy, TheCountdownLiftsTheStartHoldOnlyWhileTheWorkerWaits) {
  gStartHold = 1;
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gRaceFrame.startHold, 1);
  RequestStartHoldRelease();
  EXPECT_EQ(gStartHold, 1) << "the step running now still sees the hold";
  CopyPublishedRaceState(gRaceFrame);
  EXPECT_EQ(gStartHold, 0);
  EXPECT_EQ(gRaceFrame.startHold, 0);
}

TEST_F(RaceFrameCopy, PropPartsAreDrawnWhereTheirBodiesStoodAtTheCopy) {
  RaceScene scene;
  neRigidBody* body = gSimulator->CreateRigidBody();
  body->SetPos(neMakeV3(12, 3, -4));
  gCityObjects[0].partBodies[1] = body;
  gCityObjectCount = 1;
  CopyPublishedRaceState(gRaceFrame);
  body->SetPos(neMakeV3(50, 3, -4));  // moved by the next step
  EXPECT_EQ(gRaceFrame.propPartMatrix[0][1].m[12], 12.0f);
  EXPECT_EQ(gRaceFrame.propPartMatrix[0][1].m[14], -4.0f);
  gCityObjects[0].partBodies[1] = nullptr;
  gCityObjectCount = 0;
}

TEST(RaceFieldOfView, WidensWithSpeedAndThreeTimesAsMuchWhileBoosting) {
  EXPECT_FLOAT_EQ(RaceFieldOfView(0.0f, 1.0f), 45.0f);
  EXPECT_FLOAT_EQ(RaceFieldOfView(1.0f, 0.0f), 50.0f);
  EXPECT_FLOAT_EQ(RaceFieldOfView(1.0f, 1.0f), 60.0f);
}
