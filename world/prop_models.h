// The prop part models: one per part of every prop type, loaded once at
// start-up and kept for every race.
#pragma once

#include "framework/model.h"
#include "world/prop_parts.h"

extern Model* gPropPartModels[kPropTypesWithParts][kMaxPropParts];

// The prop part models, base/objects/object<type>part<part>.sbm.
void LoadObjectModels();
