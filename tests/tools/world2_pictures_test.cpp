// Pictures of the generated trucks, garage and props for a person, drawn by
// a small fixed-function viewer until the renderer draws them: frames/
// trucks.tga, frames/garage.tga and frames/props.tga. Each test also checks
// that its picture shows something where the models stand.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/model.h"
#include "platform/gl.h"
#include "tests/support/gl_window.h"
#include "tests/tools/model_geometry.h"
#include "framework/texture.h"
#include "tools/gen_prop_layout.h"
#include "tools/gen_props.h"
#include "tools/gen_trucks.h"
#include "world/catalogue.h"
#include "world/race_path.h"

namespace {

std::unique_ptr<Model> LoadModel(const std::string& folder, const std::string& file, bool textures = true) {
  auto model = std::make_unique<MilkshapeModel>();
  EXPECT_TRUE(model->LoadFromFile((folder + file).c_str())) << folder << file;
  if (textures) model->LoadMaterialTextures(folder.c_str());
  return model;
}

// A lit perspective view of the viewport from `eye` looking at `centre`.
void SetView(int x, int y, int width, int height, const Vector3& eye, const Vector3& centre) {
  glViewport(x, y, width, height);
  Matrix4 projection, view;
  projection.BuildPerspectiveMatrix(35, float(width) / float(height), 0.3f, 400);
  view.BuildLookAtMatrix(eye, centre, {0, 1, 0});
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(view.m);
  const float sun[4] = {0.4f, 1.0f, 0.6f, 0}, ambient[4] = {0.45f, 0.45f, 0.5f, 1};
  const float diffuse[4] = {0.75f, 0.75f, 0.7f, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, sun);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
}

void BeginLitScene(float r, float g, float b) {
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_NORMALIZE);
  glColor4f(1, 1, 1, 1);
}

void EndLitScene() {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_NORMALIZE);
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
}

void GroundQuad(float half, float y) {
  glDisable(GL_TEXTURE_2D);
  glColor3f(0.42f, 0.4f, 0.36f);
  glBegin(GL_QUADS);
  glNormal3f(0, 1, 0);
  glVertex3f(-half, y, half);
  glVertex3f(half, y, half);
  glVertex3f(half, y, -half);
  glVertex3f(-half, y, -half);
  glEnd();
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
}

// One truck as the showroom stands it: body, lamps, the four wheels at rest
// from the marker model, then the glass blended over.
void DrawTruck(int index) {
  const std::string folder = "base/cars/" + std::to_string(index) + "/";
  auto body = LoadModel(folder, "car.sbm");
  auto lamps = LoadModel(folder, "optika.sbm");
  auto glass = LoadModel(folder, "glass_car.sbm");
  auto wheel = LoadModel(folder, "wheel.sbm");
  auto markers = LoadModel(folder, "points.sbm", false);
  body->Draw();
  lamps->Draw();
  const Vector3 axle = MarkerCorner(*markers, kMarkerAxle, 0, 1);
  const float scale = gWheelSizes[index][4];
  for (int w = 0; w < 4; ++w) {
    glPushMatrix();
    glTranslatef(w < 2 ? axle.x : -axle.x, (scale - 1) / 2 - kRestWheelDrop, w % 2 == 0 ? axle.z : -axle.z);
    if (w % 2 == 1) glRotatef(-180, 1, 0, 0);
    glScalef(scale, scale, scale);
    wheel->Draw();
    glPopMatrix();
  }
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);
  glass->Draw();
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

bool AnyPixelDiffers(GlWindow* window, int x, int y, int width, int height, const uint8_t background[3]) {
  const std::vector<uint8_t> pixels = window->ReadPixels(x, y, width, height);
  for (size_t i = 0; i < pixels.size(); i += 4)
    if (std::abs(pixels[i] - background[0]) + std::abs(pixels[i + 1] - background[1]) +
            std::abs(pixels[i + 2] - background[2]) > 30)
      return true;
  return false;
}

}  // namespace

TEST(GeneratedPictures, ThreeTrucksOfDifferentStyles) {
  REQUIRE_GL_WINDOW(window);
  InitCarTables();
  BeginLitScene(0.55f, 0.68f, 0.8f);
  // Sickle ST, Tornado GTX, Trotyl RS from the front quarter; a Shark RS
  // from behind.
  const int trucks[4] = {0, 9, 16, 15};
  const Vector3 eyes[4] = {{9, 3.5f, 9}, {9, 3.5f, 9}, {9, 3.5f, 9}, {-9, 3.5f, 8}};
  for (int i = 0; i < 4; ++i) {
    const int x = (i % 2) * GlWindow::kWidth / 2, y = (1 - i / 2) * GlWindow::kHeight / 2;
    SetView(x, y, GlWindow::kWidth / 2, GlWindow::kHeight / 2, eyes[i], {0, 0.1f, 0});
    GroundQuad(8, kTruckGroundY);
    DrawTruck(trucks[i]);
  }
  EndLitScene();
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/trucks.tga"));
  const uint8_t ground[3] = {107, 102, 92};
  EXPECT_TRUE(AnyPixelDiffers(window, 200, 500, 100, 60, ground)) << "no truck in the first view";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// The showroom's models in the order the garage scene draws them.
void DrawGarage() {
  auto special = LoadModel("base/garage/", "special.sbm");
  auto hall = LoadModel("base/garage/", "garage.sbm");
  auto ground = LoadModel("base/garage/", "ground.sbm");
  auto clear = LoadModel("base/garage/", "transparency.sbm");
  special->Draw();
  hall->Draw();
  ground->Draw();
  glDisable(GL_CULL_FACE);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GEQUAL, 0.5f);
  clear->Draw();
  glDisable(GL_ALPHA_TEST);
}

}  // namespace

