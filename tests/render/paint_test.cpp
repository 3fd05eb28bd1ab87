// Car paint composition in a real window: a composed tile matches the
// blend equations worked out on the CPU, a served request paints only its
// racer and gives its inputs back, and the loader keeps the last image of
// each series without leaking the names it replaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "render/paint.h"
#include "render/gl_resources.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/scratch_folder.h"
#include "tools/tga_writer.h"

namespace {

constexpr int kSide = 512;  // the kovsh paint texture
constexpr int kTile = kPaintTileSide;
// 8-bit rounding through a dozen blends, which the driver may round
// differently from the reference at each step.
constexpr int kTolerance = 6;
constexpr double kMeanTolerance = 1.0;

struct Rgba {
  float c[4];
};

// A pattern that changes texel by texel, different per seed.
RasterImage PatternImage(int width, int height, int seed) {
  RasterImage image(width, height, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.At(x, y);
      p[0] = uint8_t(x * 3 + seed * 50);
      p[1] = uint8_t(y * 5 + seed * 20);
      p[2] = uint8_t((x + y) * 7 + seed * 90);
      p[3] = uint8_t((x * 11 + y * 13 + seed * 37) % 256);
    }
  return image;
}

GLuint Upload(const RasterImage& image) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.pixels.data());
  return name;
}

Texture Record(const RasterImage& image) {
  Texture texture;
  texture.glId = Upload(image);
  texture.width = image.width;
  texture.height = image.height;
  texture.components = 4;
  return texture;
}

std::vector<uint8_t> ReadTexture(GLuint name, int width, int height) {
  std::vector<uint8_t> pixels(size_t(width) * height * 4);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

Rgba Texel(const RasterImage& image, int x, int y) {
  const uint8_t* p = image.At(x, y);
  return {{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f}};
}

// What an 8-bit framebuffer stores.
Rgba Stored(Rgba v) {
  for (float& c : v.c) c = std::round(std::clamp(c, 0.0f, 1.0f) * 255.0f) / 255.0f;
  return v;
}

// dst = src x sf + dst x df, per channel, with the factors given by the
// source alpha: `inverted` false is (alpha, 1 - alpha), true the reverse.
Rgba Blend(Rgba src, Rgba dst, bool inverted) {
  const float a = src.c[3], sf = inverted ? 1 - a : a, df = inverted ? a : 1 - a;
  Rgba out;
  for (int k = 0; k < 4; ++k) out.c[k] = src.c[k] * sf + dst.c[k] * df;
  return Stored(out);
}

struct KovshInputs {
  RasterImage masks[kPaintZoneCount];
  RasterImage top = PatternImage(kSide, kSide, 11);
  RasterImage alpha = PatternImage(kSide, kSide, 12);
  RasterImage decal = SolidImage(8, 8, 4, 200, 30, 60, 96);
  float colours[kPaintZoneCount][3];
  KovshInputs() {
    for (int z = 0; z < kPaintZoneCount; ++z) {
      masks[z] = PatternImage(kSide, kSide, z + 1);
      colours[z][0] = 0.1f * z;
      colours[z][1] = 1.0f - 0.12f * z;
      colours[z][2] = 0.5f;
    }
  }
};

// The kovsh texture's pixel (x, y) as the blend steps compose it.
Rgba ReferencePixel(const KovshInputs& in, int x, int y) {
  const float cx = x + 0.5f, cy = y + 0.5f;
  // The decal on a 1024 x 384 quad at (756, 256), scaled by 1.3.
  const bool underDecal = std::abs(cx - 756.0f) < 1024 * 1.3f / 2 && std::abs(cy - 256.0f) < 384 * 1.3f / 2;
  Rgba composed{};
  for (int z = 0; z < kPaintZoneCount; ++z) {
    Rgba fb = Stored({{in.colours[z][0], in.colours[z][1], in.colours[z][2], 0}});
    fb = Blend(Texel(in.masks[z], x, y), fb, false);
    if (z > 0) fb = Blend(composed, fb, true);
    composed = fb;
  }
  if (underDecal) composed = Blend(Texel(in.decal, 0, 0), composed, true);
  composed = Blend(Texel(in.top, x, y), composed, false);
  composed.c[3] = Texel(in.alpha, x, y).c[3];
  return composed;
}

class PaintComposition : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = GlWindow::Get();
    if (window_ == nullptr) GTEST_SKIP() << "no display for a GL window";
    window_->MakeMainCurrent();
    for (int r = 0; r < kRacerSlotCount; ++r) {
      gCarPaintTextures[r] = Upload(SolidImage(1536, 1024, 4, 1, 2, 3, 4));
      gCarPaintTextures2[r] = Upload(SolidImage(kSide, kSide, 4, 1, 2, 3, 4));
      gCarPaintTextures3[r] = Upload(SolidImage(1024, 512, 4, 1, 2, 3, 4));
    }
  }
  void TearDown() override {
    if (window_ == nullptr) return;
    ReleasePaintInputs();
    for (GLuint* paints : {gCarPaintTextures, gCarPaintTextures2, gCarPaintTextures3}) {
      glDeleteTextures(kRacerSlotCount, paints);
      std::fill(paints, paints + kRacerSlotCount, 0u);
    }
    std::fill(std::begin(gRacerKovshModels), std::end(gRacerKovshModels), nullptr);
    gRepaintRequest = 0;
  }

  GlWindow* window_ = nullptr;
};

}  // namespace

