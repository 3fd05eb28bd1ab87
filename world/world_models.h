// The models of the loaded world, by slot. The world loader fills them; the
// physics world turns the physic model into the engine's terrain and frees it.
#pragma once

#include "framework/model.h"

enum WorldModelSlot : int {
  kWorldModelPhysic = 0,
  kWorldModelMainRoad,
  kWorldModelMainRoadLinear,
  kWorldModelMainMap,
  kWorldModelMainTransparency,
  kWorldModelAddMap,
  kWorldModelAddTransparency,
  kWorldModelAddTransparency2,
  kWorldModelObjects,
  kWorldModelGrass,
  kWorldModelTrees,
  kWorldModelWater,
  kWorldModelCount
};

extern Model* gWorldModels[kWorldModelCount];
