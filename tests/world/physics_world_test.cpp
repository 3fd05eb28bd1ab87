// The race's physics world: the starting grid, the pools and tables it is
// made with, the frame-time smoothing and sub-steps, and the collision
// callback's crash sounds and bonuses fed with synthetic contacts.
#include "world/physics_world.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "tests/support/race_scene.h"
#include "world/city_object.h"
#include "world/opponent.h"
#include "world/player.h"
#include "world/physics_constants.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/truck_tuning.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A fresh race's bonus state one second in: every clock past its 5 s threshold.
void FreshBonusesOneSecondIn() {
  ResetBonuses();
  AdvanceBonusClocks(100.0f, 0.0f);
}

void ExpectNear(const neV3& actual, const neV3& expected, float tolerance, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
  EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
  EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

}  // namespace

TEST(StartingGrid, PlacesTheFourTrucksBehindTheFirstPointFacingTheSecond) {
  struct Case {
    neV3 direction;
    neV3 spots[kRacerCount];  // x and z; every truck 1.45 above the ground
  };
  const Case cases[] = {
      {neMakeV3(1, 0, 0), {neMakeV3(-10, 0, 3), neMakeV3(-5, 0, -3), neMakeV3(0, 0, 3), neMakeV3(5, 0, -3)}},
      {neMakeV3(0, 0, 1), {neMakeV3(-3, 0, -10), neMakeV3(3, 0, -5), neMakeV3(-3, 0, 0), neMakeV3(3, 0, 5)}},
  };
  for (const Case& c : cases) {
    gOpponentWeavePhase = 7.0f;  // where a last race may have left the drivers
    for (Racer& car : gRacers) car.stuckTime = car.reverseTime = car.bumpedTime = 1.0f, car.reversing = 1;
    RaceScene scene(FlatGround, 200, c.direction);
    EXPECT_EQ(gOpponentWeavePhase, 0.0f);
    for (int i = 0; i < kRacerCount; ++i) {
      const Racer& car = gRacers[i];
      EXPECT_EQ(car.stuckTime + car.reverseTime + car.bumpedTime + car.reversing, 0.0f) << "starts fresh";
      EXPECT_EQ(car.slot, i);
      EXPECT_EQ(car.slotNumber, i + 1);
      EXPECT_EQ(car.place, 4);
      ExpectNear(car.body->GetPos(), neMakeV3(c.spots[i].x, 1.45f, c.spots[i].z), 1e-4f, "grid spot");
      const neM3 rotation = car.body->GetRotationM3();
      ExpectNear(rotation[0], c.direction, 1e-5f, "forward axis along the path");
      ExpectNear(rotation[1], neMakeV3(0, 1, 0), 1e-5f, "upright");
      ExpectNear(car.startRotation[0], c.direction, 1e-5f, "grid rotation kept");
    }
    EXPECT_FLOAT_EQ(gChaseDirXGoal, c.direction.x);
    EXPECT_FLOAT_EQ(gChaseDirZGoal, c.direction.z);
  }
}

TEST(StartingGrid, FirstTwoPointsOnOneVerticalFaceTheGridAlongPlusX) {
  RaceScene scene;
  gRacePath[1].position = gRacePath[0].position + neMakeV3(0, 5, 0);
  gWorldModels[kWorldModelPhysic] = MakeGroundModel(-100, 100, -100, 100, 10, FlatGround);
  InitPhysicsWorld();
  for (const Racer& car : gRacers) {
    const neV3 p = car.body->GetPos();
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    ExpectNear(car.body->GetRotationM3()[0], neMakeV3(1, 0, 0), 1e-5f, "forward");
  }
}

