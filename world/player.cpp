#include "world/player.h"

#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "framework/sound.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/racer.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <cmath>

float gUpsideDownTime;
float gEngineVolume;
float gShiftTime;
int32_t gBestPlaceSeen;
float gSpeedSample;

namespace {

bool gRunStateTaken;  // gBestPlaceSeen and gSpeedSample hold values of this run

constexpr float kPointReach = 22.5f;          // a path point is reached within this distance
constexpr float kShortcutJump = 30.0f;        // between two reached points, for the shortcut bonus
constexpr float kLostDistance = 100.0f;       // from the last reached point: put back on the track
constexpr float kUpsideDownY = 0.3f;          // up axis y below this counts as upside down
constexpr float kUpsideDownSeconds = 2.0f;
constexpr int kResetPointsBack = 4;
constexpr float kResetLift = 1.0f;

constexpr float kBoostFull = 100.0f;
constexpr float kBoostFill = 0.4f, kBoostDrain = 0.1f;  // per frame-factor unit
constexpr float kBoostExhaustFlame = 2.0f, kIdleExhaustFlame = 0.7f;

constexpr float kShiftSeconds = 0.25f;
constexpr float kShiftEngineVolume = 0.65f, kQuietEngineVolume = 0.35f;
constexpr float kUpshiftAt[kTopGear + 1] = {0.0f, 0.0f, 10.0f, 16.5f, 23.3f, 28.3f};  // to gear g
constexpr float kDownshiftBelow[kTopGear] = {0.0f, 9.0f, 14.5f, 20.3f, 24.3f};       // to gear g
constexpr float kGearRpmFactor[kTopGear + 1] = {0.0f, 650.0f, 393.9f, 278.9f, 229.6f, 190.2f};

float Clamp(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }
float Len(const neV3& v) { return std::sqrt(v.Dot(v)); }

bool KeyDown(PlayerControl control) {
  const int code = gKeyBindings[control];
  return code >= 0 && code < kKeyCount && gKeys[code];
}

int WrapPoint(int i) { return i < 0 ? gRacePathLast + 1 + i : i; }

void AdvanceClock(int32_t& minutes, int32_t& seconds, float& hundredths, float dt) {
  hundredths += dt;
  if (hundredths < 100.0f) return;
  hundredths = 0.0f;
  if (++seconds > 59) {
    seconds = 0;
    ++minutes;
  }
}

// The path point near the truck: from the next checkpoint backward, up to
// the checkpoint before it; a path without checkpoints is searched once round.
void FindReachedPoint(Racer& car, const neV3& position) {
  int i = car.nextCheckpoint;
  for (int tested = 0; tested <= gRacePathLast; ++tested) {
    const int point = WrapPoint(i);
    const float distance = Len(gRacePath[point].position - position);
    if (distance < kPointReach) {
      car.reachedPoint = point;
      car.pointCloseness = Clamp((kPointReach - distance) / kPointReach, 0.0f, 1.0f);
      return;
    }
    i = WrapPoint(point - 1);
    if (IsCheckpoint(i)) return;
  }
}

void UpdateProgressAndPlace(Racer& car) {
  if (!gPlayerFinished) {
    const float p = car.reachedPoint + car.pointCloseness + gRacePathLast * std::max(car.laps - 1, 0);
    if (p > car.progress) {
      car.progress = p;
      if (Len(gRacePath[car.reachedPoint].position - gRacePath[car.lastReachedPoint].position) > kShortcutJump)
        GiveBonus(kBonusShortcut);
      car.lastReachedPoint = car.reachedPoint;
    }
  }
  const float opponents[3] = {gRacers[1].progress, gRacers[2].progress, gRacers[3].progress};
  car.place = PlayerPlace(car.progress, opponents);
}

void GivePlayerBonuses(const Racer& car) {
  if (car.place + 1 < gBestPlaceSeen) {
    gBestPlaceSeen = car.place;
    GiveBonus(kBonusOvertake);
  }
  if (gBestPlaceSeen < car.place) gBestPlaceSeen = car.place;
  if (car.place == 1)
    GiveBonus(kBonusLeading);
  else
    gBonusTimers[kBonusLeading - 1] = 0.0f;
  GiveBonus(kBonusCleanDriving);
  float& sampleClock = gBonusTimers[kBonusSpeedChange - 1];
  if (sampleClock > 0.5f) {
    sampleClock = 0.0f;
    if (std::fabs(gSpeedSample - car.speed) > 15.0f && gBonusTimers[kBonusBackOnTrack - 1] > kBonusStartClock)
      QueueBonus(kBonusSpeedChange);
    gSpeedSample = car.speed;
  }
}

// Lost (far from the last reached point) or upside down too long: the
// truck goes back to the path a few points behind, facing along it.
void PutBackOnTrackWhenLost(Racer& car, const neM3& rotation, float dt) {
  if (rotation[1].y >= kUpsideDownY)
    gUpsideDownTime = 0.0f;
  else
    gUpsideDownTime += dt * 0.01f;
  car.resetFlash = std::max(car.resetFlash - dt * 0.0075f, 0.0f);

  const neV3 position = car.body->GetPos();
  const bool lost = Len(position - gRacePath[car.lastReachedPoint].position) > kLostDistance;
  if (!lost && gUpsideDownTime <= kUpsideDownSeconds) return;
  int a = car.lastReachedPoint - kResetPointsBack;
  if (a < 0) a += gRacePathLast;
  int b = a + 1;
  if (b > gRacePathLast) b -= gRacePathLast;
  car.body->SetVelocity(neMakeV3(0, 0, 0));
  car.body->SetAngularMomentum(neMakeV3(0, 0, 0));
  // Two points on one vertical have no heading: the truck then faces +x.
  neV3 along = gRacePath[b].position - gRacePath[a].position;
  along.y = 0.0f;
  car.body->SetRotation(YawRotation(-HeadingDelta(SafeUnit(along), neMakeV3(1, 0, 0))));
  car.body->SetPos(gRacePath[a].position + neMakeV3(0.0f, kResetLift, 0.0f));
  car.resetFlash = 1.0f;
  gUpsideDownTime = 0.0f;
  GiveBonus(kBonusBackOnTrack);
}

void UpdateBoost(Racer& car, float dt) {
  car.boostForce = 0.0f;
  car.exhaustFlame = kIdleExhaustFlame;
  const bool boostKey = KeyDown(kControlBoost);
  if (boostKey && !car.boostEmpty && car.boost < kBoostFull) {
    car.boost += dt * kBoostFill;
    car.boostForce = kTruckTuning.boostForce;
    car.exhaustFlame = kBoostExhaustFlame;
    gSimFovBoost = std::min(gSimFovBoost + dt * 0.02f, 1.0f);
    if (gSoundOn && !gSndNitro.IsPlaying()) gSndNitro.Play();
    if (car.boost >= kBoostFull) {
      car.boost = kBoostFull;
      car.boostEmpty = 1;
    }
  }
  if (!boostKey || car.boostEmpty) {
    car.boost -= dt * kBoostDrain;
    if (car.boost <= 0.0f) {
      car.boost = 0.0f;
      car.boostEmpty = 0;
    }
    if (gSoundOn && gSndNitro.IsPlaying()) gSndNitro.Stop();
    gSimFovBoost = std::max(gSimFovBoost - dt * 0.01f, 0.0f);
  }
}

void ShiftTo(Racer& car, int32_t gear) {
  if (gear == car.gear) return;
  car.gear = gear;
  gShiftTime = kShiftSeconds;
  if (gSoundOn && !gSndGear.IsPlaying()) gSndGear.Play();
  gEngineVolume = kShiftEngineVolume;
  if (car.backfire <= 0.01f && car.rpm > 7000.0f) car.backfire = 2.0f;
}

void EngineLouder(float dt) { gEngineVolume = std::min(gEngineVolume + dt * 0.02f, 1.0f); }
void EngineQuieter(float dt) { gEngineVolume = std::max(gEngineVolume - dt * 0.01f, kQuietEngineVolume); }

void DriveAndBrake(Racer& car, const neV3& forward, float dt) {
  gShiftTime -= dt * 0.01f;
  const bool brakeKey = KeyDown(kControlBrake);
  if (KeyDown(kControlAccelerate) && gShiftTime <= 0.0f) {
    ShiftTo(car, AcceleratingGear(car.gear, car.speed));
    if (gShiftTime <= 0.0f)
      car.driveForce = std::min(gCarPowerFactor * kTruckTuning.playerGearDrive[car.gear], kTruckTuning.maxDriveForce);
    EngineLouder(dt);
    car.brakeLight = car.reverseLight = 0.0f;
    car.brakeHeld = car.reverseArmed = 0;
    if (car.gear == 1 && gShiftTime <= 0.0f) car.spinThrottle += dt * 0.025f;
    return;
  }
  if (!brakeKey) {
    if (car.brakeHeld && car.speed < 1.0f) car.reverseArmed = 1;
    EngineQuieter(dt);
    car.driveForce = 0.0f;
    car.brakeLight = 0.0f;
    return;
  }
  car.brakeHeld = 1;
  const bool backward = MovingBackward(car.velocity, forward);
  car.driveForce = AgainstMotion(backward, kTruckTuning.brakeForward, kTruckTuning.brakeBackward, car.speed);
  if (car.reverseArmed && car.gear != -1) ShiftTo(car, -1);
  if (!car.reverseArmed || gShiftTime > 0.0f) {
    if (car.slideSkid < Clamp((car.speed - 1.0f) * 0.2f, 0.0f, 1.0f)) car.slideSkid += dt * 0.035f;
    EngineQuieter(dt);
    car.brakeLight = 1.0f;
    car.reverseLight = 0.0f;
    return;
  }
  if (car.speed > 0.0f && car.speed <= kTruckTuning.reverseTopSpeed)
    car.driveForce = -std::min(gCarPowerFactor * kTruckTuning.maxDriveForce, kTruckTuning.maxDriveForce);
  car.spinThrottle += dt * 0.025f;
  EngineLouder(dt);
  car.brakeLight = 0.0f;
  car.reverseLight = 1.0f;
}

void Steer(Racer& car, float dt) {
  const float step = (std::fabs(car.steerInput) * 0.005f + 0.009f) * 0.77f * dt;
  if (KeyDown(kControlSteerLeft)) {
    car.steerInput = std::min(std::max(car.steerInput, 0.0f) + step, kTruckTuning.maxSteer);
  } else if (KeyDown(kControlSteerRight)) {
    car.steerInput = std::max(std::min(car.steerInput, 0.0f) - step, -kTruckTuning.maxSteer);
  } else {
    car.steerInput = 0.0f;
  }
}

void UpdateSkids(Racer& car, float dt) {
  const bool launching = gShiftTime <= 0.0f && car.speed < 10.0f &&
                         ((KeyDown(kControlAccelerate) && car.gear == 1) || (KeyDown(kControlBrake) && car.gear == -1));
  car.spinSkid += launching ? (1.0f - car.speed * 0.1f) * dt * 0.06f : -dt * 0.0125f;
  car.slideSkid += (car.slideRatio > 0.035f && car.speed > 7.0f) ? dt * 0.025f : -dt * 0.025f;
  car.spinSkid = Clamp(car.spinSkid, 0.0f, 1.0f);
  car.slideSkid = Clamp(car.slideSkid, 0.0f, 1.0f);
  gSndSt1.SetGain(std::min(car.slideSkid + car.spinSkid, 1.0f));
}

void UpdateRevolutions(Racer& car, float dt) {
  car.rpm = GearRpm(car.gear, car.speed);
  AddLaunchRevolutions(car);
  const bool firstOrReverse = car.gear == 1 || car.gear == -1;
  const bool throttleOff = (car.gear == 1 && !KeyDown(kControlAccelerate)) ||
                           (car.gear == -1 && !KeyDown(kControlBrake)) || !firstOrReverse;
  if (throttleOff) car.spinThrottle -= dt * 0.01f;
  car.spinThrottle = Clamp(car.spinThrottle, 0.0f, 1.0f);
  FollowDisplayRpm(car, dt);
}

float EngineLayer(float x, float from, float to, float phase) {
  return (x >= from && x <= to) ? Clamp(std::cos(phase * NE_PI), 0.0f, 1.0f) : 0.0f;
}

void UpdateEngineSounds(const Racer& car) {
  const float x = Clamp((car.displayRpm - 1000.0f) * 0.1538f * 0.001f, 0.0f, 1.0f);
  const float a = Clamp(1.5f - car.speed * 0.04f, 0.5f, 1.0f);
  const float b = Clamp(car.displayRpm * 0.16f * 0.001f, 0.25f, 1.0f);
  const float gain = gEngineVolume * a * b;
  const float pitch = Clamp((car.displayRpm - 1000.0f) * 0.00023f + 0.45f, 0.15f, 3.0f);
  gSndEngine0.SetGain(gain * EngineLayer(x, 0.0f, 0.5f, x));
  gSndEngine1.SetGain(gain * EngineLayer(x, 0.0f, 1.5f, 0.769f * x - 0.5f));
  gSndEngine2.SetGain(gain * EngineLayer(x, 0.65f, 1.25f, x - 1.15f));
  for (Sound* engine : {&gSndEngine0, &gSndEngine1, &gSndEngine2}) engine->SetPitch(pitch);
  if (gSoundOn && gSndWind.IsPlaying()) gSndWind.SetGain(Clamp(car.speed * 0.05f - 0.5f, 0.0f, 1.0f));
  if (gSoundOn && gSndAmbient.IsPlaying()) gSndAmbient.SetGain(Clamp(1.0f - car.speed * 0.15f, 0.0f, 1.0f));
}

void UpdateEffects(const Racer& car) {
  const int slot = car.slot;
  SetDustEffects(car);
  ParticleEffect& fire = gFirePipeEffects[slot];
  SetEffect(fire, 1.0f, true);
  const bool boosting = car.boostForce > 1.0f;
  fire.colour[0] = boosting ? 0.1f : 1.0f;
  fire.colour[1] = boosting ? 0.2f : 0.25f;
  fire.colour[2] = boosting ? 0.9f : 0.0f;
  SetEffect(gSmokePipeEffects[slot], car.backfire, true);
}

}  // namespace

