// The real game driven like a player: the splash, Enter, the main menu,
// CAREER into the name entry, a typed name, the next screen, back to the
// main menu and out through the quit dialog with the mouse. Pictures of
// the splash, the main menu, the name entry and the quit dialog go to
// frames/ for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "framework/settings.h"
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"

namespace {

// Frames of 100 ms. The start-up load's frames are not counted: Enter,
// pressed in the frame after, is taken by the splash at once.
constexpr int kSplashFrame = 60;      // splash clock 9 s: the title page
constexpr int kMainMenuFrame = 89;   // the main menu faded in
constexpr int kNameEntryFrame = 120;  // the typed name shown
constexpr int kQuitDialogFrame = 220;

constexpr char kJourney[] =
    "72 key-down 13\n"   // the splash acts once the load is done
    "80 key-up 13\n"
    "90 key-down 13\n"  // CAREER: a new career asks for the name first
    "91 key-up 13\n"
    "108 char 75\n"      // K
    "109 char 97\n"      // a
    "110 char 116\n"     // t
    "111 char 49\n"      // a digit: ignored
    "112 char 121\n"     // y
    "113 char 97\n"      // a
    "122 key-down 13\n"  // Next
    "123 key-up 13\n"
    "142 key-down 27\n"  // the garage's Back
    "143 key-up 27\n"
    "162 key-down 13\n"  // CAREER again: now the career menu
    "163 key-up 13\n"
    "180 key-down 27\n"  // its Back
    "181 key-up 27\n"
    "200 mouse-move 166 688\n"  // over Quit at (70, 45)
    "202 mouse-down left\n"
    "203 mouse-up left\n"
    "224 mouse-move 422 438\n"  // over the dialog's Yes at (263, 240)
    "226 mouse-down left\n"
    "227 mouse-up left\n"
    "380 close\n";

std::vector<std::string> ScreensVisited(const GameRunResult& run) {
  std::vector<std::string> screens;
  for (const std::string& line : run.trace) {
    if (line.rfind("screen ", 0) == 0) screens.push_back(line.substr(7));
  }
  return screens;
}

void KeepPicture(const GameRunResult& run, int frame, const char* name) {
  std::filesystem::create_directories("frames");
  std::error_code error;
  std::filesystem::copy_file(run.FramePath(frame), std::string("frames/") + name,
                             std::filesystem::copy_options::overwrite_existing, error);
  EXPECT_FALSE(error) << name << ": " << error.message();
}

}  // namespace

TEST(MenuJourney, SplashToANamedCareerAndOutThroughTheQuitDialog) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  options.inputScript = kJourney;
  options.timeoutSeconds = 240;  // 380 frames, most over the garage showroom with its shadow, reflection and glow
  options.dumpFrames = {kSplashFrame, kMainMenuFrame, kNameEntryFrame, kQuitDialogFrame};
  const GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "1", "8", "1", "44"};
  EXPECT_EQ(ScreensVisited(run), expected) << run.errorOutput;

  // Each switch to a menu screen sounds once when the new screen stands.
  const auto settled = std::count(run.trace.begin(), run.trace.end(), "sound menu7.wav");
  EXPECT_EQ(settled, static_cast<long>(expected.size()) - 1);
  EXPECT_TRUE(run.Traced("sound menu3.wav")) << "the splash's Enter";
  EXPECT_TRUE(run.Traced("sound menu2.wav")) << "the typed letters";

  // The typed name, without the ignored digit, is in the career file, and
  // the second CAREER went to the career menu: the flag was cleared.
  const std::vector<uint8_t> career = home.ReadSaveFile("career.inf");
  ASSERT_EQ(career.size(), kCareerFileSize);
  CareerRecord record;
  std::memcpy(&record, career.data(), sizeof record);
  EXPECT_STREQ(record.playerName, "Katya");
  EXPECT_EQ(record.playerNameLength, 5);
  EXPECT_EQ(record.newCareer, 0);
  EXPECT_FALSE(home.ReadSaveFile("menu.inf").empty());

  for (auto [frame, name] : {std::pair{kSplashFrame, "splash.png"}, {kMainMenuFrame, "main_menu.png"},
                             {kNameEntryFrame, "name_entry.png"}, {kQuitDialogFrame, "quit_dialog.png"}}) {
    RgbImage picture = ReadPngFile(run.FramePath(frame));
    ASSERT_FALSE(picture.Empty()) << name;
    KeepPicture(run, frame, name);
  }
}
