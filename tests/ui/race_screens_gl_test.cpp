// The race screens and the route map in a real window: the loading
// screen's answers (start, or back after a failed load), the FINISH
// screen's garage request, the route drawn into its texture, and the HUD's
// countdown and gauge cluster.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/globals.h"
#include "framework/lock_step.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "render/gl_resources.h"
#include "tests/support/gl_window.h"
#include "tests/support/menu_art.h"
#include "ui/race_finish.h"
#include "ui/race_hud.h"
#include "ui/race_results.h"
#include "ui/route_map.h"
#include "world/race_path.h"

namespace {

namespace S = ScreenState;

class RaceScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ZARNOK_NONINTERACTIVE", "1", 1);  // the failed load's message box
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    window->MakeMainCurrent();
    if (gResolveFbo == 0) {
      ASSERT_EQ(InitGLResources(), GLResourcesResult::Ready);
    }
    if (gTextures[27].glId == kNoTexture) {
      ASSERT_TRUE(gTextures[27].LoadFromTGA("base/textures/tex27.tga", kTexTrilinear));
    }
    window->BeginMenuFrame(0, 0, 0);
    gFrameFactor = 1.0f;
  }

  void ShowSettled(int screen) {
    gScreen = screen;
    gTargetScreen = screen;
    gScreenFade = 1.0f;
  }

  // Alpha of the route map texel (x, y).
  int RouteAlpha(const std::vector<uint8_t>& map, int x, int y) { return map[(size_t(y) * gRouteMapWidth + x) * 4 + 3]; }

  std::vector<uint8_t> RouteMapTexels() {
    std::vector<uint8_t> texels(size_t(gRouteMapWidth) * gRouteMapHeight * 4);
    glBindTexture(GL_TEXTURE_2D, gRouteMapTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  GlWindow* window = nullptr;
};

}  // namespace

TEST_F(RaceScreens, LoadedTrackStartsTheRaceInTheSameFrame) {
  ShowSettled(S::RaceLoading);
  gLoaderStatus = LoaderStatus::TrackLoaded;
  gFinishBooked = 1;
  gRenderBit = 1;
  gSimBit = 0;
  DrawRaceLoading();
  EXPECT_EQ(gScreen, S::Racing);
  EXPECT_EQ(gTargetScreen, S::Racing);
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  EXPECT_EQ(gSimBit, gRenderBit) << "the worker steps before the first race frame";
  EXPECT_EQ(gFinishBooked, 0) << "the new race can be booked";
}

TEST_F(RaceScreens, FailedTrackLoadGoesBackWhereTheRaceWasChosen) {
  for (const auto& [mode, back] : {std::pair{int(kGameModeCareer), S::Garage}, {int(kGameModeQuickRace), S::QuickRace}}) {
    ShowSettled(S::RaceLoading);
    gGameMode = mode;
    gLoaderStatus = LoaderStatus::TrackFailed;
    DrawRaceLoading();
    EXPECT_EQ(gTargetScreen, back) << "mode " << mode;
    EXPECT_EQ(gScreen, S::RaceLoading) << "left with a fade, not into a race";
    EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  }
  gGameMode = kGameModeCareer;
}

TEST_F(RaceScreens, FinishAsksForTheGarageOnlyWhileTheLoaderIsIdle) {
  ShowSettled(S::RaceFinish);
  gScreenFade = 0.5f;
  gLoaderStatus = LoaderStatus::Idle;
  DrawRaceFinishScreen();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle) << "not before the screen stands";
  gScreenFade = 1.0f;
  DrawRaceFinishScreen();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadGarage);
  DrawRaceFinishScreen();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadGarage);
  EXPECT_EQ(gTargetScreen, S::RaceFinish);

  // The worker's answer is taken once, and not written over by a new request.
  gLoaderStatus = LoaderStatus::GarageLoaded;
  DrawRaceFinishScreen();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  EXPECT_EQ(gTargetScreen, S::RaceResults);
  EXPECT_EQ(gScreenFade, -1.0f);
}

