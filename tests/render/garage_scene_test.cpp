// The garage showroom in a real window on the generated data: the camera
// orbit, and a frame of the room with the first truck standing in it,
// written to frames/garage_showroom.tga.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/globals.h"
#include "framework/screen_state.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "render/garage_camera.h"
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/race_camera.h"
#include "render/racer_draw.h"
#include "render/reflection_cube.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/gl_resources_suite.h"
#include "tests/support/menu_art.h"
#include "ui/screens.h"
#include "world/catalogue.h"
#include "world/racer_models.h"

namespace {

constexpr int kW = GlWindow::kWidth, kH = GlWindow::kHeight;

TEST(GarageView, EyeOrbitsTheTruckAtTheZoomedDistance) {
  struct Case {
    float pitch, yaw, zoom;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{16, 230, -0.5f}, Case{7, 90, 2.3f}}) {
    const GarageView view = GarageViewFrom(c.pitch, c.yaw, c.zoom, 0);
    const float distance = std::sqrt(0.75f * 0.75f + (11.5f + c.zoom) * (11.5f + c.zoom));
    EXPECT_NEAR(view.eye.Length(), distance, 1e-3f);
    EXPECT_NEAR(view.up.y, 1.0f, 1e-5f) << "no wobble at phase 0";
    // The look-at point stays near the truck, beside the aim line.
    EXPECT_LT(view.lookAt.Length(), 2.0f);
  }
  // Yaw 0 looks from -z, yaw 90 from -x (x' = sin(yaw) z).
  EXPECT_LT(GarageViewFrom(0, 0, 0, 0).eye.z, -11.0f);
  EXPECT_LT(GarageViewFrom(0, 90, 0, 0).eye.x, -11.0f);
  // Pitch raises the eye.
  EXPECT_GT(GarageViewFrom(16, 0, 0, 0).eye.y, GarageViewFrom(0, 0, 0, 0).eye.y + 2.0f);
}

TEST(GarageView, WobbleRocksTheUpVectorOnly) {
  const GarageView still = GarageViewFrom(7, 230, 0, 0), rocked = GarageViewFrom(7, 230, 0, 1.58f);
  EXPECT_FLOAT_EQ(still.eye.x, rocked.eye.x);
  EXPECT_FLOAT_EQ(still.eye.z, rocked.eye.z);
  EXPECT_LT(rocked.up.y, 0.9999f);
  EXPECT_NEAR(rocked.up.Length(), 1.0f, 1e-5f);
}

// Racer slot 0 holds no truck.
void EmptyPlayerSlot() {
  for (auto& kind : gRacerModels) {
    delete kind[0];
    kind[0] = nullptr;
  }
  gBuiltCarIndex[0] = -1;
}

class GarageScene : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = GlWindow::Get();
    if (window_ == nullptr) GTEST_SKIP() << "no display for a GL window";
    gAntiAliasing = 0;
    gShadowMapSize = 1024;
    ASSERT_EQ(InitGLResourcesIn(window_), GLResourcesResult::Ready);
    LoadStartupModels();
    InitCarTables();
  }
  void TearDown() override {
    if (window_ == nullptr) return;
    EmptyPlayerSlot();
    FreeGarageModels();
    ReleaseGLResources();
    gShadowMapSize = kShadowMapSizeOff;
  }

  std::vector<uint8_t> Frame() {
    RenderGarageScene();
    DrawGarageSceneOnWindow();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    return window_->ReadPixels(0, 0, kW, kH);
  }

  // A texture's texels as floats: depth, RGB or RGBA.
  static std::vector<float> Texels(GLenum target, GLuint texture, GLenum format) {
    GLint width = 0, height = 0;
    glBindTexture(target, texture);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<float> texels(size_t(width) * height * (format == GL_RGB ? 3 : format == GL_RGBA ? 4 : 1));
    glGetTexImage(target, 0, format, GL_FLOAT, texels.data());
    return texels;
  }

  // A still garage frame of the settled garage screen.
  void SettleOnTheGarage() {
    gScreen = 10;
    gTargetScreen = 10;
    gFreeCamera = 0;
    gGaragePitch = 7;
    gGarageYaw = 230;
    gGarageZoom = -0.5f;
    gFrameFactor = 0;
  }

  GlWindow* window_ = nullptr;
};

