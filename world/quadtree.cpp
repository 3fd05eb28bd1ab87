#include "world/quadtree.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "framework/binary_file.h"
#include "framework/model.h"

QuadTree* gQuadTreeRoot = nullptr;
QuadTreeList* gQuadTreeLeaves = nullptr;
int32_t gQuadTreeDepth = kQuadTreeDepth;
int32_t gQuadTreeLeafCount = kQuadTreeLeafCount;
int32_t gLastLeafIndex = -1;

namespace {

constexpr int kGrassItemBytes = 16;        // x, y, z, size
constexpr int kRoadCornerFloats = 22;      // normal, tangent, binormal, tangent2, binormal2, uv0, uv1, position
constexpr int kSectionCornerFloats = 14;   // normal, tangent, binormal, uv0, position

size_t TriangleBytes(int section) {
  return size_t(3) * (section == kSectionMainRoad ? kRoadCornerFloats : kSectionCornerFloats) * sizeof(float);
}

void ReadFloats(ByteCursor& in, float* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = in.F32();
}

// One corner's record in the file's order; `io` reads or writes each field.
template <typename Io>
void CornerFields(MeshTriangle& t, int corner, bool road, Io io) {
  io(t.normal[corner], 3);
  io(t.tangent[corner], 3);
  io(t.binormal[corner], 3);
  if (road) {
    io(t.tangent2[corner], 3);
    io(t.binormal2[corner], 3);
  }
  io(t.uv0[corner], 2);
  if (road) io(t.uv1[corner], 2);
  io(t.position[corner], 3);
}

bool Refuse(const char* what) {
  std::fprintf(stderr, "qt.qt: %s; no world loaded\n", what);
  DestroyWorldQuadTree();
  return false;
}

// Reads the grass lists of one leaf; false on a negative or impossible count.
bool ReadGrass(ByteCursor& in, Grass& grass) {
  for (int32_t& count : grass.count) count = in.I32();
  if (!in.Ok()) return false;
  for (int k = 0; k < kGrassListCount; ++k) {
    const int32_t count = grass.count[k];
    if (count < 0 || !in.Has(size_t(count) * kGrassItemBytes)) {
      for (int j = k; j < kGrassListCount; ++j) grass.count[j] = 0;
      return false;
    }
    if (count == 0) continue;
    grass.list[k] = new GrassItem[size_t(count)];
    for (int i = 0; i < count; ++i) {
      GrassItem& item = grass.list[k][i];
      for (float* v : {&item.x, &item.y, &item.z, &item.size}) *v = in.F32();
    }
  }
  return in.Ok();
}

// Every value of every triangle (the fields a section does not store are 0).
bool TrianglesFinite(const Mesh& mesh) {
  float values[sizeof(MeshTriangle) / sizeof(float)];
  for (int t = 0; t < mesh.count; ++t) {
    std::memcpy(values, &mesh.tris[t], sizeof values);
    if (!AllFinite(values, std::size(values))) return false;
  }
  return true;
}

bool ReadSection(ByteCursor& in, int section, const Model* model, QuadTreeList& leaf, const char** error) {
  const int groups = SectionMeshCount(model);
  const int32_t meshCount = in.I32();
  if (!in.Ok()) return (*error = "the file ends early"), false;
  if (meshCount != groups) return (*error = "a mesh count is not its section model's group count"), false;
  if (groups > 0) leaf.sectionMeshes[section] = new Mesh[size_t(groups)];
  for (int g = 0; g < groups; ++g) {
    Mesh& mesh = leaf.sectionMeshes[section][g];
    const int32_t count = in.I32();
    if (count < 0) return (*error = "a negative triangle count"), false;
    if (!in.Has(size_t(count) * TriangleBytes(section))) return (*error = "the file ends early"), false;
    if (count == 0) continue;
    mesh.tris = new MeshTriangle[size_t(count)]();
    mesh.count = count;
    for (int t = 0; t < count; ++t)
      for (int corner = 0; corner < 3; ++corner)
        CornerFields(mesh.tris[t], corner, section == kSectionMainRoad,
                     [&](float* v, int n) { ReadFloats(in, v, n); });
    if (!TrianglesFinite(mesh)) return (*error = "a triangle value is not a finite number"), false;
  }
  return in.Ok() || (*error = "the file ends early", false);
}

// The tree's leaf numbered `index`: depth first in child order, so each
// level's child is one base-4 digit of the index, the root's the highest.
const QuadTree* LeafNode(int index) {
  const QuadTree* node = gQuadTreeRoot;
  for (int level = kQuadTreeDepth - 1; level >= 0 && node && !node->isLeaf; --level)
    node = node->child[(index >> (2 * level)) & 3];
  return node;
}

// Culling, the props and the grass all take a leaf's square from its record:
// it must be the square the leaf has in the tree (which no NaN equals).
bool IsLeafSquare(const QuadTreeList& leaf, int index) {
  const QuadTree* node = LeafNode(index);
  return node && leaf.cx == node->cx && leaf.cy == node->cy && leaf.cz == node->cz && leaf.halfSize == node->halfSize;
}

// What is wrong with the leaf's grass and trees, or nullptr: each stands
// inside its leaf's square (edges included), all its values finite.
const char* GrassFault(const Grass& grass, const QuadTreeList& leaf) {
  for (int k = 0; k < kGrassListCount; ++k)
    for (int i = 0; i < grass.count[k]; ++i) {
      const GrassItem& item = grass.list[k][i];
      const float values[] = {item.x, item.y, item.z, item.size};
      if (!AllFinite(values, 4)) return "a grass or tree value is not a finite number";
      if (std::fabs(item.x - leaf.cx) > leaf.halfSize || std::fabs(item.z - leaf.cz) > leaf.halfSize)
        return "a grass or tree item stands outside its leaf";
    }
  return nullptr;
}

bool ReadLeaf(ByteCursor& in, const QuadTreeSources& sources, int index, QuadTreeList& leaf, const char** error) {
  for (float* v : {&leaf.cx, &leaf.cy, &leaf.cz, &leaf.halfSize}) *v = in.F32();
  if (!in.Ok()) return (*error = "the file ends early"), false;
  if (!IsLeafSquare(leaf, index)) return (*error = "a leaf's square is not the one it has in the tree"), false;
  ComputeLeafProps(sources.objects, leaf);
  leaf.grass = new Grass;
  if (!ReadGrass(in, *leaf.grass)) return (*error = "a grass count is negative or runs past the end"), false;
  if (const char* fault = GrassFault(*leaf.grass, leaf)) return (*error = fault), false;
  for (int s = 0; s < kSectionCount; ++s)
    if (!ReadSection(in, s, sources.sections[s], leaf, error)) return false;
  return true;
}

// Whether the first corner of triangle t of the objects model lies in the leaf.
bool FirstCornerInLeaf(const Model& objects, int triangle, const QuadTreeList& leaf) {
  const ModelTriangle& tri = objects.triangles[triangle];
  const float* p = objects.vertices[tri.vertexIndices[0]].position;
  return p[0] >= leaf.cx - leaf.halfSize && p[0] <= leaf.cx + leaf.halfSize && p[2] >= leaf.cz - leaf.halfSize &&
         p[2] <= leaf.cz + leaf.halfSize;
}

}  // namespace