TEST(GeneratedPictures, TheGarageAroundATruck) {
  REQUIRE_GL_WINDOW(window);
  InitCarTables();
  BeginLitScene(0.5f, 0.66f, 0.85f);
  // The hub's view, and one from the side looking towards the door.
  SetView(0, GlWindow::kHeight / 2, GlWindow::kWidth, GlWindow::kHeight / 2, {-4, 2.2f, -13.5f}, {0.6f, -0.4f, 0});
  DrawGarage();
  DrawTruck(4);
  SetView(0, 0, GlWindow::kWidth, GlWindow::kHeight / 2, {12, 3.0f, -7}, {-1, 0, 4});
  DrawGarage();
  DrawTruck(11);
  EndLitScene();
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/garage.tga"));
  const uint8_t sky[3] = {128, 168, 217};
  EXPECT_TRUE(AnyPixelDiffers(window, 0, 500, 1024, 40, sky)) << "no hall behind the truck";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// Every part of a prop at its rest frame: X the long axis, Y up, Z = X × Y.
void DrawProp(const PropPlacement& prop, GLuint atlas) {
  const Vector3 x = prop.axis, z(-prop.axis.z, 0, prop.axis.x);
  for (int part = 0; part < PropPartCount(prop.type); ++part) {
    MilkshapeModel model;
    ASSERT_TRUE(model.LoadFromFile(("base/objects/object" + std::to_string(prop.type) + "part" + std::to_string(part) + ".sbm").c_str()));
    const Vector3 o = PropPartOffset(prop.type, part);
    const Vector3 at = prop.rest + x * o.x + Vector3(0, o.y, 0) + z * o.z;
    const float m[16] = {x.x, x.y, x.z, 0, 0, 1, 0, 0, z.x, z.y, z.z, 0, at.x, at.y, at.z, 1};
    glPushMatrix();
    glMultMatrixf(m);
    model.DrawWithTexture(atlas);
    glPopMatrix();
  }
}

}  // namespace

TEST(GeneratedPictures, PropsOfEveryTypeAndAlongRaceOne) {
  REQUIRE_GL_WINDOW(window);
  Texture atlas;
  ASSERT_TRUE(atlas.LoadFromTGA("base/textures/tex21.tga", kTexTrilinear));
  BeginLitScene(0.55f, 0.68f, 0.8f);
  // Above: the eighteen types in three rows.
  SetView(0, GlWindow::kHeight / 2, GlWindow::kWidth, GlWindow::kHeight / 2, {-3, 11, -22}, {10, 1.5f, 5});
  GroundQuad(40, 0);
  for (int type = 0; type < kPropTypesWithParts; ++type)
    DrawProp({type, {float(type % 6) * 4.5f, 0, float(type / 6) * 7.0f}, {1, 0, 0}}, atlas.glId);
  // Below: race 1's first bends, the props on the physics ground.
  std::vector<Waypoint> path(kRacePathCapacity);
  int32_t last = 0;
  ASSERT_TRUE(ReadRacePathFile("base/world/races/1.ai", path.data(), last));
  const Vector3 start(path[0].position.x, path[0].position.y, path[0].position.z);
  const Vector3 ahead(path[8].position.x, path[8].position.y, path[8].position.z);
  SetView(0, 0, GlWindow::kWidth, GlWindow::kHeight / 2, start + (start - ahead) * 0.45f + Vector3(0, 9, 0), ahead);
  // The drawn ground with its road textures.
  MilkshapeModel ground;
  ASSERT_TRUE(ground.LoadFromFile("base/world/models/main_road.sbm"));
  ground.LoadMaterialTextures("base/world/textures/");
  ground.Draw();
  glBindTexture(GL_TEXTURE_2D, atlas.glId);
  for (const PropPlacement& prop : LayOutRaceProps(1))
    if ((prop.rest - start).Length() < 200) DrawProp(prop, atlas.glId);
  EndLitScene();
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/props.tga"));
  const uint8_t ground_colour[3] = {107, 102, 92};
  EXPECT_TRUE(AnyPixelDiffers(window, 300, 500, 400, 200, ground_colour)) << "no props";
  atlas.Release();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
