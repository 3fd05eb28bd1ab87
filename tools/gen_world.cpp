#include "tools/gen_world.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "framework/model.h"
#include "framework/random.h"
#include "math/ne_math.h"
#include "tools/gen_world_layout.h"
#include "tools/gen_world_textures.h"
#include "world/quadtree_baker.h"

namespace {

constexpr uint32_t kBakeSeed = 1207u;        // the grass bake's random sequence
constexpr float kGroundTexelUnits = 24.0f;   // world units per repeat of a ground texture
constexpr float kLinearTexelUnits = 60.0f;   // the same in main_road_linear, off the roads
constexpr float kRoadTextureLength = 15.0f;  // road units per repeat along the road
constexpr float kRibbonStep = 6.5f;          // units between the road surface's cross-sections
constexpr float kVergeStep = 8.0f;           // units between the pieces of verge, fence and strewn stones
constexpr float kShoulderWidth = 2.5f;       // dirt ground beside the road's edge (under its worn edge)
constexpr float kRoadEdgeWidth = 5.0f;       // the worn dirt fraying from the road's edge into the grass
constexpr float kRoadEdgeLift = 0.03f;       // that decal above the ground, units
constexpr int kMaxVertices = 65535;          // the model format's limits
constexpr int kMaxTriangles = 65535;

struct V3 {
  float x, y, z;
};
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Normalised(V3 a) {
  const float l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  return l > 0 ? a * (1.0f / l) : V3{0, 1, 0};
}

// A deterministic generator for placements, apart from the game's sequence.
struct Lcg {
  uint32_t state;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
  }
  float Range(float a, float b) { return a + (b - a) * Next(); }
};

// Grows one Ms3dFile: materials, groups, shared or loose vertices.
class Builder {
 public:
  int Material(const std::string& name, const std::string& texture, float emissiveRed = 0) {
    Ms3dMaterial m;
    m.name = name;
    m.texture = texture;
    m.emissive[0] = emissiveRed;
    m.diffuse[0] = m.diffuse[1] = m.diffuse[2] = 1.0f;
    m.ambient[0] = m.ambient[1] = m.ambient[2] = 0.6f;
    file.materials.push_back(m);
    return int(file.materials.size()) - 1;
  }
  void Group(const std::string& name, int material) {
    Ms3dGroup g;
    g.name = name;
    g.material = int8_t(material);
    file.groups.push_back(g);
  }
  int Vertex(V3 p) {
    Ms3dVertex v;
    v.position[0] = p.x;
    v.position[1] = p.y;
    v.position[2] = p.z;
    file.vertices.push_back(v);
    return int(file.vertices.size()) - 1;
  }
  // st in GL's orientation (t up); the file stores t from the top.
  // Into `group`, or the last group begun when negative.
  void Triangle(const int v[3], const V3 n[3], const float st[3][2], int group = -1) {
    Ms3dTriangle tri;
    for (int k = 0; k < 3; ++k) {
      tri.vertices[k] = uint16_t(v[k]);
      tri.normals[k][0] = n[k].x;
      tri.normals[k][1] = n[k].y;
      tri.normals[k][2] = n[k].z;
      tri.s[k] = st[k][0];
      tri.t[k] = 1.0f - st[k][1];
    }
    const size_t g = group < 0 ? file.groups.size() - 1 : size_t(group);
    tri.groupIndex = uint8_t(g);
    file.groups[g].triangles.push_back(uint16_t(file.triangles.size()));
    file.triangles.push_back(tri);
  }
  // A triangle with vertices of its own and one flat normal.
  void Loose(const V3 p[3], const float st[3][2], int group = -1) {
    const V3 n = Normalised(Cross(p[1] - p[0], p[2] - p[0]));
    const int v[3] = {Vertex(p[0]), Vertex(p[1]), Vertex(p[2])};
    const V3 ns[3] = {n, n, n};
    Triangle(v, ns, st, group);
  }
  // Quad a b c d (counter-clockwise seen from its front) on four vertices
  // of its own, st (0,0) (s,0) (s,t) (0,t).
  void Quad(V3 a, V3 b, V3 c, V3 d, float s = 1, float t = 1) {
    const V3 n = Normalised(Cross(b - a, c - a));
    const int v[4] = {Vertex(a), Vertex(b), Vertex(c), Vertex(d)};
    const int t1[3] = {v[0], v[1], v[2]}, t2[3] = {v[0], v[2], v[3]};
    const float st1[3][2] = {{0, 0}, {s, 0}, {s, t}}, st2[3][2] = {{0, 0}, {s, t}, {0, t}};
    const V3 ns[3] = {n, n, n};
    Triangle(t1, ns, st1);
    Triangle(t2, ns, st2);
  }
  Ms3dFile file;
};

