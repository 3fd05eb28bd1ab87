// Traffic cars on the test terrain: their bodies and wheel sensors, the lane
// they drive, backing out when stuck, respawning ahead of the player, and
// their models (made here: the game ships none).
#include "tests/support/scratch_folder.h"
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "tools/ms3d_writer.h"
#include "world/city_car.h"
#include "world/physics_world.h"
#include "world/race_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds
constexpr float kLane = 6.35f;

// A scene with the opponents parked and `count` traffic cars of `type`
// with bodies, none placed yet: they hang high above the start, far from
// the player.
struct TrafficScene {
  explicit TrafficScene(int count, int type = 1, int pathPoints = 200) : scene(FlatGround, pathPoints) {
    scene.ParkOpponents();
    gCityCarCount = count;
    for (int i = 0; i < count; ++i) {
      gCityCars[i].type = type;
      gCityCars[i].CreateBody(gSimulator, neMakeV3(40.0f * i, 500.0f, 0.0f));
    }
  }
  ~TrafficScene() { gCityCarCount = 0; }
  void Frame() {
    for (int i = 0; i < gCityCarCount; ++i) gCityCars[i].Update(kSceneFrameSeconds * 100.0f);
    scene.Frame();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  RaceScene scene;
};

}  // namespace

TEST(TrafficCar, AShortCarsWheelSensorsSitAtItsScaledAxles) {
  TrafficScene traffic(1, 1);
  neRigidBody* body = gCityCars[0].body;
  ASSERT_NE(body, nullptr);
  float xs[4];
  int n = 0;
  body->BeginIterateSensor();
  for (neSensor* s = body->GetNextSensor(); s; s = body->GetNextSensor()) xs[n++] = s->GetLinePos().x;
  ASSERT_EQ(n, 4);
  EXPECT_NEAR(xs[0], 3.218f, 1e-3f);
  EXPECT_NEAR(xs[1], 3.218f, 1e-3f);
  EXPECT_NEAR(xs[2], -2.305f, 1e-3f);
  EXPECT_NEAR(xs[3], -2.305f, 1e-3f);
  EXPECT_EQ(reinterpret_cast<CityCar*>(body->GetUserData()), &gCityCars[0]);
}

TEST(TrafficCar, DrivesItsLaneAtTheSpeedLimitOnItsOwnWheels) {
  TrafficScene traffic(1);
  CityCar& car = gCityCars[0];
  car.laneDirection = 0;
  car.Place(LanePoint(40, 0, kLane), neMakeV3(1, 0, 0));
  car.pathPoint = 41;
  traffic.Frames(12 * kFramesPerSecond);
  const neV3 p = car.body->GetPos();
  const float speed = car.body->GetVelocity().Length();
  EXPECT_GT(p.x, 280.0f + 60.0f);
  EXPECT_NEAR(p.z, kLane, 1.5f);
  EXPECT_LT(speed, 8.5f);
  EXPECT_GT(speed, 6.0f);
  EXPECT_GT(car.body->GetRotationM3()[1].y, 0.98f);  // upright
  EXPECT_GT(car.pathPoint, 50);
  for (float s : car.suspension) {
    EXPECT_GE(s, 0.6f);
    EXPECT_LT(s, 1.0f);  // every wheel on the ground
  }
  EXPECT_FALSE(car.reversing);
}

TEST(TrafficCar, HeldFastItBacksOutAfterThreeSeconds) {
  TrafficScene traffic(1);
  CityCar& car = gCityCars[0];
  car.Place(LanePoint(40, 0, kLane), neMakeV3(1, 0, 0));
  car.pathPoint = 41;
  car.body->SetActive(false);
  traffic.Frames(3 * kFramesPerSecond - 2);
  EXPECT_FALSE(car.reversing);
  traffic.Frames(3);
  ASSERT_TRUE(car.reversing);
  traffic.Frame();
  EXPECT_LT(car.driveForce, 0.0f);
  traffic.Frames(kFramesPerSecond * 3 / 2);
  EXPECT_FALSE(car.reversing);
}

