#include "world/texture_list.h"

#include "framework/settings.h"
#include "framework/texture.h"

#include <cstdio>

namespace {

// The numbered textures whose filter mode is not plain trilinear.
struct TextureModeRule {
  int texture;
  int mode;
};
constexpr TextureModeRule kListedTextureModes[] = {
    {kPropNormalMapTexture, kTexCompressedAnisotropic},      {kPropColourTexture, kTexCompressedAnisotropic},
    {kBlobShadowTexture, kTexBilinearMipmapped},             {kTyreTrackTexture, kTexCompressedAnisotropic},
    {kTyreTrackNormalMapTexture, kTexCompressedAnisotropic}, {kDustTexture, kTexCompressedLinear},
    {kSkyBoxTexture, kTexTrilinearClamped},                  {kGrassAtlasTexture, kTexTrilinearClamped},
    {kSkyRingTexture, kTexCompressedClampT},                 {kTreeAtlasTexture, kTexTrilinearClamped},
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
    // The props' and the tyre tracks' textures follow the player's filtering
    // choice as the terrain's do: llvmpipe's anisotropic filter can spend
    // seconds on a single pixel of a far track segment seen edge on.
    if (ListedTextureMode(k) == kTexCompressedAnisotropic) FollowFilteringSetting(gTextures[k]);
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
