// The race world under base/world/: the models of the landscape (drawn
// ground, physics ground, map objects, transparent layers, grass, trees,
// water), their textures, and qt.qt baked from them by the game's own baker.
// The layout they share is gen_world_layout.h.
#pragma once

#include <string>

#include "tools/ms3d_writer.h"

// Each world model by its file stem ("main_road", "physic", ...); empty for
// an unknown name.
Ms3dFile MakeWorldModel(const std::string& stem);

// Writes base/world/models/*.sbm (but the race's prop markers), the world's
// textures and qt.qt. False when a file cannot be written.
bool GenerateWorld(const std::string& base);
