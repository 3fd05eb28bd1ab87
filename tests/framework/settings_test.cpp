// The settings file menu.inf: word layout, ranges, defaults and where it lives.
#include "framework/settings.h"

#include "framework/binary_file.h"
#include "framework/globals.h"
#include "platform/platform.h"

#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

std::vector<uint8_t> Words(const std::vector<int32_t>& words) {
  ByteBuffer out;
  for (int32_t w : words) out.I32(w);
  return out.bytes;
}

int32_t WordAt(const std::vector<uint8_t>& bytes, int index) {
  int32_t value;
  std::memcpy(&value, bytes.data() + 4 * index, 4);
  return value;
}

std::vector<int32_t> DefaultWords() {
  std::vector<int32_t> words(kSettingsWordCount);
  DefaultSettingsWords(words.data());
  return words;
}

std::vector<uint8_t> DefaultFile() { return Words(DefaultWords()); }

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    gSettingsAccepted = 0;
    gScreenWidth = gScreenHeight = 0;
    gSightDistance = 400.0f;
  }
  TempHome home;
};

TEST_F(SettingsFile, RoundTripKeepsEveryWord) {
  auto file = Words({3, 16, 2, 0, 1, 1, 77, 2, 1, 1, 0, 1, 3, 2, 8,
                     65, 68, 87, 83, 32, 5, -6, 7, 8, 9});
  home.WriteSaveFile("menu.inf", file);
  LoadSettings();
  EXPECT_EQ(gResolutionIndex, 3);
  EXPECT_EQ(gScreenWidth, 1280);
  EXPECT_EQ(gScreenHeight, 1024);
  EXPECT_EQ(gColourBits, 16);
  EXPECT_EQ(gSoundOn, 0);
  EXPECT_EQ(gMusicOn, 1);
  EXPECT_EQ(gSettingWord6, 77);
  EXPECT_EQ(gTrafficSetting, 2);
  EXPECT_EQ(gShadowDetail, 3);
  EXPECT_FLOAT_EQ(gSightDistance, 450.0f);
  EXPECT_EQ(gAntiAliasing, 8);
  EXPECT_EQ(gKeyBindings[4], 32);
  EXPECT_EQ(gSettingWords20[1], -6);

  auto written = home.ReadSaveFile("menu.inf");
  ASSERT_EQ(written.size(), kSettingsFileSize);
  file[4 * kWordTextureCompression] = 1;  // compression is always written as on
  EXPECT_EQ(written, file);
}

TEST_F(SettingsFile, ByteFlagsAreWrittenAsZeroOrOne) {
  home.WriteSaveFile("menu.inf", Words({0, 32, 0, 9, -3, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0,
                                        37, 39, 38, 40, 16, 0, 0, 0, 0, 0}));
  LoadSettings();
  auto written = home.ReadSaveFile("menu.inf");
  EXPECT_EQ(WordAt(written, kWordSound), 1);
  EXPECT_EQ(WordAt(written, kWordMusic), 1);
  EXPECT_EQ(WordAt(written, kWordEax), 0);
  EXPECT_EQ(WordAt(written, kWordTextureCompression), 1);
}

TEST_F(SettingsFile, ShortFileReadsMissingWordsAsMinusOneThenDefaults) {
  home.WriteSaveFile("menu.inf", Words({2, 32, 1, 1, 1, 0, 0, 1, 0, 0}));  // 10 of 25 words
  LoadSettings();
  EXPECT_EQ(gResolutionIndex, 2);
  EXPECT_EQ(gTextureFiltering, 0);          // -1 is out of range: default
  EXPECT_EQ(gShadowDetail, 1);
  EXPECT_EQ(gSightRange, 1);
  EXPECT_FLOAT_EQ(gSightDistance, 380.0f);  // the default sight range's, as written back
  EXPECT_EQ(gAntiAliasing, 0);
  EXPECT_EQ(gKeyBindings[0], 37);
  EXPECT_EQ(gKeyBindings[4], 16);
  EXPECT_EQ(gSettingWords20[0], -1);
  EXPECT_EQ(home.ReadSaveFile("menu.inf").size(), kSettingsFileSize);
}

