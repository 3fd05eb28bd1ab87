// Menu widgets in a real window with the generated menu art: where a
// button and a bar draw, which widget takes a press within one frame, and
// how a whole menu frame looks through the screen dispatcher.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/platform.h"
#include "tests/support/gl_window.h"
#include "tests/support/menu_art.h"
#include "ui/menu_button.h"
#include "ui/menu_list.h"
#include "ui/menu_screens.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/race_hud.h"
#include "ui/screen_machine.h"
#include "ui/splash_screen.h"
#include "world/catalogue.h"

namespace {

namespace S = ScreenState;

class MenuWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    window->MakeMainCurrent();
    ASSERT_TRUE(LoadMenuFontsAndArt({3, 5, 17, 18, 19, 22, 24, 29, 34}));
    // A settled main menu with nothing pressed.
    gScreen = S::MainMenu;
    gTargetScreen = S::MainMenu;
    gScreenFade = 1.0f;
    gMenuAlpha = 1.0f;
    gMenuDim = 0.0f;
    gLoaderStatus = LoaderStatus::Idle;
    gInputLocked = 0;
    gKeyLatch = 0;
    gLeftButton = 0;
    gMouseX = gMouseY = 0;
    for (auto& key : gKeys) key = 0;
    gMenuCursor = 0;
    gListAngle = 0.0f;
    gNewCareer = 0;
    window->BeginMenuFrame(0, 0, 0);
  }

  // The window pixel at a point of the 800 x 600 frame.
  std::vector<uint8_t> PixelAt(float x, float y) { return window->ReadPixels(FrameToWindowX(x), FrameToWindowY(y), 1, 1); }

  GlWindow* window = nullptr;
};

}  // namespace

TEST_F(MenuWidgets, AButtonDrawsItsPlateAndIconAroundItsCorner) {
  MenuButton(300, 300, "Quit", 0, 0);
  const std::vector<uint8_t> icon = PixelAt(300 + 114, 300 + 30);  // the Back icon's red disc
  EXPECT_GT(icon[0], 150);
  EXPECT_LT(icon[1], 80);
  const std::vector<uint8_t> outside = PixelAt(300 + 200, 300 + 18);
  EXPECT_EQ(outside[0] + outside[1] + outside[2], 0) << "nothing right of the plate";
}

TEST_F(MenuWidgets, TheSplashGivesTheTitlePictureBackOnceItsClockIsPastIt) {
  ASSERT_TRUE(LoadMenuFontsAndArt({kTitlePictureTexture}));
  const GLuint title = gTextures[kTitlePictureTexture].glId;
  gScreen = S::Splash;
  gTargetScreen = S::Splash;
  for (float clock : {6.0f, kTitlePictureEnd + 1.0f}) {
    gSplashTime = clock;
    UpdateAndDrawSplash();
    EXPECT_EQ(glIsTexture(title) == GL_TRUE, clock < kTitlePictureEnd) << "splash clock " << clock;
  }
  EXPECT_EQ(gTextures[kTitlePictureTexture].glId, kNoTexture);
}

TEST_F(MenuWidgets, TheFirstWidgetInAFrameTakesThePress) {
  gKeys[vk::kEnter] = 1;
  MenuButton(70, 45, "Go", 4, 4);  // (main menu, Confirm) has no row: it only takes the press
  DrawMenuList(3);
  EXPECT_EQ(gKeyLatch, 1);
  EXPECT_EQ(gTargetScreen, S::MainMenu) << "the list saw the press taken and did not confirm";
  gKeyLatch = 0;
  DrawMenuList(3);
  EXPECT_EQ(gTargetScreen, S::CareerMenu);
}

TEST_F(MenuWidgets, AClickOnTheButtonAndNotBesideItPresses) {
  gMouseX = 100;
  gMouseY = 600 - 45 - 27;  // on the top edge of the hit box
  gLeftButton = 1;
  MenuButton(70, 45, "Quit", 0, 0);
  EXPECT_EQ(gTargetScreen, S::MainMenu);
  gMouseY += 1;
  MenuButton(70, 45, "Quit", 0, 0);
  EXPECT_EQ(gTargetScreen, S::QuitConfirm);
  EXPECT_EQ(gMenuHover[0], 1);
}

TEST_F(MenuWidgets, NoPressWhileTheTruckIsRebuiltOrTheLoaderWorks) {
  gKeys[vk::kEscape] = 1;
  gInputLocked = 1;
  MenuButton(70, 45, "Quit", 0, 0);
  gInputLocked = 0;
  gLoaderStatus = LoaderStatus::LoadStartupOrPlayerCar;
  MenuButton(70, 45, "Quit", 0, 0);
  EXPECT_EQ(gTargetScreen, S::MainMenu);
  EXPECT_EQ(gKeyLatch, 0);
}