V3 GridPoint(int i, int j) {
  return {-kWorldHalfSize + i * kGroundCell, GroundGridHeight(i, j), -kWorldHalfSize + j * kGroundCell};
}

V3 GridNormal(int i, int j) {
  const float dx = (GroundGridHeight(i + 1, j) - GroundGridHeight(i - 1, j)) / (2 * kGroundCell);
  const float dz = (GroundGridHeight(i, j + 1) - GroundGridHeight(i, j - 1)) / (2 * kGroundCell);
  return Normalised({-dx, 1, -dz});
}

float Slope(V3 normal) { return normal.y; }  // 1 flat, 0 vertical

// The ground's triangles: per cell (i, j) two triangles split along the
// (i + 1, j)–(i, j + 1) diagonal, wound counter-clockwise seen from above.
struct GroundTriangle {
  int corner[3][2];  // (i, j) of each corner
};

std::vector<GroundTriangle> GroundTriangles() {
  std::vector<GroundTriangle> tris;
  for (int j = 0; j < kGroundCells; ++j)
    for (int i = 0; i < kGroundCells; ++i) {
      tris.push_back({{{i, j}, {i, j + 1}, {i + 1, j}}});
      tris.push_back({{{i + 1, j}, {i, j + 1}, {i + 1, j + 1}}});
    }
  return tris;
}

// The drawn ground's texture pairs (material emissive red picks the pair).
enum GroundKind { kGrass, kShoulder, kRock, kShore, kGroundKinds };
struct GroundLook {
  const char* name;
  const char* texture;
  float emissiveRed;  // pair: 0.05 grass+dirt, 0.55 dirt+gravel, 0.45 dirt+rock, 0.25 grass+gravel
};
constexpr GroundLook kGroundLooks[kGroundKinds] = {{"grass", "ground_grass.tga", 0.05f},
                                                   {"shoulder", "ground_dirt.tga", 0.55f},
                                                   {"rock", "ground_rock.tga", 0.45f},
                                                   {"shore", "ground_shore.tga", 0.25f}};
constexpr float kRoadEmissiveRed = 0.95f;  // gravel + road surface

V3 Centroid(const GroundTriangle& t) {
  V3 c{0, 0, 0};
  for (const auto& corner : t.corner) c = c + GridPoint(corner[0], corner[1]) * (1.0f / 3);
  return c;
}

V3 FaceNormal(const GroundTriangle& t) {
  const V3 a = GridPoint(t.corner[0][0], t.corner[0][1]);
  return Normalised(Cross(GridPoint(t.corner[1][0], t.corner[1][1]) - a, GridPoint(t.corner[2][0], t.corner[2][1]) - a));
}

bool NearLake(float x, float z, float margin) {
  float lx, lz, radius;
  LakeCircle(&lx, &lz, &radius);
  return std::hypot(x - lx, z - lz) < radius + margin;
}

GroundKind ClassifyGround(const GroundTriangle& t) {
  const V3 c = Centroid(t);
  if (NearLake(c.x, c.z, 0) && c.y < LakeLevel() + 1.5f) return kShore;
  if (DistanceToRoad(c.x, c.z) < kRoadHalfWidth + kShoulderWidth) return kShoulder;
  if (Slope(FaceNormal(t)) < 0.8f) return kRock;
  return kGrass;
}

// Ground kinds of all ground triangles, computed once.
const std::vector<GroundKind>& GroundKinds() {
  static const std::vector<GroundKind> kinds = [] {
    std::vector<GroundKind> k;
    for (const GroundTriangle& t : GroundTriangles()) k.push_back(ClassifyGround(t));
    return k;
  }();
  return kinds;
}

// One cross-section of a road surface: centre, unit left and distance along.
struct Section {
  float x, z, leftX, leftZ, along;
};

std::vector<Section> RoadSections(const RoadPiece& piece, float step) {
  std::vector<Section> sections;
  float along = 0, next = 0;
  for (int k = 0; k < piece.pointCount; ++k) {
    if (k > 0) along += std::hypot(piece.x[k] - piece.x[k - 1], piece.z[k] - piece.z[k - 1]);
    if (along < next && k != piece.pointCount - 1) continue;
    const int a = std::max(0, k - 1), b = std::min(piece.pointCount - 1, k + 1);
    const float dx = piece.x[b] - piece.x[a], dz = piece.z[b] - piece.z[a];
    const float l = std::hypot(dx, dz);
    sections.push_back({piece.x[k], piece.z[k], -dz / l, dx / l, along});
    next = along + step;
  }
  return sections;
}

V3 OnGround(float x, float z, float lift) { return {x, GroundHeight(x, z) + lift, z}; }

