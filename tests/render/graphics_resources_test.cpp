// The renderer's start-up in a real window: every render target the passes
// draw into is complete at its size, the anti-aliasing setting fits the
// driver, and the fourteen programs link with every uniform the passes set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/font.h"
#include "framework/globals.h"
#include "render/gl_resources.h"
#include "render/shaders.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int kSetsWithoutProgram[] = {1};
constexpr int kAllSets[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

class GraphicsResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GlWindow* window = GlWindow::Get();
    if (window == nullptr) return;
    setenv("ZARNOK_NONINTERACTIVE", "1", 1);  // a failure prints its box instead of waiting
    window->MakeMainCurrent();
    gAntiAliasing = 8;  // more than this software driver allows
    result_ = InitGLResources();
    errorAfterInit_ = glGetError();
  }
  static void TearDownTestSuite() {
    if (GlWindow::Get() == nullptr) return;
    glUseProgramObjectARB(0);
    ReleaseRenderTargets();
    FreeFont1DisplayLists();
    FreeFont2DisplayLists();
    ReleaseTextures();
  }
  void SetUp() override {
    if (GlWindow::Get() == nullptr) GTEST_SKIP() << "no display for a GL window";
    ASSERT_EQ(result_, GLResourcesResult::Ready);
  }

  static GLResourcesResult result_;
  static GLenum errorAfterInit_;
};
GLResourcesResult GraphicsResources::result_ = GLResourcesResult::Failed;
GLenum GraphicsResources::errorAfterInit_ = GL_NO_ERROR;

GLint Level0(GLenum target, GLuint texture, GLenum what, GLenum face = 0) {
  GLint value = 0;
  glBindTexture(target, texture);
  glGetTexLevelParameteriv(face ? face : target, 0, what, &value);
  glBindTexture(target, 0);
  return value;
}

GLenum StatusWith(GLenum colourTarget, GLuint colour, GLuint depth) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, colourTarget, colour, 0);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth);
  GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, 0);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  return status;
}

}  // namespace

TEST_F(GraphicsResources, LeavesNoGlErrorAndTheWindowFramebufferBound) {
  EXPECT_EQ(errorAfterInit_, GLenum(GL_NO_ERROR));
  GLint bound = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
}

TEST_F(GraphicsResources, EveryTargetThePassesDrawIntoIsComplete) {
  const GLenum complete = GL_FRAMEBUFFER_COMPLETE_EXT;
  for (GLuint layer : {gOpaqueTexture, gLayerTexture, gSceneTexture, gPrevSceneTexture, gSmokeTexture}) {
    EXPECT_EQ(StatusWith(GL_TEXTURE_RECTANGLE_ARB, layer, gDepthRenderbuffer), complete) << layer;
  }
  for (GLuint blur : {gBlurTexture, gBlurTexture2}) {
    EXPECT_EQ(StatusWith(GL_TEXTURE_RECTANGLE_ARB, blur, 0), complete);
  }
  EXPECT_EQ(StatusWith(GL_TEXTURE_2D, gRouteMapTexture, 0), complete);
  for (GLenum face : gCubeFaceTargets) {
    EXPECT_EQ(StatusWith(face, gReflectionCubeMap, gCubeDepthRenderbuffer), complete) << face;
  }

  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gShadowFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, gShadowMapTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), complete);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, 0, 0);

  if (gAntiAliasing > 0) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gMultisampleFbo);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 gMsColourRenderbuffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 gMsDepthRenderbuffer);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), complete);
  }
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GraphicsResources, TargetsHaveTheirSizesAndFormats) {
  EXPECT_EQ(Level0(GL_TEXTURE_RECTANGLE_ARB, gSceneTexture, GL_TEXTURE_WIDTH), gScreenWidth);
  EXPECT_EQ(Level0(GL_TEXTURE_RECTANGLE_ARB, gSceneTexture, GL_TEXTURE_HEIGHT), gScreenHeight);
  EXPECT_EQ(Level0(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture2, GL_TEXTURE_WIDTH), kBlurWidth);
  EXPECT_EQ(Level0(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture2, GL_TEXTURE_HEIGHT), kBlurHeight);
  EXPECT_EQ(Level0(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture2, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA16F_ARB);
  EXPECT_EQ(Level0(GL_TEXTURE_2D, gShadowMapTexture, GL_TEXTURE_WIDTH), gShadowMapSize);
  EXPECT_GT(Level0(GL_TEXTURE_2D, gShadowMapTexture, GL_TEXTURE_DEPTH_SIZE), 0);
  EXPECT_EQ(Level0(GL_TEXTURE_2D, gRouteMapTexture, GL_TEXTURE_WIDTH), kRouteMapSide);
  EXPECT_EQ(Level0(GL_TEXTURE_2D, gCarPaintTextures[3], GL_TEXTURE_WIDTH), 1536);
  EXPECT_EQ(Level0(GL_TEXTURE_2D, gCarPaintTextures3[3], GL_TEXTURE_HEIGHT), 512);
  EXPECT_EQ(Level0(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap, GL_TEXTURE_WIDTH, gCubeFaceTargets[5]),
            kCubeFaceSize);
  EXPECT_TRUE(glIsQueryARB(gSunQuery) || gSunQuery != 0);
}

TEST_F(GraphicsResources, AntiAliasingIsLoweredToWhatTheDriverAllows) {
  GLint maxSamples = 0;
  glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);
  EXPECT_EQ(gAntiAliasing, ClampAntiAliasing(8, maxSamples));
  EXPECT_EQ(gAntiAliasingChoice, gAntiAliasing);  // the graphics screen shows the count in effect
  if (gAntiAliasing > 0) {
    GLint samples = 0;
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, gMsColourRenderbuffer);
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_SAMPLES_EXT, &samples);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    EXPECT_GE(samples, gAntiAliasing);
  }
}

