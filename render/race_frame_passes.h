// The passes of a race frame after the flip, and the passes of the other
// renderer parts it calls. Everything here draws from the render-side
// copies of race_frame.h.
#pragma once

#include "framework/vector_math.h"

// What DrawRacers draws.
enum RacerPass : int {
  kRacerPassOpaque = 0,   // bodies, wheels and the world props
  kRacerPassGlass = 1,    // glass and tyre tracks
  kRacerPassBlended = 2,  // exhaust, spinning parts and lamp flares
};

// Reflection, shadow, projection, camera and lights, the world scene and
// the post chain, in that order; the picture ends in gSceneTexture (and
// with motion blur in gPrevSceneTexture) with the glow in gBlurTexture.
void DrawRaceFramePasses();

// What each pass of the last race frame took (wall-clock milliseconds on
// the render thread, the GL work it queued included only as far as the
// driver did it at once) and the GL error it left (0 for none).
enum RacePass : int { kPassReflection, kPassShadow, kPassView, kPassWorldScene, kPassPostChain, kRacePassCount };
struct RacePassRecord {
  const char* name;
  double milliseconds;
  unsigned glError;
};
extern RacePassRecord gRacePassRecords[kRacePassCount];

// ---- Passes of the racer, vegetation, shadow and reflection parts ----
extern Matrix4 gInverseViewMatrix;  // world from eye space, for the shadow texture matrix
// Eye space to the shadow map's texture space for the frame's lit passes;
// with shadows off, a matrix under which every point reads lit (the map
// then holds nothing of this race).
Matrix4 FrameShadowTextureMatrix();
void UpdateReflectionCubeMap(int raceMode);
void RenderShadowMap();
void ComputeInverseViewMatrix();
void DrawRacers(int pass);
void DrawWheelParticles();
void DrawGrass();
void DrawTrees();