void SetEffect(ParticleEffect& effect, float strength, bool enabled) {
  effect.strength = strength;
  effect.enabled = enabled ? 1 : 0;
}

float AgainstMotion(bool movingBackward, float forward, float backward, float speed) {
  const float force = movingBackward ? backward : forward;
  return speed < 1.0f ? force * std::sqrt(speed) : force;
}

void HoldBeforeStartAndAfterFinish(Racer& car, bool movingBackward) {
  if (gStartHold) {
    car.driveForce = 0.01f;
    car.steerInput = 0.0f;
    car.body->SetVelocity(neMakeV3(0, 0, 0));
    car.body->SetAngularMomentum(neMakeV3(0, 0, 0));
  }
  if (gPlayerFinished) {
    car.driveForce = AgainstMotion(movingBackward, -kTruckTuning.finishedBrake, kTruckTuning.finishedBrake, car.speed);
    car.steerInput = 0.0f;
  }
}

bool MovingBackward(const neV3& velocity, const neV3& forward) {
  return std::fabs(HeadingDeltaNormalized(velocity, forward)) >= NE_HALF_PI;
}

bool IsCheckpoint(int point) {
  const int32_t type = gRacePath[point].type;
  return type == kWaypointCheckpoint || type == kWaypointCheckpointMarkerA || type == kWaypointCheckpointMarkerB;
}

