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
// driver did it at once; and the processor time of every thread of the
// process meanwhile, the rasteriser's included) and the GL error it left
// (0 for none). The world scene's steps are passes of their own.
enum RacePass : int {
  kPassReflection,
  kPassShadow,
  kPassView,
  kPassTerrain,         // the opaque layer's clear and the terrain
  kPassNearMap,         // the opaque layer's map objects
  kPassRacersOpaque,    // the opaque layer's racers and props, its resolve
  kPassSecondLayer,     // far map detail, glass and tyre tracks
  kPassSmokeLayer,      // wheel particles and their blur (soft particles only)
  kPassSky,             // the scene target's clear and the sky box
  kPassComposite,       // the layers over the sky
  kPassTransparentMap,  // alpha-tested map objects
  kPassGrass,
  kPassTrees,
  kPassRacersBlended,   // exhaust, spinning parts and flares
  kPassSun,             // the sun, its glare and the scene's resolve
  kPassPostChain,
  kRacePassCount
};
struct RacePassRecord {
  const char* name;
  double milliseconds;
  double cpuMilliseconds;
  unsigned glError;
};
extern RacePassRecord gRacePassRecords[kRacePassCount];
// Set by a benchmark: each pass is bracketed by glFinish, so that its time
// is the GL work it made and not only what the driver did at once. Off in
// the game, where the finishes would only stall the pipeline.
extern bool gRacePassesFinished;
// Bracket a pass: its record is written at the end.
void BeginRacePass();
void EndRacePass(int pass);
// The processor time of all the process's threads so far, milliseconds.
double ProcessCpuMilliseconds();

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
