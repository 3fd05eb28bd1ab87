// Starting the career over.
#include "world/new_career.h"

#include "framework/settings.h"
#include "tests/support/temp_home.h"
#include "world/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class NewCareerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCarTables();
    ASSERT_TRUE(LoadCarCatalogue());
  }
  TempHome home;
};

TEST_F(NewCareerTest, ResetsTheCareerAndSavesAtOnce) {
  gCareer = BuiltInCareer();
  gCash = 25000.0f;
  gRatingLevel = 7;
  gCareerPoints = 800.0f;
  SelectCatalogueCar(12);
  gPlayerCarSetup.enginePackage = 3;
  StoreCarSetup();
  gBestPlace[4] = 1;
  gTrackListBestPlace[14] = 2;
  gQuickRaceCar = 9;
  gNewCareer = 0;
  std::memcpy(gPlayerName, "Ivanovo", 8);
  gPlayerNameLength = 7;

  NewCareer();

  EXPECT_FLOAT_EQ(gCash, 10000.0f);
  EXPECT_FLOAT_EQ(gCareerPoints, 0.0f);
  EXPECT_EQ(gRatingLevel, 1);
  EXPECT_EQ(gCareerCarIndex, 0);
  EXPECT_EQ(gCareerCarLimit, 17);
  EXPECT_EQ(gPlayerNameLength, 0);
  EXPECT_STREQ(gPlayerName, "Player");
  EXPECT_EQ(gPlayerName[6], 0);
  EXPECT_EQ(gPlayerName[7], 0);
  EXPECT_EQ(gPlayerName[8], 0);
  for (int r = 0; r < kRaceSlotCount; ++r) EXPECT_EQ(gBestPlace[r], 5);
  for (int r = 0; r < kTrackListSlotCount; ++r) EXPECT_EQ(gTrackListBestPlace[r], 4);
  EXPECT_EQ(gTrackListStage[3], 1);
  EXPECT_EQ(gQuickRaceTrack, 1);
  EXPECT_EQ(gGameMode, kGameModeCareer);
  EXPECT_EQ(gQuickRaceCar, 9);  // left as it was
  EXPECT_EQ(gNewCareer, 0);     // left as it was

  // The player's truck and the career's copy are catalogue row 0 without packages.
  EXPECT_EQ(gPlayerCarIndex, 0);
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 0);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 0);
  EXPECT_EQ(std::memcmp(gCareerCarSetup.zoneColour, gCarCatalogue[0].zoneColour,
                        sizeof gCareerCarSetup.zoneColour), 0);

  auto saved = home.ReadSaveFile("career.inf");
  ASSERT_EQ(saved.size(), kCareerFileSize);
  EXPECT_EQ(std::memcmp(saved.data(), &gCareer, kCareerFileSize), 0);
}

TEST_F(NewCareerTest, ShippedCareerIsANewCareerAskingForTheName) {
  gCareer = CareerRecord{};
  ApplyNewCareer();
  gQuickRaceCar = 0;
  gNewCareer = 1;
  auto base = ReadFileBytes(kBaseCareerPath);
  ASSERT_EQ(base.size(), kCareerFileSize);
  EXPECT_EQ(std::memcmp(base.data(), &gCareer, kCareerFileSize), 0);
}

}  // namespace
