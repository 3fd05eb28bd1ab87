// The car catalogue, the copies between catalogue, player and career, and
// the two binary tables.
#include "world/catalogue.h"

#include "framework/globals.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Part words in file order (words 0, 1, 3, 4, 5, 6, 2, 8, 9), each within its
// price table; word 0 has none and is numbered like the other values.
int32_t NumberedPartWord(int record, int slot) {
  constexpr int32_t kInRange[7] = {0, 1, 5, 2, 0, 9, 3};
  if (slot == 0) return record * 32;
  if (slot < 7) return kInRange[slot];
  return slot == 7 ? record + 10 : record;
}

// A cars.ini whose other values are all distinct: value = record × 32 + slot.
std::vector<uint8_t> NumberedCarsIni() {
  ByteBuffer out;
  for (int r = 0; r < kCatalogueSize; ++r) {
    for (int slot = 0; slot < 32; ++slot) {
      if (slot < 9) out.I32(NumberedPartWord(r, slot));
      else if (slot < 30) out.F32(float(r * 32 + slot));
      else out.I32(r * 32 + slot);
    }
  }
  return out.bytes;
}

bool SameSetup(const CarSetup& a, const CarSetup& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCarTables();
    ASSERT_TRUE(LoadCarCatalogue()) << "the generated base/cars.ini";
    gPlayerCarSetup = CarSetup{};
    gCareer = BuiltInCareer();
  }
  std::string TempFile(const std::string& name) const { return folder.File(name); }
  ScratchFolder folder;
};

TEST_F(Catalogue, CarsIniKeepsItsOddWordOrder) {
  const std::string path = TempFile("zarnok-cars.ini");
  auto file = NumberedCarsIni();
  ASSERT_TRUE(WriteFileBytes(path, file));
  ASSERT_TRUE(LoadCarCatalogueFrom(path));
  const CarSetup& car = gCarCatalogue[2];
  EXPECT_EQ(car.partChoice[0], 64);
  EXPECT_EQ(car.partChoice[1], 1);
  EXPECT_EQ(car.partChoice[3], 5);
  EXPECT_EQ(car.partChoice[6], 9);
  EXPECT_EQ(car.partChoice[2], 3);  // bytes 24..27 hold part word 2
  EXPECT_EQ(car.partChoice[9], 2);
  EXPECT_FLOAT_EQ(car.zoneColour[0][0], 73.0f);
  EXPECT_FLOAT_EQ(car.zoneColour[6][2], 93.0f);
  EXPECT_EQ(car.reserved[1], 95);
  EXPECT_EQ(car.catalogueIndex, 2);
  EXPECT_FLOAT_EQ(car.powerRating, 0.5f);  // ratings are not in the file

  const std::string copy = TempFile("zarnok-cars-copy.ini");
  ASSERT_TRUE(SaveCarCatalogueTo(copy));
  EXPECT_EQ(ReadFileBytes(copy), file);
}

TEST_F(Catalogue, PartWordsOutsideTheirPriceTablesAreBroughtIntoThem) {
  struct Hostile {
    int32_t value;     // every part word of every record
    int32_t expected[kPartCount];  // what the catalogue keeps, by part word
  };
  const Hostile cases[] = {
      {-1, {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {INT32_MAX, {INT32_MAX, 3, 3, 5, 2, 3, 9, 0, 35, 35}},
      {7, {7, 3, 3, 5, 2, 3, 7, 0, 7, 7}},
  };
  const std::string path = TempFile("zarnok-hostile-cars.ini");
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.value);
    auto file = NumberedCarsIni();
    for (int r = 0; r < kCatalogueSize; ++r) {
      for (int slot = 0; slot < 9; ++slot) {
        std::memcpy(&file[size_t(r * kCarsIniRecordSize + 4 * slot)], &c.value, 4);
      }
    }
    ASSERT_TRUE(WriteFileBytes(path, file));
    ASSERT_TRUE(LoadCarCatalogueFrom(path));
    gPlayerCarSetup.partChoice[kUnusedPartWord] = 0;
    SelectCatalogueCar(17);  // the copy the shops then index with
    for (int p = 0; p < kPartCount; ++p) {
      EXPECT_EQ(gCarCatalogue[0].partChoice[p], c.expected[p]) << "part word " << p;
      EXPECT_EQ(gPlayerCarSetup.partChoice[p], c.expected[p]) << "part word " << p;
    }
  }
}

