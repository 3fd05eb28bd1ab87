// The world's textures (base/world/textures/): the five landscape grounds
// (landscape00..04: grass, dirt, rock, gravel, road surface) and their
// normal maps, all one size and tiling; and every texture the world models'
// materials name, those of the transparent layers with alpha (cut at 0.5).
#pragma once

#include <string>
#include <vector>

#include "tools/tga_writer.h"

struct WorldTexture {
  std::string name;  // file name in base/world/textures/
  RasterImage image;
};

std::vector<WorldTexture> MakeWorldTextures();