TEST(PhysicsWorldSetUp, PoolsFitTheBoundedTrafficAndTheTableReportsEveryCarContact) {
  const int32_t saved = gCityCarCount;
  struct Case {
    int32_t traffic;
    int32_t bodies;
  };
  for (const Case c : {Case{2, 5007}, Case{4, 5009}, Case{99, 5009}, Case{-3, 5005}}) {
    gCityCarCount = c.traffic;
    RaceScene scene;
    const neSimulatorSizes sizes = gSimulator->GetSizes();
    EXPECT_EQ(sizes.rigidBodiesCount, c.bodies) << "traffic " << c.traffic;
    EXPECT_EQ(sizes.geometriesCount, c.bodies) << "traffic " << c.traffic;
    EXPECT_EQ(sizes.animatedBodiesCount, 0);
    EXPECT_EQ(sizes.rigidParticleCount, 0);
    EXPECT_EQ(sizes.overlapPairsCount, 1225);
    EXPECT_EQ(sizes.terrainNodesStartCount, 100);
    EXPECT_EQ(gSimulator->GetGravity().y, -kGravityAcceleration);
  }
  gCityCarCount = saved;

  RaceScene scene;
  const neCollisionTable* table = gSimulator->GetCollisionTable();
  const int report = NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK;
  EXPECT_EQ(table->GetTerrain(0), report);  // cars on the terrain
  EXPECT_EQ(table->Get(0, 0), report);      // car against car
  EXPECT_EQ(table->Get(0, 1), report);      // car against prop
  EXPECT_EQ(table->Get(1, 1), NE_RESPONSE_IMPULSE);
  for (int m = 0; m < kSurfaceMaterialCount; ++m) {
    float friction = -1, restitution = -1;
    ASSERT_TRUE(gSimulator->GetMaterial(m, friction, restitution));
    EXPECT_EQ(friction, kTruckTuning.surfaces[m].friction) << "material " << m;
    EXPECT_EQ(restitution, kTruckTuning.surfaces[m].restitution) << "material " << m;
  }
}

// The jointed-wheel variant, which only this test builds: driven off and
// braked on flat ground, the four wheels stay on their hinges, swinging
// between the hinge limits and reaching both.
TEST(JointedWheels, StayOnTheirHingesWithinTheLimitsThroughADrive) {
  RaceScene scene;
  scene.ParkOpponents();
  Racer& car = scene.player();
  car.carKind = 17;  // axles 4.2: the rear wheels hang behind the box
  car.CreateWheelBodies(gSimulator, car.body->GetPos(), neMakeV3(1, 0, 0));
  for (neRigidBody* wheel : car.wheelBodies) ASSERT_NE(wheel, nullptr);
  const neT3 toChassis = car.body->GetTransform().FastInverse();
  ExpectNear(toChassis * car.wheelBodies[3]->GetPos(), neMakeV3(-4.2f - 0.8f, -0.1f, -1.3f), 1e-4f, "rear, -z");
  float lowest = 0, highest = 0;
  scene.Press(kControlAccelerate);
  for (int frame = 0; frame < 200; ++frame) {
    if (frame == 120) scene.ReleaseAll(), scene.Press(kControlBrake);
    scene.Frame();
    for (neRigidBody* wheel : car.wheelBodies) {
      // The hinge's frames on wheel and chassis share origin and axis (a NaN
      // fails too); the angle of their x axes about it is the hinge's.
      const neConstraint& hinge = *wheel->constraintFirst->constraint;
      const neT3 a = hinge.GetFrameA(), b = hinge.GetFrameB();
      ASSERT_LT((a.pos - b.pos).Length(), 0.02f) << "frame " << frame;
      ASSERT_GT(a.rot[1].Dot(b.rot[1]), 0.999f) << "frame " << frame;
      const float angle = std::atan2(a.rot[0].Cross(b.rot[0]).Dot(a.rot[1]), a.rot[0].Dot(b.rot[0]));
      ASSERT_TRUE(angle >= -0.3f * NE_PI - 0.05f && angle <= 0.1f * NE_PI + 0.05f) << angle << " in frame " << frame;
      lowest = std::min(lowest, angle), highest = std::max(highest, angle);
    }
  }
  EXPECT_LT(lowest, -0.25f * NE_PI) << "braking swings the wheels to the lower limit";
  EXPECT_GT(highest, 0.08f * NE_PI) << "the drive swings them to the upper limit";
}

