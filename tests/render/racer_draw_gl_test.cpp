// Lamp flares, wheel dust, props and the racer passes drawn in a real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/model.h"
#include "render/car_lights.h"
#include "render/gl_resources.h"
#include "render/prop_draw.h"
#include "render/racer_draw.h"
#include "render/shaders.h"
#include "render/tyre_tracks.h"
#include "tests/support/gl_window.h"
#include "tests/support/quad_model.h"

namespace {

// Greatest red and green over the window.
struct Ink {
  int red = 0, green = 0;
};
Ink BrightestInk(GlWindow* window) {
  const std::vector<uint8_t> pixels = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  Ink ink;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    ink.red = std::max<int>(ink.red, pixels[i]);
    ink.green = std::max<int>(ink.green, pixels[i + 1]);
  }
  return ink;
}

void BeginScene(GlWindow* window, const neV3& eye, const neV3& target) {
  window->MakeMainCurrent();
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, 500.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0, 1, 0);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

// A truck record with a head lamp ahead and a tail lamp behind (brake and
// reversing lamps unlit), facing +x at the origin.
void PlaceLamps(CSampleCar& car) {
  car.lampPoints[0] = neMakeV3(3.0f, 0.5f, 0.8f);
  car.lampPoints[1] = neMakeV3(-3.0f, 0.5f, 0.8f);
  car.lampPoints[2] = neMakeV3(-3.0f, 1.0f, 0.8f);
  car.lampPoints[3] = neMakeV3(-3.0f, 1.5f, 0.8f);
  car.brakeLight = car.reverseLight = 0.0f;
}

Model* QuadModel(float half) {
  const std::vector<uint8_t> bytes = EncodeMs3d(QuadModelFile(-half, -half, half, half));
  auto* model = new MilkshapeModel;
  model->LoadFromBytes(bytes.data(), bytes.size());
  model->BuildTangentSpace();
  return model;
}

}  // namespace

TEST(CarLightsDrawing, HeadLampGlowsAheadOfTheTruckAndNotBehindIt) {
  REQUIRE_GL_WINDOW(window);
  CSampleCar car;
  PlaceLamps(car);
  const Matrix4 atOrigin;

  BeginScene(window, neMakeV3(25, 1, 0), neMakeV3(0, 0.5f, 0));
  DrawCarLights(neMakeV3(25, 1, 0), atOrigin, car);
  const Ink ahead = BrightestInk(window);
  EXPECT_GT(ahead.green, 20) << "the yellowish head lamp";

  BeginScene(window, neMakeV3(-25, 1, 0), neMakeV3(0, 0.5f, 0));
  DrawCarLights(neMakeV3(-25, 1, 0), atOrigin, car);
  const Ink behind = BrightestInk(window);
  EXPECT_GT(behind.red, 20) << "the red tail lamp";
  EXPECT_EQ(behind.green, 0) << "no head lamp from behind, no white reversing lamp while unlit";

  car.reverseLight = 1.0f;
  BeginScene(window, neMakeV3(-25, 1, 0), neMakeV3(0, 0.5f, 0));
  DrawCarLights(neMakeV3(-25, 1, 0), atOrigin, car);
  EXPECT_GT(BrightestInk(window).green, 20) << "the reversing lamp once lit";
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST(CarLightsDrawing, EveryLampGlowsOnBothSidesOfTheTruck) {
  REQUIRE_GL_WINDOW(window);
  CSampleCar car;
  PlaceLamps(car);
  BeginScene(window, neMakeV3(25, 1, 0), neMakeV3(0, 0.5f, 0));
  DrawCarLights(neMakeV3(25, 1, 0), Matrix4(), car);
  // Seen from ahead the truck's +z side is on the left of the picture.
  const std::vector<uint8_t> pixels = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  int left = 0, right = 0;
  for (int y = 0; y < GlWindow::kHeight; ++y)
    for (int x = 0; x < GlWindow::kWidth; ++x)
      if (pixels[(size_t(y) * GlWindow::kWidth + x) * 4 + 1] > 10) (x < GlWindow::kWidth / 2 ? left : right)++;
  EXPECT_GT(left, 50);
  EXPECT_GT(right, 50);
}

TEST(WheelDustDrawing, DrawsLiveParticlesAndRetiresThemAtTheEndOfTheirLife) {
  REQUIRE_GL_WINDOW(window);
  static WheelParticle dust[kRacerCount][kWheelCount][kDustRingSize];
  dust[1][2][7] = {neMakeV3(0, 0, 0), neMakeV3(0, 0, 0), 0.9f, 1};
  dust[3][0][0] = {neMakeV3(0, 0, 0), neMakeV3(0, 0, 0), 0.2f, 0};

  BeginScene(window, neMakeV3(0, 0, 20), neMakeV3(0, 0, 0));
  DrawWheelDust(dust, neMakeV3(0, 0, 20), 0.0f);
  EXPECT_NEAR(BrightestInk(window).red, 255 * 0.1, 3) << "age 0.9: alpha 0.1 over black";
  EXPECT_FLOAT_EQ(dust[1][2][7].age, 0.9f) << "a stalled frame ages nothing";

  DrawWheelDust(dust, neMakeV3(0, 0, 20), 40.0f);
  EXPECT_EQ(dust[1][2][7].alive, 0) << "0.4 s more ends its life";
  EXPECT_EQ(dust[3][0][0].age, 0.2f) << "a dead particle stays as it was";

  BeginScene(window, neMakeV3(0, 0, 20), neMakeV3(0, 0, 0));
  DrawWheelDust(dust, neMakeV3(0, 0, 20), 1.0f);
  EXPECT_EQ(BrightestInk(window).red, 0);
}

class PropDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = GlWindow::Get();
    if (window_ == nullptr) GTEST_SKIP() << "no display for a GL window";
    ASSERT_TRUE(BuildShaderPrograms());
    part_ = QuadModel(1.0f);
    leaves_ = new QuadTreeList[kQuadTreeLeafCount];
    gQuadTreeLeaves = leaves_;
  }
  void TearDown() override {
    if (window_ == nullptr) return;
    gQuadTreeLeaves = nullptr;
    delete[] leaves_;
    delete part_;
    gCityObjectCount = 0;
  }
  // Prop i of type 0 with one part, at x = x on the ground plane facing the camera.
  void PlaceProp(int i, float x, uint8_t awake, float playerDistSq) {
    gCityObjects[i].type = 0;
    gCityObjects[i].partCount = 1;
    gCityObjects[i].awake = awake;
    gCityObjects[i].playerDistSq = playerDistSq;
    matrices_[i][0].LoadIdentity();
    matrices_[i][0].m[12] = x;
  }
  bool LitAt(float x) {
    const int px = int((x + 10.0f) / 20.0f * GlWindow::kWidth);
    return window_->ReadPixels(px, GlWindow::kHeight / 2, 1, 1)[0] > 128;
  }

  GlWindow* window_ = nullptr;
  Model* part_ = nullptr;
  QuadTreeList* leaves_ = nullptr;
  Matrix4 matrices_[kCityObjectCapacity][kMaxPropParts];
};

