#include "tools/gen_props.h"

#include <algorithm>
#include <cmath>

#include "tools/mesh_builder.h"
#include "tools/paint_canvas.h"

namespace {

// ---- The atlas ---------------------------------------------------------------

// Every prop part is drawn with the atlas's colour and normal map
// textures, in cells of kPropCellsPerRow × kPropCellsPerRow.
constexpr int kAtlasSide = 512;
constexpr int kPropCellsPerRow = 4;
constexpr AtlasLayout kAtlas{kAtlasSide, kPropCellsPerRow, 3};

enum PropCell {
  kConcrete, kStripes, kCrateWood, kHay, kBarrel, kRubber, kSteel, kChevron,
  kBanner, kCone, kRust, kLampGlass, kFenceWood, kHazard, kDarkMetal, kBlueDrum
};

float Smooth(float a, float b, float x) {
  const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

void PaintCell(PaintCanvas& c, int cell, int cellSide, const std::function<void(float, float, Texel&)>& paint) {
  const int x0 = (cell % kPropCellsPerRow) * cellSide, y0 = (cell / kPropCellsPerRow) * cellSide;
  c.Paint(x0, y0, x0 + cellSide, y0 + cellSide, paint);
}

// ---- Building ---------------------------------------------------------------

// A solid built in the 0..1 square of its texture, moved into one cell.
class PropBuilder {
 public:
  explicit PropBuilder(Ms3dFile* file) : file_(file) {}

  template <typename Build>
  void In(int cell, const Matrix4& placement, Build build) {
    BuildInCell(file_, kAtlas, cell, placement, build);
  }

  void Box(int cell, const Vector3& lo, const Vector3& hi) {
    In(cell, Matrix4(), [&](MeshBuilder& m) { m.Box(lo, hi); });
  }

  // A closed cylinder standing along y from y0 to y1.
  void Upright(int cell, float x, float z, float radius, float y0, float y1, int segments) {
    In(cell, Place({x, 0, z}, 0, -90), [&](MeshBuilder& m) { m.Cylinder(radius, y0, y1, segments); });
  }

  // A tyre lying flat (axis y) from y0 to y1.
  void LyingTyre(float x, float z, float inner, float outer, float y0, float y1) {
    In(kRubber, Place({x, 0, z}, 0, -90), [&](MeshBuilder& m) { m.ThickRing(inner, outer, y0, y1, 14); });
  }

  // A cone standing along y: radius r0 at y0 narrowing to r1 at y1.
  void Cone(int cell, float r0, float r1, float y0, float y1, int segments) {
    In(cell, Matrix4(), [&](MeshBuilder& m) {
      for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * NE_PI * float(i) / segments, a1 = 2 * NE_PI * float(i + 1) / segments;
        const float slope = (r0 - r1) / (y1 - y0);
        auto at = [](float a, float r, float y) { return Vector3(r * std::cos(a), y, -r * std::sin(a)); };
        auto normal = [&](float a) { return Vector3(std::cos(a), slope, -std::sin(a)); };
        const Vector3 p[4] = {at(a0, r0, y0), at(a1, r0, y0), at(a1, r1, y1), at(a0, r1, y1)};
        const Vector3 n[4] = {normal(a0), normal(a1), normal(a1), normal(a0)};
        const float s0 = float(i) / segments, s1 = float(i + 1) / segments;
        const float st[4][2] = {{s0, 0}, {s1, 0}, {s1, 1}, {s0, 1}};
        m.Quad(p, n, st);
      }
    });
  }

 private:
  Ms3dFile* file_;
};

// Every model is built with its box's bottom at y = 0 and centred in x and
// z, then moved down by half the box height so that it is centred on it.
void BuildPost(PropBuilder& b, const Vector3& s, int body, int band) {
  const float r = s.x / 2 - 0.02f;
  b.Upright(body, 0, 0, r, 0, s.y * 0.7f, 16);
  b.Upright(band, 0, 0, r, s.y * 0.7f, s.y * 0.85f, 16);
  b.Upright(body, 0, 0, r, s.y * 0.85f, s.y - 0.06f, 16);
  b.Upright(kDarkMetal, 0, 0, r * 0.7f, s.y - 0.06f, s.y, 16);
  b.Box(kConcrete, {-s.x / 2, 0, -s.z / 2}, {s.x / 2, 0.08f, s.z / 2});  // footing
}

void BuildBarrel(PropBuilder& b, const Vector3& s, int cell) {
  const float r = s.x / 2;
  b.Upright(cell, 0, 0, r * 0.96f, 0, s.y, 18);
  for (float y : {0.05f, s.y * 0.36f, s.y * 0.64f, s.y - 0.05f}) b.Upright(kSteel, 0, 0, r, y - 0.03f, y + 0.03f, 18);
}

void BuildTyreStack(PropBuilder& b, const Vector3& s) {
  const int tyres = 4;
  for (int i = 0; i < tyres; ++i) {
    const float y0 = s.y * float(i) / tyres, y1 = s.y * float(i + 1) / tyres;
    b.LyingTyre(0, 0, s.x * 0.26f, s.x / 2, y0, y1 - 0.01f);
  }
}

void BuildCrate(PropBuilder& b, const Vector3& s) {
  b.Box(kCrateWood, {-s.x / 2 + 0.05f, 0.05f, -s.z / 2 + 0.05f}, {s.x / 2 - 0.05f, s.y - 0.05f, s.z / 2 - 0.05f});
  // Corner posts and rims standing proud of the boards.
  for (float x : {-1.0f, 1.0f})
    for (float z : {-1.0f, 1.0f})
      b.Box(kDarkMetal, {x * s.x / 2 - (x > 0 ? 0.12f : 0), 0, z * s.z / 2 - (z > 0 ? 0.12f : 0)},
            {x * s.x / 2 + (x < 0 ? 0.12f : 0), s.y, z * s.z / 2 + (z < 0 ? 0.12f : 0)});
}

void BuildHayBale(PropBuilder& b, const Vector3& lo, const Vector3& hi) {
  b.Box(kHay, lo, hi);
  const float midY = (lo.y + hi.y) / 2;
  for (float x : {lo.x + (hi.x - lo.x) * 0.3f, lo.x + (hi.x - lo.x) * 0.7f})  // twine
    b.Box(kDarkMetal, {x - 0.02f, midY - 0.01f, lo.z - 0.01f}, {x + 0.02f, midY + 0.01f, hi.z + 0.01f});
}

// A board on legs, its face towards -z with an A-frame foot filling the depth.
void BuildSignBoard(PropBuilder& b, const Vector3& s, int face, float boardBottom) {
  const float w = s.x / 2, d = s.z / 2;
  b.Box(face, {-w, boardBottom, -d}, {w, s.y, -d + 0.1f});
  for (float x : {-w * 0.75f, w * 0.75f}) {
    b.Box(kSteel, {x - 0.06f, 0, -d + 0.1f}, {x + 0.06f, s.y - 0.05f, -d + 0.22f});
    b.Box(kSteel, {x - 0.05f, 0, -d}, {x + 0.05f, 0.1f, d});  // foot
    b.In(kSteel, Place({x, 0.05f, d - 0.05f}, 0, 0) * [&] {
      Matrix4 r;
      r.SetRotationX(-std::atan2(2 * d - 0.2f, s.y * 0.6f) / kDegreesToRadians);
      return r;
    }(), [&](MeshBuilder& m) { m.Box({-0.04f, 0, -0.04f}, {0.04f, s.y * 0.62f, 0.04f}); });
  }
}

void BuildJerseyBarrier(PropBuilder& b, const Vector3& s) {
  // An extruded trapezoid along x.
  const float w = s.x / 2, base = s.z / 2, top = s.z * 0.2f;
  b.In(kConcrete, Matrix4(), [&](MeshBuilder& m) {
    const Vector3 profile[6] = {{0, 0, base}, {0, s.y * 0.15f, base}, {0, s.y * 0.35f, top + 0.05f},
                                {0, s.y, top}, {0, s.y, -top}, {0, s.y * 0.35f, -top - 0.05f}};
    const Vector3 rest[2] = {{0, s.y * 0.15f, -base}, {0, 0, -base}};
    Vector3 ring[8];
    for (int i = 0; i < 6; ++i) ring[i] = profile[i];
    ring[6] = rest[0];
    ring[7] = rest[1];
    for (int i = 0; i < 8; ++i) {
      const Vector3 a = ring[i], c = ring[(i + 1) % 8];
      const Vector3 p[4] = {{w, a.y, a.z}, {-w, a.y, a.z}, {-w, c.y, c.z}, {w, c.y, c.z}};
      Vector3 n = CrossProduct(p[1] - p[0], p[2] - p[0]);
      const float st[4][2] = {{1, float(i) / 8}, {0, float(i) / 8}, {0, float(i + 1) / 8}, {1, float(i + 1) / 8}};
      const Vector3 ns[4] = {n, n, n, n};
      m.Quad(p, ns, st);
    }
    for (float x : {w, -w})
      for (int i = 1; i + 1 < 8; ++i) {
        Vector3 p[3] = {{x, ring[0].y, ring[0].z}, {x, ring[i].y, ring[i].z}, {x, ring[i + 1].y, ring[i + 1].z}};
        if (x < 0) std::swap(p[1], p[2]);
        const Vector3 n(x > 0 ? 1.0f : -1.0f, 0, 0), ns[3] = {n, n, n};
        const float st[3][2] = {{0.5f + ring[0].z / s.z, ring[0].y / s.y}, {0.5f + p[1].z / s.z, p[1].y / s.y},
                                {0.5f + p[2].z / s.z, p[2].y / s.y}};
        m.Triangle(p, ns, st);
      }
  });
}

void BuildPlasticBarrier(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2, d = s.z / 2;
  b.Box(kStripes, {-w + 0.05f, 0.1f, -d + 0.08f}, {w - 0.05f, s.y, d - 0.08f});
  b.Box(kStripes, {-w, 0, -d}, {w, 0.1f, d});  // foot
}

void BuildGuardRail(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2, d = s.z / 2;
  b.Box(kSteel, {-w, s.y * 0.55f, -d}, {w, s.y * 0.8f, -d + 0.12f});   // the beam
  b.Box(kSteel, {-w, s.y * 0.62f, -d + 0.12f}, {w, s.y * 0.73f, -d + 0.2f});
  for (float x : {-w + 0.15f, 0.0f, w - 0.15f}) b.Box(kDarkMetal, {x - 0.07f, 0, -d + 0.2f}, {x + 0.07f, s.y, -d + 0.34f});
  for (float x : {-w + 0.15f, 0.0f, w - 0.15f}) b.Box(kConcrete, {x - 0.15f, 0, -d}, {x + 0.15f, 0.12f, d});
}

void BuildFence(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2, d = s.z / 2;
  for (float x : {-w + 0.08f, 0.0f, w - 0.08f}) b.Box(kFenceWood, {x - 0.08f, 0, -0.08f}, {x + 0.08f, s.y, 0.08f});
  for (float y : {0.35f, 0.75f, 1.15f}) b.Box(kFenceWood, {-w, y - 0.08f, 0.08f}, {w, y + 0.08f, 0.14f});
  for (float x : {-w + 0.08f, w - 0.08f}) b.Box(kFenceWood, {x - 0.05f, 0, -d}, {x + 0.05f, 0.1f, d});  // braces
}

void BuildTyreWall(PropBuilder& b, const Vector3& s) {
  const float r = s.z / 2;
  const int columns = int(s.x / s.z);
  const int layers = 3;
  for (int c = 0; c < columns; ++c)
    for (int l = 0; l < layers; ++l) {
      const float x = -s.x / 2 + r + (s.x - 2 * r) * float(c) / float(columns - 1);
      b.LyingTyre(x, 0, r * 0.5f, r, s.y * float(l) / layers, s.y * float(l + 1) / layers - 0.01f);
    }
}

void BuildHayRow(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2, d = s.z / 2;
  for (int i = 0; i < 3; ++i) {
    const float x0 = -w + s.x * float(i) / 3, x1 = -w + s.x * float(i + 1) / 3 - 0.04f;
    BuildHayBale(b, {x0, 0, -d}, {x1, s.y * 0.5f, d});
    if (i < 2) BuildHayBale(b, {x0 + s.x / 6, s.y * 0.5f, -d * 0.95f}, {x1 + s.x / 6, s.y, d * 0.95f});
  }
}

void BuildBannerFence(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2, d = s.z / 2;
  for (float x : {-w + 0.06f, w - 0.06f}) {
    b.Box(kSteel, {x - 0.06f, 0, -0.06f}, {x + 0.06f, s.y, 0.06f});
    b.Box(kSteel, {x - 0.05f, 0, -d}, {x + 0.05f, 0.08f, d});
  }
  b.Box(kBanner, {-w + 0.12f, 0.3f, -0.02f}, {w - 0.12f, s.y - 0.05f, 0.02f});
}

void BuildCone(PropBuilder& b, const Vector3& s) {
  b.Box(kCone, {-s.x / 2, 0, -s.z / 2}, {s.x / 2, 0.08f, s.z / 2});
  b.Cone(kCone, s.x * 0.42f, 0.05f, 0.08f, s.y, 16);
}

void BuildTower(PropBuilder& b, const Vector3& s) {
  const float w = s.x / 2 - 0.06f;
  const float headY = s.y - 0.7f;
  for (float x : {-w, w})
    for (float z : {-w, w}) b.Box(kSteel, {x - 0.05f, 0, z - 0.05f}, {x + 0.05f, headY, z + 0.05f});
  for (float y = 0.6f; y < headY; y += 0.8f) {  // bracing rings
    b.Box(kSteel, {-w, y, -w - 0.03f}, {w, y + 0.06f, -w + 0.03f});
    b.Box(kSteel, {-w, y, w - 0.03f}, {w, y + 0.06f, w + 0.03f});
    b.Box(kSteel, {-w - 0.03f, y, -w}, {-w + 0.03f, y + 0.06f, w});
    b.Box(kSteel, {w - 0.03f, y, -w}, {w + 0.03f, y + 0.06f, w});
  }
  b.Box(kDarkMetal, {-s.x / 2, headY, -s.z / 2}, {s.x / 2, headY + 0.12f, s.z / 2});  // platform
  b.Box(kHazard, {-s.x / 2 + 0.1f, headY + 0.12f, -s.z / 2 + 0.1f}, {s.x / 2 - 0.1f, s.y - 0.1f, s.z / 2 - 0.1f});
  b.Box(kLampGlass, {-s.x / 2 + 0.15f, headY + 0.2f, -s.z / 2 + 0.05f}, {s.x / 2 - 0.15f, s.y - 0.18f, -s.z / 2 + 0.1f});
  b.Box(kDarkMetal, {-s.x / 2 + 0.05f, s.y - 0.1f, -s.z / 2 + 0.05f}, {s.x / 2 - 0.05f, s.y, s.z / 2 - 0.05f});
}

void BuildPart(PropBuilder& b, int type, int part, const Vector3& s) {
  switch (type) {
    case 0: return BuildPost(b, s, kConcrete, kStripes);
    case 1: return BuildBarrel(b, s, kBlueDrum);
    case 2: return BuildTyreStack(b, s);
    case 3: return BuildCrate(b, s);
    case 4:
      if (part == 0) return b.Box(kConcrete, {-s.x / 2, 0, -s.z / 2}, {s.x / 2, s.y, s.z / 2});
      return BuildSignBoard(b, s, kChevron, s.y * 0.35f);
    case 5:
      if (part == 0) return BuildHayBale(b, {-s.x / 2, 0, -s.z / 2}, {s.x / 2, s.y, s.z / 2});
      return BuildSignBoard(b, s, kBanner, s.y * 0.3f);
    case 6: return BuildHayBale(b, {-s.x / 2, 0, -s.z / 2}, {s.x / 2, s.y, s.z / 2});
    case 7: return BuildJerseyBarrier(b, s);
    case 8: return BuildPlasticBarrier(b, s);
    case 9: return BuildGuardRail(b, s);
    case 10: return BuildFence(b, s);
    case 11: return BuildTyreWall(b, s);
    case 12: return BuildHayRow(b, s);
    case 13: return BuildBannerFence(b, s);
    case 14: return BuildBarrel(b, s, kRust);
    case 15: return BuildCone(b, s);
    case 16: return BuildPost(b, s, kDarkMetal, kHazard);
    case 17: return BuildTower(b, s);
    default: return;
  }
}

}  // namespace

