#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "tools/ms3d_writer.h"
#include "world/catalogue.h"
#include "world/physics_world.h"
#include "world/player.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/world_models.h"

#include <cmath>

Model* MakeGroundModel(float x0, float x1, float z0, float z1, float cell, const HeightFunction& height) {
  const int nx = static_cast<int>(std::ceil((x1 - x0) / cell));
  const int nz = static_cast<int>(std::ceil((z1 - z0) / cell));
  Ms3dFile file;
  for (int j = 0; j <= nz; ++j)
    for (int i = 0; i <= nx; ++i) {
      const float x = x0 + i * cell, z = z0 + j * cell;
      file.vertices.push_back({{x, height(x, z), z}, -1});
    }
  Ms3dGroup group{"ground", {}, -1};
  auto at = [nx](int i, int j) { return static_cast<uint16_t>(j * (nx + 1) + i); };
  for (int j = 0; j < nz; ++j)
    for (int i = 0; i < nx; ++i) {
      const uint16_t quads[2][3] = {{at(i, j), at(i, j + 1), at(i + 1, j)},
                                    {at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)}};
      for (const auto& corners : quads) {
        Ms3dTriangle triangle;
        for (int k = 0; k < 3; ++k) {
          triangle.vertices[k] = corners[k];
          triangle.normals[k][1] = 1.0f;
        }
        group.triangles.push_back(static_cast<uint16_t>(file.triangles.size()));
        file.triangles.push_back(triangle);
      }
    }
  file.groups.push_back(group);
  const std::vector<uint8_t> bytes = EncodeMs3d(file);
  auto* model = new MilkshapeModel;
  model->LoadFromBytes(bytes.data(), bytes.size());
  return model;
}

RaceScene::RaceScene(const HeightFunction& heightFunction, int points, neV3 direction) : height(heightFunction) {
  InitCarTables();
  direction = SafeUnit(direction);
  gRacePathLast = points;
  for (int k = 0; k <= points; ++k) {
    neV3 p = direction * (k * kPathSpacing);
    p.y = height(p.x, p.z) + kPathLift;
    gRacePath[k] = Waypoint{p, kWaypointPlain};
  }
  MarkCheckpoints(gRacePath, gRacePathLast);

  const float reach = points * kPathSpacing + 150.0f;
  const float x0 = std::fmin(direction.x * reach, 0.0f) - 100.0f, x1 = std::fmax(direction.x * reach, 0.0f) + 100.0f;
  const float z0 = std::fmin(direction.z * reach, 0.0f) - 100.0f, z1 = std::fmax(direction.z * reach, 0.0f) + 100.0f;
  gWorldModels[kWorldModelPhysic] = MakeGroundModel(x0, x1, z0, z1, 6.0f, height);
  for (CSampleCar& car : gRacers) {
    car.carKind = 0;
    car.frontAxleX = car.rearAxleX = kTestAxle;
    car.frontWheelZ = car.rearWheelZ = kTestHalfTrack;
  }
  InitPhysicsWorld();

  const int keys[kKeyBindingCount] = {kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyBoost};
  for (int i = 0; i < kKeyBindingCount; ++i) gKeyBindings[i] = keys[i];
  ReleaseAll();
  gStartHold = 0;
  gPlayerFinished = 0;
  gRaceLaps = 4;
  gCarPowerFactor = 0.85f;
  gPrevPhysicsFrameTime = 0.0f;
  ResetBonuses();
  ResetPlayerRunState();
  gUpsideDownTime = gShiftTime = 0.0f;
  for (CSampleCar& car : gRacers) {
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
  }
}

float RaceScene::Height(const CSampleCar& car) const {
  const neV3 p = car.body->GetPos();
  return p.y - height(p.x, p.z);
}
