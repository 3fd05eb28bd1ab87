#include "world/catalogue.h"

#include "framework/binary_file.h"
#include "framework/globals.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

CarSetup gCarCatalogue[kCatalogueSize];
CarSetup gPlayerCarSetup;
int32_t gPriceTables[kPriceRowCount][kPriceChoiceCount];
float gWheelSizes[kCatalogueSize][6];
float gCityCarAxles[kCityCarTypeCount][6];
float gCarLightOffsets[kCityCarTypeCount][4][3];
float gOpticaLamps[6][4][4][3];
int32_t gBuiltCarIndex[kRacerSlotCount] = {-1, -1, -1, -1};
float gCarChangeProgress;
uint8_t gInputLocked;

const char* const kCarNames[kCatalogueSize] = {
    "Sickle ST",  "Magnum ST",  "Screw ST",    "Tornado ST", "Shark ST",   "Trotyl ST",
    "Screw GTX",  "Sickle GTX", "Shark GTX",   "Tornado GTX", "Sickle RS", "Magnum GTX",
    "Trotyl GTX", "Screw RS",   "Tornado RS",  "Shark RS",   "Trotyl RS",  "Magnum RS"};

namespace {

// Power, handling and turbo rating of each catalogue row.
constexpr float kCarRatings[kCatalogueSize][3] = {
    {0.6f, 0.5f, 0.55f},  {0.5f, 0.55f, 0.6f},  {0.5f, 0.6f, 0.5f},   {0.6f, 0.55f, 0.55f},
    {0.55f, 0.6f, 0.65f}, {0.65f, 0.65f, 0.55f}, {0.65f, 0.6f, 0.65f}, {0.58f, 0.68f, 0.68f},
    {0.7f, 0.58f, 0.65f}, {0.65f, 0.7f, 0.68f},  {0.72f, 0.68f, 0.6f}, {0.68f, 0.7f, 0.75f},
    {0.7f, 0.7f, 0.6f},   {0.72f, 0.68f, 0.65f}, {0.65f, 0.75f, 0.7f}, {0.68f, 0.73f, 0.75f},
    {0.75f, 0.7f, 0.73f}, {0.7f, 0.75f, 0.75f}};

constexpr int32_t kCarPrices[kCatalogueSize] = {7500,  10000, 12500, 15000, 17500, 20000,
                                                22500, 25000, 27500, 30000, 35000, 40000,
                                                45000, 50000, 55000, 60000, 65000, 70000};

// The order of the integer words in a cars.ini record: part word 2 comes
// after part word 6.
constexpr int kCarsIniPartOrder[] = {0, 1, 3, 4, 5, 6, 2, 8, 9};

constexpr float kRatingBarPerPackage = 0.05f;

template <size_t N>
void SetRow(int32_t (&row)[kPriceChoiceCount], const int32_t (&values)[N]) {
  std::copy(values, values + N, row);
}

// The fields shared by every copy: ratings, part words but word 7, colours
// and reserved words.
void CopyCatalogueFields(const CarSetup& from, CarSetup& to) {
  to.powerRating = from.powerRating;
  to.handlingRating = from.handlingRating;
  to.turboRating = from.turboRating;
  for (int i = 0; i < kPartCount; ++i) {
    if (i != kUnusedPartWord) to.partChoice[i] = from.partChoice[i];
  }
  std::copy(&from.zoneColour[0][0], &from.zoneColour[0][0] + kPaintZoneCount * 3, &to.zoneColour[0][0]);
  to.reserved[0] = from.reserved[0];
  to.reserved[1] = from.reserved[1];
}

void CopyPackages(const CarSetup& from, CarSetup& to) {
  to.enginePackage = from.enginePackage;
  to.suspensionPackage = from.suspensionPackage;
  to.turboPackage = from.turboPackage;
}

}  // namespace

void InitCarTables() {
  for (int r = 0; r < kCatalogueSize; ++r) {
    float axle = r == 0 ? 1.93f : r == 1 ? 2.14f : r == 2 ? 1.95f : 4.2f;
    const float row[6] = {axle, axle, 0.0f, 0.0f, 1.23f, 1.23f};
    std::copy(row, row + 6, gWheelSizes[r]);
    gCarCatalogue[r].powerRating = kCarRatings[r][0];
    gCarCatalogue[r].handlingRating = kCarRatings[r][1];
    gCarCatalogue[r].turboRating = kCarRatings[r][2];
  }
  const float axles[kCityCarTypeCount][6] = {{8.767f, 6.255f}, {6.98f, 5.0f}};
  std::copy(&axles[0][0], &axles[0][0] + 12, &gCityCarAxles[0][0]);
  const float lamps[kCityCarTypeCount][4][3] = {
      {{6.9f, 0.22f, 1.29f}, {-6.8f, 0.52f, 1.35f}, {6.9f, 0.63f, 1.068f}, {-6.8f, 0.52f, 1.35f}},
      {{4.35f, 0.69f, 1.12f}, {-4.49f, -0.04f, 1.1f}, {4.43f, -0.04f, 1.25f}, {-4.49f, -0.04f, 1.42f}}};
  std::copy(&lamps[0][0][0], &lamps[0][0][0] + 24, &gCarLightOffsets[0][0][0]);
  for (auto& row : gPriceTables) std::fill(std::begin(row), std::end(row), 0);
  SetRow(gPriceTables[0], {0, 2500, 5000, 10000});
  SetRow(gPriceTables[1], {0, 2000, 4000, 8000});
  SetRow(gPriceTables[2], {0, 3500, 5000, 8000});
  SetRow(gPriceTables[3], {0, 2500, 3500, 4500, 5500, 6500});
  SetRow(gPriceTables[4], {1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000});
  SetRow(gPriceTables[9], {1500, 1500, 2000, 2000, 2500, 2500, 3000, 3000, 3500, 3500});
  SetRow(gPriceTables[kCarPriceRow], kCarPrices);
}

