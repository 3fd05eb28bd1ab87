// The per-pass timers of the race frame, which the frame-time benchmark
// reads: a pass is bracketed by TimedRacePass (or BeginRacePass and
// EndRacePass), which keep its time and the GL error it left.
#pragma once

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

// Runs one pass and keeps its time and the GL error it left.
template <typename Pass>
void TimedRacePass(int index, Pass pass) {
  BeginRacePass();
  pass();
  EndRacePass(index);
}
