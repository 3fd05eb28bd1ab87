// The race camera behind the player's truck and the sound listener with it.
// Worker branch: reads the player's truck and the finish flag, writes the
// worker-side camera and the OpenAL listener and sources; no GL. Render
// branch: gluLookAt of the render copies on the current modelview matrix.
#include "render/race_camera.h"

#include "framework/globals.h"
#include "framework/sound.h"
#include "platform/gl.h"
#include "world/physics_world.h"
#include "world/race_state.h"
#include "world/racer.h"

#include <algorithm>
#include <cmath>

neV3 gSimCameraEye, gSimCameraLookAt, gSimCameraDir;
neV3 gCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
neV3 gSimCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
float gSimFovSpeed;
float gFinishOrbitAngle;
neV3 gDrawnCameraEye, gDrawnCameraDir;
neV3 gCameraEye, gRaceLookAt;
neV3 gRaceCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
neV3 gGarageLookAt;

namespace {

// Chase camera, world units.
constexpr float kChaseDistance = 9.0f;         // behind the truck at rest
constexpr float kChaseFovPullIn = 0.5f;        // closer at full speed widening
constexpr float kChaseEyeHeight = 2.6f;
constexpr float kChaseLookAhead = 5.0f;
constexpr float kChaseLookHeight = 0.5f;
// Finish orbit: radians per frame-factor unit, and the orbit's shape.
constexpr float kOrbitRate = 0.0105f;
constexpr float kOrbitLift = 0.5f;
constexpr float kOrbitDistance = 7.0f;
constexpr float kOrbitEyeHeight = 1.35f;
constexpr float kOrbitLookBeyond = 2.8f;
// Easing shares per frame-factor unit.
constexpr float kChaseEaseRate = 0.025f;
constexpr float kChaseDeadBand = 0.01f;
constexpr float kUpEaseRate = 0.01f;
// Roll with steering: full from speed 30, none up to 10.
constexpr float kRollSpeedLow = 10.0f, kRollSpeedHigh = 30.0f;
constexpr float kRollPerSpeed = 0.075f;
constexpr float kRollScale = 0.2f;
constexpr float kRollLimit = 0.2f;  // radians
constexpr float kSteerDeadBand = 0.1f;
// Gear-shift jolt.
constexpr float kJoltFullSpeed = 15.0f;  // at or below: full amplitude
constexpr float kJoltGoneSpeed = 30.0f;  // at or above: none
constexpr float kJoltPerSpeed = 0.06666f;
constexpr float kJoltScale = 0.2f;
// Crash sounds: gain from the body's speed, silent below, full above.
constexpr float kCrashGainPerSpeed = 0.075f, kCrashGainBase = 0.15f;
constexpr float kCrashGainSilent = 0.225f;

// Moves value toward goal by |goal - value| x rate when it is more than
// deadBand away.
float EaseToward(float value, float goal, float rate, float deadBand) {
  const float step = std::fabs(goal - value) * rate;
  if (value < goal - deadBand) return value + step;
  if (value > goal + deadBand) return value - step;
  return value;
}

// A frame cut into equal slices of at most kChaseLongestFrame; a frame up
// to that is one slice of its own length.
struct FrameSlices {
  int count;
  float length;  // frame-factor units
};

FrameSlices SliceFrame(float frameFactor) {
  const int count =
      frameFactor > kChaseLongestFrame ? static_cast<int>(std::ceil(frameFactor / kChaseLongestFrame)) : 1;
  return {count, frameFactor / static_cast<float>(count)};
}

void FollowBody(Sound& sound, const neV3& p, const neV3& v) { sound.SetPositionVelocity(p.x, p.y, p.z, v.x, v.y, v.z); }

void MoveRacerSounds() {
  for (int slot = 0; slot < kRacerCount; ++slot) {
    const neRigidBody* body = gRacers[slot].body;
    if (!body) continue;
    const neV3 p = body->GetPos();
    const neV3 v = body->GetVelocity();
    if (slot == 0) {
      for (Sound* s : {&gSndEngine0, &gSndEngine1, &gSndEngine2, &gSndGear, &gSndSuspension, &gSndNitro, &gSndWind,
                       &gSndSt1})
        FollowBody(*s, p, v);
    } else {
      FollowBody(gSndOpponentEngine[slot - 1], p, v);
      FollowBody(gSndSt2[slot - 1], p, v);
    }
  }
}

void MoveCrashSounds() {
  for (int bank = 0; bank < kCrashBankCount; ++bank)
    for (int i = 0; i < kCrashSoundsPerBank; ++i) {
      if (!gCrashSoundBusy[bank][i]) continue;
      const neRigidBody* body = gCrashSoundPos[bank][i];
      Sound& sound = gSndCrash[bank][i];
      if (!body || !sound.IsPlaying()) {
        gCrashSoundBusy[bank][i] = 0;
        continue;
      }
      FollowBody(sound, body->GetPos(), body->GetVelocity());
      sound.SetGain(CrashSoundGain(LengthV3(body->GetVelocity())));
    }
}

}  // namespace

float CrashSoundGain(float speed) {
  const float g = speed * kCrashGainPerSpeed + kCrashGainBase;
  if (g < kCrashGainSilent) return 0.0f;
  return std::min(g, 1.0f);
}

float GearShiftJolt(float t, float speed, float fovSpeed) {
  const float k = std::max(0.0f, (kJoltGoneSpeed - std::max(speed, kJoltFullSpeed)) * kJoltPerSpeed);
  const float amplitude = (fovSpeed * 0.5f + 1.0f) * k * kJoltScale;
  if (t > 1.5f && t < 2.0f) return std::sin(t * NE_PI) * amplitude;
  if (t > 0.5f && t < 1.5f) return std::sin((t - 0.5f) * (-NE_PI / 2.0f)) * amplitude;
  return 0.0f;
}

