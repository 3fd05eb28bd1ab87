// The tuning shops and the car shop as the player uses them: what a Buy or
// an Accept pays and keeps, what Back drops, and when the preview follows
// the drum. A press is the button table's row applied to the game state,
// exactly as MenuButton applies it.
#include <gtest/gtest.h>

#include "framework/globals.h"
#include "framework/settings.h"
#include "ui/menu_button.h"
#include "ui/menu_state.h"
#include "ui/shops.h"
#include "world/catalogue.h"

namespace {

namespace S = ScreenState;
namespace K = ButtonKind;

class Shops : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCarTables();
    gSoundOn = 0;
    gCareer = BuiltInCareer();
    gCash = 10000;
    // The owned truck 5 with its packages, shown live.
    gCareerCarSetup = gCarCatalogue[5];
    gCareerCarSetup.enginePackage = 1;
    gCareerCarSetup.suspensionPackage = 2;
    gCareerCarSetup.turboPackage = 3;
    gCareerCarIndex = 5;
    RestoreCarSetup();
    gBuiltCarIndex[0] = 5;
    OnSettledScreen(S::EngineTuning, 0);
  }

  static void OnSettledScreen(int screen, int cursor) {
    gScreen = screen;
    gTargetScreen = screen;
    gScreenFade = 1.0f;
    gMenuCursor = cursor;
    gListAngle = 0.0f;
    gInputLocked = 0;
    gLoaderStatus = LoaderStatus::Idle;
  }

  static void Press(int kind) { ApplyTransition(ButtonTransition(gScreen, kind, CurrentTransitionInputs())); }
};

}  // namespace

TEST_F(Shops, ExactlyTheCashBuysPackageThreeAndLeavesNothing) {
  gMenuCursor = 3;
  Press(K::Confirm);
  EXPECT_EQ(gCash, 0.0f);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 3);
  EXPECT_EQ(gTargetScreen, S::TuningMenu);
  EXPECT_EQ(gMenuCursorOnEntry, 0) << "the TUNING list opens on ENGINE";
}

TEST_F(Shops, ACentShortOfThePriceIsRefused) {
  gCash = 9999.99f;
  gMenuCursor = 3;
  Press(K::Confirm);
  EXPECT_EQ(gCash, 9999.99f);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 1);
  EXPECT_EQ(gTargetScreen, S::EngineTuning);
}

TEST_F(Shops, BuyingNaCostsNothingAndTakesThePackageOff) {
  OnSettledScreen(S::TurboTuning, 0);
  Press(K::Confirm);
  EXPECT_EQ(gCash, 10000.0f);
  EXPECT_EQ(gCareerCarSetup.turboPackage, 0);
  EXPECT_EQ(gMenuCursorOnEntry, 2) << "the TUNING list opens on TURBO";
}

TEST_F(Shops, BuyingThePackageAlreadyFittedIsRefusedAndCostsNothing) {
  OnSettledScreen(S::SuspensionTuning, 2);
  EXPECT_EQ(ButtonTransition(gScreen, K::Confirm, CurrentTransitionInputs()).sound, MenuSound::Refusal);
  Press(K::Confirm);
  EXPECT_EQ(gCash, 10000.0f);
  EXPECT_EQ(gCareerCarSetup.suspensionPackage, 2);
  EXPECT_EQ(gTargetScreen, S::SuspensionTuning);
}

TEST_F(Shops, BuyKeepsTheCursorsPackageWhileThePreviewStillShowsAnother) {
  // The drum still turns toward PACKAGE 3: the preview shows package 1.
  gMenuCursor = 3;
  gListAngle = 45.0f;
  PreviewPackage(0);
  ASSERT_EQ(gPlayerCarSetup.enginePackage, 1);
  Press(K::Confirm);
  EXPECT_EQ(gCash, 0.0f);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 3) << "paid for package 3, so package 3 is kept";
}

TEST_F(Shops, ThePackagePreviewWaitsForTheDrumToStop) {
  gMenuCursor = 2;
  gListAngle = -30.0f;
  PreviewPackage(0);
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 1);
  gListAngle = 0.5f;
  PreviewPackage(0);
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 2);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 1) << "browsing changes only the live set-up";
}

