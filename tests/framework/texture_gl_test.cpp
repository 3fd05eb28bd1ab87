// Textures uploaded in a real window, and GL names shared between the
// loader context and the main context.
#include <gtest/gtest.h>

#include "framework/texture.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/scratch_folder.h"
#include "tools/binary_writer.h"
#include "tools/bmp_writer.h"
#include "tools/tga_writer.h"

namespace {

// A textured quad over the middle of the 800x600 frame, from (200, 150) to (600, 450).
void DrawTexturedQuad(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(200, 150);
  glTexCoord2f(1, 0);
  glVertex2f(600, 150);
  glTexCoord2f(1, 1);
  glVertex2f(600, 450);
  glTexCoord2f(0, 1);
  glVertex2f(200, 450);
  glEnd();
}

GLint TexParameter(GLenum name) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}

}  // namespace

TEST(TextureUpload, ModesSetTheirFiltersAndWraps) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  ASSERT_TRUE(WriteTga(folder.File("a.tga"), SolidImage(8, 8, 3, 10, 20, 30)));
  struct Expect {
    int mode;
    GLint minFilter, magFilter, wrapS, wrapT;
  };
  const Expect table[] = {
      {0, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT},
      {1, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT},
      {2, GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT},
      {3, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
      {4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_CLAMP_TO_EDGE},
      {5, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT},
      {6, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT},
  };
  for (const Expect& e : table) {
    Texture texture;
    ASSERT_TRUE(texture.LoadFromTGA(folder.File("a.tga").c_str(), e.mode));
    EXPECT_NE(texture.glId, kNoTexture);
    EXPECT_EQ(texture.components, 3);
    EXPECT_EQ(texture.width, 8);
    glBindTexture(GL_TEXTURE_2D, texture.glId);
    EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), e.minFilter) << "mode " << e.mode;
    EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), e.magFilter) << "mode " << e.mode;
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), e.wrapS) << "mode " << e.mode;
    EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), e.wrapT) << "mode " << e.mode;
    if (e.mode == 6) {
      GLint maximum = 0;
      glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
      float anisotropy = 0;
      glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
      EXPECT_EQ(anisotropy, maximum > 1 ? float(maximum - 1) : 1.0f);
    }
    texture.Release();
    EXPECT_EQ(texture.glId, kNoTexture);
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(TextureUpload, ThirtyTwoBitImageKeepsItsAlpha) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  ASSERT_TRUE(WriteTga(folder.File("a.tga"), SolidImage(4, 4, 4, 255, 0, 0, 128)));
  Texture texture;
  ASSERT_TRUE(texture.LoadFromTGA(folder.File("a.tga").c_str(), kTexNearest));
  EXPECT_EQ(texture.components, 4);
  window->BeginMenuFrame(0, 0, 1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawTexturedQuad(texture.glId);
  glDisable(GL_BLEND);
  const std::vector<int> p = PixelAt(window, 512, 384);
  EXPECT_NEAR(p[0], 128, 3);
  EXPECT_NEAR(p[2], 127, 3);
  texture.Release();
}

TEST(TextureUpload, RefusedFilesLeaveTheTextureEmpty) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  std::vector<uint8_t> truncated = EncodeTga(SolidImage(16, 16, 3, 1, 2, 3));
  truncated.resize(truncated.size() - 5);
  ASSERT_TRUE(WriteFileBytes(folder.File("short.tga"), truncated));
  Texture texture;
  EXPECT_FALSE(texture.LoadFromTGA(folder.File("short.tga").c_str(), 0));
  EXPECT_FALSE(texture.LoadFromTGA("", 0));
  EXPECT_FALSE(texture.LoadFromTGA(nullptr, 0));
  EXPECT_EQ(texture.glId, kNoTexture);
  EXPECT_EQ(CreateTextureFromTGA(folder.File("short.tga").c_str(), false), 0u);
  EXPECT_EQ(CreateTextureFromBMP(folder.File("missing.bmp").c_str(), false), 0u);
  // Volumes GL would refuse, or too large to hold (2048 x 64 x 2048 RGB on llvmpipe: 768 MiB).
  GLint side = 0;
  glGetIntegerv(GL_MAX_3D_TEXTURE_SIZE, &side);
  ASSERT_TRUE(WriteBmp(folder.File("wide.bmp"), SolidImage(side + 1, 1, 3, 1, 2, 3)));
  ASSERT_TRUE(WriteBmp(folder.File("slab.bmp"), SolidImage(side, 64, 3, 1, 2, 3)));
  GLuint volume = 0;
  EXPECT_FALSE(Load3DTextureFromBitmaps(folder.File("wide.bmp").c_str(), &volume, 1));
  EXPECT_FALSE(Load3DTextureFromBitmaps(folder.File("slab.bmp").c_str(), &volume, side));
  EXPECT_EQ(volume, 0u);
}

TEST(TextureUpload, ReleasingTwiceDeletesTheNameOnce) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  ASSERT_TRUE(WriteTga(folder.File("a.tga"), SolidImage(4, 4, 3, 1, 2, 3)));
  ASSERT_TRUE(gTextures[70].LoadFromTGA(folder.File("a.tga").c_str(), 0));
  const GLuint name = gTextures[70].glId;
  ReleaseTextureTables();
  EXPECT_EQ(gTextures[70].glId, kNoTexture);
  EXPECT_FALSE(glIsTexture(name));
  // A later texture may get the same name; a second release must not touch it.
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  ReleaseTextureTables();
  EXPECT_TRUE(glIsTexture(other));
  glDeleteTextures(1, &other);
}