TEST_F(Catalogue, ShippedCarsIniRoundTripsByteForByte) {
  const std::string copy = TempFile("zarnok-shipped-cars.ini");
  ASSERT_TRUE(SaveCarCatalogueTo(copy));
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(kCarsIniPath));
}

TEST_F(Catalogue, ShortOrMissingCarsIniIsRefusedAndChangesNothing) {
  const CarSetup before = gCarCatalogue[17];
  auto file = NumberedCarsIni();
  file.resize(kCarsIniSize - 1);
  const std::string path = TempFile("zarnok-short-cars.ini");
  ASSERT_TRUE(WriteFileBytes(path, file));
  EXPECT_FALSE(LoadCarCatalogueFrom(path));
  EXPECT_FALSE(LoadCarCatalogueFrom(TempFile("zarnok-no-such-cars.ini")));
  EXPECT_TRUE(SameSetup(gCarCatalogue[17], before));
}

TEST_F(Catalogue, StartupCheckFindsAMissingCatalogue) {
  EXPECT_TRUE(CarCatalogueFileIsComplete());
  ScopedWorkingFolder elsewhere(folder.Path());  // no base/ here
  EXPECT_FALSE(CarCatalogueFileIsComplete());
  auto file = NumberedCarsIni();
  file.resize(kCarsIniSize - 4);
  ASSERT_TRUE(WriteFileBytes("base/cars.ini", file));
  EXPECT_FALSE(CarCatalogueFileIsComplete());
}

TEST_F(Catalogue, ShippedTrucksHavePartsInRangeAndTheirOwnPaint) {
  EXPECT_EQ(ReadFileBytes(kCarsIniPath).size(), kCarsIniSize);
  for (int r = 0; r < kCatalogueSize; ++r) {
    for (int p = 0; p < kPartCount; ++p) {
      if (kPartChoiceCount[p] == 0) continue;
      EXPECT_GE(gCarCatalogue[r].partChoice[p], 0);
      EXPECT_LT(gCarCatalogue[r].partChoice[p], kPartChoiceCount[p]);
    }
    for (int other = 0; other < r; ++other) {
      EXPECT_NE(std::memcmp(gCarCatalogue[r].zoneColour, gCarCatalogue[other].zoneColour,
                            sizeof gCarCatalogue[r].zoneColour), 0)
          << kCarNames[r] << " is painted like " << kCarNames[other];
    }
  }
}

TEST_F(Catalogue, SelectingACarClearsThePackages) {
  gPlayerCarSetup.enginePackage = gPlayerCarSetup.suspensionPackage = gPlayerCarSetup.turboPackage = 3;
  gPlayerCarSetup.partChoice[kUnusedPartWord] = 9;
  SelectCatalogueCar(5);
  EXPECT_EQ(gPlayerCarSetup.enginePackage, 0);
  EXPECT_EQ(gPlayerCarSetup.suspensionPackage, 0);
  EXPECT_EQ(gPlayerCarSetup.turboPackage, 0);
  EXPECT_EQ(gPlayerCarIndex, 5);
  EXPECT_FLOAT_EQ(gPlayerCarSetup.turboRating, 0.55f);
  EXPECT_EQ(gPlayerCarSetup.partChoice[3], gCarCatalogue[5].partChoice[3]);
  EXPECT_EQ(gPlayerCarSetup.partChoice[kUnusedPartWord], 9);
  EXPECT_EQ(std::memcmp(gPlayerCarSetup.zoneColour, gCarCatalogue[5].zoneColour,
                        sizeof gPlayerCarSetup.zoneColour), 0);
}

TEST_F(Catalogue, StoreThenRestoreGivesBackTheSameSetup) {
  SelectCatalogueCar(11);
  gPlayerCarSetup.enginePackage = 2;
  gPlayerCarSetup.turboPackage = 1;
  gPlayerCarSetup.zoneColour[3][1] = 0.25f;
  const CarSetup chosen = gPlayerCarSetup;
  StoreCarSetup();
  EXPECT_EQ(gCareerCarIndex, 11);
  EXPECT_EQ(gCareerCarSetup.enginePackage, 2);

  SelectCatalogueCar(0);  // browsing in the shop
  RestoreCarSetup();      // leaving with Back
  EXPECT_TRUE(SameSetup(gPlayerCarSetup, chosen));
}

