// The keys the message loop handles itself, and the frame clock.
#include "framework/app.h"
#include "framework/worker.h"
#include "platform/platform.h"
#include "tests/framework/hand_over_state.h"

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

TEST(FrameClock, FrameOverTwoTenthsOfASecondCountsAsNoTime) {
  ApplyMenuFrameTime(0.25f);
  EXPECT_EQ(gFrameFactor, 0.0f);
  EXPECT_EQ(gPhysicsFrameTime, 0.0f);
  EXPECT_FLOAT_EQ(gFrameSeconds, 0.25f);
  ApplyMenuFrameTime(0.2f);
  EXPECT_FLOAT_EQ(gFrameFactor, 20.0f);
  ApplyMenuFrameTime(0.02f);
  EXPECT_FLOAT_EQ(gFrameFactor, 2.0f);
  EXPECT_FLOAT_EQ(gPhysicsFrameTime, 0.02f);
  EXPECT_FLOAT_EQ(gFps, 50.0f);
}

TEST(FrameClock, ZeroFrameTimeGivesAFiniteFrameRate) {
  ApplyMenuFrameTime(0.0f);
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
