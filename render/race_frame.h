// The race frame on the render thread. Reads what the worker's last race
// tick published (race_view.h, the racer records, the dust rings, the prop
// bodies, the leaf distances) while the worker waits in the lock-step, into
// the render-side copies below; flips gRenderBit; then draws the frame from
// those copies only: reflection and shadow passes, projection, camera and
// lights, the world scene into gSceneTexture and the post chain. Leaves the
// window framebuffer bound with the window viewport, no program current,
// unit 0 active with 2-D texturing on; the race HUD then puts the picture
// on the window.
#pragma once

#include "framework/vector_math.h"
#include "render/frustum.h"
#include "render/race_camera.h"
#include "render/racer_draw.h"   // RacerLook
#include "render/tyre_tracks.h"  // TyreTrackRings
#include "world/city_car.h"
#include "world/city_object.h"
#include "world/quadtree.h"
#include "world/racer.h"

#include <cstdint>

// ---- Render-side copies (render thread; written only by the copy step) ----
extern NodeList gVisibleNodes;       // leaves the race camera sees, in list order
extern NodeList gShadowNodes;        // leaves the sun sees (copied only with shadows on)
extern NodeList gCubeFaceNodes[kCubeFaceCount];   // leaves of each reflection cube face
// The race camera (gCameraEye, gRaceLookAt, gRaceCameraUp, gGarageLookAt):
// race_camera.h; the sun's shadow projection and view (gLightProjection,
// gLightView, copied only with shadows on): frustum.h.
extern float gFovSpeed, gFovBoost;   // 0..1 field-of-view terms of speed and boost
extern Matrix4 gRacerMatrix[kRacerCount];              // chassis world matrices
extern Matrix4 gCityCarMatrix[kCityCarSlotCount];      // traffic cars' world matrices
extern uint8_t gRacerVisible[kRacerCount];             // the worker's frustum test said: draw it
extern float gRenderFrameFactor;     // the step's frame seconds x 100
extern uint8_t gStartHoldDrawn;      // the start hold as the step left it

// The per-racer values racer drawing and the HUD read.
struct RacerDrawn {
  float wheelDrop[kWheelCount];      // suspension offset of each wheel
  float wheelRoll[kWheelCount];      // spin angle of each wheel, degrees
  int32_t tyreTrackHead[kWheelCount];  // one past the newest quad of each track ring
  neV3 velocity;                     // chassis velocity; the speedometer reads its length
  RacerLook look;                    // layout, steering, lamps and exhaust of the truck
};
extern RacerDrawn gRacerDrawn[kRacerCount];

// Squared ground distance of each leaf the camera saw from the eye, by leaf
// index (the far-detail passes cut by it); other leaves keep older values.
extern float gLeafDistSqDrawn[kQuadTreeLeafCount];

// The tyre-track rings as far as the worker had laid them: each copy step
// takes the quads laid since the last one.
extern TyreTrackRings gTyreTracksDrawn;

// The dust the render thread draws and ages: each step's new particles are
// taken over from the worker's rings, and from then on only the render
// thread touches them, so the dust ages only in frames that draw it.
extern WheelParticle gDustDrawn[kRacerCount][kWheelCount][kDustRingSize];

// World matrix of every prop part that has a body, by prop and part.
extern Matrix4 gPropPartMatrixDrawn[kCityObjectCapacity][kMaxPropParts];

// ---- View state of the frame ----
extern float gFarPlane;            // far plane of SetProjection in a race, world units
inline constexpr float kSkyFarPlane = 15000.0f;  // while the sky and the sun are drawn
extern float gSunPosition[3];      // the sun, world units (SetupLights)

// Asks the next copy step to lift the start hold (the countdown's end): the
// worker reads the hold during its step, so it changes only while it waits.
void RequestStartHoldRelease();

// The copy step: everything above that the worker published, taken while
// the worker waits (gSimBit differs from gRenderBit), and the menu clock
// advanced by the frame.
void CopyPublishedRaceState();

// Whether the render targets the passes draw into exist (their start-up
// may have failed, or not run in a test); without them a race frame only
// keeps the lock-step.
bool RaceFrameTargetsMade();

// One race frame: the copy step, the flip of gRenderBit, then every pass.
// Called once gSimBit differs from gRenderBit; the caller draws the HUD and
// swaps.
void RenderRaceFrame();

// Viewport (0, 0, width, height) (a height of 0 counts as 1) and the
// perspective of the target screen: in a race 45 degrees widened by the
// speed and boost terms, near 0.1, far gFarPlane; over the garage 30
// degrees, near by the garage zoom, far 15000. The model-view matrix is
// left current and reset.
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
