// The garage showroom in a real window on the generated data: the camera
// orbit, and a frame of the room with the first truck standing in it,
// written to frames/garage_showroom.tga.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "render/garage_camera.h"
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/race_camera.h"
#include "tests/framework/gl_test_helpers.h"
#include "world/catalogue.h"
#include "world/loaders.h"

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
    setenv("ZARNOK_NONINTERACTIVE", "1", 1);
    window_->MakeMainCurrent();
    gAntiAliasing = 0;
    ASSERT_EQ(InitGLResources(), GLResourcesResult::Ready);
    LoadStartupModels();
    InitCarTables();
  }
  void TearDown() override {
    if (window_ == nullptr) return;
    EmptyPlayerSlot();
    glUseProgramObjectARB(0);
    ReleaseRenderTargets();
    FreeFont1DisplayLists();
    FreeFont2DisplayLists();
    ReleaseTextures();
  }

  std::vector<uint8_t> Frame() {
    RenderGarageScene();
    DrawGarageSceneOnWindow();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    return window_->ReadPixels(0, 0, kW, kH);
  }

  GlWindow* window_ = nullptr;
};

}  // namespace

TEST_F(GarageScene, FrameShowsTheTruckStandingInTheShowroom) {
  // The garage screen, its preset reached, no fade, a still frame.
  gScreen = 10;
  gTargetScreen = 10;
  gFreeCamera = 0;
  gGaragePitch = 7;
  gGarageYaw = 230;
  gGarageZoom = -0.5f;
  gGarageWobblePhase = 1.58f;
  gFrameFactor = 0;
  EmptyPlayerSlot();
  const std::vector<uint8_t> room = Frame();
  gPlayerCarIndex = 0;
  LoadRacerCar(0);
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
    RenderGarageScene();
    EXPECT_FLOAT_EQ(gGarageWobblePhase, c.advances ? 1.58f + 2 * 0.003f : 1.58f) << c.name;
    // The eye the scene drew from is the shared camera eye.
    const GarageView view = GarageViewFrom(gGarageViewPitch, gGarageViewYaw, gGarageZoom, gGarageWobblePhase);
    EXPECT_FLOAT_EQ(gCameraEye.x, view.eye.x) << c.name;
    EXPECT_FLOAT_EQ(gGarageLookAt.z, view.lookAt.z) << c.name;
  }
  gCarChangeProgress = 0;
  gFrameFactor = 0;
}
