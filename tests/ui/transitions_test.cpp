// What a key or a confirmed list row does on a menu screen: where it leads,
// the list row the next screen opens on, the loader request, the sounds and
// the changes to the career and settings.
#include "ui/transitions.h"

#include <gtest/gtest.h>

#include "framework/globals.h"
#include "framework/screen_state.h"
#include "ui/menu_button.h"
#include "ui/menu_state.h"
#include "world/race_state.h"

namespace {

namespace S = ScreenState;
namespace K = ButtonKind;
using Sound = MenuSound;

int gPrices[11][21];

TransitionInputs Inputs() {
  for (int table = 0; table < 11; ++table)
    for (int k = 0; k < 21; ++k) gPrices[table][k] = 1000 * (table + 1) + k;
  TransitionInputs in;
  in.cash = 5000;
  in.priceTables = gPrices;
  return in;
}

}  // namespace

TEST(MenuKeys, EscapeReturnsToTheScreenAndRowThatOpenedThisOne) {
  const TransitionInputs in = Inputs();
  auto expectBackTo = [&in](int opened, int opener, int row) {
    SCOPED_TRACE(testing::Message() << "Escape on screen " << opened);
    const Transition back = ButtonTransition(opened, K::Back, in);
    EXPECT_EQ(back.target, opener);
    EXPECT_EQ(back.entryRow, row);
    EXPECT_EQ(back.sound, Sound::Transition);
  };
  for (int menu : {S::MainMenu, S::CareerMenu, S::Garage, S::TuningMenu, S::Options}) {
    for (int row = 0; ListRowCaption(menu, row) != nullptr; ++row) {
      const int opened = ListRowTransition(menu, row, in).target;
      if (opened != S::Garage && opened != -1) expectBackTo(opened, menu, row);
    }
  }
  expectBackTo(ButtonTransition(S::Garage, K::One, in).target, S::Garage, 0);
  expectBackTo(ButtonTransition(S::Competitions, K::Confirm, in).target, S::Competitions, 0);
  // The career's hub leaves the career; the main menu asks before quitting.
  expectBackTo(S::Garage, S::MainMenu, 0);
  expectBackTo(S::MainMenu, S::QuitConfirm, -1);
  expectBackTo(S::QuitConfirm, S::MainMenu, 0);
  expectBackTo(S::Information, S::MainMenu, 2);
  expectBackTo(S::InfoPage, S::MainMenu, 4);
  EXPECT_TRUE(ButtonTransition(S::QuitConfirm, K::Confirm, in).quit);
  // Leaving a shop unbought puts the career's truck back.
  EXPECT_TRUE(ButtonTransition(S::EngineTuning, K::Back, in).restoreCarSetup);
  EXPECT_TRUE(ButtonTransition(S::CarShop, K::Back, in).restoreCarSetup);
  EXPECT_EQ(ButtonTransition(S::ControlsOptions, K::Back, in).waitingForKey, 0);
  const Transition resume = ButtonTransition(S::Pause, K::Back, in);
  EXPECT_EQ(resume.target, S::Racing);
  EXPECT_TRUE(resume.resumeRace);
}

TEST(MenuKeys, EveryRaceStartLoadsTheTrackBehindTheLoadingScreen) {
  const TransitionInputs in = Inputs();
  for (auto [screen, kind] : {std::pair{S::MainMenu, K::One}, {S::QuickRace, K::Confirm},
                              {S::SelectRace, K::Confirm}, {S::Information, K::Confirm}}) {
    SCOPED_TRACE(screen);
    const Transition start = ButtonTransition(screen, kind, in);
    EXPECT_EQ(start.target, S::RaceLoading);
    EXPECT_EQ(start.entryRow, 0);
    EXPECT_EQ(start.loaderRequest, LoaderStatus::LoadTrack);
    EXPECT_EQ(start.startDirectRace, screen == S::MainMenu) << "only the main menu's race picks its own truck";
    gCarPowerFactor = gCarHandlingFactor = gCarTurboFactor = 1.0f;
    ApplyTransition(start);
    const float factor = screen == S::MainMenu ? 0.85f : 1.0f;  // its set-up is not the garage's
    EXPECT_TRUE(gCarPowerFactor == factor && gCarHandlingFactor == factor && gCarTurboFactor == factor) << screen;
  }
  gLoaderStatus = LoaderStatus::Idle;
}