TEST(AntiAliasingClamp, KeepsTheLargestSettingTheDriverAllows) {
  struct Case {
    int asked, maxSamples, expected;
  };
  for (Case c : {Case{8, 4, 4}, Case{8, 8, 8}, Case{8, 16, 8}, Case{8, 6, 4}, Case{4, 3, 2}, Case{2, 8, 2},
                 Case{8, 1, 0}, Case{0, 8, 0}, Case{8, 0, 0}}) {
    EXPECT_EQ(ClampAntiAliasing(c.asked, c.maxSamples), c.expected) << c.asked << " of " << c.maxSamples;
  }
}

TEST(FramebufferStatus, UnsupportedKeepsItsTextAndEveryFailureIsNamed) {
  EXPECT_STREQ(FramebufferStatusMessage(GL_FRAMEBUFFER_UNSUPPORTED_EXT), "GL_FRAMEBUFFER_UNSUPPORTED_EXT!");
  EXPECT_STREQ(FramebufferStatusMessage(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT),
               "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT!");
}

// ---- The programs ----

TEST_F(GraphicsResources, AllFourteenProgramsLinkWithEveryUniformLocated) {
  int total = 0;
  for (int set : kAllSets) {
    EXPECT_NE(ShaderProgramOf(set), 0u) << set;
    int count = 0;
    const ShaderUniform* uniforms = ShaderUniformsOf(set, &count);
    ASSERT_GT(count, 0) << set;
    for (int k = 0; k < count; ++k) {
      EXPECT_NE(*uniforms[k].location, -1) << "set " << set << " has no uniform " << uniforms[k].name;
    }
    total += count;
  }
  EXPECT_EQ(total, 118);
  for (int set : kSetsWithoutProgram) EXPECT_EQ(ShaderProgramOf(set), 0u);
  EXPECT_EQ(gLocRoadBumpDecal7, glGetUniformLocationARB(gProgRoadBump, "decal7"));
  EXPECT_EQ(gLocLightLightNow, glGetUniformLocationARB(gProgLight, "LightNow"));  // the model drawing's
}

TEST_F(GraphicsResources, EachSetLoadsItsValuesWithoutAGlError) {
  PFNGLGETUNIFORMFVARBPROC getUniformfv = nullptr;
  PFNGLGETUNIFORMIVARBPROC getUniformiv = nullptr;
  Sys_FetchGL(getUniformfv, "glGetUniformfvARB");
  Sys_FetchGL(getUniformiv, "glGetUniformivARB");
  ASSERT_NE(getUniformfv, nullptr);
  gMenuClock = 2.0f;
  for (int set : kAllSets) {
    glUseProgramObjectARB(ShaderProgramOf(set));
    SetShaderUniforms(set);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << set;
  }
  glUseProgramObjectARB(gProgRoadBump);
  GLint unit = -1;
  getUniformiv(gProgRoadBump, gLocRoadBumpDecal9, &unit);
  EXPECT_EQ(unit, 8);
  float value = 0;
  getUniformfv(gProgRoadBump, gLocRoadBumpMatSpecular, &value);
  EXPECT_FLOAT_EQ(value, 0.65f);
  float texel[4] = {};
  getUniformfv(gProgRoadBump, gLocRoadBumpDistortShadowTexel, texel);
  EXPECT_FLOAT_EQ(texel[0], gScreenWidth / 64.0f);
  EXPECT_FLOAT_EQ(texel[1], gScreenHeight / 64.0f);
  EXPECT_FLOAT_EQ(texel[2], 1.0f / gShadowMapSize);
  EXPECT_FLOAT_EQ(texel[3], 1.0f / gShadowMapSize);
  glUseProgramObjectARB(gProgWater);
  getUniformfv(gProgWater, gLocWaterTime, &value);
  EXPECT_FLOAT_EQ(value, 2.5f);  // the clock times 1.25
  glUseProgramObjectARB(0);
}