TEST(PhysicsStepPlan, SmoothsTheFrameTimeAndChoosesTheSubSteps) {
  struct Case {
    float frame, previous;
    float expectedTime;
    bool advance;
    int subSteps;
  };
  const Case cases[] = {
      {0.09f, 0.08f, 0.09f, true, 8},    // within 0.064..0.096; (int)(3.117 + 5)
      {0.15f, 0.09f, 0.1f, true, 9},     // 0.108, then 0.1: a slow machine steps 0.1
      {0.09f, 0.1f, 0.09f, true, 8},     // the next frame is clamped into 0.08..0.1
      {0.0f, 0.05f, 0.04f, true, 4},     // a stalled frame: 0.8 x the previous
      {0.0f, 0.0f, 0.0f, false, 0},      // a stalled first frame: nothing to step
      {0.02f, 0.0f, 0.02f, true, 4},     // the first frame is not clamped
      {0.05f, 0.1f, 0.08f, true, 7},
  };
  for (const Case& c : cases) {
    const PhysicsStepPlan plan = PlanPhysicsStep(c.frame, c.previous);
    EXPECT_NEAR(plan.frameTime, c.expectedTime, 1e-6f) << c.frame << " after " << c.previous;
    EXPECT_EQ(plan.advance, c.advance) << c.frame << " after " << c.previous;
    EXPECT_EQ(plan.subSteps, c.subSteps) << c.frame << " after " << c.previous;
    if (c.advance) {
      EXPECT_NEAR(plan.simulatedTime, kPhysicsTimeScale * c.expectedTime, 1e-6f);
    }
  }
}

TEST(PhysicsStepPlan, AStalledFirstFrameAdvancesNothingAndALaterOneReplaysTheLastTime) {
  RaceScene scene;
  const int steps = gSimulator->GetStepCount();
  gPhysicsFrameTime = 0.0f;
  StepPhysicsWorld();
  EXPECT_EQ(gSimulator->GetStepCount(), steps);
  EXPECT_EQ(gPrevPhysicsFrameTime, 0.0f);
  EXPECT_EQ(gRacers[0].raceHundredths, 0.0f);

  scene.Frame();
  EXPECT_EQ(gSimulator->GetStepCount(), steps + 1);
  gPhysicsFrameTime = 0.0f;
  StepPhysicsWorld();
  EXPECT_EQ(gSimulator->GetStepCount(), steps + 2);
  EXPECT_NEAR(gPrevPhysicsFrameTime, 0.8f * kSceneFrameSeconds, 1e-7f);
}

// The collision callback with the race's sounds on OpenAL's null output.
class CollisionCallback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 0);
    soundOpen_ = OpenSoundDevice();
  }
  static void TearDownTestSuite() {
    if (soundOpen_) CloseSoundDevice();
  }
  void SetUp() override {
    ASSERT_TRUE(soundOpen_);
    scene_ = std::make_unique<RaceScene>();
    gSndCr0.Load("base/sound/cr0.wav", false);
    gSndCr1.Load("base/sound/cr1.wav", false);
    for (int b = 0; b < kCrashBankCount; ++b)
      for (int s = 0; s < kCrashSoundsPerBank; ++s) {
        const std::string path = "base/sound/crash" + std::to_string(b) + "_" + std::to_string(s) + ".wav";
        gSndCrash[b][s].Load(path.c_str(), false);
      }
    savedSoundOn_ = gSoundOn;
    gSoundOn = 1;
    gCrashEffect = 0.0f;
  }
  void TearDown() override {
    gSoundOn = savedSoundOn_;
    gCityObjectCount = 0;
    scene_.reset();
    ReleaseAllSounds();
  }

  // A contact of truck `a` with the terrain or with body `b`.
  static neCollisionInfo Contact(neRigidBody* a, int materialA, neRigidBody* b, int materialB, float impact) {
    neCollisionInfo info{};
    info.bodyA = a;
    info.typeA = NE_COLLISION_RIGID;
    info.bodyB = b;
    info.typeB = b ? NE_COLLISION_RIGID : NE_COLLISION_TERRAIN;
    info.materialIndexA = materialA;
    info.materialIndexB = materialB;
    info.relativeVelocity = neMakeV3(0, -impact, 0);
    return info;
  }
  static neCollisionInfo TerrainHit(float impact) {
    return Contact(gRacers[0].body, kMaterialCar, nullptr, kMaterialTerrain, impact);
  }

  std::unique_ptr<RaceScene> scene_;
  uint8_t savedSoundOn_ = 0;
  static bool soundOpen_;
};
bool CollisionCallback::soundOpen_ = false;

