// Models drawn in a real window: textures bound per group, the normal-map
// variants' texture units, and the start-up models.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/model.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/quad_model.h"
#include "tests/support/scratch_folder.h"
#include "tools/binary_writer.h"
#include "tools/bmp_writer.h"
#include "tools/ms3d_writer.h"
#include "tools/tga_writer.h"


namespace {

constexpr uint8_t kBlack[3] = {0, 0, 0};

// A quad over the middle of the 800x600 frame, (200, 150) to (600, 450),
// in one group with material 0 naming `texture` and `normalMap`.
Ms3dFile FrameQuad(const std::string& texture, const std::string& normalMap, int8_t material = 0) {
  Ms3dFile file = QuadModelFile(200, 150, 600, 450);
  file.groups[0].material = material;
  file.materials[0].texture = texture;
  file.materials[0].alphaMap = normalMap;
  return file;
}

class ModelDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    ASSERT_TRUE(WriteTga(folder.File("red.tga"), SolidImage(4, 4, 3, 255, 0, 0)));
    // White, so that the fixed-function modulation of the normal-map unit
    // leaves the colour texture's colour on screen.
    ASSERT_TRUE(WriteTga(folder.File("flat_n.tga"), SolidImage(4, 4, 3, 255, 255, 255)));
    ASSERT_TRUE(WriteTga(folder.File("blue.tga"), SolidImage(4, 4, 3, 0, 0, 255)));
    window->BeginMenuFrame(0, 0, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
  }

  std::string Folder() const { return folder.Path() + "/"; }

  // A model read from a file written by our writer, with its textures.
  void LoadQuad(MilkshapeModel* model, const Ms3dFile& file) {
    ASSERT_TRUE(WriteMs3d(folder.File("quad.sbm"), file));
    ASSERT_TRUE(model->LoadFromFile(folder.File("quad.sbm").c_str()));
    model->LoadMaterialTextures(Folder().c_str());
    model->BuildTangentSpace();
  }

  GlWindow* window = nullptr;
  ScratchFolder folder;
};

GLint ActiveUnit() {
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
  return unit;
}

bool UnitEnabled(GLenum unit) {
  const GLint saved = ActiveUnit();
  GlActiveTexture(unit);
  const bool enabled = glIsEnabled(GL_TEXTURE_2D);
  GlActiveTexture(GLenum(saved));
  return enabled;
}

}  // namespace

TEST_F(ModelDrawing, DrawBindsEachGroupsMaterialTexture) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  ASSERT_NE(model.materials[0].textureId, 0u);
  model.Draw();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(PixelAt(window, 100, 100), (std::vector<int>{0, 0, 0}));
}

TEST_F(ModelDrawing, ListsAloneDrawAModelThatGaveItsTrianglesBackAndWithoutThemNothingIsRead) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  model.BuildDrawListsAndReleaseTriangles();
  ASSERT_EQ(model.triangles, nullptr);
  EXPECT_EQ(model.tangents, nullptr);
  model.Draw();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  model.FreeDrawLists();
  glClear(GL_COLOR_BUFFER_BIT);
  model.Draw();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 0, 0}));
}

TEST_F(ModelDrawing, GroupWithoutMaterialKeepsTheBoundTexture) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga", -1));
  const GLuint blue = CreateTextureFromTGA(folder.File("blue.tga").c_str(), false);
  glBindTexture(GL_TEXTURE_2D, blue);
  model.Draw();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 0, 255}));
  // The group draws that need material 0 leave a model without any alone.
  Ms3dFile bare = FrameQuad("", "", -1);
  bare.materials.clear();
  MilkshapeModel noMaterials;
  LoadQuad(&noMaterials, bare);
  glBindTexture(GL_TEXTURE_2D, blue);
  noMaterials.DrawNormalMappedGroupUniform(1, 1, 1, {});
  noMaterials.DrawGroupUniform(1, 1, 1, -1);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 0, 255}));
  glDeleteTextures(1, &blue);
}

TEST_F(ModelDrawing, DrawWithTextureReplacesEveryMaterial) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  const GLuint blue = CreateTextureFromTGA(folder.File("blue.tga").c_str(), false);
  model.DrawWithTexture(blue);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 0, 255}));
  glDeleteTextures(1, &blue);
}

