// Lamp flares, wheel dust, props and the racer passes drawn in a real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "framework/model.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "render/car_lights.h"
#include "render/gl_resources.h"
#include "render/prop_draw.h"
#include "render/race_view.h"
#include "render/racer_draw.h"
#include "render/shaders.h"
#include "render/tyre_tracks.h"
#include "tests/support/gl_resources_suite.h"
#include "tests/support/quad_model.h"
#include "tests/support/race_scene.h"
#include "render/model_draw_lists.h"
#include "world/catalogue.h"
#include "world/loaders.h"
#include "world/player.h"
#include "world/prop_models.h"
#include "world/racer_models.h"
#include "world/race_state.h"

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
void PlaceLamps(RacerLook& car) {
  car.layout.lampPoints[0] = neMakeV3(3.0f, 0.5f, 0.8f);
  car.layout.lampPoints[1] = neMakeV3(-3.0f, 0.5f, 0.8f);
  car.layout.lampPoints[2] = neMakeV3(-3.0f, 1.0f, 0.8f);
  car.layout.lampPoints[3] = neMakeV3(-3.0f, 1.5f, 0.8f);
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
  RacerLook car;
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
  const GLboolean culling = glIsEnabled(GL_CULL_FACE), blending = glIsEnabled(GL_BLEND);
  DrawCarLights(neMakeV3(-25, 1, 0), atOrigin, car);
  EXPECT_GT(BrightestInk(window).green, 20) << "the reversing lamp once lit";
  EXPECT_EQ(glIsEnabled(GL_CULL_FACE), culling) << "culling and blending as the flares found them";
  EXPECT_EQ(glIsEnabled(GL_BLEND), blending);
}

