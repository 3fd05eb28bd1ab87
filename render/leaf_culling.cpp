// Quadtree culling: leaf lists of a view and the leaves' camera distances.
#include "render/leaf_culling.h"

namespace {

// The height a leaf's contents reach, around the ground at the node's cy.
constexpr float kNodeBottom = -20.0f, kNodeTop = 250.0f;
constexpr float kShadowNodeBottom = -50.0f;  // shadows fall a little deeper

constexpr int kAllPlanes[] = {kPlaneRight, kPlaneLeft, kPlaneFar, kPlaneNear, kPlaneBottom, kPlaneTop};
constexpr int kSidePlanes[] = {kPlaneRight, kPlaneLeft, kPlaneBottom, kPlaneTop};

bool NodeInPlanes(const QuadTree& node, const float planes[kFrustumPlaneCount][4], float bottom, const int* indices,
                  int count) {
  const float lo[3] = {node.cx - node.halfSize, node.cy + bottom, node.cz - node.halfSize};
  const float hi[3] = {node.cx + node.halfSize, node.cy + kNodeTop, node.cz + node.halfSize};
  return BoxInPlanes(lo, hi, planes, indices, count);
}

template <bool (*Test)(const QuadTree&, const float[kFrustumPlaneCount][4])>
void Collect(const QuadTree& node, const float planes[kFrustumPlaneCount][4], NodeList& list) {
  if (!Test(node, planes)) return;
  if (node.isLeaf) {
    if (list.count < kQuadTreeLeafCount) list.leaf[list.count++] = node.leafIndex;
    return;
  }
  for (const QuadTree* child : node.child)
    if (child) Collect<Test>(*child, planes, list);
}

}  // namespace

bool IsInFrustum(const QuadTree& node, const float planes[kFrustumPlaneCount][4]) {
  return NodeInPlanes(node, planes, kNodeBottom, kAllPlanes, 6);
}

bool IsInFrustumSides(const QuadTree& node, const float planes[kFrustumPlaneCount][4]) {
  return NodeInPlanes(node, planes, kShadowNodeBottom, kSidePlanes, 4);
}

void CollectVisibleLeaves(const QuadTree& node, const float planes[kFrustumPlaneCount][4], NodeList& list) {
  Collect<IsInFrustum>(node, planes, list);
}

void CollectVisibleLeavesSides(const QuadTree& node, const float planes[kFrustumPlaneCount][4], NodeList& list) {
  Collect<IsInFrustumSides>(node, planes, list);
}

void StoreLeafDistances(const NodeList& list, float eyeX, float eyeZ) {
  if (!gQuadTreeLeaves) return;
  for (int i = 0; i < list.count; ++i) {
    QuadTreeList& leaf = gQuadTreeLeaves[list.leaf[i]];
    const float dx = eyeX - leaf.cx, dz = eyeZ - leaf.cz;
    leaf.cameraDistSq = dx * dx + dz * dz;
  }
}
