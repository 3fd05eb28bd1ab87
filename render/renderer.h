// What the framework calls in the renderer per frame.
#pragma once

#include "platform/gl.h"
#include "render/gl_resources.h"

// Viewport and projection for a drawable of that size (a height of 0 counts
// as 1); the model-view matrix is reset.
void SetProjection(int width, int height);

// The race frame: copies what the worker's step produced, flips gRenderBit,
// then draws from the copies.
void RenderRaceFrame();
