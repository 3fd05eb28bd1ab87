#include "tools/gen_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/texture.h"
#include "tools/gen_menu_art.h"
#include "tools/gen_props.h"
#include "tools/gen_race_art.h"
#include "tools/paint_canvas.h"

namespace {

// What each number is drawn for (the modes are the texture list's).
constexpr ListedTexture kListed[] = {
    {kTailLampFlareTexture, 128, 128, 4, kTexTrilinear, "tail-lamp flare sprite, tinted red, additive"},
    {kCompetitionBoardTexture, 512, 512, 4, kTexTrilinear, "menu: competition board panel 720 x 480"},
    {11, 64, 64, 3, kTexTrilinear, "unused"},
    {kTruckMarkersTexture, 128, 128, 4, kTexTrilinear, "minimap: truck markers, 2 x 2 cells"},
    {kBandsAndFrameTexture, 512, 256, 4, kTexTrilinear, "menu: bands and the 280 x 140 frame"},
    {kPropNormalMapTexture, 512, 512, 3, kTexCompressedAnisotropic, "prop normal map, also unit 2 of the lit programs"},
    {kMiniMapDiscTexture, 128, 128, 4, kTexTrilinear, "minimap: colour and mask"},
    {kProfileCardTexture, 256, 512, 3, kTexTrilinear, "menu: profile card 210 x 280, opaque"},
    {kDrumBackPlateTexture, 256, 512, 4, kTexTrilinear, "menu: drum back plate 150 x 440"},
    {kDrumRowPlateTexture, 512, 128, 4, kTexTrilinear, "menu: drum caption plate 280 x 70"},
    {kIconStripTexture, 1024, 128, 4, kTexTrilinear, "menu: strip of eight icons"},
    {20, 64, 64, 3, kTexTrilinear, "unused"},
    {kPropColourTexture, 512, 512, 3, kTexCompressedAnisotropic, "prop colour atlas"},
    {kButtonPlateTexture, 256, 128, 4, kTexTrilinear, "menu: button plate 192 x 64"},
    {kRaceBoardTexture, 512, 512, 4, kTexTrilinear, "menu: race board 720 x 480, also a 2 x 4 icon atlas"},
    {kButtonIconsTexture, 512, 128, 4, kTexTrilinear, "menu: five icons side by side"},
    {25, 64, 64, 3, kTexTrilinear, "unused"},
    {kPlaceStampsTexture, 512, 128, 4, kTexTrilinear, "menu: four place stamps"},
    {kRouteDotTexture, 32, 32, 4, kTexTrilinear, "minimap: route dot"},
    {28, 64, 64, 3, kTexTrilinear, "unused"},
    {kPointerTexture, 32, 32, 4, kTexTrilinear, "menu: mouse pointer, tip at the top left"},
    {kGlowTexture, 128, 128, 4, kTexTrilinear, "sun sprite and glare, head-lamp and brake flares"},
    {31, 64, 64, 3, kTexTrilinear, "unused"},
    {kTurboNeedleTexture, 64, 128, 4, kTexTrilinear, "HUD: turbo needle 25 x 50"},
    {33, 64, 64, 3, kTexTrilinear, "unused"},
    {kOptionBarTexture, 256, 16, 4, kTexTrilinear, "menu: option bar"},
    {kCursorBarTexture, 512, 32, 4, kTexTrilinear, "menu: list row bar 480 x 30"},
    {kGaugeFaceTexture, 256, 256, 4, kTexTrilinear, "HUD: gauge face 240 x 240"},
    {37, 64, 64, 3, kTexTrilinear, "unused"},
    {kEngineNeedleTexture, 64, 128, 4, kTexTrilinear, "HUD: engine needle 50 x 100"},
    {39, 64, 64, 3, kTexTrilinear, "unused"},
    {kHintBadgeTexture, 64, 64, 4, kTexTrilinear, "menu hint badge, checkpoint beacon"},
    {kLampTilesTexture, 256, 128, 4, kTexTrilinear, "menu: 4 x 2 icon cells, HUD turbo lamp"},
    {kMarkerShineTexture, 64, 64, 4, kTexTrilinear, "minimap: marker shine"},
    {kGaugeBackTexture, 256, 256, 4, kTexTrilinear, "HUD: gauge back 240 x 240"},
    {kBlobShadowTexture, 128, 128, 4, kTexBilinearMipmapped, "blob shadow and checkpoint sign"},
    {kTyreTrackTexture, 256, 256, 4, kTexCompressedAnisotropic, "tyre track colour"},
    {kTyreTrackNormalMapTexture, 256, 256, 3, kTexCompressedAnisotropic, "tyre track normal map"},
    {47, 64, 64, 3, kTexTrilinear, "unused"},
    {48, 64, 64, 3, kTexTrilinear, "unused"},
    {kTurboRingTexture, 32, 32, 4, kTexTrilinear, "HUD: turbo ring segment, additive"},
    {50, 64, 64, 3, kTexTrilinear, "unused"},
    {kBarrierTapeTexture, 256, 128, 4, kTexTrilinear, "barrier tape of the textured box"},
    {kSmokeTexture, 128, 128, 4, kTexTrilinear, "exhaust smoke sprite"},
    {kGlowSquareTexture, 64, 64, 4, kTexTrilinear, "glowing marker square"},
    {kDustTexture, 128, 128, 4, kTexCompressedLinear, "wheel dust sprite"},
    {kFireTexture, 128, 128, 4, kTexTrilinear, "exhaust fire sprite"},
    {56, 64, 64, 3, kTexTrilinear, "unused"},
    {57, 64, 64, 3, kTexTrilinear, "unused"},
    {58, 256, 256, 4, kTexTrilinear, "menu: race selection disc 260 x 260"},
    {kCompetitionIconsTexture, 1024, 128, 4, kTexTrilinear, "menu: strip of six competition icons"},
    {60, 64, 64, 3, kTexTrilinear, "unused"},
    {kSkyBoxTexture, 1024, 1024, 3, kTexTrilinearClamped, "sky box, cross layout"},
    {kGrassAtlasTexture, 512, 128, 4, kTexTrilinearClamped, "grass atlas, eight columns, cut at alpha 0.5"},
    {kSkyRingTexture, 1024, 128, 4, kTexCompressedClampT, "sky ring: distant hills, blended"},
    {64, 64, 64, 3, kTexTrilinear, "unused"},
    {kTreeAtlasTexture, 512, 256, 4, kTexTrilinearClamped, "tree atlas, four columns, cut at alpha 0.5"},
    {67, 64, 64, 3, kTexTrilinear, "unused"},
    {68, 64, 64, 3, kTexTrilinear, "unused"},
    {69, 64, 64, 3, kTexTrilinear, "unused"},
    {kGrassTintTexture, 256, 256, 3, kTexTrilinear, "grass tint, second unit, repeating"},
};



float Smooth(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

float Radius(float u, float v) { return 2 * std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)); }

