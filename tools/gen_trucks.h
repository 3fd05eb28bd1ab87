// The 18 trucks of the catalogue, written to base/cars/0/ .. base/cars/17/:
// the body (car.sbm), its glass (glass_car.sbm), the lamps (optika.sbm),
// one wheel (wheel.sbm), the mud flaps (splasher.sbm) and the marker model
// (points.sbm), each drawn model with a colour texture and a normal map.
// Truck frame: x forward, y up, z to the side; the body fits the racer's
// collision box and stands with its wheels on the ground at y = -1.
#pragma once

#include <string>

#include "tools/ms3d_writer.h"
#include "tools/truck_markers.h"  // the marker groups and the body styles

// Every truck is built to fit the racer body's collision box (kTruckTuning's boxSize
// about its boxOffset, world/truck_tuning.h).
// Height of the ground under a truck at rest, in the truck's frame.
inline constexpr float kTruckGroundY = -1.0f;
// The showroom places the wheel centres at (wheel scale - 1) / 2 minus this.
inline constexpr float kRestWheelDrop = 0.49f;

// Groups of optika.sbm: the lamps lit by the three lamp levels.
enum TruckLampGroup { kLampsAlwaysLit, kLampsBrake, kLampsReverse, kLampGroupCount };

struct TruckModels {
  Ms3dFile body, glass, lamps, wheel, splasher, markers;
};

// Needs the wheel sizes of the catalogue tables (InitCarTables) and the
// paint of the shipped catalogue (MakeShippedCatalogue).
TruckModels MakeTruckModels(int catalogueIndex);

bool GenerateTrucks(const std::string& base);
