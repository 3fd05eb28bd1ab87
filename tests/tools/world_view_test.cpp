// A plain look at the generated world, until the renderer draws it: the
// drawn ground, map objects and transparent layers with their own textures,
// trees and grass as simple billboards from qt.qt, lit by one sun. Writes
// frames/world_above.tga (the whole landscape) and frames/world_start.tga
// (race 1's start line at a truck's height) for a person to look at.
#include "platform/gl.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "framework/model.h"
#include "tests/support/gl_window.h"
#include "world/quadtree.h"
#include "world/race_path.h"

namespace {

constexpr const char* kModels = "base/world/models/";
constexpr const char* kTextures = "base/world/textures/";

std::unique_ptr<MilkshapeModel> Load(const char* stem, bool textures) {
  auto model = std::make_unique<MilkshapeModel>();
  EXPECT_TRUE(model->LoadFromFile((std::string(kModels) + stem + ".sbm").c_str())) << stem;
  if (textures) model->LoadMaterialTextures(kTextures);
  return model;
}

// Pixel counts of a frame by what they look like.
struct Census {
  int green = 0, water = 0, sky = 0, earth = 0, total = 0;
};

Census Count(GlWindow* window, int y0, int y1) {
  const std::vector<uint8_t> rgba = window->ReadPixels(0, y0, GlWindow::kWidth, y1 - y0);
  Census c;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
    ++c.total;
    if (r == 140 && g == 180 && b == 225) ++c.sky;  // the clear colour
    else if (b > r + 15 && b > g) ++c.water;
    else if (g > r + 8 && g > b + 8) ++c.green;
    else if (r >= g && g >= b && r > 50) ++c.earth;
  }
  return c;
}

class WorldView : public ::testing::Test {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    window->MakeMainCurrent();
    road = Load("main_road", true);
    map = Load("main_map", true);
    addMap = Load("add_map", true);
    transparency = Load("main_transparency", true);
    verges = Load("add_transparency", true);
    decals = Load("add_transparency2", true);
    QuadTreeSources sources;
    const Model* sections[kSectionCount] = {road.get(), map.get(), transparency.get(), addMap.get(), verges.get(), decals.get()};
    std::copy(sections, sections + kSectionCount, sources.sections);
    ASSERT_TRUE(CreateWorldQuadTree(sources));
  }
  void TearDown() override { DestroyWorldQuadTree(); }

  void Camera(const float eye[3], const float at[3], float nearPlane, float farPlane) {
    glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(55, double(GlWindow::kWidth) / GlWindow::kHeight, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], 0, 1, 0);
    for (int i = 0; i < 3; ++i) eye_[i] = eye[i];
  }

  // Trees and grass of the leaves near enough, as coloured crossed quads.
  void DrawBillboards(float reach) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    for (int l = 0; l < kQuadTreeLeafCount; ++l) {
      const QuadTreeList& leaf = gQuadTreeLeaves[l];
      if (std::hypot(leaf.cx - eye_[0], leaf.cz - eye_[2]) > reach) continue;
      for (int k = 0; k < kGrassListCount; ++k) {
        const bool tree = k >= kTreeListFirst;
        const float w = tree ? 2.6f : 0.35f, h = tree ? 9.0f : 0.7f;
        if (tree) glColor3f(0.12f + 0.03f * (k % 4), 0.32f + 0.04f * (k % 3), 0.12f);
        else glColor3f(0.35f, 0.55f, 0.2f);
        for (int i = 0; i < leaf.grass->count[k]; ++i) {
          const GrassItem& item = leaf.grass->list[k][i];
          const float s = item.size;
          for (int axis = 0; axis < 2; ++axis) {
            const float dx = axis ? w * s : 0, dz = axis ? 0 : w * s;
            glVertex3f(item.x - dx, item.y, item.z - dz);
            glVertex3f(item.x + dx, item.y, item.z + dz);
            glVertex3f(item.x + dx * 0.2f, item.y + h * s, item.z + dz * 0.2f);
            glVertex3f(item.x - dx * 0.2f, item.y + h * s, item.z - dz * 0.2f);
          }
          if (tree) {  // the crown as seen from above
            const float c = w * s * 0.8f, y = item.y + h * s * 0.4f;
            glVertex3f(item.x - c, y, item.z - c);
            glVertex3f(item.x + c, y, item.z - c);
            glVertex3f(item.x + c, y, item.z + c);
            glVertex3f(item.x - c, y, item.z + c);
          }
        }
      }
    }
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
  }

  void DrawWorld(float billboardReach) {
    glClearColor(140 / 255.0f, 180 / 255.0f, 225 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    const float sun[4] = {0.8f, 0.55f, 0.3f, 0}, ambient[4] = {0.35f, 0.35f, 0.35f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    road->Draw();
    map->Draw();
    addMap->Draw();
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    glDisable(GL_CULL_FACE);
    transparency->Draw();
    verges->Draw();
    decals->Draw();
    glDisable(GL_ALPHA_TEST);
    DrawBillboards(billboardReach);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
  }

  GlWindow* window = nullptr;
  std::unique_ptr<MilkshapeModel> road, map, addMap, transparency, verges, decals;
  float eye_[3] = {0, 0, 0};
};

TEST_F(WorldView, FromAboveTheLandscapeShowsGroundWaterAndTrees) {
  const float eye[3] = {-300, 1500, 1900}, at[3] = {0, 0, -250};
  Camera(eye, at, 50, 9000);
  DrawWorld(6000);
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/world_above.tga"));
  const Census c = Count(window, 0, GlWindow::kHeight);
  EXPECT_GT(c.green, c.total / 5) << "grass and woods";
  EXPECT_GT(c.water, 200) << "the lake";
  EXPECT_GT(c.earth, c.total / 50) << "roads, shoulders and rock";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WorldView, FromRaceOnesStartLineTheRoadLiesAheadUnderTheSky) {
  ASSERT_TRUE(LoadRacePath(1));
  const neV3 p0 = gRacePath[0].position, p1 = gRacePath[3].position;
  const float dx = p1.x - p0.x, dz = p1.z - p0.z, l = std::hypot(dx, dz);
  // A driver's eye a little behind the first point, 1.6 above the path.
  const float eye[3] = {p0.x - dx / l * 8, p0.y + 1.6f, p0.z - dz / l * 8};
  const float at[3] = {p0.x + dx / l * 60, p0.y - 1.0f, p0.z + dz / l * 60};
  Camera(eye, at, 0.5f, 1500);
  DrawWorld(450);
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/world_start.tga"));
  const Census top = Count(window, GlWindow::kHeight * 3 / 4, GlWindow::kHeight);
  const Census bottom = Count(window, 0, GlWindow::kHeight / 4);
  EXPECT_GT(top.sky, top.total / 3) << "open sky above the road";
  EXPECT_GT(bottom.earth, bottom.total / 3) << "the road and its shoulders in front";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
