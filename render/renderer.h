// What the framework calls in the renderer per frame.
#pragma once

#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"  // the race frame and the projection

// Garage camera values that the debug text shows: pitch and yaw in
// degrees, zoom in world units; written by the garage camera.
extern float gGaragePitch, gGarageYaw, gGarageZoom;
