// Race frames of the generated world in a real window at resolution 0 with
// light settings (no anti-aliasing, shadows, soft particles or motion
// blur), from what a race tick would publish: a camera behind the player
// on race 1's path and the leaves around it. The passes leave no GL error
// and the window's framebuffer and viewport; the opaque layer is opaque on
// the ground and clear in the sky; the picture has sky above and ground
// below with the road ahead; motion blur, soft particles and anti-aliasing,
// each switched on, show what they promise. Writes frames/race_start.tga
// (race 1's start line) and frames/race_mid_track.tga (half-way round).
#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_pass_timers.h"
#include "render/race_view.h"
#include "render/world_scene.h"
#include "tests/support/drawn_world.h"
#include "tests/support/gl_resources_suite.h"
#include "tests/support/gl_window.h"
#include "ui/race_hud.h"
#include "world/quadtree.h"
#include "world/race_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRace = 1;
// The light settings of a slow machine, at resolution 0.
void UseLightSettings() {
  gResolutionIndex = 0;
  gScreenWidth = GlWindow::kWidth;
  gScreenHeight = GlWindow::kHeight;
  gAntiAliasing = 0;
  gShadowMapSize = kShadowMapSizeOff;
  gSoftParticles = 0;
  gMotionBlur = 0;
  gSightDistance = 310.0f;
}

void DrawRaceFrame() {
  gSimBit = gRenderBit ? 0 : 1;  // a step was published
  RenderRaceFrame();
  DrawRaceHud();
}

// The RGBA texels of a window-size rectangle texture, rows bottom-up.
std::vector<uint8_t> ReadLayer(GLuint texture) {
  std::vector<uint8_t> texels(size_t(GlWindow::kWidth) * GlWindow::kHeight * 4);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture);
  glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

// Share of the pixels of window rows y0..y1 (bottom-up) that pass.
template <typename Test>
float ShareOfRows(const std::vector<uint8_t>& rgba, int y0, int y1, Test test) {
  int passed = 0, total = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < GlWindow::kWidth; ++x, ++total) passed += test(&rgba[(size_t(y) * GlWindow::kWidth + x) * 4]);
  return float(passed) / float(total);
}

// Mean colour difference of two window-size layers over x0..x1, y0..y1 (bottom-up).
double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x0, int x1, int y0, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      for (size_t i = (size_t(y) * GlWindow::kWidth + x) * 4, c = 0; c < 3; ++c) sum += std::abs(a[i + c] - b[i + c]);
  return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

// Ground colours: grass green, or earth and road (red over green over blue).
bool Ground(const uint8_t* p) { return (p[1] > p[0] + 8 && p[1] > p[2] + 8) || (p[0] >= p[1] && p[1] >= p[2] && p[0] > 50 && p[0] > p[2] + 20); }
bool Road(const uint8_t* p) { return p[0] > p[1] && p[1] > p[2] && p[0] > p[2] + 30; }

std::string FramePath(const char* name) {
  std::filesystem::create_directories("frames");
  return std::string("frames/") + name;
}

class RaceFrameGl : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    UseLightSettings();
    GlResourcesSuite::SetUpTestSuite();
    window_ = GlWindow::Get();
    worldLoaded_ = window_ && LoadDrawnWorld(kRace);
  }
  static void TearDownTestSuite() {
    if (worldLoaded_) FreeDrawnWorld();
    gScreen = ScreenState::Splash;
    gTargetScreen = ScreenState::Splash;
    GlResourcesSuite::TearDownTestSuite();
  }
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(worldLoaded_) << "the world did not load";
    gScreen = ScreenState::Racing;
    gTargetScreen = ScreenState::Racing;
    // Only what this race publishes, whatever an earlier suite's race left:
    // no widened view and no exhaust running.
    gRaceViewCopies.fovSpeed = gRaceViewCopies.fovBoost = 0.0f;
    for (ParticleEffect& exhaust : gFirePipeEffects) exhaust.enabled = 0;
    for (ParticleEffect& exhaust : gSmokePipeEffects) exhaust.enabled = 0;
    PublishPlayerAt(0);
  }

  static GlWindow* window_;
  static bool worldLoaded_;
};
GlWindow* RaceFrameGl::window_ = nullptr;
bool RaceFrameGl::worldLoaded_ = false;

}  // namespace

TEST_F(RaceFrameGl, EveryPassLeavesNoGlErrorAndTheWindowFramebufferAndViewport) {
  DrawRaceFrame();
  for (const RacePassRecord& pass : gRacePassRecords) EXPECT_EQ(pass.glError, 0u) << pass.name;
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the HUD";
  GLint framebuffer = -1, viewport[4] = {};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(framebuffer, 0);
  EXPECT_EQ(viewport[2], GlWindow::kWidth);
  EXPECT_EQ(viewport[3], GlWindow::kHeight);
  EXPECT_EQ(gResolveCount, 0) << "no multisample resolve without anti-aliasing";
}