int CountDiffering(const std::vector<float>& a, const std::vector<float>& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += std::fabs(a[i] - b[i]) > 1e-4f;
  return count;
}

}  // namespace

TEST_F(GarageScene, FrameShowsTheTruckStandingInTheShowroom) {
  SettleOnTheGarage();
  gGarageWobblePhase = 1.58f;
  EmptyPlayerSlot();
  const std::vector<uint8_t> room = Frame();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  for (int face = 0; face < 5; ++face) Frame();  // the reflection cube fills a face a frame
  const std::vector<uint8_t> showroom = Frame();
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window_->DumpFrame("frames/garage_showroom.tga"));

  // The room fills the picture: no pixel keeps the layer's clear colour
  // over a large part of it.
  int changed = 0, x0 = kW, x1 = 0, y0 = kH, y1 = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = (size_t(y) * kW + x) * 4;
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference += std::abs(int(room[i + c]) - int(showroom[i + c]));
      if (difference <= 30) continue;
      ++changed;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  // The truck covers a good part of the picture, off its centre but on it.
  EXPECT_GT(changed, kW * kH / 20);
  EXPECT_LT(changed, kW * kH * 3 / 4);
  EXPECT_GT(x1 - x0, kW / 4);
  EXPECT_LT(x0, kW / 2);
  EXPECT_GT(x1, kW / 2);
}

TEST_F(GarageScene, TheRaceLoadingScreenKeepsTheLastGaragePictureBehindIt) {
  ASSERT_TRUE(LoadMenuFontsAndArt({4, 5, 7, 29}));
  SettleOnTheGarage();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  const std::vector<uint8_t> garage = Frame();
  gScreen = ScreenState::RaceLoading;
  gTargetScreen = ScreenState::RaceLoading;
  gScreenFade = 1.0f;
  gLoaderStatus = LoaderStatus::LoadTrack;  // the worker is busy with the track
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  UpdateAndDrawScreens();
  gLoaderStatus = LoaderStatus::Idle;
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window_->DumpFrame("frames/race_loading.tga"));
  const std::vector<uint8_t> loading = window_->ReadPixels(0, 0, kW, kH);
  const size_t above = (size_t(kH) * 3 / 4 * kW + kW / 2) * 4;  // between the side panels, above the logo
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(loading[above + c], garage[above + c], 4) << c;
}

TEST_F(GarageScene, WobbleAdvancesOnlyWhileNoFadeRunsAndNoTruckChangeIsShown) {
  struct Case {
    const char* name;
    int screen, target;
    float carChange;
    bool advances;
  };
  const Case cases[] = {
      {"settled screen", 10, 10, 0.0f, true},
      {"fade to another screen", 10, 11, 0.0f, false},
      {"truck change shown", 10, 10, 1.0f, false},
  };
  gFreeCamera = 0;
  gFrameFactor = 2;
  for (const Case& c : cases) {
    gScreen = c.screen;
    gTargetScreen = c.target;
    gCarChangeProgress = c.carChange;
    gGarageWobblePhase = 1.58f;
    const float spin = gSpinAngle;
    RenderGarageScene();
    EXPECT_FLOAT_EQ(gGarageWobblePhase, c.advances ? 1.58f + 2 * 0.003f : 1.58f) << c.name;
    // The spinning parts turn whatever the screen: the race's own angle.
    EXPECT_FLOAT_EQ(gSpinAngle, spin - (std::sin(gMenuClock * 0.5f) + 8) * 2) << c.name;
    // The eye the scene drew from is the shared camera eye.
    const GarageView view = GarageViewFrom(gGarageViewPitch, gGarageViewYaw, gGarageZoom, gGarageWobblePhase);
    EXPECT_FLOAT_EQ(gCameraEye.x, view.eye.x) << c.name;
    EXPECT_FLOAT_EQ(gGarageLookAt.z, view.lookAt.z) << c.name;
  }
  gCarChangeProgress = 0;
  gFrameFactor = 0;
}

