// The profile, race bonus and class information pages in a real window
// with the generated art: the heading and the text are drawn over the
// backdrop, the eight bonus tiles stand at their places, GL reports no
// error; and a picture of each page for a person (frames/profile_page.tga,
// frames/race_bonus_page.tga, frames/information_page.tga).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/gl.h"
#include "render/gl_resources.h"
#include "tests/support/gl_window.h"
#include "tests/support/menu_art.h"
#include "ui/bonus_pages.h"
#include "ui/info_page.h"
#include "ui/menu_state.h"
#include "world/race_state.h"

namespace {

namespace S = ScreenState;

struct FrameBox {
  float x0, y0, x1, y1;  // frame units, y up
};

struct PageCase {
  const char* name;
  int screen;
  void (*draw)();
  FrameBox heading;  // on the information page: where the Russian game's heading would stand
  bool headed;
  FrameBox text;
  bool tiles;
  FrameBox backdrop;  // a spot nothing is drawn over
};

const PageCase kPages[] = {
    {"profile_page", S::Profile, DrawProfilePage, {20, 545, 200, 575}, true, {560, 95, 720, 125}, true, {380, 150, 400, 165}},
    {"race_bonus_page", S::RaceBonus, DrawRaceBonusPage, {20, 545, 200, 575}, true, {560, 95, 720, 125}, true, {380, 150, 400, 165}},
    {"information_page", S::Information, DrawClassInformationPage, {380, 525, 500, 555}, false, {70, 195, 500, 305}, false,
     {600, 120, 620, 140}},
};

class BonusPages : public ::testing::TestWithParam<PageCase> {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    window->MakeMainCurrent();
    ASSERT_TRUE(LoadMenuFontsAndArt({3, 5, 6, 13, 22, 24, 41}));
    UseDarkBlurredGarage();
    gScreen = GetParam().screen;
    gTargetScreen = GetParam().screen;
    gScreenFade = 1.0f;
    gMenuAlpha = 1.0f;
    gMenuDim = 0.0f;
    gMenuSlide = 0.0f;
    gScreenClock = 0.25f;
    gMenuClock = 0.3f;
    gGameMode = 1;
    gRatingLevel = 2;
    gCareerPoints = 4321;
    for (int i = 0; i < kShownBonusCount; ++i) {
      gBonusTotals[i] = 100.0f * float(i + 1);
      gRaceBonus[i] = 10.0f * float(i + 1);
    }
  }

  void TearDown() override {
    if (darkGarage == 0) return;
    glDeleteTextures(1, &darkGarage);
    gBlurTexture = savedBlur;
    gBlurWidth = savedWidth;
    gBlurHeight = savedHeight;
  }

  // A dark grey picture in place of the blurred garage, as dim as the real one.
  void UseDarkBlurredGarage() {
    savedBlur = gBlurTexture;
    savedWidth = gBlurWidth;
    savedHeight = gBlurHeight;
    std::vector<uint8_t> texels(4 * 4 * 3, 40);
    for (size_t alpha = 3; alpha < texels.size(); alpha += 4) texels[alpha] = 255;
    glGenTextures(1, &darkGarage);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, darkGarage);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGBA, 4, 3, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    gBlurTexture = darkGarage;
    gBlurWidth = 4;
    gBlurHeight = 3;
  }

  // Pixels of a frame box that differ clearly from `reference`.
  int PixelsUnlike(const FrameBox& box, const std::vector<uint8_t>& reference) {
    const int x = FrameToWindowX(box.x0), y = FrameToWindowY(box.y0);
    const int w = FrameToWindowX(box.x1) - x, h = FrameToWindowY(box.y1) - y;
    const std::vector<uint8_t> pixels = window->ReadPixels(x, y, w, h);
    int unlike = 0;
    for (size_t p = 0; p + 3 < pixels.size(); p += 4) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) distance += std::abs(int(pixels[p + c]) - int(reference[c]));
      if (distance > 60) ++unlike;
    }
    return unlike;
  }

  GlWindow* window = nullptr;
  GLuint darkGarage = 0, savedBlur = 0;
  int32_t savedWidth = 0, savedHeight = 0;
};

}  // namespace

TEST_P(BonusPages, HeadingTextAndTilesStandOutFromTheBackdrop) {
  const PageCase& page = GetParam();
  window->BeginMenuFrame(0.5f, 0.1f, 0.5f);
  while (glGetError() != GL_NO_ERROR) {
  }
  page.draw();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  const std::vector<uint8_t> backdrop =
      window->ReadPixels(FrameToWindowX(page.backdrop.x0), FrameToWindowY(page.backdrop.y0), 1, 1);
  EXPECT_EQ(PixelsUnlike(page.backdrop, backdrop), 0) << "the reference spot is plain backdrop";
  if (page.headed)
    EXPECT_GT(PixelsUnlike(page.heading, backdrop), 20) << "heading";
  else
    EXPECT_EQ(PixelsUnlike(page.heading, backdrop), 0) << "the English game has no heading here";
  EXPECT_GT(PixelsUnlike(page.text, backdrop), 20) << "text";
  if (page.tiles) {
    for (int l = 0; l < 2; ++l) {
      for (int c = 0; c < 4; ++c) {
        const float x = 135 + 165 * c, y = 350 - 100 * l;
        EXPECT_GT(PixelsUnlike({x - 15, y - 15, x + 15, y + 15}, backdrop), 100) << "tile " << c << ", " << l;
      }
    }
  }
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame(std::string("frames/") + page.name + ".tga"));
}

INSTANTIATE_TEST_SUITE_P(Pages, BonusPages, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST(RaceBonusLevel, EachWholeTenThousandOfPointsPlusBonusRaisesTheLevelUpToSeven) {
  EXPECT_EQ(RatingLevelAfterBonus(2, 9000, 999), 2);
  EXPECT_EQ(RatingLevelAfterBonus(2, 9000, 1000), 3);
  EXPECT_EQ(RatingLevelAfterBonus(2, 5000, 25000), 5);
  EXPECT_EQ(RatingLevelAfterBonus(0, 0, 95000), 7);
}
