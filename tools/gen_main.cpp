// The data generator: writes every file of base/ deterministically from code.
// Usage: zarnok_gen <base folder>
#include <cstdio>
#include <string>

#include "tools/gen_effects.h"
#include "tools/gen_fonts.h"
#include "tools/gen_images.h"
#include "tools/gen_models.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <base folder>\n", argv[0]);
    return 2;
  }
  const std::string base = argv[1];
  bool ok = true;
  ok &= GenerateFonts(base);
  ok &= GenerateImages(base);
  ok &= GenerateEffects(base);
  ok &= GenerateModels(base);
  return ok ? 0 : 1;
}
