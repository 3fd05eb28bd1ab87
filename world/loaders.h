// The asset loaders: a race (its rivals and their trucks, the race path,
// the world models, the props, the physics world and a music track), the
// garage after a race, the models of one racer slot's truck with the
// truck's marker points, and the prop part models and numbered textures
// once at start-up. All run on the worker thread with its GL context
// current, while the loader status keeps the main thread off what changes.
#pragma once

#include "framework/model.h"
#include "world/city_object.h"
#include "world/racer.h"

#include <cstdint>

inline constexpr int kRaceCount = 30;  // races 1..30

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
extern Model* gPropPartModels[kPropTypesWithParts][kMaxPropParts];

// Marker groups of a truck's points model and how many of each the racer
// record holds; further triangles of a group are ignored.
inline constexpr int kLampPointCount = 4;
inline constexpr int kExhaustPointCount = 2;
// Axle and wheel offsets a truck keeps when its points model marks none:
// those of the game's wheel sensor rows.
inline constexpr float kDefaultAxleX = 2.2f, kDefaultWheelZ = 1.4f;

// Loads race n (1..30) and sets up the race: three rivals on trucks that
// differ from each other and from the player's, their models, the race
// path, the world models, the props, the quadtree, the race state, the
// physics world, a random music track and the bonus state, and the draw
// lists of the four trucks. The garage models go. False when the race cannot be run (a number outside 1..30, a
// refused race path, a physics ground that does not read, a quadtree file
// that does not fit the models); the garage is then loaded again, and no
// simulator, body or world is left behind.
bool LoadWorld(int n);
// Ends a race and loads the garage: sounds stopped, the simulator and its
// bodies and props gone, the world models and the trucks' draw lists
// freed, the garage models and the menu music loaded.
void LoadGarage();
// Loads the six models of the truck that racer slot `slot` (0..3) should
// drive (the player's for slot 0, else the slot's carKind, each held within
// the catalogue) unless the slot holds them already, and takes the truck's
// marker points into the racer record. A points model with a marker far
// outside the truck or a front axle at or behind the centre is refused (a
// line on stderr): it stays empty and the truck keeps the default points.
void LoadRacerCar(int slot);
// The prop part models, base/objects/object<type>part<part>.sbm.
void LoadObjectModels();
// gTextures[9..70] from base/textures/texNN.tga and the ten landscape
// textures, each with its filter mode.
void LoadTextureList();

// A catalogue index within 0..17: a bad one is brought to the nearest row.
int32_t BoundedCarIndex(int32_t index);
// The record's marker fields from a points model: axles and wheel offsets
// (group 0), up to four lamps (1), two exhausts (2, 3), up to ten
// placements of each vint model (4..6). Every field is reset first.
void TakeCarMarkers(CSampleCar& car, const Model& points);
// The placement a marker triangle stands for: columns X, Y, Z of its
// orientation, translation its corner 1.
Matrix4 MarkerPlacement(const Model& model, int triangle);
