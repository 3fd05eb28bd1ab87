// Race frames of race 1 with everything a race draws, stepped through the
// game's own race tick on this thread at the light settings of resolution 0
// but with shadows at the normal size and reflections on. Each writes its
// picture for a person to judge:
//   frames/race_frame_grid.tga     the starting grid seen from ahead;
//   frames/race_frame_props.tga    the player's truck driving through a prop;
//   frames/race_frame_shadows.tga  the chase view with shadows, the
//                                  reflection cube, grass and trees.
#include "app/race_tick.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "render/billboards.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_pass_timers.h"
#include "render/race_projection.h"
#include "render/race_view.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_resources_suite.h"
#include "tests/support/race_scene.h"
#include "ui/race_hud.h"
#include "world/city_object.h"
#include "world/player.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRace = 1;
constexpr int kNormalShadowMap = 1024;  // texels a side at the normal shadow detail

class RaceFramePictures : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    gResolutionIndex = 0;
    gAntiAliasing = 0;
    gSoftParticles = 0;
    gMotionBlur = 0;
    gSightDistance = kSightDistances[0];
    gShadowMapSize = kNormalShadowMap;
    gReflectionMode = 2;  // every face every frame
    GlResourcesSuite::SetUpTestSuite();
    worldLoaded_ = GlWindow::Get() && LoadDrawnWorld(kRace);
  }
  static void TearDownTestSuite() {
    if (worldLoaded_) FreeDrawnWorld();
    gShadowMapSize = kShadowMapSizeOff;
    GlResourcesSuite::TearDownTestSuite();
  }
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(worldLoaded_);
    scene_ = std::make_unique<RaceScene>(kRace);
    ASSERT_TRUE(scene_->loaded);
    ASSERT_TRUE(LoadDrawnTrucks());
    gScreen = ScreenState::Racing;
    gTargetScreen = ScreenState::Racing;
  }
  void TearDown() override {
    scene_.reset();
    gScreen = ScreenState::Splash;
    gTargetScreen = ScreenState::Splash;
  }

  static void Ticks(int count) {
    for (int i = 0; i < count; ++i) RunRaceTick(kSceneFrameSeconds);
  }
  // The race frame of the last published step, on the window.
  static void DrawFrame() {
    gSimBit = gRenderBit ? 0 : 1;
    RenderRaceFrame();
    DrawRaceHud();
    for (const RacePassRecord& pass : gRacePassRecords) EXPECT_EQ(pass.glError, 0u) << pass.name;
  }
  static void Dump(const char* name) {
    std::filesystem::create_directories("frames");
    EXPECT_TRUE(GlWindow::Get()->DumpFrame(std::string("frames/") + name));
  }
  // The window's RGB where a world point lands in the frame's view.
  static std::vector<int> ColourAt(const neV3& p) {
    GLdouble model[16], projection[16], x, y, z;
    const GLint viewport[4] = {0, 0, GlWindow::kWidth, GlWindow::kHeight};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(RaceFieldOfView(gRaceFrame.fovSpeed, gRaceFrame.fovBoost),
                   double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, gSightDistance);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(gCameraEye.x, gCameraEye.y, gCameraEye.z, gRaceLookAt.x, gRaceLookAt.y, gRaceLookAt.z, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glLoadIdentity();
    gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
    const std::vector<uint8_t> rgba = GlWindow::Get()->ReadPixels(int(x), int(y), 1, 1);
    return {rgba[0], rgba[1], rgba[2]};
  }
  // The opaque layer of the last frame, RGBA.
  static std::vector<uint8_t> OpaqueLayer() {
    std::vector<uint8_t> texels(size_t(GlWindow::kWidth) * GlWindow::kHeight * 4);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, gOpaqueTexture);
    glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  static bool worldLoaded_;
  std::unique_ptr<RaceScene> scene_;
};
bool RaceFramePictures::worldLoaded_ = false;

// The truck's forward axis on the ground.
neV3 Forward(const Racer& car) {
  const Matrix4 m = WorldMatrix(car.body->GetTransform());
  return SafeUnit(neMakeV3(m.m[0], 0, m.m[2]));
}

}  // namespace

