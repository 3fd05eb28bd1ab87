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
  const int frames[] = {140, 176, 177, 182, 190, 278};
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  // A new career (10000 in cash), CAR SHOP, Magnum ST (10000), Screw ST
  // (12500): Accept while it is rebuilt, then Accept refused; Up to Magnum
  // ST and Accept.
  options.inputScript = "72 key-down 13\n80 key-up 13\n" +
                        Taps({{90, 13}, {120, 13}, {142, 40}, {145, 40}, {150, 13}, {175, 40}, {195, 40},
                              {200, 13}, {220, 13}, {230, 38}, {255, 13}}) +
                        "280 close\n";
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
