#include "ui/transitions.h"

#include "framework/globals.h"  // LoaderStatus
#include "framework/screen_state.h"
#include "framework/settings.h"  // GameMode
#include "world/catalogue.h"

namespace {

namespace S = ScreenState;
namespace K = ButtonKind;

// Rows of the price tables that the shops read.
constexpr int kEnginePrices = 0, kSuspensionPrices = 1, kTurboPrices = 2, kCarPrices = 10;
// Prices of the dialogs that no screen enters.
constexpr float kDecalPrice = 500, kPaintPrice = 1000;
// Quick-race tracks drawn by the quick-race screen's Change and after a quick race.
constexpr int kChangeTrackRange = 25, kNextQuickRaceTrackRange = 10;

Transition To(int target, int entryRow, MenuSound sound = MenuSound::Transition) {
  Transition t;
  t.matched = true;
  t.target = target;
  t.entryRow = entryRow;
  t.sound = sound;
  return t;
}

Transition Sound(MenuSound sound) {
  Transition t;
  t.matched = true;
  t.sound = sound;
  return t;
}

// A purchase that goes back to `target` when the cash covers the price.
Transition Purchase(float price, int target, int entryRow, const TransitionInputs& in,
                    MenuSound refusal = MenuSound::Refusal) {
  if (in.cash < price) return Sound(refusal);
  Transition t = To(target, entryRow, MenuSound::Purchase);
  t.price = price;
  t.storeCarSetup = true;
  return t;
}

float Price(const TransitionInputs& in, int table) {
  if (in.priceTables == nullptr || in.menuCursor < 0 || in.menuCursor >= 21) return 0;
  return float(in.priceTables[table][in.menuCursor]);
}

// Leaving the results: by game mode; a mode with no screen keeps the target.
Transition AfterResults(const TransitionInputs& in) {
  Transition t = To(-1, 0);
  if (in.gameMode == kGameModeCareer) t.target = S::Garage;
  if (in.gameMode == kGameModeTrackList) t.target = S::Information;
  if (in.gameMode == kGameModeQuickRace) {
    t.target = S::QuickRace;
    t.quickRaceTrackRange = kNextQuickRaceTrackRange;
  }
  return t;
}

// Buy-a-part dialogs: the entry row the tuning menu opens on, and the price.
int PartDialogEntryRow(int screen) {
  static constexpr int kRows[] = {0, 1, 2, 4, 3, 5};  // screens 16..21
  if (screen == 23) return 7;
  if (screen == 24) return 8;
  return kRows[screen - 16];
}

Transition TuningBack(int entryRow) {
  Transition t = To(S::TuningMenu, entryRow);
  t.restoreCarSetup = true;
  return t;
}

}  // namespace

