// Trees: two batches of leaning billboards. Reads the given visible-leaf
// list and leaf distances, the leaves' grass records (tree kinds 8..15), the view direction,
// the camera eye, the sight distance and the tree sway clocks; draws into
// the bound framebuffer with the Trees program and atlas tex66 on the
// active unit (units 1 and 2 keep what earlier passes bound). Leaves no
// program, face culling, alpha test and alpha-to-coverage as it found
// them, tex66 bound on unit 0.
#pragma once

#include "world/quadtree.h"

// The sway clocks advance by `frameFactor` (the frame's copy).
void DrawTrees(const NodeList& visible, const float* leafDistSq, float frameFactor);