TEST_F(MenuWidgets, AHeldDownKeyStepsTheDrumOnceUntilTheRepeat) {
  gMenuCursor = 0;
  gListRepeat = 0;
  gFrameFactor = 1.0f;
  DrawMenuList(3);  // a step down is bounded by the row count of the previous call
  gKeys[vk::kDown] = 1;
  for (int frame = 0; frame < 30; ++frame) DrawMenuList(3);  // 0.3 s
  EXPECT_EQ(gMenuCursor, 1);
  for (int frame = 0; frame < 10; ++frame) DrawMenuList(3);  // past 0.35 s
  EXPECT_EQ(gMenuCursor, 2);
  for (int frame = 0; frame < 60; ++frame) DrawMenuList(3);
  EXPECT_EQ(gMenuCursor, 2) << "the last row stops the cursor";
}

TEST_F(MenuWidgets, TheFilteringArrowTouchesNoBoundTextureAndLeavesNoGlError) {
  GLuint picture = 0;  // a menu picture, bound as the options screen leaves one
  GLfloat anisotropy = 0;
  glGenTextures(1, &picture), glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &gMaxAnisotropy);
  gScreen = S::GraphicsOptions, gTargetScreen = S::GraphicsOptions, gSelectedRow = 6, gKeys[vk::kRight] = 1;
  for (int press = 0; press < 2; ++press, gKeyLatch = 0)  // on, then off
    glBindTexture(GL_TEXTURE_2D, picture), OptionArrowButton(0, 0, 18, true);
  glBindTexture(GL_TEXTURE_2D, picture), glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
  EXPECT_EQ(anisotropy, 1.0f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glDeleteTextures(1, &picture), gMaxAnisotropy = 0;
}

TEST_F(MenuWidgets, AValueBarNeverDrawsLessThanATenthOfItsLength) {
  gValueBars[0] = 0.5f;
  glPushMatrix();
  glTranslatef(200, 300, 0);
  DrawValueBar(0.0f, 0);
  glPopMatrix();
  const std::vector<uint8_t> green = PixelAt(200 + 20, 301);
  const std::vector<uint8_t> white = PixelAt(200 + 30, 301);
  EXPECT_GT(green[1], 150);
  EXPECT_LT(green[2], 60) << "the green part reaches 23 units";
  EXPECT_GT(white[2], 150) << "the rest is white";
}

TEST_F(MenuWidgets, TheMainMenuBringsBackTheCareerTruckWithItsPackages) {
  // After a quick race the live truck is another one; the career's own
  // set-up, with the engine package bought for it, must come back whole.
  gCareerCarSetup = gCarCatalogue[5];
  gCareerCarSetup.catalogueIndex = 5;
  gCareerCarSetup.enginePackage = 2;
  gCareerCarIndex = 5;
  SelectCatalogueCar(3);
  gBuiltCarIndex[0] = 3;
  DrawMainMenu();
  EXPECT_EQ(gPlayerCarIndex, 5);
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 2);
  CheckCarSetupChanged();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadStartupOrPlayerCar) << "the truck is rebuilt";
  EXPECT_EQ(gInputLocked, 1);
  gLoaderStatus = LoaderStatus::Idle;
  gInputLocked = 0;
  gCarChangeProgress = 0;
}

TEST_F(MenuWidgets, TheSpareWidgetsDrawAndTheCompetitionClicksStartOrFlash) {
  ASSERT_TRUE(LoadMenuFontsAndArt({10, 14, 26, 41, 49, 58}));
  gHudView.turbo = 100;
  gFrameFactor = 200;  // the ring climbs to the full turbo in one frame
  for (auto [x, y, draw] : {std::tuple{620.0f, 420.0f, &DrawRingGauge}, {420.0f, 60.0f, [] { DrawIconRow(4); }},
                            {620.0f, 200.0f, &DrawListTurnPlate}, {0.0f, 0.0f, &DrawRaceResultsList}}) {
    glPushMatrix();
    glTranslatef(x, y, 0);
    draw();
    glPopMatrix();
  }
  EXPECT_GT(PixelAt(620, 510)[2], 100) << "the ring's top quad";
  EXPECT_GT(PixelAt(420 + 8, 68)[0], PixelAt(420 + 18 * 7 + 8, 68)[0]) << "the first icons lit, the rest dark";
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/spare_widgets.tga"));
  gMouseX = 400;
  for (int zone : {0, 3})
    for (int click = 0; click < 2; ++click) {
      gMouseY = 150 + 77 * zone;
      gLeftButton = 1;
      gKeyLatch = 0;
      DrawCompetitionCursor();
    }
  EXPECT_EQ(gTargetScreen, S::RaceLoading) << "row 0 starts its race";
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadTrack) << "and asks for the track";
  EXPECT_EQ(gLockedFlash, 1.0f) << "row 3 is locked";
  gLoaderStatus = LoaderStatus::Idle;
  gFrameFactor = 1;
}
