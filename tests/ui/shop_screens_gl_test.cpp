// The pause, options and shop pages in a real window with the generated
// art: the arrow keys change only the selected GRAPHICS row, the pause page
// covers the race picture, and a picture of the pause page for a person
// (frames/pause.tga).
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/globals.h"
#include "platform/platform.h"
#include "tests/support/gl_window.h"
#include "tests/support/menu_art.h"
#include "ui/info_page.h"
#include "ui/menu_button.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/options.h"
#include "ui/pause.h"
#include "world/catalogue.h"

namespace {

namespace S = ScreenState;

class ShopScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    window->MakeMainCurrent();
    ASSERT_TRUE(LoadMenuFontsAndArt({3, 4, 5, 19, 22, 24, 35}));
    gScreenFade = 1.0f;
    gMenuAlpha = 1.0f;
    gMenuDim = 0.0f;
    gMenuSlide = 0.0f;
    gLoaderStatus = LoaderStatus::Idle;
    gInputLocked = 0;
    gKeyLatch = 0;
    gLeftButton = 0;
    gSoundOn = 0;
    gMouseX = gMouseY = 0;
    gMouseMoved = 0;
    gFrameFactor = 1.0f;
    for (auto& key : gKeys) key = 0;
  }

  static void Settled(int screen) {
    gScreen = screen;
    gTargetScreen = screen;
  }

  GlWindow* window = nullptr;
};

}  // namespace

TEST_F(ShopScreens, TheRightArrowKeyStepsOnlyTheSelectedGraphicsRow) {
  Settled(S::GraphicsOptions);
  gSelectedRow = 2;
  gSightRange = 1;
  gShadowDetail = 1;
  gAntiAliasingChoice = 0;
  gMotionBlur = 0;
  gKeys[vk::kRight] = 1;
  const float expected[] = {450, 310, 380};  // Max, then round to Min and Normal
  for (float distance : expected) {
    gKeyLatch = 0;
    window->BeginMenuFrame(0, 0, 0);
    DrawGraphicsOptions();
    EXPECT_EQ(gSightDistance, distance);
  }
  EXPECT_EQ(gShadowDetail, 1);
  EXPECT_EQ(gAntiAliasingChoice, 0);
  EXPECT_EQ(gMotionBlur, 0);
  EXPECT_EQ(gTargetScreen, S::GraphicsOptions);
  // The competition pyramid with only its first tier open: Up stays on row 0 and flashes.
  Settled(S::Competitions);
  gCompetitionsOpen = gSelectedRow = gKeyLatch = gKeys[vk::kRight] = 0;
  gLockedFlash = 0;
  gKeys[vk::kUp] = 1;
  DrawCompetitionSelector();
  EXPECT_TRUE(gSelectedRow == 0 && gLockedFlash > 0.4f) << gSelectedRow << ", " << gLockedFlash;
}

TEST_F(ShopScreens, TheResolutionArrowsKeepTheWindowSizeInEffect) {
  Settled(S::GraphicsOptions);
  gSelectedRow = 0;
  gSettingsChanged = 0;
  gScreenWidth = 1024;
  gScreenHeight = 768;
  gKeys[vk::kLeft] = 1;
  window->BeginMenuFrame(0, 0, 0);
  DrawGraphicsOptions();
  EXPECT_EQ(gSettingsChanged, 1);
  EXPECT_EQ(gScreenWidth, 1024);
  EXPECT_EQ(gScreenHeight, 768);
  gPendingResolutionIndex = gResolutionIndex;
}

TEST_F(ShopScreens, ChangeWaitsForAKeyAndBackStopsWaiting) {
  Settled(S::ControlsOptions);
  gKeys[vk::kEnter] = 1;
  window->BeginMenuFrame(0, 0, 0);
  DrawControlsOptions();
  EXPECT_EQ(gWaitingForKey, 1);
  gKeys[vk::kEnter] = 0;
  gKeys[vk::kEscape] = 1;
  gKeyLatch = 0;
  DrawControlsOptions();
  EXPECT_EQ(gWaitingForKey, 0);
  EXPECT_EQ(gTargetScreen, S::Options);
  EXPECT_EQ(gMenuCursorOnEntry, 2);
}

TEST_F(ShopScreens, ThePausePageCoversTheRacePicture) {
  Settled(S::Pause);
  window->BeginMenuFrame(0.1f, 0.4f, 0.1f);  // a green race picture
  DrawPauseScreen();
  const std::vector<uint8_t> page = window->ReadPixels(FrameToWindowX(300), FrameToWindowY(560), 1, 1);
  EXPECT_GT(page[0], 200);
  EXPECT_EQ(page[0], page[1]) << "grey, not the race's green";
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/pause.tga"));
}

TEST_F(ShopScreens, TheInformationPageGoesBackToTheMainMenu) {
  Settled(S::InfoPage);
  gKeys[vk::kEscape] = 1;
  window->BeginMenuFrame(0, 0, 0);
  DrawInfoPage();
  EXPECT_EQ(gTargetScreen, S::MainMenu);
  EXPECT_EQ(gMenuCursorOnEntry, 4);
}