TEST_F(CollisionCallback, PlayerCrashSoundBySizeOfTheImpactAndOnlyAfterAQuietSpell) {
  struct Case {
    float impact;
    float crashSoundTime;
    bool light, heavy;
    float crashEffect;
  };
  const Case cases[] = {
      {12.5f, 2.5f, false, true, 1.0f},  // exactly 12.5 is a heavy crash
      {12.4f, 2.5f, true, false, 1.0f},  // light, but above 10 it still shakes the screen
      {9.0f, 2.5f, true, false, 0.0f},
      {20.0f, 2.0f, false, false, 0.0f},  // too soon after the last crash sound
  };
  for (const Case& c : cases) {
    gSndCr0.Stop();
    gSndCr1.Stop();
    gCrashEffect = 0.0f;
    gRacers[0].crashSoundTime = c.crashSoundTime;
    neCollisionInfo info = TerrainHit(c.impact);
    OnCollision(&info);
    EXPECT_EQ(gSndCr0.IsPlaying(), c.light) << "impact " << c.impact;
    EXPECT_EQ(gSndCr1.IsPlaying(), c.heavy) << "impact " << c.impact;
    EXPECT_EQ(gCrashEffect, c.crashEffect) << "impact " << c.impact;
    EXPECT_EQ(gRacers[0].crashSoundTime, (c.light || c.heavy) ? 0.0f : c.crashSoundTime);
  }
}

TEST_F(CollisionCallback, AnOpponentsCrashIntoTheTerrainIsSilent) {
  gRacers[1].crashSoundTime = 3.0f;
  neCollisionInfo info = Contact(gRacers[1].body, kMaterialCar, nullptr, kMaterialTerrain, 14.0f);
  OnCollision(&info);
  EXPECT_FALSE(gSndCr1.IsPlaying());
  EXPECT_EQ(gRacers[1].crashSoundTime, 3.0f);
}

TEST_F(CollisionCallback, RamBonusOnlyWhenThePlayerHitsASlowerTruck) {
  Racer& player = gRacers[0];
  Racer& other = gRacers[1];
  struct Case {
    float playerSpeed, otherSpeed, impact;
    bool bonus;
  };
  for (const Case c : {Case{10, 5, 8, true}, Case{5, 10, 8, false}, Case{10, 5, 7.5f, false}}) {
    other.bumpedTime = 0.0f;
    player.body->SetVelocity(neMakeV3(c.playerSpeed, 0, 0));
    other.body->SetVelocity(neMakeV3(c.otherSpeed, 0, 0));
    for (bool playerFirst : {true, false}) {
      FreshBonusesOneSecondIn();
      neCollisionInfo info = playerFirst ? Contact(player.body, kMaterialCar, other.body, kMaterialCar, c.impact)
                                         : Contact(other.body, kMaterialCar, player.body, kMaterialCar, c.impact);
      OnCollision(&info);
      EXPECT_EQ(gRaceBonus[kBonusRam - 1], c.bonus ? 350.0f : 0.0f) << c.playerSpeed << " vs " << c.otherSpeed;
      EXPECT_EQ(gBonusEventLast, c.bonus ? 0 : -1);
      EXPECT_EQ(other.bumpedTime, 2.0f);  // the opponent coasts after any hit by the player
    }
  }
}

TEST_F(CollisionCallback, AFullBonusQueueGivesNothing) {
  FreshBonusesOneSecondIn();
  gBonusEventLast = 9;
  gRacers[0].body->SetVelocity(neMakeV3(20, 0, 0));
  neCollisionInfo info = Contact(gRacers[0].body, kMaterialCar, gRacers[1].body, kMaterialCar, 12.0f);
  OnCollision(&info);
  EXPECT_EQ(gBonusEventLast, 9);
  EXPECT_EQ(gRaceBonus[kBonusRam - 1], 0.0f);
  EXPECT_EQ(gBonusTimers[kBonusRam - 1], kBonusStartClock + 1.0f);  // not restarted
}

