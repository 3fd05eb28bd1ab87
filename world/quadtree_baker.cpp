#include "world/quadtree_baker.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "framework/model.h"
#include "framework/random.h"

namespace {

constexpr float kPlaneEpsilon = 1e-6f;  // plane distances below this count as on the plane
constexpr int kLeavesPerSide = 32;      // 2 to the power of the depth
constexpr int kTreeKinds = 8;

void Sub(float out[3], const float a[3], const float b[3]) {
  for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}
void CrossProduct3(float out[3], const float a[3], const float b[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}
float Dot3(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Whether edge v0..v1 crosses or touches edge u0..u1 in the (i0, i1) plane.
bool EdgesCross(const float v0[3], const float v1[3], const float u0[3], const float u1[3], int i0, int i1) {
  const float ax = v1[i0] - v0[i0], ay = v1[i1] - v0[i1];
  const float bx = u0[i0] - u1[i0], by = u0[i1] - u1[i1];
  const float cx = v0[i0] - u0[i0], cy = v0[i1] - u0[i1];
  const float f = ay * bx - ax * by;
  const float d = by * cx - bx * cy;
  if ((f > 0 && d >= 0 && d <= f) || (f < 0 && d <= 0 && d >= f)) {
    const float e = ax * cy - ay * cx;
    if (f > 0) return e >= 0 && e <= f;
    return e <= 0 && e >= f;
  }
  return false;
}

bool EdgeCrossesTriangle(const float v0[3], const float v1[3], const float u0[3], const float u1[3],
                         const float u2[3], int i0, int i1) {
  return EdgesCross(v0, v1, u0, u1, i0, i1) || EdgesCross(v0, v1, u1, u2, i0, i1) ||
         EdgesCross(v0, v1, u2, u0, i0, i1);
}

// Whether point p lies strictly inside triangle u in the (i0, i1) plane.
bool PointInTriangle(const float p[3], const float u0[3], const float u1[3], const float u2[3], int i0, int i1) {
  auto side = [&](const float a[3], const float b[3]) {
    const float ea = b[i1] - a[i1], eb = -(b[i0] - a[i0]);
    const float ec = -ea * a[i0] - eb * a[i1];
    return ea * p[i0] + eb * p[i1] + ec;
  };
  const float d0 = side(u0, u1), d1 = side(u1, u2), d2 = side(u2, u0);
  return d0 * d1 > 0 && d0 * d2 > 0;
}

// The interval where triangle (corners vv, plane distances d of the other
// triangle's plane) meets the line of the two planes. False when the
// triangle lies in the other plane.
bool TriangleInterval(const float vv[3], const float d[3], float out[2]) {
  const float d0d1 = d[0] * d[1], d0d2 = d[0] * d[2];
  auto cut = [&](int a, int b, int c) {  // corner a alone on its side
    out[0] = vv[a] + (vv[b] - vv[a]) * d[a] / (d[a] - d[b]);
    out[1] = vv[a] + (vv[c] - vv[a]) * d[a] / (d[a] - d[c]);
  };
  if (d0d1 > 0) cut(2, 0, 1);
  else if (d0d2 > 0) cut(1, 0, 2);
  else if (d[1] * d[2] > 0 || d[0] != 0) cut(0, 1, 2);
  else if (d[1] != 0) cut(1, 0, 2);
  else if (d[2] != 0) cut(2, 0, 1);
  else return false;
  if (out[0] > out[1]) std::swap(out[0], out[1]);
  return true;
}

// Distances of triangle u's corners from the plane of triangle v (tiny ones
// snapped to 0); the plane's normal into n. False when all lie on one side.
bool PlaneDistances(const float v0[3], const float v1[3], const float v2[3], const float* const u[3], float n[3],
                    float d[3]) {
  float e1[3], e2[3];
  Sub(e1, v1, v0);
  Sub(e2, v2, v0);
  CrossProduct3(n, e1, e2);
  const float offset = -Dot3(n, v0);
  for (int i = 0; i < 3; ++i) {
    d[i] = Dot3(n, u[i]) + offset;
    if (std::fabs(d[i]) < kPlaneEpsilon) d[i] = 0;
  }
  return !((d[0] * d[1] > 0) && (d[0] * d[2] > 0));
}

// A leaf's square, bounds included; NaN never lies inside.
bool InSquare(float x, float z, const QuadTree& leaf) {
  return x >= leaf.cx - leaf.halfSize && x <= leaf.cx + leaf.halfSize && z >= leaf.cz - leaf.halfSize &&
         z <= leaf.cz + leaf.halfSize;
}

const float* Position(const Model& model, const ModelTriangle& tri, int corner) {
  return model.vertices[tri.vertexIndices[corner]].position;
}

// Whether the grass triangle, flattened to y = 0, overlaps the leaf square.
bool GrassTriangleOverlapsLeaf(const Model& grass, const ModelTriangle& tri, const QuadTree& leaf) {
  float flat[3][3];
  float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
  for (int c = 0; c < 3; ++c) {
    const float* p = Position(grass, tri, c);
    flat[c][0] = p[0];
    flat[c][1] = 0;
    flat[c][2] = p[2];
    minX = std::min(minX, p[0]), maxX = std::max(maxX, p[0]);
    minZ = std::min(minZ, p[2]), maxZ = std::max(maxZ, p[2]);
  }
  const float x0 = leaf.cx - leaf.halfSize, x1 = leaf.cx + leaf.halfSize;
  const float z0 = leaf.cz - leaf.halfSize, z1 = leaf.cz + leaf.halfSize;
  // Boxes apart cannot overlap: skip the full test (it would say 0 too).
  if (maxX < x0 || minX > x1 || maxZ < z0 || minZ > z1) return false;
  const float a[3] = {x0, 0, z1}, b[3] = {x1, 0, z0}, c[3] = {x1, 0, z1}, d[3] = {x0, 0, z0};
  return TrianglesIntersect(flat[0], flat[1], flat[2], a, b, c) ||
         TrianglesIntersect(flat[0], flat[1], flat[2], a, d, b);
}

float Distance(const float a[3], const float b[3]) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

struct GrassPoint {
  int kind;
  float x, y, z;
};

int GrassKind() {
  const int r = Random() % 100;
  if (r < 25) return 0;
  if (r < 50) return 1;
  if (r < 75) return 2;
  const int r2 = Random() % 100;
  if (r2 < 40) return 3;
  if (r2 < 70) return 4;
  if (r2 < 85) return 5;
  if (r2 < 95) return 6;
  return 7;
}

// Scatters the grass of one leaf: points grow as needed (no fixed bound).
void ScatterGrass(const Model* grass, const QuadTree& leaf, Grass& out) {
  if (!grass || !grass->triangles) return;
  std::vector<GrassPoint> points;
  for (int g = 0; g < grass->groupCount; ++g)
    for (int i = 0; i < grass->groups[g].triangleCount; ++i) {
      const ModelTriangle& tri = grass->triangles[grass->groups[g].triangleIndices[i]];
      if (!GrassTriangleOverlapsLeaf(*grass, tri, leaf)) continue;
      const float* p[3] = {Position(*grass, tri, 0), Position(*grass, tri, 1), Position(*grass, tri, 2)};
      const float la = Distance(p[0], p[1]), lb = Distance(p[1], p[2]), lc = Distance(p[2], p[0]);
      const float s = (la + lb + lc) / 2;
      const float area = std::sqrt(std::max(0.0f, s * (s - la) * (s - lb) * (s - lc)));
      const int tries = int(area * kGrassPerUnitArea);
      for (int t = 0; t <= tries; ++t) {
        float w[3];
        for (float& weight : w) weight = float(Random() % 101) * 0.01f;
        const float sum = w[0] + w[1] + w[2];
        GrassPoint point;
        point.x = (w[0] * p[0][0] + w[1] * p[1][0] + w[2] * p[2][0]) / sum;
        point.y = (w[0] * p[0][1] + w[1] * p[1][1] + w[2] * p[2][1]) / sum;
        point.z = (w[0] * p[0][2] + w[1] * p[1][2] + w[2] * p[2][2]) / sum;
        if (!InSquare(point.x, point.z, leaf)) continue;  // also the 0/0 point of three zero weights
        point.kind = GrassKind();
        points.push_back(point);
      }
    }
  int counts[kGrassKindCount] = {};
  for (const GrassPoint& point : points) ++counts[point.kind];
  for (int k = 0; k < kGrassKindCount; ++k)
    if (counts[k] > 0) out.list[k] = new GrassItem[size_t(counts[k])];
  for (const GrassPoint& point : points) {
    GrassItem& item = out.list[point.kind][out.count[point.kind]++];
    item = {point.x, point.y, point.z, float(Random() % 9) * 0.05f + 0.8f};
  }
}

void PlaceTrees(const Model* trees, const QuadTree& leaf, Grass& out) {
  if (!trees || !trees->triangles) return;
  std::vector<GrassItem> found[kTreeKinds];
  for (int g = 0; g < std::min(trees->groupCount, kTreeKinds); ++g)
    for (int i = 0; i < trees->groups[g].triangleCount; ++i) {
      const ModelTriangle& tri = trees->triangles[trees->groups[g].triangleIndices[i]];
      float centre[3] = {0, 0, 0};
      for (int c = 0; c < 3; ++c)
        for (int a = 0; a < 3; ++a) centre[a] += Position(*trees, tri, c)[a] / 3;
      if (!InSquare(centre[0], centre[2], leaf)) continue;
      found[g].push_back({centre[0], centre[1], centre[2], float(Random() % 8) * 0.05f + 0.65f});
    }
  for (int g = 0; g < kTreeKinds; ++g) {
    const int list = kTreeListFirst + g;
    if (found[g].empty()) continue;
    out.count[list] = int32_t(found[g].size());
    out.list[list] = new GrassItem[found[g].size()];
    std::copy(found[g].begin(), found[g].end(), out.list[list]);
  }
}

// Each section's triangles sorted by leaf once, so that no leaf walks whole
// models: per section, per leaf, per group, the triangles with a corner in
// the leaf, in group order (what a walk of the model per leaf would find).
struct SectionIndex {
  std::vector<std::vector<int>> triangles;  // [leaf * groups + group]
  int groups = 0;
};

struct Baker {
  const QuadTreeSources& sources;
  QuadTreeList* leaves;
  int leafAt[kLeavesPerSide][kLeavesPerSide];  // leaf index by column (x) and row (z)
  const QuadTree* leafNode[kQuadTreeLeafCount];
  SectionIndex sections[kSectionCount];
  std::vector<int> ordinal[kSectionCount];  // triangle's place in the group-order walk, by triangle index
};

int Column(float v, float half) {
  return std::clamp(int(std::floor((v + half) / (2 * half) * kLeavesPerSide)), 0, kLeavesPerSide - 1);
}

void IndexSection(Baker& baker, int s, float rootHalf) {
  const Model* model = baker.sources.sections[s];
  SectionIndex& index = baker.sections[s];
  index.groups = SectionMeshCount(model);
  index.triangles.assign(size_t(kQuadTreeLeafCount) * size_t(index.groups), {});
  if (index.groups == 0 || !model->triangles) return;
  baker.ordinal[s].assign(size_t(model->triangleCount), 0);
  int ordinal = 0;
  for (int g = 0; g < index.groups; ++g)
    for (int i = 0; i < model->groups[g].triangleCount; ++i, ++ordinal) {
      const int t = model->groups[g].triangleIndices[i];
      baker.ordinal[s][size_t(t)] = ordinal;
      int found[12], foundCount = 0;
      for (int c = 0; c < 3; ++c) {
        const float* p = Position(*model, model->triangles[t], c);
        const int col = Column(p[0], rootHalf), row = Column(p[2], rootHalf);
        for (int ci = std::max(0, col - 1); ci <= std::min(kLeavesPerSide - 1, col + 1); ++ci)
          for (int ri = std::max(0, row - 1); ri <= std::min(kLeavesPerSide - 1, row + 1); ++ri) {
            const int leaf = baker.leafAt[ci][ri];
            if (!InSquare(p[0], p[2], *baker.leafNode[leaf])) continue;
            if (std::find(found, found + foundCount, leaf) == found + foundCount) found[foundCount++] = leaf;
          }
      }
      for (int k = 0; k < foundCount; ++k) index.triangles[size_t(found[k]) * index.groups + g].push_back(t);
    }
}

void FillMeshTriangle(const Model& model, int s, int t, int ordinal, MeshTriangle& out) {
  const ModelTriangle& tri = model.triangles[t];
  for (int j = 0; j < 3; ++j) {
    std::memcpy(out.normal[j], tri.normals[j], sizeof out.normal[j]);
    std::memcpy(out.uv0[j], tri.texCoords[j], sizeof out.uv0[j]);
    std::memcpy(out.position[j], Position(model, tri, j), sizeof out.position[j]);
    if (s != kSectionMainRoad) continue;
    const size_t at = (size_t(ordinal) * 3 + j) * 3;
    if (model.tangents) std::memcpy(out.tangent[j], &model.tangents[at], sizeof out.tangent[j]);
    if (model.binormals) std::memcpy(out.binormal[j], &model.binormals[at], sizeof out.binormal[j]);
    if (model.secondTangents) std::memcpy(out.tangent2[j], &model.secondTangents[at], sizeof out.tangent2[j]);
    if (model.secondBinormals) std::memcpy(out.binormal2[j], &model.secondBinormals[at], sizeof out.binormal2[j]);
    std::memcpy(out.uv1[j], tri.secondTexCoords[j], sizeof out.uv1[j]);
  }
}

void BakeLeaf(Baker& baker, QuadTree& node) {
  node.leafIndex = ++gLastLeafIndex;
  QuadTreeList& leaf = baker.leaves[node.leafIndex];
  leaf.cx = node.cx;
  leaf.cy = node.cy;
  leaf.cz = node.cz;
  leaf.halfSize = node.halfSize;
  ComputeLeafProps(baker.sources.objects, leaf);
  delete leaf.grass;
  leaf.grass = new Grass;
  ScatterGrass(baker.sources.grass, node, *leaf.grass);
  PlaceTrees(baker.sources.trees, node, *leaf.grass);
  for (int s = 0; s < kSectionCount; ++s) {
    const SectionIndex& index = baker.sections[s];
    delete[] leaf.sectionMeshes[s];
    leaf.sectionMeshes[s] = index.groups > 0 ? new Mesh[size_t(index.groups)] : nullptr;
    for (int g = 0; g < index.groups; ++g) {
      const std::vector<int>& tris = index.triangles[size_t(node.leafIndex) * index.groups + g];
      if (tris.empty()) continue;
      Mesh& mesh = leaf.sectionMeshes[s][g];
      mesh.count = int32_t(tris.size());
      mesh.tris = new MeshTriangle[tris.size()]();
      for (size_t k = 0; k < tris.size(); ++k)
        FillMeshTriangle(*baker.sources.sections[s], s, tris[k], baker.ordinal[s][size_t(tris[k])], mesh.tris[k]);
    }
  }
}

void BakeNode(Baker& baker, QuadTree& node) {
  if (node.isLeaf) {
    BakeLeaf(baker, node);
    return;
  }
  for (QuadTree* c : node.child) BakeNode(baker, *c);
}

}  // namespace

int CoplanarTrianglesOverlap(const float N[3], const float V0[3], const float V1[3], const float V2[3],
                             const float U0[3], const float U1[3], const float U2[3]) {
  // Project onto the axis plane where the triangles have the largest area.
  const float a[3] = {std::fabs(N[0]), std::fabs(N[1]), std::fabs(N[2])};
  int i0, i1;
  if (a[0] > a[1]) {
    if (a[0] > a[2]) i0 = 1, i1 = 2;
    else i0 = 0, i1 = 1;
  } else {
    if (a[2] > a[1]) i0 = 0, i1 = 1;
    else i0 = 0, i1 = 2;
  }
  if (EdgeCrossesTriangle(V0, V1, U0, U1, U2, i0, i1) || EdgeCrossesTriangle(V1, V2, U0, U1, U2, i0, i1) ||
      EdgeCrossesTriangle(V2, V0, U0, U1, U2, i0, i1))
    return 1;
  if (PointInTriangle(V0, U0, U1, U2, i0, i1) || PointInTriangle(U0, V0, V1, V2, i0, i1)) return 1;
  return 0;
}

int TrianglesIntersect(const float V0[3], const float V1[3], const float V2[3], const float U0[3], const float U1[3],
                       const float U2[3]) {
  const float* u[3] = {U0, U1, U2};
  const float* v[3] = {V0, V1, V2};
  float n1[3], n2[3], du[3], dv[3];
  if (!PlaneDistances(V0, V1, V2, u, n1, du)) return 0;
  if (!PlaneDistances(U0, U1, U2, v, n2, dv)) return 0;
  float line[3];
  CrossProduct3(line, n1, n2);
  int axis = 0;
  if (std::fabs(line[1]) > std::fabs(line[axis])) axis = 1;
  if (std::fabs(line[2]) > std::fabs(line[axis])) axis = 2;
  const float vp[3] = {V0[axis], V1[axis], V2[axis]};
  const float up[3] = {U0[axis], U1[axis], U2[axis]};
  float a[2], b[2];
  if (!TriangleInterval(vp, dv, a)) return CoplanarTrianglesOverlap(n1, V0, V1, V2, U0, U1, U2);
  if (!TriangleInterval(up, du, b)) return CoplanarTrianglesOverlap(n1, V0, V1, V2, U0, U1, U2);
  return (a[1] < b[0] || b[1] < a[0]) ? 0 : 1;
}

void BakeLeaves(QuadTree& root, const QuadTreeSources& sources, QuadTreeList* leaves) {
  Baker* baker = new Baker{sources, leaves, {}, {}, {}, {}};
  // Where each leaf sits, from the tree itself; then the section indexes.
  for (auto& column : baker->leafAt)
    for (int& leaf : column) leaf = -1;
  int next = -1;
  root.ForEachLeaf([&](QuadTree& leaf) {
    const int index = ++next;
    baker->leafNode[index] = &leaf;
    baker->leafAt[Column(leaf.cx, root.halfSize)][Column(leaf.cz, root.halfSize)] = index;
  });
  for (int s = 0; s < kSectionCount; ++s) IndexSection(*baker, s, root.halfSize);
  gLastLeafIndex = -1;
  BakeNode(*baker, root);
  delete baker;
}

void BakeStandardTree(const QuadTreeSources& sources) {
  DestroyWorldQuadTree();
  gQuadTreeDepth = kQuadTreeDepth;
  gQuadTreeLeafCount = kQuadTreeLeafCount;
  gQuadTreeLeaves = new QuadTreeList[kQuadTreeLeafCount];
  gQuadTreeRoot = new QuadTree(0, 0, 0, kQuadTreeHalfSize);
  gQuadTreeRoot->Build(kQuadTreeDepth);
  BakeLeaves(*gQuadTreeRoot, sources, gQuadTreeLeaves);
}

bool BakeWorldQuadTree(const QuadTreeSources& sources, const char* path) {
  BakeStandardTree(sources);
  return SaveQuadTreeFile(sources, path);
}
