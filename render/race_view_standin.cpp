// STAND-IN until the race camera and visibility culling land: the camera
// sits behind the player looking at it, the listener goes with it, busy
// crash sounds follow their bodies; the frustum lets everything through and
// no leaf is collected, so every leaf list stays empty. Replace this file;
// the declarations in race_view.h stay.
#include "framework/sound.h"
#include "render/race_view.h"
#include "world/physics_world.h"

namespace {

constexpr float kChaseDistance = 12.0f, kChaseHeight = 5.0f;

void KeepCrashSoundsAtTheirBodies() {
  for (int b = 0; b < kCrashBankCount; ++b)
    for (int s = 0; s < kCrashSoundsPerBank; ++s) {
      if (!gCrashSoundBusy[b][s]) continue;
      if (!gSndCrash[b][s].IsPlaying() || !gCrashSoundPos[b][s]) {
        gCrashSoundBusy[b][s] = 0;
        continue;
      }
      const neV3 p = gCrashSoundPos[b][s]->GetPos(), v = gCrashSoundPos[b][s]->GetVelocity();
      gSndCrash[b][s].SetPositionVelocity(p.x, p.y, p.z, v.x, v.y, v.z);
    }
}

}  // namespace

void SetupCameraAndListener(int, int) {
  const CSampleCar& player = gRacers[0];
  if (player.body) {
    gSimCameraLookAt = player.body->GetPos();
    gSimCameraEye = gSimCameraLookAt - player.groundHeading * kChaseDistance + neMakeV3(0, kChaseHeight, 0);
  }
  gSimCameraUp = neMakeV3(0, 1, 0);
  gSimCameraDir = SafeUnit(gSimCameraLookAt - gSimCameraEye);
  SetListenerPosition(gSimCameraEye.x, gSimCameraEye.y, gSimCameraEye.z);
  SetListenerOrientation(gSimCameraDir.x, gSimCameraDir.y, gSimCameraDir.z, 0, 1, 0);
  KeepCrashSoundsAtTheirBodies();
}

void SetupCameraFrustum(int, int) {
  for (auto& plane : gFrustumPlanes) {
    plane[0] = plane[1] = plane[2] = 0.0f;
    plane[3] = 1.0f;  // every point inside
  }
}

void CollectVisibleLeaves(const float[kFrustumPlaneCount][4], NodeList&) {}

void CollectVisibleLeavesSides(const float[kFrustumPlaneCount][4], NodeList&) {}
