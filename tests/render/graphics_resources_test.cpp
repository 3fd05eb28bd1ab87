// The renderer's start-up in a real window: every render target the passes
// draw into is complete at its size, the anti-aliasing setting fits the
// driver, and the fourteen programs link with every uniform the passes set.
#include <gtest/gtest.h>

#include <array>
#include <vector>
#include <string>

#include "framework/globals.h"
#include "render/gl_resources.h"
#include "render/shaders.h"
#include "tests/support/gl_resources_suite.h"

namespace {

constexpr int kSetsWithoutProgram[] = {1};
constexpr int kAllSets[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

class GraphicsResources : public GlResourcesSuite {
 protected:
  static void SetUpTestSuite() {
    gAntiAliasing = 8;  // more than this software driver allows
    gShadowMapSize = 1024;  // the normal shadow detail: every program's shadow reads built
    GlResourcesSuite::SetUpTestSuite();
    errorAfterInit_ = glGetError();
  }
  static void TearDownTestSuite() {
    GlResourcesSuite::TearDownTestSuite();
    gShadowMapSize = kShadowMapSizeOff;
  }

  static GLenum errorAfterInit_;
};
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
  for (const GLuint* paints : {gCarPaintTextures, gCarPaintTextures2, gCarPaintTextures3})
    EXPECT_EQ(paints[3], 0u) << "paint is made by its first composition";
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
      // The terrain's glow is weighed by the table's 0: built without its reads.
      const std::string name = uniforms[k].name;
      const bool glow = set == kProgRoadBump && (name == "emissive" || name == "decal8" || name == "decal9");
      EXPECT_EQ(*uniforms[k].location == -1, glow) << "set " << set << " uniform " << name;
    }
    total += count;
  }
  EXPECT_EQ(total, 116);
  for (int set : kSetsWithoutProgram) EXPECT_EQ(ShaderProgramOf(set), 0u);
  EXPECT_EQ(gRoadBumpProgram.decal7, glGetUniformLocationARB(gRoadBumpProgram.object, "decal7"));
  EXPECT_EQ(gLightProgram.lightNow, glGetUniformLocationARB(gLightProgram.object, "LightNow"));  // the model drawing's
}