TEST(CarLightsDrawing, EveryLampGlowsOnBothSidesOfTheTruck) {
  REQUIRE_GL_WINDOW(window);
  RacerLook car;
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

TEST(CarLightsDrawing, ATrafficCarsHeadLampsGlowAheadOnlyWhenLit) {
  REQUIRE_GL_WINDOW(window);
  InitCarTables();
  const neV3 ahead = neMakeV3(30, 1, 0), origin = neMakeV3(0, 0.5f, 0);
  for (float head : {0.0f, 1.0f}) {
    const float levels[3] = {head, 0, 0};
    BeginScene(window, ahead, origin);
    DrawCarLights(ahead, Matrix4(), 0, levels);
    EXPECT_EQ(BrightestInk(window).green > 20, head > 0) << "tail lamps face away, side lamps unlit";
  }
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
  RacerLook look;
  view.racers[0].look = &look;
  view.racers[0].visible = 1;
  view.frameFactor = 5.0f;
  for (int pass : {-1, 3, 7}) DrawRacersFrom(pass, view);
  EXPECT_EQ(gSpinAngle, spin);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// A truck of the catalogue as its racer slot holds it, read from base/cars/<n>/.
struct LoadedTruck {
  std::unique_ptr<MilkshapeModel> car, glass, optics, wheel, points;
};

std::unique_ptr<MilkshapeModel> ReadTruckModel(const std::string& folder, const char* file, bool drawn) {
  auto model = std::make_unique<MilkshapeModel>();
  if (!model->LoadFromFile((folder + file).c_str())) return nullptr;
  if (drawn) {
    model->LoadMaterialTextures(folder.c_str());
    model->BuildTangentSpace();
  }
  return model;
}

bool LoadTruck(int catalogueIndex, LoadedTruck& truck) {
  const std::string folder = "base/cars/" + std::to_string(catalogueIndex) + "/";
  truck.car = ReadTruckModel(folder, "car.sbm", true);
  truck.glass = ReadTruckModel(folder, "glass_car.sbm", true);
  truck.optics = ReadTruckModel(folder, "optika.sbm", true);
  truck.wheel = ReadTruckModel(folder, "wheel.sbm", true);
  truck.points = ReadTruckModel(folder, "points.sbm", false);
  return truck.car && truck.glass && truck.optics && truck.wheel && truck.points;
}

class TruckScene : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    GlResourcesSuite::SetUpTestSuite();
    if (GlWindow::Get() == nullptr) return;
    LoadStartupModels();
    char path[64];
    for (int k : kSceneTextures) {
      std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
      gTextures[k].LoadFromTGA(path, kTexTrilinear);
    }
  }
  // The garage models came with the start-up models: a later reflection
  // cube or garage picture must not find them.
  static void TearDownTestSuite() {
    FreeGarageModels();
    GlResourcesSuite::TearDownTestSuite();
  }
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    window_ = GlWindow::Get();
    for (int slot = 0; slot < kRacerCount; ++slot)
      if (!LoadTruck(kGridTrucks[slot], trucks_[slot])) GTEST_SKIP() << "no truck models in base/cars";
  }

  // The view of the scene's racers as a race frame draws them.
  RacersView ViewOf(const neV3& eye) {
    RacersView view;
    view.eye = eye;
    view.frameFactor = kSceneFrameSeconds * 100.0f;
    view.tracks = &gTyreTracks;
    // Everything lit: the shadow coordinate's depth 0 passes any stored depth.
    for (float& v : view.shadowTextureMatrix.m) v = 0.0f;
    view.shadowTextureMatrix.m[15] = 1.0f;
    for (int slot = 0; slot < kRacerCount; ++slot) {
      Racer& car = gRacers[slot];
      const LoadedTruck& truck = trucks_[slot];
      car.carKind = kGridTrucks[slot];
      TakeCarMarkers(car, *truck.points);
      TakeRacerLook(slot, looks_[slot]);
      RacerDrawInput& in = view.racers[slot];
      in.look = &looks_[slot];
      in.models = {truck.car.get(), truck.glass.get(), truck.optics.get(), truck.wheel.get(), truck.points.get()};
      in.matrix = WorldMatrix(car.body->GetTransform());
      in.visible = 1;
      for (int w = 0; w < kWheelCount; ++w) {
        in.wheelDrop[w] = car.suspension[w];
        in.wheelRoll[w] = car.wheelRoll[w];
        in.trackHead[w] = car.trackHead[w];
      }
    }
    return view;
  }

  // Camera, sun and the three racer passes over a plain ground.
  void DrawFrame(const RacersView& view, const neV3& target, bool orthographicSide) {
    glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
    glClearColor(orthographicSide ? 0.0f : 0.55f, orthographicSide ? 0.0f : 0.7f, orthographicSide ? 0.0f : 0.9f, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographicSide)
      glOrtho(-15, 15, -15.0 * GlWindow::kHeight / GlWindow::kWidth, 15.0 * GlWindow::kHeight / GlWindow::kWidth, 1, 200);
    else
      gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(view.eye.x, view.eye.y, view.eye.z, target.x, target.y, target.z, 0, 1, 0);
    const GLfloat sun[4] = {25000, 50000, 25000, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    if (!orthographicSide) DrawGround(target);
    DrawRacersFrom(kRacerPassOpaque, view);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawRacersFrom(kRacerPassGlass, view);
    glDisable(GL_BLEND);
    DrawRacersFrom(kRacerPassBlended, view);
  }

  static void DrawGround(const neV3& around) {
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.35f, 0.32f, 0.28f);
    glBegin(GL_QUADS);
    glVertex3f(around.x - 200, 0, around.z - 200);
    glVertex3f(around.x - 200, 0, around.z + 200);
    glVertex3f(around.x + 200, 0, around.z + 200);
    glVertex3f(around.x + 200, 0, around.z - 200);
    glEnd();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
  }

  static constexpr int kGridTrucks[kRacerCount] = {0, 7, 14, 3};
  // Tail glow, props, flares, tyre tracks with their normal map, exhaust smoke, dust, fire.
  static constexpr int kSceneTextures[] = {9, 14, 21, 30, 45, 46, 52, 54, 55};
  GlWindow* window_ = nullptr;
  LoadedTruck trucks_[kRacerCount];
  RacerLook looks_[kRacerCount];
};

