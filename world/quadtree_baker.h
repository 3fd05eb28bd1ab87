// The bake that makes qt.qt: cuts the six section models into per-leaf
// meshes, scatters grass over the grass model's triangles and stands a tree
// at each triangle of the trees model. The data generator runs it over the
// shipped world at build time; it draws from the game's random sequence, so
// the caller seeds that first for a repeatable file.
#pragma once

#include "world/quadtree.h"

// Möller's triangle–triangle test: 1 when the triangles V and U intersect
// (touching counts), else 0.
int TrianglesIntersect(const float V0[3], const float V1[3], const float V2[3], const float U0[3], const float U1[3],
                       const float U2[3]);
// Two triangles in one plane of normal N: 1 when an edge of one crosses an
// edge of the other or one holds the other's first corner, else 0.
int CoplanarTrianglesOverlap(const float N[3], const float V0[3], const float V1[3], const float V2[3],
                             const float U0[3], const float U1[3], const float U2[3]);

// Grass tufts scattered per unit² of a grass triangle.
inline constexpr float kGrassPerUnitArea = 0.3f;

// Fills the leaf records of the standard tree under `root` from the models,
// numbering the leaves from 0 in QuadTree::NumberLeaves's order (the last
// one leaves gLastLeafIndex at 1023).
void BakeLeaves(QuadTree& root, const QuadTreeSources& sources, QuadTreeList* leaves);

// The standard tree in gQuadTreeRoot over fresh, baked leaf records in
// gQuadTreeLeaves (any loaded world is released first).
void BakeStandardTree(const QuadTreeSources& sources);
// The whole bake, written to `path`; the records stay loaded afterwards.
// False when the file cannot be written.
bool BakeWorldQuadTree(const QuadTreeSources& sources, const char* path);
