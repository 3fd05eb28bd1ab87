// Quadtree culling: the leaves each view lists.
#include "render/leaf_culling.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

class LeafCulling : public ::testing::Test {
 protected:
  // A camera at `eye` looking at `centre`: 65 degrees, 4:3, near 1, far 310.
  void Camera(Vector3 eye, Vector3 centre) {
    Matrix4 projection, view;
    projection.BuildPerspectiveMatrix(65.0f, 4.0f / 3.0f, 1.0f, 310.0f);
    view.BuildLookAtMatrix(eye, centre, {0, 1, 0});
    ExtractFrustumPlanes(projection, view, planes);
  }
  // Planes that keep everything but what `plane` rejects.
  void KeepAllBut(int plane, float a, float b, float c, float d) {
    for (auto& p : planes) p[0] = p[1] = p[2] = 0.0f, p[3] = 1.0f;
    planes[plane][0] = a, planes[plane][1] = b, planes[plane][2] = c, planes[plane][3] = d;
  }
  int LeafAt(float x, float z) const {
    const QuadTree* node = tree.get();
    while (!node->isLeaf) node = node->child[x < node->cx ? (z < node->cz ? 0 : 1) : (z < node->cz ? 3 : 2)];
    return node->leafIndex;
  }
  bool Listed(int leaf) const { return std::set<int>(list.leaf, list.leaf + list.count).count(leaf) > 0; }

  std::unique_ptr<QuadTree> tree{CreateStandardTree()};
  float planes[kFrustumPlaneCount][4];
  NodeList list;
};

TEST_F(LeafCulling, ACameraLookingDownMinusZListsTheLeavesAheadOnly) {
  Camera({0, 10, 0}, {0, 10, -1});
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_TRUE(Listed(LeafAt(0.0f, -100.0f)));
  EXPECT_TRUE(Listed(LeafAt(-30.0f, -290.0f)));
  EXPECT_FALSE(Listed(LeafAt(0.0f, 200.0f)));     // behind
  EXPECT_FALSE(Listed(LeafAt(0.0f, -500.0f)));    // beyond the far plane
  EXPECT_FALSE(Listed(LeafAt(600.0f, -100.0f)));  // off to the right
  EXPECT_EQ(std::set<int>(list.leaf, list.leaf + list.count).size(), size_t(list.count));

  list.count = 0;
  Camera({0, 10, 1850}, {0, 10, 1900});  // beyond the world's +z edge, looking out
  EXPECT_FALSE(IsInFrustum(*tree, planes));
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, 0);
}

TEST_F(LeafCulling, EveryLeafAtMostOnceInNumberingOrder) {
  KeepAllBut(0, 0, 0, 0, 1);
  CollectVisibleLeaves(*tree, planes, list);
  ASSERT_EQ(list.count, kQuadTreeLeafCount);
  for (int i = 0; i < list.count; ++i) ASSERT_EQ(list.leaf[i], i);
}

TEST_F(LeafCulling, AHalfTouchingAPlaneOnlyAlongItsEdgeIsSkipped) {
  KeepAllBut(kPlaneRight, 1, 0, 0, 0);  // keeps x > 0; the -x half touches x = 0
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, kQuadTreeLeafCount / 2);
  EXPECT_FALSE(Listed(LeafAt(-10.0f, 0.0f)));
}

TEST_F(LeafCulling, TheSideVariantIgnoresNearAndFarAndReachesDeeper) {
  KeepAllBut(kPlaneFar, 0, 0, 0, -1);  // the far plane rejects everything
  CollectVisibleLeaves(*tree, planes, list);
  EXPECT_EQ(list.count, 0);
  CollectVisibleLeavesSides(*tree, planes, list);
  EXPECT_EQ(list.count, kQuadTreeLeafCount);
  KeepAllBut(kPlaneBottom, 0, -1, 0, -30);  // only below y = -30
  EXPECT_FALSE(IsInFrustum(*tree, planes));  // the camera's boxes reach -20
  EXPECT_TRUE(IsInFrustumSides(*tree, planes));  // the sun's reach -50
}

}  // namespace