neV3 WindowPoint(const neV3& world) {
  GLdouble model[16], projection[16], x, y, z;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluProject(world.x, world.y, world.z, model, projection, viewport, &x, &y, &z);
  return neMakeV3(float(x), float(y), float(z));
}

}  // namespace

TEST_F(TruckScene, StartingGridShowsFourDistinctTrucksWithWheelsOnTheGround) {
  RaceScene scene;
  gStartHold = 1;     // waiting for the start
  scene.Frames(100);  // two seconds to settle on their wheels
  neV3 centre = neMakeV3(0, 0, 0);
  for (const Racer& car : gRacers) centre = centre + car.body->GetPos() * 0.25f;
  centre.y = 0.0f;

  // Side view at ground level: each truck's lowest pixels are its tyres on the ground.
  const RacersView side = ViewOf(centre + neMakeV3(0, 0, 60));
  DrawFrame(side, centre, true);
  const int groundRow = int(std::lround(WindowPoint(centre).y));
  const std::vector<uint8_t> sidePixels = window_->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  for (int slot = 0; slot < kRacerCount; ++slot) {
    const int x0 = int(WindowPoint(gRacers[slot].body->GetPos() - neMakeV3(2, 0, 0)).x);
    const int x1 = int(WindowPoint(gRacers[slot].body->GetPos() + neMakeV3(2, 0, 0)).x);
    int lowest = GlWindow::kHeight;
    for (int y = 0; y < GlWindow::kHeight && lowest == GlWindow::kHeight; ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, GlWindow::kWidth); ++x)
        if (sidePixels[(size_t(y) * GlWindow::kWidth + x) * 4 + 1] > 8) lowest = std::min(lowest, y);
    // 34 pixels to the unit: within 0.15 of the ground.
    EXPECT_NEAR(lowest, groundRow, 5) << "truck " << slot << "'s wheels meet the ground";
  }

  const neV3 eye = centre + neMakeV3(14, 7, 18);
  DrawFrame(ViewOf(eye), centre, false);
  EXPECT_TRUE(window_->DumpFrame("frames/racers_grid.tga"));
  std::vector<int> paint[kRacerCount];
  for (int slot = 0; slot < kRacerCount; ++slot) {
    const neV3 p = WindowPoint(gRacers[slot].body->GetPos() + neMakeV3(0, 0.4f, 0));
    const std::vector<uint8_t> box = window_->ReadPixels(int(p.x) - 4, int(p.y) - 4, 9, 9);
    paint[slot].assign(3, 0);
    for (size_t i = 0; i < box.size(); i += 4)
      for (int c = 0; c < 3; ++c) paint[slot][c] += box[i + c] / 81;
  }
  for (int a = 0; a < kRacerCount; ++a)
    for (int b = a + 1; b < kRacerCount; ++b) {
      const int difference = std::abs(paint[a][0] - paint[b][0]) + std::abs(paint[a][1] - paint[b][1]) +
                             std::abs(paint[a][2] - paint[b][2]);
      EXPECT_GT(difference, 30) << "trucks " << a << " and " << b << " look alike";
    }
}

namespace {

// A track quad over x0..x1, y -1..1 in the z = 0 plane, fully opaque at both edges.
TyreTrackQuad TrackQuad(float x0, float x1) {
  TyreTrackQuad quad{};
  const float corners[4][3] = {{x0, 1, 0}, {x1, 1, 0}, {x1, -1, 0}, {x0, -1, 0}};
  for (int k = 0; k < 4; ++k)
    for (int c = 0; c < 3; ++c) quad.cornerFloats[k][c] = corners[k][c];
  quad.normal[2] = 1.0f;
  quad.edge1[0] = 1.0f;
  quad.edge2[1] = -1.0f;
  quad.alphaNew = quad.alphaOld = 1.0f;
  return quad;
}

}  // namespace