// ---- Sprites ---------------------------------------------------------------

// A white glow: a hot core, a soft halo and `rays` thin streaks; the edge
// is fully transparent.
void PaintGlow(PaintCanvas& c, int rays, float core) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float r = Radius(u, v);
    const float angle = std::atan2(v - 0.5f, u - 0.5f);
    const float halo = std::pow(std::max(0.0f, 1 - r), 2.2f);
    const float hot = std::exp(-r * r / (core * core));
    const float ray = rays > 0 ? std::pow(std::fabs(std::cos(angle * float(rays) / 2)), 40.0f) * std::max(0.0f, 1 - r) * 0.5f : 0;
    t.colour = {1, 1, 1};
    t.alpha = std::clamp(0.8f * halo + hot + ray, 0.0f, 1.0f) * Smooth(1.0f, 0.9f, r);
  });
}

// A soft puff of smoke or dust: a noisy disc.
void PaintPuff(PaintCanvas& c, Rgb colour, uint32_t seed, float density) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float r = Radius(u, v);
    const float billow = TileFractal(u * 4, v * 4, 4, 4, seed);
    t.colour = Scale(colour, 0.85f + 0.3f * billow);
    t.alpha = std::clamp(density * Smooth(1.0f, 0.2f, r) * (0.5f + billow), 0.0f, 1.0f);
  });
}

