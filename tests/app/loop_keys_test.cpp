// The keys the message loop handles itself, and the frame clock.
#include "app/app.h"
#include "app/worker.h"
#include "platform/platform.h"
#include "tests/support/hand_over_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class LoopKeys : public ::testing::Test {
 protected:
  void SetUp() override { ResetHandOverState(ScreenState::Racing); }
  HandOver<uint8_t> keys_[kKeyCount];
};

}  // namespace

TEST_F(LoopKeys, EscapePausesOnlyARunningRaceWithTheLatchClear) {
  EXPECT_TRUE(EscapeOpensPause(true, false, ScreenState::Racing, ScreenState::Racing, false));
  EXPECT_FALSE(EscapeOpensPause(false, false, ScreenState::Racing, ScreenState::Racing, false));
  // A fade under way, the player finished, or Escape still held from before.
  EXPECT_FALSE(EscapeOpensPause(true, false, ScreenState::Racing, ScreenState::RaceFinish, false));
  EXPECT_FALSE(EscapeOpensPause(true, false, ScreenState::Racing, ScreenState::Racing, true));
  EXPECT_FALSE(EscapeOpensPause(true, true, ScreenState::Racing, ScreenState::Racing, false));
  EXPECT_FALSE(EscapeOpensPause(true, false, ScreenState::Pause, ScreenState::Pause, false));
  EXPECT_FALSE(EscapeOpensPause(true, false, 1, 1, false));
}

TEST_F(LoopKeys, CaptureTakesTheLowestAcceptedCode) {
  keys_['A'] = 1;
  keys_[vk::kShift] = 1;
  EXPECT_EQ(FindKeyToBind(keys_), vk::kShift);
  keys_[vk::kShift] = 0;
  keys_['1'] = 1;  // digits are refused, so the letter wins
  EXPECT_EQ(FindKeyToBind(keys_), 'A');
}

TEST_F(LoopKeys, CaptureRefusesDigitsFunctionKeysEnterAndEscape) {
  for (int key : std::initializer_list<int>{'0', '5', '9', vk::kF1, vk::kF1 + 11, vk::kEnter, vk::kEscape, vk::kTab, vk::kBackspace}) {
    keys_[key] = 1;
  }
  EXPECT_EQ(FindKeyToBind(keys_), -1);
  for (int key : {vk::kControl, vk::kSpace, vk::kComma, vk::kPeriod, vk::kSlash, vk::kSemicolon, vk::kQuote,
                  vk::kLeftBracket, vk::kRightBracket, vk::kUp, vk::kDown, vk::kLeft, vk::kRight, int{'Z'}}) {
    EXPECT_TRUE(IsBindableKey(key)) << key;
  }
  EXPECT_FALSE(IsBindableKey(vk::kMinus));
  EXPECT_FALSE(IsBindableKey(vk::kBackslash));
}

TEST_F(LoopKeys, LatchIsHeldByEnterButNotByALetterOutsideTheList) {
  EXPECT_TRUE(KeyLatchMayClear(keys_, false));
  keys_['A'] = 1;
  EXPECT_TRUE(KeyLatchMayClear(keys_, false));
  keys_[vk::kEnter] = 1;
  EXPECT_FALSE(KeyLatchMayClear(keys_, false));
  keys_[vk::kEnter] = 0;
  EXPECT_FALSE(KeyLatchMayClear(keys_, true));  // the left button holds it too
  for (int key : std::initializer_list<int>{'Y', 'Q', 'U', vk::kF1 + 4, '3', vk::kSpace}) {
    keys_[key] = 1;
    EXPECT_FALSE(KeyLatchMayClear(keys_, false)) << key;
    keys_[key] = 0;
  }
  keys_[vk::kF1 + 3] = 1;  // F4 is not watched
  EXPECT_TRUE(KeyLatchMayClear(keys_, false));
}

class LoopKeyHandling : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHandOverState(ScreenState::Racing);
    gWaitingForKey = 0;
    gSelectedRow = 0;
    gDebugText = 0;
    gScreenFade = 0.7f;
    for (int row = 0; row < kKeyBindingCount; ++row) gKeyBindings[row] = gPendingKeyBindings[row] = 37 + row;
  }
  void TearDown() override { ResetHandOverState(ScreenState::Racing); }
};

TEST_F(LoopKeyHandling, EscapeInARaceOpensThePauseScreenOnceButNotAfterTheFinish) {
  gPlayerFinished = 1;
  gKeys[vk::kEscape] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gScreen, ScreenState::Racing);
  EXPECT_EQ(gTargetScreen, ScreenState::Racing);
  gKeys[vk::kEscape] = 0;
  HandleLoopKeys();

  gPlayerFinished = 0;
  gKeys[vk::kEscape] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gScreen, ScreenState::Pause);
  EXPECT_EQ(gTargetScreen, ScreenState::Pause);
  EXPECT_EQ(gScreenFade, 0.0f);
  EXPECT_EQ(gKeyLatch, 1);  // Escape is still down: the latch holds
  gScreenFade = 0.5f;
  HandleLoopKeys();
  EXPECT_EQ(gScreen, ScreenState::Pause);
  EXPECT_EQ(gScreenFade, 0.5f);
  gKeys[vk::kEscape] = 0;
  HandleLoopKeys();
  EXPECT_EQ(gKeyLatch, 0);
}

