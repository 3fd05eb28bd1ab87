#include "world/racer.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "world/catalogue.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

Racer gRacers[kRacerCount];
CControllerCB gCarController;
TyreTrackQuad gTyreTracks[kRacerCount][kWheelCount][kTyreTrackRingSize];
WheelParticle gWheelParticles[kRacerCount][kWheelCount][kDustRingSize];

namespace {

// An unstick only helps a truck that has nearly stopped, and not in a
// stalled frame.
constexpr float kUnstickBelowSpeed = 0.2f;
constexpr float kUnstickBelowFrameFactor = 9.5f;
constexpr float kUnstickLift = 2.0f;
constexpr float kIdleExhaustFlame = 0.7f;

// 0.00 .. 1.99: how long an opponent idles before its first rev blip.
float RandomRevPhase() { return static_cast<float>(Random() % 200) * 0.01f; }

// One wheel of the jointed-wheel variant, in the chassis's own axes.
struct WheelJointRow {
  neV3 boxSize;
  neV3 position;       // the wheel body's centre
  neV3 jointPosition;  // the hinge's origin
  neV3 jointAngles;    // turns the hinge frame's y axis, the hinge axis, across the truck
  float lowerLimit, upperLimit;  // radians about the hinge axis
};

constexpr WheelJointRow kWheelJointRow = {
    .boxSize = {0.1f, 0.2f, 0.15f, 0.0f},
    .position = {},
    .jointPosition = {},
    .jointAngles = {1.5708f, 0.0f, 0.0f, 0.0f},
    .lowerLimit = -0.3f * NE_PI,
    .upperLimit = 0.1f * NE_PI,
};
constexpr float kWheelBodyMass = 0.5f;
constexpr float kWheelBodyInset = 0.8f;     // both axles shifted back from gWheelSizes' axle distances
constexpr float kWheelBodySideGap = 1.3f;   // beyond gWheelSizes' side offsets
constexpr float kWheelBodyBelowJoint = 0.1f;
constexpr float kWheelJointTolerance = 0.0f;
constexpr s32 kWheelJointIterations = 2;
constexpr float kWheelJointDamping = 0.02f;

// The four rows of a car kind, in wheel order; an unknown kind reads the
// nearest catalogue row.
std::array<WheelJointRow, kWheelCount> WheelJointRows(int carKind) {
  const float* size = gWheelSizes[std::clamp(carKind, 0, kCatalogueSize - 1)];
  std::array<WheelJointRow, kWheelCount> rows;
  for (int w = 0; w < kWheelCount; ++w) {
    const bool front = w < 2;
    const float side = (w % 2 == 0) ? 1.0f : -1.0f;
    const float x = front ? size[0] - kWheelBodyInset : -size[1] - kWheelBodyInset;
    const float z = side * ((front ? size[2] : size[3]) + kWheelBodySideGap);
    rows[w] = kWheelJointRow;
    rows[w].position = neMakeV3(x, -kWheelBodyBelowJoint, z);
    rows[w].jointPosition = neMakeV3(x, 0.0f, z);
  }
  return rows;
}

// How CreateBody turns a truck whose +x axis points along `direction`.
neM3 FacingRotation(const neV3& direction) {
  return YawRotation(-HeadingDeltaNormalized(direction, neMakeV3(1.0f, 0.0f, 0.0f)));
}

void ClearWheelEmitters(Racer& car) {
  for (int w = 0; w < kWheelCount; ++w) {
    car.trackHead[w] = car.trackHeadDraw[w] = car.dustHead[w] = car.dustSpawned[w] = 0;
    car.trackActive[w] = car.dustActive[w] = 0;
  }
}

}  // namespace

neM3 YawRotation(float yaw) {
  neM3 rotation;
  rotation.RotateXYZ(neMakeV3(0.0f, yaw, 0.0f));
  return rotation;
}

neV3 WithoutComponent(neV3 b, const neV3& a) { return b.RemoveComponent(a); }

neV3 SafeUnit(neV3 v) {
  // A squared length in the denormals has lost its precision (an edge of
  // 1e-23 would come out 0.7 long): so short a vector has no direction.
  const float lengthSq = v.Dot(v);
  if (!(lengthSq >= std::numeric_limits<float>::min()) || !std::isfinite(lengthSq)) return neMakeV3(0.0f, 0.0f, 0.0f);
  return v * (1.0f / std::sqrt(lengthSq));
}

