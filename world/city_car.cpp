#include "world/city_car.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "framework/vector_math.h"
#include "world/catalogue.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/racer.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <cmath>
#include <string>

CityCar gCityCars[kCityCarSlotCount];
CControllerCB2 gCityCarController;
Model* gCityCarModels[kCityCarModelSets];
Model* gCityGlassModels[kCityCarModelSets];
Model* gCityOpticsModels[kCityCarModelSets];
Model* gCityWheelFrontModel;
Model* gCityWheelRearModel;

namespace {

constexpr float kCityCarMass = 200.0f;
constexpr float kBoxLength[2] = {14.0f, 9.0f};  // by type
constexpr float kBoxHeight = 3.9f, kBoxWidth = 3.05f;
constexpr float kBoxLift = 1.55f;
constexpr float kAxleScale = 0.77f / 1.67f;  // catalogue axle distance to body units

constexpr float kSpringFront = 7000.0f, kSpringRear = 8500.0f, kDamping = 1050.0f;
constexpr float kMaxSpringDepth = 0.6f;
constexpr float kSideGrip = -450.0f;
// Drag against the velocity, per unit of speed: air (growing with speed),
// rolling, and the harder hold below speed 1.
constexpr float kAirDrag = 0.05f, kRollingDrag = 1.5f, kCrawlDrag = 100.0f;
constexpr float kMinSuspension = 0.6f, kMaxSuspension = 1.0f;

constexpr float kLaneOffset = 6.35f;       // lane target beside the path point
constexpr float kSpawnLaneOffset = 5.5f;
constexpr float kPointReach = 7.5f;
constexpr float kSpeedLimit = 8.0f, kBendSpeedLimit = 4.0f, kBendSteer = 0.4f;
constexpr float kReverseLimit = -40.0f;
constexpr float kDrive = 120.0f;
constexpr float kIndicatorSteer = 0.2f;
constexpr float kHornNear = 15.0f, kHornFar = 25.0f, kFlashNear = 10.0f, kFlashFar = 70.0f;
constexpr float kStuckBelowSpeed = 1.0f, kReverseAfter = 3.0f;
constexpr float kWheelTurn = 1.2566371f;

constexpr float kRespawnDistance = 250.0f;
constexpr float kSpawnNear = 190.0f, kSpawnFar = 240.0f;
constexpr float kSpawnClearance = 80.0f;
constexpr int kSpawnPointStride = 6;
constexpr float kEngineTopSpeed = 8.0f;

int gTrafficNearest = -1;  // the car the traffic engine sound follows
float gTrafficFade;        // its gain, rising from 0 after each change of car

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }

neV3 Flat(neV3 v) {
  v.y = 0.0f;
  return v;
}

int32_t PreviousLanePoint(int32_t point, int32_t laneDirection) { return NextLanePoint(point, 1 - laneDirection); }

neV3 PlayerPosition() { return gRacers[0].body ? gRacers[0].body->GetPos() : neMakeV3(0, 0, 0); }

float AxleX(int type, int axle) { return gCityCarAxles[std::clamp(type, 0, kCityCarTypeCount - 1)][axle] * kAxleScale; }

void ReplaceModel(Model*& slot, const std::string& path, const std::string& folder) {
  delete slot;
  auto* model = new MilkshapeModel;
  model->LoadFromFile(path.c_str());
  model->LoadMaterialTextures(folder.c_str());
  model->BuildTangentSpace();
  slot = model;
}

void Horn(CityCar& car, const neV3& position, const neV3& velocity, float playerDistance) {
  if (playerDistance >= kHornNear && playerDistance <= kHornFar && car.hornTime <= 0.0f) {
    const int chosen = Random() % 3;
    car.hornTime = 1.0f;
    for (Sound& signal : gSndSignal)
      signal.SetPositionVelocity(position.x, position.y, position.z, velocity.x, velocity.y, velocity.z);
    if (gSoundOn && !gSndSignal[chosen].IsPlaying()) gSndSignal[chosen].Play();
  }
  if (playerDistance >= kFlashNear && playerDistance <= kFlashFar) car.flashTime = 1.0f;
}

