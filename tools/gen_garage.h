// The garage showroom, base/garage/: the hall around the truck (garage.sbm,
// drawn with the map program), the normal-mapped furniture and the
// turntable (special.sbm), the floor (ground.sbm) and the alpha-cut fences,
// windows and banners (transparency.sbm), each material with a tiling
// colour texture and a normal map beside it. The truck stands at the
// origin with the floor at kGarageFloorY.
#pragma once

#include <string>

#include "tools/ms3d_writer.h"

inline constexpr float kGarageFloorY = -1.0f;
// Half the hall's width and depth, and its height over the floor.
inline constexpr float kGarageHalfSize = 20.0f;
inline constexpr float kGarageHeight = 10.0f;

struct GarageModels {
  Ms3dFile hall, special, ground, transparency;
};

GarageModels MakeGarageModels();

bool GenerateGarage(const std::string& base);
