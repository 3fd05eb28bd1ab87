// The GL capability helper in a real window: a pass gets what it names and
// leaves each capability as it found it, texture targets on the unit it
// began on.
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

TEST(GlCapabilities, APassOnSeveralUnitsGetsWhatItNamesOnEachAndLeavesThemAndTheActiveUnitAsFound) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  auto onUnit = [](GLenum unit, GLenum target) {
    GlActiveTexture(unit);
    const GLboolean on = glIsEnabled(target);
    GlActiveTexture(GL_TEXTURE2_ARB);
    return on;
  };
  GlActiveTexture(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_CUBE_MAP);
  GlActiveTexture(GL_TEXTURE2_ARB);
  glEnable(GL_TEXTURE_3D);
  GLboolean cubeInside = GL_FALSE, volumeInside = GL_TRUE;
  WithGlUnitCapabilities({{GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP, true}, {GL_TEXTURE2_ARB, GL_TEXTURE_3D, false}}, [&] {
    cubeInside = onUnit(GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP);
    volumeInside = onUnit(GL_TEXTURE2_ARB, GL_TEXTURE_3D);
  });
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE2_ARB);
  EXPECT_TRUE(cubeInside && !volumeInside);
  EXPECT_FALSE(onUnit(GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP));
  EXPECT_TRUE(onUnit(GL_TEXTURE2_ARB, GL_TEXTURE_3D));
  glDisable(GL_TEXTURE_3D);
  GlActiveTexture(GL_TEXTURE0_ARB);
}
