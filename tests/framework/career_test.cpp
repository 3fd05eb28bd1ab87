// The career file career.inf: its 1080-byte image, ranges and where it lives.
#include "framework/settings.h"

#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

std::vector<uint8_t> Image(const CareerRecord& career) {
  const auto* p = reinterpret_cast<const uint8_t*>(&career);
  return std::vector<uint8_t>(p, p + sizeof career);
}

CareerRecord SampleCareer() {
  CareerRecord c = BuiltInCareer();
  std::memcpy(c.playerName, "Ivan", 5);
  c.playerNameLength = 4;
  c.cash = 25000.0f;
  c.ratingLevel = 7;
  c.carIndex = 12;
  c.carLimit = 9;
  c.competitionIndex = 5;
  c.competitionRace = 3;
  c.bestPlace[17] = 2;
  c.bestHundredths[29] = 99;
  c.trackListStage[2] = 4;
  c.quickRaceTrack = 30;
  c.quickRaceCar = 17;
  c.gameMode = kGameModeQuickRace;
  c.carSetup.enginePackage = 3;
  c.carSetup.partChoice[7] = 1234;   // carried unchecked
  c.carSetup.catalogueIndex = -40;   // not used in the career's copy
  c.unused996[2] = 0xAB;
  return c;
}

class CareerFile : public ::testing::Test {
 protected:
  void SetUp() override { gCareer = CareerRecord{}; }
  TempHome home;
};

TEST_F(CareerFile, RoundTripKeepsEveryByte) {
  CareerRecord sample = SampleCareer();
  home.WriteSaveFile("career.inf", Image(sample));
  LoadCareer();
  EXPECT_EQ(Image(gCareer), Image(sample));
  EXPECT_STREQ(gPlayerName, "Ivan");
  EXPECT_EQ(gCareerCarIndex, 12);
  EXPECT_FLOAT_EQ(gCash, 25000.0f);
  EXPECT_EQ(home.ReadSaveFile("career.inf"), Image(sample));
  gCash = 1.5f;
  ASSERT_TRUE(SaveCareer());
  auto written = home.ReadSaveFile("career.inf");
  ASSERT_EQ(written.size(), kCareerFileSize);
  float cash;
  std::memcpy(&cash, written.data() + 176, 4);
  EXPECT_FLOAT_EQ(cash, 1.5f);
}

TEST_F(CareerFile, OutOfRangeValuesAreBroughtIntoRange) {
  CareerRecord c = SampleCareer();
  std::memset(c.playerName, 'x', sizeof c.playerName);  // no terminator
  c.playerNameLength = 40;
  c.carIndex = 18;
  c.carLimit = -1;
  c.competitionIndex = 9;
  c.competitionRace = 4;
  c.trackListIndex = 3;
  c.trackListStage[0] = 0;
  c.trackListStage[3] = 9;
  c.quickRaceTrack = 31;
  c.quickRaceCar = -2;
  c.gameMode = 4;
  c.carSetup.turboPackage = 17;
  c.carSetup.partChoice[8] = 36;
  home.WriteSaveFile("career.inf", Image(c));
  LoadCareer();
  EXPECT_EQ(std::strlen(gPlayerName), 8u);
  EXPECT_EQ(gPlayerNameLength, 7);
  EXPECT_EQ(gCareerCarIndex, 17);
  EXPECT_EQ(gCareerCarLimit, 0);
  EXPECT_EQ(gCompetitionIndex, 7);
  EXPECT_EQ(gCompetitionRace, 2);   // competition 7 has races 1 and 2 in the 30 slots
  EXPECT_EQ(gTrackListIndex, 2);
  EXPECT_EQ(gTrackListStage[0], 1);
  EXPECT_EQ(gTrackListStage[3], 4);
  EXPECT_EQ(gQuickRaceTrack, 30);
  EXPECT_EQ(gQuickRaceCar, 0);
  EXPECT_EQ(gGameMode, 3);
  EXPECT_EQ(gCareerCarSetup.turboPackage, 3);
  EXPECT_EQ(gCareerCarSetup.partChoice[8], 35);
  EXPECT_EQ(gCareerCarSetup.partChoice[7], 1234);
}

TEST_F(CareerFile, NameLengthIsClampedToTheNamesActualLength) {
  CareerRecord c = SampleCareer();  // "Ivan"
  c.playerNameLength = 6;
  home.WriteSaveFile("career.inf", Image(c));
  LoadCareer();
  EXPECT_EQ(gPlayerNameLength, 4);
}

TEST_F(CareerFile, ShortFileLeavesTheRestAsItWas) {
  CareerRecord sample = SampleCareer();
  auto bytes = Image(sample);
  bytes.resize(184);  // up to and including the cash
  home.WriteSaveFile("career.inf", bytes);
  gCareer = BuiltInCareer();
  gCareer.ratingLevel = 3;  // offset 184, beyond the file
  LoadCareer();
  EXPECT_STREQ(gPlayerName, "Ivan");
  EXPECT_FLOAT_EQ(gCash, 25000.0f);
  EXPECT_EQ(gRatingLevel, 3);
  EXPECT_EQ(home.ReadSaveFile("career.inf").size(), kCareerFileSize);
}

TEST_F(CareerFile, LongerFileIsReadAsFarAsTheRecordGoes) {
  CareerRecord sample = SampleCareer();
  auto bytes = Image(sample);
  bytes.resize(bytes.size() + 100000, 0xEE);
  home.WriteSaveFile("career.inf", bytes);
  LoadCareer();
  EXPECT_EQ(Image(gCareer), Image(sample));
  EXPECT_EQ(home.ReadSaveFile("career.inf"), Image(sample));
}

TEST_F(CareerFile, UnreadableDocumentsCopyIsKeptAsideNotOverwritten) {
  // A folder in the file's place cannot be read (file permissions would
  // not stop a test run as root).
  std::filesystem::create_directories(home.SaveFolder() + "/career.inf");
  ASSERT_TRUE(std::filesystem::is_directory(home.SaveFolder() + "/career.inf"));
  LoadCareer();
  EXPECT_TRUE(std::filesystem::is_directory(home.SaveFolder() + "/career.inf.unreadable"));
  EXPECT_EQ(home.ReadSaveFile("career.inf"), ReadFileBytes(kBaseCareerPath));
}

TEST_F(CareerFile, FirstStartCopiesTheBaseFileToTheDocumentsFolder) {
  auto base = ReadFileBytes(kBaseCareerPath);
  ASSERT_EQ(base.size(), kCareerFileSize) << "the generated base/career.inf";
  LoadCareer();
  EXPECT_EQ(home.ReadSaveFile("career.inf"), base);
}

TEST_F(CareerFile, NoFileAnywhereStartsANewCareerAndWritesIt) {
  {
    ScopedWorkingFolder noBase(home.Path());
    LoadCareer();
  }
  EXPECT_EQ(Image(gCareer), Image(BuiltInCareer()));
  EXPECT_EQ(gNewCareer, 1);
  EXPECT_EQ(home.ReadSaveFile("career.inf"), Image(BuiltInCareer()));
}

TEST_F(CareerFile, InterruptedSaveLeavesTheOldFileWhole) {
  CareerRecord sample = SampleCareer();
  home.WriteSaveFile("career.inf", Image(sample));
  LoadCareer();
  std::filesystem::create_directories(home.SaveFolder() + "/career.inf.tmp");
  gCash = 0.0f;
  EXPECT_FALSE(SaveCareer());
  EXPECT_EQ(home.ReadSaveFile("career.inf"), Image(sample));
}

}  // namespace
