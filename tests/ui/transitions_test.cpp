// The transition table of the menus, row by row: where a button or a
// confirmed list row leads, the list row the next screen opens on, the
// loader request, the sounds and the changes to the career and settings.
#include "ui/transitions.h"

#include <gtest/gtest.h>

#include "framework/screen_state.h"

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

struct Row {
  int screen, kind, target, entryRow, loader;
  Sound sound;
};

}  // namespace

TEST(TransitionTable, EveryPlainButtonRowLeadsWhereTheTableSays) {
  const Row rows[] = {
      {S::MainMenu, K::Back, S::QuitConfirm, -1, -1, Sound::Transition},
      {S::MainMenu, K::One, S::RaceLoading, 0, 10, Sound::Transition},
      {S::MainMenu, K::Two, S::Options, 0, -1, Sound::Transition},
      {S::Information, K::Back, S::MainMenu, 2, -1, Sound::Transition},
      {S::QuickRace, K::Back, S::MainMenu, 1, -1, Sound::Transition},
      {S::QuickRace, K::One, -1, -1, -1, Sound::Click},
      {S::QuickRace, K::Confirm, S::RaceLoading, 0, 10, Sound::Transition},
      {S::CareerMenu, K::Back, S::MainMenu, 0, -1, Sound::Transition},
      {S::NewCareerConfirm, K::Confirm, S::EnterName, 0, -1, Sound::Transition},
      {S::NewCareerConfirm, K::Back, S::CareerMenu, 1, -1, Sound::Transition},
      {S::EnterName, K::Confirm, S::Garage, 0, -1, Sound::Transition},
      {S::Garage, K::Back, S::MainMenu, 0, -1, Sound::Transition},
      {S::Garage, K::One, S::Profile, 0, -1, Sound::Transition},
      {S::Profile, K::Back, S::Garage, 0, -1, Sound::Transition},
      {S::Competitions, K::Back, S::Garage, 0, -1, Sound::Transition},
      {S::Competitions, K::Confirm, S::SelectRace, 0, -1, Sound::Transition},
      {S::SelectRace, K::Back, S::Competitions, 0, -1, Sound::Transition},
      {S::SelectRace, K::Confirm, S::RaceLoading, 0, 10, Sound::Transition},
      {S::Pause, K::Back, S::Racing, -1, -1, Sound::Transition},
      {S::Pause, K::One, -1, -1, 10, Sound::Click},
      {S::Pause, K::Two, -1, -1, 20, Sound::Click},
      {S::TuningMenu, K::Back, S::Garage, 1, -1, Sound::Transition},
      {S::EngineTuning, K::Back, S::TuningMenu, 0, -1, Sound::Transition},
      {S::SuspensionTuning, K::Back, S::TuningMenu, 1, -1, Sound::Transition},
      {S::TurboTuning, K::Back, S::TuningMenu, 2, -1, Sound::Transition},
      {S::CarShop, K::Back, S::Garage, 2, -1, Sound::Transition},
      {S::QuitConfirm, K::Confirm, -1, -1, -1, Sound::None},
      {S::QuitConfirm, K::Back, S::MainMenu, 0, -1, Sound::Transition},
      {S::Options, K::Back, S::MainMenu, 2, -1, Sound::Transition},
      {S::GraphicsOptions, K::Back, S::Options, 0, -1, Sound::Transition},
      {S::GraphicsOptions, K::Confirm, -1, -1, -1, Sound::Click},
      {S::AudioOptions, K::Back, S::Options, 1, -1, Sound::Transition},
      {S::ControlsOptions, K::Back, S::Options, 2, -1, Sound::Transition},
      {S::ControlsOptions, K::Confirm, -1, -1, -1, Sound::Click},
      {S::InfoPage, K::Back, S::MainMenu, 4, -1, Sound::Transition},
      {S::PaintShop, K::Back, S::TuningMenu, 6, -1, Sound::Transition},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "screen " << row.screen << " kind " << row.kind);
    const Transition t = ButtonTransition(row.screen, row.kind, Inputs());
    EXPECT_TRUE(t.matched);
    EXPECT_EQ(t.target, row.target);
    EXPECT_EQ(t.entryRow, row.entryRow);
    EXPECT_EQ(t.loaderRequest, row.loader);
    EXPECT_EQ(t.sound, row.sound);
  }
}

