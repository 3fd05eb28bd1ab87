// The part and garage models the worker loads once at start-up.
#pragma once

#include "framework/model.h"

extern Model* gSupportModel;           // base/cars/wheels/support.sbm
extern Model* gBrakeDiskModel;         // base/cars/wheels/brake_disk.sbm
inline constexpr int kVintModelCount = 3;
extern Model* gVintModels[kVintModelCount];  // big, small, turbo
inline constexpr int kSuspensionModelCount = 5;
extern Model* gSuspensionModels[kSuspensionModelCount];
inline constexpr int kGarageModelCount = 4;
extern Model* gGarageModels[kGarageModelCount];
// The garage models by their place in gGarageModels.
enum GarageModel : int { kGarageRoom = 0, kGarageSpecial = 1, kGarageGround = 2, kGarageTransparency = 3 };

// Loads the 14 models in their fixed order, each with its material
// textures and, where the renderer needs it, its tangent space. Runs on the
// worker with its GL context current. A model whose file is missing or
// refused stays empty. A model already loaded is replaced (and freed).
void LoadStartupModels();
// The four garage models alone, in the same way (the garage loader after a race).
void LoadGarageModels();
// Deletes the four garage models and empties their slots.
void FreeGarageModels();
