// What the framework calls in the renderer.
#pragma once

#include "platform/gl.h"

// Creates every GL resource of the renderer on the main context and seeds
// the random generator. 0 when the driver lacks an entry point or the
// multitexture extensions that drawing needs (everything else is still
// made); 1 otherwise.
int InitGLResources();

// The 3-D textures made at start-up: the volume of base/textures/tex65.tga
// (the water's) and the noise of the lit passes; 0 until made.
extern GLuint gVolumeTexture;
extern GLuint gNoiseTexture3D;

// Deletes the GL textures of the texture tables (main context current).
void ReleaseTextures();

// Viewport and projection for a drawable of that size (a height of 0 counts
// as 1); the model-view matrix is reset.
void SetProjection(int width, int height);

// Garage camera values that the debug text shows: pitch and yaw in
// degrees, zoom in world units; written by the garage camera.
extern float gGaragePitch, gGarageYaw, gGarageZoom;

// The race frame: copies what the worker's step produced, flips gRenderBit,
// then draws from the copies.
void RenderRaceFrame();
