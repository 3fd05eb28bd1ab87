// The screen state machine without a window: the fade and its curves, the
// switch to the target, the pointer's scale, and the press rule and widget
// timing that every screen shares.
#include "ui/screen_machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/platform.h"
#include "ui/menu_button.h"
#include "ui/menu_list.h"
#include "ui/menu_screens.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/splash_screen.h"
#include "world/race_state.h"

namespace {

namespace S = ScreenState;

void StartFadeFrom(int screen, int target, float fade) {
  gScreen = screen;
  gTargetScreen = target;
  gScreenFade = fade;
  gSettleSound = 0;
}

}  // namespace

TEST(ScreenFade, CurvesAtTheFadesThatMatter) {
  struct Case {
    float fade, slide, dim, lateFade, veil, alpha;
  };
  for (const Case& c : {Case{0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f}, Case{0.5f, 0.2929f, 0.0f, 1.0f, 0.0993f, 1.0f},
                        Case{0.7f, 0.1090f, 0.0f, 0.4122f, 0.0f, 1.0f}, Case{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}}) {
    SCOPED_TRACE(c.fade);
    const FadeCurves curves = ComputeFadeCurves(c.fade);
    EXPECT_NEAR(curves.slide, c.slide, 1e-3);
    EXPECT_NEAR(curves.dim, c.dim, 1e-3);
    EXPECT_NEAR(curves.lateFade, c.lateFade, 1e-3);
    EXPECT_NEAR(curves.veil, c.veil, 1e-3);
    EXPECT_NEAR(curves.alpha, c.alpha, 1e-3);
  }
}

TEST(ScreenFade, ASettledScreenFadesInAndCapsAtOne) {
  StartFadeFrom(S::MainMenu, S::MainMenu, 0.0f);
  gScreenClock = 0;
  AdvanceScreenFade(10.0f);  // 0.1 s
  EXPECT_NEAR(gScreenFade, 0.15f, 1e-6);
  EXPECT_NEAR(gScreenClock, 0.1f, 1e-6);
  for (int frame = 0; frame < 10; ++frame) AdvanceScreenFade(10.0f);
  EXPECT_EQ(gScreenFade, 1.0f);
}

TEST(ScreenFade, TheSwitchComesWhenTheFadeRunsOutAndLoadsTheEntryRow) {
  StartFadeFrom(S::MainMenu, S::CareerMenu, 0.2f);
  gMenuCursor = 2;
  gMenuCursorOnEntry = 1;
  gListAngle = 45;
  gMenuHover[3] = 1;
  AdvanceScreenFade(10.0f);
  EXPECT_EQ(gScreen, S::MainMenu) << "0.05 of fade still to go";
  AdvanceScreenFade(10.0f);
  EXPECT_EQ(gScreen, S::CareerMenu);
  EXPECT_EQ(gScreenFade, 0.0f);
  EXPECT_EQ(gMenuCursor, 1);
  EXPECT_EQ(gListAngle, 0.0f);
  EXPECT_EQ(gMenuHover[3], 0);
  EXPECT_EQ(gSettleSound, 1);
}

TEST(ScreenFade, AFadeOfMinusOneSwitchesInTheNextFrame) {
  StartFadeFrom(S::RaceFinish, S::RaceResults, -1.0f);
  AdvanceScreenFade(1.0f);
  EXPECT_EQ(gScreen, S::RaceResults);
}

TEST(ScreenFade, ANewTargetDuringTheFadeOutWins) {
  StartFadeFrom(S::MainMenu, S::CareerMenu, 0.1f);
  AdvanceScreenFade(1.0f);
  gTargetScreen = S::QuitConfirm;
  for (int frame = 0; frame < 10; ++frame) AdvanceScreenFade(1.0f);
  EXPECT_EQ(gScreen, S::QuitConfirm);
}

TEST(ScreenFade, SwitchingToTheRaceAsksForNoSettleSound) {
  StartFadeFrom(S::Pause, S::Racing, 0.01f);
  AdvanceScreenFade(1.0f);
  EXPECT_EQ(gScreen, S::Racing);
  EXPECT_EQ(gSettleSound, 0);
}