TEST(MenuKeys, KeysThatActInPlaceClickAndStay) {
  TransitionInputs in = Inputs();
  const Transition change = ButtonTransition(S::QuickRace, K::One, in);
  EXPECT_EQ(change.quickRaceTrackRange, 25);
  EXPECT_EQ(ButtonTransition(S::ControlsOptions, K::Confirm, in).waitingForKey, 1);
  EXPECT_EQ(ButtonTransition(S::Pause, K::One, in).loaderRequest, LoaderStatus::LoadTrack);  // restart
  EXPECT_EQ(ButtonTransition(S::Pause, K::Two, in).loaderRequest, LoaderStatus::LoadGarage);  // quit the race
  EXPECT_FALSE(ButtonTransition(S::GraphicsOptions, K::Confirm, in).acceptSettings);
  in.settingsChanged = true;
  EXPECT_TRUE(ButtonTransition(S::GraphicsOptions, K::Confirm, in).acceptSettings);
  for (auto [screen, kind] : {std::pair{S::QuickRace, K::One}, {S::ControlsOptions, K::Confirm},
                              {S::Pause, K::One}, {S::Pause, K::Two}, {S::GraphicsOptions, K::Confirm}}) {
    const Transition t = ButtonTransition(screen, kind, in);
    EXPECT_TRUE(t.matched) << screen;
    EXPECT_EQ(t.target, -1) << screen;
    EXPECT_EQ(t.sound, Sound::Click) << screen;
  }
}

TEST(TransitionTable, PairsWithoutARowDoNothing) {
  const TransitionInputs in = Inputs();
  for (auto [screen, kind] : {std::pair{S::MainMenu, K::Three}, {S::MainMenu, K::Confirm}, {S::CareerMenu, K::Confirm},
                              {S::EnterName, K::Back}, {S::Splash, K::Confirm}, {S::Racing, K::Back}}) {
    EXPECT_FALSE(ButtonTransition(screen, kind, in).matched) << screen << " " << kind;
  }
}

TEST(TransitionTable, ShopsBuyWhatTheCashCoversAndRefuseTheRest) {
  struct Shop {
    int screen, priceTable, entryRow;
  };
  for (const Shop& shop : {Shop{S::EngineTuning, 0, 0}, Shop{S::SuspensionTuning, 1, 1},
                           Shop{S::TurboTuning, 2, 2}, Shop{S::CarShop, 10, 2}}) {
    SCOPED_TRACE(shop.screen);
    TransitionInputs in = Inputs();
    in.menuCursor = 3;
    in.previewBuilt = true;  // the car shop's truck on show is the cursor's
    const float price = float(gPrices[shop.priceTable][3]);
    in.cash = price;  // exactly the price buys
    const Transition bought = ButtonTransition(shop.screen, K::Confirm, in);
    EXPECT_EQ(bought.price, price);
    EXPECT_TRUE(bought.storeCarSetup);
    EXPECT_EQ(bought.target, shop.screen == S::CarShop ? S::Garage : S::TuningMenu);
    EXPECT_EQ(bought.entryRow, shop.entryRow);
    EXPECT_EQ(bought.sound, Sound::Purchase);

    in.cash = price - 1;
    const Transition refused = ButtonTransition(shop.screen, K::Confirm, in);
    EXPECT_EQ(refused.price, 0);
    EXPECT_EQ(refused.target, -1);
    EXPECT_FALSE(refused.storeCarSetup);
    EXPECT_EQ(refused.sound, shop.screen == S::CarShop ? Sound::RefusalUnlessPlaying : Sound::Refusal);
  }
}

TEST(TransitionTable, PartDialogsPriceFromTheirTablesAndReturnToTheirTuningRow) {
  struct Dialog {
    int screen, entryRow;
    float price;
  };
  TransitionInputs in = Inputs();
  in.menuCursor = 2;
  in.cash = 100000;
  for (const Dialog& d : {Dialog{16, 0, 1002}, Dialog{17, 1, 10002}, Dialog{18, 2, 5002}, Dialog{19, 4, 2002},
                          Dialog{20, 3, 3002}, Dialog{21, 5, 4002}, Dialog{23, 7, 500}, Dialog{24, 8, 500},
                          Dialog{S::PaintShop, 6, 1000}}) {
    SCOPED_TRACE(d.screen);
    const Transition buy = ButtonTransition(d.screen, K::Confirm, in);
    EXPECT_EQ(buy.price, d.price);
    EXPECT_EQ(buy.entryRow, d.entryRow);
    EXPECT_TRUE(buy.freeCameraOff);
    EXPECT_EQ(ButtonTransition(d.screen, K::Back, in).entryRow, d.entryRow);
  }
}