void Lamps(CityCar& car, float steer, float ff) {
  if (steer > kIndicatorSteer) {
    car.indicatorLeft = 1.0f;
    car.indicatorRight = 0.0f;
  } else if (steer < -kIndicatorSteer) {
    car.indicatorRight = 1.0f;
    car.indicatorLeft = 0.0f;
  }
  car.indicatorLeft = std::max(car.indicatorLeft - ff * 0.005f, 0.0f);
  car.indicatorRight = std::max(car.indicatorRight - ff * 0.005f, 0.0f);
  car.blinkPhase += ff * 0.14f;
  const float blink = std::sin(car.blinkPhase) * 0.5f + 0.5f;
  car.lampLeft = car.indicatorLeft > 0.0f ? blink : 0.0f;
  car.lampRight = car.indicatorRight > 0.0f ? blink : 0.0f;
  car.lampBlink = car.flashTime > 0.0f ? std::sin(car.blinkPhase * 1.5f) : 1.0f;
}

// The first path point ahead of the player, in steps of six from the
// player's next checkpoint, between 190 and 240 away; -1 when none is.
int SpawnPoint(const neV3& player) {
  int point = std::clamp(gRacers[0].nextCheckpoint, 0, gRacePathLast);
  for (int stepped = 0; stepped < gRacePathLast; stepped += kSpawnPointStride) {
    const float distance = (gRacePath[point].position - player).Length();
    if (distance > kSpawnNear && distance < kSpawnFar) return point;
    point += kSpawnPointStride;
    if (point > gRacePathLast) point = 0;
  }
  return -1;
}

bool OtherCarNear(const CityCar& car, const neV3& place, int count) {
  for (int i = 0; i < count; ++i) {
    const CityCar& other = gCityCars[i];
    if (&other != &car && other.body && (other.body->GetPos() - place).Length() < kSpawnClearance) return true;
  }
  return false;
}

void Respawn(CityCar& car, const neV3& player, int count) {
  const int a = SpawnPoint(player);
  if (a < 0 || OtherCarNear(car, gRacePath[a].position, count)) return;
  car.laneDirection = Random() % 2;
  const int next = NextLanePoint(a, car.laneDirection);
  const neV3 start = LanePoint(a, car.laneDirection, kSpawnLaneOffset);
  const neV3 aim = LanePoint(next, car.laneDirection, kSpawnLaneOffset);
  car.Place(start, SafeUnit(aim - start));
  car.pathPoint = next;
  car.respawn = 0;
}

void TrafficEngineSound(int nearest) {
  if (nearest != gTrafficNearest) gTrafficFade = 0.0f;
  gTrafficNearest = nearest;
  if (nearest < 0) return;
  const neRigidBody* body = gCityCars[nearest].body;
  const neV3 p = body->GetPos(), v = body->GetVelocity();
  gSndCityEngine.SetPositionVelocity(p.x, p.y, p.z, v.x, v.y, v.z);
  const float speed = std::min(v.Length(), kEngineTopSpeed);
  gSndCityEngine.SetPitch(Clamp(speed * 0.07f + 0.3f, 0.15f, 3.0f));
  gTrafficFade = std::min(gTrafficFade + gFrameFactor * 0.033f, 1.0f);
  gSndCityEngine.SetGain(gTrafficFade);
}

}  // namespace

int BoundedCityCarCount() { return std::clamp(static_cast<int>(gCityCarCount), 0, kCityCarSlotCount); }

int32_t NextLanePoint(int32_t point, int32_t laneDirection) {
  if (laneDirection == 0) return point >= gRacePathLast ? 0 : point + 1;
  return point <= 0 ? gRacePathLast : point - 1;
}

neV3 LanePoint(int32_t point, int32_t laneDirection, float offset) {
  const neV3 here = gRacePath[point].position;
  const neV3 along = SafeUnit(Flat(here - gRacePath[PreviousLanePoint(point, laneDirection)].position));
  Vector3 beside(along.x, along.y, along.z);
  beside.RotateY(-NE_PI * 0.5f);
  return here + neMakeV3(beside.x, beside.y, beside.z) * offset;
}

