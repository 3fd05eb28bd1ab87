// Which leaves of the world quadtree a view needs. Reads the tree, its leaf
// records and the planes of a view; writes leaf lists and the visible
// leaves' camera distances. No GL.
#pragma once

#include "render/frustum.h"
#include "world/quadtree.h"

// The node's box (its square, from 20 below the ground to 250 above)
// against all six planes.
bool IsInFrustum(const QuadTree& node, const float planes[kFrustumPlaneCount][4]);
// The node's box from 50 below the ground to 250 above against the side
// planes only (right, left, bottom, top): the sun's view, whose near and
// far planes cut nothing that casts a shadow into the picture.
bool IsInFrustumSides(const QuadTree& node, const float planes[kFrustumPlaneCount][4]);

// Appends the leaves under `node` that pass the test, in child order; a
// node that fails is skipped with its subtree. The caller empties the list.
void CollectVisibleLeaves(const QuadTree& node, const float planes[kFrustumPlaneCount][4], NodeList& list);
void CollectVisibleLeavesSides(const QuadTree& node, const float planes[kFrustumPlaneCount][4], NodeList& list);

// Stores in each listed leaf its squared ground distance to the eye.
void StoreLeafDistances(const NodeList& list, float eyeX, float eyeZ);
