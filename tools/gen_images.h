// Procedural images of the generator: the water volume image tex65.tga and
// the surface textures with their normal maps used by the part models.
#pragma once

#include <cstdint>
#include <string>

#include "tools/tga_writer.h"

// Side of tex65.tga: 512 × 512 pixels hold the 64³ texels of the volume.
inline constexpr int kVolumeImageSide = 512;

// The water volume: a 64-texel periodic field of surface normals (RGB =
// normal × 0.5 + 0.5, blue up), stored slice after slice, row after row.
RasterImage MakeWaterVolumeImage();

// A surface look for a part texture.
struct SurfaceStyle {
  uint8_t base[3];      // mean colour
  float noise;          // colour variation, 0..1
  int stripes;          // machined grooves across t (0 = none)
  uint32_t seed;
};

// A 24-bit colour texture and the normal map of the same relief.
RasterImage MakeSurfaceTexture(const SurfaceStyle& style, int side);
RasterImage MakeSurfaceNormalMap(const SurfaceStyle& style, int side);

bool GenerateImages(const std::string& base);