CityCar::CityCar()
    : body(nullptr),
      suspension{},
      driveForce(0),
      steer(0),
      wheelRoll(0),
      pathPoint(0),
      type(0),
      variant(0),
      stuckTime(0),
      reversing(0),
      laneDirection(0),
      respawn(0),
      indicatorLeft(0),
      indicatorRight(0),
      lampBlink(0),
      lampLeft(0),
      lampRight(0),
      hornTime(0),
      flashTime(0),
      blinkPhase(0) {}

CityCar::~CityCar() { driveForce = 0.0f; }

void CityCar::CreateBody(neSimulator* sim, const neV3& position) {
  type = std::clamp(type, 0, kCityCarTypeCount - 1);
  neRigidBody* car = sim->CreateRigidBody();
  car->SetSleepingParameter(0.01f);
  const neV3 boxSize = neMakeV3(kBoxLength[type], kBoxHeight, kBoxWidth);
  neGeometry* box = car->AddGeometry();
  box->SetBoxSize(boxSize);
  neT3 frame;
  frame.SetIdentity();
  frame.pos = neMakeV3(0.0f, kBoxLift, 0.0f);
  box->SetTransform(frame);
  box->SetMaterialIndex(kMaterialCar);
  car->UpdateBoundingInfo();
  for (int w = 0; w < 4; ++w) {
    const float x = w < 2 ? AxleX(type, 0) : -AxleX(type, 1);
    const float z = (w % 2 == 0) ? kWheelSensorZ : -kWheelSensorZ;
    car->AddSensor()->SetLineSensor(neMakeV3(x, kWheelSensorY, z), neMakeV3(0.0f, -1.0f, 0.0f));
  }
  car->AddController(&gCityCarController, 0);
  car->UpdateBoundingInfo();
  car->SetInertiaTensor(neBoxInertiaTensor(boxSize, kCityCarMass));
  car->SetMass(kCityCarMass);
  car->SetUserData(reinterpret_cast<uintptr_t>(this));
  car->SetCollisionID(kCarCollisionId);
  car->UpdateBoundingInfo();
  car->SetPos(position);
  body = car;
  respawn = 0;
}

void CityCar::FreeBody(neSimulator* sim) {
  if (body) sim->FreeRigidBody(body);
  body = nullptr;
}

void CityCar::Place(const neV3& position, const neV3& heading) {
  body->SetVelocity(neMakeV3(0, 0, 0));
  body->SetAngularMomentum(neMakeV3(0, 0, 0));
  body->SetRotation(YawRotation(-HeadingDelta(heading, neMakeV3(1.0f, 0.0f, 0.0f))));
  body->SetPos(position + neMakeV3(0.0f, 0.5f, 0.0f));
  variant = Random() % 2;
}

void CityCar::Unstick() {
  if (!(body->GetVelocity().Length() < 0.2f && gFrameFactor < 9.5f)) return;
  body->SetPos(body->GetPos() + neMakeV3(0.0f, 2.0f, 0.0f));
  driveForce = 0.0f;
}

void CityCar::Update(float ff) {
  driveForce = 0.0f;
  const neM3 rotation = body->GetRotationM3();
  const neV3 position = body->GetPos();
  const neV3 velocity = body->GetVelocity();
  const float speed = velocity.Length();
  const bool backward = std::fabs(HeadingDeltaNormalized(velocity, rotation[0])) >= NE_PI * 0.5f;
  wheelRoll -= speed * (backward ? -1.0f : 1.0f) * kWheelTurn * ff;

  const neV3 target = LanePoint(pathPoint, laneDirection, kLaneOffset);
  const neV3 front = position + rotation[0] * AxleX(type, 0);
  float measure = HeadingDeltaNormalized(SafeUnit(velocity), SafeUnit(Flat(target - front)));

  const float playerDistance = (PlayerPosition() - position).Length();
  Horn(*this, position, velocity, playerDistance);
  hornTime -= ff * 0.002f;
  flashTime -= ff * 0.01f;
  Lamps(*this, measure, ff);

  float limit = std::fabs(measure) > kBendSteer ? kBendSpeedLimit : kSpeedLimit;
  if (Flat(gRacePath[pathPoint].position - front).Length() < kPointReach)
    pathPoint = NextLanePoint(pathPoint, laneDirection);

  if (speed < kStuckBelowSpeed && !reversing && !gStartHold && !gPlayerFinished) {
    stuckTime += ff * 0.01f;
    if (stuckTime > kReverseAfter) reversing = 1;
  } else if (speed >= kStuckBelowSpeed && !reversing) {
    stuckTime = 0.0f;
  }
  if (reversing) {
    limit = kReverseLimit;
    driveForce = -kDrive;
    measure *= 100.0f;
    stuckTime -= ff * 0.02f;
    if (stuckTime <= 0.0f) reversing = 0;
  } else if (speed < limit) {
    driveForce = kDrive;
  } else {
    const float brake = backward ? kDrive : -kDrive;
    driveForce = speed < 1.0f ? brake * std::sqrt(speed) : brake;
  }
  steer = Clamp(measure, -kTruckTuning.maxSteer, kTruckTuning.maxSteer);
}

