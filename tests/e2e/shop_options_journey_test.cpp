// The real game driven with the keys through a purchase and the options:
// a new career buys the engine's PACKAGE 3 with all its cash, GRAPHICS
// takes an anti-aliasing step, AUDIO is looked at, CONTROLS binds Q to
// steering left, and the game is left through the quit dialog. The files
// it leaves show the purchase and the settings. Pictures of the engine
// shop, the options list and each options page go to frames/ for a person
// to look at. And the car shop, its sales and its dissolve into a rebuilt truck.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
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

const std::string kJourney =
    "72 key-down 13\n80 key-up 13\n" +  // the splash acts once the load is done
    KeyTaps({{90, 13},                   // CAREER: the new career asks for the name
             {120, 13},                  // Next: the garage
             {142, 40}, {150, 13},       // TUNING
             {172, 13},                  // ENGINE
             {195, 40}, {198, 40}, {201, 40}, {212, 13},  // PACKAGE 3, Buy: 10000 of 10000
             {235, 27}, {258, 27},       // TUNING's Back: the garage; its Back: the main menu
             {280, 40}, {283, 40}, {286, 13},  // OPTIONS
             {310, 13},                  // GRAPHICS
             {332, 40}, {336, 39},       // the anti-aliasing row, one step right: 2xAA
             {347, 27},                  // Back to the options list, on GRAPHICS
             {368, 40}, {371, 13}, {394, 27},  // AUDIO and Back
             {415, 40}, {418, 13},       // CONTROLS
             {440, 13}, {443, 49}, {446, 81},  // Change steering left: a digit binds nothing, Q does
             {452, 27}, {475, 27},       // Back to the options list; its Back: the main menu
             {498, 27}, {520, 13}}) +    // the main menu's Quit; Yes
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

  const CareerRecord record = home.SavedCareer();
  EXPECT_EQ(record.cash, 0.0f);
  EXPECT_EQ(record.carSetup.enginePackage, 3);

  const std::vector<uint8_t> settings = home.ReadSaveFile("menu.inf");
  ASSERT_EQ(settings.size(), kSettingsFileSize);
  EXPECT_EQ(WordOfFile(settings, kWordKeyBindings), 0x51) << "steer left is Q";
  EXPECT_EQ(WordOfFile(settings, kWordAntiAliasing), 2) << "an anti-aliasing step is kept for the next start";
  EXPECT_EQ(WordOfFile(settings, kWordResolution), 0) << "the screen mode was not changed";

  for (auto [frame, name] : {std::pair{kEngineShopFrame, "engine_shop.png"}, {kOptionsMenuFrame, "options_menu.png"},
                             {kGraphicsFrame, "graphics_options.png"},
                             {kAudioFrame, "audio_options.png"}, {kControlsFrame, "controls_options.png"}}) {
    ASSERT_FALSE(ReadPngFile(run.FramePath(frame)).Empty()) << name;
    run.KeepFrame(frame, name);
  }
}

// The still picture stands while the chosen truck is rebuilt, then dissolves
// into it (the showroom's camera sways, so the still is the last frame
// before the choice). A truck beyond the cash is refused once, costing
// nothing; the one bought is on the hub's card and built at the next start.
TEST(ShopOptionsJourney, CarShopRefusesATruckBeyondTheCashAndSellsOneItCovers) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  enum { kHub, kStill, kRebuilt, kHalfWay, kShown, kHubAfter };
  const int frames[] = {140, 176, 177, 182, 190, 278};
  TempHome home;
  // A new career with 10000, CAR SHOP, Magnum ST (10000), Screw ST (12500):
  // Accept while it is rebuilt, then Accept refused; Up to Magnum ST, Accept.
  const GameRunResult run = RunGame({.inputScript = "72 key-down 13\n80 key-up 13\n" +
                                                    KeyTaps({{90, 13}, {120, 13}, {142, 40}, {145, 40}, {150, 13},
                                                             {175, 40}, {195, 40}, {200, 13}, {220, 13}, {230, 38},
                                                             {255, 13}}) +
                                                    "280 close\n",
                                     .dumpFrames = {std::begin(frames), std::end(frames)},
                                     .home = home.Path(),
                                     .timeoutSeconds = 240});
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(run.ScreensVisited(), (std::vector<std::string>{"100", "1", "80", "10", "15", "10"}));
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu5.wav"), 1) << "Screw ST refused once";
  EXPECT_EQ(std::count(run.trace.begin(), run.trace.end(), "sound menu4.wav"), 1) << "Magnum ST bought";
  const CareerRecord record = home.SavedCareer();
  EXPECT_EQ(record.carIndex, 1);
  EXPECT_EQ(record.cash, 0.0f) << "none lost to the refusal";

  RgbImage shot[6];
  for (int k = 0; k < 6; ++k) ASSERT_FALSE((shot[k] = ReadPngFile(run.FramePath(frames[k]))).Empty()) << frames[k];
  // Boxes in pixels of the 1024 x 768 frame, top-down: the hub's card, the truck.
  EXPECT_GT(PixelsThatDiffer(shot[kHub], shot[kHubAfter], 550, 608, 742, 646), 300) << "the card names Magnum ST";
  const auto truck = [&](int a, int b) { return PixelsThatDiffer(shot[a], shot[b], 320, 192, 704, 512); };
  EXPECT_LT(truck(kStill, kRebuilt), truck(kStill, kShown) / 8);
  EXPECT_GT(truck(kStill, kHalfWay), truck(kStill, kShown) / 5);
  EXPECT_GT(truck(kHalfWay, kShown), truck(kStill, kShown) / 5);
  run.KeepFrame(frames[kHalfWay], "car_shop.png");
  EXPECT_TRUE(RunGame({.home = home.Path(), .quitWhenTraced = "model base/cars/1/car.sbm"})
                  .Traced("model base/cars/1/car.sbm"));
}
