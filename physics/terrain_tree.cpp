#include "physics/terrain_tree.h"

#include <cmath>
#include <cstring>

namespace {

constexpr s32 NE_QUADRANT_LIST_START = 2000;

bool PlaneBoxOverlap(const neV3& normal, f32 d, const neV3& h) {
    neV3 vmin = {}, vmax = {};
    for (s32 a = 0; a < 3; ++a) {
        if (normal[a] > 0.0f) {
            vmin[a] = -h[a];
            vmax[a] = h[a];
        } else {
            vmin[a] = h[a];
            vmax[a] = -h[a];
        }
    }
    if (normal.Dot(vmin) + d > 0.0f) return false;
    return normal.Dot(vmax) + d >= 0.0f;
}

// The triangle's interval on `axis` against the box's radius r there.
bool SeparatedOn(const neV3& axis, const neV3& p0, const neV3& p1, const neV3& p2, f32 r) {
    f32 a = axis.Dot(p0), b = axis.Dot(p1), c = axis.Dot(p2);
    f32 lo = std::fmin(a, std::fmin(b, c)), hi = std::fmax(a, std::fmax(b, c));
    return lo > r || hi < -r;
}

}  // namespace

bool neTriBoxOverlap(const neV3& centre, const neV3& h, const neV3& v0, const neV3& v1, const neV3& v2) {
    const neV3 p0 = v0 - centre, p1 = v1 - centre, p2 = v2 - centre;
    const neV3 edges[3] = {p1 - p0, p2 - p1, p0 - p2};
    for (const neV3& e : edges) {
        f32 ax = std::fabs(e.x), ay = std::fabs(e.y), az = std::fabs(e.z);
        if (SeparatedOn(neMakeV3(0, -e.z, e.y), p0, p1, p2, h.y * az + h.z * ay)) return false;
        if (SeparatedOn(neMakeV3(e.z, 0, -e.x), p0, p1, p2, h.x * az + h.z * ax)) return false;
        if (SeparatedOn(neMakeV3(-e.y, e.x, 0), p0, p1, p2, h.x * ay + h.y * ax)) return false;
    }
    for (s32 a = 0; a < 3; ++a) {
        f32 lo = std::fmin(p0[a], std::fmin(p1[a], p2[a])), hi = std::fmax(p0[a], std::fmax(p1[a], p2[a]));
        if (lo > h[a] || hi < -h[a]) return false;
    }
    neV3 normal = edges[0].Cross(edges[1]);
    return PlaneBoxOverlap(normal, -normal.Dot(p0), h);
}

void neTreeNode::Init(neTerrainTree* owner, s32 parentIndex, const neV3& minCorner, const neV3& maxCorner) {
    tree = owner;
    parent = parentIndex;
    for (s32& c : children) c = -1;
    for (s32 a = 0; a < 3; ++a) {
        bounds[a][0] = minCorner[a];
        bounds[a][1] = maxCorner[a];
    }
    triangles = nullptr;
    triangleCount = 0;
    maskStart = -1;
    maskWords = 0;
    footprintStart = -1;
}

bool neTreeNode::OverlapsBox(const neV3& minCorner, const neV3& maxCorner) const {
    // y first: the ground is flat-ish. Named components: the search runs
    // this for every node it passes, every body, every step.
    return !(bounds[1][1] < minCorner.y || bounds[1][0] > maxCorner.y || bounds[0][1] < minCorner.x ||
             bounds[0][0] > maxCorner.x || bounds[2][1] < minCorner.z || bounds[2][0] > maxCorner.z);
}