TEST_F(ModelDrawing, NormalMappedOverrideUsesTheMaterialOnlyForMinusOne) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  model.DrawNormalMappedOverride(-1);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(ActiveUnit(), GL_TEXTURE0_ARB);
  EXPECT_TRUE(UnitEnabled(GL_TEXTURE0_ARB));
  EXPECT_FALSE(UnitEnabled(GL_TEXTURE2_ARB));
  const GLuint blue = CreateTextureFromTGA(folder.File("blue.tga").c_str(), false);
  model.DrawNormalMappedOverride(int(blue));
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 0, 255}));
  model.DrawNormalMappedOverride(int(kNoTexture));  // an empty Texture's name means "own"
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  glDeleteTextures(1, &blue);
}

TEST_F(ModelDrawing, NormalMappedAndGroupDrawsEndOnUnitZero) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  model.DrawNormalMapped();
  EXPECT_EQ(ActiveUnit(), GL_TEXTURE0_ARB);
  EXPECT_TRUE(UnitEnabled(GL_TEXTURE0_ARB));
  EXPECT_FALSE(UnitEnabled(GL_TEXTURE1_ARB));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  // Its uniforms belong to the lit program, which no test binds: GL
  // reports the uniform calls, and the texture units still end as they must.
  model.DrawNormalMappedGroupUniform(0.5f, 0.5f, 0.5f, {});
  while (glGetError() != GL_NO_ERROR) {
  }
  EXPECT_EQ(ActiveUnit(), GL_TEXTURE0_ARB);
  EXPECT_FALSE(UnitEnabled(GL_TEXTURE2_ARB));
  window->BeginMenuFrame(0, 0, 0);
  glDisable(GL_TEXTURE_2D);
  model.DrawTangentGeometry();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 255, 255})) << "no texture bound";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ModelDrawing, FlatArraysDrawTheSamePicture) {
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("red.tga", "flat_n.tga"));
  model.BuildVertexArrays();
  model.DrawVertexArrays(-1);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  GLboolean arrayOn = GL_TRUE;
  glGetBooleanv(GL_VERTEX_ARRAY, &arrayOn);
  EXPECT_FALSE(arrayOn);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ModelDrawing, CapitalExtensionGoesThroughTheBitmapReader) {
  // A file named .TGA is not taken for a TGA: real bitmap data loads...
  ASSERT_TRUE(WriteBmp(folder.File("paint.TGA"), SolidImage(4, 4, 3, 0, 255, 0)));
  // ...and TGA data under that name is refused by the bitmap reader.
  ASSERT_TRUE(WriteTga(folder.File("other.TGA"), SolidImage(4, 4, 3, 0, 255, 0)));
  MilkshapeModel model;
  LoadQuad(&model, FrameQuad("paint.TGA", "other.TGA"));
  EXPECT_NE(model.materials[0].textureId, 0u);
  EXPECT_EQ(model.materials[0].alphaMapId, 0u);
  model.Draw();
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 255, 0}));
}

