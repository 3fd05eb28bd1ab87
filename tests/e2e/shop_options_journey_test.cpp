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
constexpr int kEngineShopFrame = 530;
constexpr int kOptionsMenuFrame = 626;
constexpr int kGraphicsFrame = 665;
constexpr int kAudioFrame = 712;
constexpr int kControlsFrame = 770;

constexpr char kJourney[] =
    "72 key-down 13\n"  // held through the load: the splash acts once it is done
    "400 key-up 13\n"
    "410 key-down 13\n"  // CAREER: the new career asks for the name
    "411 key-up 13\n"
    "440 key-down 13\n"  // Next: the garage
    "441 key-up 13\n"
    "462 key-down 40\n"  // Down to TUNING
    "463 key-up 40\n"
    "470 key-down 13\n"
    "471 key-up 13\n"
    "492 key-down 13\n"  // ENGINE
    "493 key-up 13\n"
    "515 key-down 40\n"  // Down x 3: PACKAGE 3
    "516 key-up 40\n"
    "518 key-down 40\n"
    "519 key-up 40\n"
    "521 key-down 40\n"
    "522 key-up 40\n"
    "532 key-down 13\n"  // Buy: 10000 of 10000
    "533 key-up 13\n"
    "555 key-down 27\n"  // TUNING's Back: the garage
    "556 key-up 27\n"
    "578 key-down 27\n"  // the garage's Back: the main menu
    "579 key-up 27\n"
    "600 key-down 40\n"  // Down x 2: OPTIONS
    "601 key-up 40\n"
    "603 key-down 40\n"
    "604 key-up 40\n"
    "606 key-down 13\n"
    "607 key-up 13\n"
    "630 key-down 13\n"  // GRAPHICS
    "631 key-up 13\n"
    "652 key-down 40\n"  // the anti-aliasing row, one step right: 2xAA
    "653 key-up 40\n"
    "656 key-down 39\n"
    "657 key-up 39\n"
    "667 key-down 27\n"  // Back to the options list, on GRAPHICS
    "668 key-up 27\n"
    "688 key-down 40\n"  // AUDIO
    "689 key-up 40\n"
    "691 key-down 13\n"
    "692 key-up 13\n"
    "714 key-down 27\n"  // Back, on AUDIO
    "715 key-up 27\n"
    "735 key-down 40\n"  // CONTROLS
    "736 key-up 40\n"
    "738 key-down 13\n"
    "739 key-up 13\n"
    "760 key-down 13\n"  // Change on the first row, steer left
    "761 key-up 13\n"
    "763 key-down 49\n"  // a digit binds nothing
    "764 key-up 49\n"
    "766 key-down 81\n"  // Q
    "767 key-up 81\n"
    "772 key-down 27\n"  // Back to the options list
    "773 key-up 27\n"
    "795 key-down 27\n"  // its Back: the main menu
    "796 key-up 27\n"
    "818 key-down 27\n"  // the main menu's Quit
    "819 key-up 27\n"
    "840 key-down 13\n"  // Yes
    "841 key-up 13\n"
    "950 close\n";

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
  options.timeoutSeconds = 240;  // 950 frames, most over the garage showroom with its shadow, reflection and glow
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

// The car shop from the garage hub: browsing rebuilds the truck on show
// behind the last picture before the change, which then dissolves; a truck
// dearer than the cash is refused, one the cash covers is bought and kept.
constexpr int kHubBeforeFrame = 460;
constexpr int kBeforeChangeFrame = 494;  // Sickle ST on show, the list still
constexpr int kStillFrame = 498;         // Magnum ST is being rebuilt
constexpr int kHalfDissolvedFrame = 502;
constexpr int kAfterChangeFrame = 510;
constexpr int kHubAfterFrame = 598;

