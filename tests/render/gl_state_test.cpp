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

TEST(GlCapabilities, UnitTargetsAreSetOnTheirOwnUnitsAndPutBackAsFound) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  auto cubeOn = [](GLenum unit) {
    GlActiveTexture(unit);
    return glIsEnabled(GL_TEXTURE_CUBE_MAP);
  };
  for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE2_ARB}) {
    GlActiveTexture(unit);
    glDisable(GL_TEXTURE_CUBE_MAP);
  }
  GLboolean inside[2];
  WithGlUnitCapabilities({{GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP, true}}, [&] {
    inside[0] = cubeOn(GL_TEXTURE1_ARB);
    inside[1] = cubeOn(GL_TEXTURE2_ARB);  // the pass ends on another unit
  });
  EXPECT_TRUE(inside[0] && !inside[1]);
  EXPECT_FALSE(cubeOn(GL_TEXTURE1_ARB));
  GlActiveTexture(GL_TEXTURE0_ARB);
}
