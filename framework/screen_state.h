// The screen numbers of gScreen and gTargetScreen, named once for the whole
// game: the framework tests a few of them (the race, the splash, the pause,
// key capture on CONTROLS), the screens all of them.
#pragma once

namespace ScreenState {
inline constexpr int Racing = 0;             // race running; the screens are not drawn
inline constexpr int MainMenu = 1;
inline constexpr int InfoPage = 2;           // entered by nothing
inline constexpr int Options = 3;
inline constexpr int GraphicsOptions = 5;
inline constexpr int AudioOptions = 6;
inline constexpr int ControlsOptions = 7;
inline constexpr int CareerMenu = 8;
inline constexpr int NewCareerConfirm = 9;
inline constexpr int Garage = 10;
inline constexpr int TuningMenu = 11;
inline constexpr int EngineTuning = 12;
inline constexpr int SuspensionTuning = 13;
inline constexpr int TurboTuning = 14;
inline constexpr int CarShop = 15;
inline constexpr int PaintShop = 22;         // entered by nothing
inline constexpr int Profile = 29;           // entered by nothing
inline constexpr int Competitions = 30;
inline constexpr int SelectRace = 31;
inline constexpr int RaceLoading = 32;
inline constexpr int RaceFinish = 33;
inline constexpr int RaceResults = 34;
inline constexpr int RaceBonus = 35;         // entered by nothing
inline constexpr int QuitConfirm = 44;
inline constexpr int QuickRace = 50;
inline constexpr int Information = 60;
inline constexpr int EnterName = 80;
inline constexpr int Splash = 100;
inline constexpr int Pause = 101;

// The buy-a-part dialogs: 16..21, 23 and 24 (entered by nothing).
inline constexpr bool IsPartDialog(int screen) {
  return (screen >= 16 && screen <= 21) || screen == 23 || screen == 24;
}
}  // namespace ScreenState
