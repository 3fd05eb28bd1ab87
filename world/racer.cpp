#include "world/racer.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "world/truck_tuning.h"

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

  const float yaw = -HeadingDeltaNormalized(direction, neMakeV3(1.0f, 0.0f, 0.0f));
  chassis->SetRotation(YawRotation(yaw));
  chassis->SetPos(position);

  boost = 0.0f;
  revPhase = 1.0f + RandomRevPhase();
  exhaustFlame = kIdleExhaustFlame;
  slideSkid = spinSkid = 0.0f;
  ClearWheelEmitters(*this);
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
