// The sun flare's occlusion estimate and picture, the blob shadows and the
// markers, in a real window.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/globals.h"
#include "framework/texture.h"
#include "render/aux_draws.h"
#include "render/race_camera.h"
#include "tests/framework/gl_test_helpers.h"
#include "world/race_path.h"

namespace {

constexpr int kW = GlWindow::kWidth, kH = GlWindow::kHeight;

class AuxDraws : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = GlWindow::Get();
    if (window_ == nullptr) GTEST_SKIP() << "no display for a GL window";
    window_->MakeMainCurrent();
    glViewport(0, 0, kW, kH);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
  }

  // A camera at the origin looking along `look` (the sun is up and to +x).
  static void LookFromOrigin(float x, float y, float z) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kW) / kH, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 0, x, y, z, 0, 0, 1);
  }
  static void LookAtSun() { LookFromOrigin(kSunPoint[0], kSunPoint[1], kSunPoint[2]); }

  GlWindow* window_ = nullptr;
};

}  // namespace

TEST_F(AuxDraws, AnOpenSunIsFullyVisibleAtTheCentreOfThePicture) {
  LookAtSun();
  float x = 0, y = 0;
  EXPECT_NEAR(SunFlareVisibility(&x, &y), 1.0f, 1e-4f);
  EXPECT_NEAR(x, kW / 2.0f, 1.0f);
  EXPECT_NEAR(y, kH / 2.0f, 1.0f);
}

TEST_F(AuxDraws, ASunHalfCoveredBelowItsPointIsAboutHalfVisible) {
  LookAtSun();
  glEnable(GL_SCISSOR_TEST);  // near depth under the sun's row: ground in front of it
  glScissor(0, 0, kW, kH / 2 - 1);
  glClearDepth(0.0);
  glClear(GL_DEPTH_BUFFER_BIT);
  glClearDepth(1.0);
  glDisable(GL_SCISSOR_TEST);
  float x = 0, y = 0;
  EXPECT_NEAR(SunFlareVisibility(&x, &y), 45.0f / 81.0f, 1e-4f);  // rows -4..-1 of the grid covered
}

TEST_F(AuxDraws, AHiddenSunGivesNoFlare) {
  struct Case {
    const char* name;
    float look[3];
    bool coverAll;
  };
  const Case cases[] = {
      {"behind the viewer", {-kSunPoint[0], -kSunPoint[1], 0}, false},
      {"off to the side", {kSunPoint[0], -kSunPoint[1], 0}, false},
      {"covered at its point", {kSunPoint[0], kSunPoint[1], kSunPoint[2]}, true},
  };
  for (const Case& c : cases) {
    SetUp();
    LookFromOrigin(c.look[0], c.look[1], c.look[2]);
    if (c.coverAll) {
      glClearDepth(0.0);
      glClear(GL_DEPTH_BUFFER_BIT);
      glClearDepth(1.0);
    }
    float x = 0, y = 0;
    EXPECT_EQ(SunFlareVisibility(&x, &y), 0.0f) << c.name;
    const std::vector<uint8_t> before = window_->ReadPixels(0, 0, kW, kH);
    DrawSunFlare();
    EXPECT_EQ(window_->ReadPixels(0, 0, kW, kH), before) << c.name;
  }
}

TEST_F(AuxDraws, AVisibleSunFlaresAroundItsPointAndRestoresTheState) {
  LookAtSun();
  const uint8_t background[3] = {51, 76, 102};
  DrawSunFlare();
  const std::vector<int> centre = PixelAt(window_, kW / 2, kH / 2);
  EXPECT_GT(centre[0], 200);
  EXPECT_GT(centre[1], 200);
  EXPECT_FALSE(InkBox(window_, background).Empty());
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
}

TEST_F(AuxDraws, BlobShadowDarkensTheGroundUnderTheTruckOnly) {
  // The shadow image: mid grey, so the ground under it halves.
  Texture& shadow = gTextures[44];
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  const std::vector<uint8_t> grey(4 * 4 * 3, 128);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, grey.data());
  shadow.glId = name;
  // From straight above: world x to the right, world z down the picture.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -7.5, 7.5, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  BlobShadowCaster truck{};
  truck.rearX = kRacerBlobRearX;
  truck.frontX = kRacerBlobFrontX;
  truck.halfWidth = kRacerBlobHalfWidth;

  DrawBlobShadowsFrom(&truck, 1);

  EXPECT_NEAR(PixelAt(window_, kW / 2, kH / 2)[0], 128, 3);
  EXPECT_EQ(PixelAt(window_, kW / 2 + kW * 5 / 20, kH / 2)[0], 255);  // 5 ahead of the front edge
  const uint8_t white[3] = {255, 255, 255};
  const PixelBox box = InkBox(window_, white);
  EXPECT_NEAR(box.x1 - box.x0, 8.6f * kW / 20, 3);
  EXPECT_NEAR(box.y1 - box.y0, 4.1f * kH / 15, 3);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  shadow.Release();
}