void AdvanceRaceClocks(Racer& car, float dt) {
  AdvanceClock(car.raceMinutes, car.raceSeconds, car.raceHundredths, dt);
  AdvanceClock(car.lapMinutes, car.lapSeconds, car.lapHundredths, dt);
}

void AddLaunchRevolutions(Racer& car) {
  if (car.gear == 1 || car.gear == -1) {
    const float launch = (kMaxRpm - car.rpm) * car.spinThrottle * Clamp(1.5f - car.speed * 0.25f, 0.0f, 1.0f);
    car.rpm += Clamp(launch, 0.0f, 6500.0f);
  }
  car.rpm = Clamp(car.rpm, kIdleRpm, kMaxRpm);
}

void FollowDisplayRpm(Racer& car, float dt) {
  // Toward the revolutions, never past them.
  const float gap = car.rpm - car.displayRpm;
  car.displayRpm += std::copysign(std::min(std::fabs(gap) * 0.075f * dt, std::fabs(gap)), gap);
}

void SetDustEffects(const Racer& car) {
  SetEffect(gDustEffects[car.slot], car.slideSkid, car.slideSkid > 0.0f);
  const float dust = std::min(car.slideSkid + car.spinSkid, 1.0f);
  SetEffect(gDustEffects[car.slot + kRacerCount], dust, dust > 0.0f);
}