void PaintFire(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float r = Radius(u, v);
    const float flicker = TileFractal(u * 5, v * 5, 5, 3, 55);
    const float heat = std::clamp(1.2f * (1 - r) + 0.3f * flicker - 0.2f, 0.0f, 1.0f);
    t.colour = Mix(Rgb{0.9f, 0.25f, 0.02f}, Rgb{1.0f, 0.95f, 0.6f}, heat * heat);
    t.alpha = std::clamp(heat * 1.4f, 0.0f, 1.0f) * Smooth(1.0f, 0.85f, r);
  });
}

// ---- Sky -------------------------------------------------------------------

Rgb SkyColour(float elevation, float cloud) {
  const Rgb horizon{0.78f, 0.86f, 0.93f}, zenith{0.28f, 0.48f, 0.82f};
  const Rgb sky = Mix(horizon, zenith, std::pow(std::clamp(elevation / 1.2f, 0.0f, 1.0f), 0.6f));
  return Mix(sky, Rgb{0.97f, 0.97f, 0.98f}, cloud);
}

// Cloud cover at a point of a cloud deck, in 0..1.
float Cloud(float x, float z) {
  const float n = TileFractal(x * 0.9f + 10, z * 0.9f + 10, 64, 5, 61);
  return Smooth(0.45f, 0.72f, n);
}

// The cross: the top face in the middle, the four walls around it with
// their lower (horizon) edges outward, as the sky box draws them.
void PaintSkyCross(PaintCanvas& c) {
  constexpr float kHalf = 5000, kTop = 1600;  // box half-width; wall height over the eye
  c.PaintAll([&](float u, float v, Texel& t) {
    const float du = u - 0.5f, dv = v - 0.5f;
    const float d = std::max(std::fabs(du), std::fabs(dv));
    Vector3 dir;
    if (d <= 0.25f) {
      dir = {du / 0.25f * kHalf, kTop, dv / 0.25f * kHalf};
    } else {
      // Along a wall: the edge of the top (d 0.25) down to the horizon (0.45).
      const float down = std::clamp((d - 0.25f) / 0.2f, 0.0f, 1.2f);
      const float along = (std::fabs(du) > std::fabs(dv) ? dv : du) / d * kHalf;
      const float height = kTop * (1 - down);
      dir = std::fabs(du) > std::fabs(dv) ? Vector3(du > 0 ? kHalf : -kHalf, height, along)
                                          : Vector3(along, height, dv > 0 ? kHalf : -kHalf);
    }
    const float horizontal = std::sqrt(dir.x * dir.x + dir.z * dir.z);
    const float elevation = std::atan2(std::max(dir.y, 0.0f), horizontal);
    // Clouds on a deck over the eye: nearer the horizon they thin into haze.
    const float scale = 1.0f / std::max(dir.y, 400.0f);
    const float cloud = Cloud(dir.x * scale, dir.z * scale) * Smooth(0.02f, 0.25f, elevation);
    t.colour = SkyColour(elevation, cloud * 0.85f);
  });
}