TEST_F(SettingsFile, OutOfRangeWordsFallBackToDefaults) {
  home.WriteSaveFile("menu.inf", Words({10, 32, 1, 1, 1, 0, 0, 3, 1, 1, 1, 1, 4, 0, 3,
                                        0, 256, 38, -5, 90, 0, 0, 0, 0, 0}));
  LoadSettings();
  EXPECT_EQ(gResolutionIndex, 0);
  EXPECT_EQ(gScreenWidth, 1024);
  EXPECT_EQ(gScreenHeight, 768);
  EXPECT_EQ(gTrafficSetting, 1);
  EXPECT_EQ(gShadowDetail, 1);
  EXPECT_EQ(gAntiAliasing, 0);
  EXPECT_EQ(gKeyBindings[0], 37);
  EXPECT_EQ(gKeyBindings[1], 39);
  EXPECT_EQ(gKeyBindings[2], 38);   // in range: kept
  EXPECT_EQ(gKeyBindings[3], 40);
  EXPECT_EQ(gKeyBindings[4], 90);   // in range: kept
  EXPECT_EQ(gMotionBlur, 1);        // neighbours of bad words read as before
  EXPECT_FLOAT_EQ(gSightDistance, 310.0f);
}

TEST_F(SettingsFile, AcceptedResolutionAndAntiAliasingAreWrittenOnlyWhenAccepted) {
  home.WriteSaveFile("menu.inf", DefaultFile());
  LoadSettings();
  EXPECT_EQ(gPendingResolutionIndex, 0) << "the pending mode starts as the one read";
  gPendingResolutionIndex = 9;  // chosen on the GRAPHICS screen
  gAntiAliasingChoice = 4;
  ASSERT_TRUE(SaveSettings());
  auto written = home.ReadSaveFile("menu.inf");
  EXPECT_EQ(WordAt(written, kWordResolution), 0);
  EXPECT_EQ(WordAt(written, kWordAntiAliasing), 0);

  gSettingsAccepted = 1;
  ASSERT_TRUE(SaveSettings());
  written = home.ReadSaveFile("menu.inf");
  EXPECT_EQ(WordAt(written, kWordResolution), 9);
  EXPECT_EQ(WordAt(written, kWordAntiAliasing), 4);
}

TEST_F(SettingsFile, AcceptedModeIsSavedButTheSizeInEffectStaysUntilTheNextStart) {
  home.WriteSaveFile("menu.inf", DefaultFile());
  LoadSettings();
  gPendingResolutionIndex = 4;
  gSettingsAccepted = 1;
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(WordAt(home.ReadSaveFile("menu.inf"), kWordResolution), 4);
  // The window and its window-size render targets keep the size they were made with.
  EXPECT_EQ(gResolutionIndex, 0);
  EXPECT_EQ(gScreenWidth, 1024);
  EXPECT_EQ(gScreenHeight, 768);
  // The next start reads the chosen mode.
  LoadSettings();
  EXPECT_EQ(gResolutionIndex, 4);
  EXPECT_EQ(gScreenWidth, 1600);
}

TEST_F(SettingsFile, FirstStartCopiesTheShippedDefaultsToTheDocumentsFolder) {
  const auto base = ReadFileBytes(kBaseSettingsPath);
  EXPECT_EQ(base, DefaultFile()) << "the generated base/menu.inf";
  const std::vector<int32_t> words = DefaultWords();
  EXPECT_EQ(words[kWordTraffic], 1);
  EXPECT_EQ(words[kWordTextureFiltering], 0);
  EXPECT_EQ(words[kWordEax], 0);
  EXPECT_TRUE(home.ReadSaveFile("menu.inf").empty());
  LoadSettings();
  EXPECT_EQ(home.ReadSaveFile("menu.inf"), base);
}

TEST_F(SettingsFile, NoFileAnywhereStartsFromDefaultsAndWritesThem) {
  {
    ScopedWorkingFolder noBase(home.Path());
    LoadSettings();
  }
  EXPECT_EQ(gResolutionIndex, 0);
  EXPECT_EQ(gSoundOn, 1);
  EXPECT_EQ(home.ReadSaveFile("menu.inf"), DefaultFile());
}

TEST_F(SettingsFile, FailedSaveReportsAndKeepsTheOldFile) {
  home.WriteSaveFile("menu.inf", DefaultFile());
  LoadSettings();
  // A folder where the temporary file would go makes the save fail midway.
  std::filesystem::create_directories(home.SaveFolder() + "/menu.inf.tmp");
  gResolutionIndex = 5;
  EXPECT_FALSE(SaveSettings());
  EXPECT_EQ(home.ReadSaveFile("menu.inf"), DefaultFile());
}