TEST_F(GraphicsResources, UniformsThePassesSetTakeTheirSettersTypes) {
  // The per-draw uniforms by the setter the passes call: 1 float, 2, 3 or
  // an int (a sampler unit). A type mismatch is a GL error at the call.
  struct PassUniform {
    GLhandleARB* program;
    GLint* location;
    int floats;  // 0: glUniform1iARB
  };
  const PassUniform uniforms[] = {
      {&gProgLight, &gLocLightGlassNow, 1},
      {&gProgLight, &gLocLightGlassAlpha, 1},
      {&gProgLight, &gLocLightLightNow, 1},
      {&gProgBlur, &gLocBlurTexOffset, 2},
      {&gProgBlur, &gLocBlurIntensity, 1},
      {&gProgBlur, &gLocBlurDecal, 0},
      {&gProgBlurSmoke, &gLocBlurSmokeTexOffset, 2},
      {&gProgBlurSmoke, &gLocBlurSmokeIntensity, 1},
      {&gProgBlurSmoke, &gLocBlurSmokeDecal, 0},
      {&gProgHDR, &gLocHDRExposure, 1},
      {&gProgHDR, &gLocHDRGamma, 1},
      {&gProgHDR, &gLocHDRDecal, 0},
      {&gProgHDR, &gLocHDRDecal2, 0},
      {&gProgRadialBlur, &gLocRadialBlurDecal, 0},
      {&gProgRadialBlur, &gLocRadialBlurTexSize, 2},
      {&gProgRadialBlur, &gLocRadialBlurSpeed, 1},
      {&gProgTransparency, &gLocTransparencyT0, 1},
      {&gProgTransparency, &gLocTransparencyT1, 1},
      {&gProgMap, &gLocMapT0, 1},
      {&gProgMap, &gLocMapT1, 1},
      {&gProgRoadBump, &gLocRoadBumpT0, 1},
      {&gProgRoadBump, &gLocRoadBumpT1, 1},
      {&gProgReflMap, &gLocReflMapLightNow, 1},
      {&gProgGrass, &gLocGrassRight, 3},
      {&gProgGrass, &gLocGrassUp, 3},
      {&gProgGrass, &gLocGrassT0, 1},
      {&gProgGrass, &gLocGrassT1, 1},
      {&gProgTrees, &gLocTreesRight, 3},
      {&gProgTrees, &gLocTreesUp, 3},
      {&gProgTrees, &gLocTreesCamPos, 3},
      {&gProgTrees, &gLocTreesT0, 1},
      {&gProgTrees, &gLocTreesT1, 1},
      {&gProgDirtTrace, &gLocDirtTraceGlassNow, 1},
      {&gProgDirtTrace, &gLocDirtTraceGlassAlpha, 1},
      {&gProgDirtTrace, &gLocDirtTraceLightNow, 1},
      {&gProgDirtTrace, &gLocDirtTraceRefInt, 1},
      {&gProgTransparency, &gLocTransparencyMatAmbient, 1},
  };
  for (const PassUniform& uniform : uniforms) {
    glUseProgramObjectARB(*uniform.program);
    switch (uniform.floats) {
      case 0: glUniform1iARB(*uniform.location, 0); break;
      case 1: glUniform1fARB(*uniform.location, 0.5f); break;
      case 2: glUniform2fARB(*uniform.location, 1.0f, 0.0f); break;
      case 3: glUniform3fARB(*uniform.location, 0.0f, 1.0f, 0.0f); break;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "location " << *uniform.location;
  }
  glUseProgramObjectARB(0);
}
