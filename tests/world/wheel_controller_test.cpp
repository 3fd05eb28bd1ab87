// The wheel model called directly on a truck of the test scene: drag and
// rolling resistance, the steering follow, wheels in the air, a truck at
// rest or pointing straight up, and tyre tracks split into quads.
#include "framework/globals.h"
#include "tests/support/race_scene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

neRigidBodyController* ControllerOf(Racer& car) {
  car.body->BeginIterateController();
  return car.body->GetNextController();
}

bool Finite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The truck lifted clear of the ground for one frame, so that no sensor
// touches, then moving along +x at `speed` without spin.
void InTheAir(RaceScene& scene, Racer& car, float speed) {
  car.body->SetPos(car.body->GetPos() + neMakeV3(0, 20, 0));
  scene.Frame();
  car.body->SetVelocity(neMakeV3(speed, 0, 0));
  car.body->SetAngularMomentum(neMakeV3(0, 0, 0));
}

// Sensor detections live only inside a simulator step: give every wheel a
// flat-ground contact `depth` deep, as the step's detection pass would.
void TouchGround(Racer& car, float depth) {
  const neT3 transform = car.body->GetTransform();
  car.body->BeginIterateSensor();
  while (neSensor* sensor = car.body->GetNextSensor()) {
    sensor->detectDepth = depth;
    sensor->detectNormal = neMakeV3(0, 1, 0);
    sensor->detectContactPoint = transform * sensor->GetLinePos() +
                                 transform.rot * sensor->GetLineUnitVector() * (sensor->lineLength - depth);
  }
}

}  // namespace

TEST(WheelModel, AirDragAboveTwentyAndRollingResistanceOpposeTheMotion) {
  struct Case {
    float speed;
    float force;  // along +x
  };
  const Case cases[] = {
      {25.0f, -0.005f * std::pow(5.0f, 4.4f) - 0.12f * 25},  // drag about 5.9
      {20.0f, -0.12f * 20},                                   // no drag at 20
      {1.0f, -0.12f},
      {0.5f, -200 * 0.25f},
  };
  RaceScene scene;
  Racer& car = scene.player();
  for (const Case& c : cases) {
    InTheAir(scene, car, c.speed);
    car.ApplyWheelForces(ControllerOf(car));
    const neV3 f = ControllerOf(car)->GetControllerForce();
    EXPECT_NEAR(f.x, c.force, 1e-3f * std::fabs(c.force)) << "speed " << c.speed;
    EXPECT_NEAR(f.y, 0.0f, 1e-4f);
    EXPECT_NEAR(f.z, 0.0f, 1e-4f);
  }
}

TEST(WheelModel, WheelsInTheAirSpinDownInSteps) {
  RaceScene scene;
  Racer& car = scene.player();
  InTheAir(scene, car, 0.0f);
  gFrameFactor = 1.0f;
  car.wheelSpin[0] = 0.004f;  // less than a step: it stays
  car.wheelSpin[1] = 0.05f;
  car.wheelSpin[2] = -0.05f;
  car.ApplyWheelForces(ControllerOf(car));
  EXPECT_NEAR(car.wheelSpin[0], 0.004f, 1e-7f);
  EXPECT_NEAR(car.wheelSpin[1], 0.045f, 1e-7f);
  EXPECT_NEAR(car.wheelSpin[2], -0.045f, 1e-7f);
  for (int w = 0; w < kWheelCount; ++w) EXPECT_EQ(car.suspension[w], 1.35f) << "wheel " << w;
}

TEST(WheelModel, SteeringFollowsTheInputAtALimitedRate) {
  RaceScene scene;
  Racer& car = scene.player();
  gFrameFactor = 1.0f;
  car.steerInput = 0.01f;
  car.steerAngle = 0.0f;
  car.ApplyWheelForces(ControllerOf(car));
  EXPECT_NEAR(car.steerAngle, 0.0f, 1e-7f);  // up by 0.02, back by 0.02 in the same call
  car.steerInput = 0.7f;
  for (int i = 0; i < 10; ++i) car.ApplyWheelForces(ControllerOf(car));
  EXPECT_NEAR(car.steerAngle, 0.2f, 1e-5f);
  car.steerInput = 3.0f;
  for (int i = 0; i < 100; ++i) car.ApplyWheelForces(ControllerOf(car));
  EXPECT_EQ(car.steerAngle, 0.7f);
}

