// Props: the loose objects along a track that a truck can knock over. Each
// prop is one to three box bodies that rest weightless until the player
// comes near. The record is shared with the physics world's collision
// callback (crash sounds and the hit bonus) and the prop drawing.
#pragma once

#include "framework/model.h"
#include "physics/simulator.h"
#include "world/prop_parts.h"

#include <cstdint>

inline constexpr int kCityObjectCapacity = 1000;

// How a prop's parts are placed: 10 away the player wakes it; a part moved
// more than 0.1 from its rest pose knocks it; it settles once the player is
// beyond 15 and each knocked part beyond 50.
inline constexpr float kPropWakeDistance = 10.0f;
inline constexpr float kPropAwakeDistance = 15.0f;
inline constexpr float kPropKnockDistance = 0.1f;
inline constexpr float kPropSettleDistance = 50.0f;
inline constexpr float kPropCrashCoolDownStart = 10.0f;  // seconds

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

// Fills gCityObjects from a race's marker model: each triangle places one
// prop at its corner 1, oriented by its corners, its group the prop's type.
// Stops at kCityObjectCapacity props; a group past the type table makes
// props without parts.
void BuildCityObjectsFromModel(const Model& markers);

// Once per race tick after the physics step: wakes, knocks, settles and
// puts back the props around the player.
void UpdateCityObjects();