TEST_F(CollisionCallback, AHardHitOnAPropGivesItsBonusOnceAndACrashSoundThatFollowsIt) {
  FreshBonusesOneSecondIn();
  neRigidBody* prop = gSimulator->CreateRigidBody();
  prop->SetUserData(0);
  gCityObjectCount = 1;
  gCityObjects[0].hitBonusGiven = 0;
  gCityObjects[0].crashCoolDown = 10.0f;

  neCollisionInfo info = Contact(gRacers[2].body, kMaterialCar, prop, kMaterialProp, 13.0f);
  OnCollision(&info);
  EXPECT_EQ(gRaceBonus[kBonusPropHit - 1], 100.0f);
  EXPECT_EQ(gCityObjects[0].hitBonusGiven, 1);
  EXPECT_EQ(gCrashEffect, 0.0f);  // 13 is not above 15
  EXPECT_EQ(gCityObjects[0].crashCoolDown, 0.0f);
  int following = 0;
  for (int b = 0; b < kCrashBankCount; ++b)
    for (int s = 0; s < kCrashSoundsPerBank; ++s)
      if (gCrashSoundBusy[b][s]) {
        ++following;
        EXPECT_TRUE(b == 1 || b == 2) << "bank " << b;
        EXPECT_EQ(gCrashSoundPos[b][s], prop);
        EXPECT_TRUE(gSndCrash[b][s].IsPlaying());
      }
  EXPECT_EQ(following, 1);

  gBonusTimers[kBonusPropHit - 1] = 100.0f;
  OnCollision(&info);  // the same prop, its clock long run out
  EXPECT_EQ(gRaceBonus[kBonusPropHit - 1], 100.0f);
}

TEST_F(CollisionCallback, ThePlayerTouchingGroundOrAPropRestartsTheCleanDrivingClock) {
  gBonusTimers[kBonusCleanDriving - 1] = 20.0f;
  gRacers[0].crashSoundTime = 0.0f;
  neCollisionInfo info = TerrainHit(1.0f);
  OnCollision(&info);
  EXPECT_EQ(gBonusTimers[kBonusCleanDriving - 1], 0.0f);
  gBonusTimers[kBonusCleanDriving - 1] = 20.0f;
  info = Contact(gRacers[1].body, kMaterialCar, nullptr, kMaterialTerrain, 1.0f);
  OnCollision(&info);
  EXPECT_EQ(gBonusTimers[kBonusCleanDriving - 1], 20.0f);
}

TEST(BonusDisplay, ThreeBonusesWithinASecondAreShownTwoSecondsEachFirstInFirstOut) {
  ResetBonuses();
  const float frameFactor = 2.0f;  // frames of 0.02 s
  int shown[400];
  for (int frame = 0; frame < 400; ++frame) {
    AdvanceBonusClocks(frameFactor, 0.0f);
    if (frame == 0) GiveBonus(kBonusRam);
    if (frame == 25) GiveBonus(kBonusBackOnTrack);
    if (frame == 45) GiveBonus(kBonusShortcut);
    shown[frame] = gBonusEventLast >= 0 ? gBonusEvents[0] : 0;
  }
  // Each 2 s is 100 frames; a frame either side of each change.
  EXPECT_EQ(shown[0], kBonusRam);
  EXPECT_EQ(shown[99], kBonusRam);
  EXPECT_EQ(shown[102], kBonusBackOnTrack);
  EXPECT_EQ(shown[200], kBonusBackOnTrack);
  EXPECT_EQ(shown[203], kBonusShortcut);
  EXPECT_EQ(shown[301], kBonusShortcut);
  EXPECT_EQ(shown[304], 0);
  EXPECT_EQ(gRaceBonus[kBonusRam - 1] + gRaceBonus[kBonusBackOnTrack - 1] + gRaceBonus[kBonusShortcut - 1],
            350.0f + 350.0f + 500.0f);
}

TEST(BonusDisplay, TheCleanDrivingClockRunsOnlyAboveSpeedTen) {
  ResetBonuses();
  AdvanceBonusClocks(100.0f, 10.0f);
  EXPECT_EQ(gBonusTimers[kBonusCleanDriving - 1], kBonusStartClock);
  EXPECT_EQ(gBonusTimers[kBonusRam - 1], kBonusStartClock + 1.0f);
  AdvanceBonusClocks(100.0f, 10.5f);
  EXPECT_EQ(gBonusTimers[kBonusCleanDriving - 1], kBonusStartClock + 1.0f);
}
