// The asset validator's checks of the numbered textures tex09 .. tex70:
// sizes, the loader's modes through the game's own texture loader, and
// alpha where the renderer blends or cuts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_window.h"
#include "tests/tools/model_geometry.h"
#include "tools/gen_images.h"
#include "tools/gen_textures.h"

namespace {

std::string PathOf(int number) {
  char name[40];
  std::snprintf(name, sizeof name, "base/textures/tex%02d.tga", number);
  return name;
}

int Alpha(const DecodedImage& image, int x, int y) {
  return image.pixels[(size_t(y) * image.width + x) * 4 + 3];
}

// Sprites drawn blended as camera-facing quads: transparent at the edge.
const int kBlendedSprites[] = {9, 27, 30, 40, 42, 44, 49, 52, 53, 54, 55};
// Pictures cut at alpha 0.5 or blended over the scene.
const int kAlphaPictures[] = {45, 51, 62, 63, 66};

}  // namespace

TEST(ListedTextures, EveryNumberFrom9To70IsWrittenAtItsSize) {
  for (int number = kFirstListedTexture; number < kTextureCount; ++number) {
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage(PathOf(number).c_str(), &image)) << PathOf(number);
    EXPECT_TRUE(IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height)) << PathOf(number);
    if (number == kWaterVolumeTexture) {
      EXPECT_EQ(image.width, kVolumeImageSide) << "tex65 stays the water volume";
      continue;
    }
    const ListedTexture* entry = FindListedTexture(number);
    ASSERT_NE(entry, nullptr) << number;
    EXPECT_EQ(image.width, entry->width) << number;
    EXPECT_EQ(image.height, entry->height) << number;
    EXPECT_EQ(image.components, entry->components) << number;
  }
}

TEST(ListedTextures, BlendedSpritesFadeToNothingAtTheirEdges) {
  for (int number : kBlendedSprites) {
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage(PathOf(number).c_str(), &image));
    ASSERT_EQ(image.components, 4) << number;
    const int w = image.width, h = image.height;
    for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, 0}, {0, h / 2}})
      EXPECT_LT(Alpha(image, x, y), 8) << "tex" << number << " at " << x << ", " << y;
    EXPECT_GT(Alpha(image, w / 2, h / 2), 64) << "tex" << number << " is empty in the middle";
  }
}

TEST(ListedTextures, AlphaPicturesHaveCutAndKeptParts) {
  for (int number : kAlphaPictures) {
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage(PathOf(number).c_str(), &image));
    ASSERT_EQ(image.components, 4) << number;
    int cut = 0, kept = 0;
    for (size_t i = 3; i < image.pixels.size(); i += 4) (image.pixels[i] < 128 ? cut : kept)++;
    EXPECT_GT(cut, int(image.pixels.size() / 4 / 20)) << number;
    EXPECT_GT(kept, int(image.pixels.size() / 4 / 20)) << number;
  }
}

TEST(ListedTextures, GrassAndTreeAtlasesHaveAPlantInEveryColumnStandingOnItsFoot) {
  for (const auto& [number, columns] : {std::pair{62, 8}, {66, 4}}) {
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage(PathOf(number).c_str(), &image));
    const int width = image.width / columns;
    for (int c = 0; c < columns; ++c) {
      // Rows are stored bottom-up: row 1 is the foot (t near 0).
      bool foot = false;
      for (int x = c * width; x < (c + 1) * width; ++x) foot |= Alpha(image, x, 1) >= 128;
      EXPECT_TRUE(foot) << "tex" << number << " column " << c << " does not reach the ground";
    }
  }
}

TEST(ListedTextures, EveryTextureLoadsThroughTheGamesLoaderInItsMode) {
  REQUIRE_GL_WINDOW(window);
  for (int i = 0; i < ListedTextureCount(); ++i) {
    const ListedTexture& entry = ListedTextureAt(i);
    Texture texture;
    ASSERT_TRUE(texture.LoadFromTGA(PathOf(entry.number).c_str(), entry.mode)) << entry.number;
    EXPECT_EQ(texture.width, entry.width);
    EXPECT_EQ(texture.height, entry.height);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "tex" << entry.number << " in mode " << entry.mode;
    texture.Release();
  }
}

TEST(ListedTextures, TheSkyIsBlueOverheadAndPaleAtTheHorizon) {
  DecodedImage sky;
  ASSERT_TRUE(ReadTgaImage(PathOf(61).c_str(), &sky));
  auto pixel = [&](int x, int y) { return &sky.pixels[(size_t(y) * sky.width + x) * 3]; };
  // The middle of the cross is the zenith; the outer edge of a wall the horizon.
  int zenithBlue = 0, horizonBlue = 0, zenithRed = 0, horizonRed = 0;
  for (int d = -20; d <= 20; ++d) {
    zenithBlue += pixel(sky.width / 2 + d, sky.height / 2 + 30)[2];
    zenithRed += pixel(sky.width / 2 + d, sky.height / 2 + 30)[0];
    horizonBlue += pixel(sky.width / 2 + d, sky.height * 6 / 100)[2];
    horizonRed += pixel(sky.width / 2 + d, sky.height * 6 / 100)[0];
  }
  EXPECT_GT(zenithBlue, zenithRed + 41 * 40);
  EXPECT_GT(horizonRed, zenithRed) << "the horizon is paler than the zenith";
  (void)horizonBlue;
}
