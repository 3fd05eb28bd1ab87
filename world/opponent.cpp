#include "world/opponent.h"

#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "framework/sound.h"
#include "world/player.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/racer.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <cmath>

float gOpponentWeavePhase;

namespace {

constexpr float kCatchUpAhead = 10.0f;      // path points the opponents may lead the player by
constexpr float kObstacleCone = 0.9424778f;  // radians either side of the heading
constexpr float kNoOpponentDistance = 1000000.0f;
constexpr float kWeaveAmplitude = 0.2f;
constexpr float kBendFree = 0.2f;  // radians of bend taken at full speed
constexpr float kSteerGain = 1.2f;
constexpr float kReverseTarget = -30.0f;
constexpr float kReverseBelowSpeed = 1.5f, kUnstickBelowSpeed = 0.3f;
constexpr float kLowestUsefulFactor = 0.25f;

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }

neV3 Flat(neV3 v) {
  v.y = 0.0f;
  return v;
}

int NextPoint(int point) { return point >= gRacePathLast ? 0 : point + 1; }

// What the opponent sees around it this frame.
struct Situation {
  CatchUp catchUp;
  float avoidanceRange;    // R: 0 at the start, 30 from progress 13.3
  float nearestDistance;   // D: to the nearest other opponent
  float obstacleDistance;  // O: D when that opponent is ahead and within R, else R
  bool backward;           // moving against the body's forward axis
};

float GapToPlayer(const Racer& car) { return gRacers[0].progress + kCatchUpAhead - car.progress; }

void UpdateProgress(Racer& car, const neV3& position) {
  const float distance = (gRacePath[car.aiWaypoint].position - position).Length();
  car.pointCloseness = Clamp((kOpponentPointReach - distance) / kOpponentPointReach, 0.0f, 1.0f);
  if (!gPlayerFinished)
    car.progress = car.aiWaypoint + car.pointCloseness + gRacePathLast * std::max(car.laps - 1, 0);
}

Situation LookAround(const Racer& car, const neV3& position) {
  Situation s{};
  float lead = 0.0f;
  for (int i = 1; i < kRacerCount; ++i) lead = std::min(lead, GapToPlayer(gRacers[i]));
  s.catchUp = OpponentCatchUp(GapToPlayer(car), lead);
  s.avoidanceRange = kOpponentAvoidanceRange * Clamp(car.progress * 0.15f - 1.0f, 0.0f, 1.0f);

  s.nearestDistance = kNoOpponentDistance;
  neV3 toNearest = neMakeV3(0, 0, 0);
  for (int i = 1; i < kRacerCount; ++i) {
    if (&gRacers[i] == &car || !gRacers[i].body) continue;
    const neV3 to = gRacers[i].body->GetPos() - position;
    const float distance = to.Length();
    if (distance < s.nearestDistance) {
      s.nearestDistance = distance;
      toNearest = to;
    }
  }
  const bool ahead = std::fabs(HeadingDeltaNormalized(car.groundHeading, SafeUnit(Flat(toNearest)))) < kObstacleCone;
  s.obstacleDistance = ahead && s.nearestDistance < s.avoidanceRange ? s.nearestDistance : s.avoidanceRange;
  return s;
}

// The steering angle toward the target point, weaving slowly side to side.
float AimAngle(Racer& car, const neV3& position, float dt) {
  const neV3 target = gRacePath[car.aiWaypoint].position;
  neV3 aim = SafeUnit(Flat(target - position));
  gOpponentWeavePhase += (car.slot * 0.0003f + 0.003f) * dt;
  const float weave = std::sin(car.slot * 30.0f + gOpponentWeavePhase);
  const neV3 along = SafeUnit(Flat(gRacePath[NextPoint(car.aiWaypoint)].position - target));
  const neV3 side = SafeUnit(neMakeV3(0.0f, 1.0f, 0.0f).Cross(along));
  aim = SafeUnit(aim + side * (kWeaveAmplitude * weave));
  return HeadingDeltaNormalized(car.groundHeading, aim);
}

void ReachWaypoint(Racer& car, const neV3& position) {
  if ((gRacePath[car.aiWaypoint].position - position).Length() >= kOpponentPointReach) return;
  car.aiWaypoint = NextPoint(car.aiWaypoint);
  car.aiLookAhead = NextLookAhead(car.aiWaypoint, car.aiLookAhead, car.speed, gRacePathLast);
}

void Accelerate(Racer& car, const Situation& s, float power, float dt) {
  const int32_t gear = AcceleratingGear(car.gear, car.speed);
  if (gear != car.gear && car.backfire <= 0.01f) car.backfire = 2.0f;
  car.gear = gear;
  car.driveForce = gear == 1 ? kTruckTuning.opponentFirstGearDrive : power * kTruckTuning.opponentGearDrive[gear];
  if (gear == 1 && s.nearestDistance > s.avoidanceRange) car.spinThrottle += dt * 0.025f;
}

