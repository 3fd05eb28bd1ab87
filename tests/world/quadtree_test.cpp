// The world quadtree: leaf numbering, the qt.qt reader and writer, the
// refusal of broken files, and the leaf baker with its triangle tests.
#include "world/quadtree.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "framework/model.h"
#include "framework/random.h"
#include "tools/ms3d_writer.h"
#include "world/quadtree_baker.h"

namespace {

using Corner = std::array<float, 3>;
using Triangle = std::array<Corner, 3>;

// A model of loose triangles, group by group (each group's own material).
std::unique_ptr<MilkshapeModel> MakeModel(const std::vector<std::vector<Triangle>>& groups) {
  Ms3dFile file;
  for (size_t g = 0; g < groups.size(); ++g) {
    Ms3dGroup group;
    group.name = "g" + std::to_string(g);
    group.material = int8_t(g);
    for (const Triangle& t : groups[g]) {
      Ms3dTriangle tri;
      for (int c = 0; c < 3; ++c) {
        tri.vertices[c] = uint16_t(file.vertices.size());
        Ms3dVertex v;
        for (int a = 0; a < 3; ++a) v.position[a] = t[size_t(c)][size_t(a)];
        file.vertices.push_back(v);
        tri.normals[c][1] = 1;
        tri.s[c] = float(c == 1);
        tri.t[c] = float(c == 2);
      }
      tri.groupIndex = uint8_t(g);
      group.triangles.push_back(uint16_t(file.triangles.size()));
      file.triangles.push_back(tri);
    }
    file.groups.push_back(group);
    Ms3dMaterial material;
    material.name = group.name;
    file.materials.push_back(material);
  }
  auto model = std::make_unique<MilkshapeModel>();
  const std::vector<uint8_t> bytes = EncodeMs3d(file);
  EXPECT_TRUE(model->LoadFromBytes(bytes.data(), bytes.size()));
  return model;
}

// A small flat triangle on the ground with its first corner at (x, z).
Triangle At(float x, float z, float size = 1.0f) { return {{{x, 0, z}, {x + size, 0, z}, {x, 0, z + size}}}; }

// A world of a few triangles in every kind of model, baked with a fixed seed.
struct SmallWorld {
  std::unique_ptr<MilkshapeModel> road, map, empty, objects, grass, trees;
  QuadTreeSources sources;

