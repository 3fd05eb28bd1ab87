// The world's spatial index: a five-level quadtree over the landscape whose
// 1024 leaves each hold the pieces of the world inside their square: the
// triangles of the six drawable section models, the grass and tree
// instances, and the props standing there. Everything but the props comes
// from base/world/models/qt.qt, baked from the same models by the generator
// (quadtree_baker.h); culling walks the tree, the world passes draw leaf by
// leaf.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Model;

inline constexpr int kQuadTreeDepth = 5;
inline constexpr int kQuadTreeLeafCount = 1024;            // 4 to the power of the depth
inline constexpr int kQuadTreeLastLeaf = kQuadTreeLeafCount - 1;
inline constexpr float kQuadTreeHalfSize = 1800.0f;         // root half side, world units
inline constexpr int kSectionCount = 6;                     // main_road .. add_transparency2
inline constexpr int kGrassKindCount = 8;                   // grass pictures of the atlas
inline constexpr int kGrassListCount = 16;                  // 0..7 grass kinds, 8..15 tree kinds
inline constexpr int kTreeListFirst = 8;
inline constexpr const char* kQuadTreeFile = "base/world/models/qt.qt";

// Section numbers, in the file's order.
enum Section : int {
  kSectionMainRoad = 0,
  kSectionMainMap = 1,
  kSectionMainTransparency = 2,
  kSectionAddMap = 3,
  kSectionAddTransparency = 4,
  kSectionAddTransparency2 = 5,
};

// One triangle of a section inside a leaf (66 floats), each field holding
// the three corners. tangent2, binormal2 and uv1 hold data for main_road only.
struct MeshTriangle {
  float normal[3][3];
  float tangent[3][3];
  float binormal[3][3];
  float tangent2[3][3];
  float binormal2[3][3];
  float uv0[3][2];
  float uv1[3][2];
  float position[3][3];
};
static_assert(sizeof(MeshTriangle) == 66 * sizeof(float));

// One material group of one section inside one leaf.
class Mesh {
 public:
  virtual ~Mesh();
  MeshTriangle* tris = nullptr;  // owned, count entries
  int32_t count = 0;
};

struct GrassItem {
  float x, y, z;  // world position on the ground
  float size;     // billboard scale
};

// The grass and tree instances of one leaf, one list per kind.
class Grass {
 public:
  virtual ~Grass();
  GrassItem* list[kGrassListCount] = {};  // owned
  int32_t count[kGrassListCount] = {};
};

// What one leaf holds.
class QuadTreeList {
 public:
  virtual ~QuadTreeList();
  int32_t* objectIdx = nullptr;  // prop indices standing in the leaf (owned)
  int32_t objectCount = 0;
  Grass* grass = nullptr;
  Mesh* sectionMeshes[kSectionCount] = {};  // per section, one Mesh per group of its model
  float cx = 0, cy = 0, cz = 0, halfSize = 0;  // leaf square, from the file
  float cameraDistSq = 0;                   // written by culling for the visible leaves
};

// A node of the tree. Children over the node's square in (x, z):
// 0 = (−x, −z), 1 = (−x, +z), 2 = (+x, +z), 3 = (+x, −z).
class QuadTree {
 public:
  QuadTree(float x, float y, float z, float half) : cx(x), cy(y), cz(z), halfSize(half) {}
  virtual ~QuadTree();
  QuadTree(const QuadTree&) = delete;
  QuadTree& operator=(const QuadTree&) = delete;

  // Makes the node a leaf at depth 0, else creates its four children and
  // their subtrees.
  void Build(int depth);
  // Numbers the leaves depth first in child order from gLastLeafIndex + 1.
  void NumberLeaves();
  // Visits the leaves in their numbering order.
  template <typename F>
  void ForEachLeaf(F&& visit) {
    if (isLeaf) {
      visit(*this);
      return;
    }
    for (QuadTree* c : child) c->ForEachLeaf(visit);
  }

  QuadTree* child[4] = {};
  float cx, cy, cz;
  float halfSize;
  int32_t leafIndex = 0;
  uint8_t isLeaf = 0;
};

// Capacity for every leaf once.
struct NodeList {
  int32_t leaf[kQuadTreeLeafCount];
  int32_t count = 0;
};

// The models a tree is read or baked against (main_road_linear takes no part).
struct QuadTreeSources {
  const Model* sections[kSectionCount] = {};  // main_road, main_map, main_transparency, add_map, ...
  const Model* objects = nullptr;             // the race's prop markers
  const Model* grass = nullptr;               // the surface grass is scattered over
  const Model* trees = nullptr;               // one tree per triangle
};

extern QuadTree* gQuadTreeRoot;        // empty while no world is loaded
extern QuadTreeList* gQuadTreeLeaves;  // kQuadTreeLeafCount records by leaf index
extern int32_t gQuadTreeDepth;
extern int32_t gQuadTreeLeafCount;
extern int32_t gLastLeafIndex;  // numbering counter, then the file's last leaf index

// Groups of a section model (0 for a missing model).
int SectionMeshCount(const Model* model);

// The standard tree: root at the origin with half size 1800, built to
// kQuadTreeDepth and numbered. The caller owns it.
QuadTree* CreateStandardTree();

// The leaf's prop list: the ordinal (in a group-by-group walk) of every
// objects triangle whose first corner lies in the leaf's square, edges included.
void ComputeLeafProps(const Model* objects, QuadTreeList& leaf);

// Reads qt.qt into gQuadTreeLeaves and builds gQuadTreeRoot. A file that is
// missing, short, for another tree (last leaf index not 1023) or for other
// models (a mesh count not the section's group count), or that holds a
// negative count, a leaf square other than the tree's, a grass or tree item
// outside its leaf, or a grass, tree or triangle value that is not a finite
// number, is refused: a line on stderr, nothing left allocated,
// no world (false).
bool CreateWorldQuadTree(const QuadTreeSources& sources, const char* path = kQuadTreeFile);
// The same from bytes in memory.
bool CreateWorldQuadTreeFromBytes(const QuadTreeSources& sources, const uint8_t* data, size_t size);
// Frees the leaf records and the tree; both globals become empty.
void DestroyWorldQuadTree();

// The file image of gQuadTreeLeaves, field for field in the reader's order.
std::vector<uint8_t> EncodeQuadTreeFile(const QuadTreeSources& sources);
bool SaveQuadTreeFile(const QuadTreeSources& sources, const char* path = kQuadTreeFile);