Transition ButtonTransition(int screen, int kind, const TransitionInputs& in) {
  switch (screen) {
    case S::MainMenu:
      if (kind == K::Back) return To(S::QuitConfirm, -1);
      if (kind == K::One) {
        Transition t = To(S::RaceLoading, 0);
        t.loaderRequest = LoaderStatus::LoadTrack;
        t.startDirectRace = true;
        return t;
      }
      if (kind == K::Two) return To(S::Options, 0);
      break;
    case S::Information:
      if (kind == K::Back) return To(S::MainMenu, 2);
      if (kind == K::Confirm) {
        const int series = in.trackListIndex >= 0 && in.trackListIndex <= 2 ? in.trackListIndex : 0;
        if (in.trackListStage[series + 1] < in.trackListStage[0]) return Sound(MenuSound::Refusal);
        Transition t = To(S::RaceLoading, 0);
        t.loaderRequest = LoaderStatus::LoadTrack;
        return t;
      }
      break;
    case S::QuickRace:
      if (kind == K::Back) return To(S::MainMenu, 1);
      if (kind == K::One) {
        Transition t = Sound(MenuSound::Click);
        t.quickRaceTrackRange = kChangeTrackRange;
        return t;
      }
      // Start waits until the drawn truck is the one the race will use.
      if (kind == K::Confirm && in.quickRaceTruckReady) {
        Transition t = To(S::RaceLoading, 0);
        t.loaderRequest = LoaderStatus::LoadTrack;
        return t;
      }
      break;
    case S::CareerMenu:
      if (kind == K::Back) return To(S::MainMenu, 0);
      break;
    case S::NewCareerConfirm:
      if (kind == K::Confirm) {
        Transition t = To(S::EnterName, 0);
        t.newCareerReset = true;
        return t;
      }
      if (kind == K::Back) return To(S::CareerMenu, 1);
      break;
    case S::EnterName:
      if (kind == K::Confirm) return To(S::Garage, 0);
      break;
    case S::Garage:
      if (kind == K::Back) return To(S::MainMenu, 0);
      if (kind == K::One) return To(S::Profile, 0);
      break;
    case S::Profile:
      if (kind == K::Back) return To(S::Garage, 0);
      break;
    case S::Competitions:
      if (kind == K::Back) return To(S::Garage, 0);
      if (kind == K::Confirm) return To(S::SelectRace, 0);
      break;
    case S::SelectRace:
      if (kind == K::Back) return To(S::Competitions, 0);
      if (kind == K::Confirm) {
        Transition t = To(S::RaceLoading, 0);
        t.loaderRequest = LoaderStatus::LoadTrack;
        return t;
      }
      break;
    case S::RaceResults:
    case S::RaceBonus:
      if (kind == K::Confirm) return AfterResults(in);
      break;
    case S::Pause:
      if (kind == K::Back) {
        Transition t = To(S::Racing, -1);
        t.resumeRace = true;
        return t;
      }
      if (kind == K::One || kind == K::Two) {
        Transition t = Sound(MenuSound::Click);
        t.loaderRequest = kind == K::One ? LoaderStatus::LoadTrack : LoaderStatus::LoadGarage;
        return t;
      }
      break;
    case S::TuningMenu:
      if (kind == K::Back) return To(S::Garage, 1);
      break;
    case S::EngineTuning:
    case S::SuspensionTuning:
    case S::TurboTuning: {
      const int shop = screen - S::EngineTuning;  // 0 engine, 1 suspension, 2 turbo
      if (kind == K::Back) return TuningBack(shop);
      if (kind == K::Confirm) {
        static constexpr int kTables[] = {kEnginePrices, kSuspensionPrices, kTurboPrices};
        // What the career already has is not sold to it again.
        if (in.menuCursor == in.ownedPackageLevels[shop]) return Sound(MenuSound::Refusal);
        // The package paid for is the cursor's, even while the drum still
        // turns and the preview shows another.
        Transition t = Purchase(Price(in, kTables[shop]), S::TuningMenu, shop, in);
        if (t.storeCarSetup) {
          t.fitPackage = shop;
          t.packageLevel = in.menuCursor;
        }
        return t;
      }
      break;
    }
    case S::CarShop:
      if (kind == K::Back) {
        Transition t = To(S::Garage, 2);
        t.restoreCarSetup = true;
        return t;
      }
      if (kind == K::Confirm) {
        // Only the truck on show, built, can be bought: until then the live
        // set-up is still another truck.
        if (!in.previewBuilt) return Sound(MenuSound::None);
        if (in.menuCursor == in.ownedCarIndex) return Sound(MenuSound::RefusalUnlessPlaying);
        return Purchase(Price(in, kCarPrices), S::Garage, 2, in, MenuSound::RefusalUnlessPlaying);
      }
      break;
    case S::PaintShop:
      if (kind == K::Back) return TuningBack(6);
      if (kind == K::Confirm) {
        Transition t = Purchase(kPaintPrice, S::TuningMenu, 6, in);
        t.freeCameraOff = t.storeCarSetup;
        return t;
      }
      break;
    case S::QuitConfirm:
      if (kind == K::Confirm) {
        Transition t = Sound(MenuSound::None);
        t.quit = true;
        return t;
      }
      if (kind == K::Back) return To(S::MainMenu, 0);
      break;
    case S::Options:
      if (kind == K::Back) return To(S::MainMenu, 2);
      break;
    case S::GraphicsOptions:
      if (kind == K::Back) return To(S::Options, 0);
      if (kind == K::Confirm) {
        Transition t = Sound(MenuSound::Click);
        t.acceptSettings = in.settingsChanged;
        return t;
      }
      break;
    case S::AudioOptions:
      if (kind == K::Back) return To(S::Options, 1);
      break;
    case S::ControlsOptions:
      if (kind == K::Back) {
        Transition t = To(S::Options, 2);
        t.waitingForKey = 0;
        return t;
      }
      if (kind == K::Confirm) {
        Transition t = Sound(MenuSound::Click);
        t.waitingForKey = 1;
        return t;
      }
      break;
    case S::InfoPage:
      if (kind == K::Back) return To(S::MainMenu, 4);
      break;
    default:
      if (S::IsPartDialog(screen)) {
        if (kind == K::Back) return TuningBack(PartDialogEntryRow(screen));
        if (kind == K::Confirm) {
          Transition t = Purchase(PartDialogPrice(screen, in.menuCursor, in.priceTables), S::TuningMenu, PartDialogEntryRow(screen), in);
          t.freeCameraOff = t.storeCarSetup;
          return t;
        }
      }
      break;
  }
  return Transition();
}

