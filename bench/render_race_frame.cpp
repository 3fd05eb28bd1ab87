// The race frame's time at resolution 0 (1024 x 768) with the settings'
// defaults (shadows normal, post passes on), on race 1's start line of the
// generated world: the whole frame (copy step, passes, the HUD stand-in,
// the GL work finished) and each pass's share, every pass bracketed by
// glFinish so that its time is its GL work. Needs a display (xvfb-run).
#include "app/app.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_frame_passes.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_window.h"
#include "ui/race_hud.h"

#include <benchmark/benchmark.h>

namespace {

bool SetUpRace() {
  GlWindow* window = GlWindow::Get();
  if (!window) return false;
  window->MakeMainCurrent();
  gResolutionIndex = 0;
  gScreenWidth = GlWindow::kWidth;
  gScreenHeight = GlWindow::kHeight;
  gAntiAliasing = 0;
  int32_t defaults[kSettingsWordCount];
  DefaultSettingsWords(defaults);
  ApplySettingsWords(defaults);
  gShadowMapSize = ShadowMapSizeForDetail(gShadowDetail, kShadowMapSizeOff);
  gRacePassesFinished = true;
  gScreen = ScreenState::Racing;
  gTargetScreen = ScreenState::Racing;
  return InitGLResources() == GLResourcesResult::Ready && LoadDrawnWorld(1);
}

void RaceFrame(benchmark::State& state) {
  static const bool ready = SetUpRace();
  if (!ready) {
    state.SkipWithError("no display, or the graphics resources or the world did not load");
    return;
  }
  PublishPlayerAt(0);
  double passMs[kRacePassCount] = {};
  for (auto _ : state) {
    gSimBit = gRenderBit ? 0 : 1;
    RenderRaceFrame();
    DrawRaceHud();
    glFinish();
    for (int p = 0; p < kRacePassCount; ++p) passMs[p] += gRacePassRecords[p].milliseconds;
  }
  for (int p = 0; p < kRacePassCount; ++p)
    state.counters[gRacePassRecords[p].name] = benchmark::Counter(passMs[p] / double(state.iterations()));
}
BENCHMARK(RaceFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
