#include "world/texture_list.h"

#include <cstdio>

#include "framework/texture.h"

namespace {
constexpr int kFirstListedTexture = 9;  // tex00..tex08 come with the fonts
constexpr int kLandscapeCount = 5;
}  // namespace

int TextureListMode(int slot) {
  switch (slot) {
    case 14:
    case 21:
    case 45:
    case 46: return kTexCompressedAnisotropic;
    case 44: return kTexBilinearMipmapped;
    case 54: return kTexCompressedLinear;
    case 61:
    case 62:
    case 66: return kTexTrilinearClamped;
    case 63: return kTexCompressedClampT;
    default: return kTexTrilinear;
  }
}

void LoadTextureList() {
  char path[64];
  for (int slot = kFirstListedTexture; slot < kTextureCount; ++slot) {
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", slot);
    gTextures[slot].LoadFromTGA(path, TextureListMode(slot));
  }
  for (int k = 0; k < kLandscapeCount; ++k) {
    std::snprintf(path, sizeof path, "base/world/textures/landscape%02d.tga", k);
    gLandscapeTextures[k].LoadFromTGA(path, kTexCompressedAnisotropic);
    std::snprintf(path, sizeof path, "base/world/textures/landscape%02d_n.tga", k);
    gLandscapeTextures[kLandscapeCount + k].LoadFromTGA(path, kTexCompressedAnisotropic);
  }
}