TEST(TyreTrackDrawing, TheNewestSegmentOfARingIsSolidAndTheOldestFadedOut) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  ASSERT_TRUE(BuildShaderPrograms());
  ASSERT_TRUE(gTextures[45].LoadFromTGA("base/textures/tex45.tga", kTexTrilinear));
  int32_t heads[kRacerCount][kWheelCount] = {};
  heads[0][0] = 5;  // segment 4 is the newest
  heads[1][2] = 7;  // segment 7 is the oldest
  gTyreTracks[0][0][4] = TrackQuad(-8, -2);
  gTyreTracks[1][2][7] = TrackQuad(2, 8);

  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10, 10, -10, 10, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  BindTableTexture(45);
  glUseProgramObjectARB(gDirtTraceProgram.object);
  SetShaderUniforms(kProgDirtTrace);
  DrawTyreTracks(gTyreTracks, heads);
  glDisable(GL_BLEND);

  const int y = GlWindow::kHeight / 2;
  EXPECT_LT(window->ReadPixels(GlWindow::kWidth / 4, y, 1, 1)[1], 200) << "the newest segment darkens the ground";
  EXPECT_GT(window->ReadPixels(GlWindow::kWidth * 3 / 4, y, 1, 1)[1], 250) << "the oldest has faded out";

  // Unblended (the glass layer), a later segment of no opacity writes its opacity where it crosses.
  gTyreTracks[1][2][6] = TrackQuad(-6, -4);
  gTyreTracks[1][2][6].alphaNew = gTyreTracks[1][2][6].alphaOld = 0.0f;
  glClearColor(1, 1, 1, 0.5f);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawTyreTracks(gTyreTracks, heads);
  glUseProgramObjectARB(0);
  glEnable(GL_CULL_FACE);
  EXPECT_GT(window->ReadPixels(GlWindow::kWidth / 8, y, 1, 1)[3], 200) << "the newest track's opacity in the layer";
  EXPECT_EQ(window->ReadPixels(GlWindow::kWidth / 4, y, 1, 1)[3], 0) << "the fainter segment's where it crosses";
  gTyreTracks[0][0][4] = gTyreTracks[1][2][7] = gTyreTracks[1][2][6] = TyreTrackQuad{};
  gTextures[45].Release();
}

namespace {

// Pixels of the window that are not black.
int InkedPixels(GlWindow* window) {
  const std::vector<uint8_t> pixels = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  int inked = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) inked += (pixels[i] | pixels[i + 1] | pixels[i + 2]) > 4;
  return inked;
}

void ClearToBlackLookingAt(const neV3& eye, const neV3& target) {
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, 400.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0, 1, 0);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace

TEST_F(TruckScene, AHiddenTruckKeepsOnlyItsExhaustAndLampsAndAFarTruckCastsNoShadow) {
  RaceScene scene;
  gStartHold = 1;
  scene.Frames(10);
  for (auto& racer : gTyreTracks)
    for (auto& wheel : racer)
      for (TyreTrackQuad& quad : wheel) quad = TyreTrackQuad{};
  const neV3 target = gRacers[0].body->GetPos();
  const neV3 ahead = target + neMakeV3(20, 2, 0);  // in front of the player, its head lamps in view
  RacersView view = ViewOf(ahead);
  for (RacerDrawInput& in : view.racers) in.visible = 0;

  ClearToBlackLookingAt(ahead, target);
  DrawRacersFrom(kRacerPassOpaque, view);
  DrawRacersFrom(kRacerPassGlass, view);
  EXPECT_EQ(InkedPixels(window_), 0) << "no body, wheels or glass of a hidden truck";
  DrawRacersFrom(kRacerPassBlended, view);
  EXPECT_GT(InkedPixels(window_), 0) << "its exhaust and lamps are still drawn";

  view.racers[0].visible = 1;
  ClearToBlackLookingAt(ahead, target);
  glDisable(GL_TEXTURE_2D);
  DrawRacersForShadowMapFrom(view);
  EXPECT_GT(InkedPixels(window_), 1000) << "a visible truck 20 from the camera casts a shadow";
  view.eye = target + neMakeV3(120, 2, 0);
  ClearToBlackLookingAt(ahead, target);
  DrawRacersForShadowMapFrom(view);
  EXPECT_EQ(InkedPixels(window_), 0) << "120 from the camera it casts none";
  glEnable(GL_TEXTURE_2D);
}