void CityCar::ApplyWheelForces(neRigidBodyController* controller) {
  const neT3 transform = body->GetTransform();
  const neM3& R = transform.rot;
  const neV3 p = body->GetPos();
  const neV3 frontHeading = (R * YawRotation(steer))[0];
  neV3 force = neMakeV3(0, 0, 0), torque = neMakeV3(0, 0, 0);
  int w = 0;
  body->BeginIterateSensor();
  for (neSensor* sensor = body->GetNextSensor(); sensor && w < 4; sensor = body->GetNextSensor(), ++w) {
    const float depth = sensor->GetDetectDepth();
    suspension[w] = Clamp(1.0f - depth, kMinSuspension, kMaxSuspension);
    if (depth == 0.0f) continue;
    const neV3 n = sensor->GetDetectNormal();
    const neV3 r = transform * sensor->GetLinePos() - p;
    const neV3 v = body->GetVelocityAtPoint(r);
    const neV3 heading = w < 2 ? frontHeading : R[0];
    const float k = w < 2 ? kSpringFront : kSpringRear;
    neV3 wheelForce = n * (k * std::min(depth, kMaxSpringDepth) - kDamping * v.Dot(n));
    wheelForce += heading * driveForce;
    // Grip against the slide across the wheel's heading.
    neV3 slide = WithoutComponent(WithoutComponent(v, n), heading);
    wheelForce += slide * kSideGrip;
    force += wheelForce;
    torque += r.Cross(wheelForce);
  }
  // A crawling car is held back harder so that it comes to rest instead of creeping.
  const neV3 v = body->GetVelocity();
  const float speed = v.Length();
  force -= v * (kAirDrag * speed + (speed < 1.0f ? kCrawlDrag : kRollingDrag));
  controller->SetControllerForce(force);
  controller->SetControllerTorque(torque);
}

void CControllerCB2::ControllerCallback(neRigidBodyController* controller, f32) {
  auto* car = reinterpret_cast<CityCar*>(controller->GetRigidBody()->GetUserData());
  car->ApplyWheelForces(controller);
}

void LoadCityCars() {
  for (int i = 0; i < kCityCarModelSets; ++i) {
    const std::string folder = "base/city/" + std::to_string(i) + "/";
    ReplaceModel(gCityCarModels[i], folder + "car.sbm", folder);
    ReplaceModel(gCityGlassModels[i], folder + "glass_car.sbm", folder);
    ReplaceModel(gCityOpticsModels[i], folder + "optika.sbm", folder);
  }
  ReplaceModel(gCityWheelFrontModel, "base/city/wheel_front.sbm", "base/city/");
  ReplaceModel(gCityWheelRearModel, "base/city/wheel_rear.sbm", "base/city/");
}

void UpdateCityTraffic() {
  const int count = BoundedCityCarCount();
  const neV3 player = PlayerPosition();
  int nearest = -1;
  float nearestDistance = 100000.0f;
  for (int i = 0; i < count; ++i) {
    CityCar& car = gCityCars[i];
    if (!car.body) continue;
    const float distance = (car.body->GetPos() - player).Length();
    if (distance > kRespawnDistance) car.respawn = 1;
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = i;
    }
  }
  TrafficEngineSound(nearest);
  for (int i = 0; i < count; ++i) {
    CityCar& car = gCityCars[i];
    if (car.body && car.respawn) {
      Respawn(car, player, count);
      return;
    }
  }
}