TEST_F(RaceFrameGl, TheOpaqueLayerIsOpaqueOnTheGroundAndClearInTheSky) {
  DrawRaceFrame();
  const std::vector<uint8_t> opaque = ReadLayer(gOpaqueTexture);
  EXPECT_GT(ShareOfRows(opaque, 0, 100, [](const uint8_t* p) { return p[3] == 255; }), 0.99f) << "the ground";
  EXPECT_GT(ShareOfRows(opaque, GlWindow::kHeight - 60, GlWindow::kHeight, [](const uint8_t* p) { return p[3] == 0; }),
            0.99f)
      << "the sky";
}

TEST_F(RaceFrameGl, TheLandscapePairsAreBoundOncePerPairChange) {
  DrawRaceFrame();
  const int first = gLandscapeBindCount;
  EXPECT_GE(first, 1) << "the first textured group of a frame always binds";
  DrawRaceFrame();
  EXPECT_EQ(gLandscapeBindCount, first) << "the same binds every frame, not once per leaf";
}

TEST_F(RaceFrameGl, TheStartLineHasSkyAboveGroundBelowAndTheRoadAhead) {
  DrawRaceFrame();
  EXPECT_TRUE(window_->DumpFrame(FramePath("race_start.tga")));
  // The scene under the HUD, whose gauges and minimap cover the bottom corners.
  const std::vector<uint8_t> picture = ReadLayer(gSceneTexture);
  EXPECT_LT(ShareOfRows(picture, GlWindow::kHeight - 60, GlWindow::kHeight, Ground), 0.02f) << "sky at the top";
  EXPECT_GT(ShareOfRows(picture, 0, 60, Ground), 0.9f) << "ground at the bottom";
}

TEST_F(RaceFrameGl, HalfWayRoundTheTrackTheRoadLeadsOn) {
  PublishPlayerAt(gRacePathLast / 2);
  DrawRaceFrame();
  EXPECT_TRUE(window_->DumpFrame(FramePath("race_mid_track.tga")));
  for (const RacePassRecord& pass : gRacePassRecords) EXPECT_EQ(pass.glError, 0u) << pass.name;
  const std::vector<uint8_t> picture = window_->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  EXPECT_GT(ShareOfRows(picture, 0, 40, Road), 0.3f) << "the road under the camera";
}

TEST_F(RaceFrameGl, MotionBlurSoftParticlesAndAntiAliasingShowWhatThePlayerChose) {
  constexpr int kW = GlWindow::kWidth, kH = GlWindow::kHeight;
  DrawRaceFrame();
  const std::vector<uint8_t> plain = ReadLayer(gSceneTexture);
  // At full speed the blurred composite keeps the middle and smears the sides.
  gMotionBlur = 1;
  gRaceViewCopies.fovSpeed = 1.0f;
  DrawRaceFrame();
  const std::vector<uint8_t> blurred = ReadLayer(gPrevSceneTexture), scene = ReadLayer(gSceneTexture);
  const double middle = MeanDifference(blurred, scene, kW * 2 / 5, kW * 3 / 5, kH * 2 / 5, kH * 3 / 5);
  EXPECT_GT(MeanDifference(blurred, scene, 0, kW / 10, kH / 4, kH * 3 / 4), 2.0 * middle + 1.0);
  gMotionBlur = 0;
  gRaceViewCopies.fovSpeed = 0.0f;
  // Dust ahead of the camera is drawn into the soft layer and shows.
  gSoftParticles = 1;
  for (int k = 0; k < kDustRingSize; ++k)
    gRaceFrame.dust[0][0][k] = {gRacePath[0].position + neMakeV3(k % 10 * 0.4f - 2, 1, k / 10 * 0.4f - 2), {}, 0.3f, 1};
  DrawRaceFrame();
  EXPECT_GT(ShareOfRows(ReadLayer(gSmokeTexture), 0, kH, [](const uint8_t* p) { return p[3] > 20; }), 0.005f);
  EXPECT_GT(MeanDifference(ReadLayer(gSceneTexture), plain, kW / 3, kW * 2 / 3, kH / 4, kH / 2), 2.0);
  gSoftParticles = 0;
  // Anti-aliased: three resolves, no GL error, the plain picture but for its edges (then back).
  for (int antiAliasing : {4, 0}) {
    FreeDrawnWorld();
    ReleaseGLResources();
    gAntiAliasing = antiAliasing;
    ASSERT_EQ(InitGLResourcesIn(window_), GLResourcesResult::Ready);
    ASSERT_TRUE(LoadDrawnWorld(kRace));
    PublishPlayerAt(0);
    if (antiAliasing == 0) break;
    DrawRaceFrame();
    for (const RacePassRecord& pass : gRacePassRecords) EXPECT_EQ(pass.glError, 0u) << pass.name;
    EXPECT_EQ(gResolveCount, 3);
    EXPECT_LT(MeanDifference(ReadLayer(gSceneTexture), plain, 0, kW, 0, kH), 2.0);
  }
}