TEST_F(RaceFramePictures, TheStartingGridShowsFourDistinctTrucks) {
  gStartHold = 1;
  Ticks(50);  // a second to settle on their wheels
  neV3 centre = neMakeV3(0, 0, 0);
  for (const Racer& car : gRacers) centre = centre + car.body->GetPos() * 0.25f;
  const neV3 forward = Forward(gRacers[0]), side = forward.Cross(neMakeV3(0, 1, 0));
  PublishCameraAt(centre + forward * 18.0f + side * 9.0f + neMakeV3(0, 5, 0), centre);
  DrawFrame();
  Dump("race_frame_grid.tga");
  std::vector<int> paint[kRacerCount];
  for (int slot = 0; slot < kRacerCount; ++slot)
    paint[slot] = ColourAt(gRacers[slot].body->GetPos() + neMakeV3(0, 0.4f, 0));
  for (int a = 0; a < kRacerCount; ++a)
    for (int b = a + 1; b < kRacerCount; ++b)
      EXPECT_GT(std::abs(paint[a][0] - paint[b][0]) + std::abs(paint[a][1] - paint[b][1]) +
                    std::abs(paint[a][2] - paint[b][2]),
                30)
          << "trucks " << a << " and " << b << " look alike";
}

TEST_F(RaceFramePictures, ThePlayersTruckDrivesThroughAProp) {
  // Of the props with bodies within 60 of the player's grid place (a truck
  // taken far from the path point it reached is put back on the track),
  // the one of most parts.
  Racer& player = gRacers[0];
  const CityObject* target = nullptr;
  for (int i = 0; i < gCityObjectCount; ++i) {
    const CityObject& prop = gCityObjects[i];
    if (prop.partBodies[0] && LengthV3(prop.restPosition - player.body->GetPos()) < 60.0f &&
        (!target || prop.partCount > target->partCount))
      target = &prop;
  }
  ASSERT_NE(target, nullptr) << "race 1 has props with bodies";
  // The truck 14 ahead of the prop's stand, running at it.
  const neV3 forward = Forward(player);
  player.body->SetPos(target->restPosition - forward * 14.0f + neMakeV3(0, 1.5f, 0));
  player.body->SetVelocity(forward * 15.0f);
  gStartHold = 0;
  scene_->Press(kControlAccelerate);
  int ticks = 0;
  while (!target->knocked[0] && ticks < 150) Ticks(1), ++ticks;
  Ticks(5);  // the prop on its way
  const neV3 at = player.body->GetPos(), side = forward.Cross(neMakeV3(0, 1, 0));
  PublishCameraAt(at + side * 16.0f - forward * 6.0f + neMakeV3(0, 5, 0), target->restPosition);
  DrawFrame();
  Dump("race_frame_props.tga");
  EXPECT_TRUE(target->awake);
  EXPECT_TRUE(target->knocked[0]) << "the truck hit it within three seconds";
}

TEST_F(RaceFramePictures, TheChaseViewShowsShadowsReflectionsGrassAndTrees) {
  gStartHold = 1;
  Ticks(5);
  DrawFrame();
  Dump("race_frame_shadows.tga");
  const std::vector<uint8_t> shaded = OpaqueLayer();
  gShadowMapSize = kShadowMapSizeOff;
  DrawFrame();
  gShadowMapSize = kNormalShadowMap;
  const std::vector<uint8_t> unshaded = OpaqueLayer();
  int darker = 0;
  for (size_t i = 1; i < shaded.size(); i += 4) darker += shaded[i] + 30 < unshaded[i];
  EXPECT_GT(darker, 200) << "the fences' shadows on the ground";
  Vector3 sway[kGrassKindCount] = {};
  std::vector<BillboardVertex> grass, trees;
  BuildGrassStream(gRaceFrame.visibleNodes, gQuadTreeLeaves, gRaceFrame.leafDistSq, gSightDistance, sway, grass);
  float colour[3] = {1, 1, 1};
  BuildTreeStream(0, gRaceFrame.visibleNodes, gQuadTreeLeaves, gRaceFrame.leafDistSq, gSightDistance, colour, trees);
  EXPECT_GT(grass.size(), 400u) << "grass in view";
  EXPECT_GT(trees.size(), 40u) << "trees in view";
}