void Revolutions(Racer& car, float dt) {
  car.rpm = GearRpm(car.gear, car.speed);
  AddLaunchRevolutions(car);
  if (car.gear != 1) car.spinThrottle -= dt * 0.01f;
  car.spinThrottle = gPlayerFinished ? 0.0f : Clamp(car.spinThrottle, 0.0f, 1.0f);
  if (gStartHold) {
    // Idle until the phase runs out, then one blip of the throttle.
    if (car.revPhase >= 1.0f) {
      car.revPhase += (car.slot * 0.002f + 0.003f) * dt;
      car.rpm = kIdleRpm;
    } else {
      car.revPhase += dt * 0.005f;
      car.rpm = Clamp(std::sin(car.revPhase * 3.14f) * 10000.0f + kIdleRpm, kIdleRpm, kMaxRpm);
      car.displayRpm = car.rpm;
    }
    if (car.revPhase > 3.0f) car.revPhase = 0.0f;
    car.spinThrottle = (car.rpm - kIdleRpm) * 0.0001538f * Clamp(1.5f - car.speed * 0.25f, 0.0f, 1.0f);
  }
  FollowDisplayRpm(car, dt);
}

void EngineSound(const Racer& car) {
  const float gain = Clamp(1.7f - gRacers[0].speed * 0.04f, 0.5f, 1.0f) *
                     Clamp(car.displayRpm * 0.15f * 0.001f, 0.1f, 1.0f);
  const float pitch =
      Clamp(((car.slot - 2) * 0.1f + 1.0f) * ((car.displayRpm - kIdleRpm) * 0.0002f + 0.4f), 0.15f, 3.0f);
  Sound& engine = gSndOpponentEngine[car.slot - 1];
  engine.SetGain(gain);
  engine.SetPitch(pitch);
}

// Braking for a target speed below the current one, and for an opponent
// close ahead; either replaces the drive force.
void Brake(Racer& car, const Situation& s, float target, float dt) {
  const bool overSpeed = target <= car.speed && !car.reversing;
  const bool obstacle = s.obstacleDistance < s.avoidanceRange && !car.reversing && !gStartHold && !gPlayerFinished;
  float brake = 0.0f, obstacleForce = 0.0f;
  if (overSpeed) {
    car.brakeLight = 1.0f;
    car.reverseLight = 0.0f;
    const float excess = std::fabs(car.speed - target) * 10.0f;
    const float size = car.speed < 1.0f ? std::sqrt(car.speed) * (excess + 50.0f) : excess + 120.0f;
    brake = s.backward ? size : -size;
    if (car.slideSkid < Clamp((car.speed - 1.0f) * 0.2f, 0.0f, 1.0f)) car.slideSkid += dt * 0.05f;
  }
  if (obstacle) {
    const float k = std::max((s.avoidanceRange - s.obstacleDistance) * 10.0f / s.avoidanceRange, 1.0f);
    obstacleForce = (s.backward ? 1.0f : -1.0f) * std::fabs(car.speed) * k;
  }
  if (!overSpeed && !obstacle) return;
  car.driveForce = brake + obstacleForce;
  if (s.nearestDistance < s.avoidanceRange * 0.5f && std::fabs(obstacleForce) > 0.1f) {
    car.brakeLight = 1.0f;
    car.reverseLight = 0.0f;
  }
}

// The two stuck clocks: reversing out after 3 s below 1.5, and the lift
// after 4.5 s below 0.3 (its clock restarts while reversing).
void Recover(Racer& car, const Situation& s, float target, float dt) {
  const bool wantsToGo = !gStartHold && !gPlayerFinished && car.speed < target && s.catchUp.speedCap > 0.0f &&
                         s.catchUp.factor > kLowestUsefulFactor;
  if (car.speed >= kUnstickBelowSpeed || !wantsToGo) {
    car.stuckTime = 0.0f;
  } else {
    car.stuckTime += dt * 0.01f;
    if (car.stuckTime > kOpponentUnstickAfter) {
      car.Unstick();
      car.stuckTime = 0.0f;
    }
  }
  if (car.speed < kReverseBelowSpeed && !car.reversing && wantsToGo) {
    car.reverseTime += dt * 0.01f;
    if (car.reverseTime > kOpponentReverseAfter) car.reversing = 1;
  } else if (car.speed >= kReverseBelowSpeed && !car.reversing) {
    car.reverseTime = 0.0f;
  }
}

