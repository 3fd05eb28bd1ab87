// The terrain: the engine's copy of the triangle mesh and a 4-ary tree over
// it that splits the ground in x and z (never y), queried every step for the
// triangles near each body.
#pragma once

#include <bit>
#include <cstdint>

#include "math/ne_math.h"
#include "physics/geometry.h"
#include "physics/pool.h"

struct neTerrainTree;

constexpr s32 NE_TREE_CHILDREN = 4;
constexpr s32 NE_TREE_ROOT = -1;          // the root's node index
constexpr s32 NE_TREE_ROOT_PARENT = -2;   // the root's parent
constexpr s32 NE_TREE_MAX_DEPTH = 5;      // nodes at this depth are leaves
constexpr s32 NE_TREE_MIN_SPLIT = 10;     // fewer triangles make a leaf
constexpr f32 NE_TREE_FLAT_WIDENING = 0.01f;  // box widening across a triangle's plane
// A leaf's ground is cut into this many cells a side; each cell marks the
// leaf's triangles whose footprints reach into it, so that a body's search
// reads the few triangles around it instead of the leaf's hundred or more.
constexpr s32 NE_TREE_LEAF_GRID = 8;
constexpr s32 NE_TREE_LEAF_CELLS = NE_TREE_LEAF_GRID * NE_TREE_LEAF_GRID;
constexpr s32 NE_TREE_MASK_BITS = 64;

struct neTreeNode {
    neTerrainTree* tree;
    s32 parent;                       // NE_TREE_ROOT_PARENT, NE_TREE_ROOT or a node index
    s32 children[NE_TREE_CHILDREN];   // node indices, -1 for none
    f32 bounds[3][2];                 // per axis: minimum, maximum
    s32* triangles;                   // leaf: its triangle indices; null in an inner node
    s32 triangleCount;
    s32 maskStart;                    // leaf: its cells' masks in the tree's mask array; -1 for none
    s32 footprintStart;               // leaf: its triangles' footprints, in its order, in the tree's copy
    s32 maskWords;                    // words per cell mask


    void Init(neTerrainTree* owner, s32 parentIndex, const neV3& minCorner, const neV3& maxCorner);
    bool IsLeaf() const { return triangleCount > 0; }
    // Inclusive: touching boxes overlap.
    bool OverlapsBox(const neV3& minCorner, const neV3& maxCorner) const;
};

// A triangle's extent on the ground (m): the terrain stage drops the many
// triangles of a leaf that lie beside a body by these four numbers, without
// reading the triangle's vertices.
struct neTriangleFootprint {
    f32 minX, maxX, minZ, maxZ;
};

class neTerrainTree {
public:
    neTerrainTree();
    ~neTerrainTree();
    neTerrainTree(const neTerrainTree&) = delete;
    neTerrainTree& operator=(const neTerrainTree&) = delete;

    // Copies the mesh and builds the tree. Refuses (false, the old tree kept)
    // a null array, a count below 1 or a vertex index outside the mesh.
    bool Build(const neTriangleMesh& mesh, neAllocator* allocator, s32 nodesStart, s32 nodesGrowBy);
    void Free();

    // Calls visit(triangle index, its footprint) for each of the leaf's
    // triangles whose footprint meets [minCorner, maxCorner] in x and z
    // (inclusive), in the leaf's order.
    template <typename Visit>
    void ForEachNear(const neTreeNode& leaf, const neV3& minCorner, const neV3& maxCorner, Visit visit) const;
    // Appends every leaf whose box overlaps [minCorner, maxCorner] (inclusive).
    void Query(const neTreeNode& node, neGrowArray<const neTreeNode*>& result, const neV3& minCorner,
               const neV3& maxCorner, s32 depth) const;
    // Query from the root into an empty `result`, with a guess: `leaf`, a
    // leaf of this build that an earlier search found alone. A box lying
    // strictly inside that leaf's ground (x and z) meets no other leaf, so
    // the answer is the leaf or nothing, without the descent. Returns the
    // leaf to guess next time (null when none).
    const neTreeNode* QueryNear(const neTreeNode* leaf, neGrowArray<const neTreeNode*>& result,
                                const neV3& minCorner, const neV3& maxCorner) const;
    // Rises with every build and free: a leaf kept from another build is no guess.
    s32 BuildCount() const { return buildCount_; }
    const neTreeNode& Root() const { return root_; }
    const neTreeNode* GetNode(s32 index) const;
    neTreeNode* GetNode(s32 index);
    s32 NodeCount() const { return nodes_.Count(); }
    const neV3* Vertices() const { return vertices_; }
    s32 VertexCount() const { return vertexCount_; }
    const neTriangle* Triangles() const { return triangles_.Data(); }
    const neTriangleFootprint* Footprints() const { return footprints_.Data(); }
    s32 TriangleCount() const { return triangles_.Count(); }
    bool IsEmpty() const { return triangles_.Count() == 0; }
    size_t Bytes() const { return nodes_.Bytes() + triangles_.Bytes() + footprints_.Bytes() + leafMasks_.Bytes() +
                                    leafFootprints_.Bytes(); }

