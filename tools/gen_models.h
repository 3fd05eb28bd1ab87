// The part models loaded at start-up, as MilkShape files with a colour
// texture and a normal map each (bare lower-case .tga names beside them):
//   base/cars/wheels/support.sbm, brake_disk.sbm, suspension0..4.sbm
//   base/cars/parts/big_vint.sbm, small_vint.sbm, turbo_vint.sbm
// Units are metres; +y is up and the wheel axis runs along z.
#pragma once

#include <string>

#include "tools/ms3d_writer.h"

// The model of one start-up part by its file stem ("support", "suspension3").
// Empty (no vertices) for an unknown name.
Ms3dFile MakePartModel(const std::string& stem);

bool GenerateModels(const std::string& base);
