// The GL capability helper in a real window: a pass gets what it names and
// leaves each capability as it found it, texture targets on the unit it
// began on; the garage composite, drawn through it, leaves the window so.
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "tests/support/gl_window.h"

#include <gtest/gtest.h>

namespace {

constexpr GLenum kCaps[] = {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D};

void SetCaps(const GLboolean (&on)[4]) {
  for (int i = 0; i < 4; ++i) on[i] ? glEnable(kCaps[i]) : glDisable(kCaps[i]);
}

}  // namespace

TEST(GlCapabilities, APassGetsWhatItNamesAndLeavesEachAsItFoundItWhereverItEnds) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  GLboolean found[4], inside[4];
  for (int i = 0; i < 4; ++i) found[i] = glIsEnabled(kCaps[i]);
  for (GLboolean before : {GL_FALSE, GL_TRUE})
    for (bool need : {false, true}) {
      SetCaps({before, before, before, before});
      WithGlCapabilities({{GL_BLEND, need}, {GL_DEPTH_TEST, need}, {GL_CULL_FACE, need}, {GL_TEXTURE_2D, need}}, [&] {
        for (int i = 0; i < 4; ++i) inside[i] = glIsEnabled(kCaps[i]);
        SetCaps({!need, !need, !need, !need});
        GlActiveTexture(GL_TEXTURE3_ARB);
      });
      GlActiveTexture(GL_TEXTURE0_ARB);
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(inside[i], GLboolean(need)) << "cap " << i;
        EXPECT_EQ(glIsEnabled(kCaps[i]), before) << "cap " << i;
      }
    }
  SetCaps(found);
}

TEST(GlCapabilities, TheGarageCompositeLeavesTheWindowAsItFoundIt) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  const GLboolean blend = glIsEnabled(GL_BLEND), depth = glIsEnabled(GL_DEPTH_TEST);
  GLuint names[2];
  glGenTextures(2, names);
  gSceneTexture = names[0];
  gBlurTexture = names[1];
  for (GLboolean before : {GL_FALSE, GL_TRUE}) {
    SetCaps({before, before, GL_FALSE, GL_TRUE});
    DrawGarageSceneOnWindow();
    EXPECT_EQ(glIsEnabled(GL_BLEND), before);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), before);
  }
  gSceneTexture = gBlurTexture = 0;
  glDeleteTextures(2, names);
  SetCaps({blend, depth, GL_FALSE, GL_TRUE});
}