// Hostile menu.inf files through the real reader: what the game keeps is
// what it writes back at once, so the saved words show both.
struct HostileSettings {
  const char* what;
  std::vector<uint8_t> file;
  std::vector<int32_t> saved;
  float sightDistance;
  int32_t screenWidth, screenHeight;
};

TEST_F(SettingsFile, HostileFilesKeepOnlyWordsInRange) {
  const std::vector<int32_t> defaults = DefaultWords();
  const HostileSettings cases[] = {
      {"every checked word out of range",
       Words({12, 7, 3, 1, 1, 1, 77, 3, 2, -1, 0, 5, 4, -2056564365, 3,
              0, 256, 38, -5, 90, -1, 2, 3, 4, 5}),
       {4, 32, 0, 1, 1, 1, 77, 1, 0, 0, 1, 0, 1, 1, 0,
        37, 39, 38, 40, 90, -1, 2, 3, 4, 5},
       380.0f, 1600, 900},  // the screen mode stays as it was
      {"three words, the rest read as -1",
       Words({2, 16, 1}),
       {2, 16, 1, 1, 1, 1, -1, 1, 0, 0, 1, 0, 1, 1, 0,
        37, 39, 38, 40, 16, -1, -1, -1, -1, -1},
       380.0f, 1280, 960},
      {"an empty file is no file", {}, defaults, 380.0f, 1024, 768},
      {"highest values in range",
       Words({9, 24, 2, 0, 0, 0, -7, 2, 1, 1, 1, 1, 3, 2, 8, 1, 255, 65, 90, 32, -1, 0, 1, 2, 3}),
       {9, 24, 2, 0, 0, 0, -7, 2, 1, 1, 1, 1, 3, 2, 8, 1, 255, 65, 90, 32, -1, 0, 1, 2, 3},
       450.0f, 1920, 1200},
      {"lowest values in range",
       Words({0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}),
       {0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
       310.0f, 1024, 768},
  };
  for (const HostileSettings& c : cases) {
    SCOPED_TRACE(c.what);
    gScreenWidth = 1600;  // the size in effect before the read: mode 4
    gScreenHeight = 900;
    gSightDistance = 400.0f;
    home.WriteSaveFile("menu.inf", c.file);
    LoadSettings();
    const auto written = home.ReadSaveFile("menu.inf");
    EXPECT_EQ(written, Words(c.saved));
    EXPECT_FLOAT_EQ(gSightDistance, c.sightDistance);
    EXPECT_EQ(gScreenWidth, c.screenWidth);
    EXPECT_EQ(gScreenHeight, c.screenHeight);
    LoadSettings();  // what was saved reads back unchanged
    EXPECT_EQ(home.ReadSaveFile("menu.inf"), written);
    EXPECT_FLOAT_EQ(gSightDistance, c.sightDistance);
  }
}

TEST_F(SettingsFile, RandomBytesNeverLeaveAWordTheGameUsesOutOfRange) {
  std::mt19937 random(1234);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<uint8_t> file(kSettingsFileSize);
    for (uint8_t& byte : file) byte = uint8_t(random());
    home.WriteSaveFile("menu.inf", file);
    LoadSettings();
    SCOPED_TRACE(trial);
    EXPECT_TRUE(gResolutionIndex >= 0 && gResolutionIndex <= 9);
    EXPECT_TRUE(gColourBits == 16 || gColourBits == 24 || gColourBits == 32);
    EXPECT_TRUE(gReflectionMode >= 0 && gReflectionMode <= 2);
    EXPECT_TRUE(gTrafficSetting >= 0 && gTrafficSetting <= 2);
    EXPECT_TRUE(gMotionBlur == 0 || gMotionBlur == 1);
    EXPECT_TRUE(gSoftParticles == 0 || gSoftParticles == 1);
    EXPECT_TRUE(gTextureFiltering == 0 || gTextureFiltering == 1);
    EXPECT_TRUE(gShadowDetail >= 0 && gShadowDetail <= 3);
    EXPECT_TRUE(gSightRange >= 0 && gSightRange <= 2);
    EXPECT_TRUE(gAntiAliasing == 0 || gAntiAliasing == 2 || gAntiAliasing == 4 || gAntiAliasing == 8);
    for (int32_t key : gKeyBindings) EXPECT_TRUE(key >= 1 && key <= 255) << key;
    EXPECT_EQ(gSettingWord6, WordAt(file, kWordCarried6));  // carried words stay as read
    EXPECT_EQ(gSettingWords20[4], WordAt(file, kSettingsWordCount - 1));
  }
}