TEST(TransitionTable, SideEffectsOfTheButtonRows) {
  const TransitionInputs in = Inputs();
  EXPECT_TRUE(ButtonTransition(S::NewCareerConfirm, K::Confirm, in).newCareerReset);
  EXPECT_FALSE(ButtonTransition(S::NewCareerConfirm, K::Back, in).newCareerReset);
  EXPECT_TRUE(ButtonTransition(S::QuitConfirm, K::Confirm, in).quit);
  EXPECT_FALSE(ButtonTransition(S::QuitConfirm, K::Back, in).quit);
  EXPECT_TRUE(ButtonTransition(S::MainMenu, K::One, in).startDirectRace);
  EXPECT_TRUE(ButtonTransition(S::Pause, K::Back, in).resumeRace);
  EXPECT_EQ(ButtonTransition(S::QuickRace, K::One, in).quickRaceTrackRange, 25);
  EXPECT_TRUE(ButtonTransition(S::EngineTuning, K::Back, in).restoreCarSetup);
  EXPECT_TRUE(ButtonTransition(S::CarShop, K::Back, in).restoreCarSetup);
  EXPECT_EQ(ButtonTransition(S::ControlsOptions, K::Confirm, in).waitingForKey, 1);
  EXPECT_EQ(ButtonTransition(S::ControlsOptions, K::Back, in).waitingForKey, 0);

  TransitionInputs changed = in;
  changed.settingsChanged = true;
  EXPECT_TRUE(ButtonTransition(S::GraphicsOptions, K::Confirm, changed).acceptSettings);
  EXPECT_FALSE(ButtonTransition(S::GraphicsOptions, K::Confirm, in).acceptSettings);
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
    in.gameMode = 1;
    EXPECT_EQ(ButtonTransition(screen, K::Confirm, in).target, S::Garage);
    in.gameMode = 2;
    EXPECT_EQ(ButtonTransition(screen, K::Confirm, in).target, S::Information);
    in.gameMode = 3;
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
  EXPECT_EQ(ButtonTransition(S::Information, K::Confirm, in).loaderRequest, 10);
  in.trackListStage[2] = 2;
  const Transition refused = ButtonTransition(S::Information, K::Confirm, in);
  EXPECT_EQ(refused.target, -1);
  EXPECT_EQ(refused.sound, Sound::Refusal);
}

TEST(TransitionTable, ListRowsOfTheMenus) {
  TransitionInputs in = Inputs();
  const Transition career = ListRowTransition(S::MainMenu, 0, in);
  EXPECT_EQ(career.target, S::CareerMenu);
  EXPECT_EQ(career.gameMode, 1);
  EXPECT_FALSE(career.clearNewCareer);
  in.newCareer = true;
  const Transition firstCareer = ListRowTransition(S::MainMenu, 0, in);
  EXPECT_EQ(firstCareer.target, S::EnterName);
  EXPECT_TRUE(firstCareer.clearNewCareer);

  const Transition quick = ListRowTransition(S::MainMenu, 1, in);
  EXPECT_EQ(quick.target, S::QuickRace);
  EXPECT_EQ(quick.gameMode, 3);
  EXPECT_EQ(quick.quickRaceTrackRange, 10);
  EXPECT_EQ(ListRowTransition(S::MainMenu, 2, in).target, S::Options);
  EXPECT_EQ(ListRowTransition(S::CareerMenu, 0, in).target, S::Garage);
  EXPECT_EQ(ListRowTransition(S::CareerMenu, 1, in).target, S::NewCareerConfirm);

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
