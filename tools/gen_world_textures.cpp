#include "tools/gen_world_textures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "math/ne_math.h"

namespace {

constexpr int kLandscapeSide = 512;  // every landscape texture and normal map
constexpr int kMaterialSide = 256;   // every material texture of the world models

struct Rgba {
  double r, g, b, a = 255;
};

uint32_t Mix(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  return h ^ (h >> 16);
}

double Hash(int i, int j, int period, uint32_t seed) {
  i = ((i % period) + period) % period;
  j = ((j % period) + period) % period;
  return double(Mix(uint32_t(i) * 73856093u ^ uint32_t(j) * 19349663u ^ seed * 83492791u) & 0xffffff) / 0xffffff;
}

// Value noise that repeats every `period` cells, so a texture built from
// whole periods tiles.
double TileNoise(double u, double v, int period, uint32_t seed) {
  const double x = u * period, y = v * period;
  const int i = int(std::floor(x)), j = int(std::floor(y));
  const double fx = x - i, fy = y - j;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double a = Hash(i, j, period, seed), b = Hash(i + 1, j, period, seed);
  const double c = Hash(i, j + 1, period, seed), d = Hash(i + 1, j + 1, period, seed);
  const double top = a + (b - a) * sx, bottom = c + (d - c) * sx;
  return top + (bottom - top) * sy;
}

// Several octaves, about 0..1.
double Fbm(double u, double v, int period, uint32_t seed, int octaves = 4) {
  double sum = 0, amplitude = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * TileNoise(u, v, period << o, seed + uint32_t(o));
    total += amplitude;
    amplitude *= 0.5;
  }
  return sum / total;
}

uint8_t Byte(double v) { return uint8_t(std::clamp(v, 0.0, 255.0) + 0.5); }

RasterImage Paint(int side, int components, const std::function<Rgba(double, double)>& colour) {
  RasterImage image(side, side, components);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const Rgba c = colour((x + 0.5) / side, (y + 0.5) / side);
      uint8_t* p = image.At(x, y);
      p[0] = Byte(c.r);
      p[1] = Byte(c.g);
      p[2] = Byte(c.b);
      if (components == 4) p[3] = Byte(c.a);
    }
  return image;
}

Rgba Shade(Rgba base, double f) { return {base.r * f, base.g * f, base.b * f, base.a}; }
Rgba Blend(Rgba a, Rgba b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The five grounds, by their relief (0..1) at (u, v) and their colour.
using Relief = double (*)(double, double);
double GrassRelief(double u, double v) { return 0.6 * Fbm(u, v, 16, 11) + 0.4 * TileNoise(u, v, 128, 12); }
double DirtRelief(double u, double v) { return 0.7 * Fbm(u, v, 8, 21) + 0.3 * TileNoise(u, v, 64, 22); }
double RockRelief(double u, double v) {
  const double cracks = std::fabs(Fbm(u, v, 4, 31) - 0.5) * 2;  // ridges along the noise's middle
  return 0.5 * Fbm(u, v, 8, 32) + 0.5 * std::min(1.0, cracks * 4);
}
double GravelRelief(double u, double v) { return 0.3 * Fbm(u, v, 8, 41) + 0.7 * TileNoise(u, v, 96, 42); }
double RoadRelief(double u, double v) { return 0.8 * Fbm(u, v, 16, 51, 3) + 0.2 * TileNoise(u, v, 128, 52); }

Rgba GrassColour(double u, double v) {
  const double h = GrassRelief(u, v), patches = Fbm(u, v, 4, 13);
  return Shade(Blend({74, 112, 42}, {112, 128, 52}, patches), 0.7 + 0.6 * h);
}
Rgba DirtColour(double u, double v) {
  const double h = DirtRelief(u, v);
  return Shade(Blend({104, 78, 52}, {132, 104, 70}, Fbm(u, v, 4, 23)), 0.75 + 0.5 * h);
}
Rgba RockColour(double u, double v) {
  const double h = RockRelief(u, v);
  return Shade(Blend({112, 108, 102}, {140, 132, 118}, Fbm(u, v, 4, 33)), 0.55 + 0.6 * h);
}
Rgba GravelColour(double u, double v) {
  const double h = GravelRelief(u, v), stone = TileNoise(u, v, 96, 43);
  return Shade(Blend({128, 120, 104}, {166, 158, 140}, stone), 0.7 + 0.45 * h);
}
Rgba RoadColour(double u, double v) {
  const double h = RoadRelief(u, v);
  return Shade(Blend({92, 84, 72}, {118, 108, 92}, Fbm(u, v, 4, 53)), 0.8 + 0.35 * h);
}

// The normal map of a relief: RGB = normal × 0.5 + 0.5, blue up.
RasterImage NormalMap(Relief relief, double strength) {
  const double e = 1.0 / kLandscapeSide;
  return Paint(kLandscapeSide, 3, [&](double u, double v) {
    const double du = (relief(u + e, v) - relief(u - e, v)) / (2 * e);
    const double dv = (relief(u, v + e) - relief(u, v - e)) / (2 * e);
    double nx = -du * strength, ny = -dv * strength, nz = 1;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= length, ny /= length, nz /= length;
    return Rgba{(nx * 0.5 + 0.5) * 255, (ny * 0.5 + 0.5) * 255, (nz * 0.5 + 0.5) * 255};
  });
}

struct Ground {
  const char* name;
  Relief relief;
  Rgba (*colour)(double, double);
};
constexpr Ground kGrounds[5] = {{"grass", GrassRelief, GrassColour},
                                {"dirt", DirtRelief, DirtColour},
                                {"rock", RockRelief, RockColour},
                                {"gravel", GravelRelief, GravelColour},
                                {"road", RoadRelief, RoadColour}};

// A texture with alpha: the cut-out of `shape` (alpha ≥ 0.5 kept) over `colour`.
RasterImage CutOut(const std::function<double(double, double)>& shape, const std::function<Rgba(double, double)>& colour) {
  return Paint(kMaterialSide, 4, [&](double u, double v) {
    Rgba c = colour(u, v);
    c.a = std::clamp(shape(u, v), 0.0, 1.0) * 255;
    return c;
  });
}

// Grass blades rising from the bottom edge (v = 0 the foot): a fringe.
double BladeShape(double u, double v) {
  const double height = 0.55 + 0.45 * TileNoise(u, 0.5, 48, 61);
  const double blade = std::fabs(std::sin(u * NE_PI_D * 48));
  return (v < height * (0.6 + 0.4 * blade)) ? 1.0 : 0.0;
}

// A round, leafy blob.
double BushShape(double u, double v) {
  const double r = std::hypot(u - 0.5, (v - 0.45) * 1.1);
  return (r < 0.36 + 0.12 * TileNoise(u, v, 12, 71) - 0.04) ? 1.0 : 0.0;
}

// Two rails on posts.
double FenceShape(double u, double v) {
  const double post = std::fmod(u * 4, 1.0);
  const bool isPost = post < 0.08 || post > 0.92;
  const bool isRail = (v > 0.55 && v < 0.68) || (v > 0.25 && v < 0.38);
  return (isPost && v < 0.9) || isRail ? 1.0 : 0.0;
}

// Worn dirt along a road's edge (u = 0) fraying into the grass (u = 1).
double RoadEdgeShape(double u, double v) { return 1.0 - u * 1.3 + (Fbm(u, v, 8, 85) - 0.5) * 1.2; }

// A blotch of mud fading out toward its rim.
double MudShape(double u, double v) {
  const double r = std::hypot(u - 0.5, v - 0.5) * 2;
  return (1.0 - r) * 1.6 + (Fbm(u, v, 8, 81) - 0.5) * 1.4;
}

Rgba Planks(double u, double v) {
  const double board = std::floor(v * 12);
  const double grain = Fbm(u * 0.25, v, 16, 91 + uint32_t(board));
  const double gap = std::fmod(v * 12, 1.0) < 0.06 ? 0.5 : 1.0;
  return Shade(Blend({108, 76, 48}, {138, 100, 64}, grain), gap * (0.8 + 0.3 * Hash(int(board), 0, 64, 92)));
}

Rgba Roof(double u, double v) {
  const double row = std::floor(v * 16);
  const double shingle = std::fmod(u * 8 + 0.5 * std::fmod(row, 2), 1.0);
  const double edge = shingle < 0.06 || std::fmod(v * 16, 1.0) < 0.08 ? 0.6 : 1.0;
  return Shade({96, 60, 48}, edge * (0.8 + 0.4 * Fbm(u, v, 16, 95)));
}

Rgba Water(double u, double v) {
  const double ripple = Fbm(u, v, 8, 101);
  return Rgba{40 + 30 * ripple, 78 + 40 * ripple, 96 + 50 * ripple, 230};
}

}  // namespace

