#include "tools/truck_atlases.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "math/ne_math.h"
#include "tools/paint_canvas.h"
#include "tools/truck_shape.h"
#include "world/catalogue.h"

namespace {

Rgb ZoneColour(int catalogueIndex, int zone) {
  const float* c = gCarCatalogue[catalogueIndex].zoneColour[zone];
  return {c[0], c[1], c[2]};
}

// Truck coordinates of a pixel of a cell's picture, by projection.
struct CellPoint {
  float a, b;  // side: x, y; top: x, z; end: z, y
};

CellPoint Unproject(Projection projection, float u, float v) {
  auto from = [](float f, const float span[2]) { return span[0] + f * (span[1] - span[0]); };
  switch (projection) {
    case kSide: return {from(u, kSpanX), from(v, kSpanY)};
    case kTop: return {from(u, kSpanX), from(v, kSpanZ)};
    case kEnd: return {from(u, kSpanZ), from(v, kSpanY)};
  }
  return {};
}

// Paints one cell: paint(u, v, texel) with (u, v) the fraction of the
// cell's picture, which Unproject turns back into truck coordinates by the
// projection of the faces that use the cell.
void PaintCell(PaintCanvas& canvas, int cell, const std::function<void(float u, float v, Texel&)>& paint) {
  const int x0 = (cell % kCellsPerRow) * kCellSide, y0 = (cell / kCellsPerRow) * kCellSide;
  canvas.Paint(x0, y0, x0 + kCellSide, y0 + kCellSide, [&](float u, float v, Texel& t) {
    const float inner = float(kCellSide - 2 * kCellMargin) / kCellSide;
    const float margin = float(kCellMargin) / kCellSide;
    paint(std::clamp((u - margin) / inner, 0.0f, 1.0f), std::clamp((v - margin) / inner, 0.0f, 1.0f), t);
  });
}

// A groove of the given width at distance d from its line: height and shade.
float Groove(float d, float width) { return std::max(0.0f, 1.0f - std::fabs(d) / width); }

// Paint with a little sheen variation and the road's dirt toward the bottom.
Rgb Painted(Rgb paint, float u, float v, float y, uint32_t seed) {
  const float sheen = 0.93f + 0.1f * TileFractal(u * 8, v * 8, 8, 3, seed);
  const float dirt = std::clamp((0.35f - y) / 0.8f, 0.0f, 1.0f) * (0.55f + 0.45f * TileFractal(u * 16, v * 16, 16, 3, seed + 5));
  return Mix(Scale(paint, sheen), Rgb{0.32f, 0.27f, 0.2f}, dirt * 0.8f);
}

void PaintBodyAtlas(int catalogueIndex, TruckStyle style, const StyleShape& shape, PaintCanvas& canvas) {
  const uint32_t seed = 900u + uint32_t(catalogueIndex) * 31u;
  const float doorFront = shape.keys[2].x - 0.05f;
  const float doorRear = std::max(shape.keys[4].x, doorFront - 1.6f);
  const int truckClass = ClassOfTruck(catalogueIndex);
  const Rgb stripe = ZoneColour(catalogueIndex, kZoneSills);
  // Side panels: doors with their seams and handles, a class stripe.
  auto side = [&](int zone) {
    return [&, zone](float u, float v, Texel& t) {
      const CellPoint p = Unproject(kSide, u, v);
      const float px = 6.8f / (kCellSide - 2 * kCellMargin);  // truck units per pixel
      float seam = std::max(Groove(p.a - doorFront, px * 1.2f), Groove(p.a - doorRear, px * 1.2f));
      if (IsCab(StationAt(shape, -0.4f, p.a).kind) && p.b > shape.waistY + 0.05f) seam = std::max(seam, Groove(p.a - (doorFront + doorRear) / 2, px * 1.2f) * (style == TruckStyle::kMagnum ? 1.0f : 0.0f));
      Rgb colour = Painted(ZoneColour(catalogueIndex, zone), u, v, p.b, seed);
      if (truckClass > 0 && zone == kZoneBody && std::fabs(p.b - (shape.waistY + 0.18f)) < 0.05f * float(truckClass))
        colour = Painted(stripe, u, v, p.b, seed);
      const bool handle = p.a < doorFront - 0.15f && p.a > doorFront - 0.4f && std::fabs(p.b - (shape.waistY + 0.3f)) < 0.035f;
      if (handle) colour = Rgb{0.75f, 0.75f, 0.78f};
      t.colour = Scale(colour, 1.0f - 0.6f * seam);
      t.height = -2.0f * seam + (handle ? 1.0f : 0.0f);
    };
  };
  PaintCell(canvas, kCellBody, side(kZoneBody));
  PaintCell(canvas, kCellSills, [&](float u, float v, Texel& t) {
    const CellPoint p = Unproject(kSide, u, v);
    const float ribs = 0.5f + 0.5f * std::sin(p.a * 40);
    t.colour = Scale(Painted(ZoneColour(catalogueIndex, kZoneSills), u, v, p.b, seed + 1), 0.85f + 0.15f * ribs);
    t.height = ribs;
  });
  // Hood and roof seen from above: seams along the edges, a bulge line.
  auto top = [&](int zone, bool stripes) {
    return [&, zone, stripes](float u, float v, Texel& t) {
      const CellPoint p = Unproject(kTop, u, v);
      Rgb colour = Painted(ZoneColour(catalogueIndex, zone), u, v, 1.0f, seed + 2);
      if (stripes && truckClass > 0 && std::fabs(std::fabs(p.b) - 0.28f) < 0.09f) colour = Painted(stripe, u, v, 1.0f, seed + 2);
      const float edge = Groove(std::fabs(p.b) - (shape.halfWidth - 0.25f), 0.03f);
      t.colour = Scale(colour, 1.0f - 0.5f * edge);
      t.height = -2.0f * edge + 0.6f * Groove(std::fabs(p.b) - 0.45f, 0.12f);
    };
  };
  PaintCell(canvas, kCellHood, top(kZoneHood, true));
  PaintCell(canvas, kCellRoof, top(kZoneRoof, false));
  // The deck: a ribbed tonneau cover in the trunk lid's colour.
  PaintCell(canvas, kCellTrunkLid, [&](float u, float v, Texel& t) {
    const CellPoint p = Unproject(kTop, u, v);
    const float rib = 0.5f + 0.5f * std::cos(p.a * 18);
    t.colour = Scale(Painted(ZoneColour(catalogueIndex, kZoneTrunkLid), u, v, 1.0f, seed + 3), 0.8f + 0.2f * rib);
    t.height = 1.5f * rib;
  });
  auto plain = [&](int zone, uint32_t s) {
    return [&, zone, s](float u, float v, Texel& t) {
      const CellPoint p = Unproject(kSide, u, v);
      t.colour = Painted(ZoneColour(catalogueIndex, zone), u, v, p.b + 0.3f, s);
      t.height = 0.5f * TileNoise(u * 32, v * 32, 32, s);
    };
  };
  PaintCell(canvas, kCellFrontBumper, plain(kZoneFrontBumper, seed + 4));
  PaintCell(canvas, kCellRearBumper, plain(kZoneRearBumper, seed + 5));
  PaintCell(canvas, kCellInterior, [&](float u, float v, Texel& t) {
    const float n = TileNoise(u * 16, v * 16, 16, seed + 6);
    t.colour = {0.06f + 0.03f * n, 0.065f + 0.03f * n, 0.07f + 0.03f * n};
  });
  // Front: body-coloured with a slatted grille between the head lamps.
  PaintCell(canvas, kCellGrille, [&](float u, float v, Texel& t) {
    const CellPoint p = Unproject(kEnd, u, v);
    const float top = StationAt(shape, -0.4f, kNoseX).top;
    const bool grille = std::fabs(p.a) < shape.halfWidth - 0.6f && p.b > 0.05f && p.b < top - 0.08f;
    if (grille) {
      const float slat = 0.5f + 0.5f * std::cos(p.b * 60);
      t.colour = Mix(Rgb{0.05f, 0.05f, 0.05f}, Rgb{0.55f, 0.56f, 0.58f}, slat * slat);
      t.height = 2.0f * slat;
    } else {
      t.colour = Painted(ZoneColour(catalogueIndex, kZoneBody), u, v, p.b, seed + 7);
      t.height = 0;
    }
  });
  PaintCell(canvas, kCellTail, [&](float u, float v, Texel& t) {
    const CellPoint p = Unproject(kEnd, u, v);
    const float gate = Groove(p.b - (shape.waistY - 0.05f), 0.02f);
    t.colour = Scale(Painted(ZoneColour(catalogueIndex, kZoneBody), u, v, p.b, seed + 8), 1.0f - 0.5f * gate);
    t.height = -2.0f * gate;
  });
  PaintCell(canvas, kCellChassis, [&](float u, float v, Texel& t) {
    const float n = TileFractal(u * 8, v * 8, 8, 3, seed + 9);
    t.colour = Mix(Rgb{0.07f, 0.07f, 0.07f}, Rgb{0.25f, 0.21f, 0.16f}, n * 0.6f);
    t.height = n;
  });
  PaintCell(canvas, kCellChrome, [&](float u, float v, Texel& t) {
    const float g = 0.55f + 0.35f * std::sin(v * 3.1f) + 0.05f * TileNoise(u * 16, v * 16, 16, seed);
    t.colour = {g, g, g * 1.03f};
    (void)u;
  });
  PaintCell(canvas, kCellTyre, [&](float u, float v, Texel& t) {
    const float lug = 0.5f + 0.5f * std::sin(u * 80);
    t.colour = Scale(Rgb{0.09f, 0.09f, 0.09f}, 0.8f + 0.4f * lug);
    t.height = 2.0f * lug;
    (void)v;
  });
  PaintCell(canvas, kCellCanvas, [&](float u, float v, Texel& t) {
    const float weave = 0.5f + 0.25f * (std::sin(u * 400) + std::sin(v * 400));
    const float n = TileFractal(u * 6, v * 6, 6, 4, seed + 10);
    t.colour = Scale(Rgb{0.36f, 0.38f, 0.22f}, 0.8f + 0.25f * n + 0.06f * weave);
    t.height = weave + 3.0f * n;
  });
  PaintCell(canvas, kCellStripe, [&](float u, float v, Texel& t) {
    t.colour = Painted(stripe, u, v, 1.0f, seed + 11);
    t.height = 0;
  });
}

void PaintLampAtlas(PaintCanvas& canvas) {
  const Rgb tints[4] = {{0.95f, 0.95f, 0.9f}, {0.8f, 0.05f, 0.04f}, {0.95f, 0.12f, 0.08f}, {0.92f, 0.92f, 0.95f}};
  for (int cell = 0; cell < 4; ++cell) {
    const int half = kLampAtlasSide / 2;
    canvas.Paint((cell % 2) * half, (cell / 2) * half, (cell % 2 + 1) * half, (cell / 2 + 1) * half,
                 [&](float u, float v, Texel& t) {
                   // A lens of facets over a bright reflector with a chrome rim.
                   const float facet = 0.5f + 0.5f * std::sin(u * 60) * std::sin(v * 60);
                   const float rim = std::max(Groove(u - 0.05f, 0.05f), std::max(Groove(u - 0.95f, 0.05f),
                                     std::max(Groove(v - 0.05f, 0.05f), Groove(v - 0.95f, 0.05f))));
                   t.colour = Mix(Scale(tints[cell], 0.8f + 0.2f * facet), Rgb{0.7f, 0.7f, 0.72f}, rim);
                   t.height = facet - 2.0f * rim;
                 });
  }
}

void PaintWheelAtlas(int catalogueIndex, PaintCanvas& canvas) {
  const int half = canvas.Width() / 2;
  const Rgb rims[kTruckStyleCount] = {{0.7f, 0.7f, 0.72f}, {0.15f, 0.15f, 0.16f}, {0.85f, 0.7f, 0.3f},
                                      {0.6f, 0.62f, 0.65f}, {0.9f, 0.9f, 0.92f}, {0.3f, 0.33f, 0.22f}};
  const Rgb rim = rims[int(StyleOfTruck(catalogueIndex))];
  canvas.Paint(0, 0, half, half, [&](float u, float v, Texel& t) {  // tread
    const float lug = 0.5f + 0.5f * std::sin(u * 2 * NE_PI * 20 + std::fabs(v - 0.5f) * 8);
    const float wear = TileNoise(u * 32, v * 8, 32, 77);
    t.colour = Scale(Rgb{0.1f, 0.1f, 0.1f}, 0.7f + 0.3f * lug + 0.2f * wear);
    t.height = 3.0f * lug;
  });
  canvas.Paint(half, 0, 2 * half, half, [&](float u, float v, Texel& t) {  // sidewall
    const float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
    const float letters = (r > 0.36f && r < 0.42f) ? 0.5f + 0.5f * std::sin(std::atan2(v - 0.5f, u - 0.5f) * 40) : 0;
    t.colour = Scale(Rgb{0.11f, 0.11f, 0.11f}, 1.0f + 0.8f * letters);
    t.height = letters;
  });
  canvas.Paint(0, half, half, 2 * half, [&](float u, float v, Texel& t) {  // rim
    const float spoke = 0.5f + 0.5f * std::cos(std::atan2(v - 0.5f, u - 0.5f) * 6);
    t.colour = Scale(rim, 0.75f + 0.35f * spoke);
    t.height = 2.0f * spoke;
  });
  canvas.Paint(half, half, 2 * half, 2 * half, [&](float u, float v, Texel& t) {  // hub
    t.colour = Scale(rim, 0.9f + 0.1f * std::sin(u * 12) * std::sin(v * 12));
  });
}

bool WriteTexturePair(const std::string& folder, const std::string& stem, const PaintCanvas& canvas,
                      int components, float strength) {
  return WriteTga(folder + stem + ".tga", canvas.ColourImage(components)) &&
         WriteTga(folder + stem + "_n.tga", canvas.NormalMap(strength));
}

}  // namespace

