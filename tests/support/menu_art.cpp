#include "tests/support/menu_art.h"

#include <cstdio>

#include "framework/font.h"
#include "framework/texture.h"

bool LoadMenuFontsAndArt(std::initializer_list<int> slots) {
  if (gTextures[kFont1SheetTexture].glId == kNoTexture) {
    if (!gTextures[kFont1SheetTexture].LoadFromTGA("base/textures/tex08.tga", kTexTrilinear) ||
        !gTextures[kFont2SheetTexture].LoadFromTGA("base/textures/tex00.tga", kTexTrilinear) ||
        !LoadFontWidths("base/font1.ini", 1) || !LoadFontWidths("base/font2.ini", 2)) {
      return false;
    }
    MakeFont1DisplayLists();
    MakeFont2DisplayLists();
  }
  for (int slot : slots) {
    if (gTextures[slot].glId != kNoTexture) continue;
    char path[40];
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", slot);
    if (!gTextures[slot].LoadFromTGA(path, kTexTrilinear)) return false;
  }
  return true;
}
