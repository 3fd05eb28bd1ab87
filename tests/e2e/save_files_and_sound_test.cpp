// The real program's save files and sound output: a first start writes the
// settings and the career into the documents folder, the EAX setting is
// switched off where the device lacks it, the menu music is heard, and a
// start without a whole car catalogue or a sound device ends with a message.
#include "framework/settings.h"
#include "tests/support/game_runner.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tests/support/wave_file.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

// With 100 ms frames the splash clock passes the start-up load (which
// starts the menu music) after 71 frames.
constexpr int kFramesToStartupLoad = 71;

class SaveFilesAndSound : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  }
  GameRunResult Run(const std::string& script, std::vector<std::pair<std::string, std::string>> environment = {}) {
    GameRunOptions options;
    options.home = home.Path();
    options.inputScript = script;
    options.environment = std::move(environment);
    return RunGame(options);
  }
  TempHome home;
};

TEST_F(SaveFilesAndSound, FirstStartWritesBothSaveFilesFromBase) {
  GameRunResult run = Run("5 close\n");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  auto menu = home.ReadSaveFile("menu.inf");
  auto career = home.ReadSaveFile("career.inf");
  EXPECT_EQ(menu.size(), 100u);
  EXPECT_EQ(career.size(), 1080u);
  EXPECT_EQ(menu, ReadFileBytes("base/menu.inf"));
  EXPECT_EQ(career, ReadFileBytes("base/career.inf"));
}

TEST_F(SaveFilesAndSound, ASaveFolderTheGameCannotWriteIntoEndsItWithAFailureNamingEachFile) {
  // A folder in the place of each temporary file stops the writes even for root.
  for (const char* name : {"/menu.inf.tmp", "/career.inf.tmp"}) std::filesystem::create_directories(home.SaveFolder() + name);
  GameRunResult run = Run("5 close\n");
  ASSERT_FALSE(run.timedOut);
  EXPECT_NE(run.exitCode, 0);
  for (const char* name : {"/menu.inf: ", "/career.inf: "})
    EXPECT_NE(run.errorOutput.find("Cannot save " + home.SaveFolder() + name), std::string::npos) << run.errorOutput;
}

TEST_F(SaveFilesAndSound, EaxWantedOnADeviceWithoutItIsSavedOff) {
  auto menu = ReadFileBytes("base/menu.inf");
  ASSERT_EQ(menu.size(), 100u);
  menu[4 * kWordEax] = 1;
  home.WriteSaveFile("menu.inf", menu);
  GameRunResult run = Run("5 close\n");
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(home.ReadSaveFile("menu.inf"), ReadFileBytes("base/menu.inf"));
}

TEST_F(SaveFilesAndSound, ShortCarCatalogueEndsTheStartWithAMessage) {
  // A working folder whose base/ is the built one but for a cut-off cars.ini.
  ScratchFolder game;
  const std::string base = game.File("base");
  std::filesystem::create_directories(base);
  for (const auto& entry : std::filesystem::directory_iterator("base")) {
    if (entry.path().filename() == "cars.ini") continue;
    std::filesystem::create_symlink(std::filesystem::absolute(entry.path()), base + "/" + entry.path().filename().string());
  }
  auto cars = ReadFileBytes("base/cars.ini");
  ASSERT_EQ(cars.size(), 2304u);
  cars.resize(2300);
  ASSERT_TRUE(WriteFileBytes(base + "/cars.ini", cars));

  GameRunOptions options;
  options.home = home.Path();
  options.workingFolder = game.Path();
  options.inputScript = "5 close\n";
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 255);  // -1
  ASSERT_EQ(run.MessageBoxes().size(), 1u) << run.errorOutput;
  EXPECT_EQ(run.MessageBoxes()[0], "ERROR: The car catalogue base/cars.ini is missing or damaged.");
  EXPECT_FALSE(run.Traced("screen 100"));
}

TEST_F(SaveFilesAndSound, NoSoundDeviceEndsTheStartWithAMessage) {
  GameRunResult run = Run("5 close\n", {{"ALSOFT_DRIVERS", "no-such-output"}});
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 255);  // -1
  ASSERT_EQ(run.MessageBoxes().size(), 1u) << run.errorOutput;
  EXPECT_EQ(run.MessageBoxes()[0], "ERROR: No sound device could be opened.");
}

TEST_F(SaveFilesAndSound, MenuMusicReachesTheSoundOutput) {
  // OpenAL Soft's wave-file output records what the game plays.
  const std::string output = home.Path() + "/output.wav";
  const std::string config = home.Path() + "/alsoft.conf";
  std::ofstream(config) << "[general]\ndrivers=wave\n[wave]\nfile=" << output << "\n";
  GameRunResult run = Run(std::to_string(kFramesToStartupLoad + 400) + " close\n",
                          {{"ALSOFT_CONF", config}, {"ALSOFT_DRIVERS", ""}});
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  ASSERT_TRUE(run.Traced("sound menu.wav")) << "the start-up load plays the menu music";

  const WaveFile recorded = ReadWaveFile(output);
  ASSERT_GT(recorded.Seconds(), 0.25) << "at least a quarter of a second of output";
  // Loudness of the loudest tenth of a second: the music, not silence.
  const size_t window = size_t(recorded.rate) / 10 * size_t(recorded.channels);
  double loudest = 0;
  for (size_t from = 0; from + window <= recorded.samples.size(); from += window)
    loudest = std::max(loudest, recorded.Rms(from, from + window));
  EXPECT_GT(loudest, 0.05) << recorded.samples.size() << " samples";
}

}  // namespace