bool WriteTruckTextures(const std::string& folder, int catalogueIndex) {
  bool ok = true;
  const TruckStyle style = StyleOfTruck(catalogueIndex);
  PaintCanvas body(kAtlasSide, kAtlasSide);
  PaintBodyAtlas(catalogueIndex, style, ShapeOf(style), body);
  ok &= WriteTexturePair(folder, "car", body, 3, 0.6f);
  PaintCanvas glass(64, 64);
  glass.PaintAll([](float u, float v, Texel& t) {
    t.colour = Mix(Rgb{0.55f, 0.65f, 0.7f}, Rgb{0.8f, 0.88f, 0.92f}, 0.5f + 0.5f * std::sin((u + v) * 6));
    t.alpha = 0.45f;
  });
  ok &= WriteTexturePair(folder, "glass", glass, 4, 0.0f);
  PaintCanvas lamps(kLampAtlasSide, kLampAtlasSide);
  PaintLampAtlas(lamps);
  ok &= WriteTexturePair(folder, "optika", lamps, 3, 0.3f);
  PaintCanvas wheel(256, 256);
  PaintWheelAtlas(catalogueIndex, wheel);
  ok &= WriteTexturePair(folder, "wheel", wheel, 3, 0.5f);
  PaintCanvas flaps(64, 64);
  flaps.PaintAll([&](float u, float v, Texel& t) {
    const bool band = v > 0.2f && v < 0.32f;
    t.colour = band ? ZoneColour(catalogueIndex, kZoneBody) : Scale(Rgb{0.08f, 0.08f, 0.08f}, 0.9f + 0.2f * TileNoise(u * 8, v * 8, 8, 3));
    t.height = band ? 1.0f : 0.0f;
  });
  ok &= WriteTexturePair(folder, "splasher", flaps, 3, 0.5f);
  return ok;
}
