// Pictures for a person come out upright in any viewer; game data keeps the
// bottom-up rows the game's reader takes.
#include "tests/support/tga_view.h"
#include "tools/tga_writer.h"

#include <gtest/gtest.h>

namespace {

// 3 × 2, every pixel black but the top-left one, which is red.
RasterImage RedTopLeftCorner() {
  RasterImage image(3, 2, 3);
  image.At(0, image.height - 1)[0] = 255;  // rows are bottom-up in memory
  return image;
}

bool IsRed(const uint8_t* rgb) { return rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 0; }

}  // namespace

TEST(TgaPicture, TopDownPictureIsUprightWhetherOrNotTheViewerReadsTheOriginFlag) {
  const std::vector<uint8_t> file = EncodeTga(RedTopLeftCorner(), TgaRows::TopDown);
  for (bool readsFlag : {true, false}) {
    const RgbImage shown = ViewTga(file, readsFlag);
    ASSERT_EQ(shown.width, 3);
    ASSERT_EQ(shown.height, 2);
    EXPECT_TRUE(IsRed(shown.At(0, 0))) << "viewer reads the origin flag: " << readsFlag;
    EXPECT_FALSE(IsRed(shown.At(0, 1))) << "viewer reads the origin flag: " << readsFlag;
    EXPECT_FALSE(IsRed(shown.At(2, 0))) << "viewer reads the origin flag: " << readsFlag;
  }
}

TEST(TgaPicture, GameDataStaysBottomUpWithTheOriginAtTheBottomLeft) {
  const std::vector<uint8_t> file = EncodeTga(RedTopLeftCorner());
  EXPECT_EQ(file[17], 0);
  EXPECT_TRUE(IsRed(ViewTga(file, true).At(0, 0)));
}