TEST(ScreenFade, ALongFrameFreezesTheFade) {
  StartFadeFrom(S::MainMenu, S::CareerMenu, 0.5f);
  AdvanceScreenFade(0.0f);
  EXPECT_EQ(gScreenFade, 0.5f);
  EXPECT_EQ(gScreen, S::MainMenu);
}

TEST(ScreenFade, EnteringTheCompetitionsPlacesTheSelectorOnTheCareersCompetition) {
  const int expected[6][2] = {{0, 2}, {0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 0}};
  for (int competition = 0; competition < 6; ++competition) {
    gCompetitionIndex = competition;
    StartFadeFrom(S::Garage, S::Competitions, 0.0f);
    AdvanceScreenFade(1.0f);
    EXPECT_EQ(gSelectedRow, expected[competition][0]) << competition;
    EXPECT_EQ(gSelectedColumn, expected[competition][1]) << competition;
  }
}

TEST(ScreenFade, LeavingTheBonusPageForTheGarageBooksTheRacesPoints) {
  gCareer = BuiltInCareer();
  gCash = 500, gCareerPoints = 9000, gRatingLevel = 2, gBonusTotals[0] = 12000, gBonusTotals[1] = 500;
  for (float& points : gRaceBonus) points = 0;
  gRaceBonus[0] = 1000, gRaceBonus[1] = 2000;
  StartFadeFrom(S::RaceBonus, S::Garage, 0.01f);
  AdvanceScreenFade(1.0f);
  ASSERT_EQ(gScreen, S::Garage);
  EXPECT_EQ(gCash, 3500.0f);
  EXPECT_EQ(gRatingLevel, 3) << "9000 + 3000 points pass 10000 once";
  EXPECT_EQ(gCareerPoints, 2000.0f);
  EXPECT_EQ(gBonusTotals[0], 3000.0f) << "13000 less 10000";
  EXPECT_EQ(gBonusTotals[1], 0.0f) << "2500 starts again from 0";
  EXPECT_EQ(gRaceBonus[0] + gRaceBonus[1], 0.0f) << "the race's points are spent";
}

TEST(Pointer, WindowPixelsScaleByTheResolutionsFactors) {
  int32_t x = 0, y = 0;
  PointerInFrame(1, 1279, 767, &x, &y);  // 1280 x 768
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  PointerInFrame(0, 1023, 767, &x, &y);  // 1024 x 768
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  PointerInFrame(9, 1919, 1199, &x, &y);  // 1920 x 1200
  EXPECT_EQ(x, 798);
  EXPECT_EQ(y, 599);
  PointerInFrame(42, 100, 100, &x, &y);  // an index out of range scales as the first
  EXPECT_EQ(x, 78);
}

TEST(PressRule, AButtonTakesAPressOnlyWhenEveryConditionHolds) {
  const PressGate ready = {1.0f, true, false, LoaderStatus::Idle, true, false, false};
  EXPECT_TRUE(ButtonPressAllowed(ready));
  PressGate clicked = ready;
  clicked.keyDown = false;
  clicked.clicked = true;
  EXPECT_TRUE(ButtonPressAllowed(clicked));
  PressGate atThreshold = ready;
  atThreshold.fade = 0.95f;
  EXPECT_TRUE(ButtonPressAllowed(atThreshold));

  PressGate g = ready;
  g.fade = 0.94f;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "fading";
  g = ready;
  g.settled = false;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "a target is set";
  g = ready;
  g.inputLocked = true;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "the truck is being rebuilt";
  g = ready;
  g.loaderStatus = LoaderStatus::LoadStartupOrPlayerCar;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "the loader is busy";
  g = ready;
  g.keyLatch = true;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "the press was taken already";
  g = ready;
  g.keyDown = false;
  EXPECT_FALSE(ButtonPressAllowed(g)) << "nothing pressed";
}

