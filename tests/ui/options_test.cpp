// What the options screens show and step: key names, the values of the
// GRAPHICS and AUDIO rows, and the arrows' stepping of shadow detail.
#include <gtest/gtest.h>

#include <string>

#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/platform.h"
#include "ui/option_widgets.h"
#include "ui/options.h"

TEST(KeyNames, LettersShowTheCapitalAndABlank) {
  EXPECT_STREQ(KeyName('Q'), "Q ");
  EXPECT_STREQ(KeyName('A'), "A ");
  EXPECT_STREQ(KeyName('Z'), "Z ");
}

TEST(KeyNames, NamedKeys) {
  const std::pair<int, const char*> named[] = {
      {vk::kShift, "shift"}, {vk::kControl, "ctrl"},  {vk::kSpace, "space"},   {vk::kComma, ","},
      {vk::kPeriod, "."},    {vk::kSlash, "/"},       {vk::kSemicolon, ";"},   {vk::kQuote, "'"},
      {vk::kLeftBracket, "["}, {vk::kRightBracket, "]"}, {vk::kUp, "up arrow"}, {vk::kDown, "down arrow"},
      {vk::kLeft, "left arrow"}, {vk::kRight, "right arrow"}};
  for (auto [code, name] : named) EXPECT_STREQ(KeyName(code), name) << code;
}

TEST(KeyNames, DigitsFunctionKeysEnterAndLowerCaseCodesHaveNoName) {
  for (int code : {int('1'), int('0'), vk::kF1, vk::kF1 + 3, vk::kEnter, vk::kEscape, int('a'), 0, 255, -1, 256}) {
    EXPECT_EQ(KeyName(code), nullptr) << code;
  }
}

TEST(OptionValues, ShadowDetailStepsOverZeroToTwoAndLeavesUltraByEitherArrow) {
  EXPECT_EQ(StepOptionValue(0, +1, 2), 1);
  EXPECT_EQ(StepOptionValue(2, +1, 2), 0);
  EXPECT_EQ(StepOptionValue(0, -1, 2), 2);
  EXPECT_EQ(StepOptionValue(3, +1, 2), 0) << "Ultra HD, one step right";
  EXPECT_EQ(StepOptionValue(3, -1, 2), 2) << "Ultra HD, one step left";
}

TEST(OptionValues, GraphicsRowsShowTheirSettings) {
  gPendingResolutionIndex = 7;
  gAntiAliasingChoice = 4;
  gSightRange = 0;
  gShadowDetail = 3;
  gMotionBlur = 1;
  gSoftParticles = 0;
  gTextureFiltering = 1;
  const std::string expected[] = {"1680x1050", "4xAA", "Min", "Ultra HD", "On", "Off", "Anisotropic"};
  for (int row = 0; row < 7; ++row) EXPECT_EQ(GraphicsValueText(row), expected[row]) << row;
  gPendingResolutionIndex = 12;
  gAntiAliasingChoice = 3;
  EXPECT_STREQ(GraphicsValueText(0), "") << "a mode outside the table";
  EXPECT_STREQ(GraphicsValueText(1), "");
  gPendingResolutionIndex = 0;
  gAntiAliasingChoice = 0;
  gShadowDetail = 1;
}

TEST(OptionValues, AudioRowsShowOnAndOff) {
  gSoundOn = 1;
  gMusicOn = 0;
  gEaxOn = 1;
  EXPECT_STREQ(AudioValueText(0), "On");
  EXPECT_STREQ(AudioValueText(1), "Off");
  EXPECT_STREQ(AudioValueText(2), "On");
  gSoundOn = 0;
  gEaxOn = 0;
}
