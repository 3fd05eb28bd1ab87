// The racers' wheel model: once per simulator step and racer, the four
// wheel sensors become one force and one torque on the truck body (springs,
// dampers, side grip, drive split between the axles, air drag, boost and
// rolling resistance). On the way it keeps the wheels' drawn state and lays
// tyre tracks and dust into the per-wheel rings.
#include "framework/globals.h"
#include "framework/random.h"
#include "framework/sound.h"
#include "world/catalogue.h"
#include "world/racer.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kSuspensionRest = 1.35f;     // drawn wheel height with no sensor depth
constexpr float kAirSpinDown = 0.005f;       // wheel spin lost per frame-factor unit in the air
constexpr float kWheelTurnPerUnit = 0.70685834f;  // wheel turn per unit of ground travel and wheel size
constexpr float kSpinThrottleTurn = 10.0f;

constexpr float kTrackHalfWidth = 0.38f;
constexpr float kTrackLift = 0.05f;
constexpr float kTrackInset = 0.01f;
constexpr float kTrackSegmentLength = 0.5f;
constexpr int kMaxTrackSegments = 20;
constexpr float kEmitThreshold = 0.001f;
constexpr float kDustLift = 0.5f;
constexpr float kDustPeriod = 0.04f;  // seconds of dust clock per particle when barely moving
constexpr int kMaxDustParticles = 20;
constexpr float kDustScatter = 0.25f;
constexpr float kDustSpinSpeed = 5.0f;

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }
float Len(const neV3& v) { return std::sqrt(v.Dot(v)); }
void CopyFloats(const neV3& v, float out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// The direction the rear wheels slide and the drive pushes along: the
// forward axis, turned against the steering the more the wheel slips.
neV3 SlipTurnedForward(const neV3& forward, const neV3& rearSteer, float steer, float slip, float ff) {
  const float turn = 2.5f * (ff * 0.032f + 0.133f) * std::fabs(steer) * slip;
  return SafeUnit(SafeUnit(forward) + SafeUnit(rearSteer) * turn);
}

struct WheelContact {
  int wheel;
  neV3 contact;        // world contact point
  neV3 normal;         // ground normal
  neV3 velocity;       // of the body at the sensor's start
  bool spinsPastRoll;  // rear wheel turning faster than the ground carries it
};

float RandomScatter() { return static_cast<float>(Random() % 2000 - 1000) * 0.001f * kDustScatter; }

void WriteTrackQuad(TyreTrackQuad& quad, const neV3 corners[4], const neV3& normal, float alphaNew, float alphaOld) {
  for (int k = 0; k < 4; ++k) {
    quad.corners[k] = corners[k];
    CopyFloats(corners[k], quad.cornerFloats[k]);
  }
  CopyFloats(normal, quad.normal);
  CopyFloats(SafeUnit(corners[1] - corners[0]), quad.edge1);
  CopyFloats(SafeUnit(corners[2] - corners[0]), quad.edge2);
  quad.alphaNew = alphaNew;
  quad.alphaOld = alphaOld;
}

// Lays the quads from the last track end to the point t, at most 20, each
// about 1 long, fading from the last opacity to alpha.
void LayTrack(Racer& car, int w, const neV3& t, const neV3& side, const neV3& normal, float alpha) {
  const float d = Len(t - car.trackLastPoint[w]);
  const int segments = std::clamp(FloatToInt(d), 1, kMaxTrackSegments);
  const neV3 newLeft = t - side * kTrackHalfWidth, newRight = t + side * kTrackHalfWidth;
  const neV3 lastLeft = car.trackLastLeft[w], lastRight = car.trackLastRight[w];
  const float lastAlpha = car.trackLastAlpha[w];
  neV3 corners[4];
  for (int j = 1; j <= segments; ++j) {
    const float f = float(j) / segments, f0 = float(j - 1) / segments;
    corners[0] = lastLeft + (newLeft - lastLeft) * f;
    corners[1] = lastRight + (newRight - lastRight) * f;
    corners[2] = lastRight + (newRight - lastRight) * f0;
    corners[3] = lastLeft + (newLeft - lastLeft) * f0;
    TyreTrackQuad& quad = gTyreTracks[car.slot][w][car.trackHead[w]];
    WriteTrackQuad(quad, corners, normal, lastAlpha + (alpha - lastAlpha) * f, lastAlpha + (alpha - lastAlpha) * f0);
    car.trackHead[w] = (car.trackHead[w] + 1) % kTyreTrackRingSize;
  }
  car.trackLastPoint[w] = t;
  car.trackLastLeft[w] = corners[0];
  car.trackLastRight[w] = corners[1];
  car.trackLastAlpha[w] = alpha;
}

// How many dust particles the wheel gives off now: by the distance moved
// since the last ones, or, when it barely moved, one per 0.04 of its dust clock.
int DustCount(Racer& car, int w, float moved) {
  if (moved > kTrackSegmentLength) return std::clamp(FloatToInt(2.0f * moved), 1, kMaxDustParticles);
  int count = 0;
  while (car.dustTime[w] > kDustPeriod) {
    car.dustTime[w] -= kDustPeriod;
    ++count;
  }
  return count;
}

void EmitDust(Racer& car, const WheelContact& wc, const neV3& q, const neV3& forward, float speedTerm, float ff) {
  const int w = wc.wheel;
  const float moved = Len(q - car.dustLastPoint[w]);
  const int count = DustCount(car, w, moved);
  neV3 velocity = neMakeV3(0, 0, 0);
  if (wc.spinsPastRoll && (car.gear == 1 || car.gear == -1))
    velocity = SafeUnit(forward * (1.0f - speedTerm)) * (car.gear == 1 ? -kDustSpinSpeed : kDustSpinSpeed);
  for (int j = 1; j <= count; ++j) {
    const float f = float(j) / count;
    WheelParticle& particle = gWheelParticles[car.slot][w][car.dustHead[w]];
    const float sx = RandomScatter(), sy = RandomScatter(), sz = RandomScatter();
    particle.position = car.dustLastPoint[w] + (q - car.dustLastPoint[w]) * f + neMakeV3(sx, sy, sz);
    particle.velocity = velocity;
    particle.age = ff * 0.000625f - f * 0.0025f * 0.25f * ff;
    particle.alive = 1;
    car.dustHead[w] = (car.dustHead[w] + 1) % kDustRingSize;
    ++car.dustSpawned[w];
  }
  if (count > 0) {
    car.dustLastPoint[w] = q;
    car.dustLastVelocity[w] = wc.velocity;
  }
}

// Tyre tracks where the wheel slides or spins, and dust with them.
void LayTracksAndDust(Racer& car, const WheelContact& wc, const neM3& R, float ff) {
  const int w = wc.wheel;
  const float inset = (w % 2 == 0) ? -kTrackInset : kTrackInset;
  const neV3 t = wc.contact + R[2] * inset + neMakeV3(0.0f, kTrackLift, 0.0f);
  const neV3 side = SafeUnit(wc.normal.Cross(SafeUnit(wc.velocity)));
  const float speedTerm = Clamp(Len(wc.velocity) - 1.0f, 0.0f, 1.0f);
  const float intensity = std::min(car.slideSkid * 0.75f + car.spinSkid, 1.0f);
  const float alpha = speedTerm * intensity;

  if (!car.trackActive[w] && alpha > kEmitThreshold) {
    car.trackActive[w] = 1;
    car.trackLastPoint[w] = t;
    car.trackLastLeft[w] = t - side * kTrackHalfWidth;
    car.trackLastRight[w] = t + side * kTrackHalfWidth;
    car.trackLastAlpha[w] = 0.0f;
  }
  if (car.trackActive[w] && Len(t - car.trackLastPoint[w]) > kTrackSegmentLength)
    LayTrack(car, w, t, side, wc.normal, alpha);
  if (car.trackActive[w] && alpha <= kEmitThreshold) car.trackActive[w] = 0;

  const neV3 q = t + R[1] * kDustLift;
  if (!car.dustActive[w] && intensity > kEmitThreshold) {
    car.dustTime[w] = 0.0f;
    car.dustActive[w] = 1;
    car.dustLastPoint[w] = q;
    car.dustLastVelocity[w] = wc.velocity;
  }
  car.dustTime[w] += ff * 0.0025f;
  if (car.dustActive[w] && intensity > kEmitThreshold) EmitDust(car, wc, q, R[0], speedTerm, ff);
  if (car.dustActive[w] && intensity <= kEmitThreshold) car.dustActive[w] = 0;
}

}  // namespace