bool LoadCarCatalogue() { return LoadCarCatalogueFrom(kCarsIniPath); }

bool LoadCarCatalogueFrom(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, 64 * 1024, bytes) || bytes.size() < kCarsIniSize) {
    std::fprintf(stderr, "The car catalogue %s is missing or damaged (%zu of %zu bytes).\n",
                 path.c_str(), bytes.size(), kCarsIniSize);
    return false;
  }
  ByteCursor reader(bytes);
  for (int r = 0; r < kCatalogueSize; ++r) {
    CarSetup& car = gCarCatalogue[r];
    for (int part : kCarsIniPartOrder) car.partChoice[part] = reader.I32();
    for (auto& colour : car.zoneColour) {
      for (float& channel : colour) channel = reader.F32();
    }
    car.reserved[0] = reader.I32();
    car.reserved[1] = reader.I32();
    // Selecting the truck copies its parts into the player's set-up, which
    // the shops index their price tables with.
    ClampCarSetup(car);
    car.catalogueIndex = r;
  }
  return true;
}

bool CarCatalogueFileIsComplete() {
  std::vector<uint8_t> bytes;
  return ReadWholeFile(kCarsIniPath, 64 * 1024, bytes) && bytes.size() >= kCarsIniSize;
}

bool SaveCarCatalogue() { return SaveCarCatalogueTo(kCarsIniPath); }

bool SaveCarCatalogueTo(const std::string& path) {
  ByteBuffer writer;
  for (int r = 0; r < kCatalogueSize; ++r) {
    CarSetup& car = gCarCatalogue[r];
    for (int part : kCarsIniPartOrder) writer.I32(car.partChoice[part]);
    for (const auto& colour : car.zoneColour) {
      for (float channel : colour) writer.F32(channel);
    }
    writer.I32(car.reserved[0]);
    writer.I32(car.reserved[1]);
    car.catalogueIndex = r;
  }
  return WriteFileAtomically(path, writer.bytes.data(), writer.bytes.size());
}

void LoadOpticaTable() { LoadOpticaTableFrom(kOpticaIniPath); }

bool LoadOpticaTableFrom(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, 64 * 1024, bytes) || bytes.size() < kOpticaFloatCount * 4u) return false;
  ByteCursor reader(bytes);
  float values[kOpticaFloatCount];
  for (float& value : values) value = reader.F32();
  if (!AllFinite(values, kOpticaFloatCount)) {
    std::fprintf(stderr, "%s: a lamp value is not a finite number; the lamp table is unchanged\n", path.c_str());
    return false;
  }
  std::memcpy(gOpticaLamps, values, sizeof gOpticaLamps);
  return true;
}

bool SaveOpticaTable() { return SaveOpticaTableTo(kOpticaIniPath); }

bool SaveOpticaTableTo(const std::string& path) {
  ByteBuffer writer;
  const float* values = &gOpticaLamps[0][0][0][0];
  for (int i = 0; i < kOpticaFloatCount; ++i) writer.F32(values[i]);
  return WriteFileAtomically(path, writer.bytes.data(), writer.bytes.size());
}

void SelectCatalogueCar(int index) {
  index = std::clamp(index, 0, kCatalogueSize - 1);
  CopyCatalogueFields(gCarCatalogue[index], gPlayerCarSetup);
  gPlayerCarSetup.enginePackage = 0;
  gPlayerCarSetup.suspensionPackage = 0;
  gPlayerCarSetup.turboPackage = 0;
  gPlayerCarSetup.catalogueIndex = index;
}

void StoreCarSetup() {
  CopyCatalogueFields(gPlayerCarSetup, gCareerCarSetup);
  CopyPackages(gPlayerCarSetup, gCareerCarSetup);
  gCareerCarIndex = gPlayerCarSetup.catalogueIndex;
}

void RestoreCarSetup() {
  CopyCatalogueFields(gCareerCarSetup, gPlayerCarSetup);
  CopyPackages(gCareerCarSetup, gPlayerCarSetup);
  gPlayerCarIndex = gCareerCarIndex;
}

void ResetCarSetup() {
  const int32_t word7 = gPlayerCarSetup.partChoice[kUnusedPartWord];
  gPlayerCarSetup = DefaultCarSetup();
  gPlayerCarSetup.partChoice[kUnusedPartWord] = word7;
}

void CheckCarSetupChanged() {
  // The main thread may post a request only while the worker is idle; the
  // worker alone reports completion. The status is read first: the worker
  // writes the built index during a load and publishes it with the idle
  // status, so only after reading idle may this thread read the index.
  if (gLoaderStatus == LoaderStatus::Idle && gBuiltCarIndex[0] != gPlayerCarIndex) {
    gLoaderStatus = LoaderStatus::LoadStartupOrPlayerCar;
    gCarChangeProgress = 1.0f;
    gInputLocked = 1;
  }
}

float RatingBar(float rating, int packageLevel) {
  return std::min(1.0f, rating + kRatingBarPerPackage * float(packageLevel));
}