  SmallWorld() {
    // The second road triangle's first corner lies on the edge x = −1687.5
    // that leaf 0 shares with leaf 3.
    road = MakeModel({{At(-1700, -1700), At(-1687.5f, -1700)}, {At(500, 500)}});
    road->BuildTangentSpace();
    road->CopySecondTexCoords(*road);
    road->BuildSecondTangentSpace();
    map = MakeModel({{At(10, 10, 3)}});
    empty = MakeModel({{}});
    objects = MakeModel({{At(-1750, -1750), At(-1750, -1687.5f)}, {At(2000, 0)}});
    grass = MakeModel({{{{{-1790, 0, -1790}, {-1700, 0, -1790}, {-1790, 2, -1700}}}}});
    trees = MakeModel({{At(-1740, -1740, 0.3f)}, {}, {}, {}, {}, {}, {}, {}, {At(-1720, -1720, 0.3f)}});
    sources.sections[kSectionMainRoad] = road.get();
    sources.sections[kSectionMainMap] = map.get();
    for (int s = kSectionMainTransparency; s < kSectionCount; ++s) sources.sections[s] = empty.get();
    sources.objects = objects.get();
    sources.grass = grass.get();
    sources.trees = trees.get();
  }
  std::vector<uint8_t> Bake() {
    SeedRandom(7);
    BakeStandardTree(sources);
    return EncodeQuadTreeFile(sources);
  }
};

class WorldQuadTree : public ::testing::Test {
 protected:
  void TearDown() override { DestroyWorldQuadTree(); }
  SmallWorld world;
};

TEST_F(WorldQuadTree, LeavesAreNumberedDepthFirstFromTheMinusMinusCorner) {
  std::unique_ptr<QuadTree> root(CreateStandardTree());
  EXPECT_EQ(gLastLeafIndex, 1023);
  int nodes = 0;
  std::function<void(QuadTree&)> count = [&](QuadTree& n) {
    ++nodes;
    if (!n.isLeaf)
      for (QuadTree* c : n.child) count(*c);
  };
  count(*root);
  EXPECT_EQ(nodes, 1365);
  std::vector<const QuadTree*> byIndex(kQuadTreeLeafCount);
  root->ForEachLeaf([&](QuadTree& leaf) { byIndex[size_t(leaf.leafIndex)] = &leaf; });
  struct Expected {
    int leaf;
    float cx, cz;
  } cases[] = {{0, -1743.75f, -1743.75f}, {1, -1743.75f, -1631.25f}, {1023, 1743.75f, -1743.75f}};
  for (const Expected& e : cases) {
    EXPECT_FLOAT_EQ(byIndex[size_t(e.leaf)]->cx, e.cx) << e.leaf;
    EXPECT_FLOAT_EQ(byIndex[size_t(e.leaf)]->cy, 0.0f) << e.leaf;
    EXPECT_FLOAT_EQ(byIndex[size_t(e.leaf)]->cz, e.cz) << e.leaf;
    EXPECT_FLOAT_EQ(byIndex[size_t(e.leaf)]->halfSize, 56.25f) << e.leaf;
  }
}

TEST(TriangleTests, CrossingTouchingCoplanarAndDisjointCases) {
  struct Case {
    const char* name;
    Triangle v, u;
    int expected;
  } cases[] = {
      {"crossing", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{0.5f, -1, 0.5f}, {0.5f, 1, 0.5f}, {3, 0, 3}}}, 1},
      {"touching at a corner", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{1, 0, 1}, {1, 2, 1}, {3, 2, 3}}}, 1},
      {"coplanar overlapping", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{0.5f, 0, 0.5f}, {3, 0, 0.5f}, {0.5f, 0, 3}}}, 1},
      {"coplanar, one inside the other", {{{0, 0, 0}, {9, 0, 0}, {0, 0, 9}}}, {{{1, 0, 1}, {2, 0, 1}, {1, 0, 2}}}, 1},
      {"coplanar sharing an edge's end", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{2, 0, 0}, {4, 0, 0}, {2, 0, 2}}}, 1},
      {"coplanar apart", {{{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}}, {{{3, 0, 3}, {4, 0, 3}, {3, 0, 4}}}, 0},
      {"parallel planes", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{0, 1, 0}, {2, 1, 0}, {0, 1, 2}}}, 0},
      {"planes cross, triangles apart", {{{0, 0, 0}, {2, 0, 0}, {0, 0, 2}}}, {{{5, -1, 5}, {5, 1, 5}, {6, 0, 6}}}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrianglesIntersect(c.v[0].data(), c.v[1].data(), c.v[2].data(), c.u[0].data(), c.u[1].data(),
                                 c.u[2].data()),
              c.expected)
        << c.name;
    EXPECT_EQ(TrianglesIntersect(c.u[0].data(), c.u[1].data(), c.u[2].data(), c.v[0].data(), c.v[1].data(),
                                 c.v[2].data()),
              c.expected)
        << c.name << " (swapped)";
  }
}

TEST_F(WorldQuadTree, BakedFileReadsBackAndWritesTheSameBytes) {
  const std::vector<uint8_t> baked = world.Bake();
  ASSERT_FALSE(baked.empty());
  DestroyWorldQuadTree();
  ASSERT_TRUE(CreateWorldQuadTreeFromBytes(world.sources, baked.data(), baked.size()));
  ASSERT_NE(gQuadTreeRoot, nullptr);
  EXPECT_EQ(gLastLeafIndex, 1023);
  EXPECT_EQ(EncodeQuadTreeFile(world.sources), baked);
}

