// The real game driven with the keys through a purchase and the options:
// a new career buys the engine's PACKAGE 3 with all its cash, GRAPHICS
// takes an anti-aliasing step, AUDIO is looked at, CONTROLS binds Q to
// steering left, and the game is left through the quit dialog. The files
// it leaves show the purchase and the settings. Pictures of the engine
// shop, the options list and each options page go to frames/ for a person
// to look at. And the car shop: a truck beyond the cash refused, one it
// covers bought and kept, while the showroom's still picture dissolves into
// each truck rebuilt (a picture of it too).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

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

namespace {

// Taps of keys (virtual key codes), each down in its frame and up in the next.
std::string Taps(std::initializer_list<std::pair<int, int>> taps) {
  std::string script;
  for (auto [frame, key] : taps) {
    script += std::to_string(frame) + " key-down " + std::to_string(key) + "\n" + std::to_string(frame + 1) +
              " key-up " + std::to_string(key) + "\n";
  }
  return script;
}

// Pixels that differ between two frames inside a box of the 800 x 600 frame (y up).
int Differ(const RgbImage& a, const RgbImage& b, int x0, int y0, int x1, int y1) {
  const float sx = float(a.width) / 800.0f, sy = float(a.height) / 600.0f;
  return PixelsThatDiffer(a, b, int(x0 * sx), int((600 - y1) * sy), int(x1 * sx), int((600 - y0) * sy));
}

}  // namespace

TEST(ShopOptionsJourney, CarShopRefusesATruckBeyondTheCashAndSellsOneItCovers) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  // The hub; Sickle ST on show in the last frame before Magnum ST is chosen;
  // Magnum ST rebuilt behind the still picture, half dissolved, on show; and
  // the hub after the purchase. (The showroom's camera sways frame by frame.)
  const int frames[] = {460, 496, 497, 502, 510, 598};
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  // A new career (10000 in cash), CAR SHOP, Magnum ST (10000), Screw ST
  // (12500): Accept while it is rebuilt, then Accept refused; Up to Magnum
  // ST and Accept.
  options.inputScript = "72 key-down 13\n400 key-up 13\n" +
                        Taps({{410, 13}, {440, 13}, {462, 40}, {465, 40}, {470, 13}, {495, 40}, {515, 40},
                              {520, 13}, {540, 13}, {550, 38}, {575, 13}}) +
                        "600 close\n";
  options.dumpFrames.assign(std::begin(frames), std::end(frames));
  options.timeoutSeconds = 240;
  const GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(run.ScreensVisited(), (std::vector<std::string>{"100", "1", "80", "10", "15", "10"}));
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu5.wav"), 1) << "Screw ST refused once";
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu4.wav"), 1) << "Magnum ST bought";
  const std::vector<uint8_t> career = home.ReadSaveFile("career.inf");
  ASSERT_EQ(career.size(), kCareerFileSize);
  CareerRecord record;
  std::memcpy(&record, career.data(), sizeof record);
  EXPECT_EQ(record.carIndex, 1);
  EXPECT_EQ(record.cash, 0.0f) << "the refusal cost nothing";

  RgbImage shot[6];
  for (int k = 0; k < 6; ++k) ASSERT_FALSE((shot[k] = ReadPngFile(run.FramePath(frames[k]))).Empty()) << frames[k];
  EXPECT_GT(Differ(shot[0], shot[5], 430, 95, 580, 125), 300) << "the hub's card names Magnum ST";
  // The old picture stands while the new truck is built, then dissolves into it.
  const int change = Differ(shot[1], shot[4], 250, 200, 550, 450);
  EXPECT_LT(Differ(shot[1], shot[2], 250, 200, 550, 450), change / 8) << change;
  EXPECT_GT(Differ(shot[1], shot[3], 250, 200, 550, 450), change / 5) << change;
  EXPECT_GT(Differ(shot[3], shot[4], 250, 200, 550, 450), change / 5) << change;
  std::filesystem::create_directories("frames");
  std::error_code error;
  std::filesystem::copy_file(run.FramePath(frames[3]), "frames/car_shop.png",
                             std::filesystem::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << error.message();

  // Started again, the game builds the bought truck for the garage.
  GameRunOptions restart;
  restart.home = home.Path();
  restart.inputScript = "300 close\n";
  restart.quitWhenTraced = "model base/cars/1/car.sbm";
  EXPECT_TRUE(RunGame(restart).Traced(restart.quitWhenTraced));
}
