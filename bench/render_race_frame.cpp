// The race frame's time at resolution 0 (1024 x 768) with the settings'
// defaults (shadows normal, post passes on), on race 1's start line of the
// generated world as a race shows it three seconds after the start: the
// props, the four trucks as the game's own race tick moves them (the
// player's standing, the others driving off and laying their tyre
// tracks), seen from the player's chase camera, their exhausts streaming
// as in a race, and the HUD. Times the whole frame (copy step, passes, the
// HUD, the GL work finished) and each pass's share, every pass bracketed by
// glFinish so that its time is its GL work. Needs a display (xvfb-run).
// ZARNOK_BENCH_FRAME=<path.tga> writes the first frame measured, to compare
// a change's picture pixel by pixel; ZARNOK_BENCH_LIGHTEST=1 draws it at our
// lightest settings instead of the defaults.
#include "app/race_tick.h"
#include "bench_window.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_pass_timers.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_window.h"
#include "tests/support/race_scene.h"
#include "ui/race_hud.h"
#include "world/quadtree.h"
#include "world/race_state.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kRace = 1;
constexpr float kGameFrameSeconds = 0.1f;  // a race frame at the game's ten frames a second
constexpr int kCountdownTicks = 60;        // the countdown's six seconds on the grid, held
constexpr int kRaceTicks = 30;             // then three seconds of the race
constexpr int kWarmUpFrames = 20;          // the exhausts' particles stream out of their first puff

// The race's props in the leaves they stand in, as the track load puts them.
bool PlacePropsInLeaves() {
  MilkshapeModel markers;
  if (!markers.LoadFromFile(("base/world/models/objects" + std::to_string(kRace) + ".sbm").c_str())) return false;
  for (int leaf = 0; leaf < kQuadTreeLeafCount; ++leaf) ComputeLeafProps(&markers, gQuadTreeLeaves[leaf]);
  return true;
}

// A race frame as the game draws it before its HUD: the HUD's view taken
// while the worker waits, then the passes.
void DrawSceneAsTheGame() {
  gSimBit = gRenderBit ? 0 : 1;
  UpdateRaceHud();
  RenderRaceFrame();
}

bool SetUpRace() {
  if (!UseBenchWindowWithChosenSettings()) return false;
  gRacePassesFinished = true;
  gScreen = ScreenState::Racing;
  gTargetScreen = ScreenState::Racing;
  if (InitGLResources() != GLResourcesResult::Ready || !LoadDrawnWorld(kRace)) return false;
  static RaceScene scene(kRace);
  if (!scene.loaded || !LoadDrawnTrucks() || !PlacePropsInLeaves()) return false;
  gStartHold = 1;
  for (int i = 0; i < kCountdownTicks; ++i) RunRaceTick(kGameFrameSeconds);
  gStartHold = 0;  // the countdown is over: the opponents drive off, the player stands
  for (int i = 0; i < kRaceTicks; ++i) RunRaceTick(kGameFrameSeconds);
  for (int i = 0; i < kWarmUpFrames; ++i) {
    DrawSceneAsTheGame();
    DrawRaceHud();
  }
  glFinish();
  return true;
}

// cpu:0 gives each pass's wall-clock time, cpu:1 the processor time of all
// the process's threads (llvmpipe's rasteriser included) while it ran;
// "frame CPU" is a whole frame's processor time, unbracketed by the loop,
// "HUD CPU" that of the HUD drawn over the finished passes.
void RaceFrame(benchmark::State& state) {
  static const bool ready = SetUpRace();
  if (!ready) {
    state.SkipWithError("no display, or the graphics resources or the world did not load");
    return;
  }
  if (const char* path = std::getenv("ZARNOK_BENCH_FRAME"); path && state.range(0) == 0) {
    DrawSceneAsTheGame();
    DrawRaceHud();
    GlWindow::Get()->DumpFrame(path);
  }
  double passMs[kRacePassCount] = {};
  double frameCpuMs = 0.0, hudCpuMs = 0.0;
  for (auto _ : state) {
    const double cpuStart = ProcessCpuMilliseconds();
    DrawSceneAsTheGame();
    glFinish();
    const double hudStart = ProcessCpuMilliseconds();
    DrawRaceHud();
    glFinish();
    frameCpuMs += ProcessCpuMilliseconds() - cpuStart;
    hudCpuMs += ProcessCpuMilliseconds() - hudStart;
    for (int p = 0; p < kRacePassCount; ++p)
      passMs[p] += state.range(0) ? gRacePassRecords[p].cpuMilliseconds : gRacePassRecords[p].milliseconds;
  }
  const double frames = double(state.iterations());
  state.counters["frame CPU"] = benchmark::Counter(frameCpuMs / frames);
  state.counters["HUD CPU"] = benchmark::Counter(hudCpuMs / frames);
  for (int p = 0; p < kRacePassCount; ++p)
    state.counters[gRacePassRecords[p].name] = benchmark::Counter(passMs[p] / frames);
}
BENCHMARK(RaceFrame)->ArgName("cpu")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