TEST_F(ModelDrawing, StartupModelsLoadWithTexturesAndDrawSomething) {
  LoadStartupModels();
  Model* parts[] = {gSupportModel,        gBrakeDiskModel,      gVintModels[0],
                    gVintModels[1],       gVintModels[2],       gSuspensionModels[0],
                    gSuspensionModels[1], gSuspensionModels[2], gSuspensionModels[3],
                    gSuspensionModels[4]};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-0.4, 0.4, -0.3, 0.5, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(30, 1, 1, 0);
  for (Model* part : parts) {
    ASSERT_NE(part, nullptr);
    ASSERT_GT(part->CornerCount(), 0);
    EXPECT_NE(part->materials[0].textureId, 0u);
    EXPECT_NE(part->materials[0].alphaMapId, 0u);
    EXPECT_NE(part->drawLists, 0u);
    EXPECT_EQ(part->triangles, nullptr) << "drawn from its lists alone, it gives its triangles back";
    glClear(GL_COLOR_BUFFER_BIT);
    part->DrawNormalMappedOverride(-1);
    EXPECT_FALSE(InkBox(window, kBlack).Empty());
  }
  // A picture of the ten parts for a person: frames/parts.tga.
  glClearColor(0.3f, 0.3f, 0.35f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  const float light[4] = {0.5f, 1, 1, 0};
  for (int i = 0; i < 10; ++i) {
    glViewport((i % 5) * 204, (1 - i / 5) * 384, 204, 384);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.3, 0.3, -0.35, 0.75, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glRotatef(25, 1, 0, 0);
    glRotatef(-35, 0, 1, 0);
    parts[i]->DrawNormalMappedOverride(-1);
  }
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/parts.tga"));
  // The garage models come from another part of the generator; a missing
  // one stays an empty model that draws nothing.
  for (Model* garage : gGarageModels) ASSERT_NE(garage, nullptr);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  for (Model*& part : {std::ref(gSupportModel), std::ref(gBrakeDiskModel)}) {
    delete part;
    part = nullptr;
  }
  for (Model*& m : gVintModels) delete m, m = nullptr;
  for (Model*& m : gSuspensionModels) delete m, m = nullptr;
  for (Model*& m : gGarageModels) delete m, m = nullptr;
}

namespace {

// A GL 2.0 entry point the game itself does not fetch.
template <typename Function>
Function Gl(const char* name) {
  Function function = nullptr;
  Sys_FetchGL(function, name);
  return function;
}

// The calls that take one GL name: compile, link and use.
using NameFn = void(APIENTRYP)(GLuint);

// A program that shows the lit program's three group uniforms as colour:
// red LightNow, green RefInt, blue GlassAlpha.
GLuint MakeUniformProbeProgram() {
  const auto createShader = Gl<GLuint(APIENTRYP)(GLenum)>("glCreateShader");
  const auto shaderSource = Gl<void(APIENTRYP)(GLuint, GLsizei, const char* const*, const GLint*)>("glShaderSource");
  const auto compileShader = Gl<NameFn>("glCompileShader");
  const auto attachShader = Gl<void(APIENTRYP)(GLuint, GLuint)>("glAttachShader");
  const char* sources[2] = {
      "void main() { gl_Position = ftransform(); }",
      "uniform float LightNow; uniform float RefInt; uniform float GlassAlpha;\n"
      "void main() { gl_FragColor = vec4(LightNow, RefInt, GlassAlpha, 1.0); }"};
  const GLuint program = Gl<GLuint(APIENTRYP)()>("glCreateProgram")();
  for (int i = 0; i < 2; ++i) {
    const GLuint shader = createShader(i == 0 ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    shaderSource(shader, 1, &sources[i], nullptr);
    compileShader(shader);
    attachShader(program, shader);
  }
  Gl<NameFn>("glLinkProgram")(program);
  return program;
}

}  // namespace

TEST_F(ModelDrawing, GroupUniformDrawSetsTheLightOfEachGroup) {
  // Four groups, each a quad of its own in a row across the frame.
  Ms3dFile file = FrameQuad("red.tga", "flat_n.tga");
  file.vertices.clear();
  file.triangles.clear();
  file.groups.clear();
  for (int g = 0; g < 4; ++g) {
    const float x0 = 100.0f + 150 * g;
    const Ms3dFile quad = QuadModelFile(x0, 250, x0 + 100, 350);
    Ms3dGroup group{"g", {}, 0};
    for (Ms3dTriangle tri : quad.triangles) {
      for (uint16_t& v : tri.vertices) v = uint16_t(v + file.vertices.size());
      group.triangles.push_back(uint16_t(file.triangles.size()));
      file.triangles.push_back(tri);
    }
    file.vertices.insert(file.vertices.end(), quad.vertices.begin(), quad.vertices.end());
    file.groups.push_back(group);
  }
  MilkshapeModel model;
  LoadQuad(&model, file);
  const GLuint program = MakeUniformProbeProgram();
  const auto useProgram = Gl<NameFn>("glUseProgram");
  const auto uniformLocation = Gl<GLint(APIENTRYP)(GLuint, const char*)>("glGetUniformLocation");
  useProgram(program);
  const GroupLightUniforms uniforms = {uniformLocation(program, "LightNow"), uniformLocation(program, "RefInt"),
                                       uniformLocation(program, "GlassAlpha")};
  ASSERT_GE(uniforms.lightNow, 0);
  model.DrawNormalMappedGroupUniform(0.25f, 0.5f, 0.75f, uniforms);
  useProgram(0);
  const int expectedRed[4] = {64, 128, 191, 0};
  const int expectedGreen[4] = {0, 0, 0, 255};  // RefInt 1 from the fourth group on
  for (int g = 0; g < 4; ++g) {
    const std::vector<int> p = PixelAt(window, FrameToWindowX(150.0f + 150 * g), FrameToWindowY(300));
    EXPECT_NEAR(p[0], expectedRed[g], 2) << "group " << g;
    EXPECT_NEAR(p[1], expectedGreen[g], 2) << "group " << g;
    EXPECT_EQ(p[2], 0) << "group " << g;
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
