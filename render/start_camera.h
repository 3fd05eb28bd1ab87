// A scripted start camera that nothing reads: two four-second shots of the
// player's truck on the grid, one set of three by the race camera mode,
// each fading in from black, with the countdown's first two beeps. Reads
// the race path's first two points, the player's chassis matrix as the
// race frame copied it and the race phase time; writes only its own
// outputs below and the countdown step it is handed. No GL.
#pragma once

#include "framework/vector_math.h"

#include <cstdint>

// Seconds a shot lasts; the second shot starts where the first ends.
inline constexpr float kStartShotSeconds = 4.0f;

struct StartCameraShot {
  bool inShot = false;  // t lies in one of the two shots
  int shot = 0;         // 0 or 1
  neV3 eye = {0, 0, 0, 0}, target = {0, 0, 0, 0};
  bool fades = false;   // the shot's first half second: a fade value is set
  float fade = 0;       // 1 black .. 0 clear
};

// The camera of mode 0..2 at t seconds of the race phase: the eye and the
// target each P + d (a + b k) + s (a + b k) + u (a + b k), with P the
// player's position, d the way the grid faces (GridDirection: the flat
// direction from path point `first` to `second`, +x when they stand on one
// vertical), u up, s = u x d and k running 0..1 through the shot. A mode
// outside 0..2 or a time outside the two shots is no shot.
StartCameraShot StartCameraAt(int mode, float t, const neV3& player, const neV3& first, const neV3& second);

// What the start camera last set (read by nothing).
extern neV3 gStartCameraEye, gStartCameraTarget;
extern float gStartCameraFade;

// The camera for gRacePhaseTime in `cameraMode`. The first shot moves the
// countdown step from 0 to 1 and the second from 1 to 2, each move playing
// menu9.wav when sound is on.
void ComputeCameraPlacement(int cameraMode, int32_t* countdownStep);