TEST(TransitionTable, ResultsLeadOnByGameMode) {
  TransitionInputs in = Inputs();
  for (int screen : {S::RaceResults, S::RaceBonus}) {
    in.gameMode = kGameModeCareer;
    EXPECT_EQ(ButtonTransition(screen, K::Confirm, in).target, S::Garage);
    in.gameMode = kGameModeTrackList;
    EXPECT_EQ(ButtonTransition(screen, K::Confirm, in).target, S::Information);
    in.gameMode = kGameModeQuickRace;
    const Transition quick = ButtonTransition(screen, K::Confirm, in);
    EXPECT_EQ(quick.target, S::QuickRace);
    EXPECT_EQ(quick.quickRaceTrackRange, 10);
    in.gameMode = 7;  // no screen for it: the target stays, the row still sounds
    const Transition other = ButtonTransition(screen, K::Confirm, in);
    EXPECT_EQ(other.target, -1);
    EXPECT_EQ(other.sound, Sound::Transition);
  }
}

TEST(TransitionTable, TrackListStartsOnlyWhenTheSeriesHasReachedTheStage) {
  TransitionInputs in = Inputs();
  in.trackListIndex = 1;
  in.trackListStage[0] = 3;
  in.trackListStage[2] = 3;
  EXPECT_EQ(ButtonTransition(S::Information, K::Confirm, in).loaderRequest, LoaderStatus::LoadTrack);
  in.trackListStage[2] = 2;
  const Transition refused = ButtonTransition(S::Information, K::Confirm, in);
  EXPECT_EQ(refused.target, -1);
  EXPECT_EQ(refused.sound, Sound::Refusal);
}

TEST(TransitionTable, ListRowsOfTheMenusAndANewCareer) {
  TransitionInputs in = Inputs();
  const Transition career = ListRowTransition(S::MainMenu, 0, in);
  EXPECT_EQ(career.target, S::CareerMenu);
  EXPECT_EQ(career.gameMode, kGameModeCareer);
  EXPECT_FALSE(career.clearNewCareer);
  in.newCareer = true;
  const Transition firstCareer = ListRowTransition(S::MainMenu, 0, in);
  EXPECT_EQ(firstCareer.target, S::EnterName);
  EXPECT_TRUE(firstCareer.clearNewCareer);
  const Transition confirmed = ButtonTransition(S::NewCareerConfirm, K::Confirm, in);
  EXPECT_EQ(confirmed.target, S::EnterName);
  EXPECT_TRUE(confirmed.newCareerReset);
  EXPECT_EQ(ButtonTransition(S::EnterName, K::Confirm, in).target, S::Garage);

  const Transition quick = ListRowTransition(S::MainMenu, 1, in);
  EXPECT_EQ(quick.target, S::QuickRace);
  EXPECT_EQ(quick.gameMode, kGameModeQuickRace);
  EXPECT_EQ(quick.quickRaceTrackRange, 10);
  EXPECT_EQ(ListRowTransition(S::CareerMenu, 0, in).target, S::Garage);

  in.competitionIndex = 4;
  in.playerCarIndex = 11;
  in.packageLevels[0] = 1;
  in.packageLevels[1] = 2;
  in.packageLevels[2] = 3;
  EXPECT_EQ(ListRowTransition(S::Garage, 0, in).entryRow, 4);
  EXPECT_TRUE(ListRowTransition(S::Garage, 0, in).resetSelectedRow);
  EXPECT_EQ(ListRowTransition(S::Garage, 2, in).selectCatalogueCar, 11);
  EXPECT_EQ(ListRowTransition(S::Garage, 2, in).entryRow, 11);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(ListRowTransition(S::TuningMenu, row, in).target, S::EngineTuning + row);
    EXPECT_EQ(ListRowTransition(S::TuningMenu, row, in).entryRow, row + 1);
  }
  EXPECT_TRUE(ListRowTransition(S::Options, 0, in).openGraphics);
  EXPECT_TRUE(ListRowTransition(S::Options, 2, in).copyKeyBindings);
  EXPECT_FALSE(ListRowTransition(S::CarShop, 3, in).matched);  // the shops' lists only choose
  EXPECT_FALSE(ListRowTransition(S::MainMenu, 3, in).matched);
}

TEST(TransitionTable, ListCaptionsEndWithTheirRows) {
  EXPECT_STREQ(ListRowCaption(S::MainMenu, 0), "CAREER");
  EXPECT_STREQ(ListRowCaption(S::CareerMenu, 1), "NEW CAREER");
  EXPECT_EQ(ListRowCaption(S::CareerMenu, 2), nullptr);
  EXPECT_STREQ(ListRowCaption(S::CarShop, 17), "Magnum RS");
  EXPECT_EQ(ListRowCaption(S::CarShop, 18), nullptr);
  EXPECT_EQ(ListRowCaption(S::Splash, 0), nullptr);
}
