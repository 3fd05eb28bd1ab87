// The broad phase: every collidable body's world box as two end points on
// each world axis, the axes kept sorted by an insertion sort once per step,
// and the overlap pairs derived from the order changes.
#pragma once

#include "math/ne_math.h"
#include "physics/pool.h"
#include "physics/terrain_tree.h"

struct neBody;
struct neSimulatorCore;

constexpr s32 NE_AXIS_COUNT = 3;
constexpr s32 NE_ALL_AXES = 7;

// One end of a body's box on one axis, in the axis's sorted list.
struct neEndPoint {
    u8 kind;          // 0 lower end (box minimum), 1 upper end (box maximum)
    u8 moved;         // its value changed since the axis was last sorted
    f32 value;
    neBody* body;
    neEndPoint* up;   // toward larger values
    neEndPoint* down; // toward smaller values
};

// Two bodies whose boxes overlap on every axis; A is rigid whenever one is.
struct neOverlapPair {
    neBody* bodyA;
    neBody* bodyB;
};

// A body's membership of the region.
struct neRegionBody {
    neBody* body;
};

struct nePendingBody {
    neBody* body;
    neBody* hint;
};

// The overlap pairs of the cells whose mask is full, found by cell number:
// open addressing with linear probing, never more than half full. Of the
// millions of cells of a game-sized simulator only these few hold a pair,
// so the cells themselves keep just their axis mask (one byte).
class nePairIndex {
public:
    bool Reserve(s32 pairs, neAllocator* allocator);
    void Release() { slots_.Release(); }
    void Insert(int64_t cell, neOverlapPair* pair);
    // Takes the cell's pair out of the index; null when it has none.
    neOverlapPair* Remove(int64_t cell);
    size_t Bytes() const { return slots_.Bytes(); }

private:
    struct Slot {
        int64_t cell;  // NE_NO_CELL when empty
        neOverlapPair* pair;
    };
    static constexpr int64_t NE_NO_CELL = -1;
    u32 Home(int64_t cell) const;
    neGrowArray<Slot> slots_;
    u32 wrap_ = 0;  // slot count − 1 (a power of two less one)
};

struct neRegionAxis {
    nePool<neEndPoint> endPoints;
    // The end points whose value changed since the last sort; only they can
    // be out of order, so a sleeping body's ends are never visited.
    neGrowArray<neEndPoint*> moved;
    s32 lastSorted = 0;
    neEndPoint* top = nullptr;     // largest value
    neEndPoint* bottom = nullptr;  // smallest value
    s32 index = 0;
    u8 bit = 0;
};

class neRegion {
public:
    bool Initialise(neSimulatorCore* sim, s32 axisMask);
    // Makes the body collidable from the next update. Adding it again before
    // that update changes nothing.
    bool AddBody(neBody* body, neBody* hint);
    void RemoveBody(neBody* body);
    // Once per step: sorts the axes, toggles pairs, inserts pending bodies.
    void Update();
    // A body's end point on the axis took a new value.
    void MarkMoved(s32 axis, neEndPoint* point);
    void Rebuild();
    u8 TestAabbOverlap(const neBody* a, const neBody* b) const;
    void Free();

    bool BuildTerrain(const neTriangleMesh& mesh);
    void FreeTerrain();
    neTerrainTree& Terrain() { return terrain_; }
    const neTerrainTree& Terrain() const { return terrain_; }

    // The overlap pairs in allocation order (the order of responses).
    neOverlapPair* FirstPair() const { return pairs_.FirstUsed(); }
    neOverlapPair* NextPair(const neOverlapPair* p) const { return pairs_.NextUsed(p); }
    s32 PairCount() const { return pairs_.UsedCount(); }
    // End points in the sorted list of one axis.
    s32 EndPointCount(s32 axis) const {
        s32 n = 0;
        for (const neEndPoint* e = axes_[axis].top; e; e = e->down) ++n;
        return n;
    }
    // End points the last update re-sorted on one axis: those that moved.
    s32 LastSortedCount(s32 axis) const { return axes_[axis].lastSorted; }
    size_t Bytes() const;

private:
    // A pair's axis mask and its number among all cells (triangular table
    // first, then the rectangular one).
    struct Cell {
        u8* mask;
        int64_t number;
    };
    bool CellOf(const neBody* a, const neBody* b, Cell& cell);
    void SortAxis(neRegionAxis& axis, bool noToggle);
    void SortWhole(neRegionAxis& axis, bool noToggle);
    void SortMoved(neRegionAxis& axis, bool noToggle);
    void Forget(neRegionAxis& axis, neEndPoint* point);
    void ToggleOverlap(neBody* a, neBody* b, u8 bit);
    void InitPairState(neBody* a, neBody* b);
    void InsertBody(neRegionAxis& axis, neBody* body, neBody* hint);
    void Link(neRegionAxis& axis, neEndPoint* point, neEndPoint* start);
    void Unlink(neRegionAxis& axis, neEndPoint* point);
    neOverlapPair* TakePair(neBody* a, neBody* b);
    void ReleasePair(int64_t cell);
    bool IsHandedOut(const neBody* body) const;
    // The core's collision table lets the two bodies collide.
    bool PairCollides(const neBody* a, const neBody* b) const;

    s32 axisMask_ = 0;
    u8 fullMask_ = 0;
    neSimulatorCore* sim_ = nullptr;
    s32 rigidCount_ = 0, animatedCount_ = 0, bodyCount_ = 0, particleCount_ = 0;
    neGrowArray<u8> triangularTable_;
    neGrowArray<u8> rectangularTable_;
    nePairIndex pairIndex_;
    neGrowArray<nePendingBody> pending_;
    nePool<neRegionBody> records_;
    nePool<neOverlapPair> pairs_;
    neRegionAxis axes_[NE_AXIS_COUNT];
    neTerrainTree terrain_;
};