// A road surface's triangles are flat between their corners while the
// ground under them bends along the grid's edges: raise the corners of any
// triangle the ground pokes through (tested at a few points inside) until it
// clears the ground by kRoadSurfaceLift / 2.
void LiftClearOfTheGround(Ms3dFile& file, const Ms3dGroup& group) {
  std::map<int, float> raise;
  constexpr float kWeights[7][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5f, 0.5f, 0}, {0, 0.5f, 0.5f}, {0.5f, 0, 0.5f},
                                    {1 / 3.0f, 1 / 3.0f, 1 / 3.0f}};
  for (uint16_t index : group.triangles) {
    const Ms3dTriangle& t = file.triangles[index];
    float need = 0;
    for (const auto& w : kWeights) {
      float p[3] = {0, 0, 0};
      for (int k = 0; k < 3; ++k)
        for (int a = 0; a < 3; ++a) p[a] += w[k] * file.vertices[t.vertices[k]].position[a];
      need = std::max(need, GroundHeight(p[0], p[2]) + kRoadSurfaceLift / 2 - p[1]);
    }
    for (uint16_t v : t.vertices) raise[v] = std::max(raise[v], need);
  }
  for (const auto& [v, up] : raise) file.vertices[size_t(v)].position[1] += up;
}

// main_road (linear = false) or main_road_linear (true): the same triangles
// in the same order; texture coordinates tile the world in main_road and
// run along the roads in main_road_linear.
Ms3dFile MakeDrawnGround(bool linear) {
  Builder b;
  const int gridSide = kGroundCells + 1;
  for (int j = 0; j < gridSide; ++j)
    for (int i = 0; i < gridSide; ++i) b.Vertex(GridPoint(i, j));
  const std::vector<GroundTriangle> tris = GroundTriangles();
  const std::vector<GroundKind>& kinds = GroundKinds();
  const float scale = linear ? kLinearTexelUnits : kGroundTexelUnits;
  for (int kind = 0; kind < kGroundKinds; ++kind) {
    const GroundLook& look = kGroundLooks[kind];
    b.Group(look.name, b.Material(look.name, look.texture, look.emissiveRed));
    for (size_t t = 0; t < tris.size(); ++t) {
      if (kinds[t] != kind) continue;
      int v[3];
      V3 n[3];
      float st[3][2];
      for (int c = 0; c < 3; ++c) {
        const auto& corner = tris[t].corner[c];
        v[c] = corner[1] * gridSide + corner[0];
        n[c] = GridNormal(corner[0], corner[1]);
        const V3 p = GridPoint(corner[0], corner[1]);
        st[c][0] = p.x / scale + (linear ? 0.5f : 0.0f);
        st[c][1] = p.z / scale;
      }
      b.Triangle(v, n, st);
    }
  }
  // The road surface: a ribbon of two strips on each piece, lying on the ground.
  b.Group("road", b.Material("road", "ground_road.tga", kRoadEmissiveRed));
  for (int p = 0; p < RoadPieceCount(); ++p) {
    const RoadPiece piece = GetRoadPiece(p);
    const std::vector<Section> sections = RoadSections(piece, kRibbonStep);
    int previous[3] = {-1, -1, -1};
    float previousAlong = 0;
    for (const Section& s : sections) {
      int row[3];
      for (int k = 0; k < 3; ++k) {
        const float offset = (k - 1) * kRoadHalfWidth;
        row[k] = b.Vertex(OnGround(s.x + s.leftX * offset, s.z + s.leftZ * offset, piece.lift));
      }
      if (previous[0] >= 0) {
        for (int k = 0; k < 2; ++k) {
          const int quad[4] = {previous[k], previous[k + 1], row[k + 1], row[k]};
          float st[4][2];
          const float across[4] = {k * 0.5f, (k + 1) * 0.5f, (k + 1) * 0.5f, k * 0.5f};
          const float alongs[4] = {previousAlong, previousAlong, s.along, s.along};
          for (int c = 0; c < 4; ++c) {
            const Ms3dVertex& vertex = b.file.vertices[size_t(quad[c])];
            if (linear) {
              st[c][0] = across[c];
              st[c][1] = alongs[c] / kRoadTextureLength;
            } else {
              st[c][0] = vertex.position[0] / kGroundTexelUnits;
              st[c][1] = vertex.position[2] / kGroundTexelUnits;
            }
          }
          const V3 up{0, 1, 0};
          // Counter-clockwise from above: the left edge runs forward.
          const int t1[3] = {quad[0], quad[3], quad[1]}, t2[3] = {quad[1], quad[3], quad[2]};
          const float s1[3][2] = {{st[0][0], st[0][1]}, {st[3][0], st[3][1]}, {st[1][0], st[1][1]}};
          const float s2[3][2] = {{st[1][0], st[1][1]}, {st[3][0], st[3][1]}, {st[2][0], st[2][1]}};
          const V3 ns[3] = {up, up, up};
          b.Triangle(t1, ns, s1);
          b.Triangle(t2, ns, s2);
        }
      }
      std::copy(row, row + 3, previous);
      previousAlong = s.along;
    }
  }
  LiftClearOfTheGround(b.file, b.file.groups.back());
  return b.file;
}