TEST_F(WorldQuadTree, BakePutsEachPieceInTheLeavesItTouches) {
  world.Bake();
  const QuadTreeList& leaf0 = gQuadTreeLeaves[0];  // x, z in −1800..−1687.5
  const QuadTreeList& leaf3 = gQuadTreeLeaves[3];  // its +x neighbour
  // Road: both triangles have a corner in leaf 0; the second's first corner
  // lies on the shared edge, so leaf 3 holds it too.
  ASSERT_NE(leaf0.sectionMeshes[kSectionMainRoad], nullptr);
  EXPECT_EQ(leaf0.sectionMeshes[kSectionMainRoad][0].count, 2);
  EXPECT_EQ(leaf0.sectionMeshes[kSectionMainRoad][1].count, 0);
  EXPECT_EQ(leaf0.sectionMeshes[kSectionMainRoad][1].tris, nullptr);
  EXPECT_EQ(leaf3.sectionMeshes[kSectionMainRoad][0].count, 1);
  // main_road carries both tangent frames and its second texture set.
  const MeshTriangle& t = leaf0.sectionMeshes[kSectionMainRoad][0].tris[0];
  EXPECT_FLOAT_EQ(t.position[1][0], -1699.0f);
  EXPECT_NE(t.tangent2[0][0] * t.tangent2[0][0] + t.tangent2[0][2] * t.tangent2[0][2], 0.0f);
  EXPECT_FLOAT_EQ(t.uv1[1][0], 1.0f);
  // Props: the second's first corner lies on the edge z = −1687.5 that
  // leaves 0 and 1 share, so both list it; the one outside the world, none.
  ASSERT_EQ(leaf0.objectCount, 2);
  EXPECT_EQ(leaf0.objectIdx[0], 0);
  EXPECT_EQ(leaf0.objectIdx[1], 1);
  ASSERT_EQ(gQuadTreeLeaves[1].objectCount, 1);
  EXPECT_EQ(gQuadTreeLeaves[1].objectIdx[0], 1);
  EXPECT_EQ(gQuadTreeLeaves[2].objectCount, 0);
  EXPECT_EQ(gQuadTreeLeaves[2].objectIdx, nullptr);
  // Trees: the group-0 tree stands in leaf 0 as kind 8; the group-8 one is no tree.
  EXPECT_EQ(leaf0.grass->count[kTreeListFirst], 1);
  for (int k = kTreeListFirst + 1; k < kGrassListCount; ++k) EXPECT_EQ(leaf0.grass->count[k], 0) << k;
  EXPECT_GE(leaf0.grass->list[kTreeListFirst][0].size, 0.65f);
  EXPECT_LE(leaf0.grass->list[kTreeListFirst][0].size, 1.0f);
  // Grass: scattered in leaf 0 (the whole triangle lies there), none elsewhere.
  int tufts = 0;
  for (int k = 0; k < kTreeListFirst; ++k) {
    tufts += leaf0.grass->count[k];
    for (int i = 0; i < leaf0.grass->count[k]; ++i) {
      const GrassItem& item = leaf0.grass->list[k][i];
      EXPECT_GE(item.size, 0.8f);
      EXPECT_LE(item.size, 1.2f);
      EXPECT_GE(item.y, 0.0f);
      EXPECT_LE(item.y, 2.0f);
    }
  }
  EXPECT_GT(tufts, 1000);  // 4050 units² at 0.3 a unit², less the dropped points
  for (int leaf = 1; leaf < kQuadTreeLeafCount; ++leaf)
    for (int k = 0; k < kTreeListFirst; ++k) ASSERT_EQ(gQuadTreeLeaves[leaf].grass->count[k], 0) << leaf;
}

