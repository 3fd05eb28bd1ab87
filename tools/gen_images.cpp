#include "tools/gen_images.h"

#include "math/ne_math.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kVolumeSide = 64;  // texels per side of the water volume

// A small deterministic generator, so the images never depend on the
// game's shared random sequence.
struct Lcg {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return double(state >> 8) / double(1u << 24);
  }
};

// A periodic relief of a few waves with whole-number frequencies, so that
// it tiles over the period in every direction.
struct Wave {
  int fx, fy, fz;
  double amplitude, phase;
};

std::vector<Wave> MakeWaves(uint32_t seed, int count, int maxFrequency, bool threeD) {
  Lcg random{seed};
  std::vector<Wave> waves;
  for (int i = 0; i < count; ++i) {
    Wave w;
    w.fx = 1 + int(random.Next() * maxFrequency);
    w.fy = int(random.Next() * (2 * maxFrequency + 1)) - maxFrequency;
    w.fz = threeD ? int(random.Next() * (2 * maxFrequency + 1)) - maxFrequency : 0;
    w.amplitude = 1.0 / (1 + std::abs(w.fx) + std::abs(w.fy) + std::abs(w.fz));
    w.phase = random.Next() * NE_TWO_PI_D;
    waves.push_back(w);
  }
  return waves;
}

// Height and its gradient at (u, v, w) in periods.
void Relief(const std::vector<Wave>& waves, double u, double v, double w, double* height,
            double* du, double* dv) {
  *height = *du = *dv = 0;
  for (const Wave& wave : waves) {
    const double a = NE_TWO_PI_D * (wave.fx * u + wave.fy * v + wave.fz * w) + wave.phase;
    *height += wave.amplitude * std::sin(a);
    *du += wave.amplitude * NE_TWO_PI_D * wave.fx * std::cos(a);
    *dv += wave.amplitude * NE_TWO_PI_D * wave.fy * std::cos(a);
  }
}

uint8_t ToByte(double v) { return uint8_t(std::clamp(v, 0.0, 255.0) + 0.5); }

void StoreNormal(uint8_t* p, double du, double dv, double strength) {
  double nx = -du * strength, ny = -dv * strength, nz = 1;
  const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
  nx /= length;
  ny /= length;
  nz /= length;
  p[0] = ToByte((nx * 0.5 + 0.5) * 255);
  p[1] = ToByte((ny * 0.5 + 0.5) * 255);
  p[2] = ToByte((nz * 0.5 + 0.5) * 255);
}

// The relief of a part surface: gentle waves plus grooves across t.
void SurfaceRelief(const SurfaceStyle& style, const std::vector<Wave>& waves, double u, double v,
                   double* height, double* du, double* dv) {
  Relief(waves, u, v, 0, height, du, dv);
  if (style.stripes > 0) {
    const double a = NE_TWO_PI_D * style.stripes * v;
    *height += 0.6 * std::sin(a);
    *dv += 0.6 * NE_TWO_PI_D * style.stripes * std::cos(a);
  }
}

}  // namespace

RasterImage MakeWaterVolumeImage() {
  RasterImage image(kVolumeImageSide, kVolumeImageSide, 3);
  const std::vector<Wave> waves = MakeWaves(65, 10, 3, true);
  // Texel (x, y, z) of the volume is pixel number x + 64 y + 64² z.
  for (int z = 0; z < kVolumeSide; ++z)
    for (int y = 0; y < kVolumeSide; ++y)
      for (int x = 0; x < kVolumeSide; ++x) {
        double h, du, dv;
        Relief(waves, double(x) / kVolumeSide, double(y) / kVolumeSide, double(z) / kVolumeSide,
               &h, &du, &dv);
        const size_t index = size_t(x) + size_t(kVolumeSide) * (size_t(y) + size_t(kVolumeSide) * z);
        StoreNormal(&image.pixels[index * 3], du, dv, 0.02);
      }
  return image;
}

RasterImage MakeSurfaceTexture(const SurfaceStyle& style, int side) {
  RasterImage image(side, side, 3);
  const std::vector<Wave> waves = MakeWaves(style.seed, 8, 6, false);
  Lcg grain{style.seed * 7 + 1};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      double h, du, dv;
      SurfaceRelief(style, waves, double(x) / side, double(y) / side, &h, &du, &dv);
      const double shade = 1.0 + style.noise * (0.35 * h + 0.25 * (grain.Next() - 0.5));
      uint8_t* p = image.At(x, y);
      for (int c = 0; c < 3; ++c) p[c] = ToByte(style.base[c] * shade);
    }
  return image;
}

RasterImage MakeSurfaceNormalMap(const SurfaceStyle& style, int side) {
  RasterImage image(side, side, 3);
  const std::vector<Wave> waves = MakeWaves(style.seed, 8, 6, false);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      double h, du, dv;
      SurfaceRelief(style, waves, double(x) / side, double(y) / side, &h, &du, &dv);
      StoreNormal(image.At(x, y), du, dv, 0.015);
    }
  return image;
}

bool GenerateImages(const std::string& base) {
  return WriteTga(base + "/textures/tex65.tga", MakeWaterVolumeImage());
}