void PassCheckpoint(Racer& car, const neV3& position, bool player) {
  const int point = car.nextCheckpoint;
  if (Len(gRacePath[point].position - position) >= kPointReach) return;
  if (point == 0) {
    if (player) {
      gSndPoint.SetPositionVelocity(position.x, position.y, position.z, car.velocity.x, car.velocity.y,
                                    car.velocity.z);
      if (gSoundOn) gSndPoint.Play();
    }
    car.laps += 1;
    const float lap = car.lapMinutes * 10000.0f + car.lapSeconds * 100.0f + car.lapHundredths;
    const float best = car.bestLapMinutes * 10000.0f + car.bestLapSeconds * 100.0f + car.bestLapHundredths;
    if (lap <= best || car.laps == 2) {
      car.bestLapMinutes = car.lapMinutes;
      car.bestLapSeconds = car.lapSeconds;
      car.bestLapHundredths = car.lapHundredths;
    }
    car.lapMinutes = car.lapSeconds = 0;
    car.lapHundredths = 0.0f;
    if (player && car.laps > gRaceLaps) {
      car.laps = gRaceLaps;
      gPlayerFinished = 1;
      gRacePhaseTime = 0.0f;
    }
  }
  int next = point + 1;
  while (next <= gRacePathLast && !IsCheckpoint(next)) ++next;
  car.nextCheckpoint = next <= gRacePathLast ? next : 0;
}


