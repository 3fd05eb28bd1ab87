// What the framework calls in the renderer.
#pragma once

#include "platform/gl.h"
#include "render/race_frame.h"  // the race frame and the projection

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

// Garage camera values that the debug text shows: pitch and yaw in
// degrees, zoom in world units; written by the garage camera.
extern float gGaragePitch, gGarageYaw, gGarageZoom;

