// The particle-effect files of base/effects/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/particle_effect.h"

// Writes firepipe.eff, smokepipe.eff, dust.eff and checkpointlight.eff
// under <base>/effects/. True when all were written.
bool GenerateEffects(const std::string& base);