TEST_F(TruckScene, ABackfirePuffsExhaustSmokeThatIsNotThereWithoutOne) {
  RaceScene scene;
  gStartHold = 1;
  scene.Frames(10);
  const neV3 truck = gRacers[0].body->GetPos(), behind = truck + neMakeV3(-7, 2, 6);
  int inked[2] = {0, 0};
  for (float backfire : {0.0f, 2.0f}) {
    for (int slot = 0; slot < kRacerCount; ++slot) {
      SetEffect(gFirePipeEffects[slot], 1.0f, false);
      SetEffect(gSmokePipeEffects[slot], slot == 0 ? backfire : 0.0f, true);
    }
    ClearToBlackLookingAt(behind, truck);
    DrawExhaustEffects(ViewOf(behind));
    inked[backfire > 0] = InkedPixels(window_);
  }
  EXPECT_GT(inked[1], inked[0] + 300) << "smoke shows after a backfire and not before";
  DrawFrame(ViewOf(behind), truck, false);
  EXPECT_TRUE(window_->DumpFrame("frames/backfire_smoke.tga"));
}

TEST_F(TruckScene, ATruckDrivingThroughPropsKnocksThemAndTheyAreDrawnWhereTheyFly) {
  // Barrels and crates across the road ahead of the grid, marked before the
  // race starts so that the physics world gives them their bodies.
  std::vector<MarkerTriangle> markers;
  for (int k = 0; k < 8; ++k) {
    const neV3 p = neMakeV3(18.0f + 2.5f * (k % 2), 0.0f, -7.0f + 2.0f * k);
    markers.push_back({k % 3 == 0 ? 3 : 0, {p + neMakeV3(1, 0, 0), p, p + neMakeV3(0, 1, 0)}});
  }
  std::unique_ptr<Model> markerModel(MakeMarkerModel(markers));
  BuildCityObjectsFromModel(*markerModel);
  LoadObjectModels();
  BuildPropPartDrawLists();
  RaceScene scene;
  scene.ParkOpponents();
  scene.Press(2);  // accelerate
  scene.Frames(160);

  int awake = 0;
  for (int i = 0; i < gCityObjectCount; ++i) awake += gCityObjects[i].awake;
  EXPECT_GT(awake, 0) << "the truck drove into the props";

  static Matrix4 parts[kCityObjectCapacity][kMaxPropParts];
  QuadTreeList* leaves = new QuadTreeList[kQuadTreeLeafCount];
  leaves[0].objectCount = gCityObjectCount;
  leaves[0].objectIdx = new int32_t[gCityObjectCount];
  for (int i = 0; i < gCityObjectCount; ++i) {
    leaves[0].objectIdx[i] = i;
    for (int k = 0; k < kMaxPropParts; ++k)
      if (gCityObjects[i].partBodies[k]) parts[i][k] = WorldMatrix(gCityObjects[i].partBodies[k]->GetTransform());
  }
  gQuadTreeLeaves = leaves;
  NodeList visible;
  visible.leaf[0] = 0;
  visible.count = 1;
  TakePropStates(kSceneFrameSeconds * 100.0f);

  const neV3 target = gRacers[0].body->GetPos();
  RacersView view = ViewOf(target + neMakeV3(-9, 5, 11));
  for (int slot = 1; slot < kRacerCount; ++slot) view.racers[slot].visible = 0;
  view.props = {&visible, parts, gPropPartModels, kPropTypesWithParts};
  DrawFrame(view, target + neMakeV3(4, 0, 0), false);
  EXPECT_TRUE(window_->DumpFrame("frames/racers_props.tga"));

  // Each knocked prop is drawn at its body: its first part's centre is not the ground's colour.
  const std::vector<uint8_t> ground = window_->ReadPixels(5, 5, 1, 1);
  int drawnAwake = 0;
  for (int i = 0; i < gCityObjectCount; ++i) {
    if (!gCityObjects[i].awake) continue;
    const neV3 centre = gCityObjects[i].partBodies[0]->GetPos();
    const neV3 p = WindowPoint(centre);
    if (p.x < 0 || p.y < 0 || p.x >= GlWindow::kWidth || p.y >= GlWindow::kHeight) continue;
    const std::vector<uint8_t> at = window_->ReadPixels(int(p.x), int(p.y), 1, 1);
    drawnAwake += std::abs(at[0] - ground[0]) + std::abs(at[1] - ground[1]) + std::abs(at[2] - ground[2]) > 12;
  }
  EXPECT_GT(drawnAwake, 0);
  gQuadTreeLeaves = nullptr;
  delete[] leaves;
}