TEST(TextureUpload, FreeLoadersMakeMipmappedTexturesFromTgaAndBmp) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  ASSERT_TRUE(WriteTga(folder.File("a.tga"), SolidImage(8, 8, 3, 0, 255, 0)));
  ASSERT_TRUE(WriteBmp(folder.File("b.bmp"), SolidImage(6, 5, 3, 255, 0, 0)));
  gTextureFiltering = 0;
  const GLuint tga = CreateTextureFromTGA(folder.File("a.tga").c_str(), true);
  ASSERT_NE(tga, 0u);
  glBindTexture(GL_TEXTURE_2D, tga);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  float anisotropy = 0;
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  EXPECT_EQ(anisotropy, 1.0f) << "no anisotropy unless filtering asks for it";
  // With filtering on, just under the driver's maximum (which GL refuses
  // below 1).
  gTextureFiltering = 1;
  glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &gMaxAnisotropy);
  const GLuint filtered = CreateTextureFromBMP(folder.File("b.bmp").c_str(), false);
  gTextureFiltering = 0;
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  EXPECT_EQ(anisotropy, gMaxAnisotropy > 1 ? float(gMaxAnisotropy - 1) : 1.0f);
  glDeleteTextures(1, &filtered);
  const GLuint bmp = CreateTextureFromBMP(folder.File("b.bmp").c_str(), false);
  ASSERT_NE(bmp, 0u);
  window->BeginMenuFrame(0, 0, 0);
  DrawTexturedQuad(bmp);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{255, 0, 0}));
  DrawTexturedQuad(tga);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{0, 255, 0}));
  glDeleteTextures(1, &tga);
  glDeleteTextures(1, &bmp);
}

TEST(LoaderContext, TextureAndListMadeThereDrawOnTheMainContext) {
  REQUIRE_GL_WINDOW(window);
  ScratchFolder folder;
  ASSERT_TRUE(WriteTga(folder.File("a.tga"), SolidImage(8, 8, 3, 250, 200, 10)));
  window->MakeLoaderCurrent();
  Texture texture;
  ASSERT_TRUE(texture.LoadFromTGA(folder.File("a.tga").c_str(), kTexTrilinear));
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  DrawTexturedQuad(texture.glId);
  glEndList();
  glFinish();
  window->MakeMainCurrent();
  window->BeginMenuFrame(0, 0, 0);
  glCallList(list);
  EXPECT_EQ(PixelAt(window, 512, 384), (std::vector<int>{250, 200, 10}));
  EXPECT_EQ(PixelAt(window, 100, 100), (std::vector<int>{0, 0, 0}));
  glDeleteLists(list, 1);
  texture.Release();
}

TEST(VolumeTextures, WaterVolumeAndNoiseUploadAs3D) {
  REQUIRE_GL_WINDOW(window);
  GLuint water = 0, noise = 0;
  ASSERT_TRUE(Load3DTextureTGA(&water, kVolumeTextureSize));
  ASSERT_TRUE(MakeNoise3DTexture(&noise, kVolumeTextureSize));
  glBindTexture(GL_TEXTURE_3D, water);
  GLint depth = 0, filter = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH, &depth);
  glGetTexParameteriv(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(depth, kVolumeTextureSize);
  EXPECT_EQ(filter, GL_LINEAR);
  glBindTexture(GL_TEXTURE_3D, noise);
  glGetTexParameteriv(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST);
  glGetTexParameteriv(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, &filter);
  EXPECT_EQ(filter, GL_REPEAT);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  // The water image holds exactly 64³ texels: a bigger volume is refused.
  GLuint tooBig = 0;
  EXPECT_FALSE(Load3DTextureTGA(&tooBig, kVolumeTextureSize + 1));
  EXPECT_EQ(tooBig, 0u);
  glDeleteTextures(1, &water);
  glDeleteTextures(1, &noise);
}

TEST(VolumeTextures, TerrainLayersStackIntoAnArrayAndABitmapIntoSlices) {
  REQUIRE_GL_WINDOW(window);
  DecodedImage layer;
  ASSERT_TRUE(ReadTgaImage("base/world/textures/landscape00.tga", &layer));
  GLuint layers = 0, wrongSize = 0, volume = 0;
  ASSERT_TRUE(LoadTerrainLayerArray(&layers, layer.width));
  EXPECT_FALSE(LoadTerrainLayerArray(&wrongSize, layer.width / 2));
  GLint depth = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D_ARRAY_EXT, 0, GL_TEXTURE_DEPTH, &depth);
  EXPECT_EQ(depth, 10);
  ScratchFolder folder;
  ASSERT_TRUE(WriteBmp(folder.File("v.bmp"), SolidImage(4, 2, 3, 10, 20, 30)));
  ASSERT_TRUE(Load3DTextureFromBitmaps(folder.File("v.bmp").c_str(), &volume, 3));
  glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH, &depth);
  EXPECT_EQ(depth, 3);
  for (GLuint texture : {layers, volume}) glDeleteTextures(1, &texture);
}