TEST_F(RaceScreens, RouteIsDrawnIntoTheMapWithClearSurroundings) {
  gRacePathLast = 199;
  for (int i = 0; i <= gRacePathLast; ++i) {
    gRacePath[i].position = neMakeV3(float(i) * 2.0f - 200.0f, 0, 0);  // a straight line along x
    gRacePath[i].type = 0;
  }
  RenderRouteMap();
  std::vector<uint8_t> map = RouteMapTexels();
  float u, v;
  RouteMapPoint(neMakeV3(0, 0, 0), &u, &v);
  const int x = int(u * gRouteMapWidth), y = int(v * gRouteMapHeight);
  EXPECT_GT(RouteAlpha(map, x, y), 200) << "on the route";
  EXPECT_EQ(RouteAlpha(map, x, y + 40), 0) << "beside it";
  EXPECT_EQ(RouteAlpha(map, 10, 10), 0);
  EXPECT_NEAR(gRouteMapRadius, 199.0f * 0.45f * 1024 / 1000, 1.0f);

  GLint framebuffer = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  EXPECT_EQ(framebuffer, 0) << "the window's framebuffer is bound again";

  gRacePathLast = -1;
  RenderRouteMap();
  map = RouteMapTexels();
  EXPECT_EQ(RouteAlpha(map, x, y), 0) << "an empty path leaves an empty map";
  EXPECT_EQ(gRouteMapRadius, 1.0f);
}

namespace {

// Window pixels of the 800 x 600 frame box (x0, y0)..(x1, y1), y up, that
// differ between two pictures of the whole window.
int ChangedPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, float x0, float y0, float x1,
                  float y1) {
  int changed = 0;
  for (int y = FrameToWindowY(y0); y < FrameToWindowY(y1); ++y) {
    for (int x = FrameToWindowX(x0); x < FrameToWindowX(x1); ++x) {
      const size_t i = (size_t(y) * GlWindow::kWidth + x) * 4;
      changed += std::abs(int(a[i]) - int(b[i])) + std::abs(int(a[i + 1]) - int(b[i + 1])) > 60;
    }
  }
  return changed;
}

std::vector<uint8_t> HudPicture(GlWindow* window, const HudView& view) {
  window->BeginMenuFrame(0, 0, 0);
  gHudView = view;
  DrawRaceHud();
  return window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
}

}  // namespace

TEST_F(RaceScreens, HudShowsTheCountdownDigitAndHidesTheGaugesOnceFinished) {
  ASSERT_TRUE(LoadMenuFontsAndArt({5, 12, 15, 32, 36, 38, 41, 42, 43}));
  HudView racing;
  racing.place = 2;
  racing.laps = 1;
  const std::vector<uint8_t> plain = HudPicture(window, racing);

  HudView counting = racing;
  counting.countdown = true;
  counting.phaseTime = 9.5f;  // "2", fully opaque
  const std::vector<uint8_t> digit = HudPicture(window, counting);
  EXPECT_GT(ChangedPixels(plain, digit, 330, 380, 470, 520), 500) << "the countdown digit over the road ahead";
  EXPECT_EQ(ChangedPixels(plain, digit, 560, 0, 800, 200), 0) << "the gauge cluster stays as it was";

  HudView finished = racing;
  finished.finished = true;
  const std::vector<uint8_t> after = HudPicture(window, finished);
  EXPECT_GT(ChangedPixels(plain, after, 560, 0, 800, 200), 2000) << "the gauge cluster is gone after the finish";
  EXPECT_EQ(ChangedPixels(plain, after, 80, 480, 240, 540), 0) << "PLACE and the race time stay";
  // A scene dark on the left, white on the right: a crash pulls its red and blue apart.
  AttachToResolve(gSceneTexture);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, GlWindow::kWidth / 2, GlWindow::kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  gMotionBlur = 0;
  HudView crashed = racing;
  crashed.crash = 1.0f;
  EXPECT_GT(ChangedPixels(HudPicture(window, racing), HudPicture(window, crashed), 350, 250, 450, 450), 1000);
}