TEST_F(PropDrawing, RestingPropsOfVisibleLeavesNearThePlayerAndEveryAwakePropAreDrawn) {
  PlaceProp(0, -6, 0, 100.0f);     // resting, near, in the visible leaf
  PlaceProp(1, -2, 0, 40000.0f);   // resting, exactly 200 away
  PlaceProp(2, 2, 1, 90000.0f);    // awake, in no visible leaf, far away
  PlaceProp(3, 6, 0, 100.0f);      // resting, near, in a leaf out of sight
  gCityObjectCount = 4;
  leaves_[3].objectIdx = new int32_t[3]{0, 1, 9};  // 9: no such prop in this race
  leaves_[3].objectCount = 3;
  leaves_[4].objectIdx = new int32_t[1]{3};
  leaves_[4].objectCount = 1;
  NodeList visible;
  visible.leaf[0] = 3;
  visible.count = 1;
  TakePropStates(1.0f);

  window_->MakeMainCurrent();
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -10, 10, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  Model* const models[1][kMaxPropParts] = {{part_}};
  DrawWorldObjects({&visible, matrices_, models, 1});

  EXPECT_TRUE(LitAt(-6));
  EXPECT_FALSE(LitAt(-2)) << "200 units from the player";
  EXPECT_TRUE(LitAt(2)) << "awake props are drawn wherever they are";
  EXPECT_FALSE(LitAt(6)) << "its leaf is out of sight";
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
  EXPECT_EQ(unit, GL_TEXTURE0_ARB);
}

TEST(RacerDrawingPasses, APassOtherThan0To2ChangesNothing) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  while (glGetError() != GL_NO_ERROR) {
  }
  const float spin = gSpinAngle;
  RacersView view;
  CSampleCar car;
  view.racers[0].car = &car;
  view.racers[0].visible = 1;
  view.frameFactor = 5.0f;
  for (int pass : {-1, 3, 7}) DrawRacersFrom(pass, view);
  EXPECT_EQ(gSpinAngle, spin);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
