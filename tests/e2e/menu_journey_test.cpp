// The real game driven like a player at a few frames a second: the splash,
// Enter, the main menu, CAREER into the name entry, a name typed several
// keys a frame, the next screen, back to the main menu, NEW CAREER refused
// at its confirmation, and out through the quit dialog with the mouse.
// Pictures of the splash, the main menu, the name entry, the new-career
// confirmation and the quit dialog go to frames/ for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "framework/settings.h"
#include "tests/support/game_runner.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_home.h"

namespace {

// Frames of 300 ms. The start-up load's frames are not counted: Enter,
// pressed in the frame after, is taken by the splash at once.
constexpr int kSplashFrame = 60;      // the title page
constexpr int kMainMenuFrame = 89;   // the main menu faded in
constexpr int kNameEntryFrame = 109;  // the typed name shown
constexpr int kConfirmFrame = 205;   // the new-career confirmation
constexpr int kQuitDialogFrame = 280;

// Each key pressed, typed and released within the frame; \b is Backspace, \r Enter.
std::string TypedInFrame(int frame, const std::string& text) {
  std::string script, at = std::to_string(frame) + " ";
  for (char c : text) {
    const std::string key = std::to_string(c == '\b' ? 8 : c == '\r' ? 13 : std::toupper(c));
    script += at + "key-down " + key + "\n" + at + "char " + std::to_string(int(c)) + "\n";
    script += at + "key-up " + key + "\n";
  }
  return script;
}

const std::string kJourney =
    "72 key-down 13\n80 key-up 13\n" +  // the splash acts once the load is done
    KeyTaps({{90, 13}}) +                 // CAREER: a new career asks for the name
    // Several keys a frame: "Newbie Joe" fills the seven letters (digit and space
    // ignored), three Backspaces leave "Newb", then "y Jo" and Enter name the career.
    TypedInFrame(108, "Newb1") + TypedInFrame(109, "ie Joe") + TypedInFrame(110, "\b\b\b") +
    TypedInFrame(111, "y Jo\r") +
    KeyTaps({{142, 27},                  // the garage's Back
             {162, 13},                  // CAREER again: now the career menu
             {180, 40}, {183, 13},       // Down to NEW CAREER
             {210, 27},                  // No: back to the career menu
             {240, 27}}) +               // its Back
    "260 mouse-move 166 688\n262 mouse-down left\n263 mouse-up left\n"  // over Quit at (70, 45)
    "284 mouse-move 422 438\n286 mouse-down left\n287 mouse-up left\n"  // over the dialog's Yes at (263, 240)
    "440 close\n";

}  // namespace

TEST(MenuJourney, SplashToANamedCareerAndOutThroughTheQuitDialog) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  TempHome home;
  GameRunOptions options;
  options.home = home.Path();
  options.inputScript = kJourney;
  options.frameMilliseconds = 300;
  options.timeoutSeconds = 240;  // 440 frames, most over the garage showroom with its shadow, reflection and glow
  options.dumpFrames = {kSplashFrame, kMainMenuFrame, kNameEntryFrame, kConfirmFrame, kQuitDialogFrame};
  const GameRunResult run = RunGame(options);

  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.errorOutput;
  const std::vector<std::string> expected = {"100", "1", "80", "10", "1", "8", "9", "8", "1", "44"};
  EXPECT_EQ(run.ScreensVisited(), expected) << run.errorOutput;

  // Each switch to a menu screen sounds once when the new screen stands.
  const auto settled = std::count(run.trace.begin(), run.trace.end(), "sound menu7.wav");
  EXPECT_EQ(settled, static_cast<long>(expected.size()) - 1);
  EXPECT_TRUE(run.Traced("sound menu3.wav")) << "the splash's Enter";
  EXPECT_TRUE(run.Traced("sound menu2.wav")) << "the typed letters";

  // The typed name, every key in its order, is in the career file, and
  // the second CAREER went to the career menu: the flag was cleared.
  const CareerRecord record = home.SavedCareer();
  EXPECT_STREQ(record.playerName, "NewbyJo");
  EXPECT_EQ(record.playerNameLength, 7);
  EXPECT_EQ(record.newCareer, 0);
  EXPECT_FALSE(home.ReadSaveFile("menu.inf").empty());

  for (auto [frame, name] : {std::pair{kSplashFrame, "splash.png"}, {kMainMenuFrame, "main_menu.png"},
                             {kNameEntryFrame, "name_entry.png"}, {kConfirmFrame, "new_career_confirm.png"},
                             {kQuitDialogFrame, "quit_dialog.png"}}) {
    RgbImage picture = ReadPngFile(run.FramePath(frame));
    ASSERT_FALSE(picture.Empty()) << name;
    run.KeepFrame(frame, name);
  }
}