// Solid map objects: boulders and huts, each a list of triangles (the
// physics ground holds them too).
struct Solid {
  int material;  // 0 rock, 1 planks, 2 roof
  V3 p[3];
  float st[3][2];
};

void AddBoulder(std::vector<Solid>& out, V3 centre, V3 size, float turn, int material = 0) {
  const float c = std::cos(turn), s = std::sin(turn);
  auto at = [&](float x, float y, float z) {
    return V3{centre.x + (x * c - z * s) * size.x, centre.y + y * size.y, centre.z + (x * s + z * c) * size.z};
  };
  const V3 top = at(0, 1, 0), bottom = at(0, -0.6f, 0);
  const V3 ring[4] = {at(1, 0.1f, 0), at(0, 0, 1), at(-1, 0.15f, 0), at(0, 0.05f, -1)};
  for (int k = 0; k < 4; ++k) {
    const V3 a = ring[k], b = ring[(k + 1) % 4];
    // Upper faces counter-clockwise seen from outside, then the lower ones.
    out.push_back({material, {top, b, a}, {{0.5f, 1}, {1, 0}, {0, 0}}});
    out.push_back({material, {bottom, a, b}, {{0.5f, 1}, {0, 0}, {1, 0}}});
  }
}

// A plank hut of w × d with a gabled roof, its door side facing `facing`.
void AddHut(std::vector<Solid>& out, float x, float z, float facing, float w, float d) {
  const float c = std::cos(facing), s = std::sin(facing);
  auto local = [&](float u, float v) { return std::pair<float, float>{x + u * c - v * s, z + u * s + v * c}; };
  float base = 1e9f;
  for (float u : {-w / 2, w / 2})
    for (float v : {-d / 2, d / 2}) {
      auto [px, pz] = local(u, v);
      base = std::min(base, GroundHeight(px, pz));
    }
  base -= 0.3f;  // sunk a little so no corner floats
  const float wall = 3.2f, ridge = 1.8f;
  float top = base;
  for (float u : {-w / 2, w / 2})
    for (float v : {-d / 2, d / 2}) {
      auto [px, pz] = local(u, v);
      top = std::max(top, GroundHeight(px, pz));
    }
  const float eaves = top + wall;
  auto p = [&](float u, float v, float y) {
    auto [px, pz] = local(u, v);
    return V3{px, y, pz};
  };
  const V3 b[4] = {p(-w / 2, -d / 2, base), p(w / 2, -d / 2, base), p(w / 2, d / 2, base), p(-w / 2, d / 2, base)};
  const V3 e[4] = {p(-w / 2, -d / 2, eaves), p(w / 2, -d / 2, eaves), p(w / 2, d / 2, eaves), p(-w / 2, d / 2, eaves)};
  for (int k = 0; k < 4; ++k) {
    const int n = (k + 1) % 4;
    // Walls seen from outside: counter-clockwise b[k], b[n], e[n], e[k] turn outward.
    out.push_back({1, {b[n], b[k], e[k]}, {{1, 0}, {0, 0}, {0, 1}}});
    out.push_back({1, {b[n], e[k], e[n]}, {{1, 0}, {0, 1}, {1, 1}}});
  }
  const V3 r0 = p(-w / 2 - 0.4f, 0, eaves + ridge), r1 = p(w / 2 + 0.4f, 0, eaves + ridge);
  const V3 o[4] = {p(-w / 2 - 0.4f, -d / 2 - 0.5f, eaves - 0.3f), p(w / 2 + 0.4f, -d / 2 - 0.5f, eaves - 0.3f),
                   p(w / 2 + 0.4f, d / 2 + 0.5f, eaves - 0.3f), p(-w / 2 - 0.4f, d / 2 + 0.5f, eaves - 0.3f)};
  out.push_back({2, {o[0], r0, r1}, {{0, 0}, {0, 1}, {1, 1}}});
  out.push_back({2, {o[0], r1, o[1]}, {{0, 0}, {1, 1}, {1, 0}}});
  out.push_back({2, {o[2], r1, r0}, {{0, 0}, {0, 1}, {1, 1}}});
  out.push_back({2, {o[2], r0, o[3]}, {{0, 0}, {1, 1}, {1, 0}}});
  out.push_back({1, {e[0], e[3], r0}, {{0, 0}, {1, 0}, {0.5f, 1}}});
  out.push_back({1, {e[2], e[1], r1}, {{0, 0}, {1, 0}, {0.5f, 1}}});
}