TEST(PressRule, ThePointerMustBeStrictlyInsideTheHitBox) {
  // A button at (70, 45): x 70..198, y from the top 528..548.
  EXPECT_TRUE(PointerOverButton(70, 45, 71, 529));
  EXPECT_TRUE(PointerOverButton(70, 45, 197, 547));
  EXPECT_FALSE(PointerOverButton(70, 45, 70, 538));
  EXPECT_FALSE(PointerOverButton(70, 45, 198, 538));
  EXPECT_FALSE(PointerOverButton(70, 45, 100, 528));
  EXPECT_FALSE(PointerOverButton(70, 45, 100, 548));
}

TEST(DrumList, AHeldKeyStepsAtOnceThenAfterADelayThenEveryNinetyMilliseconds) {
  // 1 ms frames; record the times at which the latch is let go.
  float repeat = 0;
  std::vector<float> repeats;
  for (int frame = 1; frame <= 600; ++frame) {
    if (AdvanceListRepeat(&repeat, true, 0.1f)) repeats.push_back(frame * 0.001f);
  }
  ASSERT_GE(repeats.size(), 3u);
  EXPECT_NEAR(repeats[0], 0.35f, 0.002f);
  EXPECT_NEAR(repeats[1] - repeats[0], 0.09f, 0.002f);
  EXPECT_NEAR(repeats[2] - repeats[1], 0.09f, 0.002f);
  EXPECT_FALSE(AdvanceListRepeat(&repeat, false, 1.0f));
  EXPECT_EQ(repeat, 0.0f) << "letting go restarts the delay";
}

TEST(DrumList, TheTurnEasesToRestWithoutOvershooting) {
  for (float start : {90.0f, -90.0f, 180.0f, 0.3f}) {
    float angle = start;
    int frames = 0;
    while (angle != 0.0f && frames < 1000) {
      const float next = EaseListAngle(angle, 1.0f);
      EXPECT_TRUE(next == 0.0f || (next > 0) == (start > 0)) << start;
      EXPECT_LE(std::abs(next), std::abs(angle));
      angle = next;
      ++frames;
    }
    EXPECT_EQ(angle, 0.0f) << start;
    EXPECT_LT(frames, 100) << "a 90-degree turn settles within a second";
  }
  EXPECT_EQ(EaseListAngle(90.0f, 0.0f), 90.0f) << "a long frame freezes the drum";
}

TEST(DrumList, RowsBendAwayFromTheFrontSymmetrically) {
  EXPECT_EQ(ListRowBend(0), 0.0f);
  EXPECT_NEAR(ListRowBend(90), 0.4f * std::pow(90.0f, 1.25f), 1e-3);
  EXPECT_EQ(ListRowBend(-90), -ListRowBend(90));
}

TEST(OptionArrows, TheDisplayModeSkipsModesTheDisplayRefuses) {
  auto only1280x1024 = [](int w, int h) { return w == 1280 && h == 1024; };
  EXPECT_EQ(NextSupportedResolution(0, +1, only1280x1024), 3);
  EXPECT_EQ(NextSupportedResolution(9, +1, only1280x1024), 3);
  EXPECT_EQ(NextSupportedResolution(0, -1, only1280x1024), 3);
  auto everything = [](int, int) { return true; };
  EXPECT_EQ(NextSupportedResolution(9, +1, everything), 0);
  EXPECT_EQ(NextSupportedResolution(0, -1, everything), 9);
}

TEST(OptionArrows, ADisplayThatRefusesEveryOtherModeKeepsTheCurrentOne) {
  auto onlyTheCurrent = [](int w, int h) { return w == 1024 && h == 768; };
  EXPECT_EQ(NextSupportedResolution(0, +1, onlyTheCurrent), 0);
  auto none = [](int, int) { return false; };
  EXPECT_EQ(NextSupportedResolution(4, -1, none), 4);
}

TEST(OptionArrows, AntiAliasingCyclesThroughItsFourChoices) {
  EXPECT_EQ(NextAntiAliasing(0, +1), 2);
  EXPECT_EQ(NextAntiAliasing(8, +1), 0);
  EXPECT_EQ(NextAntiAliasing(0, -1), 8);
  EXPECT_EQ(NextAntiAliasing(4, -1), 2);
  EXPECT_EQ(NextAntiAliasing(3, +1), 0);
}

