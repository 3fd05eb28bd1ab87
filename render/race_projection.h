// The view of a frame: the viewport and projection for the window size,
// the two GL lights, and the window size of the resolution in effect.
#pragma once

// Far plane of SetProjection in a race, world units.
extern float gFarPlane;
inline constexpr float kSkyFarPlane = 15000.0f;  // while the sky and the sun are drawn
extern float gSunPosition[3];  // the sun, world units (SetupLights)

// Viewport (0, 0, width, height) (a height of 0 counts as 1) and the
// perspective of the target screen: in a race 45 degrees widened by the
// speed and boost terms of gRaceFrame, near 0.1, far gFarPlane; over the
// garage 30 degrees, near by the garage zoom, far 15000. The model-view
// matrix is left current and reset.
void SetProjection(int width, int height);
// The vertical field of view of the race projection, degrees.
float RaceFieldOfView(float fovSpeed, float fovBoost);

// GL light 0 at the sun (positional), light 1 along the camera eye; called
// with the camera's model-view matrix current.
void SetupLights();

// Window width and height of the resolution in effect, in pixels (index 0's
// for an index outside the table).
int RaceWidth();
int RaceHeight();
