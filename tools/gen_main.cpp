// The data generator: writes every file of base/ deterministically from code.
// Usage: zarnok_gen <base folder>
#include "tools/gen_effects.h"
#include "tools/gen_fonts.h"
#include "tools/gen_garage.h"
#include "tools/gen_images.h"
#include "tools/gen_menu_art.h"
#include "tools/gen_models.h"
#include "tools/gen_prop_layout.h"
#include "tools/gen_props.h"
#include "tools/gen_sounds.h"
#include "tools/gen_tables.h"
#include "tools/gen_textures.h"
#include "tools/gen_trucks.h"
#include "tools/gen_world.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <base folder>\n", argv[0]);
    return 2;
  }
  const std::string base = argv[1];
  if (!WriteGameTables(base)) return 1;
  if (!WriteGameSounds(base)) return 1;
  if (!GenerateFonts(base)) return 1;
  if (!GenerateImages(base)) return 1;
  if (!GenerateEffects(base)) return 1;
  if (!GenerateModels(base)) return 1;
  if (!GenerateTrucks(base)) return 1;
  if (!GenerateListedTextures(base)) return 1;
  // The menu art replaces the neutral plates of the listed textures.
  if (!GenerateMenuArt(base)) return 1;
  if (!GeneratePropParts(base)) return 1;
  if (!GenerateGarage(base)) return 1;
  if (!GenerateWorld(base)) return 1;
  if (!GeneratePropLayouts(base)) return 1;
  return 0;
}