// Hills on the horizon: a ridge that repeats across s, hazy blue-grey,
// transparent above it.
void PaintSkyRing(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float ridge = 0.35f + 0.35f * TileFractal(u * 8, 0.5f, 8, 5, 63);
    const float nearRidge = 0.2f + 0.3f * TileFractal(u * 12, 3.5f, 12, 4, 163);
    const bool front = v < nearRidge;
    const float rock = TileFractal(u * 64, v * 8, 64, 3, 263);
    t.colour = front ? Mix(Rgb{0.36f, 0.44f, 0.42f}, Rgb{0.45f, 0.52f, 0.5f}, rock)
                     : Mix(Rgb{0.55f, 0.63f, 0.7f}, Rgb{0.66f, 0.72f, 0.78f}, rock);
    t.alpha = front ? 1.0f : Smooth(ridge + 0.01f, ridge - 0.01f, v) * 0.9f;
  });
}

// ---- Grass and trees ---------------------------------------------------------

// One tuft kind per column: blades rising from the foot (t 0) to the tip.
void PaintGrassAtlas(PaintCanvas& c) {
  const Rgb base[8] = {{0.25f, 0.45f, 0.12f}, {0.35f, 0.5f, 0.15f}, {0.3f, 0.42f, 0.1f}, {0.45f, 0.5f, 0.2f},
                       {0.22f, 0.4f, 0.14f}, {0.5f, 0.48f, 0.22f}, {0.28f, 0.5f, 0.18f}, {0.4f, 0.45f, 0.12f}};
  const int column = c.Width() / 8;
  for (int k = 0; k < 8; ++k) {
    c.Paint(k * column, 0, (k + 1) * column, c.Height(), [&](float u, float v, Texel& t) {
      // Blades: thin arcs leaning out from the middle of the foot.
      float blade = 0;
      const int blades = 16 + k % 3 * 4;
      for (int b = 0; b < blades; ++b) {
        const float lean = (Hash01(b, k, 62) - 0.5f) * 0.9f;
        const float height = 0.55f + 0.45f * Hash01(b, k, 162);
        const float width = 0.05f * (1 - v / height);
        const float x = 0.5f + lean * v + 0.25f * lean * v * v;
        if (v < height && std::fabs(u - x) < width) blade = std::max(blade, 1 - v / height * 0.5f);
      }
      // Kinds 3 and 5 carry a few flowers on their tallest blades.
      bool flower = false;
      for (int f = 0; f < 3 && (k == 3 || k == 5); ++f) {
        const float fx = 0.3f + 0.4f * Hash01(f, k, 262), fy = 0.6f + 0.3f * Hash01(f, k, 362);
        flower |= (u - fx) * (u - fx) + (v - fy) * (v - fy) * 4.0f < 0.004f;
      }
      t.colour = flower ? Rgb{0.95f, k == 3 ? 0.85f : 0.95f, k == 3 ? 0.2f : 0.9f} : Scale(base[k], 0.6f + 0.6f * v);
      t.alpha = (blade > 0 || flower) ? 1.0f : 0.0f;
    });
  }
}