bool Buildable(float x, float z, float clearance) {
  return std::max(std::fabs(x), std::fabs(z)) < kWorldHalfSize - 40 && DistanceToRoad(x, z) > clearance &&
         !NearLake(x, z, 30);
}

// Where the solids stand: centre and radius in x-z, for keeping trees out.
struct Footprint {
  float x, z, radius;
};

struct SolidObjects {
  std::vector<Solid> triangles;
  std::vector<Footprint> footprints;
};

const SolidObjects& PlacedSolids() {
  static const SolidObjects solids = [] {
    SolidObjects objects;
    std::vector<Solid>& out = objects.triangles;
    Lcg random{77u};
    // Huts beside the roads, door toward the road, along every third edge.
    for (int p = 0; p < RoadPieceCount(); p += 3) {
      const RoadPiece piece = GetRoadPiece(p);
      if (piece.pointCount < 20) continue;
      const int k = piece.pointCount / 3;
      const float dx = piece.x[k + 1] - piece.x[k], dz = piece.z[k + 1] - piece.z[k];
      const float l = std::hypot(dx, dz), side = (p / 3) % 2 ? 1.0f : -1.0f;
      const float x = piece.x[k] - dz / l * 34 * side, z = piece.z[k] + dx / l * 34 * side;
      if (!Buildable(x, z, 26)) continue;
      AddHut(out, x, z, std::atan2(dz, dx), random.Range(5, 7), random.Range(4, 5.5f));
      objects.footprints.push_back({x, z, 6});
    }
    // Boulders where the noise gathers them, most on the hillsides.
    for (float z = -kWorldHalfSize + 20; z < kWorldHalfSize - 20; z += 44)
      for (float x = -kWorldHalfSize + 20; x < kWorldHalfSize - 20; x += 44) {
        const float px = x + random.Range(-18, 18), pz = z + random.Range(-18, 18);
        if (LandscapeNoise(px / 260, pz / 260, 301) < 0.68f || !Buildable(px, pz, 22)) continue;
        const float size = random.Range(1.2f, 3.4f);
        AddBoulder(out, OnGround(px, pz, -0.25f * size), {size * random.Range(0.8f, 1.3f), size * 0.8f, size},
                   random.Range(0, 2 * NE_PI));
        objects.footprints.push_back({px, pz, size * 1.4f});
      }
    return objects;
  }();
  return solids;
}

const std::vector<Solid>& Solids() { return PlacedSolids().triangles; }

bool OnASolid(float x, float z, float margin) {
  for (const Footprint& f : PlacedSolids().footprints)
    if (std::hypot(x - f.x, z - f.z) < f.radius + margin) return true;
  return false;
}

