// The renderer's entry points as far as they exist so far: the start-up
// resources of the framework (fonts, the first textures, the volumes, the
// particle effects).
#include "render/renderer.h"

#include <cstdio>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/particle_effect.h"
#include "framework/random.h"
#include "framework/texture.h"
#include "platform/gl.h"
#include "world/catalogue.h"

namespace {
// The textures loaded with the fonts: tex00..tex08 (tex00 and tex08 are the
// glyph sheets of fonts 2 and 1); the worker's texture list loads the rest.
constexpr int kStartupTextureCount = 9;
constexpr int kClampedStartupTexture = 5;

void LoadStartupTextures() {
  char path[32];
  for (int k = 0; k < kStartupTextureCount; ++k) {
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
    gTextures[k].LoadFromTGA(path, k == kClampedStartupTexture ? kTexTrilinearClamped : kTexTrilinear);
  }
}

}  // namespace

float gGaragePitch, gGarageYaw, gGarageZoom;
GLuint gVolumeTexture = 0;
GLuint gNoiseTexture3D = 0;

int InitGLResources() {
  for (int32_t& built : gBuiltCarIndex) built = -1;  // every racer slot builds its truck
  SeedRandomAtStartup();  // before the noise volume
  const bool entryPoints = FetchAssetGlEntryPoints();
  glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &gMaxAnisotropy);
  const bool multitexture = SetupMultitexture();
  LoadStartupTextures();
  LoadFontWidths("base/font1.ini", 1);
  LoadFontWidths("base/font2.ini", 2);
  MakeFont1DisplayLists();
  MakeFont2DisplayLists();
  glEnable(GL_TEXTURE_2D);
  Load3DTextureTGA(&gVolumeTexture, kVolumeTextureSize);
  MakeNoise3DTexture(&gNoiseTexture3D, kVolumeTextureSize);
  LoadParticleEffects();
  // The rest is made either way, so that the menus still draw; the caller
  // tells the player.
  return entryPoints && multitexture ? 1 : 0;
}

void ReleaseTextures() { ReleaseTextureTables(); }
