// The garage camera: the orbit (pitch, yaw, zoom) around the truck on the
// menu screens, driven by the mouse when the free camera is on, otherwise
// gliding to the preset of the current screen. Reads the mouse, the screen
// state and the frame factor; writes the orbit and the three view values
// the garage scene uses. No GL. Main thread.
#pragma once

#include <cstdint>

// Orbit limits: pitch in degrees, zoom in world units.
inline constexpr float kGaragePitchMin = 0.0f, kGaragePitchMax = 16.0f;
inline constexpr float kGarageZoomMin = -0.5f, kGarageZoomMax = 2.3f;

extern float gGaragePitch, gGarageYaw, gGarageZoom;  // yaw in degrees, kept in 0..360 by the presets only
extern float gGaragePitchSpeed, gGarageYawSpeed;     // free camera velocities, -1..1
// What the garage scene draws with: the orbit plus a slow sway.
extern float gGarageViewPitch, gGarageViewYaw, gGarageViewZoom;
extern float gGarageWobblePhase;  // radians, advanced by the garage scene
// Cleared by the menu widgets while the pointer is over one; the free
// camera sets it again after reading it, for the next frame.
extern uint8_t gNotOverButton;

// A screen's view of the truck.
struct GaragePreset {
  float pitch, yaw, zoom;
};
// The preset of a screen number (a default one for screens without their own).
GaragePreset GaragePresetFor(int screen);

// The free camera, once per garage frame: the buttons zoom (the left one
// only off the menu widgets), dragging spins, and the spin dies away.
void GarageCameraInput();
// One glide step toward `target`, the short way round in yaw; yaw, pitch
// and zoom arrive together and snap onto the target when a step passes it.
void GarageCameraToward(const GaragePreset& target);
// GarageCameraToward the preset of `screen`.
void GarageCameraToPreset(int screen);
// The garage scene's camera step, once per garage frame: the free camera
// once a mouse button has gone down, otherwise the glide to the current
// screen's preset while no fade runs.
void MoveGarageCamera();