TEST_F(LoopKeyHandling, CapturedKeyBindsTheSelectedRowEvenWithTheLatchHeld) {
  gScreen = ScreenState::ControlsOptions;
  gTargetScreen = ScreenState::ControlsOptions;
  gWaitingForKey = 1;
  gSelectedRow = 2;
  gKeyLatch = 1;
  gKeys['A'] = 1;
  gKeys[vk::kSpace] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gKeyBindings[2], vk::kSpace);  // the lower code
  EXPECT_EQ(gPendingKeyBindings[2], vk::kSpace);
  EXPECT_EQ(gKeyBindings[1], 38);
  EXPECT_EQ(gWaitingForKey, 0);
  EXPECT_EQ(gKeyLatch, 1);  // Space is watched, so the latch stays

  // The next key goes nowhere until the screen asks again.
  gKeys[vk::kSpace] = 0;
  HandleLoopKeys();
  EXPECT_EQ(gKeyBindings[2], vk::kSpace);
  EXPECT_EQ(gKeyLatch, 0);
}

TEST_F(LoopKeyHandling, CaptureWaitsForAnAcceptedKeyAndARowInRange) {
  gScreen = ScreenState::ControlsOptions;
  gTargetScreen = ScreenState::ControlsOptions;
  gWaitingForKey = 1;
  gSelectedRow = 1;
  gKeys['5'] = 1;
  gKeys[vk::kEnter] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gWaitingForKey, 1);
  EXPECT_EQ(gKeyBindings[1], 38);

  gKeys['Q'] = 1;
  gSelectedRow = 5;  // no binding row: the key is taken but stored nowhere
  HandleLoopKeys();
  EXPECT_EQ(gWaitingForKey, 0);
  for (int row = 0; row < kKeyBindingCount; ++row) EXPECT_EQ(gKeyBindings[row], 37 + row);
}

TEST_F(LoopKeyHandling, F1TogglesTheDebugTextOncePerPress) {
  gScreen = 1;
  gTargetScreen = 1;
  gKeys[vk::kF1] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gDebugText, 1);
  HandleLoopKeys();  // still held
  EXPECT_EQ(gDebugText, 1);
  gKeys[vk::kF1] = 0;
  HandleLoopKeys();
  gKeys[vk::kF1] = 1;
  HandleLoopKeys();
  EXPECT_EQ(gDebugText, 0);
}

// Script frames skip those that only wait for a load, also one whose screen read
// the request before the worker answered: it showed the waiting picture too.
TEST(ScriptFrames, AreHeldUntilTheScreenTakesTheLoadersAnswer) {
  namespace S = ScreenState;
  namespace L = LoaderStatus;
  EXPECT_TRUE(FrameOnlyWaitsForALoad(S::RaceLoading, L::TrackLoaded, 3));
  EXPECT_TRUE(FrameOnlyWaitsForALoad(S::Pause, L::TrackFailed, 3));
  EXPECT_TRUE(FrameOnlyWaitsForALoad(S::RaceFinish, L::GarageLoaded, 3));
  EXPECT_FALSE(FrameOnlyWaitsForALoad(S::RaceLoading, L::Idle, 3));
  EXPECT_FALSE(FrameOnlyWaitsForALoad(S::Splash, L::LoadStartupOrPlayerCar, 9.9f)) << "the start-up load not asked for";
  EXPECT_TRUE(FrameOnlyWaitsForALoad(S::Splash, L::LoadStartupOrPlayerCar, 10.1f));
  EXPECT_TRUE(FrameOnlyWaitsForALoad(S::CarShop, L::LoadStartupOrPlayerCar, 3)) << "the player's truck rebuilt";
}

TEST(FrameClock, FirstReadingIsZero) {
  FrameClock clock;
  EXPECT_EQ(clock.Next(123456), 0.0f);
  EXPECT_FLOAT_EQ(clock.Next(123456 + 40), 0.04f);
}

TEST(FrameClock, WrapOfTheMillisecondCounterGivesTheSmallDifference) {
  FrameClock clock;
  clock.Next(0xFFFFFFF0u);
  EXPECT_FLOAT_EQ(clock.Next(0x10u), 0.032f);
  EXPECT_FLOAT_EQ(SecondsBetween(0xFFFFFC18u, 1000u), 2.0f);
}

TEST(FrameClock, FrameOverTwoTenthsOfASecondCountsAsTwoTenths) {
  ApplyFrameTime(0.25f);
  EXPECT_FLOAT_EQ(gFrameFactor, 20.0f);
  EXPECT_FLOAT_EQ(gPhysicsFrameTime, 0.2f);
  EXPECT_FLOAT_EQ(gFrameSeconds, 0.25f);
  ApplyFrameTime(0.2f);
  EXPECT_FLOAT_EQ(gFrameFactor, 20.0f);
  ApplyFrameTime(0.02f);
  EXPECT_FLOAT_EQ(gFrameFactor, 2.0f);
  EXPECT_FLOAT_EQ(gPhysicsFrameTime, 0.02f);
  EXPECT_FLOAT_EQ(gFps, 50.0f);
}

TEST(FrameClock, ZeroFrameTimeGivesAFiniteFrameRate) {
  ApplyFrameTime(0.0f);
  EXPECT_TRUE(std::isfinite(gFps));
  EXPECT_EQ(gFrameFactor, 0.0f);
}

TEST(StartupSizes, ShadowMapFollowsTheDetailSettingAndKeepsItsSizeOtherwise) {
  EXPECT_EQ(ShadowMapSizeForDetail(0, 0), 16);
  EXPECT_EQ(ShadowMapSizeForDetail(1, 0), 1024);
  EXPECT_EQ(ShadowMapSizeForDetail(2, 0), 4096);
  EXPECT_EQ(ShadowMapSizeForDetail(3, 0), 8192);
  EXPECT_EQ(ShadowMapSizeForDetail(4, 0), 0);
  EXPECT_EQ(ShadowMapSizeForDetail(-1, 1024), 1024);
}
