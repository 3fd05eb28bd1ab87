// The garage showroom behind the menus: the room, the player's truck with
// its suspension and wheels, its glass and its spinning parts, seen by the
// orbiting garage camera with a slow wobble, under the sky box, with the
// sun's shadow, the reflection cube and the glow.
//
// Reads the garage models, the shared suspension and spinning-part models,
// the truck's models and record (axles, wheel offsets, part placements),
// the render targets and programs of gl_resources.h and shaders.h. Renders
// the next faces of gReflectionCubeMap and the shadow map (only cleared
// with shadows off), draws the opaque layer into gSceneTexture and blends
// the glass over it, draws the spinning parts over it and blurs it into
// the glow, gBlurTexture. Writes
// the shared gCameraEye, gGarageLookAt, the garage sun's matrices and
// gInverseViewMatrix, and turns gSpinAngle. Leaves the window framebuffer
// bound with its colour cleared, the window viewport, the model-view
// reset, no program current, units 1..4 off with their texture matrices
// reset, unit 0 active with 2-D on, culling and the depth test on,
// blending off and the colour white.
#pragma once

#include "framework/vector_math.h"
#include "render/showroom_truck.h"

// Where the garage camera stands and looks.
struct GarageView {
  neV3 eye, up, lookAt;
};

// The camera of an orbit (pitch and yaw in degrees, zoom in world units)
// and a wobble phase (radians): the eye on the orbit, the up vector rocked
// by the wobble, and a look-at point beside the truck so that it sits off
// the picture's centre.
GarageView GarageViewFrom(float pitch, float yaw, float zoom, float wobblePhase);

struct GarageSceneInput {
  GarageView view;
  float frameFactor;  // the frame's seconds x 100
  float menuClock;    // gMenuClock: the spinning parts' speed follows it
  ShowroomTruck truck;
};

// One garage frame into gSceneTexture (see the file comment), the
// reflection cube as it stands.
void RenderGarageSceneFrom(const GarageSceneInput& input);

// The garage frame behind the menus, once per menu frame: the garage
// camera moves (the free camera, or the glide to the screen's preset while
// no fade runs), the wobble advances while no fade runs and no truck change
// is shown, the next faces of the reflection cube are rendered, then the
// frame of the player's truck (racer slot 0) is drawn. Nothing without the
// render targets (a failed graphics start-up).
void RenderGarageScene();

// gSceneTexture (gPrevSceneTexture when `previousScene` is set) copied to
// the whole window framebuffer with the glow added; on a frame that drew no
// garage it shows the last scene composed (nothing without the render
// targets).
void DrawGarageSceneOnWindow(bool previousScene = false);
