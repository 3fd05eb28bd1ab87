// The racers' trucks: the six models of each racer slot's truck, the
// truck's marker points taken into the racer record, and the rivals' choice
// of trucks for a race. Worker thread, with its GL context current.
#pragma once

#include "framework/model.h"
#include "world/racer.h"

#include <cstdint>

// A racer slot's six truck models, by kind.
enum RacerModelKind : int {
  kRacerModelCar = 0,
  kRacerModelGlass,
  kRacerModelOptics,
  kRacerModelWheel,
  kRacerModelSplasher,
  kRacerModelPoints,  // marker points, never drawn
  kRacerModelKindCount
};
extern Model* gRacerModels[kRacerModelKindCount][kRacerCount];

// Marker groups of a truck's points model and how many of each the racer
// record holds; further triangles of a group are ignored.
inline constexpr int kLampPointCount = 4;
inline constexpr int kExhaustPointCount = 2;
// Axle and wheel offsets a truck keeps when its points model marks none:
// those of the game's wheel sensor rows.
inline constexpr float kDefaultAxleX = 2.2f, kDefaultWheelZ = 1.4f;

// Loads the six models of the truck that racer slot `slot` (0..3) should
// drive (the player's for slot 0, else the slot's carKind, each held within
// the catalogue) unless the slot holds them already, and takes the truck's
// marker points into the racer record. A points model with a marker far
// outside the truck or a front axle at or behind the centre is refused (a
// line on stderr): it stays empty and the truck keeps the default points.
void LoadRacerCar(int slot);
// Rivals on three different trucks, none of them the player's, each with
// its models loaded.
void ChooseRivals();

// A catalogue index within 0..17: a bad one is brought to the nearest row.
int32_t BoundedCarIndex(int32_t index);
// The record's marker fields from a points model: axles and wheel offsets
// (group 0), up to four lamps (1), two exhausts (2, 3), up to ten
// placements of each vint model (4..6). Every field is reset first.
void TakeCarMarkers(Racer& car, const Model& points);
// The placement a marker triangle stands for: columns X, Y, Z of its
// orientation, translation its corner 1.
Matrix4 MarkerPlacement(const Model& model, int triangle);