TEST_F(PaintComposition, KovshTileMatchesTheBlendEquations) {
  const KovshInputs in;
  for (int z = 0; z < kPaintZoneCount; ++z) gKovshPaintZoneMasks[z] = Record(in.masks[z]);
  gKovshReflMask = Record(in.alpha);
  gDecalTTexture = Record(in.decal);
  MilkshapeModel kovsh;  // only its first material's texture is read
  ModelMaterial material{};
  material.textureId = Upload(in.top);
  kovsh.materials = &material;
  kovsh.materialCount = 1;
  gRacerKovshModels[1] = &kovsh;

  glMatrixMode(GL_MODELVIEW);  // a camera left by the frame does not move the tiles
  glLoadIdentity();
  gluLookAt(3, 4, 5, 0, 0, 0, 0, 1, 0);
  ComposePaintTexture(1, in.colours);
  kovsh.materials = nullptr;
  kovsh.materialCount = 0;
  glDeleteTextures(1, &material.textureId);

  // Tile (0, 0) holds both edges of the decal: x 90.4 and y 6.4.
  const std::vector<uint8_t> paint = ReadTexture(gCarPaintTextures2[1], kSide, kSide);
  int worst = 0, worstX = 0, worstY = 0;
  double total = 0;
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      const Rgba want = ReferencePixel(in, x, y);
      for (int k = 0; k < 4; ++k) {
        const int got = paint[(size_t(y) * kSide + x) * 4 + k];
        const int difference = std::abs(got - int(std::lround(want.c[k] * 255)));
        total += difference;
        if (difference > worst) worst = difference, worstX = x, worstY = y;
      }
    }
  EXPECT_LE(worst, kTolerance) << "at (" << worstX << ", " << worstY << ")";
  EXPECT_LE(total / (kTile * kTile * 4), kMeanTolerance);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(PaintComposition, ServedRequestMakesPaintsOnlyItsRacerAndGivesBackItsInputs) {
  for (GLuint* paints : {gCarPaintTextures, gCarPaintTextures2, gCarPaintTextures3}) {
    glDeleteTextures(1, &paints[2]);
    paints[2] = 0;  // as after start-up: made by the racer's first composition
  }
  for (int z = 0; z < kPaintZoneCount; ++z) gObvesPaintZoneMasks[z] = Record(SolidImage(4, 4, 4, 9, 9, 9, 0));
  gObvesReflMask = Record(SolidImage(4, 4, 4, 0, 0, 0, 77));
  const GLuint maskName = gObvesPaintZoneMasks[0].glId;
  for (auto& colour : gPaintZoneColours) colour[0] = colour[1] = colour[2] = 0.5f;
  gRepaintRequest = kRepaintRequestBase + 2;

  ServeRepaintRequest();

  EXPECT_EQ(gRepaintRequest, 0);
  EXPECT_EQ(gObvesPaintZoneMasks[0].glId, kNoTexture);
  EXPECT_FALSE(glIsTexture(maskName));
  const GLuint made[] = {gCarPaintTextures[2], gCarPaintTextures2[2], gCarPaintTextures3[2]};
  const int sizes[][2] = {{1536, 1024}, {kSide, kSide}, {1024, 512}};
  for (int k = 0; k < 3; ++k) {
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, made[k]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_EQ(width, sizes[k][0]) << "target " << k;
    ASSERT_EQ(height, sizes[k][1]) << "target " << k;
  }
  const std::vector<uint8_t> painted = ReadTexture(gCarPaintTextures3[2], 1024, 512);
  EXPECT_NEAR(painted[0], 128, 2);  // the zone colour through a clear mask
  EXPECT_EQ(painted[3], 77);        // alpha from the reflection mask
  for (int r : {0, 1, 3}) {
    const std::vector<uint8_t> untouched = ReadTexture(gCarPaintTextures3[r], 1024, 512);
    EXPECT_EQ(untouched[0], 1) << "racer " << r;
    EXPECT_EQ(untouched[3], 4) << "racer " << r;
  }
}