int32_t AcceleratingGear(int32_t gear, float speed) {
  gear = std::max(gear, 1);
  for (int g = 2; g <= kTopGear; ++g)
    if (speed >= kUpshiftAt[g]) gear = std::max(gear, g);
  for (int g = 1; g < kTopGear; ++g)
    if (speed < kDownshiftBelow[g]) gear = std::min(gear, g);
  return gear;
}

float GearRpm(int32_t gear, float speed) {
  if (gear == 0) return kIdleRpm;
  return speed * kGearRpmFactor[std::min(std::abs(gear), kTopGear)] + kIdleRpm;
}

int32_t PlayerPlace(float playerProgress, const float opponentProgress[3]) {
  int32_t place = kRacerCount;
  for (int i = 0; i < kRacerCount - 1; ++i)
    if (opponentProgress[i] < playerProgress) --place;
  return place;
}

void ResetPlayerRunState() { gRunStateTaken = false; }

void Racer::UpdatePlayer(float dt) {
  isOpponent = 0;
  if (!gStartHold && !gPlayerFinished) {
    AdvanceRaceClocks(*this, dt);
  }
  velocity = body->GetVelocity();
  speed = Len(velocity);
  if (!gRunStateTaken) {
    gSpeedSample = speed;
  }
  const neV3 position = body->GetPos();
  FindReachedPoint(*this, position);
  UpdateProgressAndPlace(*this);
  if (!gRunStateTaken) {
    gBestPlaceSeen = place;
    gRunStateTaken = true;
  }
  GivePlayerBonuses(*this);
  const neM3 rotation = body->GetRotationM3();
  PutBackOnTrackWhenLost(*this, rotation, dt);

  const bool glowing = brakeLight > 0.0f && speed > 3.0f;
  brakeGlow = Clamp(brakeGlow + (glowing ? dt * 0.008f : -dt * 0.004f), 0.0f, 1.0f);
  backfire = std::max(backfire - dt * 0.025f, 0.0f);
  UpdateBoost(*this, dt);
  DriveAndBrake(*this, rotation[0], dt);
  Steer(*this, dt);
  UpdateSkids(*this, dt);
  UpdateRevolutions(*this, dt);
  UpdateEngineSounds(*this);
  UpdateEffects(*this);

  HoldBeforeStartAndAfterFinish(*this, MovingBackward(velocity, rotation[0]));
  PassCheckpoint(*this, position, true);
  if (gStartHold || gPlayerFinished) brakeLight = 1.0f;
}