TEST_F(AuxDraws, EveryCatalogueTruckHasALampTableRow) {
  for (int truck = 0; truck < kCatalogueSize; ++truck) {
    const int row = LampTableRow(truck);
    EXPECT_GE(row, 0);
    EXPECT_LT(row, 6);
  }
  EXPECT_EQ(LampTableRow(3), 3);  // the first six keep their own rows
}

TEST_F(AuxDraws, MarkersStandWhereTheirPointsAre) {
  // From straight above the ground, 20 x 15 units in view.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -7.5, 7.5, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0);
  const uint8_t background[3] = {51, 76, 102};
  auto windowX = [](float x) { return int((x + 10) / 20 * kW); };
  auto windowY = [](float z) { return int((7.5f - z) / 15 * kH); };

  gRacePathLast = 1;
  gRacePath[0].position = neMakeV3(-5, 0, 2);
  gRacePath[1].position = neMakeV3(6, 0, -3);
  DrawWaypointSpheres();
  for (int i = 0; i <= 1; ++i) {
    const neV3 p = gRacePath[i].position;
    const std::vector<int> at = PixelAt(window_, windowX(p.x), windowY(p.z));
    EXPECT_NE(at, std::vector<int>(background, background + 3)) << "waypoint " << i;
  }
  EXPECT_EQ(PixelAt(window_, windowX(0), windowY(0)), std::vector<int>(background, background + 3));

  glLoadIdentity();  // the sun, seen along -z from its side
  glTranslatef(-kSunPoint[0], -kSunPoint[1] - 4, 0);
  DrawSunMarker();
  const std::vector<int> sun = PixelAt(window_, kW / 2, kH / 2);
  EXPECT_EQ(sun, (std::vector<int>{255, 255, 128}));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(RouteSigns, StandBesideTheWayOnAndTheLastPointTurnsToTheFirst) {
  const Waypoint path[3] = {{neMakeV3(0, 0, 0), kWaypointMarkerA},
                            {neMakeV3(10, 0, 0), kWaypointPlain},
                            {neMakeV3(10, 0, 10), kWaypointCheckpointMarkerB}};
  // Along +x the first kind stands to the right (+z), 4 up, turned round;
  // the last point's way runs back to point 0, the second kind to its left.
  const float aside = 11.5f / std::sqrt(2.0f);
  const RouteSign first = RouteSignAt(path, 2, 0), last = RouteSignAt(path, 2, 2);
  EXPECT_LT((first.position - neMakeV3(0, 4, 11.5f)).Length(), 1e-4f);
  EXPECT_LT((last.position - neMakeV3(10 - aside, 4, 10 + aside)).Length(), 1e-3f);
  EXPECT_NEAR(first.degrees, -180, 1e-3f);
  EXPECT_NEAR(last.degrees, 135 - 180, 1e-2f);
}

TEST_F(AuxDraws, BeaconStandsOverTheNextCheckpointAndSignsBesideMarkedPoints) {
  // From the side along -z, 20 x 15 units in view; the pulse rests (size
  // 1.1, signs (1, 0.625, 0.5)).
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -7.5, 7.5, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gCameraEye = neMakeV3(0, 0, 500);
  gFrameFactor = 0;
  auto pixel = [this](float x, float y) {
    return PixelAt(window_, int((x + 10) / 20 * kW), int((y + 7.5f) / 15 * kH));
  };
  const std::vector<int> background = pixel(0, 0), beacon = {255, 255, 255}, sign = {255, 159, 128};
  gRacePathLast = 1;
  gRacePath[0] = {neMakeV3(-5, -2, 0), kWaypointMarkerA};
  gRacePath[1] = {neMakeV3(5, -2, 0), kWaypointCheckpoint};
  for (int next : {1, 2}) {  // 2 lies past the path: nothing is drawn
    gRacers[0].nextCheckpoint = next;
    glClear(GL_COLOR_BUFFER_BIT);
    DrawCheckpointMarker();
    EXPECT_EQ(pixel(5, 2.5f), next == 1 ? beacon : background) << "the beacon";
    EXPECT_EQ(pixel(-5, 2), next == 1 ? sign : background) << "the sign";
  }
  gRacers[0].nextCheckpoint = 0;
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}