float PartDialogPrice(int screen, int row, const int (*priceTables)[21]) {
  static constexpr int kTables[] = {0, 9, 4, 1, 2, 3};  // screens 16..21
  if (screen == 23 || screen == 24) return kDecalPrice;
  if (screen == S::PaintShop) return kPaintPrice;
  if (!S::IsPartDialog(screen) || priceTables == nullptr || row < 0 || row >= 21) return 0;
  return float(priceTables[kTables[screen - 16]][row]);
}

Transition ListRowTransition(int screen, int row, const TransitionInputs& in) {
  Transition t;
  switch (screen * 10 + row) {
    case S::MainMenu * 10 + 0:
      t = To(in.newCareer ? S::EnterName : S::CareerMenu, 0, MenuSound::None);
      t.gameMode = kGameModeCareer;
      t.clearNewCareer = in.newCareer;
      return t;
    case S::MainMenu * 10 + 1:
      t = To(S::QuickRace, -1, MenuSound::None);
      t.gameMode = kGameModeQuickRace;
      t.quickRaceTrackRange = kNextQuickRaceTrackRange;
      return t;
    case S::MainMenu * 10 + 2: return To(S::Options, 0, MenuSound::None);
    case S::CareerMenu * 10 + 0: return To(S::Garage, 0, MenuSound::None);
    case S::CareerMenu * 10 + 1: return To(S::NewCareerConfirm, -1, MenuSound::None);
    case S::Garage * 10 + 0:
      t = To(S::Competitions, in.competitionIndex, MenuSound::None);
      t.resetSelectedRow = true;
      return t;
    case S::Garage * 10 + 1: return To(S::TuningMenu, 0, MenuSound::None);
    case S::Garage * 10 + 2:
      t = To(S::CarShop, in.playerCarIndex, MenuSound::None);
      t.selectCatalogueCar = in.playerCarIndex;
      return t;
    case S::TuningMenu * 10 + 0:
    case S::TuningMenu * 10 + 1:
    case S::TuningMenu * 10 + 2:
      return To(S::EngineTuning + row, in.packageLevels[row], MenuSound::None);
    case S::Options * 10 + 0:
      t = To(S::GraphicsOptions, -1, MenuSound::None);
      t.resetSelectedRow = true;
      t.openGraphics = true;
      return t;
    case S::Options * 10 + 1:
      t = To(S::AudioOptions, -1, MenuSound::None);
      t.resetSelectedRow = true;
      return t;
    case S::Options * 10 + 2:
      t = To(S::ControlsOptions, -1, MenuSound::None);
      t.resetSelectedRow = true;
      t.copyKeyBindings = true;
      return t;
    default: return Transition();
  }
}

const char* ListRowCaption(int screen, int row) {
  static const char* const kMain[] = {"CAREER", "QUICK RACE", "OPTIONS"};
  static const char* const kCareer[] = {"CONTINUE", "NEW CAREER"};
  static const char* const kGarage[] = {"COMPETITIONS", "TUNING", "CAR SHOP"};
  static const char* const kTuning[] = {"ENGINE", "SUSPENSION", "TURBO"};
  static const char* const kOptions[] = {"GRAPHICS", "AUDIO", "CONTROLS"};
  static const char* const kPackages[] = {"NA", "PACKAGE 1", "PACKAGE 2", "PACKAGE 3"};
  // The turbo shop's third caption carries a Cyrillic letter (code page 1251).
  static const char* const kTurboPackages[] = {"NA", "PACKAGE 1", "PACKAGE\xD2 2", "PACKAGE 3"};
  auto pick = [row](const char* const* rows, int count) { return row >= 0 && row < count ? rows[row] : nullptr; };
  switch (screen) {
    case S::MainMenu: return pick(kMain, 3);
    case S::CareerMenu: return pick(kCareer, 2);
    case S::Garage: return pick(kGarage, 3);
    case S::TuningMenu: return pick(kTuning, 3);
    case S::Options: return pick(kOptions, 3);
    case S::EngineTuning:
    case S::SuspensionTuning: return pick(kPackages, 4);
    case S::TurboTuning: return pick(kTurboPackages, 4);
    case S::CarShop: return pick(kCarNames, kCatalogueSize);
    default: return nullptr;
  }
}
