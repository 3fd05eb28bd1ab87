// The race frame's time at resolution 0 (1024 x 768) with the settings'
// defaults (shadows normal, post passes on), on race 1's start line of the
// generated world: the whole frame (copy step, passes, the HUD,
// the GL work finished) and each pass's share, every pass bracketed by
// glFinish so that its time is its GL work. Needs a display (xvfb-run).
// ZARNOK_BENCH_FRAME=<path.tga> writes the first frame drawn, to compare
// a change's picture pixel by pixel; ZARNOK_BENCH_LIGHTEST=1 draws it at our
// lightest settings instead of the defaults.
#include "bench_window.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_pass_timers.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_window.h"
#include "ui/race_hud.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

bool SetUpRace() {
  if (!UseBenchWindowWithChosenSettings()) return false;
  gRacePassesFinished = true;
  gScreen = ScreenState::Racing;
  gTargetScreen = ScreenState::Racing;
  return InitGLResources() == GLResourcesResult::Ready && LoadDrawnWorld(1);
}

// cpu:0 gives each pass's wall-clock time, cpu:1 the processor time of all
// the process's threads (llvmpipe's rasteriser included) while it ran;
// "frame CPU" is a whole frame's processor time, unbracketed by the loop.
void RaceFrame(benchmark::State& state) {
  static const bool ready = SetUpRace();
  if (!ready) {
    state.SkipWithError("no display, or the graphics resources or the world did not load");
    return;
  }
  PublishPlayerAt(0);
  if (const char* path = std::getenv("ZARNOK_BENCH_FRAME"); path && state.range(0) == 0) {
    gSimBit = gRenderBit ? 0 : 1;
    RenderRaceFrame();
    DrawRaceHud();
    GlWindow::Get()->DumpFrame(path);
  }
  double passMs[kRacePassCount] = {};
  double frameCpuMs = 0.0;
  for (auto _ : state) {
    gSimBit = gRenderBit ? 0 : 1;
    const double cpuStart = ProcessCpuMilliseconds();
    RenderRaceFrame();
    DrawRaceHud();
    glFinish();
    frameCpuMs += ProcessCpuMilliseconds() - cpuStart;
    for (int p = 0; p < kRacePassCount; ++p)
      passMs[p] += state.range(0) ? gRacePassRecords[p].cpuMilliseconds : gRacePassRecords[p].milliseconds;
  }
  const double frames = double(state.iterations());
  state.counters["frame CPU"] = benchmark::Counter(frameCpuMs / frames);
  for (int p = 0; p < kRacePassCount; ++p)
    state.counters[gRacePassRecords[p].name] = benchmark::Counter(passMs[p] / frames);
}
BENCHMARK(RaceFrame)->ArgName("cpu")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