TEST_F(WorldQuadTree, GrassTouchingALeafOnlyAlongItsEdgeScattersOnlyInsideIt) {
  // Right of leaf 0's square, its left edge on x = −1687.5; a tiny triangle
  // (area < 1 / 0.3) still gets its one try.
  world.grass = MakeModel({{{{{-1687.5f, 0, -1790}, {-1600, 0, -1790}, {-1687.5f, 0, -1700}}}},
                           {At(-1795, -1795, 0.5f)}});
  world.sources.grass = world.grass.get();
  world.Bake();
  int inLeaf0 = 0;
  for (int k = 0; k < kTreeListFirst; ++k)
    for (int i = 0; i < gQuadTreeLeaves[0].grass->count[k]; ++i) {
      EXPECT_TRUE(gQuadTreeLeaves[0].grass->list[k][i].x <= -1687.5f);
      ++inLeaf0;
    }
  EXPECT_GE(inLeaf0, 1);  // the tiny one, and any point of the big one on the edge
  int inLeaf3 = 0;
  for (int k = 0; k < kTreeListFirst; ++k) inLeaf3 += gQuadTreeLeaves[3].grass->count[k];
  EXPECT_GT(inLeaf3, 500);
}

TEST_F(WorldQuadTree, ALeafTakesMoreGrassThanTheOldHundredThousand) {
  // 60 copies of both halves of leaf 0's square: about 228 000 tufts there.
  const Triangle a = {{{-1800, 0, -1800}, {-1687.5f, 0, -1800}, {-1800, 0, -1687.5f}}};
  const Triangle b = {{{-1687.5f, 0, -1687.5f}, {-1800, 0, -1687.5f}, {-1687.5f, 0, -1800}}};
  std::vector<Triangle> many;
  for (int i = 0; i < 60; ++i) many.insert(many.end(), {a, b});
  world.grass = MakeModel({many});
  world.sources.grass = world.grass.get();
  world.Bake();
  int tufts = 0;
  for (int k = 0; k < kTreeListFirst; ++k) tufts += gQuadTreeLeaves[0].grass->count[k];
  EXPECT_GT(tufts, 100000);
}

TEST_F(WorldQuadTree, BrokenFilesAreRefusedAndLeaveNoWorld) {
  const std::vector<uint8_t> good = world.Bake();
  int leaf0Items = 0;
  for (int32_t count : gQuadTreeLeaves[0].grass->count) leaf0Items += count;
  DestroyWorldQuadTree();
  auto withWord = [&](size_t offset, auto value) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(&bytes[offset], &value, 4);
    return bytes;
  };
  // Leaf 0 starts at byte 4: centre and half size, 16 grass counts, its grass (x, y, z,
  // size each), then main_road's mesh count, its first group's triangle count and triangles.
  const size_t grassCounts = 4 + 16;
  const size_t firstGrass = grassCounts + 4 * 16, firstTriangle = firstGrass + 16 * size_t(leaf0Items) + 8;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"cut after the leaf count", std::vector<uint8_t>(good.begin(), good.begin() + 4)},
      {"cut in the middle", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2))},
      {"cut one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"another tree's leaf count", withWord(0, 1022)},
      {"a leaf count past the tree", withWord(0, 4095)},
      {"a negative grass count", withWord(grassCounts, -5)},
      {"a grass count past the end", withWord(grassCounts, 1 << 30)},
      {"a leaf centre that is no number", withWord(4, std::nanf(""))},
      {"the square of leaf 0's neighbour", withWord(4, -1631.25f)},
      {"a grass height that is no number", withWord(firstGrass + 4, std::nanf(""))},
      {"grass standing outside its leaf", withWord(firstGrass, 0.0f)},
      {"an infinite triangle value", withWord(firstTriangle, HUGE_VALF)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(CreateWorldQuadTreeFromBytes(world.sources, c.bytes.data(), c.bytes.size())) << c.name;
    EXPECT_EQ(gQuadTreeRoot, nullptr) << c.name;
    EXPECT_EQ(gQuadTreeLeaves, nullptr) << c.name;
  }
  // Models with another group count than the bake's.
  QuadTreeSources other = world.sources;
  other.sections[kSectionMainMap] = world.road.get();
  EXPECT_FALSE(CreateWorldQuadTreeFromBytes(other, good.data(), good.size()));
  EXPECT_EQ(gQuadTreeRoot, nullptr);
  EXPECT_FALSE(CreateWorldQuadTree(world.sources, "no/such/qt.qt"));
  EXPECT_EQ(gQuadTreeLeaves, nullptr);
}

}  // namespace