Ms3dFile MakePhysicsGround() {
  Builder b;
  b.Group("ground", -1);
  const int gridSide = kGroundCells + 1;
  for (int j = 0; j < gridSide; ++j)
    for (int i = 0; i < gridSide; ++i) b.Vertex(GridPoint(i, j));
  for (const GroundTriangle& t : GroundTriangles()) {
    int v[3];
    V3 n[3];
    const float st[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    for (int c = 0; c < 3; ++c) {
      v[c] = t.corner[c][1] * gridSide + t.corner[c][0];
      n[c] = GridNormal(t.corner[c][0], t.corner[c][1]);
    }
    b.Triangle(v, n, st);
  }
  for (const Solid& s : Solids()) b.Loose(s.p, s.st);
  return b.file;
}

void MapMaterials(Builder& b) {
  b.Material("rock", "rock.tga");
  b.Material("planks", "planks.tga");
  b.Material("roof", "roof.tga");
}

Ms3dFile MakeMainMap() {
  Builder b;
  MapMaterials(b);
  const char* names[3] = {"boulders", "walls", "roofs"};
  for (int m = 0; m < 3; ++m) {
    b.Group(names[m], m);
    for (const Solid& s : Solids())
      if (s.material == m) b.Loose(s.p, s.st);
  }
  return b.file;
}

// Far detail: small stones strewn along the roads' shoulders and the meadows.
Ms3dFile MakeAddMap() {
  Builder b;
  MapMaterials(b);
  b.Group("stones", 0);
  std::vector<Solid> stones;
  Lcg random{91u};
  for (int p = 0; p < RoadPieceCount(); ++p)
    for (const Section& s : RoadSections(GetRoadPiece(p), kVergeStep)) {
      if (random.Next() < 0.6f) continue;
      const float off = random.Range(kRoadHalfWidth + 2.5f, 24) * (random.Next() < 0.5f ? -1 : 1);
      const float x = s.x + s.leftX * off, z = s.z + s.leftZ * off;
      if (!Buildable(x, z, kRoadHalfWidth + 2)) continue;
      const float size = random.Range(0.25f, 0.6f);
      AddBoulder(stones, OnGround(x, z, -0.2f * size), {size, size * 0.7f, size * 0.9f}, random.Range(0, 2 * NE_PI));
    }
  for (const Solid& s : stones) b.Loose(s.p, s.st);
  return b.file;
}

enum TransparentMaterial { kBush, kFence, kWaterSurface, kVerge, kMud, kRoadEdge };
void TransparencyMaterials(Builder& b) {
  b.Material("bush", "bush.tga");
  b.Material("fence", "fence.tga");
  b.Material("water", "water_surface.tga");
  b.Material("verge", "verge.tga");
  b.Material("mud", "mud.tga");
  b.Material("road_edge", "road_edge.tga");
}

// Two-sided upright quad from a to b (ground points), `height` tall.
void Upright(Builder& b, V3 a, V3 c, float height, float s) {
  b.Quad(a, c, c + V3{0, height, 0}, a + V3{0, height, 0}, s, 1);
}

// Runs beside a piece, `offset` units to its left (negative: right), one
// per cross-section of its road surface.
template <typename F>
void AlongSide(const RoadPiece& piece, float offset, F&& visit) {
  const std::vector<Section> sections = RoadSections(piece, kVergeStep);
  for (size_t k = 0; k + 1 < sections.size(); ++k) {
    const Section &a = sections[k], &c = sections[k + 1];
    visit(a.x + a.leftX * offset, a.z + a.leftZ * offset, c.x + c.leftX * offset, c.z + c.leftZ * offset);
  }
}

void LakeDisc(Builder& b) {
  float lx, lz, radius;
  LakeCircle(&lx, &lz, &radius);
  const float level = LakeLevel();
  constexpr int kSpokes = 32, kRings = 4;
  auto point = [&](int ring, int spoke) {
    const float r = radius * ring / kRings, a = 2 * NE_PI * float(spoke) / kSpokes;
    return V3{lx + r * std::cos(a), level, lz + r * std::sin(a)};
  };
  auto st = [&](V3 p) { return std::pair<float, float>{p.x / 20, p.z / 20}; };
  for (int ring = 0; ring < kRings; ++ring)
    for (int spoke = 0; spoke < kSpokes; ++spoke) {
      const V3 a = point(ring, spoke), c = point(ring + 1, spoke), d = point(ring + 1, spoke + 1), e = point(ring, spoke + 1);
      const V3 tris[2][3] = {{a, d, c}, {a, e, d}};
      for (int t = 0; t < (ring == 0 ? 1 : 2); ++t) {
        float uv[3][2];
        for (int k = 0; k < 3; ++k) std::tie(uv[k][0], uv[k][1]) = st(tris[t][k]);
        b.Loose(tris[t], uv);
      }
    }
}

Ms3dFile MakeMainTransparency() {
  Builder b;
  TransparencyMaterials(b);
  Lcg random{123u};
  b.Group("bushes", kBush);
  for (float z = -kWorldHalfSize + 30; z < kWorldHalfSize - 30; z += 30)
    for (float x = -kWorldHalfSize + 30; x < kWorldHalfSize - 30; x += 30) {
      const float px = x + random.Range(-12, 12), pz = z + random.Range(-12, 12);
      if (LandscapeNoise(px / 180, pz / 180, 401) < 0.6f || !Buildable(px, pz, kRoadHalfWidth + 6)) continue;
      const float w = random.Range(1.4f, 2.6f), h = w * random.Range(0.7f, 0.9f), turn = random.Range(0, NE_PI);
      const V3 c = OnGround(px, pz, -0.1f);
      for (int k = 0; k < 2; ++k) {
        const float a = turn + float(k) * NE_PI / 2, dx = std::cos(a) * w / 2, dz = std::sin(a) * w / 2;
        Upright(b, {c.x - dx, c.y, c.z - dz}, {c.x + dx, c.y, c.z + dz}, h, 1);
      }
    }
  b.Group("fences", kFence);
  for (int p = 0; p < RoadPieceCount(); p += 4) {
    const RoadPiece piece = GetRoadPiece(p);
    AlongSide(piece, -(kRoadHalfWidth + 4.5f), [&](float x0, float z0, float x1, float z1) {
      if (!Buildable(x0, z0, kRoadHalfWidth + 4) || !Buildable(x1, z1, kRoadHalfWidth + 4)) return;
      Upright(b, OnGround(x0, z0, 0), OnGround(x1, z1, 0), 1.3f, 2);
    });
  }
  b.Group("water", kWaterSurface);
  LakeDisc(b);
  return b.file;
}

// Verges: a fringe of tall grass along both edges of every road.
Ms3dFile MakeAddTransparency() {
  Builder b;
  TransparencyMaterials(b);
  b.Group("verges", kVerge);
  for (int p = 0; p < RoadPieceCount(); ++p) {
    const RoadPiece piece = GetRoadPiece(p);
    for (float side : {-1.0f, 1.0f})
      AlongSide(piece, side * (kRoadHalfWidth + 1.2f), [&](float x0, float z0, float x1, float z1) {
        if (DistanceToRoad(x0, z0) < kRoadHalfWidth + 1 || DistanceToRoad(x1, z1) < kRoadHalfWidth + 1) return;
        Upright(b, OnGround(x0, z0, -0.05f), OnGround(x1, z1, -0.05f), 0.7f, 2);
      });
  }
  return b.file;
}

// Decals: the worn dirt along both edges of every road, fraying into the
// grass, and mud lying on the shoulders.
Ms3dFile MakeAddTransparency2() {
  Builder b;
  TransparencyMaterials(b);
  b.Group("road edges", kRoadEdge);
  for (int p = 0; p < RoadPieceCount(); ++p) {
    const std::vector<Section> sections = RoadSections(GetRoadPiece(p), kVergeStep);
    for (size_t k = 0; k + 1 < sections.size(); ++k)
      for (float side : {-1.0f, 1.0f}) {
        auto at = [&](const Section& s, float offset) {
          return OnGround(s.x + s.leftX * side * offset, s.z + s.leftZ * side * offset, kRoadEdgeLift);
        };
        const Section &a = sections[k], &c = sections[k + 1];
        const V3 outerA = at(a, kRoadHalfWidth + kRoadEdgeWidth), outerC = at(c, kRoadHalfWidth + kRoadEdgeWidth);
        if (DistanceToRoad(outerA.x, outerA.z) < kRoadHalfWidth + 0.5f ||
            DistanceToRoad(outerC.x, outerC.z) < kRoadHalfWidth + 0.5f)
          continue;  // where another road crosses
        const float length = (c.along - a.along) / kRoadEdgeWidth;
        // Counter-clockwise from above on either side; s runs outward.
        if (side > 0) b.Quad(at(a, kRoadHalfWidth), outerA, outerC, at(c, kRoadHalfWidth), 1, length);
        else b.Quad(at(c, kRoadHalfWidth), outerC, outerA, at(a, kRoadHalfWidth), 1, length);
      }
  }
  LiftClearOfTheGround(b.file, b.file.groups.back());
  b.Group("mud", kMud);
  Lcg random{321u};
  for (int p = 0; p < RoadPieceCount(); ++p)
    for (const Section& s : RoadSections(GetRoadPiece(p), kVergeStep)) {
      if (random.Next() < 0.75f) continue;
      const float off = random.Range(kRoadHalfWidth + 2.5f, kRoadHalfWidth + 6) * (random.Next() < 0.5f ? -1 : 1);
      const float x = s.x + s.leftX * off, z = s.z + s.leftZ * off, r = random.Range(1.5f, 3);
      if (DistanceToRoad(x, z) < kRoadHalfWidth + 2) continue;
      b.Quad(OnGround(x - r, z - r, 0.05f), OnGround(x - r, z + r, 0.05f), OnGround(x + r, z + r, 0.05f),
             OnGround(x + r, z - r, 0.05f));
    }
  return b.file;
}

// The surface grass grows on: meadow patches of the ground beside the roads.
Ms3dFile MakeGrass() {
  Builder b;
  b.Group("grass", -1);
  const std::vector<GroundTriangle> tris = GroundTriangles();
  const std::vector<GroundKind>& kinds = GroundKinds();
  for (size_t t = 0; t < tris.size(); ++t) {
    if (kinds[t] != kGrass) continue;
    const V3 c = Centroid(tris[t]);
    const float d = DistanceToRoad(c.x, c.z);
    if (d < kRoadHalfWidth + 6 || d > 55 || LandscapeNoise(c.x / 140, c.z / 140, 501) < 0.45f) continue;
    V3 p[3];
    for (int k = 0; k < 3; ++k) p[k] = GridPoint(tris[t].corner[k][0], tris[t].corner[k][1]);
    const float st[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    b.Loose(p, st);
  }
  return b.file;
}

// One small ground-level triangle per tree, grouped by kind: broadleaf
// kinds low down, conifers higher up.
Ms3dFile MakeTrees() {
  Builder b;
  for (int g = 0; g < 8; ++g) b.Group("kind" + std::to_string(g), -1);
  std::vector<std::vector<V3>> byKind(8);
  Lcg random{555u};
  for (float z = -kWorldHalfSize + 12; z < kWorldHalfSize - 12; z += 17)
    for (float x = -kWorldHalfSize + 12; x < kWorldHalfSize - 12; x += 17) {
      const float px = x + random.Range(-7, 7), pz = z + random.Range(-7, 7);
      const float forest = LandscapeNoise(px / 330, pz / 330, 601) + 0.15f * LandscapeNoise(px / 60, pz / 60, 602);
      if (forest < 0.62f || DistanceToRoad(px, pz) < kRoadHalfWidth + 20 || NearLake(px, pz, 10) ||
          OnASolid(px, pz, 2))
        continue;
      const float y = GroundHeight(px, pz);
      const int kind = (y > 150 ? 4 : 0) + int(random.Next() * 4);
      byKind[size_t(kind)].push_back({px, y, pz});
    }
  for (int g = 0; g < 8; ++g)
    for (const V3& c : byKind[size_t(g)]) {
      const V3 p[3] = {{c.x - 0.2f, c.y, c.z - 0.1f}, {c.x, c.y, c.z + 0.2f}, {c.x + 0.2f, c.y, c.z - 0.1f}};
      const float st[3][2] = {{0, 0}, {0.5f, 1}, {1, 0}};
      b.Loose(p, st, g);
    }
  return b.file;
}

Ms3dFile MakeWater() {
  Builder b;
  b.Group("lake", b.Material("water", "water.tga"));
  LakeDisc(b);
  return b.file;
}

const std::map<std::string, std::function<Ms3dFile()>>& WorldModels() {
  static const std::map<std::string, std::function<Ms3dFile()>> models = {
      {"physic", MakePhysicsGround},
      {"main_road", [] { return MakeDrawnGround(false); }},
      {"main_road_linear", [] { return MakeDrawnGround(true); }},
      {"main_map", MakeMainMap},
      {"add_map", MakeAddMap},
      {"main_transparency", MakeMainTransparency},
      {"add_transparency", MakeAddTransparency},
      {"add_transparency2", MakeAddTransparency2},
      {"grass", MakeGrass},
      {"trees", MakeTrees},
      {"water", MakeWater},
  };
  return models;
}

// Loads the written models as the world loader does and bakes qt.qt.
bool BakeQuadTree(const std::string& models) {
  auto load = [&](const char* stem, MilkshapeModel& model) {
    return model.LoadFromFile((models + stem + ".sbm").c_str());
  };
  MilkshapeModel road, linear, mainMap, mainTransparency, addMap, addTransparency, addTransparency2, grass, trees;
  bool ok = load("main_road", road) && load("main_road_linear", linear) && load("main_map", mainMap) &&
            load("main_transparency", mainTransparency) && load("add_map", addMap) &&
            load("add_transparency", addTransparency) && load("add_transparency2", addTransparency2) &&
            load("grass", grass) && load("trees", trees);
  if (!ok) return false;
  road.BuildTangentSpace();
  road.CopySecondTexCoords(linear);
  road.BuildSecondTangentSpace();
  QuadTreeSources sources;
  const Model* sections[kSectionCount] = {&road, &mainMap, &mainTransparency, &addMap, &addTransparency, &addTransparency2};
  std::copy(sections, sections + kSectionCount, sources.sections);
  sources.grass = &grass;
  sources.trees = &trees;
  SeedRandom(kBakeSeed);
  ok = BakeWorldQuadTree(sources, (models + "qt.qt").c_str());
  DestroyWorldQuadTree();
  return ok;
}

}  // namespace

Ms3dFile MakeWorldModel(const std::string& stem) {
  const auto& models = WorldModels();
  const auto found = models.find(stem);
  return found == models.end() ? Ms3dFile{} : found->second();
}

bool GenerateWorld(const std::string& base) {
  const std::string models = base + "/world/models/", textures = base + "/world/textures/";
  std::error_code error;
  std::filesystem::create_directories(models, error);
  std::filesystem::create_directories(textures, error);
  bool ok = true;
  for (const auto& [stem, make] : WorldModels()) {
    const Ms3dFile file = make();
    if (file.vertices.size() > size_t(kMaxVertices) || file.triangles.size() > size_t(kMaxTriangles)) {
      std::fprintf(stderr, "zarnok_gen: %s.sbm exceeds the model format's limits\n", stem.c_str());
      ok = false;
      continue;
    }
    ok = WriteMs3d(models + stem + ".sbm", file) && ok;
  }
  for (const WorldTexture& texture : MakeWorldTextures()) ok = WriteTga(textures + texture.name, texture.image) && ok;
  ok = ok && BakeQuadTree(models);
  if (!ok) std::fprintf(stderr, "zarnok_gen: could not write the world\n");
  return ok;
}
