// The transition table of the menus as a pure function: what a pressed
// button of a kind does on a screen, and what a confirmed drum-list row
// does. Reads nothing global; MenuButton and DrawMenuList apply the result.
#pragma once

#include "framework/settings.h"  // GameMode

// MenuButtonKind: the key that presses a button and the icon it shows.
namespace ButtonKind {
inline constexpr int Back = 0;     // Escape
inline constexpr int One = 1;      // digit 1
inline constexpr int Two = 2;      // digit 2
inline constexpr int Three = 3;    // digit 3
inline constexpr int Confirm = 4;  // Enter
}  // namespace ButtonKind

// The sounds of a transition, each played only while sound is on.
enum class MenuSound {
  None,
  Transition,            // gSndMenuClick then gSndMenuChange
  Click,                 // gSndMenuClick alone
  Purchase,              // gSndMenuPurchase then gSndMenuChange
  Refusal,               // gSndMenuRefusal
  RefusalUnlessPlaying,  // gSndMenuRefusal, unless it is still playing
};

// What the screen state around a press holds that the table decides on.
struct TransitionInputs {
  int gameMode = kGameModeCareer;  // GameMode of the career
  float cash = 0;            // the career's cash
  int menuCursor = 0;        // drum-list row: the package or truck a shop prices
  bool newCareer = false;    // the career's new-career flag
  bool settingsChanged = false;
  int trackListIndex = 0;    // series 0..2
  int trackListStage[4] = {};
  int competitionIndex = 0;
  int playerCarIndex = 0;
  int packageLevels[3] = {};  // engine, suspension, turbo of the player's set-up
  int ownedCarIndex = 0;           // the career's truck
  int ownedPackageLevels[3] = {};  // engine, suspension, turbo of the career's set-up
  bool previewBuilt = false;  // the previewed truck is the cursor's and its models are built
  const int (*priceTables)[21] = nullptr;  // gPriceTables: 11 rows of 21 prices
  bool quickRaceTruckReady = true;  // the live truck is the quick race's and its models are built
};

// The effects of one press or confirm; a field at its default changes nothing.
struct Transition {
  bool matched = false;         // the pair has a row in the table
  int target = -1;              // new gTargetScreen
  int entryRow = -1;            // new gMenuCursorOnEntry
  int loaderRequest = -1;       // new gLoaderStatus
  MenuSound sound = MenuSound::None;
  float price = 0;              // taken from the cash (a purchase)
  int gameMode = -1;            // new game mode
  int quickRaceTrackRange = 0;  // 10 or 25: draw a quick-race track 1..range and a car 0..17
  int selectCatalogueCar = -1;  // the player's set-up becomes that catalogue row
  int fitPackage = -1;          // 0 engine, 1 suspension, 2 turbo: that package := packageLevel before storing
  int packageLevel = 0;
  int waitingForKey = -1;       // new gWaitingForKey
  bool clearNewCareer = false;
  bool newCareerReset = false;    // NewCareer(): defaults, saved at once
  bool restoreCarSetup = false;   // the career's set-up back into the player's
  bool storeCarSetup = false;     // the player's set-up into the career
  bool quit = false;              // gQuitRequested
  bool resumeRace = false;        // race sounds and music resume, free camera off
  bool freeCameraOff = false;
  bool startDirectRace = false;   // career truck 0, competition 0 race 1, set-up factors 0.85
  bool acceptSettings = false;    // gSettingsAccepted
  bool resetSelectedRow = false;  // gSelectedRow 0
  bool openGraphics = false;      // settings-changed flag off, pending resolution = current
  bool copyKeyBindings = false;   // pending bindings = live ones
};

// The row of (screen, kind) of the button table; matched is false for a
// pair with no row.
Transition ButtonTransition(int screen, int kind, const TransitionInputs& in);

// The row action of a confirmed drum-list row (the transition sounds are
// the list's own); matched is false where the list has no row table.
Transition ListRowTransition(int screen, int row, const TransitionInputs& in);

// What a buy-a-part dialog (16..21, 23, 24) or the paint shop (22) charges
// for list row `row`; 0 on any other screen.
float PartDialogPrice(int screen, int row, const int (*priceTables)[21]);

// The drum list's captions of a screen's rows; null past the last row or on
// a screen with no captions.
const char* ListRowCaption(int screen, int row);
