// What the framework calls in the renderer per frame.
#pragma once

#include "platform/gl.h"
#include "render/gl_resources.h"

// Viewport and projection for a drawable of that size (a height of 0 counts
// as 1); the model-view matrix is reset.
void SetProjection(int width, int height);

// Garage camera values that the debug text shows: pitch and yaw in
// degrees, zoom in world units; written by the garage camera.
extern float gGaragePitch, gGarageYaw, gGarageZoom;

// The race frame: copies what the worker's step produced, flips gRenderBit,
// then draws from the copies.
void RenderRaceFrame();