void EaseChaseDirection(float goalX, float goalZ, float frameFactor) {
  const FrameSlices frame = SliceFrame(frameFactor);
  const int slices = frame.count;
  const float rate = kChaseEaseRate * frame.length;
  const float fromX = gChaseDirXGoal, fromZ = gChaseDirZGoal;
  for (int i = 1; i <= slices; ++i) {
    const float share = static_cast<float>(i) / static_cast<float>(slices);
    gChaseDirXGoal = i == slices ? goalX : fromX + (goalX - fromX) * share;
    gChaseDirZGoal = i == slices ? goalZ : fromZ + (goalZ - fromZ) * share;
    gChaseDirX = EaseToward(gChaseDirX, gChaseDirXGoal, rate, kChaseDeadBand);
    gChaseDirZ = EaseToward(gChaseDirZ, gChaseDirZGoal, rate, kChaseDeadBand);
  }
}

float CameraRoll(float speed, float steerInput) {
  const float s = (std::clamp(speed, kRollSpeedLow, kRollSpeedHigh) - kRollSpeedLow) * kRollPerSpeed;
  const float sign = steerInput > kSteerDeadBand ? 1.0f : (steerInput < -kSteerDeadBand ? -1.0f : 0.0f);
  return std::clamp(s * kRollScale * sign, -kRollLimit, kRollLimit);
}

void PlaceRaceCamera(const ChaseSubject& subject, float frameFactor) {
  neV3 forward = subject.forward;
  forward.y = 0.0f;
  forward.Normalize();  // an upright truck has no ground heading: zero, not non-numbers
  neV3 p = subject.position;
  gFinishOrbitAngle += frameFactor * kOrbitRate;
  if (subject.finished) {
    forward.x = std::cos(gFinishOrbitAngle);
    forward.z = std::sin(gFinishOrbitAngle);
    p.y += kOrbitLift;
  }
  EaseChaseDirection(forward.x, forward.z, frameFactor);

  if (subject.finished) {
    gSimCameraEye = {p.x + kOrbitDistance * gChaseDirX, p.y + kOrbitEyeHeight, p.z + kOrbitDistance * gChaseDirZ, 0};
    gSimCameraLookAt = {p.x - kOrbitLookBeyond * gChaseDirX, p.y, p.z - kOrbitLookBeyond * gChaseDirZ, 0};
  } else {
    const float distance = kChaseDistance - kChaseFovPullIn * gSimFovSpeed +
                           GearShiftJolt(subject.gearShiftTimer, subject.speed, gSimFovSpeed);
    gSimCameraEye = {p.x - distance * gChaseDirX, p.y + kChaseEyeHeight, p.z - distance * gChaseDirZ, 0};
    gSimCameraLookAt = {p.x + kChaseLookAhead * gChaseDirX, p.y + kChaseLookHeight,
                        p.z + kChaseLookAhead * gChaseDirZ, 0};
  }
  gSimCameraDir = gSimCameraLookAt - gSimCameraEye;
  gSimCameraDir.Normalize();

  const float roll = CameraRoll(subject.speed, subject.steerInput);
  gCameraUp = {0.0f, 1.0f, 0.0f, 0.0f};
  gCameraUp.RotateX(gSimCameraDir.x * roll);
  gCameraUp.RotateZ(gSimCameraDir.z * roll);
  gCameraUp.Normalize();
  // The roll eases in the heading's slices, so a slow machine leans into a
  // turn as a fast one does. Every slice aims at this step's up: the aim
  // jumps with the steering side rather than turning through the frame.
  const FrameSlices frame = SliceFrame(frameFactor);
  const float upRate = kUpEaseRate * frame.length;
  for (int i = 0; i < frame.count; ++i) {
    gSimCameraUp.x = EaseToward(gSimCameraUp.x, gCameraUp.x, upRate, 0.0f);
    gSimCameraUp.y = EaseToward(gSimCameraUp.y, gCameraUp.y, upRate, 0.0f);
    gSimCameraUp.z = EaseToward(gSimCameraUp.z, gCameraUp.z, upRate, 0.0f);
  }
}

void MoveListenerAndRaceSounds(const neV3& listenerVelocity) {
  SetListenerPosition(gDrawnCameraEye.x, gDrawnCameraEye.y, gDrawnCameraEye.z);
  SetListenerVelocity(listenerVelocity.x, listenerVelocity.y, listenerVelocity.z);
  SetListenerOrientation(gDrawnCameraDir.x, gDrawnCameraDir.y, gDrawnCameraDir.z, 0.0f, 1.0f, 0.0f);
  MoveRacerSounds();
  MoveCrashSounds();
}

void SetupCameraAndListener(int racer, int renderSide) {
  if (renderSide) {
    gluLookAt(gCameraEye.x, gCameraEye.y, gCameraEye.z, gRaceLookAt.x, gRaceLookAt.y, gRaceLookAt.z, gRaceCameraUp.x,
              gRaceCameraUp.y, gRaceCameraUp.z);
    return;
  }
  const Racer& player = gRacers[0];
  const neRigidBody* followed = racer >= 0 && racer < kRacerCount ? gRacers[racer].body : nullptr;
  if (!player.body || !followed) return;  // no race world
  gDrawnCameraEye = gSimCameraEye;
  gDrawnCameraDir = gSimCameraDir;
  const ChaseSubject subject = {followed->GetPos(), player.body->GetTransform().rot[0], player.speed,
                                player.steerInput, player.backfire, gPlayerFinished != 0};
  PlaceRaceCamera(subject, gFrameFactor);
  MoveListenerAndRaceSounds(followed->GetVelocity());
}
