// The sun's shadow pass in a real window: the leaves' world triangles land
// in the depth map, props listed past the race's props are skipped, the
// trucks go in only with the two largest maps, and the window's framebuffer,
// viewport and projection come back.
#include <gtest/gtest.h>

#include <vector>

#include "framework/globals.h"
#include "framework/settings.h"
#include "render/gl_resources.h"
#include "render/shadow_map.h"
#include "tests/support/gl_resources_suite.h"
#include "world/world_models.h"

namespace {

class TestModel : public Model {
 public:
  bool LoadFromFile(const char*) override { return false; }
};

int gRacerDraws = 0;
void CountRacerDraw() { ++gRacerDraws; }

class ShadowPass : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    gShadowMapSize = 1024;
    GlResourcesSuite::SetUpTestSuite();
  }
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // One leaf with one main_map triangle over the sun's view centre and a
    // prop list naming prop 0 and a prop past the race's one.
    map_.groupCount = 1;
    map_.groups = new ModelGroup[1];
    savedModel_ = gWorldModels[kWorldModelMainMap];
    gWorldModels[kWorldModelMainMap] = &map_;
    Mesh* meshes = new Mesh[1];
    meshes[0].tris = new MeshTriangle[1]();
    meshes[0].count = 1;
    const float corners[3][3] = {{-10, 0, -10}, {10, 0, -10}, {0, 0, 10}};
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 3; ++i) meshes[0].tris[0].position[c][i] = corners[c][i];
    records_[0].sectionMeshes[kSectionMainMap] = meshes;
    records_[0].objectIdx = new int32_t[2]{0, 7};
    records_[0].objectCount = 2;
    savedLeaves_ = gQuadTreeLeaves;
    gQuadTreeLeaves = records_;
    leaves_.count = 1;
    leaves_.leaf[0] = 0;
    lightProjection_.BuildPerspectiveMatrix(60, 1, 1, 100);
    lightView_.BuildLookAtMatrix({0, 50, 0}, {0, 0, 0}, {0, 0, -1});
  }
  void TearDown() override {
    if (GlWindow::Get() == nullptr) return;
    gWorldModels[kWorldModelMainMap] = savedModel_;
    gQuadTreeLeaves = savedLeaves_;
  }

  ShadowCasters Casters() {
    ShadowCasters c{};
    c.leaves = &leaves_;
    c.propCount = 1;  // the leaf's index 7 names no prop of the race
    c.props = &prop_;
    c.partMatrices = &partMatrix_;
    c.partModels = &partModel_;
    c.partModelTypes = 1;
    c.drawRacers = CountRacerDraw;
    return c;
  }

  // Depth of the map's texel at the fraction (fx, fy) of its side.
  static float MapDepth(float fx, float fy) {
    std::vector<float> depth(size_t(gShadowMapSize) * gShadowMapSize);
    glBindTexture(GL_TEXTURE_2D, gShadowMapTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return depth[size_t(fy * (gShadowMapSize - 1)) * gShadowMapSize + size_t(fx * (gShadowMapSize - 1))];
  }

  TestModel map_;
  Model* savedModel_ = nullptr;
  QuadTreeList records_[1];
  QuadTreeList* savedLeaves_ = nullptr;
  NodeList leaves_;
  Matrix4 lightProjection_, lightView_;
  PropDrawn prop_ = {0, 100, 0, 1};  // resting, near, type 0, one part
  Matrix4 partMatrix_[kMaxPropParts];
  Model* partModel_[kMaxPropParts] = {};
};

TEST(ShadowMapRules, TrucksOnlyInTheLargeMapsAndPropsOnlyNearAndListed) {
  const struct {
    int size;
    bool racers;
  } sizes[] = {{16, false}, {1024, false}, {4096, true}, {8192, true}};
  for (const auto& s : sizes) EXPECT_EQ(ShadowMapTakesRacers(s.size), s.racers) << s.size;
  const PropDrawn distSq[2] = {{0, 4224.9f, 0, 1}, {0, 4225.0f, 0, 1}};  // just inside, exactly 65 units
  EXPECT_TRUE(PropCastsShadowFromLeaf(0, 2, distSq));
  EXPECT_FALSE(PropCastsShadowFromLeaf(1, 2, distSq));
  EXPECT_FALSE(PropCastsShadowFromLeaf(2, 2, distSq));   // past the race's props: not read
  EXPECT_FALSE(PropCastsShadowFromLeaf(-1, 2, distSq));
}

TEST_F(ShadowPass, WorldTrianglesCastAndTheWindowComesBack) {
  ClearShadowMap();
  EXPECT_EQ(MapDepth(0.5f, 0.5f), 1.0f);
  gResolutionIndex = 0;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  gRacerDraws = 0;
  RenderShadowMap(Casters(), lightProjection_, lightView_);
  EXPECT_EQ(gRacerDraws, 0);  // a 1024 map takes no trucks

  EXPECT_LT(MapDepth(0.5f, 0.5f), 1.0f);     // the triangle under the sun
  EXPECT_EQ(MapDepth(0.02f, 0.98f), 1.0f);   // open ground beside it
  GLint framebuffer = -1, viewport[4] = {}, colourMask[4] = {};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_COLOR_WRITEMASK, colourMask);
  EXPECT_EQ(framebuffer, 0);
  EXPECT_EQ(viewport[2], 1024);
  EXPECT_EQ(viewport[3], 768);
  EXPECT_EQ(colourMask[0], GL_TRUE);
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  Matrix4 projection;
  glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
  EXPECT_NEAR(projection.m[0], 2.0f / 800, 1e-6f);  // the one from before the pass
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