TEST_F(Catalogue, CopiesLeaveTheCareersIndexWordAndPartWordSevenAlone) {
  gCareerCarSetup.catalogueIndex = 77;
  gCareerCarSetup.partChoice[kUnusedPartWord] = 5;
  SelectCatalogueCar(3);
  StoreCarSetup();
  EXPECT_EQ(gCareerCarSetup.catalogueIndex, 77);
  EXPECT_EQ(gCareerCarSetup.partChoice[kUnusedPartWord], 5);
  gPlayerCarSetup.partChoice[kUnusedPartWord] = 1;
  RestoreCarSetup();
  EXPECT_EQ(gPlayerCarSetup.partChoice[kUnusedPartWord], 1);
  EXPECT_EQ(gPlayerCarIndex, 3);
}

TEST_F(Catalogue, ResetGivesTheFixedDefault) {
  SelectCatalogueCar(9);
  gPlayerCarSetup.partChoice[kUnusedPartWord] = 4;
  ResetCarSetup();
  EXPECT_FLOAT_EQ(gPlayerCarSetup.powerRating, 0.6f);
  EXPECT_EQ(gPlayerCarSetup.partChoice[2], 1);
  EXPECT_EQ(gPlayerCarSetup.partChoice[3], 2);
  EXPECT_EQ(gPlayerCarSetup.partChoice[9], 0);
  EXPECT_EQ(gPlayerCarSetup.partChoice[kUnusedPartWord], 4);
  EXPECT_FLOAT_EQ(gPlayerCarSetup.zoneColour[6][0], 0.38f);
  EXPECT_EQ(gPlayerCarIndex, 0);
}

TEST_F(Catalogue, ChangedTruckIsRebuiltOnlyWhenTheWorkerIsIdle) {
  gBuiltCarIndex[0] = 3;
  SelectCatalogueCar(3);
  gLoaderStatus = LoaderStatus::Idle;
  gCarChangeProgress = 0.0f;
  gInputLocked = 0;
  CheckCarSetupChanged();  // the built truck is the player's: nothing to do
  EXPECT_EQ(gLoaderStatus, LoaderStatus::Idle);
  EXPECT_EQ(gInputLocked, 0);

  SelectCatalogueCar(5);
  gLoaderStatus = LoaderStatus::LoadGarage;  // the worker is busy
  CheckCarSetupChanged();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadGarage);
  EXPECT_FLOAT_EQ(gCarChangeProgress, 0.0f);

  gLoaderStatus = LoaderStatus::Idle;
  CheckCarSetupChanged();
  EXPECT_EQ(gLoaderStatus, LoaderStatus::LoadStartupOrPlayerCar);
  EXPECT_FLOAT_EQ(gCarChangeProgress, 1.0f);
  EXPECT_EQ(gInputLocked, 1);
  gLoaderStatus = LoaderStatus::Idle;
}

TEST_F(Catalogue, RatingBarGrowsWithPackagesUpToOne) {
  EXPECT_FLOAT_EQ(RatingBar(0.75f, 3), 0.9f);
  EXPECT_FLOAT_EQ(RatingBar(0.98f, 3), 1.0f);
  EXPECT_NEAR(RatingBar(0.6f, 2), 0.7f, 1e-6f);
}

TEST_F(Catalogue, OpticaTableRoundTripsAndAMissingOrNonNumberFileChangesNothing) {
  LoadOpticaTable();
  EXPECT_EQ(ReadFileBytes(kOpticaIniPath).size(), size_t(kOpticaFloatCount) * 4);
  const float corner = gOpticaLamps[5][3][3][2];
  EXPECT_NE(corner, 0.0f);
  const std::string path = TempFile("zarnok-optica.ini");
  ASSERT_TRUE(SaveOpticaTableTo(path));
  EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(kOpticaIniPath));
  EXPECT_FALSE(LoadOpticaTableFrom(TempFile("zarnok-no-such-optica.ini")));
  EXPECT_FLOAT_EQ(gOpticaLamps[5][3][3][2], corner);
  ASSERT_TRUE(WriteFileBytes(path, std::vector<uint8_t>(size_t(kOpticaFloatCount) * 4, 0xFF)));  // all NaN
  EXPECT_FALSE(LoadOpticaTableFrom(path));
  EXPECT_FLOAT_EQ(gOpticaLamps[5][3][3][2], corner);
}

}  // namespace