Vector3 PropPartBox(int type, int part) {
  if (part < 0 || part >= PropPartCount(type)) return Vector3();
  const neV3& size = kPropParts[type][part].boxSize;
  return {size.x, size.y, size.z};
}

Vector3 PropPartOffset(int type, int part) {
  if (part < 0 || part >= PropPartCount(type)) return Vector3();
  const neV3& offset = kPropParts[type][part].offset;
  return {offset.x, offset.y, offset.z};
}

Ms3dFile MakePropPartModel(int type, int part) {
  Ms3dFile file;
  if (part < 0 || part >= PropPartCount(type)) return file;
  file.groups.push_back({"part", {}, -1});
  PropBuilder builder(&file);
  const Vector3 size = PropPartBox(type, part);
  BuildPart(builder, type, part, size);
  // Built standing on y = 0: centre it on the box.
  for (Ms3dVertex& v : file.vertices) v.position[1] -= size.y / 2;
  return file;
}

void PaintPropAtlas(PaintCanvas& c) {
  const int cellSide = c.Width() / kPropCellsPerRow;
  auto noise = [](float u, float v, int scale, uint32_t seed) { return TileFractal(u * float(scale), v * float(scale), scale, 4, seed); };
  PaintCell(c, kConcrete, cellSide, [&](float u, float v, Texel& t) {
    const float n = noise(u, v, 8, 1);
    const float pit = Hash01(int(u * 128), int(v * 128), 2) > 0.97f ? 1.0f : 0.0f;
    t.colour = Scale(Rgb{0.62f, 0.61f, 0.58f}, 0.8f + 0.3f * n - 0.25f * pit);
    t.height = 2 * n - pit;
  });
  PaintCell(c, kStripes, cellSide, [&](float u, float v, Texel& t) {
    const bool red = std::fmod(u * 4 + 10, 1.0f) < 0.5f;
    t.colour = Scale(red ? Rgb{0.85f, 0.1f, 0.08f} : Rgb{0.95f, 0.95f, 0.93f}, 0.9f + 0.1f * noise(u, v, 4, 3));
    (void)v;
  });
  PaintCell(c, kCrateWood, cellSide, [&](float u, float v, Texel& t) {
    const float plank = std::fmod(v * 6, 1.0f);
    const float gap = Smooth(0.05f, 0.0f, std::min(plank, 1 - plank));
    const float grain = noise(u * 0.2f, v * 4, 16, 4);
    t.colour = Scale(Rgb{0.62f, 0.45f, 0.26f}, (0.75f + 0.35f * grain) * (1 - 0.7f * gap));
    t.height = -3 * gap + grain;
  });
  PaintCell(c, kHay, cellSide, [&](float u, float v, Texel& t) {
    const float straw = noise(u * 4, v * 0.5f, 32, 5);
    t.colour = Scale(Rgb{0.82f, 0.7f, 0.38f}, 0.7f + 0.45f * straw);
    t.height = 3 * straw;
  });
  PaintCell(c, kBarrel, cellSide, [&](float u, float v, Texel& t) {
    t.colour = Scale(Rgb{0.15f, 0.35f, 0.65f}, 0.85f + 0.2f * noise(u, v, 4, 6));
  });
  PaintCell(c, kRubber, cellSide, [&](float u, float v, Texel& t) {
    const float lug = 0.5f + 0.5f * std::sin(u * 2 * NE_PI * 24);
    t.colour = Scale(Rgb{0.09f, 0.09f, 0.09f}, 0.8f + 0.4f * lug);
    t.height = 2 * lug;
    (void)v;
  });
  PaintCell(c, kSteel, cellSide, [&](float u, float v, Texel& t) {
    const float n = noise(u, v, 8, 7);
    t.colour = Scale(Rgb{0.68f, 0.7f, 0.72f}, 0.85f + 0.25f * n);
    t.height = 0.5f * n;
  });
  PaintCell(c, kChevron, cellSide, [&](float u, float v, Texel& t) {
    // Black chevrons pointing right on yellow.
    const float stripe = std::fmod(u * 3 - std::fabs(v - 0.5f) * 2 + 10, 1.0f);
    t.colour = stripe < 0.45f ? Rgb{0.08f, 0.08f, 0.08f} : Rgb{0.95f, 0.78f, 0.1f};
    t.height = stripe < 0.45f ? 0.5f : 0.0f;
  });
  PaintCell(c, kBanner, cellSide, [&](float u, float v, Texel& t) {
    // A sponsor banner: white with a blue band and block "lettering".
    const bool band = v > 0.62f && v < 0.88f;
    const bool letter = v > 0.2f && v < 0.5f && std::fmod(u * 9, 1.0f) < 0.7f && Hash01(int(u * 9), 0, 8) > 0.2f;
    t.colour = band ? Rgb{0.1f, 0.25f, 0.7f} : letter ? Rgb{0.8f, 0.1f, 0.1f} : Rgb{0.95f, 0.95f, 0.95f};
  });
  PaintCell(c, kCone, cellSide, [&](float u, float v, Texel& t) {
    const bool band = v > 0.45f && v < 0.62f;
    t.colour = band ? Rgb{0.95f, 0.95f, 0.95f} : Rgb{0.95f, 0.4f, 0.05f};
    (void)u;
  });
  PaintCell(c, kRust, cellSide, [&](float u, float v, Texel& t) {
    const float n = noise(u, v, 8, 9);
    t.colour = Mix(Rgb{0.55f, 0.12f, 0.08f}, Rgb{0.45f, 0.28f, 0.14f}, Smooth(0.45f, 0.7f, n));
    t.height = n;
  });
  PaintCell(c, kLampGlass, cellSide, [&](float u, float v, Texel& t) {
    const float facet = 0.5f + 0.5f * std::sin(u * 40) * std::sin(v * 40);
    t.colour = Scale(Rgb{0.95f, 0.95f, 0.85f}, 0.85f + 0.15f * facet);
    t.height = facet;
  });
  PaintCell(c, kFenceWood, cellSide, [&](float u, float v, Texel& t) {
    const float grain = noise(u * 4, v * 0.25f, 16, 10);
    t.colour = Scale(Rgb{0.5f, 0.42f, 0.33f}, 0.7f + 0.4f * grain);
    t.height = 2 * grain;
  });
  PaintCell(c, kHazard, cellSide, [&](float u, float v, Texel& t) {
    const bool black = std::fmod(u * 4 + v * 4 + 10, 1.0f) < 0.5f;
    t.colour = black ? Rgb{0.08f, 0.08f, 0.08f} : Rgb{0.95f, 0.8f, 0.1f};
  });
  PaintCell(c, kDarkMetal, cellSide, [&](float u, float v, Texel& t) {
    const float n = noise(u, v, 8, 12);
    t.colour = Scale(Rgb{0.2f, 0.21f, 0.22f}, 0.8f + 0.4f * n);
    t.height = 0.5f * n;
  });
  PaintCell(c, kBlueDrum, cellSide, [&](float u, float v, Texel& t) {
    const float n = noise(u, v, 8, 13);
    const bool label = v > 0.35f && v < 0.55f && u > 0.1f && u < 0.4f;
    t.colour = label ? Rgb{0.95f, 0.95f, 0.9f} : Scale(Rgb{0.12f, 0.3f, 0.62f}, 0.8f + 0.3f * n);
    t.height = n;
  });
}

bool GeneratePropParts(const std::string& base) {
  bool ok = true;
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < PropPartCount(type); ++part)
      ok &= WriteMs3d(base + "/objects/object" + std::to_string(type) + "part" + std::to_string(part) + ".sbm",
                      MakePropPartModel(type, part));
  return ok;
}