TEST(TrafficRespawn, AFarCarIsPlacedOnALaneBetween190And240AheadOfThePlayerOneAtATime) {
  TrafficScene traffic(2);
  traffic.scene.Frame();
  const neV3 player = gRacers[0].body->GetPos();
  // Car 1 stands where car 0 would go (path point 30): car 0 is refused.
  gCityCars[1].body->SetPos(neMakeV3(210.0f, 1.0f, 0.0f));
  const neV3 waiting = gCityCars[0].body->GetPos();
  UpdateCityTraffic();
  EXPECT_TRUE(gCityCars[0].respawn);
  EXPECT_EQ(gCityCars[0].body->GetPos().x, waiting.x);

  gCityCars[1].body->SetPos(neMakeV3(0.0f, 600.0f, 0.0f));
  UpdateCityTraffic();
  const neV3 placed = gCityCars[0].body->GetPos();
  const float d = (placed - player).Length();
  EXPECT_GT(d, 190.0f);
  EXPECT_LT(d, 240.0f);
  EXPECT_NEAR(placed.x, 210.0f, 1e-3f);
  EXPECT_NEAR(std::fabs(placed.z), 5.5f, 1e-3f);
  EXPECT_FALSE(gCityCars[0].respawn);
  EXPECT_EQ(gCityCars[0].pathPoint, gCityCars[0].laneDirection == 0 ? 31 : 29);
  EXPECT_TRUE(gCityCars[1].respawn);  // one car per call

  UpdateCityTraffic();  // car 0 now stands within 80 of the place: refused
  EXPECT_TRUE(gCityCars[1].respawn);
  EXPECT_GT(gCityCars[1].body->GetPos().y, 500.0f);
}

TEST(TrafficRespawn, WithNoPathPointInRangeACarMarkedForRespawnStaysPut) {
  TrafficScene traffic(1, 1, 20);  // a path 140 long: nothing 190 away
  traffic.scene.Frame();
  const neV3 before = gCityCars[0].body->GetPos();
  UpdateCityTraffic();
  EXPECT_TRUE(gCityCars[0].respawn);
  const neV3 after = gCityCars[0].body->GetPos();
  EXPECT_EQ(before.x, after.x);
  EXPECT_EQ(before.z, after.z);
}

TEST(TrafficModels, LoadFromTheirFoldersAndAMissingFileLeavesAnEmptyModel) {
  ScratchFolder scratch;
  Ms3dFile box;
  box.vertices = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  box.triangles.resize(1);
  box.triangles[0].vertices[1] = 1;
  box.triangles[0].vertices[2] = 2;
  box.groups = {{"body", {0}, -1}};
  for (int i = 0; i < kCityCarModelSets; ++i) {
    const std::string folder = scratch.Path() + "/base/city/" + std::to_string(i);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteMs3d(folder + "/car.sbm", box));
    if (i != 2) {
      ASSERT_TRUE(WriteMs3d(folder + "/glass_car.sbm", box));
    }
    ASSERT_TRUE(WriteMs3d(folder + "/optika.sbm", box));
  }
  ASSERT_TRUE(WriteMs3d(scratch.Path() + "/base/city/wheel_front.sbm", box));
  ASSERT_TRUE(WriteMs3d(scratch.Path() + "/base/city/wheel_rear.sbm", box));
  ScopedWorkingFolder inScratch(scratch.Path());
  LoadCityCars();
  LoadCityCars();  // a reload replaces the models
  for (int i = 0; i < kCityCarModelSets; ++i) {
    EXPECT_EQ(gCityCarModels[i]->triangleCount, 1);
    EXPECT_EQ(gCityGlassModels[i]->triangleCount, i == 2 ? 0 : 1);
    EXPECT_EQ(gCityOpticsModels[i]->triangleCount, 1);
  }
  EXPECT_EQ(gCityWheelFrontModel->triangleCount, 1);
  EXPECT_EQ(gCityWheelRearModel->triangleCount, 1);
}
