// The terrain: the engine's copy of the triangle mesh and a 4-ary tree over
// it that splits the ground in x and z (never y), queried every step for the
// triangles near each body.
#pragma once

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

struct neTreeNode {
    neTerrainTree* tree;
    s32 parent;                       // NE_TREE_ROOT_PARENT, NE_TREE_ROOT or a node index
    s32 children[NE_TREE_CHILDREN];   // node indices, -1 for none
    f32 bounds[3][2];                 // per axis: minimum, maximum
    s32* triangles;                   // leaf: its triangle indices; null in an inner node
    s32 triangleCount;

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

    // Appends every leaf whose box overlaps [minCorner, maxCorner] (inclusive).
    void Query(const neTreeNode& node, neGrowArray<const neTreeNode*>& result, const neV3& minCorner,
               const neV3& maxCorner, s32 depth) const;
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
    size_t Bytes() const { return nodes_.Bytes() + triangles_.Bytes() + footprints_.Bytes(); }

    // True when the triangle touches the box (a flat triangle is widened by
    // NE_TREE_FLAT_WIDENING across its plane).
    bool TriangleOverlapsBox(s32 triangle, const neV3& minCorner, const neV3& maxCorner) const;

private:
    void BuildNode(s32 nodeIndex, const s32* list, s32 count, s32 depth);
    void MakeLeaf(s32 nodeIndex, const s32* list, s32 count);
    void FreeLeafLists();
    neAllocator* allocator_;
    neDefaultAllocator ownAllocator_;
    neV3* vertices_ = nullptr;
    s32 vertexCount_ = 0;
    neGrowArray<neTriangle> triangles_;
    neGrowArray<neTriangleFootprint> footprints_;
    neGrowArray<neTreeNode> nodes_;
    neTreeNode root_;
};

// Akenine-Möller's triangle-box overlap test; touching counts as overlap.
bool neTriBoxOverlap(const neV3& centre, const neV3& halfSize, const neV3& v0, const neV3& v1,
                     const neV3& v2);
