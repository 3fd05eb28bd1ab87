// Quadtree culling: the leaves each view lists, and their camera distances.
#include "render/leaf_culling.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// A camera at `eye` looking at `centre`: 65 degrees, 4:3, near 1, far 310.
void CameraPlanes(Vector3 eye, Vector3 centre, float planes[kFrustumPlaneCount][4]) {
  Matrix4 projection, view;
  projection.BuildPerspectiveMatrix(65.0f, 4.0f / 3.0f, 1.0f, 310.0f);
  view.BuildLookAtMatrix(eye, centre, {0, 1, 0});
  ExtractFrustumPlanes(projection, view, planes);
}

// Planes that keep everything, with `plane` set to keep what lies on its
// inner side only.
void KeepAllBut(int plane, float a, float b, float c, float d, float planes[kFrustumPlaneCount][4]) {
  for (int p = 0; p < kFrustumPlaneCount; ++p) {
    planes[p][0] = planes[p][1] = planes[p][2] = 0.0f;
    planes[p][3] = 1.0f;
  }
  planes[plane][0] = a;
  planes[plane][1] = b;
  planes[plane][2] = c;
  planes[plane][3] = d;
}

class LeafCulling : public ::testing::Test {
 protected:
  void SetUp() override { tree.reset(CreateStandardTree()); }

  // The leaf whose square holds (x, z).
  int LeafAt(float x, float z) const {
    const QuadTree* node = tree.get();
    while (!node->isLeaf) {
      const int child = x < node->cx ? (z < node->cz ? 0 : 1) : (z < node->cz ? 3 : 2);
      node = node->child[child];
    }
    return node->leafIndex;
  }
  static bool Lists(const NodeList& list, int leaf) {
    for (int i = 0; i < list.count; ++i)
      if (list.leaf[i] == leaf) return true;
    return false;
  }

  std::unique_ptr<QuadTree> tree;
  NodeList list;
};

TEST_F(LeafCulling, ACameraLookingDownMinusZListsTheLeavesAheadOnly) {
  float planes[kFrustumPlaneCount][4];
  CameraPlanes({0, 10, 0}, {0, 10, -1}, planes);
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_GT(list.count, 4);
  EXPECT_LT(list.count, 40);
  EXPECT_TRUE(Lists(list, LeafAt(0.0f, -100.0f)));
  EXPECT_TRUE(Lists(list, LeafAt(-30.0f, -290.0f)));
  EXPECT_FALSE(Lists(list, LeafAt(0.0f, 200.0f)));   // behind
  EXPECT_FALSE(Lists(list, LeafAt(0.0f, -500.0f)));  // beyond the far plane
  EXPECT_FALSE(Lists(list, LeafAt(600.0f, -100.0f)));  // off to the right
}

TEST_F(LeafCulling, TheWholeWorldBehindTheCameraListsNothing) {
  float planes[kFrustumPlaneCount][4];
  CameraPlanes({0, 10, 1850}, {0, 10, 1900}, planes);  // beyond the +z edge, looking out
  EXPECT_FALSE(IsInFrustum(*tree, planes));
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, 0);
}

TEST_F(LeafCulling, ListsHoldEveryLeafOnceInNumberingOrder) {
  float planes[kFrustumPlaneCount][4];
  KeepAllBut(0, 0, 0, 0, 1, planes);
  CollectVisibleLeaves(*tree, planes, list);
  ASSERT_EQ(list.count, kQuadTreeLeafCount);
  for (int i = 0; i < list.count; ++i) EXPECT_EQ(list.leaf[i], i);

  CameraPlanes({100, 50, 100}, {-300, 0, -200}, planes);
  CollectVisibleLeavesSides(*tree, planes, list);
  std::set<int> seen(list.leaf, list.leaf + list.count);
  EXPECT_EQ(seen.size(), size_t(list.count));
}

TEST_F(LeafCulling, ANodeWithACornerExactlyOnAPlaneAndTheRestOutsideIsSkipped) {
  // Keep x > 0: the (-x) half of the world touches the plane along x = 0.
  float planes[kFrustumPlaneCount][4];
  KeepAllBut(kPlaneRight, 1, 0, 0, 0, planes);
  EXPECT_FALSE(IsInFrustum(*tree->child[0], planes));
  EXPECT_TRUE(IsInFrustum(*tree->child[3], planes));
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, kQuadTreeLeafCount / 2);
  EXPECT_FALSE(Lists(list, LeafAt(-10.0f, 0.0f)));
}

TEST_F(LeafCulling, TheSideVariantIgnoresNearAndFarAndReachesDeeper) {
  float planes[kFrustumPlaneCount][4];
  KeepAllBut(kPlaneFar, 0, 0, 0, -1, planes);  // the far plane rejects everything
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, 0);
  CollectVisibleLeavesSides(*tree, planes, list);
  EXPECT_EQ(list.count, kQuadTreeLeafCount);

  // Keep only what lies below y = -30: deeper than the camera's boxes go
  // (-20), within the shadow boxes (-50).
  KeepAllBut(kPlaneBottom, 0, -1, 0, -30, planes);
  EXPECT_FALSE(IsInFrustum(*tree, planes));
  EXPECT_TRUE(IsInFrustumSides(*tree, planes));
  // ... and above y = 240, within both (250).
  KeepAllBut(kPlaneTop, 0, 1, 0, -240, planes);
  EXPECT_TRUE(IsInFrustum(*tree, planes));
  EXPECT_TRUE(IsInFrustumSides(*tree, planes));
}

TEST_F(LeafCulling, ListedLeavesGetTheirSquaredGroundDistanceToTheEye) {
  std::unique_ptr<QuadTreeList[]> leaves(new QuadTreeList[kQuadTreeLeafCount]);
  tree->ForEachLeaf([&](const QuadTree& node) {
    leaves[node.leafIndex].cx = node.cx;
    leaves[node.leafIndex].cz = node.cz;
    leaves[node.leafIndex].cameraDistSq = -1.0f;
  });
  QuadTreeList* const saved = gQuadTreeLeaves;
  gQuadTreeLeaves = leaves.get();
  list.count = 2;
  list.leaf[0] = 0;     // centre (-1743.75, -1743.75)
  list.leaf[1] = 1023;  // centre (1743.75, -1743.75)
  StoreLeafDistances(list, -1743.75f + 3.0f, -1743.75f - 4.0f);
  gQuadTreeLeaves = saved;
  EXPECT_FLOAT_EQ(leaves[0].cameraDistSq, 25.0f);
  EXPECT_FLOAT_EQ(leaves[1023].cameraDistSq, (3487.5f - 3.0f) * (3487.5f - 3.0f) + 16.0f);
  EXPECT_EQ(leaves[1].cameraDistSq, -1.0f);  // not listed: left alone
}

}  // namespace