TEST_F(Shops, BackDropsThePreviewAndRestoresTheOwnedSetUp) {
  OnSettledScreen(S::SuspensionTuning, 0);
  PreviewPackage(1);
  ASSERT_EQ(gPlayerCarSetup.suspensionPackage, 0);
  Press(K::Back);
  EXPECT_EQ(gPlayerCarSetup.suspensionPackage, 2);
  EXPECT_EQ(gTargetScreen, S::TuningMenu);
  EXPECT_EQ(gMenuCursorOnEntry, 1);
  EXPECT_EQ(gCash, 10000.0f);
}

TEST_F(Shops, AcceptingTheOwnedTruckIsRefusedAndKeepsItsPackages) {
  gCash = 30000;
  OnSettledScreen(S::Garage, 2);
  ApplyTransition(ListRowTransition(S::Garage, 2, CurrentTransitionInputs()));  // CAR SHOP
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 0) << "browsing starts from the catalogue truck";
  OnSettledScreen(S::CarShop, gMenuCursorOnEntry);
  ASSERT_EQ(gMenuCursor, 5);
  EXPECT_EQ(ButtonTransition(gScreen, K::Confirm, CurrentTransitionInputs()).sound, MenuSound::RefusalUnlessPlaying);
  Press(K::Confirm);
  EXPECT_EQ(gCash, 30000.0f);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 1);
  EXPECT_EQ(gCareerCarSetup.suspensionPackage, 2);
  EXPECT_EQ(gCareerCarSetup.turboPackage, 3);
  EXPECT_EQ(gTargetScreen, S::CarShop);
}

TEST_F(Shops, AcceptWaitsUntilTheCursorsTruckIsOnShowAndBuilt) {
  gCash = 100000;
  SelectCatalogueCar(5);
  OnSettledScreen(S::CarShop, 7);
  Press(K::Confirm);  // the drum has not stopped: truck 5 is still on show
  EXPECT_EQ(gCash, 100000.0f);
  EXPECT_EQ(gCareerCarIndex, 5);

  PreviewCar();
  ASSERT_EQ(gPlayerCarIndex, 7);
  Press(K::Confirm);  // truck 7 is chosen but its models are not built yet
  EXPECT_EQ(gCash, 100000.0f);

  gBuiltCarIndex[0] = 7;
  Press(K::Confirm);
  EXPECT_EQ(gCash, 100000.0f - float(gPriceTables[kCarPriceRow][7]));
  EXPECT_EQ(gCareerCarIndex, 7);
}

TEST_F(Shops, BackFromTheCarShopBringsTheOwnedTruckBack) {
  OnSettledScreen(S::CarShop, 9);
  PreviewCar();
  ASSERT_EQ(gPlayerCarIndex, 9);
  Press(K::Back);
  EXPECT_EQ(gPlayerCarIndex, 5);
  EXPECT_EQ(gPlayerCarSetup.turboPackage, 3);
}

TEST_F(Shops, TheCarPreviewWaitsForAStillScreenAnIdleLoaderAndUnlockedInput) {
  struct Case {
    const char* what;
    float fade, angle;
    int loader;
    uint8_t locked;
  };
  for (const Case& c : {Case{"fading in", 0.99f, 0, LoaderStatus::Idle, 0},
                        Case{"drum turning", 1, 5, LoaderStatus::Idle, 0},
                        Case{"loader busy", 1, 0, LoaderStatus::LoadStartupOrPlayerCar, 0},
                        Case{"input locked", 1, 0, LoaderStatus::Idle, 1}}) {
    OnSettledScreen(S::CarShop, 9);
    gScreenFade = c.fade;
    gListAngle = c.angle;
    gLoaderStatus = c.loader;
    gInputLocked = c.locked;
    PreviewCar();
    EXPECT_EQ(gPlayerCarIndex, 5) << c.what;
  }
  gLoaderStatus = LoaderStatus::Idle;
  gInputLocked = 0;
}
