// STAND-IN until the props land with the whole-race work: the records
// exist and the collision callback can read them, but no prop gets a body
// and nothing wakes. Replace this file; the declarations stay.
#include "world/city_object.h"

CityObject gCityObjects[kCityObjectCapacity];
int32_t gCityObjectCount;

CityObject::CityObject()
    : partBodies{},
      awake(0),
      index(0),
      type(0),
      partCount(0),
      bodyCount(0),
      restPosition{},
      restOrientation{},
      partOffsets{},
      hitBonusGiven(0),
      knocked{},
      settled(0),
      playerDistSq(0),
      crashCoolDown(0) {}

CityObject::~CityObject() {
  for (neRigidBody*& body : partBodies) body = nullptr;
  awake = 0;
  index = type = partCount = bodyCount = 0;
  playerDistSq = 0.0f;
}

void CityObject::CreateBodies(neSimulator*, int objectIndex) { index = objectIndex; }

void UpdateCityObjects() {}