TEST_F(PaintComposition, LoaderKeepsTheLastImageOfEachSeriesAndFreesTheOnesItReplaces) {
  ScratchFolder scratch;
  const std::string cars = scratch.Path() + "/base/cars/";
  std::filesystem::create_directories(cars + "decals");
  std::filesystem::create_directories(cars + "3");
  // Widths tell the images apart.
  ASSERT_TRUE(WriteTga(cars + "decals/0.tga", SolidImage(2, 2, 4, 0, 0, 0)));
  ASSERT_TRUE(WriteTga(cars + "decals/t7.tga", SolidImage(4, 2, 4, 0, 0, 0)));
  ASSERT_TRUE(WriteTga(cars + "decals/t120.tga", SolidImage(8, 2, 4, 0, 0, 0)));
  ASSERT_TRUE(WriteTga(cars + "3/car_refl.tga", SolidImage(2, 2, 4, 0, 0, 0)));
  ASSERT_TRUE(WriteTga(cars + "3/kovsh1_refl.tga", SolidImage(4, 2, 4, 0, 0, 0)));
  ASSERT_TRUE(WriteTga(cars + "3/kovsh4_refl.tga", SolidImage(16, 2, 4, 0, 0, 0)));
  const Texture earlier = Record(SolidImage(2, 2, 4, 0, 0, 0));
  gCarReflMask = earlier;

  {
    ScopedWorkingFolder inScratch(scratch.Path());
    LoadCarPaintTextures(3, 3);
  }

  EXPECT_EQ(gRepaintRequest, kRepaintRequestBase + 3);
  EXPECT_EQ(gDecalTTexture.width, 8);   // t120 came last
  EXPECT_EQ(gDecalBTexture.width, 2);   // only 0.tga in the b series
  EXPECT_EQ(gKovshReflMask.width, 16);  // kovsh4 of variants 0..5
  EXPECT_EQ(gObvesReflMask.glId, kNoTexture);
  EXPECT_FALSE(glIsTexture(earlier.glId));
  EXPECT_TRUE(glIsTexture(gDecalTTexture.glId));
}

TEST_F(PaintComposition, RequestsOutsideTheRacerSlotsAreIgnored) {
  ScratchFolder scratch;
  ScopedWorkingFolder inScratch(scratch.Path());
  LoadCarPaintTextures(4, 9);
  EXPECT_EQ(gRepaintRequest, 0);
  gRepaintRequest = kRepaintRequestBase + 7;
  ServeRepaintRequest();  // no racer 7: nothing composed, nothing touched
  EXPECT_EQ(gRepaintRequest, kRepaintRequestBase + 7);
}
