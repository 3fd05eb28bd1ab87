// The car catalogue: 18 trucks, the player's live set-up and the copies
// between the catalogue, the player's set-up and the career; the constant
// per-truck tables (wheel sizes, traffic-car axles and lamps, shop prices);
// and the two binary tables cars.ini and optica.ini.
#pragma once

#include "framework/car_setup.h"
#include "framework/settings.h"

#include <cstdint>
#include <string>

inline constexpr int kPriceRowCount = 11;
inline constexpr int kPriceChoiceCount = 21;
inline constexpr int kCarPriceRow = 10;            // row of gPriceTables with the truck prices
inline constexpr int kCityCarTypeCount = 2;
inline constexpr int kCarsIniRecordSize = 128;     // bytes per truck in cars.ini
inline constexpr size_t kCarsIniSize = size_t(kCatalogueSize) * kCarsIniRecordSize;  // 2304
inline constexpr int kOpticaFloatCount = 6 * 4 * 4 * 3;                              // 288
inline constexpr const char* kCarsIniPath = "base/cars.ini";
inline constexpr const char* kOpticaIniPath = "base/optica.ini";

extern CarSetup gCarCatalogue[kCatalogueSize];
extern CarSetup gPlayerCarSetup;
// The player's truck: the catalogue index of gPlayerCarSetup.
inline int32_t& gPlayerCarIndex = gPlayerCarSetup.catalogueIndex;

// Names printed by the car shop and the garage, by catalogue index.
extern const char* const kCarNames[kCatalogueSize];

extern int32_t gPriceTables[kPriceRowCount][kPriceChoiceCount];  // whole money units
extern float gWheelSizes[kCatalogueSize][6];   // [4] front, [5] rear wheel size factor
extern float gCityCarAxles[kCityCarTypeCount][6];  // [0] front axle ahead of centre, [1] rear behind
extern float gCarLightOffsets[kCityCarTypeCount][4][3];  // lamps 0, 2 front; 1, 3 rear; x fwd, y up, z side
extern float gOpticaLamps[6][4][4][3];          // from optica.ini; drawn by nothing in a race

// Catalogue index of the truck whose models are built in each racer slot,
// -1 for none; kept by the racer-car loader.
inline constexpr int kRacerSlotCount = 4;
extern int32_t gBuiltCarIndex[kRacerSlotCount];

// Values outside a race that the catalogue's users share.
extern float gCarChangeProgress;   // 1.0 when the player's truck is being rebuilt
extern uint8_t gInputLocked;       // menu buttons ignore presses while set

// Fills the constant tables and the three ratings of every catalogue row.
void InitCarTables();

// Reads base/cars.ini into the catalogue (part words, colours, reserved
// words; each row's index set to its row). A part word outside its price
// table is brought to the nearest choice it offers. False, with a message on stderr,
// when the file is missing or shorter than its 2304 bytes; the catalogue is
// then unchanged.
bool LoadCarCatalogue();
bool LoadCarCatalogueFrom(const std::string& path);
// True when base/cars.ini exists and holds all 18 records; checked at
// start-up, before the worker reads the catalogue.
bool CarCatalogueFileIsComplete();
// Writes the catalogue in the same order and sets each row's index.
bool SaveCarCatalogue();
bool SaveCarCatalogueTo(const std::string& path);

// Reads base/optica.ini; a missing or short file, or one holding a value
// that is not a finite number, leaves the table unchanged (false).
void LoadOpticaTable();
bool LoadOpticaTableFrom(const std::string& path);
bool SaveOpticaTable();
bool SaveOpticaTableTo(const std::string& path);

// The player's set-up becomes catalogue row `index` (0..17) with no packages.
void SelectCatalogueCar(int index);
// Copies the player's set-up into the career (and its index into gCareerCarIndex).
void StoreCarSetup();
// Copies the career's set-up into the player's (and gCareerCarIndex into gPlayerCarIndex).
void RestoreCarSetup();
// The player's set-up becomes the fixed default (part word 7 untouched).
void ResetCarSetup();

// Asks the worker to rebuild the player's truck when the truck built in
// racer slot 0 is not the player's and the worker is idle.
void CheckCarSetupChanged();

// The bar the garage shows for a rating with a package level: rating +
// 0.05 per level, at most 1.
float RatingBar(float rating, int packageLevel);