TEST_F(GarageScene, TheTruckCastsIntoTheShadowMapAndShadowsOffOnlyClearIt) {
  auto map = [] { return Texels(GL_TEXTURE_2D, gShadowMapTexture, GL_DEPTH_COMPONENT); };
  SettleOnTheGarage();
  EmptyPlayerSlot();
  Frame();
  const std::vector<float> room = map();
  EXPECT_LT(*std::min_element(room.begin(), room.end()), 1.0f) << "the room casts";
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  Frame();
  EXPECT_GT(CountDiffering(room, map()), 100) << "the truck casts";
  gShadowMapSize = kShadowMapSizeOff;
  Frame();
  const std::vector<float> off = map();
  EXPECT_EQ(*std::min_element(off.begin(), off.end()), 1.0f) << "everything reads as lit";
}

TEST_F(GarageScene, EachFrameRendersTheNextReflectionFacesAndAddsTheGlow) {
  SettleOnTheGarage();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  gReflectionMode = 2;
  gCubeFace = 5;
  Frame();
  gReflectionMode = 0;
  EXPECT_EQ(gCubeFace, 1) << "two faces: -X, then +X";
  const std::vector<float> face = Texels(GL_TEXTURE_CUBE_MAP_NEGATIVE_X, gReflectionCubeMap, GL_RGB);
  EXPECT_GT(CountDiffering(face, std::vector<float>(face.size(), 0.15f)), int(face.size()) / 2) << "not the clear grey";
  // The window shows the scene with the glow of its highlights added.
  const std::vector<uint8_t> window = window_->ReadPixels(0, 0, kW, kH);
  const std::vector<float> scene = Texels(GL_TEXTURE_RECTANGLE_ARB, gSceneTexture, GL_RGB);
  double added = 0;
  for (size_t i = 0; i < scene.size(); ++i) added += window[i / 3 * 4 + i % 3] / 255.0 - std::min(scene[i], 1.0f);
  EXPECT_GT(added / scene.size(), 0.005);
}
TEST_F(GarageScene, WithAntiAliasingTheResolvedLayersShowTheSameShowroom) {
  SettleOnTheGarage();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
  const std::vector<uint8_t> plain = Frame();
  ReleaseGLResources();
  gAntiAliasing = 4;
  ASSERT_EQ(InitGLResourcesIn(window_), GLResourcesResult::Ready);
  const std::vector<uint8_t> smooth = Frame();
  gAntiAliasing = 0;
  double difference = 0;
  for (size_t i = 0; i < plain.size(); ++i) difference += std::abs(int(plain[i]) - int(smooth[i]));
  EXPECT_LT(difference / plain.size(), 4.0) << "only the edges differ";
}

TEST_F(GarageScene, ADriverWithoutTheBlitDrawsTheSameShowroomAsAQuad) {
  SettleOnTheGarage();
  const std::vector<uint8_t> copied = Frame();
  const PFNGLBLITFRAMEBUFFEREXTPROC blit = std::exchange(glBlitFramebufferEXT, nullptr);
  const std::vector<uint8_t> drawn = Frame();
  glBlitFramebufferEXT = blit;
  double difference = 0;
  for (size_t i = 0; i < copied.size(); ++i) difference += std::abs(int(copied[i]) - int(drawn[i]));
  EXPECT_LT(difference / copied.size(), 1.0);
}
