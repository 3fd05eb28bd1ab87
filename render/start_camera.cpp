// The scripted start camera; see start_camera.h for what it reads and writes.
#include "render/start_camera.h"

#include <cmath>

#include "framework/settings.h"
#include "framework/sound.h"
#include "math/ne_math.h"
#include "render/race_frame_input.h"
#include "world/physics_world.h"
#include "world/race_path.h"
#include "world/race_state.h"

neV3 gStartCameraEye, gStartCameraTarget;
float gStartCameraFade;

namespace {

constexpr float kFadeSeconds = 0.5f;

// One axis of a point: base + slope x k.
struct Term {
  float base, slope;
};
// A point along d, s and u.
struct Sweep {
  Term d, s, u;
};
struct Shot {
  Sweep eye, target;
};

// Each mode's two shots; every second shot starts where the first ends.
// Mode 0 swings in from the side and settles behind the truck, mode 1
// runs low past its nose, mode 2 cranes down from above.
constexpr Shot kShots[kRaceCameraModeCount][2] = {
    {{{{8, 11.8f}, {9.29f, -0.72f}, {0.5f, 2.49f}}, {{2, 6.12f}, {1.06f, 0.42f}, {-0.5f, -3.17f}}},
     {{{19.8f, -29.8f}, {8.57f, -5.57f}, {2.99f, 0.51f}}, {{8.12f, -3.12f}, {1.48f, -1.48f}, {-3.67f, 4.17f}}}},
    {{{{14, -4}, {-7, 0}, {1.2f, 0.8f}}, {{0, 1}, {0, 0}, {0.3f, 0}}},
     {{{10, -20}, {-7, 4}, {2, 1.5f}}, {{1, 4}, {0, 0}, {0.3f, 0.2f}}}},
    {{{{-6, 2}, {4, -2}, {14, -6}}, {{0, 2}, {0, 0}, {0, 0}}},
     {{{-4, -6}, {2, -2}, {8, -4.5f}}, {{2, 3}, {0, 0}, {0, 0.5f}}}},
};

neV3 Along(const Sweep& sweep, float k, const neV3& p, const neV3& d, const neV3& s, const neV3& u) {
  return p + d * (sweep.d.base + sweep.d.slope * k) + s * (sweep.s.base + sweep.s.slope * k) +
         u * (sweep.u.base + sweep.u.slope * k);
}

}  // namespace

StartCameraShot StartCameraAt(int mode, float t, const neV3& player, const neV3& first, const neV3& second) {
  StartCameraShot result;
  if (mode < 0 || mode >= kRaceCameraModeCount || !(t >= 0) || t >= 2 * kStartShotSeconds) return result;
  result.inShot = true;
  result.shot = t < kStartShotSeconds ? 0 : 1;
  const float local = t - result.shot * kStartShotSeconds;
  const float k = local / kStartShotSeconds;
  const neV3 d = GridDirection(first, second);  // the way the grid faces
  const neV3 u = neMakeV3(0, 1, 0);
  const neV3 s = SafeUnit(CrossV3(u, d));
  const Shot& shot = kShots[mode][result.shot];
  result.eye = Along(shot.eye, k, player, d, s, u);
  result.target = Along(shot.target, k, player, d, s, u);
  result.fades = local < kFadeSeconds;
  if (result.fades) result.fade = 1 - std::sin(local * NE_PI);
  return result;
}

void ComputeCameraPlacement(int cameraMode, int32_t* countdownStep) {
  const Matrix4& player = gRaceFrame.racerMatrix[0];
  const neV3 position = neMakeV3(player.m[12], player.m[13], player.m[14]);
  const StartCameraShot shot =
      StartCameraAt(cameraMode, gRacePhaseTime, position, gRacePath[0].position, gRacePath[1].position);
  if (!shot.inShot) return;
  gStartCameraEye = shot.eye;
  gStartCameraTarget = shot.target;
  if (shot.fades) gStartCameraFade = shot.fade;
  if (*countdownStep != shot.shot) return;  // each shot moves the step on once
  *countdownStep = shot.shot + 1;
  if (gSoundOn) gSndCountdownGo.Play();
}