// ---- What each frame commits, kept on disk by the shutdown guard ----

// Seams in the save writer: a disk slow on the main thread, one that refuses, one that counts.
std::thread::id gMainThread;
int gWrites = 0;
bool SlowOnTheMainThread(const std::string& path, const void* data, size_t size, int* error) {
  if (std::this_thread::get_id() == gMainThread) std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  return WriteFileAtomically(path, data, size, error);
}
bool ReadOnlyDisk(const std::string&, const void*, size_t, int* error) { return *error = EROFS, false; }
bool Counted(const std::string&, const void*, size_t, int*) { return ++gWrites, true; }
[[noreturn]] void AskToEndAndWait() {  // SIGTERM to the process, so the guard takes it; its end comes
  kill(getpid(), SIGTERM);
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

// The cases that start the guard fork (death tests): it ends the process.
class CommittedSaves : public SettingsFile {
 protected:
  void SetUp() override {
    SettingsFile::SetUp(), LoadSettings(), LoadCareer(), gMainThread = std::this_thread::get_id();
    gSoundOn = !gSoundOn, gCash = 222.0f;  // the session's change
  }
  void TearDown() override { gSaveFileWriter = WriteFileAtomically; }
  void ExpectTheChangeOnDisk() {
    EXPECT_EQ(WordAt(home.ReadSaveFile("menu.inf"), kWordSound), gSoundOn);
    EXPECT_EQ(home.SavedCareer().cash, 222.0f);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.SaveFolder()), {}), 2) << "a file left";
  }
};

TEST_F(CommittedSaves, TheGuardsDeadlineDuringTheMainThreadsSaveWaitsForItAndKeepsItsData) {
  auto saveWhenTheDeadlineComes = [] { kill(getpid(), SIGTERM), SaveSettings(), SaveCareer(); };
  EXPECT_EXIT((Sys_StartShutdownGuard(WriteCommittedSaves), CommitSaves(), gSaveFileWriter = SlowOnTheMainThread,
               saveWhenTheDeadlineComes(), AskToEndAndWait()), ::testing::ExitedWithCode(0), "");
  ExpectTheChangeOnDisk();
}

TEST_F(CommittedSaves, AChangeReachesTheDiskWithinASecondWithNoQuit) {
  EXPECT_EXIT((Sys_StartShutdownGuard(WriteCommittedSaves), CommitSaves(),
               std::this_thread::sleep_for(std::chrono::milliseconds(1300)), std::_Exit(0)),
              ::testing::ExitedWithCode(0), "");
  ExpectTheChangeOnDisk();
}

TEST_F(CommittedSaves, AWriteThatFailsEndsTheGuardsShutdownWithAFailureNamingTheFileAndTheReason) {
  EXPECT_EXIT((Sys_StartShutdownGuard(WriteCommittedSaves), gSaveFileWriter = ReadOnlyDisk, CommitSaves(),
               AskToEndAndWait()), ::testing::ExitedWithCode(kExitSavesFailed), "Cannot save .*menu.inf: Read-only file system");
}

TEST_F(CommittedSaves, AnOlderCopyNeverGoesOverANewerSaveAndNothingChangedIsNotWritten) {
  gCash = 111.0f, CommitSaves(), gCash = 222.0f;  // the last frame, then the main thread's change
  static std::thread guard;  // its writes begin while the main thread's save is under way
  gSaveFileWriter = [](const std::string& path, const void* data, size_t size, int* error) {
    if (!guard.joinable()) guard = std::thread(WriteCommittedSaves, false);
    return std::this_thread::sleep_for(std::chrono::milliseconds(100)), WriteFileAtomically(path, data, size, error);
  };
  EXPECT_TRUE(SaveCareer());
  guard.join();
  ExpectTheChangeOnDisk();
  gSaveFileWriter = Counted;
  EXPECT_TRUE(WriteCommittedSaves(false));
  EXPECT_EQ(gWrites, 0);
}

}  // namespace