void Racer::ApplyWheelForces(neRigidBodyController* controller) {
  const float ff = gFrameFactor;
  // Steering aimed along an undefined direction counts as straight ahead.
  if (!std::isfinite(steerInput)) steerInput = 0.0f;
  if (steerAngle < steerInput) steerAngle += ff * kTruckTuning.steerRate;
  if (steerAngle > steerInput) steerAngle -= ff * kTruckTuning.steerRate;
  steerAngle = Clamp(steerAngle, -kTruckTuning.maxSteer, kTruckTuning.maxSteer);

  const int kind = std::clamp(static_cast<int>(carKind), 0, kCatalogueSize - 1);  // a row of the wheel table
  const neT3 transform = body->GetTransform();
  const neM3& R = transform.rot;
  const neV3 p = body->GetPos();
  frontWheelDir = (R * YawRotation(steerInput))[0];
  const neV3 rearSteer = (R * YawRotation(kTruckTuning.rearSteerFactor * steerInput))[0];
  // A truck pointing straight up has no heading on the ground: keep zero.
  groundHeading = SafeUnit(neMakeV3(R[0].x, 0.0f, R[0].z));
  neV3 force = neMakeV3(0, 0, 0), torque = neMakeV3(0, 0, 0);

  int w = 0;
  body->BeginIterateSensor();
  for (neSensor* sensor = body->GetNextSensor(); sensor && w < kWheelCount; sensor = body->GetNextSensor(), ++w) {
    const bool front = w < 2;
    const float depth = sensor->GetDetectDepth();
    suspension[w] = kSuspensionRest - depth;
    if (depth <= 0.0f) {
      if (wheelSpin[w] > 0.0f) wheelSpin[w] -= ff * kAirSpinDown;
      if (wheelSpin[w] < 0.0f) wheelSpin[w] += ff * kAirSpinDown;
      wheelRoll[w] -= wheelSpin[w];
      trackActive[w] = 0;
      continue;
    }
    const neV3 c = sensor->GetDetectContactPoint();
    const neV3 n = sensor->GetDetectNormal();
    const neV3 line = R * sensor->GetLineUnitVector();
    const neV3 r = transform * sensor->GetLinePos() - p;
    const float cosAngle = -line.Dot(n);

    const float springRate = front ? kTruckTuning.springFront : kTruckTuning.springRear;
    const neV3 spring = n * (springRate * std::max(depth - kTruckTuning.springFreeDepth, 0.0f) * cosAngle);
    force += spring;
    torque += r.Cross(spring);

    const neV3 v = body->GetVelocityAtPoint(r);
    const float movingSign = std::fabs(HeadingDeltaNormalized(v, frontWheelDir)) < NE_HALF_PI ? 1.0f : -1.0f;
    const neV3 damper = n * (-kTruckTuning.damping * v.Dot(n));
    force += damper;
    torque += r.Cross(damper);

    suspension[w] += std::sin(wheelRoll[w] * 0.0065f) * Clamp(Len(v) * 0.15f, 0.0f, 1.0f) * 0.04f;

    neV3 u = WithoutComponent(v, n);
    const float wheelSize = gWheelSizes[kind][front ? 4 : 5];
    const neV3 axis = front ? frontWheelDir : SafeUnit(R[0]);
    const float turnPerUnit = kWheelTurnPerUnit / wheelSize;
    const float roll = std::fabs(v.Dot(axis)) * turnPerUnit * movingSign * ff;
    float spin = gear == 1 ? turnPerUnit * kSpinThrottleTurn * spinThrottle * ff
                 : gear == -1 ? -turnPerUnit * kSpinThrottleTurn * spinThrottle * ff
                              : 0.0f;
    spin = std::fabs(roll) < std::fabs(spin) ? spin - roll : 0.0f;
    wheelSpin[w] = roll + spin;
    wheelRoll[w] -= wheelSpin[w];
    // The spin to roll ratio above 1; a wheel spinning forward on the spot counts.
    const bool spinsPastRoll = !front && (roll != 0.0f ? spin / roll > 1.0f : spin > 0.0f);

    if (front) {
      u.RemoveComponent(frontWheelDir);
    } else {
      const float slip = Clamp(Len(u) - 2.0f, 0.0f, 1.0f);
      u.RemoveComponent(SlipTurnedForward(R[0], rearSteer, steerInput, slip, ff));
    }
    const float lateral = Len(u);
    const neV3 arm = c - p;
    if (lateral > 0.0f) {
      const float grip = lateral < 1.0f ? kTruckTuning.gripBelowUnitSlip * std::sqrt(lateral)
                                        : (front ? kTruckTuning.gripFront : kTruckTuning.gripRear);
      const neV3 gripForce = u * (grip / lateral);
      force += gripForce;
      torque += arm.Cross(gripForce);
    }
    const neV3 driveDir = SlipTurnedForward(R[0], rearSteer, steerInput, Clamp(lateral - 2.0f, 0.0f, 1.0f), ff);
    const neV3 drive = driveDir * (driveForce * (front ? kTruckTuning.driveShareFront : kTruckTuning.driveShareRear));
    force += drive;
    torque += arm.Cross(drive);

    LayTracksAndDust(*this, WheelContact{w, c, n, v, spinsPastRoll}, R, ff);
  }

  const neV3 v = body->GetVelocity();
  const float S = Len(v);
  if (slot == 0) {
    float lowest = kSuspensionRest;
    for (float s : suspension) lowest = std::min(lowest, s);
    gSndSuspension.SetGain(Clamp(S * (0.9f - lowest) * 4.0f, 0.0f, 1.0f));
  }
  slideRatio = Len(WithoutComponent(v, R[0])) / std::max(S, 0.001f);
  // A truck at rest has no direction of motion: drag and rolling resistance
  // act along the unit velocity only when there is one.
  const neV3 along = SafeUnit(v);
  const float dragFrom = kTruckTuning.airDragFromSpeed;
  if (S > dragFrom) force += along * (kTruckTuning.airDrag * std::pow(S - dragFrom, kTruckTuning.airDragPower));
  force += R[0] * boostForce;
  force += along * (S < 1.0f ? kTruckTuning.rollingBelowUnit * S * S : kTruckTuning.rolling * S);

  controller->SetControllerForce(force);
  controller->SetControllerTorque(torque);
  crashSoundTime += ff * 0.005f;
}