TEST(WheelModel, ATruckAtRestOrPointingStraightUpGetsFiniteForces) {
  RaceScene scene;
  Racer& car = scene.player();
  scene.Frames(50);
  car.body->SetVelocity(neMakeV3(0, 0, 0));
  car.body->SetAngularMomentum(neMakeV3(0, 0, 0));
  car.slideSkid = car.spinSkid = 1.0f;  // lay tracks and dust too
  car.gear = 1;
  car.spinThrottle = 1.0f;
  TouchGround(car, 0.35f);
  car.ApplyWheelForces(ControllerOf(car));
  EXPECT_TRUE(Finite(ControllerOf(car)->GetControllerForce()));
  EXPECT_TRUE(Finite(ControllerOf(car)->GetControllerTorque()));
  EXPECT_TRUE(std::isfinite(car.slideRatio));

  neM3 noseUp;
  noseUp.RotateXYZ(neMakeV3(0, 0, NE_PI / 2));
  car.body->SetRotation(noseUp);
  TouchGround(car, 0.35f);
  car.ApplyWheelForces(ControllerOf(car));
  EXPECT_TRUE(Finite(car.groundHeading));
  EXPECT_TRUE(Finite(ControllerOf(car)->GetControllerForce()));
  scene.Frames(100);
  EXPECT_TRUE(Finite(car.body->GetPos()));
  for (const WheelParticle& p : gWheelParticles[0][2]) EXPECT_TRUE(Finite(p.velocity) && Finite(p.position));
}

TEST(WheelModel, ALongTrackGapIsLaidInAtMostTwentyQuads) {
  RaceScene scene;
  Racer& car = scene.player();
  scene.Frames(50);
  car.body->SetVelocity(neMakeV3(5, 0, 0));
  car.slideSkid = 1.0f;
  struct Case {
    float gap;
    int quads;
  };
  for (const Case c : {Case{30.0f, 20}, Case{3.5f, 3}, Case{0.4f, 0}}) {
    TouchGround(car, 0.35f);
    car.body->BeginIterateSensor();
    const neV3 contact = car.body->GetNextSensor()->GetDetectContactPoint();
    const neV3 t = contact - car.body->GetRotationM3()[2] * 0.01f + neMakeV3(0, 0.05f, 0);
    car.trackActive[0] = 1;
    car.trackLastPoint[0] = t - neMakeV3(c.gap, 0, 0);
    car.trackLastLeft[0] = car.trackLastPoint[0];
    car.trackLastRight[0] = car.trackLastPoint[0];
    car.trackLastAlpha[0] = 0.0f;
    const int head = car.trackHead[0];
    car.ApplyWheelForces(ControllerOf(car));
    EXPECT_EQ((car.trackHead[0] - head + kTyreTrackRingSize) % kTyreTrackRingSize, c.quads) << "gap " << c.gap;
    if (c.quads == 0) continue;
    const TyreTrackQuad& last = gTyreTracks[0][0][(car.trackHead[0] + kTyreTrackRingSize - 1) % kTyreTrackRingSize];
    EXPECT_NEAR(last.alphaNew, 0.75f, 1e-4f);  // speed term 1 x slide 0.75
    EXPECT_NEAR(last.corners[0].x, t.x, 0.02f);
    EXPECT_NEAR(std::hypot(last.edge1[0], last.edge1[2]), 1.0f, 1e-4f);
  }
}

TEST(WheelModel, SpringsPushOnlyBeyondAQuarterOfSensorDepth) {
  RaceScene scene;
  Racer& car = scene.player();
  scene.Frames(50);
  const float cosine = 1.0f / std::sqrt(1.0f + 0.15f * 0.15f);  // the splayed lines against flat ground
  struct Case {
    float depth;
    float lift;
  };
  for (const Case c : {Case{0.35f, (2 * 2000 + 2 * 2200) * 0.1f * cosine}, Case{0.25f, 0.0f}, Case{0.2f, 0.0f}}) {
    car.body->SetVelocity(neMakeV3(0, 0, 0));
    car.body->SetAngularMomentum(neMakeV3(0, 0, 0));
    TouchGround(car, c.depth);
    car.ApplyWheelForces(ControllerOf(car));
    EXPECT_NEAR(ControllerOf(car)->GetControllerForce().y, c.lift, 0.5f) << "depth " << c.depth;
    EXPECT_NEAR(car.suspension[0], 1.35f - c.depth, 1e-5f);
  }
}

TEST(WheelModel, SteeringWithoutANumberCountsAsStraightAhead) {
  RaceScene scene;
  Racer& car = scene.player();
  scene.Frames(50);
  car.steerInput = std::nanf("");
  TouchGround(car, 0.35f);
  car.ApplyWheelForces(ControllerOf(car));
  EXPECT_EQ(car.steerInput, 0.0f);
  EXPECT_TRUE(Finite(car.frontWheelDir));
  EXPECT_TRUE(Finite(ControllerOf(car)->GetControllerForce()));
  EXPECT_TRUE(Finite(ControllerOf(car)->GetControllerTorque()));
}
