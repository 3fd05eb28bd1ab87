// The reflection cube map the trucks' paint and glass reflect. Reads the
// reflection setting, the face leaf lists and the world sections (race) or
// the garage models (garage), and the caller's sky drawer; draws the sky
// and the nearby world into faces of gReflectionCubeMap through
// gResolveFbo, one face at a time in cyclic order. Hands back the window
// framebuffer, a 128 x 128 viewport with the last face's matrices, no
// program, face culling and alpha test as it found them and the clear colour
// (0.16, 0.24, 0.27, 0).
#pragma once

#include "framework/vector_math.h"
#include "render/frustum.h"
#include "world/quadtree.h"

#include <cstdint>

// The face rendered last, 0..5 (+X, -X, +Y, -Y, +Z, -Z); shared by race and garage.
extern int32_t gCubeFace;
// The cube still wants faces this race: set at program start and by every
// track load, cleared after the one full update of reflection mode 0.
extern uint8_t gReflectionPending;

// Faces one update renders for the reflection setting, in a race or the garage.
int CubeFacesPerUpdate(int reflectionMode, bool race);
// The view of a cube face: the face's fixed turn, then the look-at.
Matrix4 CubeFaceView(int face, const Vector3& eye, const Vector3& centre, const Vector3& up);

struct CubeSources {
  Vector3 eye, centre, up;                        // the cube's look-at
  void (*drawSky)();                              // the sky box about the eye
  const NodeList* faceLeaves;                     // race: kCubeFaceCount lists; null in the garage
};

// Renders the next faces of the cube (as many as the setting gives).
void UpdateReflectionCubeMap(bool race, const CubeSources& sources);