// Four trees, one per column: a birch, a poplar, a pine and a broadleaf.
void PaintTreeAtlas(PaintCanvas& c) {
  const int column = c.Width() / 4;
  for (int k = 0; k < 4; ++k) {
    c.Paint(k * column, 0, (k + 1) * column, c.Height(), [&](float u, float v, Texel& t) {
      const float x = u - 0.5f;
      const float leaves = TileFractal(u * 12, v * 24, 12, 4, 66u + uint32_t(k));
      bool trunk = false, crown = false;
      switch (k) {
        case 2:  // pine: a stacked cone
          trunk = std::fabs(x) < 0.03f && v < 0.2f;
          crown = v > 0.1f && v < 0.97f && std::fabs(x) < 0.45f * (0.97f - v) * (0.8f + 0.4f * leaves) &&
                  std::fmod(v * 7, 1.0f) > 0.15f * leaves;
          break;
        case 3:  // broadleaf: a round crown on a stout trunk
          trunk = std::fabs(x) < 0.05f + 0.03f * (0.3f - v) && v < 0.4f;
          crown = Radius(u, (v - 0.62f) * 1.3f + 0.5f) < 0.85f + 0.3f * (leaves - 0.5f);
          break;
        case 0:  // birch: white trunk, light open crown
          trunk = std::fabs(x) < 0.025f && v < 0.75f;
          crown = Radius(u * 1.4f - 0.2f, (v - 0.65f) * 1.2f + 0.5f) < 0.7f + 0.5f * (leaves - 0.5f) && leaves > 0.42f;
          break;
        default:  // poplar: tall and narrow
          trunk = std::fabs(x) < 0.03f && v < 0.3f;
          crown = v > 0.12f && v < 0.98f && std::fabs(x) < 0.22f * std::sin(NE_PI * (v - 0.12f) / 0.86f) * (0.8f + 0.5f * leaves);
          break;
      }
      const Rgb leaf[4] = {{0.45f, 0.6f, 0.2f}, {0.3f, 0.5f, 0.18f}, {0.12f, 0.3f, 0.15f}, {0.25f, 0.45f, 0.15f}};
      const Rgb bark = k == 0 ? Rgb{0.85f, 0.85f, 0.8f} : Rgb{0.3f, 0.22f, 0.15f};
      if (crown) {
        t.colour = Scale(leaf[k], 0.6f + 0.7f * leaves * (0.6f + 0.4f * v));
        t.alpha = 1;
      } else if (trunk) {
        t.colour = Scale(bark, 0.8f + 0.3f * leaves);
        t.alpha = 1;
      } else {
        t.colour = leaf[k];
        t.alpha = 0;
      }
    });
  }
}

// ---- Tyre tracks -------------------------------------------------------------

// Across s the track's width, along t its length: lugs of a tread with
// mud between them; the relief is the same for the normal map.
void PaintTyreTrack(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float offset = u < 0.5f ? 0.0f : 0.5f;
    const float lug = std::fmod(v * 8 + offset + 1.0f, 1.0f) < 0.45f && std::fabs(u - 0.5f) > 0.06f ? 1.0f : 0.0f;
    const float edge = Smooth(0.5f, 0.42f, std::fabs(u - 0.5f));
    const float mud = TileFractal(u * 8, v * 8, 8, 3, 45);
    t.colour = Scale(Rgb{0.22f, 0.17f, 0.12f}, 0.7f + 0.5f * mud - 0.25f * lug);
    t.alpha = edge * (0.55f + 0.45f * lug);
    t.height = 4.0f * lug + mud;
  });
}

// ---- Plates for the screens ----------------------------------------------------

// A neutral rounded plate in each of cellsX × cellsY cells: light grey with
// a darker rim, transparent outside.
void PaintPlates(PaintCanvas& c, int cellsX, int cellsY, bool opaque) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float cu = std::fmod(u * cellsX, 1.0f), cv = std::fmod(v * cellsY, 1.0f);
    const float ex = std::min(cu, 1 - cu), ey = std::min(cv, 1 - cv);
    const float corner = 0.12f;
    const float dx = std::max(0.0f, corner - ex), dy = std::max(0.0f, corner - ey);
    const float outside = std::sqrt(dx * dx + dy * dy) - corner * 0.8f;
    const float rim = Smooth(0.06f, 0.03f, std::min(ex, ey));
    t.colour = Mix(Rgb{0.86f, 0.87f, 0.88f}, Rgb{0.35f, 0.37f, 0.4f}, rim);
    t.alpha = opaque ? 1.0f : Smooth(0.01f, -0.01f, outside);
  });
}

void PaintFlat(PaintCanvas& c, Rgb colour) {
  c.PaintAll([&](float u, float v, Texel& t) {
    t.colour = Scale(colour, 0.95f + 0.05f * TileNoise(u * 4, v * 4, 4, 11));
  });
}

void PaintTape(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const bool band = v > 0.3f && v < 0.7f;
    const bool red = std::fmod(u * 8 + v * 2, 1.0f) < 0.5f;
    t.colour = red ? Rgb{0.85f, 0.1f, 0.08f} : Rgb{0.95f, 0.95f, 0.92f};
    t.alpha = band ? 1.0f : 0.0f;
  });
}

