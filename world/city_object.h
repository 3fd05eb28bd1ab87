// Props: the loose objects along a track that a truck can knock over. Each
// prop is one to three box bodies that rest weightless until the player
// comes near. The record is shared with the physics world's collision
// callback (crash sounds and the hit bonus) and the prop drawing.
#pragma once

#include "physics/simulator.h"

#include <cstdint>

inline constexpr int kCityObjectCapacity = 1000;
inline constexpr int kMaxPropParts = 10;

class CityObject {
 public:
  CityObject();
  virtual ~CityObject();
  CityObject(const CityObject&) = delete;
  CityObject& operator=(const CityObject&) = delete;

  // Creates the prop's bodies in `sim`; `index` is its slot in gCityObjects
  // and the user data of each body.
  void CreateBodies(neSimulator* sim, int index);

  neRigidBody* partBodies[kMaxPropParts];
  uint8_t awake;          // active near the player
  int32_t index;          // slot in gCityObjects
  int32_t type;           // marker group number
  int32_t partCount;
  int32_t bodyCount;
  neV3 restPosition;
  neM3 restOrientation;
  neV3 partOffsets[kMaxPropParts];
  uint8_t hitBonusGiven;  // the player earned the hit bonus on it; cleared when it wakes
  uint8_t knocked[kMaxPropParts];
  uint8_t settled;
  float playerDistSq;     // squared x-z distance from the player, read by the renderer
  float crashCoolDown;    // seconds since its last crash sound; one plays only above 0.5
};

extern CityObject gCityObjects[kCityObjectCapacity];
extern int32_t gCityObjectCount;  // props of the current race

// Once per race tick after the physics step: wakes, knocks, settles and
// puts back the props around the player.
void UpdateCityObjects();
