// A menu frame's time at 1024 x 768 with the settings' defaults: the
// garage showroom behind the main menu and the quick-race screen (the
// shadow map, the reflection cube's next faces, the truck's layers, their
// composite, the glow and the scene on the window), the garage camera
// rocking as it does while a menu waits. Needs a display (xvfb-run).
// ZARNOK_BENCH_MENU_FRAME=<path.tga> writes the first frame drawn.
#include "bench_window.h"
#include "framework/globals.h"
#include "framework/screen_state.h"
#include "framework/settings.h"
#include "framework/startup_models.h"
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/race_pass_timers.h"  // ProcessCpuMilliseconds
#include "tests/support/gl_window.h"
#include "world/catalogue.h"
#include "world/racer_models.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr float kMenuFrameFactor = 5.0f;  // a 20 fps frame's seconds x 100: the wobble keeps moving

bool SetUpGarage() {
  if (!UseBenchWindowWithDefaultSettings()) return false;
  // The race frame's case, when it ran first, made them with the same settings.
  if (gResolveFbo == 0 && InitGLResources() != GLResourcesResult::Ready) return false;
  LoadStartupModels();
  InitCarTables();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  gScreen = ScreenState::MainMenu;
  gTargetScreen = ScreenState::MainMenu;
  gFrameFactor = kMenuFrameFactor;
  return true;
}

void DrawMenuFrame() {
  RenderGarageScene();
  DrawGarageSceneOnWindow();
}

// Wall-clock time per frame, and "frame CPU": the processor time of all
// the process's threads (llvmpipe's rasteriser included) per frame.
void MenuFrame(benchmark::State& state) {
  static const bool ready = SetUpGarage();
  if (!ready) {
    state.SkipWithError("no display, or the graphics resources did not load");
    return;
  }
  for (int frame = 0; frame < 6; ++frame) DrawMenuFrame();  // every face of the reflection cube drawn once
  if (const char* path = std::getenv("ZARNOK_BENCH_MENU_FRAME")) GlWindow::Get()->DumpFrame(path);
  double frameCpuMs = 0.0;
  for (auto _ : state) {
    const double cpuStart = ProcessCpuMilliseconds();
    DrawMenuFrame();
    glFinish();
    frameCpuMs += ProcessCpuMilliseconds() - cpuStart;
  }
  state.counters["frame CPU"] = benchmark::Counter(frameCpuMs / double(state.iterations()));
}
BENCHMARK(MenuFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