std::vector<WorldTexture> MakeWorldTextures() {
  std::vector<WorldTexture> textures;
  for (int k = 0; k < 5; ++k) {
    const Ground& ground = kGrounds[k];
    const std::string stem = "landscape0" + std::to_string(k);
    textures.push_back({stem + ".tga", Paint(kLandscapeSide, 3, ground.colour)});
    textures.push_back({stem + "_n.tga", NormalMap(ground.relief, k == 2 ? 0.03 : 0.015)});
  }
  // The drawn ground's own textures: each ground's colour at the material size.
  for (const Ground& ground : kGrounds)
    textures.push_back({std::string("ground_") + ground.name + ".tga", Paint(kMaterialSide, 3, ground.colour)});
  textures.push_back({"ground_shore.tga", Paint(kMaterialSide, 3, [](double u, double v) {
                        return Blend(GravelColour(u, v), GrassColour(u, v), Fbm(u, v, 4, 111));
                      })});
  textures.push_back({"rock.tga", Paint(kMaterialSide, 3, RockColour)});
  textures.push_back({"planks.tga", Paint(kMaterialSide, 3, Planks)});
  textures.push_back({"roof.tga", Paint(kMaterialSide, 3, Roof)});
  textures.push_back({"bush.tga", CutOut(BushShape, [](double u, double v) {
                        return Shade(Blend({40, 80, 30}, {86, 120, 44}, Fbm(u, v, 16, 72)), 0.8 + 0.4 * v);
                      })});
  textures.push_back({"fence.tga", CutOut(FenceShape, Planks)});
  textures.push_back({"verge.tga", CutOut(BladeShape, [](double u, double v) {
                        return Shade(Blend({70, 104, 40}, {150, 150, 70}, TileNoise(u, 0.5, 48, 62)), 0.6 + 0.5 * v);
                      })});
  textures.push_back({"mud.tga", CutOut(MudShape, [](double u, double v) {
                        return Shade({70, 52, 36}, 0.8 + 0.4 * Fbm(u, v, 16, 82));
                      })});
  textures.push_back({"road_edge.tga", CutOut(RoadEdgeShape, [](double u, double v) {
                        return Blend(DirtColour(u, v), GravelColour(u, v), 0.5 * (1 - u));
                      })});
  textures.push_back({"water_surface.tga", Paint(kMaterialSide, 4, Water)});
  textures.push_back({"water.tga", Paint(kMaterialSide, 3, Water)});
  return textures;
}