namespace {

// The grid seen close from the front quarter: the opaque and glass passes
// (tangent corners; the lamp housings' plain ones), then on a second
// picture the shadow casters' plain corners, textured. Neither picture
// moves from one call to the next.
struct TruckPictures {
  std::vector<uint8_t> lit, plain;
};

TruckPictures DrawTruckPictures(GlWindow* window, const RacersView& view, const neV3& target) {
  TruckPictures pictures;
  ClearToBlackLookingAt(view.eye, target);
  glEnable(GL_CULL_FACE);
  DrawRacersFrom(kRacerPassOpaque, view);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawRacersFrom(kRacerPassGlass, view);
  glDisable(GL_BLEND);
  pictures.lit = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  ClearToBlackLookingAt(view.eye, target);
  DrawRacersForShadowMapFrom(view);
  pictures.plain = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  return pictures;
}

}  // namespace

TEST_F(TruckScene, TrucksDrawnFromTheirDisplayListsLookExactlyAsWhenEveryCornerIsSent) {
  RaceScene scene;
  gStartHold = 1;
  scene.Frames(20);
  const neV3 target = gRacers[0].body->GetPos();
  const RacersView view = ViewOf(target + neMakeV3(9, 4, 9));
  // The startup models (suspensions) keep only their lists, drawn in both pictures.
  std::vector<Model*> models;
  for (LoadedTruck& truck : trucks_)
    for (MilkshapeModel* model : {truck.car.get(), truck.glass.get(), truck.optics.get(), truck.wheel.get()})
      models.push_back(model);
  for (Model* model : models) model->BuildDrawLists();
  for (const Model* model : models) ASSERT_NE(model->drawLists, 0u);

  const TruckPictures fromLists = DrawTruckPictures(window_, view, target);
  std::vector<uint32_t> lists;
  for (Model* model : models) lists.push_back(std::exchange(model->drawLists, 0u));
  const TruckPictures sent = DrawTruckPictures(window_, view, target);
  for (size_t i = 0; i < models.size(); ++i) models[i]->drawLists = lists[i];

  EXPECT_GT(InkedPixels(window_), 10000) << "the trucks fill a good part of the picture";
  EXPECT_TRUE(fromLists.lit == sent.lit) << "the lit passes differ";
  EXPECT_TRUE(fromLists.plain == sent.plain) << "the shadow casters differ";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
