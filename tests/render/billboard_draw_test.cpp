// The grass and tree passes in a real window: a tuft near the camera shows
// and one in a leaf at the grass limit does not; the second tree batch
// shows its atlas column mirrored; both passes hand back the state they
// promise.
#include <gtest/gtest.h>

#include <vector>

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "render/billboards.h"
#include "render/gl_resources.h"
#include "render/grass.h"
#include "render/race_camera.h"
#include "render/shaders.h"
#include "render/trees.h"
#include "tests/support/gl_resources_suite.h"

namespace {

class BillboardDraw : public GlResourcesSuite {
 protected:
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // A still world: no sway, an upright camera at the origin looking down -z.
    gFrameFactor = 0;
    gMenuClock = 0;
    for (float& p : gGrassSwayPhase) p = 0;
    for (float& p : gTreeSwayPhase) p = 0;
    gSightDistance = 310;
    gRaceCameraUp = {0, 1, 0, 0};
    gGarageLookAt = {0, 0, -1, 0};
    gCameraEye = {0, 0, 0, 0};
    savedLeaves_ = gQuadTreeLeaves;
    gQuadTreeLeaves = records_;
    records_[0].grass = &grass_;
    visible_.count = 1;
    visible_.leaf[0] = 0;
    glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat towardsViewer[4] = {0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    if (GlWindow::Get() == nullptr) return;
    for (GrassItem*& list : grass_.list) list = nullptr;  // the items are the test's
    records_[0].grass = nullptr;
    gQuadTreeLeaves = savedLeaves_;
    glEnable(GL_DEPTH_TEST);
  }

  // Puts one item of `kind` in the leaf.
  void Plant(int kind, GrassItem* item) {
    grass_.list[kind] = item;
    grass_.count[kind] = 1;
  }

  // Red components of a window row.
  static std::vector<uint8_t> RedRow(int y) {
    std::vector<uint8_t> row(GlWindow::kWidth * 4), red(GlWindow::kWidth);
    glReadPixels(0, y, GlWindow::kWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    for (int x = 0; x < GlWindow::kWidth; ++x) red[x] = row[x * 4];
    return red;
  }

  QuadTreeList records_[1];
  float distSq_[1] = {0};
  Grass grass_;
  NodeList visible_;
  QuadTreeList* savedLeaves_ = nullptr;
};

// An RGBA texture of `width` x 1 texels from the given colours, unfiltered,
// into a texture-table record.
void TableTextureOf(int record, const std::vector<float>& rgba) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(rgba.size() / 4), 1, 0, GL_RGBA, GL_FLOAT, rgba.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gTextures[record].Release();
  gTextures[record].glId = name;
}

void ExpectBillboardStateHandedBack() {
  GLint program = 0, active = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(program, 0);
  EXPECT_EQ(active, GL_TEXTURE0_ARB);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_FALSE(glIsEnabled(GL_SAMPLE_ALPHA_TO_COVERAGE_ARB));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

constexpr float kUnitsToPixelsAt1 = GlWindow::kHeight / 2 / 0.41421f;  // 45-degree view, one unit away

TEST_F(BillboardDraw, GrassShowsNearAndIsCutAtTheLimit) {
  TableTextureOf(kGrassAtlasTexture, std::vector<float>(8 * 4, 1.0f));
  TableTextureOf(kGrassTintTexture, {0.625f, 0.625f, 0.625f, 1});
  GrassItem tuft = {0, -1, -5, 1};  // 1 wide and 2 tall, its middle on the view axis
  Plant(0, &tuft);
  DrawGrass(visible_, distSq_, gFrameFactor);
  EXPECT_GT(RedRow(GlWindow::kHeight / 2 - 20)[GlWindow::kWidth / 2], 100);
  ExpectBillboardStateHandedBack();
  glActiveTextureARB(GL_TEXTURE1_ARB);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glActiveTextureARB(GL_TEXTURE0_ARB);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

  glClear(GL_COLOR_BUFFER_BIT);
  distSq_[0] = (310.0f - kGrassLeafMargin) * (310.0f - kGrassLeafMargin);
  DrawGrass(visible_, distSq_, gFrameFactor);
  EXPECT_EQ(RedRow(GlWindow::kHeight / 2 - 20)[GlWindow::kWidth / 2], 0);
  ExpectBillboardStateHandedBack();
  GlWindow::Get()->DumpFrame(ZARNOK_BUILD_DIR "/frames/grass_cut.tga");
}

TEST_F(BillboardDraw, SecondTreeBatchShowsTheColumnMirrored) {
  // Column 0.5..0.75 (kinds 8 and 9): a red texel, then a green one.
  std::vector<float> atlas(8 * 4, 0.0f);
  for (int t = 0; t < 8; ++t) atlas[t * 4 + 3] = 1;
  atlas[4 * 4 + 0] = 1;
  atlas[5 * 4 + 1] = 1;
  TableTextureOf(kTreeAtlasTexture, atlas);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  TableTextureOf(kGrassTintTexture, {0.625f, 0.625f, 0.625f, 1});
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  const float distance = 20, size = 1;
  GrassItem left = {-3, -1.45f, -distance, size}, right = {3, -1.45f, -distance, size};
  Plant(8, &left);
  Plant(9, &right);
  DrawTrees(visible_, distSq_, gFrameFactor);
  ExpectBillboardStateHandedBack();
  GlWindow::Get()->DumpFrame(ZARNOK_BUILD_DIR "/frames/trees_mirrored.tga");

  // Each tree is 2.9 units wide; read a quarter of that either side of its centre.
  const float pixelsPerUnit = kUnitsToPixelsAt1 / distance;
  const int offset = int(2.9f * size / 4 * pixelsPerUnit);
  std::vector<uint8_t> row = RedRow(GlWindow::kHeight / 2);
  const int leftCentre = GlWindow::kWidth / 2 - int(3 * pixelsPerUnit);
  const int rightCentre = GlWindow::kWidth / 2 + int(3 * pixelsPerUnit);
  bool leftRedOnLeft = row[leftCentre - offset] > row[leftCentre + offset];
  bool rightRedOnLeft = row[rightCentre - offset] > row[rightCentre + offset];
  EXPECT_NE(leftRedOnLeft, rightRedOnLeft);
  EXPECT_GT(std::max(row[leftCentre - offset], row[leftCentre + offset]), 60);
  EXPECT_GT(std::max(row[rightCentre - offset], row[rightCentre + offset]), 60);
  // Beyond the sight distance no tree is drawn.
  glClear(GL_COLOR_BUFFER_BIT);
  distSq_[0] = 310.0f * 310.0f;
  DrawTrees(visible_, distSq_, gFrameFactor);
  row = RedRow(GlWindow::kHeight / 2);
  EXPECT_EQ(row[leftCentre - offset] + row[leftCentre + offset], 0);
}

}  // namespace
