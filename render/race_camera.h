// The race camera and the sound listener. Reads the player's truck (body,
// speed, steering, gear-shift timer), the finish flag and the frame factor;
// writes the worker-side camera (eye, look-at, up, view direction), eases
// the chase direction, and sets the OpenAL listener and the race sounds'
// positions. The render branch only loads the handed-over camera onto the
// current modelview matrix (gluLookAt) and leaves every other GL state alone.
#pragma once

#include "math/ne_math.h"

// ---- Worker side (written by the race tick, handed over at its end) ----
extern neV3 gSimCameraEye, gSimCameraLookAt;
extern neV3 gSimCameraDir;  // unit view direction, normalize(look-at - eye)
extern neV3 gCameraUp;      // the up vector this step aims for (rolled with steering)
extern neV3 gSimCameraUp;   // the eased up vector the view uses
extern float gSimFovSpeed;  // 0..1 field-of-view widening with speed, stepped by the race tick
// Radians; runs on through every race (never reset), so the finish orbit
// starts wherever it has got to.
extern float gFinishOrbitAngle;
// The eye and view direction of the frame the render thread is drawing
// while this step runs: those the previous step handed over. The listener
// hears from there and culling measures leaf distances from there.
extern neV3 gDrawnCameraEye, gDrawnCameraDir;

// ---- Render side (copied by the race frame from the hand-over) ----
extern neV3 gCameraEye, gRaceLookAt, gRaceCameraUp;
extern neV3 gGarageLookAt;  // in a race: the handed-over view direction

// The longest slice, in frame-factor units (95 ms), by which the chase
// direction and the roll are eased: a longer frame is eased in equal slices
// of at most this, so a slow machine sees a turn as a fast one does.
inline constexpr float kChaseLongestFrame = 9.5f;

// What the chase camera follows.
struct ChaseSubject {
  neV3 position;         // followed body's position
  neV3 forward;          // the player's forward axis (first column of its world matrix)
  float speed;           // player's speed
  float steerInput;      // player's steering target, radians
  float gearShiftTimer;  // the truck's backfire: 2.0 at an upshift at high revolutions, falling to 0
  bool finished;         // the player has finished: orbit
};

// The push of the camera distance after a gear change: a pull back and a
// swing in over the timer's last half, strongest at speed 15 or below,
// none from speed 30.
float GearShiftJolt(float shiftTimer, float speed, float fovSpeed);
// Sets gChaseDirX/ZGoal to (goalX, goalZ) and moves gChaseDirX/Z toward
// them by the frame's share. A frame longer than kChaseLongestFrame is eased
// in equal slices no longer than it, toward goals that move linearly from
// the last frame's to these, as that many short frames would.
void EaseChaseDirection(float goalX, float goalZ, float frameFactor);
// The camera's roll in radians from speed and steering, within +-0.2.
float CameraRoll(float speed, float steerInput);
// The gain of a crash sound following a body moving at `speed`: silent
// below speed 1, full from about 11.3.
float CrashSoundGain(float speed);
// The worker's camera: eye, look-at, view direction and
// the eased up vector behind (or, after the finish, around) the subject.
void PlaceRaceCamera(const ChaseSubject& subject, float frameFactor);
// The listener at the drawn frame's eye with the followed body's velocity,
// the racers' engine and skid sounds at their trucks, and the busy crash
// sounds at their bodies (freed once stopped or once their body is gone).
void MoveListenerAndRaceSounds(const neV3& listenerVelocity);

// renderSide 0 (worker, once per race step before culling): places the
// camera behind racer `racer` (direction always from the player's truck) and
// moves the listener and the race sounds. renderSide != 0 (render thread):
// gluLookAt of the frame's camera on the current modelview matrix.
void SetupCameraAndListener(int racer, int renderSide);
