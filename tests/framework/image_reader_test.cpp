// The TGA and BMP readers, fed files made by our writers and by hand.
#include <gtest/gtest.h>

#include "framework/texture.h"
#include "tools/bmp_writer.h"
#include "tools/tga_writer.h"

namespace {

// A small image whose every pixel is distinct: red = x, green = y, blue = 7.
RasterImage Gradient(int width, int height, int components) {
  RasterImage image(width, height, components);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.At(x, y);
      p[0] = uint8_t(x * 10);
      p[1] = uint8_t(y * 10);
      p[2] = 7;
      if (components == 4) p[3] = uint8_t(100 + x + y);
    }
  return image;
}

}  // namespace

TEST(TgaReader, ReadsBothPixelSizesAsRgbOrRgbaInFileRowOrder) {
  for (int components : {3, 4}) {
    const RasterImage source = Gradient(5, 3, components);
    DecodedImage image;
    ASSERT_TRUE(DecodeTga(EncodeTga(source), &image)) << components;
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.components, components);
    EXPECT_EQ(image.pixels, source.pixels) << components << " bytes a pixel";
  }
}

TEST(TgaReader, RefusesHeadersOtherThanPlainTrueColour) {
  const std::vector<uint8_t> good = EncodeTga(Gradient(2, 2, 3));
  DecodedImage image;
  for (size_t byte : {0u, 1u, 2u, 7u, 11u}) {
    std::vector<uint8_t> bad = good;
    bad[byte] = byte == 2 ? 10 : 1;  // run-length true colour, image ID, colour map...
    EXPECT_FALSE(DecodeTga(bad, &image)) << "header byte " << byte;
  }
  std::vector<uint8_t> paletted = good;
  paletted[16] = 8;
  EXPECT_FALSE(DecodeTga(paletted, &image));
  std::vector<uint8_t> sixteenBit = good;
  sixteenBit[16] = 16;
  EXPECT_FALSE(DecodeTga(sixteenBit, &image));
}

TEST(TgaReader, RefusesTruncatedAndEmptyImages) {
  std::vector<uint8_t> file = EncodeTga(Gradient(8, 8, 4));
  DecodedImage image;
  file.pop_back();
  EXPECT_FALSE(DecodeTga(file, &image));
  file.resize(10);
  EXPECT_FALSE(DecodeTga(file, &image));
  EXPECT_FALSE(DecodeTga({}, &image));
  EXPECT_FALSE(DecodeTga(EncodeTga(RasterImage(0, 5, 3)), &image));
}

TEST(TgaReader, MissingFileIsRefused) {
  DecodedImage image;
  EXPECT_FALSE(ReadTgaImage("no/such/file.tga", &image));
  EXPECT_FALSE(ReadTgaImage("", &image));
  EXPECT_FALSE(ReadTgaImage(nullptr, &image));
}

TEST(BmpReader, GivesBottomUpRgbRowsWhateverTheFileOrder) {
  // Width 5 makes 15-byte rows, padded to 16 in the file.
  const RasterImage source = Gradient(5, 3, 3);
  for (bool topDown : {false, true}) {
    DecodedImage image;
    ASSERT_TRUE(DecodeBmp(EncodeBmp(source, topDown), &image)) << topDown;
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.components, 3);
    EXPECT_EQ(image.pixels, source.pixels) << (topDown ? "top-down" : "bottom-up");
  }
}

TEST(BmpReader, RefusesOtherDepthsCompressionAndShortFiles) {
  const std::vector<uint8_t> good = EncodeBmp(Gradient(3, 3, 3));
  DecodedImage image;
  std::vector<uint8_t> eightBit = good;
  eightBit[28] = 8;
  EXPECT_FALSE(DecodeBmp(eightBit, &image));
  std::vector<uint8_t> compressed = good;
  compressed[30] = 1;
  EXPECT_FALSE(DecodeBmp(compressed, &image));
  std::vector<uint8_t> notBitmap = good;
  notBitmap[0] = 'X';
  EXPECT_FALSE(DecodeBmp(notBitmap, &image));
  std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
  EXPECT_FALSE(DecodeBmp(truncated, &image));
  std::vector<uint8_t> farOffset = good;
  farOffset[10] = 0xFF;
  farOffset[11] = 0xFF;
  EXPECT_FALSE(DecodeBmp(farOffset, &image));
}

TEST(NoiseVolume, TexelsStayInTheirRanges) {
  const std::vector<uint8_t> texels = MakeNoiseTexels(16);
  ASSERT_EQ(texels.size(), 16u * 16 * 16 * 3);
  for (size_t i = 0; i < texels.size(); i += 3) {
    ASSERT_GE(texels[i], 1);
    ASSERT_LE(texels[i], 127);
    ASSERT_LE(texels[i + 1], 254);
    ASSERT_LE(texels[i + 2], 254);
  }
}
