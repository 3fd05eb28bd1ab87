// The career file career.inf: its 1080-byte image, ranges and where it lives.
#include "framework/settings.h"

#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

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

// Hostile career.inf files through the real reader. What the game keeps is
// what it saves at once, and a second read of that file changes nothing.
struct HostileCareer {
  const char* what;
  std::vector<uint8_t> file;
  std::function<void(const CareerRecord&)> expect;
};

std::vector<uint8_t> WithFields(void (*edit)(CareerRecord&)) {
  CareerRecord c = SampleCareer();
  edit(c);
  return Image(c);
}

TEST_F(CareerFile, HostileFilesAreBroughtIntoRange) {
  const HostileCareer cases[] = {
      {"1080 bytes of 0xFF", std::vector<uint8_t>(kCareerFileSize, 0xFF),
       [](const CareerRecord& c) {
         EXPECT_EQ(c.cash, 0.0f);  // NaN
         EXPECT_EQ(c.careerPoints, 0.0f);
         for (float total : c.bonusTotals) EXPECT_EQ(total, 0.0f);
         EXPECT_EQ(c.ratingLevel, 1);
         EXPECT_EQ(c.competitionsOpen, 0);
         for (int r = 0; r < kRaceSlotCount; ++r) {
           EXPECT_EQ(c.bestPlace[r], kNotPlaced);
           EXPECT_EQ(c.raceWins[r], 0);
           EXPECT_EQ(c.raceStarts[r], 0);
           EXPECT_EQ(c.bestMinutes[r] + c.bestSeconds[r] + c.bestHundredths[r], 0);
         }
         for (int32_t place : c.trackListBestPlace) EXPECT_EQ(place, kNoSeriesPlace);
         EXPECT_EQ(c.newCareer, 1);
         EXPECT_EQ(c.carIndex, 0);
         EXPECT_EQ(c.playerNameLength, 0);
         EXPECT_FLOAT_EQ(c.carSetup.powerRating, 0.6f);  // NaN: the default set-up's
         EXPECT_EQ(c.carSetup.partChoice[1], 0);
         EXPECT_EQ(c.carSetup.turboPackage, 0);
         EXPECT_EQ(c.carSetup.partChoice[kUnusedPartWord], -1);  // carried words stay as read
         EXPECT_EQ(c.carSetup.reserved[0], -1);
         EXPECT_EQ(c.unused1077[0], 0xFF);
       }},
      {"money and points that are not numbers",
       WithFields([](CareerRecord& c) {
         c.cash = std::numeric_limits<float>::infinity();
         c.careerPoints = std::numeric_limits<float>::quiet_NaN();
         c.bonusTotals[3] = -std::numeric_limits<float>::infinity();
         c.carSetup.handlingRating = std::numeric_limits<float>::quiet_NaN();
       }),
       [](const CareerRecord& c) {
         EXPECT_EQ(c.cash, 0.0f);
         EXPECT_EQ(c.careerPoints, 0.0f);
         EXPECT_EQ(c.bonusTotals[3], 0.0f);
         EXPECT_FLOAT_EQ(c.carSetup.handlingRating, 0.5f);
         EXPECT_STREQ(c.playerName, "Ivan");  // the rest of the career stays
         EXPECT_EQ(c.ratingLevel, 7);
       }},
      {"values beyond their ranges",
       WithFields([](CareerRecord& c) {
         c.cash = 1e30f;
         c.careerPoints = 1e30f;  // booking would take it apart one level at a time
         c.bonusTotals[0] = -5.0f;
         c.ratingLevel = INT32_MAX;
         c.competitionsOpen = 6;
         c.bestPlace[0] = 0;
         c.bestPlace[1] = 6;
         c.raceWins[2] = INT32_MAX;
         c.raceStarts[2] = -3;
         c.bestMinutes[3] = 1000000;
         c.bestSeconds[3] = 60;
         c.bestHundredths[3] = 100;
         c.trackListBestPlace[14] = 5;
         c.newCareer = 2;
         c.carSetup.powerRating = 7.0f;
       }),
       [](const CareerRecord& c) {
         EXPECT_EQ(c.cash, kMaxCareerAmount);
         EXPECT_LT(c.careerPoints, kPointsPerRatingLevel);
         EXPECT_GT(c.careerPoints, kPointsPerRatingLevel - 1.0f);
         EXPECT_EQ(c.bonusTotals[0], 0.0f);
         EXPECT_EQ(c.ratingLevel, kMaxRatingLevel);
         EXPECT_EQ(c.competitionsOpen, 5);
         EXPECT_EQ(c.bestPlace[0], kNotPlaced);  // no result, rather than a win
         EXPECT_EQ(c.bestPlace[1], kNotPlaced);
         EXPECT_EQ(c.bestPlace[17], 2);
         EXPECT_EQ(c.raceWins[2], kMaxRaceCount);
         EXPECT_EQ(c.raceStarts[2], 0);
         EXPECT_EQ(c.bestMinutes[3], kMaxBestMinutes);
         EXPECT_EQ(c.bestSeconds[3], 59);
         EXPECT_EQ(c.bestHundredths[3], 99);
         EXPECT_EQ(c.trackListBestPlace[14], kNoSeriesPlace);
         EXPECT_EQ(c.newCareer, 1);
         EXPECT_EQ(c.carSetup.powerRating, 1.0f);
       }},
      {"an empty file is no file: the base copy is read", {},
       [](const CareerRecord& c) { EXPECT_EQ(Image(c), ReadFileBytes(kBaseCareerPath)); }},
  };
  for (const HostileCareer& c : cases) {
    SCOPED_TRACE(c.what);
    gCareer = CareerRecord{};
    home.WriteSaveFile("career.inf", c.file);
    LoadCareer();
    c.expect(gCareer);
    const auto saved = home.ReadSaveFile("career.inf");
    EXPECT_EQ(saved, Image(gCareer));
    LoadCareer();
    EXPECT_EQ(home.ReadSaveFile("career.inf"), saved);
  }
}

TEST_F(CareerFile, EmptyFileWithNoBaseCopyStartsANewCareer) {
  home.WriteSaveFile("career.inf", {});
  {
    ScopedWorkingFolder noBase(home.Path());
    LoadCareer();
  }
  EXPECT_EQ(Image(gCareer), Image(BuiltInCareer()));
  EXPECT_EQ(gBestPlace[0], kNotPlaced);
  EXPECT_EQ(gCareerCarLimit, kCatalogueSize - 1);
  EXPECT_EQ(home.ReadSaveFile("career.inf"), Image(BuiltInCareer()));
}

}  // namespace