constexpr char kCarShopJourney[] =
    "72 key-down 13\n"
    "400 key-up 13\n"
    "410 key-down 13\n"  // CAREER: the new career, 10000 in cash, Sickle ST
    "411 key-up 13\n"
    "440 key-down 13\n"  // Next: the garage
    "441 key-up 13\n"
    "462 key-down 40\n"  // Down x 2: CAR SHOP
    "463 key-up 40\n"
    "465 key-down 40\n"
    "466 key-up 40\n"
    "470 key-down 13\n"
    "471 key-up 13\n"
    "495 key-down 40\n"  // Magnum ST (10000), rebuilt on show
    "496 key-up 40\n"
    "515 key-down 40\n"  // Screw ST (12500)
    "516 key-up 40\n"
    "520 key-down 13\n"  // Accept while it is rebuilt: not taken
    "521 key-up 13\n"
    "540 key-down 13\n"  // Accept: refused
    "541 key-up 13\n"
    "550 key-down 38\n"  // Up: Magnum ST again
    "551 key-up 38\n"
    "575 key-down 13\n"  // Accept: 10000 of 10000, back to the garage
    "576 key-up 13\n"
    "600 close\n";

// Pixels that differ between two frames inside a box of the 800 x 600 frame (y up).
int Differ(const RgbImage& a, const RgbImage& b, int x0, int y0, int x1, int y1) {
  const float sx = float(a.width) / 800.0f, sy = float(a.height) / 600.0f;
  return PixelsThatDiffer(a, b, int(x0 * sx), int((600 - y1) * sy), int(x1 * sx), int((600 - y0) * sy));
}

TEST(ShopOptionsJourney, CarShopRefusesATruckBeyondTheCashAndSellsOneItCovers) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  options.inputScript = kCarShopJourney;
  options.dumpFrames = {kHubBeforeFrame,     kBeforeChangeFrame, kStillFrame,
                        kHalfDissolvedFrame, kAfterChangeFrame,  kHubAfterFrame};
  options.timeoutSeconds = 240;
  const GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "15", "10"};
  EXPECT_EQ(run.ScreensVisited(), expected) << run.errorOutput;
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu5.wav"), 1) << "Screw ST refused once";
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu4.wav"), 1) << "Magnum ST bought";
  CareerRecord record;
  const std::vector<uint8_t> career = home.ReadSaveFile("career.inf");
  ASSERT_EQ(career.size(), kCareerFileSize);
  std::memcpy(&record, career.data(), sizeof record);
  EXPECT_EQ(record.carIndex, 1);
  EXPECT_EQ(record.cash, 0.0f) << "the refusal cost nothing";

  RgbImage frames[6];
  const int numbers[6] = {kHubBeforeFrame,     kBeforeChangeFrame, kStillFrame,
                          kHalfDissolvedFrame, kAfterChangeFrame,  kHubAfterFrame};
  for (int k = 0; k < 6; ++k) ASSERT_FALSE((frames[k] = ReadPngFile(run.FramePath(numbers[k]))).Empty()) << numbers[k];
  const RgbImage &hubBefore = frames[0], &before = frames[1], &still = frames[2], &half = frames[3],
                 &after = frames[4], &hubAfter = frames[5];
  // The garage's profile card names the new truck.
  EXPECT_GT(Differ(hubBefore, hubAfter, 430, 95, 580, 125), 300) << "Sickle ST became Magnum ST";
  // The truck on show: the old picture stands while the new truck is built,
  // then dissolves into it.
  const int change = Differ(before, after, 250, 200, 550, 450);
  EXPECT_LT(Differ(before, still, 250, 200, 550, 450), change / 8) << change;
  EXPECT_GT(Differ(before, half, 250, 200, 550, 450), change / 5) << change;
  EXPECT_GT(Differ(half, after, 250, 200, 550, 450), change / 5) << change;

  std::filesystem::create_directories("frames");
  std::error_code error;
  std::filesystem::copy_file(run.FramePath(kHalfDissolvedFrame), "frames/car_shop.png",
                             std::filesystem::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << error.message();

  // Started again, the game builds the bought truck for the garage.
  GameRunOptions restart;
  restart.home = home.Path();
  restart.inputScript = "300 close\n";
  restart.quitWhenTraced = "model base/cars/1/car.sbm";
  const GameRunResult again = RunGame(restart);
  EXPECT_TRUE(again.Traced("model base/cars/1/car.sbm")) << again.errorOutput;
  EXPECT_FALSE(again.Traced("model base/cars/0/car.sbm"));
}