Mesh::~Mesh() {
  delete[] tris;
  tris = nullptr;
  count = 0;
}

Grass::~Grass() {
  for (int k = 0; k < kGrassListCount; ++k) {
    delete[] list[k];
    list[k] = nullptr;
    count[k] = 0;
  }
}

QuadTreeList::~QuadTreeList() {
  for (Mesh*& meshes : sectionMeshes) {
    delete[] meshes;
    meshes = nullptr;
  }
  delete grass;
  grass = nullptr;
  delete[] objectIdx;
  objectIdx = nullptr;
  objectCount = 0;
}

QuadTree::~QuadTree() {
  for (QuadTree*& c : child) {
    delete c;
    c = nullptr;
  }
}

void QuadTree::Build(int depth) {
  if (depth == 0) {
    isLeaf = 1;
    return;
  }
  isLeaf = 0;
  const float h = halfSize / 2;
  const float offsets[4][2] = {{-h, -h}, {-h, h}, {h, h}, {h, -h}};
  for (int i = 0; i < 4; ++i) {
    child[i] = new QuadTree(cx + offsets[i][0], cy, cz + offsets[i][1], h);
    child[i]->Build(depth - 1);
  }
}

void QuadTree::NumberLeaves() {
  if (isLeaf) {
    leafIndex = ++gLastLeafIndex;
    return;
  }
  for (QuadTree* c : child) c->NumberLeaves();
}

int SectionMeshCount(const Model* model) { return model && model->groupCount > 0 ? model->groupCount : 0; }

QuadTree* CreateStandardTree() {
  QuadTree* root = new QuadTree(0, 0, 0, kQuadTreeHalfSize);
  root->Build(kQuadTreeDepth);
  gLastLeafIndex = -1;
  root->NumberLeaves();
  return root;
}

