// The lock-step with real drawing: the worker runs race ticks on its own
// thread (race 1 of the generated data: its ground, props and drawn world,
// the four trucks with their models) while the main thread draws every
// tick's frame from the copies: trucks, lamps, exhaust, tracks, dust,
// props, grass, trees, the shadow map at the normal size and the
// reflection cube three faces a frame. Run under ThreadSanitizer by the
// test script for 600 frames, this proves that the drawing reads nothing
// the next tick writes.
#include "app/app.h"  // ShadowMapSizeForDetail
#include "app/race_tick.h"
#include "app/worker.h"
#include "framework/globals.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_pass_timers.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_window.h"
#include "tests/support/hand_over_state.h"
#include "tests/support/race_scene.h"
#include "ui/race_hud.h"
#include "world/player.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr float kTick = 0.02f;
constexpr int kNormalShadows = 1;  // the shadow detail setting
#if defined(__SANITIZE_THREAD__)
constexpr int kFrames = 600;  // the sanitizer's run; elsewhere a short one
#else
constexpr int kFrames = 60;
#endif

void FixedTick() { RunRaceTick(kTick); }
void NoLoad() {}
bool NoTrack() { return true; }
const WorkerJobs kJobs = {FixedTick, NoLoad, NoTrack, NoLoad, NoLoad};

}  // namespace

TEST(RaceFrameLockStep, EveryTickDrawnWhileTheNextRunsWithoutAGlError) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  gResolutionIndex = 0;
  gAntiAliasing = 0;
  gShadowMapSize = ShadowMapSizeForDetail(kNormalShadows, 0);
  gSightDistance = kSightDistances[0];
  gReflectionMode = 1;
  gSoftParticles = 0;
  gMotionBlur = 0;
  ASSERT_EQ(InitGLResources(), GLResourcesResult::Ready);
  ASSERT_TRUE(LoadDrawnWorld(1));
  RaceScene scene(1);
  ASSERT_TRUE(scene.loaded);
  ASSERT_TRUE(LoadDrawnTrucks());
  gStartHold = 1;  // the countdown lifts it, three seconds after it starts
  gRacePhaseTime = kCountdownRelease - 3.0f;
  scene.Press(kControlAccelerate);

  ResetHandOverState(ScreenState::RaceLoading);
  PublishRaceStart();
  std::thread worker(RunWorker, std::cref(kJobs));
  int errors = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    ASSERT_TRUE(WaitForSimulationStep());
    UpdateRaceHud();
    RenderRaceFrame();
    DrawRaceHud();
    for (const RacePassRecord& pass : gRacePassRecords) errors += pass.glError != 0;
  }
  LeaveRaceTo(ScreenState::RaceFinish);
  gQuit = 1;
  worker.join();
  gQuit = 0;
  scene.ReleaseAll();
  FreeDrawnWorld();
  gShadowMapSize = kShadowMapSizeOff;
  ReleaseRenderTargets();
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(gStartHold, kFrames * kTick > 3.0f ? 0 : 1) << "the countdown's end reached the worker";
}
