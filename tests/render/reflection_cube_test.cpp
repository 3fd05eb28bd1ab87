// The reflection cube: how many faces an update renders, the faces' turns,
// and in a real window the +Y face showing the sky's top.
#include <gtest/gtest.h>

#include <vector>

#include "framework/settings.h"
#include "render/gl_resources.h"
#include "render/reflection_cube.h"
#include "tests/support/gl_resources_suite.h"

namespace {

TEST(CubeFaces, PerUpdateFollowTheSetting) {
  const struct {
    int mode, race, garage;
  } table[] = {{0, 6, 1}, {1, 3, 1}, {2, 6, 2}, {3, 1, 1}, {-1, 1, 1}};
  for (const auto& row : table) {
    EXPECT_EQ(CubeFacesPerUpdate(row.mode, true), row.race) << row.mode;
    EXPECT_EQ(CubeFacesPerUpdate(row.mode, false), row.garage) << row.mode;
  }
}

TEST(CubeFaces, EachFaceLooksAlongItsAxis) {
  // From an upright camera looking down -z, the direction each face sees
  // straight ahead (eye-space -z) is the face's own axis.
  const Vector3 axes[kCubeFaceCount] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int face = 0; face < kCubeFaceCount; ++face) {
    Matrix4 view = CubeFaceView(face, {0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    Vector3 ahead = view.TransformDirection(axes[face].x, axes[face].y, axes[face].z);
    EXPECT_NEAR(ahead.z, -1.0f, 1e-5f) << "face " << face;
  }
}

// A sky box about the eye: the top yellow, every other side blue.
void DrawTestSky() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  const float s = 100;
  const float faces[6][4][3] = {
      {{-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s}},       // top
      {{-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}},   // bottom
      {{s, -s, -s}, {s, s, -s}, {s, s, s}, {s, -s, s}},       // +x
      {{-s, -s, -s}, {-s, s, -s}, {-s, s, s}, {-s, -s, s}},   // -x
      {{-s, -s, s}, {s, -s, s}, {s, s, s}, {-s, s, s}},       // +z
      {{-s, -s, -s}, {s, -s, -s}, {s, s, -s}, {-s, s, -s}}};  // -z
  glBegin(GL_QUADS);
  for (int f = 0; f < 6; ++f) {
    if (f == 0)
      glColor3f(1, 1, 0);
    else
      glColor3f(0, 0, 1);
    for (const auto& corner : faces[f]) glVertex3fv(corner);
  }
  glEnd();
  glColor3f(1, 1, 1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
}

TEST(ReflectionCubeWindow, PlusYFaceShowsTheSkyTopAndModeZeroRendersAllOnce) {
  GlWindow* window = GlWindow::Get();
  if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
  ASSERT_EQ(InitGLResourcesIn(window), GLResourcesResult::Ready);

  CubeSources sources{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, DrawTestSky, nullptr};
  gReflectionMode = 2;
  gCubeFace = 1;
  UpdateReflectionCubeMap(false, sources);  // the garage renders two faces: +Y and -Y
  EXPECT_EQ(gCubeFace, 3);
  std::vector<uint8_t> texels(kCubeFaceSize * kCubeFaceSize * 3);
  glBindTexture(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap);
  glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_Y, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  const size_t centre = (kCubeFaceSize / 2 * kCubeFaceSize + kCubeFaceSize / 2) * 3;
  EXPECT_EQ(texels[centre + 0], 255);
  EXPECT_EQ(texels[centre + 1], 255);
  EXPECT_EQ(texels[centre + 2], 0);
  glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[centre + 2], 255);
  EXPECT_EQ(texels[centre + 0], 0);
  glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

  gReflectionMode = 0;
  gReflectionPending = 1;
  UpdateReflectionCubeMap(true, sources);  // no world loaded: the sky alone
  EXPECT_EQ(gCubeFace, 3);                 // six faces, round to where it began
  EXPECT_EQ(gReflectionPending, 0);
  GLint framebuffer = -1, viewport[4] = {};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(framebuffer, 0);
  EXPECT_EQ(viewport[2], kCubeFaceSize);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  ReleaseGLResources();
}

}  // namespace
