// The GL state helper in a real window: a pass gets the capabilities it
// names and leaves each as it found it, whatever it was before; a texture
// target comes back on the unit the pass began on; and the garage picture's
// composite, drawn through it, leaves the window's state as it found it.
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "tests/support/gl_window.h"

#include <gtest/gtest.h>

namespace {

constexpr GLenum kCaps[] = {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST};

void SetAll(bool on) {
  for (GLenum cap : kCaps) on ? glEnable(cap) : glDisable(cap);
}

}  // namespace

TEST(GlCapabilities, APassGetsWhatItNamesAndLeavesEachAsItFoundIt) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  GLboolean atStart[4];
  for (int i = 0; i < 4; ++i) atStart[i] = glIsEnabled(kCaps[i]);
  for (bool before : {false, true})
    for (bool need : {false, true}) {
      SetAll(before);
      GLboolean inside[4] = {};
      WithGlCapabilities({{GL_BLEND, need}, {GL_DEPTH_TEST, need}, {GL_CULL_FACE, need}, {GL_ALPHA_TEST, need}}, [&] {
        for (int i = 0; i < 4; ++i) inside[i] = glIsEnabled(kCaps[i]);
        SetAll(!need);  // the pass changes them again on its own
      });
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(inside[i] == GL_TRUE, need) << "cap " << i << " before " << before;
        EXPECT_EQ(glIsEnabled(kCaps[i]) == GL_TRUE, before) << "cap " << i << " need " << need;
      }
    }
  for (int i = 0; i < 4; ++i) atStart[i] ? glEnable(kCaps[i]) : glDisable(kCaps[i]);
}

TEST(GlCapabilities, ATextureTargetComesBackOnTheUnitThePassBeganOn) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  GlActiveTexture(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  WithGlCapabilities({{GL_TEXTURE_2D, false}}, [] {
    GlActiveTexture(GL_TEXTURE3_ARB);
    glEnable(GL_TEXTURE_2D);
  });
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
  EXPECT_EQ(unit, GLint(GL_TEXTURE3_ARB)) << "the unit is the pass's choice";
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "unit 3 as the pass left it";
  glDisable(GL_TEXTURE_2D);
  GlActiveTexture(GL_TEXTURE0_ARB);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(GlCapabilities, TheGarageCompositeLeavesTheWindowStateAsItFoundIt) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  GLuint names[2];
  glGenTextures(2, names);
  gSceneTexture = names[0];
  gBlurTexture = names[1];
  const GLboolean blend = glIsEnabled(GL_BLEND), depth = glIsEnabled(GL_DEPTH_TEST);
  for (bool before : {false, true}) {
    before ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    before ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    DrawGarageSceneOnWindow();
    EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, before);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, before);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
  }
  gSceneTexture = gBlurTexture = 0;
  glDeleteTextures(2, names);
  blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
  depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}
