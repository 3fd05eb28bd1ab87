#include "world/texture_list.h"

#include "framework/settings.h"
#include "framework/texture.h"

#include <cstdio>

namespace {

constexpr int kFirstListedTexture = 9;  // gTextures 0..8 are the GL set-up's

// The numbered textures whose filter mode is not plain trilinear.
struct TextureModeRule {
  int texture;
  int mode;
};
constexpr TextureModeRule kListedTextureModes[] = {
    {14, kTexCompressedAnisotropic}, {21, kTexCompressedAnisotropic}, {44, kTexBilinearMipmapped},
    {45, kTexCompressedAnisotropic}, {46, kTexCompressedAnisotropic}, {54, kTexCompressedLinear},
    {61, kTexTrilinearClamped},      {62, kTexTrilinearClamped},      {63, kTexCompressedClampT},
    {66, kTexTrilinearClamped},
};

int ListedTextureMode(int k) {
  for (const TextureModeRule& rule : kListedTextureModes)
    if (rule.texture == k) return rule.mode;
  return kTexTrilinear;
}

}  // namespace

void LoadTextureList() {
  char path[64];
  for (int k = kFirstListedTexture; k < kTextureCount; ++k) {
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
    gTextures[k].LoadFromTGA(path, ListedTextureMode(k));
  }
  constexpr int kLayers = kLandscapeTextureCount / 2;
  for (int i = 0; i < kLandscapeTextureCount; ++i) {
    std::snprintf(path, sizeof path, "base/world/textures/landscape%02d%s.tga", i % kLayers, i < kLayers ? "" : "_n");
    gLandscapeTextures[i].LoadFromTGA(path, kTexCompressedAnisotropic);
    // The terrain's layers follow the player's filtering choice like every
    // other texture: a software rasteriser takes three times as long over
    // the terrain with anisotropy the player turned off.
    FollowFilteringSetting(gLandscapeTextures[i]);
  }
}