TEST(ValueBars, ABarFollowsItsTargetOnlyWhileMoving) {
  EXPECT_NEAR(StepBarValue(0.5f, 1.0f, true, 1.0f), 0.5f + 0.5f * 0.035f, 1e-6);
  EXPECT_NEAR(StepBarValue(1.0f, 0.5f, true, 2.0f), 1.0f - 0.5f * 0.07f, 1e-6);
  EXPECT_EQ(StepBarValue(0.5f, 1.0f, false, 1.0f), 0.5f) << "held while the drum turns";
}

TEST(Splash, TitlePictureAndPageFadeOnTheSplashClock) {
  EXPECT_FLOAT_EQ(TitlePictureAlpha(1.0f), 0.5f);
  EXPECT_FLOAT_EQ(TitlePictureAlpha(3.0f), 1.0f);
  EXPECT_FLOAT_EQ(TitlePictureAlpha(6.0f), 0.5f);
  EXPECT_FLOAT_EQ(TitlePictureAlpha(7.5f), 0.0f);
  EXPECT_FLOAT_EQ(TitlePageBrightness(7.0f), 0.0f);
  EXPECT_FLOAT_EQ(TitlePageBrightness(8.0f), 0.5f);
  EXPECT_FLOAT_EQ(TitlePageBrightness(9.5f), 1.0f);
}

TEST(NameEntry, TheFirstLetterReplacesTheDefaultName) {
  char name[9] = "Player";
  int32_t length = 0;
  EXPECT_EQ(ApplyNameKey(name, &length, 'K'), NameKey::Edited);
  EXPECT_STREQ(name, "K");
  EXPECT_EQ(length, 1);
  EXPECT_EQ(ApplyNameKey(name, &length, 0xC0), NameKey::Edited);  // a code-page-1251 letter
  EXPECT_EQ(length, 2);
  EXPECT_EQ(static_cast<unsigned char>(name[1]), 0xC0);
}

TEST(NameEntry, SevenLettersAtMostThenBackspaceRemovesTheLast) {
  char name[9] = {};
  int32_t length = 0;
  for (char c : std::string("Abcdefg")) ASSERT_EQ(ApplyNameKey(name, &length, c), NameKey::Edited);
  EXPECT_EQ(ApplyNameKey(name, &length, 'h'), NameKey::Dropped);
  EXPECT_STREQ(name, "Abcdefg");
  EXPECT_EQ(ApplyNameKey(name, &length, vk::kBackspace), NameKey::Edited);
  EXPECT_STREQ(name, "Abcdef");
  EXPECT_EQ(length, 6);
}

TEST(NameEntry, DigitsSpacesAndOtherCharactersAreIgnored) {
  char name[9] = "Ann";
  int32_t length = 3;
  for (uint16_t c : {uint16_t('1'), uint16_t(' '), uint16_t('-'), uint16_t(13), uint16_t(191), uint16_t(0x410)}) {
    EXPECT_EQ(ApplyNameKey(name, &length, c), NameKey::Ignored) << c;
  }
  EXPECT_STREQ(name, "Ann");
  EXPECT_EQ(length, 3);
}

TEST(NameEntry, BackspaceOnAnEmptyNameClearsItAll) {
  char name[9] = "Player";
  int32_t length = 0;
  EXPECT_EQ(ApplyNameKey(name, &length, vk::kBackspace), NameKey::Edited);
  EXPECT_EQ(std::memcmp(name, "\0\0\0\0\0\0\0\0\0", 9), 0);
  EXPECT_EQ(length, 0);
}

TEST(NameEntry, ALengthOutOfRangeFromAFileStaysInsideTheName) {
  char name[9] = "Abcdefg";
  int32_t length = 500;  // as a damaged career file might hold
  EXPECT_EQ(ApplyNameKey(name, &length, 'x'), NameKey::Dropped);
  EXPECT_EQ(length, 7);
  EXPECT_EQ(name[8], 0);
  length = -20;
  EXPECT_EQ(ApplyNameKey(name, &length, 'Z'), NameKey::Edited);
  EXPECT_STREQ(name, "Z");
  EXPECT_EQ(length, 1);
}