neTerrainTree::neTerrainTree() : allocator_(&ownAllocator_) {
    root_.Init(nullptr, 0, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
}

neTerrainTree::~neTerrainTree() { Free(); }

const neTreeNode* neTerrainTree::GetNode(s32 index) const {
    if (index == NE_TREE_ROOT) return &root_;
    return (index >= 0 && index < nodes_.Count()) ? &nodes_[index] : nullptr;
}

neTreeNode* neTerrainTree::GetNode(s32 index) {
    if (index == NE_TREE_ROOT) return &root_;
    return (index >= 0 && index < nodes_.Count()) ? &nodes_[index] : nullptr;
}

void neTerrainTree::FreeLeafLists() {
    if (root_.triangles) allocator_->Free(root_.triangles);
    root_.triangles = nullptr;
    root_.triangleCount = 0;
    for (s32 i = 0; i < nodes_.Count(); ++i) {
        if (nodes_[i].triangles) allocator_->Free(nodes_[i].triangles);
        nodes_[i].triangles = nullptr;
        nodes_[i].triangleCount = 0;
    }
}

void neTerrainTree::Free() {
    ++buildCount_;
    FreeLeafLists();
    triangles_.Release();
    footprints_.Release();
    nodes_.Release();
    leafMasks_.Release();
    leafFootprints_.Release();
    if (vertices_) allocator_->Free(vertices_);
    vertices_ = nullptr;
    vertexCount_ = 0;
    root_.Init(nullptr, 0, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
}

bool neTerrainTree::Build(const neTriangleMesh& mesh, neAllocator* allocator, s32 nodesStart, s32 nodesGrowBy) {
    if (!mesh.vertices || mesh.vertexCount < 1 || !mesh.triangles || mesh.triangleCount < 1) return false;
    // Every index must name a vertex: checked before the old tree goes.
    for (s32 t = 0; t < mesh.triangleCount; ++t)
        for (s32 k = 0; k < 3; ++k)
            if (mesh.triangles[t].indices[k] < 0 || mesh.triangles[t].indices[k] >= mesh.vertexCount) return false;

    Free();
    allocator_ = allocator ? allocator : &ownAllocator_;

    vertices_ = static_cast<neV3*>(allocator_->Alloc(sizeof(neV3) * static_cast<size_t>(mesh.vertexCount), 0));
    if (!vertices_ || !triangles_.Reserve(mesh.triangleCount, allocator_, NE_GROW_NEVER) ||
        !footprints_.Reserve(mesh.triangleCount, allocator_, NE_GROW_NEVER)) {
        Free();
        return false;
    }
    std::memcpy(vertices_, mesh.vertices, sizeof(neV3) * static_cast<size_t>(mesh.vertexCount));
    vertexCount_ = mesh.vertexCount;
    for (s32 t = 0; t < mesh.triangleCount; ++t) {
        triangles_.Push(mesh.triangles[t]);
        const neV3& a = vertices_[mesh.triangles[t].indices[0]];
        const neV3& b = vertices_[mesh.triangles[t].indices[1]];
        const neV3& c = vertices_[mesh.triangles[t].indices[2]];
        footprints_.Push(neTriangleFootprint{std::fmin(a.x, std::fmin(b.x, c.x)), std::fmax(a.x, std::fmax(b.x, c.x)),
                                             std::fmin(a.z, std::fmin(b.z, c.z)), std::fmax(a.z, std::fmax(b.z, c.z))});
    }

    const s32 growBy = nodesGrowBy == -1 ? NE_GROW_DOUBLE : (nodesGrowBy < 0 ? NE_GROW_NEVER : nodesGrowBy);
    nodes_.Reserve(nodesStart, allocator_, growBy);

    neGrowArray<s32> all;
    if (!all.Reserve(mesh.triangleCount, allocator_, NE_GROW_NEVER)) {
        Free();
        return false;
    }
    neV3 lo = neMakeV3(NE_BOUNDS_START, NE_BOUNDS_START, NE_BOUNDS_START), hi = -lo;
    for (s32 t = 0; t < mesh.triangleCount; ++t) {
        all.Push(t);
        for (s32 k = 0; k < 3; ++k) {
            const neV3& v = vertices_[triangles_[t].indices[k]];
            for (s32 a = 0; a < 3; ++a) {
                if (v[a] < lo[a]) lo[a] = v[a];
                if (v[a] > hi[a]) hi[a] = v[a];
            }
        }
    }
    root_.Init(this, NE_TREE_ROOT_PARENT, lo, hi);
    nested_ = true;
    BuildNode(NE_TREE_ROOT, all.Data(), all.Count(), 0);
    MarkAllLeafCells();
    return true;
}

void neTerrainTree::MakeLeaf(s32 nodeIndex, const s32* list, s32 count) {
    neTreeNode* node = GetNode(nodeIndex);
    if (node->triangles) allocator_->Free(node->triangles);
    node->triangles = static_cast<s32*>(allocator_->Alloc(sizeof(s32) * static_cast<size_t>(count), 0));
    node->triangleCount = node->triangles ? count : 0;
    if (node->triangles) std::memcpy(node->triangles, list, sizeof(s32) * static_cast<size_t>(count));
    for (s32& c : node->children) c = -1;
}

void neTerrainTree::MarkAllLeafCells() {
    // Sized exactly once the leaves are known: a leaf made twice while
    // splitting would otherwise leave its first masks behind.
    s32 entries = 0, words = 0;
    auto count = [&](const neTreeNode& n) {
        entries += n.triangleCount;
        words += NE_TREE_LEAF_CELLS * ((n.triangleCount + NE_TREE_MASK_BITS - 1) / NE_TREE_MASK_BITS);
    };
    count(root_);
    for (s32 i = 0; i < nodes_.Count(); ++i) count(nodes_[i]);
    leafFootprints_.Reserve(entries, allocator_, NE_GROW_NEVER);
    leafMasks_.Reserve(words, allocator_, NE_GROW_NEVER);
    MarkLeafCells(root_);
    for (s32 i = 0; i < nodes_.Count(); ++i) MarkLeafCells(nodes_[i]);
}

s32 neTerrainTree::LeafCell(const neTreeNode& leaf, s32 axis, f32 value) {
    const f32 size = leaf.bounds[axis][1] - leaf.bounds[axis][0];
    if (!(size > 0.0f)) return 0;
    const f32 cell = (value - leaf.bounds[axis][0]) * (static_cast<f32>(NE_TREE_LEAF_GRID) / size);
    if (!(cell > 0.0f)) return 0;
    return cell >= static_cast<f32>(NE_TREE_LEAF_GRID - 1) ? NE_TREE_LEAF_GRID - 1 : static_cast<s32>(cell);
}

void neTerrainTree::MarkLeafCells(neTreeNode& leaf) {
    // Without room for the masks and footprints the leaf is read whole.
    leaf.maskStart = -1;
    leaf.maskWords = 0;
    leaf.footprintStart = -1;
    if (leaf.triangleCount == 0) return;
    const s32 firstFootprint = leafFootprints_.Count();
    for (s32 p = 0; p < leaf.triangleCount; ++p)
        if (!leafFootprints_.Push(footprints_[leaf.triangles[p]])) return;
    const s32 words = (leaf.triangleCount + NE_TREE_MASK_BITS - 1) / NE_TREE_MASK_BITS;
    const s32 start = leafMasks_.Count();
    for (s32 i = 0; i < NE_TREE_LEAF_CELLS * words; ++i)
        if (!leafMasks_.Push(0)) return;
    uint64_t* masks = leafMasks_.Data() + start;
    for (s32 p = 0; p < leaf.triangleCount; ++p) {
        const neTriangleFootprint& f = footprints_[leaf.triangles[p]];
        const s32 x1 = LeafCell(leaf, 0, f.maxX), z1 = LeafCell(leaf, 2, f.maxZ);
        for (s32 z = LeafCell(leaf, 2, f.minZ); z <= z1; ++z)
            for (s32 x = LeafCell(leaf, 0, f.minX); x <= x1; ++x)
                masks[(z * NE_TREE_LEAF_GRID + x) * words + p / NE_TREE_MASK_BITS] |= uint64_t{1} << (p % NE_TREE_MASK_BITS);
    }
    leaf.maskStart = start;
    leaf.maskWords = words;
    leaf.footprintStart = firstFootprint;
}

void neTerrainTree::BuildNode(s32 nodeIndex, const s32* list, s32 count, s32 depth) {
    if (depth >= NE_TREE_MAX_DEPTH || count < NE_TREE_MIN_SPLIT) {
        MakeLeaf(nodeIndex, list, count);
        return;
    }
    // Split point: the mean of every listed triangle's vertices.
    neV3 c = neMakeV3(0, 0, 0);
    for (s32 i = 0; i < count; ++i)
        for (s32 k = 0; k < 3; ++k) c += vertices_[triangles_[list[i]].indices[k]];
    c *= 1.0f / (3.0f * static_cast<f32>(count));
    const neTreeNode* split = GetNode(nodeIndex);
    if (!(c.x > split->bounds[0][0] && c.x < split->bounds[0][1] && c.z > split->bounds[2][0] &&
          c.z < split->bounds[2][1]))
        nested_ = false;

    for (s32 q = 0; q < NE_TREE_CHILDREN; ++q) {
        const neTreeNode* node = GetNode(nodeIndex);  // looked up again: appends move the array
        neV3 qMin = neMakeV3(node->bounds[0][0], node->bounds[1][0], node->bounds[2][0]);
        neV3 qMax = neMakeV3(node->bounds[0][1], node->bounds[1][1], node->bounds[2][1]);
        if (q == 0 || q == 3) qMax.x = c.x; else qMin.x = c.x;
        if (q == 0 || q == 1) qMax.z = c.z; else qMin.z = c.z;

        neGrowArray<s32> inside;
        inside.Reserve(NE_QUADRANT_LIST_START, allocator_, NE_QUADRANT_LIST_START);
        f32 yMin = NE_BOUNDS_START, yMax = -NE_BOUNDS_START;
        for (s32 i = 0; i < count; ++i) {
            if (!TriangleOverlapsBox(list[i], qMin, qMax)) continue;
            inside.Push(list[i]);
            for (s32 k = 0; k < 3; ++k) {
                f32 y = vertices_[triangles_[list[i]].indices[k]].y;
                if (y < yMin) yMin = y;
                if (y > yMax) yMax = y;
            }
        }
        if (inside.Count() == 0) {
            GetNode(nodeIndex)->children[q] = -1;
            continue;
        }
        if (inside.Count() == count) {
            MakeLeaf(nodeIndex, list, count);
            return;
        }
        neTreeNode* child = nodes_.Alloc();
        if (!child) {
            // The node array is full and cannot grow: stop splitting here.
            MakeLeaf(nodeIndex, list, count);
            return;
        }
        const s32 childIndex = nodes_.Count() - 1;
        qMin.y = yMin;
        qMax.y = yMax;
        child->Init(this, nodeIndex, qMin, qMax);
        GetNode(nodeIndex)->children[q] = childIndex;
        BuildNode(childIndex, inside.Data(), inside.Count(), depth + 1);
    }
}

bool neTerrainTree::TriangleOverlapsBox(s32 triangle, const neV3& minCorner, const neV3& maxCorner) const {
    const neTriangle& t = triangles_[triangle];
    const neV3& v0 = vertices_[t.indices[0]];
    const neV3& v1 = vertices_[t.indices[1]];
    const neV3& v2 = vertices_[t.indices[2]];
    neV3 n = (v1 - v0).Cross(v2 - v1);
    n.Normalize();
    neV3 centre = (minCorner + maxCorner) * 0.5f;
    neV3 half = (maxCorner - minCorner) * 0.5f;
    for (s32 a = 0; a < 3; ++a) {
        if (std::fabs(std::fabs(n[a]) - 1.0f) < NE_ZERO) {
            half[a] += NE_TREE_FLAT_WIDENING;
            break;
        }
    }
    return neTriBoxOverlap(centre, half, v0, v1, v2);
}

const neTreeNode* neTerrainTree::QueryNear(const neTreeNode* leaf, neGrowArray<const neTreeNode*>& result,
                                           const neV3& lo, const neV3& hi) const {
    if (leaf && nested_ && lo.x > leaf->bounds[0][0] && hi.x < leaf->bounds[0][1] && lo.z > leaf->bounds[2][0] &&
        hi.z < leaf->bounds[2][1]) {
        // Its parents hold its box, so the descent would have reached it.
        if (leaf->OverlapsBox(lo, hi)) result.Push(leaf);
        return leaf;
    }
    Query(root_, result, lo, hi, 0);
    return result.Count() == 1 ? result[0] : nullptr;
}

void neTerrainTree::Query(const neTreeNode& node, neGrowArray<const neTreeNode*>& result, const neV3& minCorner,
                          const neV3& maxCorner, s32 depth) const {
    if (!node.OverlapsBox(minCorner, maxCorner)) return;
    if (node.IsLeaf()) {
        result.Push(&node);
        return;
    }
    for (s32 c : node.children)
        if (c >= 0 && c < nodes_.Count()) Query(nodes_[c], result, minCorner, maxCorner, depth + 1);
}