Racer::Racer()
    : body(nullptr),
      wheelBodies{},
      suspension{},
      suspensionDraw{},
      slot(-1),
      driveForce(0),
      bumpedTime(0),
      spinThrottle(0),
      speed(0),
      rpm(0),
      displayRpm(0),
      steerInput(0),
      steerAngle(0),
      slideRatio(0),
      wheelRoll{},
      wheelRollDraw{},
      wheelSpin{},
      aiWaypoint(0),
      aiLookAhead(0),
      carKind(0),
      reverseTime(0),
      stuckTime(0),
      reversing(0),
      brakeGlow(0),
      startRotation{},
      reverseArmed(0),
      brakeHeld(0),
      boost(0),
      boostEmpty(0),
      boostForce(0),
      gear(0),
      backfire(0),
      brakeLight(0),
      reverseLight(0),
      slotNumber(0),
      crashSoundTime(0),
      laps(0),
      nextCheckpoint(0),
      place(0),
      pointCloseness(0),
      reachedPoint(0),
      lastReachedPoint(0),
      progress(0),
      isOpponent(0),
      exhaustFlame(kIdleExhaustFlame),
      resetFlash(0),
      raceMinutes(0),
      raceSeconds(0),
      raceHundredths(0),
      lapMinutes(0),
      lapSeconds(0),
      lapHundredths(0),
      bestLapMinutes(0),
      bestLapSeconds(0),
      bestLapHundredths(0),
      revPhase(RandomRevPhase()),
      drawExtras{},
      velocity{},
      velocityDraw{},
      frontWheelDir{},
      groundHeading{},
      slideSkid(0),
      spinSkid(0),
      trackHead{},
      trackHeadDraw{},
      trackActive{},
      trackLastPoint{},
      trackLastLeft{},
      trackLastRight{},
      trackLastAlpha{},
      dustTime{},
      dustActive{},
      dustLastPoint{},
      dustLastVelocity{},
      dustHead{},
      dustSpawned{},
      layout{} {}

void Racer::CreateBody(neSimulator* sim, const neV3& position, const neV3& direction) {
  neRigidBody* chassis = sim->CreateRigidBody();
  chassis->SetSleepingParameter(kCarSleepingParameter);

  neGeometry* box = chassis->AddGeometry();
  box->SetBoxSize(kTruckTuning.boxSize);
  neT3 frame;
  frame.SetIdentity();
  frame.pos = kTruckTuning.boxOffset;
  box->SetTransform(frame);
  box->SetMaterialIndex(kMaterialCar);
  chassis->UpdateBoundingInfo();

  for (int w = 0; w < kWheelCount; ++w) {
    const bool front = w < 2;
    const float side = (w % 2 == 0) ? 1.0f : -1.0f;
    const neV3 start = neMakeV3(front ? layout.frontAxleX : -layout.rearAxleX, kWheelSensorY, side * kWheelSensorZ);
    chassis->AddSensor()->SetLineSensor(start, neMakeV3(0.0f, -1.0f, side * kWheelSensorSplay));
  }
  chassis->AddController(&gCarController, 0);  // period 0: every simulator step

  chassis->UpdateBoundingInfo();
  chassis->SetInertiaTensor(neBoxInertiaTensor(kTruckTuning.inertiaBox, kTruckTuning.mass));
  chassis->SetMass(kTruckTuning.mass);
  chassis->SetUserData(reinterpret_cast<uintptr_t>(this));
  chassis->SetCollisionID(kCarCollisionId);
  body = chassis;

  chassis->SetRotation(FacingRotation(direction));
  chassis->SetPos(position);

  boost = 0.0f;
  revPhase = 1.0f + RandomRevPhase();
  exhaustFlame = kIdleExhaustFlame;
  slideSkid = spinSkid = 0.0f;
  ClearWheelEmitters(*this);
}

void Racer::CreateWheelBodies(neSimulator* sim, const neV3& position, const neV3& direction) {
  // Wheels and hinges are placed in the chassis's pose, so that every
  // joint starts closed at angle 0.
  neT3 chassisPose;
  chassisPose.rot = FacingRotation(direction);
  chassisPose.pos = position;
  chassisPose.SetHomogeneous();
  const std::array<WheelJointRow, kWheelCount> rows = WheelJointRows(carKind);
  for (int w = 0; w < kWheelCount; ++w) {
    const WheelJointRow& row = rows[w];
    neRigidBody* wheel = sim->CreateRigidBody();
    neGeometry* box = wheel ? wheel->AddGeometry() : nullptr;
    if (!box) return;  // the engine has logged the full pool
    wheel->SetSleepingParameter(kCarSleepingParameter);
    box->SetBoxSize(row.boxSize);
    wheel->UpdateBoundingInfo();
    wheel->SetInertiaTensor(neBoxInertiaTensor(row.boxSize, kWheelBodyMass));
    wheel->SetMass(kWheelBodyMass);
    wheel->SetRotation(chassisPose.rot);
    wheel->SetPos(chassisPose * row.position);
    wheelBodies[w] = wheel;

    neConstraint* joint = sim->CreateConstraint(wheel, body);
    if (!joint) continue;
    neT3 hinge;
    hinge.rot.RotateXYZ(row.jointAngles);
    hinge.pos = row.jointPosition;
    hinge.SetHomogeneous();
    joint->SetJointFrameWorld(chassisPose * hinge);
    joint->SetType(NE_JOINT_HINGE);
    joint->SetLowerLimit(row.lowerLimit);
    joint->SetUpperLimit(row.upperLimit);
    joint->SetTolerance(kWheelJointTolerance);
    joint->SetIterationCount(kWheelJointIterations);
    joint->SetDamping(kWheelJointDamping);
    joint->EnableLimit(1);
    joint->Enable(1);
  }
}

void Racer::Unstick() {
  if (!(body->GetVelocity().Length() < kUnstickBelowSpeed && gFrameFactor < kUnstickBelowFrameFactor)) return;
  body->SetRotation(startRotation);
  neV3 position = body->GetPos();
  position.y += kUnstickLift;
  body->SetPos(position);
  driveForce = 0.0f;
}

void CControllerCB::ControllerCallback(neRigidBodyController* controller, f32) {
  auto* car = reinterpret_cast<Racer*>(controller->GetRigidBody()->GetUserData());
  car->ApplyWheelForces(controller);
}
