#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "tools/ms3d_writer.h"
#include "world/catalogue.h"
#include "world/city_object.h"
#include "world/racer_models.h"
#include "world/physics_world.h"
#include "world/player.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/world_models.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

Model* ReadModelBytes(const Ms3dFile& file) {
  const std::vector<uint8_t> bytes = EncodeMs3d(file);
  auto* model = new MilkshapeModel;
  model->LoadFromBytes(bytes.data(), bytes.size());
  return model;
}

}  // namespace

Model* MakeGroundModel(float x0, float x1, float z0, float z1, float cell, const HeightFunction& height) {
  return ReadModelBytes(GroundMesh(x0, x1, z0, z1, cell, height));
}

Model* MakeMarkerModel(const std::vector<MarkerTriangle>& triangles) { return ReadModelBytes(MarkerMesh(triangles)); }

float GroundDistanceToPath(const neV3& p) {
  float best = 1e9f;
  for (int i = 0; i <= gRacePathLast; ++i) {
    const neV3 a = gRacePath[i].position, b = gRacePath[i == gRacePathLast ? 0 : i + 1].position;
    const float dx = b.x - a.x, dz = b.z - a.z;
    const float t = std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / (dx * dx + dz * dz), 0.0f, 1.0f);
    best = std::min(best, std::hypot(p.x - a.x - t * dx, p.z - a.z - t * dz));
  }
  return best;
}

RaceScene::RaceScene(const HeightFunction& heightFunction, int points, neV3 direction) : height(heightFunction) {
  direction = SafeUnit(direction);
  std::vector<neV3> path;
  for (int k = 0; k <= points; ++k) path.push_back(direction * (k * kPathSpacing));
  Build(path);
}

RaceScene::RaceScene(const HeightFunction& heightFunction, const std::vector<neV3>& path) : height(heightFunction) {
  Build(path);
}

void RaceScene::Build(const std::vector<neV3>& path) {
  InitCarTables();
  gRacePathLast = static_cast<int32_t>(path.size()) - 1;
  float x0 = 0.0f, x1 = 0.0f, z0 = 0.0f, z1 = 0.0f;
  for (size_t k = 0; k < path.size(); ++k) {
    neV3 p = path[k];
    p.y = height(p.x, p.z) + kPathLift;
    gRacePath[k] = Waypoint{p, kWaypointPlain};
    x0 = std::fmin(x0, p.x);
    x1 = std::fmax(x1, p.x);
    z0 = std::fmin(z0, p.z);
    z1 = std::fmax(z1, p.z);
  }
  MarkCheckpoints(gRacePath, gRacePathLast);
  // Room for the grid behind the first point and for running wide.
  constexpr float kMargin = 150.0f;
  gWorldModels[kWorldModelPhysic] = MakeGroundModel(x0 - kMargin, x1 + kMargin, z0 - kMargin, z1 + kMargin, 6.0f, height);
  for (Racer& car : gRacers) {
    car.carKind = 0;
    car.layout.frontAxleX = car.layout.rearAxleX = kTestAxle;
    car.layout.frontWheelZ = car.layout.rearWheelZ = kTestHalfTrack;
  }
  StartRace();
}

RaceScene::RaceScene(int race) : height(FlatGround) {
  InitCarTables();
  loaded = LoadRacePath(race);
  auto* physic = new MilkshapeModel;
  loaded = physic->LoadFromFile(kGamePhysicsGround) && loaded;
  gWorldModels[kWorldModelPhysic] = physic;
  // The race's props where the data has them.
  MilkshapeModel props;
  if (props.LoadFromFile(("base/world/models/objects" + std::to_string(race) + ".sbm").c_str()))
    BuildCityObjectsFromModel(props);
  // Four different trucks with their own marker points.
  for (int i = 0; i < kRacerCount; ++i) {
    Racer& car = gRacers[i];
    car.carKind = kGameDataTrucks[i];
    MilkshapeModel points;
    loaded = points.LoadFromFile(("base/cars/" + std::to_string(car.carKind) + "/points.sbm").c_str()) && loaded;
    TakeCarMarkers(car, points);
  }
  StartRace();
}

void RaceScene::StartRace() {
  InitPhysicsWorld();

  const int keys[kKeyBindingCount] = {kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyBoost};
  for (int i = 0; i < kKeyBindingCount; ++i) gKeyBindings[i] = keys[i];
  ReleaseAll();
  gStartHold = 0;
  gPlayerFinished = 0;
  gRaceLaps = 4;
  gCarPowerFactor = kDirectRaceFactor;
  gPrevPhysicsFrameTime = 0.0f;
  ResetBonuses();
  ResetPlayerRunState();
  gUpsideDownTime = gShiftTime = 0.0f;
  for (Racer& car : gRacers) {
    car.gear = 0;
    car.rpm = car.displayRpm = 1000.0f;
    car.spinThrottle = car.boost = car.boostForce = 0.0f;
    car.boostEmpty = car.reverseArmed = car.brakeHeld = 0;
    car.steerAngle = car.slideSkid = car.spinSkid = 0.0f;
  }
}

RaceScene::~RaceScene() {
  DestroyPhysicsWorld();
  ReleaseAll();
}

void RaceScene::Frame() {
  gFrameSeconds = kSceneFrameSeconds;
  gFrameFactor = kSceneFrameSeconds * 100.0f;
  gPhysicsFrameTime = kSceneFrameSeconds;
  StepPhysicsWorld();
  UpdateCityObjects();
}

void RaceScene::Press(int control, bool down) { gKeys[gKeyBindings[control]] = down ? 1 : 0; }

void RaceScene::ReleaseAll() {
  for (auto& key : gKeys) key = 0;
}

void RaceScene::ParkOpponents() {
  for (int i = 1; i < kRacerCount; ++i) {
    neV3 p = gRacers[i].body->GetPos();
    p.z -= 60.0f;
    p.y = height(p.x, p.z) + 1.45f;
    gRacers[i].body->SetPos(p);
    // Out of the simulation too: the opponent driver would bring them back.
    gRacers[i].body->SetActive(false);
  }
}

float RaceScene::Height(const Racer& car) const {
  const neV3 p = car.body->GetPos();
  return p.y - height(p.x, p.z);
}
