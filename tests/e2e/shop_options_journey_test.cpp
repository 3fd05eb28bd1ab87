// The real game driven with the keys through a purchase and the options:
// a new career buys the engine's PACKAGE 3 with all its cash, GRAPHICS
// takes an anti-aliasing step, AUDIO is looked at, CONTROLS binds Q to
// steering left, and the game is left through the quit dialog. The files
// it leaves show the purchase and the settings. Pictures of the engine
// shop, the options list and each options page go to frames/ for a person
// to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "framework/settings.h"
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"

namespace {

// Frames of 100 ms; a screen change takes about 15 of them.
constexpr int kEngineShopFrame = 210;
constexpr int kOptionsMenuFrame = 306;
constexpr int kGraphicsFrame = 345;
constexpr int kAudioFrame = 392;
constexpr int kControlsFrame = 450;

constexpr char kJourney[] =
    "72 key-down 13\n"  // the splash acts once the load is done
    "80 key-up 13\n"
    "90 key-down 13\n"  // CAREER: the new career asks for the name
    "91 key-up 13\n"
    "120 key-down 13\n"  // Next: the garage
    "121 key-up 13\n"
    "142 key-down 40\n"  // Down to TUNING
    "143 key-up 40\n"
    "150 key-down 13\n"
    "151 key-up 13\n"
    "172 key-down 13\n"  // ENGINE
    "173 key-up 13\n"
    "195 key-down 40\n"  // Down x 3: PACKAGE 3
    "196 key-up 40\n"
    "198 key-down 40\n"
    "199 key-up 40\n"
    "201 key-down 40\n"
    "202 key-up 40\n"
    "212 key-down 13\n"  // Buy: 10000 of 10000
    "213 key-up 13\n"
    "235 key-down 27\n"  // TUNING's Back: the garage
    "236 key-up 27\n"
    "258 key-down 27\n"  // the garage's Back: the main menu
    "259 key-up 27\n"
    "280 key-down 40\n"  // Down x 2: OPTIONS
    "281 key-up 40\n"
    "283 key-down 40\n"
    "284 key-up 40\n"
    "286 key-down 13\n"
    "287 key-up 13\n"
    "310 key-down 13\n"  // GRAPHICS
    "311 key-up 13\n"
    "332 key-down 40\n"  // the anti-aliasing row, one step right: 2xAA
    "333 key-up 40\n"
    "336 key-down 39\n"
    "337 key-up 39\n"
    "347 key-down 27\n"  // Back to the options list, on GRAPHICS
    "348 key-up 27\n"
    "368 key-down 40\n"  // AUDIO
    "369 key-up 40\n"
    "371 key-down 13\n"
    "372 key-up 13\n"
    "394 key-down 27\n"  // Back, on AUDIO
    "395 key-up 27\n"
    "415 key-down 40\n"  // CONTROLS
    "416 key-up 40\n"
    "418 key-down 13\n"
    "419 key-up 13\n"
    "440 key-down 13\n"  // Change on the first row, steer left
    "441 key-up 13\n"
    "443 key-down 49\n"  // a digit binds nothing
    "444 key-up 49\n"
    "446 key-down 81\n"  // Q
    "447 key-up 81\n"
    "452 key-down 27\n"  // Back to the options list
    "453 key-up 27\n"
    "475 key-down 27\n"  // its Back: the main menu
    "476 key-up 27\n"
    "498 key-down 27\n"  // the main menu's Quit
    "499 key-up 27\n"
    "520 key-down 13\n"  // Yes
    "521 key-up 13\n"
    "630 close\n";

int32_t WordOfFile(const std::vector<uint8_t>& file, int word) {
  int32_t value = 0;
  std::memcpy(&value, file.data() + 4 * word, 4);
  return value;
}

}  // namespace

TEST(ShopOptionsJourney, BuyPackageThreeWithAllTheCashAndBindQ) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  options.inputScript = kJourney;
  options.dumpFrames = {kEngineShopFrame, kOptionsMenuFrame, kGraphicsFrame, kAudioFrame, kControlsFrame};
  options.timeoutSeconds = 240;  // 630 frames, most over the garage showroom with its shadow, reflection and glow
  const GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "11", "12", "11", "10", "1", "3",
                                             "5",   "3", "6",  "3",  "7",  "3",  "1",  "44"};
  EXPECT_EQ(run.ScreensVisited(), expected) << run.errorOutput;
  EXPECT_TRUE(run.Traced("sound menu4.wav")) << "the purchase and the bound key";
  EXPECT_FALSE(run.Traced("sound menu5.wav")) << "nothing refused";

  const std::vector<uint8_t> career = home.ReadSaveFile("career.inf");
  ASSERT_EQ(career.size(), kCareerFileSize);
  CareerRecord record;
  std::memcpy(&record, career.data(), sizeof record);
  EXPECT_EQ(record.cash, 0.0f);
  EXPECT_EQ(record.carSetup.enginePackage, 3);

  const std::vector<uint8_t> settings = home.ReadSaveFile("menu.inf");
  ASSERT_EQ(settings.size(), kSettingsFileSize);
  EXPECT_EQ(WordOfFile(settings, kWordKeyBindings), 0x51) << "steer left is Q";
  EXPECT_EQ(WordOfFile(settings, kWordAntiAliasing), 2) << "an anti-aliasing step is kept for the next start";
  EXPECT_EQ(WordOfFile(settings, kWordResolution), 0) << "the screen mode was not changed";

  std::filesystem::create_directories("frames");
  for (auto [frame, name] : {std::pair{kEngineShopFrame, "engine_shop.png"}, {kOptionsMenuFrame, "options_menu.png"},
                             {kGraphicsFrame, "graphics_options.png"},
                             {kAudioFrame, "audio_options.png"}, {kControlsFrame, "controls_options.png"}}) {
    ASSERT_FALSE(ReadPngFile(run.FramePath(frame)).Empty()) << name;
    std::error_code error;
    std::filesystem::copy_file(run.FramePath(frame), std::string("frames/") + name,
                               std::filesystem::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << name << ": " << error.message();
  }
}