void Skids(Racer& car, float dt) {
  const bool sliding = car.slideRatio > 0.035f && car.speed > 7.0f;
  car.slideSkid = Clamp(car.slideSkid + (sliding ? dt * 0.025f : -dt * 0.015f), 0.0f, 1.0f);
  car.spinThrottle = Clamp(car.spinThrottle, 0.0f, 1.0f);
  car.spinSkid = car.spinThrottle;
  gSndSt2[car.slot - 1].SetGain(std::min(car.slideSkid + car.spinSkid, 1.0f));
  const bool glowing = car.brakeLight > 0.0f && car.speed > 3.0f;
  car.brakeGlow = Clamp(car.brakeGlow + (glowing ? dt * 0.01f : -dt * 0.0025f), 0.0f, 1.0f);
}

void Effects(const Racer& car) {
  SetDustEffects(car);
  ParticleEffect& fire = gFirePipeEffects[car.slot];
  SetEffect(fire, car.backfire * 0.25f, true);
  fire.colour[0] = 1.0f;
  fire.colour[1] = 0.25f;
  fire.colour[2] = 0.0f;
  SetEffect(gSmokePipeEffects[car.slot], car.backfire, true);
}

}  // namespace

CatchUp OpponentCatchUp(float gap, float lead) {
  lead = std::min(lead, 0.0f);
  if (gap < 0.0f)
    return {std::max(1.0f - gap * gap * 0.75f, 0.5f),
            std::max(kTruckTuning.opponentTopSpeed - lead * lead * 0.25f, kTruckTuning.opponentLowestCap)};
  return {std::min(1.0f + std::pow(std::fabs(gap), 2.5f) * 0.01f, 2.0f), kTruckTuning.opponentTopSpeed};
}

float BendTargetSpeed(float speedCap, float bend) {
  const float b = std::fabs(bend);
  if (b <= kBendFree) return speedCap;
  return std::max(speedCap * (1.0f - std::min(b - kBendFree, 0.9f)), 3.0f);
}

int32_t NextLookAhead(int32_t waypoint, int32_t lookAhead, float speed, int32_t last) {
  const int32_t wanted = waypoint + static_cast<int32_t>(speed * 0.35f + 1.0f);
  lookAhead = std::max(lookAhead, wanted);
  if (lookAhead > last) lookAhead -= last + 1;
  return std::clamp(lookAhead, 0, last);
}

void Racer::UpdateOpponent(float dt) {
  isOpponent = 1;
  if (!gStartHold && !gPlayerFinished && laps <= gRaceLaps) AdvanceRaceClocks(*this, dt);
  const neV3 position = body->GetPos();
  UpdateProgress(*this, position);
  Situation s = LookAround(*this, position);

  const float power = gCarPowerFactor * kTruckTuning.opponentPowerScale * s.catchUp.factor;
  brakeLight = reverseLight = 0.0f;
  brakeGlow = Clamp(brakeGlow - dt * 0.004f, 0.0f, 1.0f);
  backfire = std::max(backfire - dt * 0.025f, 0.0f);

  const neM3 rotation = body->GetRotationM3();
  velocity = body->GetVelocity();
  speed = velocity.Length();
  s.backward = MovingBackward(velocity, rotation[0]);
  rpm = GearRpm(gear, speed);

  const float steer = AimAngle(*this, position, dt);
  const float bend =
      HeadingDeltaNormalized(groundHeading, SafeUnit(Flat(gRacePath[aiLookAhead].position - position)));
  float target = BendTargetSpeed(s.catchUp.speedCap, bend);
  ReachWaypoint(*this, position);

  if (reversing) {
    reverseLight = 1.0f;
    target = kReverseTarget;
    driveForce = power * kTruckTuning.opponentReverseDrive;
    gear = -1;
    reverseTime -= dt * 0.02f;
    if (reverseTime <= 0.0f) {
      reversing = 0;
      reverseTime = 0.0f;
    }
  } else if (speed < target) {
    Accelerate(*this, s, power, dt);
  }
  Revolutions(*this, dt);
  EngineSound(*this);
  Brake(*this, s, target, dt);
  Recover(*this, s, target, dt);
  steerInput = Clamp(steer * kSteerGain, -kTruckTuning.maxSteer, kTruckTuning.maxSteer);
  Skids(*this, dt);
  Effects(*this);

  HoldBeforeStartAndAfterFinish(*this, s.backward);
  PassCheckpoint(*this, position, false);
  if (bumpedTime > 0.0f) {
    bumpedTime -= dt * 0.01f;
    driveForce = 0.0f;
  }
  if (bumpedTime < 0.0f) bumpedTime = 0.0f;
  if (gStartHold) brakeLight = 1.0f;
}