TEST_F(GraphicsResources, WithShadowsOffNoProgramReadsTheShadowMap) {
  const struct {
    int set;
    const char* shadowMap;
  } shadowed[] = {{kProgLight, "decal4"}, {kProgDirtTrace, "decal4"}, {kProgTransparency, "decal2"},
                  {kProgMap, "decal2"},   {kProgRoadBump, "decal2"},   {kProgRoadBumpSingle, "decal2"}};
  for (const auto& program : shadowed)
    EXPECT_NE(glGetUniformLocationARB(ShaderProgramOf(program.set), program.shadowMap), -1) << program.set;
  gShadowMapSize = kShadowMapSizeOff;
  ASSERT_TRUE(BuildShaderPrograms());
  for (const auto& program : shadowed)
    EXPECT_EQ(glGetUniformLocationARB(ShaderProgramOf(program.set), program.shadowMap), -1) << program.set;
  gShadowMapSize = 1024;
  ASSERT_TRUE(BuildShaderPrograms());
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
  glUseProgramObjectARB(gRoadBumpProgram.object);
  GLint unit = -1;
  getUniformiv(gRoadBumpProgram.object, gRoadBumpProgram.decal7, &unit);
  EXPECT_EQ(unit, 6);
  float value = 0;
  getUniformfv(gRoadBumpProgram.object, gRoadBumpProgram.matSpecular, &value);
  EXPECT_FLOAT_EQ(value, 0.65f);
  float texel[4] = {};
  glUseProgramObjectARB(gMapProgram.object);
  getUniformfv(gMapProgram.object, gMapProgram.distortShadowTexel, texel);
  EXPECT_FLOAT_EQ(texel[0], gScreenWidth / 64.0f);
  EXPECT_FLOAT_EQ(texel[1], gScreenHeight / 64.0f);
  EXPECT_FLOAT_EQ(texel[2], 1.0f / gShadowMapSize);
  EXPECT_FLOAT_EQ(texel[3], 1.0f / gShadowMapSize);
  glUseProgramObjectARB(gWaterProgram.object);
  getUniformfv(gWaterProgram.object, gWaterProgram.time, &value);
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
      {&gLightProgram.object, &gLightProgram.glassNow, 1},
      {&gLightProgram.object, &gLightProgram.glassAlpha, 1},
      {&gLightProgram.object, &gLightProgram.lightNow, 1},
      {&gBlurProgram.object, &gBlurProgram.texOffset, 2},
      {&gBlurProgram.object, &gBlurProgram.intensity, 1},
      {&gBlurProgram.object, &gBlurProgram.decal, 0},
      {&gBlurSmokeProgram.object, &gBlurSmokeProgram.texOffset, 2},
      {&gBlurSmokeProgram.object, &gBlurSmokeProgram.intensity, 1},
      {&gBlurSmokeProgram.object, &gBlurSmokeProgram.decal, 0},
      {&gHDRProgram.object, &gHDRProgram.exposure, 1},
      {&gHDRProgram.object, &gHDRProgram.gamma, 1},
      {&gHDRProgram.object, &gHDRProgram.decal, 0},
      {&gHDRProgram.object, &gHDRProgram.decal2, 0},
      {&gRadialBlurProgram.object, &gRadialBlurProgram.decal, 0},
      {&gRadialBlurProgram.object, &gRadialBlurProgram.texSize, 2},
      {&gRadialBlurProgram.object, &gRadialBlurProgram.speed, 1},
      {&gTransparencyProgram.object, &gTransparencyProgram.t0, 1},
      {&gTransparencyProgram.object, &gTransparencyProgram.t1, 1},
      {&gMapProgram.object, &gMapProgram.t0, 1},
      {&gMapProgram.object, &gMapProgram.t1, 1},
      {&gRoadBumpProgram.object, &gRoadBumpProgram.t0, 1},
      {&gRoadBumpProgram.object, &gRoadBumpProgram.t1, 1},
      {&gReflMapProgram.object, &gReflMapProgram.lightNow, 1},
      {&gGrassProgram.object, &gGrassProgram.right, 3},
      {&gGrassProgram.object, &gGrassProgram.up, 3},
      {&gGrassProgram.object, &gGrassProgram.t0, 1},
      {&gGrassProgram.object, &gGrassProgram.t1, 1},
      {&gTreesProgram.object, &gTreesProgram.right, 3},
      {&gTreesProgram.object, &gTreesProgram.up, 3},
      {&gTreesProgram.object, &gTreesProgram.camPos, 3},
      {&gTreesProgram.object, &gTreesProgram.t0, 1},
      {&gTreesProgram.object, &gTreesProgram.t1, 1},
      {&gDirtTraceProgram.object, &gDirtTraceProgram.glassNow, 1},
      {&gDirtTraceProgram.object, &gDirtTraceProgram.glassAlpha, 1},
      {&gDirtTraceProgram.object, &gDirtTraceProgram.lightNow, 1},
      {&gDirtTraceProgram.object, &gDirtTraceProgram.refInt, 1},
      {&gTransparencyProgram.object, &gTransparencyProgram.matAmbient, 1},
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

// ---- What the programs draw ----

namespace {

// A 1 x 1 texture of one colour on the given unit's 2-D target.
GLuint SolidTextureOnUnit(GLenum unit, float r, float g, float b, float a) {
  const GLfloat texel[4] = {r, g, b, a};
  GLuint texture = 0;
  glActiveTextureARB(unit);
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_FLOAT, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  return texture;
}

// A 45-degree camera at the origin looking down -z, light 0 shining along
// the view (from behind the camera).
void LookDownMinusZ() {
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, double(GlWindow::kWidth) / GlWindow::kHeight, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat towardsViewer[4] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RestoreState() {
  glUseProgramObjectARB(0);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  for (GLenum unit : {GL_TEXTURE3_ARB, GL_TEXTURE2_ARB, GL_TEXTURE1_ARB}) {
    glActiveTextureARB(unit);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_3D, 0);
  }
  glMatrixMode(GL_MODELVIEW);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glBindTexture(GL_TEXTURE_2D, 0);
}

// The shadow map filled with one depth, on unit 1 with a texture matrix that
// maps the test's eye space into it at depth 0.5.
void ShadowMapAtDepth(float depth) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gShadowFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, gShadowMapTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  glClearDepth(depth);
  glClear(GL_DEPTH_BUFFER_BIT);
  glClearDepth(1.0);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glBindTexture(GL_TEXTURE_2D, gShadowMapTexture);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glTranslatef(0.5f, 0.5f, 0.5f);
  glScalef(0.05f, 0.05f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
  glActiveTextureARB(GL_TEXTURE2_ARB);
  glBindTexture(GL_TEXTURE_3D, gNoiseTexture3D);
  glActiveTextureARB(GL_TEXTURE0_ARB);
}

std::array<uint8_t, 4> CentrePixel() {
  std::array<uint8_t, 4> pixel{};
  glReadBuffer(GL_BACK);
  glReadPixels(GlWindow::kWidth / 2, GlWindow::kHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

// A white 2 x 2 square facing the camera 5 units ahead, drawn with Map.
std::array<uint8_t, 4> DrawMapSquare(float lightNow, float t0, float t1) {
  LookDownMinusZ();
  glUseProgramObjectARB(gMapProgram.object);
  SetShaderUniforms(kProgMap);
  glUniform1fARB(gMapProgram.lightNow, lightNow);
  glUniform1fARB(gMapProgram.t0, t0);
  glUniform1fARB(gMapProgram.t1, t1);
  glBegin(GL_QUADS);
  glNormal3f(0, 0, 1);
  glTexCoord2f(0, 0);
  glVertex3f(-1, -1, -5);
  glVertex3f(1, -1, -5);
  glVertex3f(1, 1, -5);
  glVertex3f(-1, 1, -5);
  glEnd();
  glUseProgramObjectARB(0);
  return CentrePixel();
}

}  // namespace

TEST_F(GraphicsResources, MapLightsBySunAndShadowAndFadesPastT1) {
  const GLuint white = SolidTextureOnUnit(GL_TEXTURE0_ARB, 1, 1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, white);
  const uint8_t ambientOnly = uint8_t(0.65f * 255 + 0.5f);  // matAmbient of a white texture

  ShadowMapAtDepth(1.0f);  // nothing between the sun and the square
  std::array<uint8_t, 4> sunlit = DrawMapSquare(1.0f, 10, 20);
  EXPECT_EQ(sunlit[0], 255);  // ambient 0.65 + diffuse 0.6 facing the light
  EXPECT_EQ(sunlit[3], 255);
  std::array<uint8_t, 4> unlit = DrawMapSquare(0.0f, 10, 20);
  EXPECT_NEAR(unlit[0], ambientOnly, 2);

  ShadowMapAtDepth(0.0f);  // something nearer the sun covers it
  std::array<uint8_t, 4> shadowed = DrawMapSquare(1.0f, 10, 20);
  EXPECT_NEAR(shadowed[0], ambientOnly, 2);

  ShadowMapAtDepth(1.0f);
  EXPECT_EQ(DrawMapSquare(1.0f, 1, 2)[3], 0);         // 5 units away: past T1, gone into the sky
  EXPECT_NEAR(DrawMapSquare(1.0f, 4, 6)[3], 128, 3);  // half way between T0 and T1
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glDeleteTextures(1, &white);
  RestoreState();
}

TEST_F(GraphicsResources, GrassPlacesTheTuftAroundItsAnchor) {
  const GLuint white = SolidTextureOnUnit(GL_TEXTURE0_ARB, 1, 1, 1, 1);
  const GLuint tint = SolidTextureOnUnit(GL_TEXTURE1_ARB, 0.625f, 0.625f, 0.625f, 1);  // neutral tint
  LookDownMinusZ();
  glBindTexture(GL_TEXTURE_2D, white);
  glUseProgramObjectARB(gGrassProgram.object);
  SetShaderUniforms(kProgGrass);
  glUniform1fARB(gGrassProgram.t0, 50);
  glUniform1fARB(gGrassProgram.t1, 60);
  glUniform3fARB(gGrassProgram.right, 1, 0, 0);
  glUniform3fARB(gGrassProgram.up, 0, 2, 0);
  // A tuft of size 1 anchored 1 below the view axis: 1 wide and 2 tall.
  const float corners[4][2] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}};
  glBegin(GL_QUADS);
  for (const auto& corner : corners) {
    glMultiTexCoord4fARB(GL_TEXTURE0_ARB, corner[0], corner[1], corner[0] * 0.125f, 1.0f);
    glMultiTexCoord3fARB(GL_TEXTURE1_ARB, 0, 0, 0);
    glVertex3f(0, -1, -5);
  }
  glEnd();
  glUseProgramObjectARB(0);

  // 5 units away a length of 1 is 1 / (5 tan 22.5°) of the half-height.
  // The row read is 0.1 above the foot, where the tip's flutter is nil.
  const float pixelsPerUnit = 1.0f / (5 * 0.41421f) * GlWindow::kHeight / 2;
  const int halfWidthPixels = int(0.5f * pixelsPerUnit);
  const int rowNearTheFoot = GlWindow::kHeight / 2 - int(0.9f * pixelsPerUnit);
  std::vector<uint8_t> row(GlWindow::kWidth * 4);
  glReadPixels(0, rowNearTheFoot, GlWindow::kWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
  const int centre = GlWindow::kWidth / 2;
  EXPECT_GT(row[centre * 4], 100);
  EXPECT_GT(row[(centre + halfWidthPixels - 3) * 4], 100);
  EXPECT_EQ(row[(centre + halfWidthPixels + 3) * 4], 0);
  EXPECT_EQ(row[(centre - halfWidthPixels - 3) * 4], 0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  GLuint textures[2] = {white, tint};
  glDeleteTextures(2, textures);
  RestoreState();
}

namespace {

// One Blur pass over a 400 x 300 source of one grey into gBlurTexture2;
// the centre texel of the result.
float BlurOfGrey(float grey, float offsetX, float offsetY) {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gResolveFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_RECTANGLE_ARB,
                            gBlurTexture, 0);
  glClearColor(grey, grey, grey, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_RECTANGLE_ARB,
                            gBlurTexture2, 0);
  glViewport(0, 0, kBlurWidth, kBlurHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kBlurWidth, 0, kBlurHeight, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, gBlurTexture);
  glUseProgramObjectARB(gBlurProgram.object);
  glUniform1iARB(gBlurProgram.decal, 0);
  glUniform2fARB(gBlurProgram.texOffset, offsetX, offsetY);
  glUniform1fARB(gBlurProgram.intensity, 1.0f);
  glBegin(GL_QUADS);
  const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& corner : corners) {
    glTexCoord2f(corner[0] * kBlurWidth, corner[1] * kBlurHeight);
    glVertex2f(corner[0] * kBlurWidth, corner[1] * kBlurHeight);
  }
  glEnd();
  glUseProgramObjectARB(0);
  float texel[4] = {};
  glReadPixels(kBlurWidth / 2, kBlurHeight / 2, 1, 1, GL_RGBA, GL_FLOAT, texel);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glBindTexture(GL_TEXTURE_RECTANGLE_ARB, 0);
  glEnable(GL_DEPTH_TEST);
  return texel[0];
}

}  // namespace

TEST_F(GraphicsResources, BlurGlowsOnlyFromTheBrightPartInItsFirstDirection) {
  EXPECT_NEAR(BlurOfGrey(0.3f, 2, 0), 0.0f, 1e-3);          // a dull picture gives no glow
  EXPECT_NEAR(BlurOfGrey(1.0f, 2, 0), 0.45f * 2.2f, 1e-2);  // white: the part above 0.55, raised
  EXPECT_NEAR(BlurOfGrey(0.3f, 0, 1), 0.3f, 1e-2);          // the second direction only spreads
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
