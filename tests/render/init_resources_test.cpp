// The renderer's start-up makes what the framework's fonts, volumes and
// effects need, and the window's shutdown gives the names back.
#include <gtest/gtest.h>

#include "framework/font.h"
#include "framework/particle_effect.h"
#include "framework/texture.h"
#include "render/renderer.h"
#include "tests/support/gl_window.h"

namespace {

GLint Texture3DLevel0(GLuint texture, GLenum what) {
  GLint value = 0;
  glBindTexture(GL_TEXTURE_3D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, what, &value);
  return value;
}

}  // namespace

TEST(InitGLResources, MakesFontsVolumesAndEffectsAndShutdownFreesTheNames) {
  REQUIRE_GL_WINDOW(window);
  ASSERT_EQ(InitGLResources(), GLResourcesResult::Ready);

  // Fonts: both sheets, both width tables, both sets of lists.
  const GLuint sheet1 = gTextures[kFont1SheetTexture].glId;
  const GLuint sheet2 = gTextures[kFont2SheetTexture].glId;
  EXPECT_NE(sheet1, kNoTexture);
  EXPECT_NE(sheet2, kNoTexture);
  EXPECT_GT(gFont1Widths['W'], gFont1Widths['i']);
  EXPECT_GT(gFont2Widths['W'], gFont2Widths['i']);
  EXPECT_TRUE(glIsList(gFont1ListBase + 'A'));
  EXPECT_TRUE(glIsList(gFont2ListBase + 0xE0));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

  // The two 64³ volumes.
  EXPECT_EQ(Texture3DLevel0(gWaterTexture3D, GL_TEXTURE_DEPTH), kVolumeTextureSize);
  EXPECT_EQ(Texture3DLevel0(gNoiseTexture3D, GL_TEXTURE_DEPTH), kVolumeTextureSize);
  EXPECT_NE(gWaterTexture3D, gNoiseTexture3D);

  // The 17 effects, each with its file's particles.
  for (const ParticleEffect& effect : gFirePipeEffects) EXPECT_GT(effect.count, 0);
  for (const ParticleEffect& effect : gSmokePipeEffects) EXPECT_GT(effect.count, 0);
  for (const ParticleEffect& effect : gDustEffects) EXPECT_GT(effect.count, 0);
  EXPECT_GT(gCheckpointLightEffect.count, 0);
  EXPECT_EQ(gFirePipeEffects[0].Parameters().additive, 1);
  EXPECT_EQ(gSmokePipeEffects[3].Parameters().additive, 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  // What the window's shutdown does with the main context current.
  FreeFont1DisplayLists();
  FreeFont2DisplayLists();
  ReleaseTextures();
  EXPECT_FALSE(glIsTexture(sheet1));
  EXPECT_FALSE(glIsTexture(sheet2));
  EXPECT_EQ(gTextures[kFont1SheetTexture].glId, kNoTexture);
  EXPECT_EQ(gFont1ListBase, 0u);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
