// The race frame's shadows on a plain scene: a box on a plane in one leaf
// of the main map, the sun placed by the worker's own culling step, the
// camera above and behind. The sun stands high over +x, +z.
#include "framework/globals.h"
#include "framework/settings.h"
#include "render/frustum.h"
#include "render/race_camera.h"
#include "render/race_frame.h"
#include "render/race_view.h"
#include "tests/support/gl_resources_suite.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const neV3 kEye = {0, 30, 25, 0}, kTarget = {0, 0, -30, 0};

class TestModel : public Model {
 public:
  bool LoadFromFile(const char*) override { return false; }
};

// The faces of an axis-aligned box that look up or sideways, two triangles
// each, wound counter-clockwise seen from outside.
void AddBox(std::vector<MeshTriangle>& out, const float lo[3], const float hi[3]) {
  for (int axis = 0; axis < 3; ++axis)
    for (int side = axis == 1 ? 1 : 0; side < 2; ++side) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;  // u x v points along +axis
      const float uv[4][2] = {{lo[u], lo[v]}, {hi[u], lo[v]}, {hi[u], hi[v]}, {lo[u], hi[v]}};
      const int order[2][2][3] = {{{0, 2, 1}, {0, 3, 2}}, {{0, 1, 2}, {0, 2, 3}}};
      for (const auto& tri : order[side]) {
        MeshTriangle t{};
        for (int k = 0; k < 3; ++k) {
          t.position[k][axis] = side ? hi[axis] : lo[axis];
          t.position[k][u] = uv[tri[k]][0];
          t.position[k][v] = uv[tri[k]][1];
          t.normal[k][axis] = side ? 1.0f : -1.0f;
        }
        out.push_back(t);
      }
    }
}

class RaceFrameShadows : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    gResolutionIndex = gAntiAliasing = gSoftParticles = gMotionBlur = 0;
    gSightDistance = kSightDistances[0];
    gShadowMapSize = 1024;  // the normal shadow detail
    GlResourcesSuite::SetUpTestSuite();
  }
  static void TearDownTestSuite() {
    gShadowMapSize = kShadowMapSizeOff;
    GlResourcesSuite::TearDownTestSuite();
  }
  void SetUp() override {
    GlResourcesSuite::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    const uint8_t white[4] = {255, 255, 255, 255};
    glGenTextures(1, &white_);
    glBindTexture(GL_TEXTURE_2D, white_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    map_.groupCount = map_.materialCount = 1;
    map_.groups = new ModelGroup[1];
    map_.groups[0].materialIndex = 0;
    map_.materials = new ModelMaterial[1]();
    map_.materials[0].textureId = white_;
    gWorldModels[kWorldModelMainMap] = &map_;
    std::vector<MeshTriangle> tris;
    const float planeLo[3] = {-200, -1, -200}, planeHi[3] = {200, 0, 200}, boxLo[3] = {-2, 0, -2}, boxHi[3] = {2, 4, 2};
    AddBox(tris, planeLo, planeHi);
    AddBox(tris, boxLo, boxHi);
    Mesh* meshes = new Mesh[1];
    meshes[0].tris = new MeshTriangle[tris.size()];
    std::copy(tris.begin(), tris.end(), meshes[0].tris);
    meshes[0].count = int32_t(tris.size());
    leaves_ = new QuadTreeList[kQuadTreeLeafCount];
    leaves_[0].sectionMeshes[kSectionMainMap] = meshes;
    gQuadTreeLeaves = leaves_;
    gQuadTreeRoot = &root_;
    gScreen = ScreenState::Racing;
    gTargetScreen = ScreenState::Racing;
  }
  void TearDown() override {
    if (leaves_ == nullptr) return;
    gQuadTreeRoot = nullptr;
    gQuadTreeLeaves = nullptr;
    delete[] leaves_;
    gWorldModels[kWorldModelMainMap] = nullptr;
    glDeleteTextures(1, &white_);
  }

  // Publishes the view as a race tick would and draws the race frame.
  static void DrawFrame() {
    gSimCameraEye = kEye;
    gSimCameraLookAt = kTarget;
    SetupCameraFrustum(kViewShadowLight, 0);
    RaceViewCopies& c = gRaceViewCopies;
    c.cameraEye = kEye;
    c.cameraLookAt = kTarget;
    c.cameraUp = neMakeV3(0, 1, 0);
    c.cameraMatrix0 = gSimCameraMatrix0;
    c.cameraMatrix1 = gSimCameraMatrix1;
    c.cameraLeaves.count = c.lightLeaves.count = 1;
    c.cameraLeaves.leaf[0] = c.lightLeaves.leaf[0] = 0;
    gSimBit = gRenderBit ? 0 : 1;
    RenderRaceFrame();
  }

  // Green of the opaque layer where the point of the plane lands.
  static int GreenAt(float x, float z) {
    GLdouble model[16], projection[16], wx, wy, wz;
    const GLint viewport[4] = {0, 0, GlWindow::kWidth, GlWindow::kHeight};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, gSightDistance);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(kEye.x, kEye.y, kEye.z, kTarget.x, kTarget.y, kTarget.z, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    gluProject(x, 0, z, model, projection, viewport, &wx, &wy, &wz);
    std::vector<uint8_t> texels(size_t(GlWindow::kWidth) * GlWindow::kHeight * 4);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, gOpaqueTexture);
    glGetTexImage(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels[(size_t(wy) * GlWindow::kWidth + size_t(wx)) * 4 + 1];
  }

  TestModel map_;
  QuadTree root_{0, 0, 0, 64};
  QuadTreeList* leaves_ = nullptr;
  GLuint white_ = 0;
};

}  // namespace

TEST_F(RaceFrameShadows, ABoxDarkensThePlaneOnItsFarSideFromTheSunOnlyWithShadowsOn) {
  DrawFrame();
  const int farSide = GreenAt(-3.5f, -3.5f), nearSide = GreenAt(4, -6);
  EXPECT_GT(nearSide, 200) << "the sunlit plane";
  EXPECT_LT(farSide, nearSide - 40) << "the box's shadow beyond its -x, -z corner";
  EXPECT_EQ(GreenAt(-60, -150), nearSide) << "ground the sun's map does not reach is lit";

  gShadowMapSize = kShadowMapSizeOff;
  DrawFrame();
  gShadowMapSize = 1024;
  EXPECT_NEAR(GreenAt(-3.5f, -3.5f), GreenAt(4, -6), 4) << "no shadow with shadows off";
}