void PaintGlowSquare(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    t.colour = {1, 1, 1};
    t.alpha = Smooth(1.0f, 0.3f, 2 * std::max(std::fabs(u - 0.5f), std::fabs(v - 0.5f)));
  });
}

void PaintBlobShadow(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float dark = 0.65f * Smooth(1.0f, 0.3f, Radius(u, v));
    t.colour = {1 - dark, 1 - dark, 1 - dark};
    t.alpha = dark;
  });
}

void PaintGrassTint(PaintCanvas& c) {
  c.PaintAll([&](float u, float v, Texel& t) {
    const float n = TileFractal(u * 4, v * 4, 4, 5, 70);
    t.colour = Mix(Rgb{0.75f, 0.85f, 0.55f}, Rgb{1.0f, 0.95f, 0.75f}, n);
  });
}

void Paint(const ListedTexture& entry, PaintCanvas& c) {
  switch (entry.number) {
    case kTailLampFlareTexture: return PaintGlow(c, 4, 0.12f);
    case kGlowTexture: return PaintGlow(c, 8, 0.18f);
    case kGlowSquareTexture: return PaintGlowSquare(c);
    case kTurboRingTexture: return PaintGlow(c, 0, 0.3f);
    case kSmokeTexture: return PaintPuff(c, {0.55f, 0.55f, 0.56f}, 52, 0.9f);
    case kDustTexture: return PaintPuff(c, {0.62f, 0.53f, 0.4f}, 54, 0.8f);
    case kFireTexture: return PaintFire(c);
    case kBlobShadowTexture: return PaintBlobShadow(c);
    case kBarrierTapeTexture: return PaintTape(c);
    case kTyreTrackTexture: case kTyreTrackNormalMapTexture: return PaintTyreTrack(c);
    case kSkyBoxTexture: return PaintSkyCross(c);
    case kSkyRingTexture: return PaintSkyRing(c);
    case kGrassAtlasTexture: return PaintGrassAtlas(c);
    case kTreeAtlasTexture: return PaintTreeAtlas(c);
    case kGrassTintTexture: return PaintGrassTint(c);
    case kPropColourTexture: case kPropNormalMapTexture: return PaintPropAtlas(c);
    default:
      if (entry.components == 4) return PaintPlates(c, 1, 1, false);
      return PaintFlat(c, Rgb{0.5f, 0.5f, 0.5f});
  }
}

}  // namespace

const ListedTexture* FindListedTexture(int number) {
  for (const ListedTexture& entry : kListed)
    if (entry.number == number) return &entry;
  return nullptr;
}

int ListedTextureCount() { return int(sizeof kListed / sizeof kListed[0]); }
const ListedTexture& ListedTextureAt(int i) { return kListed[i]; }

RasterImage MakeListedTexture(int number) {
  const ListedTexture* entry = FindListedTexture(number);
  if (entry == nullptr) return {};
  // The menus' and the race screens' own pictures stand for their numbers.
  for (RasterImage art : {MakeMenuArt(number), MakeRaceArt(number)}) {
    if (!art.pixels.empty()) return art;
  }
  PaintCanvas canvas(entry->width, entry->height);
  Paint(*entry, canvas);
  // Normal maps are the relief of their colour texture's painting.
  if (number == kTyreTrackNormalMapTexture) return canvas.NormalMap(0.5f);
  if (number == kPropNormalMapTexture) return canvas.NormalMap(0.6f);
  return canvas.ColourImage(entry->components);
}

bool GenerateListedTextures(const std::string& base) {
  bool ok = true;
  for (const ListedTexture& entry : kListed) {
    char name[16];
    std::snprintf(name, sizeof name, "tex%02d.tga", entry.number);
    ok &= WriteTga(base + "/textures/" + name, MakeListedTexture(entry.number));
  }
  return ok;
}