    // True when the triangle touches the box (a flat triangle is widened by
    // NE_TREE_FLAT_WIDENING across its plane).
    bool TriangleOverlapsBox(s32 triangle, const neV3& minCorner, const neV3& maxCorner) const;

private:
    void BuildNode(s32 nodeIndex, const s32* list, s32 count, s32 depth);
    void MakeLeaf(s32 nodeIndex, const s32* list, s32 count);
    void FreeLeafLists();
    void MarkAllLeafCells();
    void MarkLeafCells(neTreeNode& leaf);
    // The leaf's cell along axis 0 (x) or 2 (z) holding `value`, clamped to
    // the grid: rises with the value, so overlapping extents share a cell.
    static s32 LeafCell(const neTreeNode& leaf, s32 axis, f32 value);
    neAllocator* allocator_;
    neDefaultAllocator ownAllocator_;
    s32 buildCount_ = 0;
    // Every split point lay inside its node's ground, so the leaves' grounds
    // tile the root's without overlapping and each lies within its parents'.
    bool nested_ = true;
    neV3* vertices_ = nullptr;
    s32 vertexCount_ = 0;
    neGrowArray<neTriangle> triangles_;
    neGrowArray<neTriangleFootprint> footprints_;
    neGrowArray<neTreeNode> nodes_;
    neGrowArray<uint64_t> leafMasks_;      // per leaf, per cell: a bit per position in its list
    // Per leaf, its triangles' footprints in its own order: the search reads
    // them side by side instead of scattered over the whole mesh.
    neGrowArray<neTriangleFootprint> leafFootprints_;
    neTreeNode root_;
};

template <typename Visit>
void neTerrainTree::ForEachNear(const neTreeNode& leaf, const neV3& lo, const neV3& hi, Visit visit) const {
    auto near = [&](s32 position) {
        const neTriangleFootprint& f = leafFootprints_[leaf.footprintStart + position];
        if (f.maxX < lo.x || f.minX > hi.x || f.maxZ < lo.z || f.minZ > hi.z) return;
        visit(leaf.triangles[position], f);
    };
    if (leaf.maskStart < 0) {
        for (s32 p = 0; p < leaf.triangleCount; ++p) {
            const s32 index = leaf.triangles[p];
            const neTriangleFootprint& f = footprints_[index];
            if (f.maxX < lo.x || f.minX > hi.x || f.maxZ < lo.z || f.minZ > hi.z) continue;
            visit(index, f);
        }
        return;
    }
    const s32 x0 = LeafCell(leaf, 0, lo.x), x1 = LeafCell(leaf, 0, hi.x);
    const s32 z0 = LeafCell(leaf, 2, lo.z), z1 = LeafCell(leaf, 2, hi.z);
    const uint64_t* masks = leafMasks_.Data() + leaf.maskStart;
    for (s32 w = 0; w < leaf.maskWords; ++w) {
        uint64_t bits = 0;
        for (s32 z = z0; z <= z1; ++z)
            for (s32 x = x0; x <= x1; ++x) bits |= masks[(z * NE_TREE_LEAF_GRID + x) * leaf.maskWords + w];
        for (; bits; bits &= bits - 1) near(w * NE_TREE_MASK_BITS + std::countr_zero(bits));
    }
}

// Akenine-Möller's triangle-box overlap test; touching counts as overlap.
bool neTriBoxOverlap(const neV3& centre, const neV3& halfSize, const neV3& v0, const neV3& v1,
                     const neV3& v2);