void ComputeLeafProps(const Model* objects, QuadTreeList& leaf) {
  delete[] leaf.objectIdx;
  leaf.objectIdx = nullptr;
  leaf.objectCount = 0;
  if (!objects || !objects->triangles) return;
  auto walk = [&](auto&& take) {
    int ordinal = 0;
    for (int g = 0; g < objects->groupCount; ++g)
      for (int i = 0; i < objects->groups[g].triangleCount; ++i, ++ordinal)
        if (FirstCornerInLeaf(*objects, objects->groups[g].triangleIndices[i], leaf)) take(ordinal);
  };
  int count = 0;
  walk([&](int) { ++count; });
  if (count == 0) return;
  leaf.objectIdx = new int32_t[size_t(count)];
  walk([&](int ordinal) { leaf.objectIdx[leaf.objectCount++] = ordinal; });
}

bool CreateWorldQuadTreeFromBytes(const QuadTreeSources& sources, const uint8_t* data, size_t size) {
  DestroyWorldQuadTree();
  gQuadTreeDepth = kQuadTreeDepth;
  gQuadTreeLeafCount = kQuadTreeLeafCount;
  gQuadTreeLeaves = new QuadTreeList[kQuadTreeLeafCount];
  gQuadTreeRoot = CreateStandardTree();
  ByteCursor in(data, size);
  gLastLeafIndex = in.I32();
  if (!in.Ok()) return Refuse("the file is empty");
  if (gLastLeafIndex != kQuadTreeLastLeaf) return Refuse("the last leaf index is not 1023");
  for (int leaf = 0; leaf <= kQuadTreeLastLeaf; ++leaf) {
    const char* error = "";
    if (!ReadLeaf(in, sources, leaf, gQuadTreeLeaves[leaf], &error)) return Refuse(error);
  }
  return true;
}

bool CreateWorldQuadTree(const QuadTreeSources& sources, const char* path) {
  std::vector<uint8_t> bytes;
  if (!ReadAssetFile(path, &bytes)) {
    DestroyWorldQuadTree();
    std::fprintf(stderr, "qt.qt: cannot read %s; no world loaded\n", path ? path : "(null)");
    return false;
  }
  return CreateWorldQuadTreeFromBytes(sources, bytes.data(), bytes.size());
}

void DestroyWorldQuadTree() {
  delete[] gQuadTreeLeaves;
  gQuadTreeLeaves = nullptr;
  delete gQuadTreeRoot;
  gQuadTreeRoot = nullptr;
}

std::vector<uint8_t> EncodeQuadTreeFile(const QuadTreeSources& sources) {
  ByteBuffer out;
  if (!gQuadTreeLeaves) return {};
  out.bytes.reserve(size_t(32) << 20);
  out.I32(kQuadTreeLastLeaf);
  for (int l = 0; l <= kQuadTreeLastLeaf; ++l) {
    QuadTreeList& leaf = gQuadTreeLeaves[l];
    for (float v : {leaf.cx, leaf.cy, leaf.cz, leaf.halfSize}) out.F32(v);
    for (int k = 0; k < kGrassListCount; ++k) out.I32(leaf.grass ? leaf.grass->count[k] : 0);
    for (int k = 0; k < kGrassListCount && leaf.grass; ++k)
      for (int i = 0; i < leaf.grass->count[k]; ++i) {
        const GrassItem& item = leaf.grass->list[k][i];
        for (float v : {item.x, item.y, item.z, item.size}) out.F32(v);
      }
    for (int s = 0; s < kSectionCount; ++s) {
      const int groups = SectionMeshCount(sources.sections[s]);
      out.I32(groups);
      for (int g = 0; g < groups; ++g) {
        Mesh* mesh = leaf.sectionMeshes[s] ? &leaf.sectionMeshes[s][g] : nullptr;
        const int count = mesh ? mesh->count : 0;
        out.I32(count);
        for (int t = 0; t < count; ++t)
          for (int corner = 0; corner < 3; ++corner)
            CornerFields(mesh->tris[t], corner, s == kSectionMainRoad,
                         [&](const float* v, int n) {
                           for (int i = 0; i < n; ++i) out.F32(v[i]);
                         });
      }
    }
  }
  return std::move(out.bytes);
}

bool SaveQuadTreeFile(const QuadTreeSources& sources, const char* path) {
  const std::vector<uint8_t> bytes = EncodeQuadTreeFile(sources);
  if (bytes.empty()) return false;
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}
