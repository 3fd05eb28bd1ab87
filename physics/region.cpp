// The broad phase. Each axis keeps its end points sorted from the top
// (largest) down. Ends with equal values sort with lower ends above upper
// ends, so that the list order matches strict overlap: touching boxes do
// not overlap.
#include "physics/region.h"

#include "physics/body.h"

namespace {

// True when `y` sorts above `x`.
bool Greater(const neEndPoint* y, const neEndPoint* x) {
    return y->value > x->value || (y->value == x->value && y->kind == 0 && x->kind == 1);
}

bool BothParticles(const neBody* a, const neBody* b) {
    return a->type == NE_BODY_RIGID && b->type == NE_BODY_RIGID && static_cast<const neRigidBody*>(a)->particle &&
           static_cast<const neRigidBody*>(b)->particle;
}

bool IsParticle(const neBody* b) {
    return b->type == NE_BODY_RIGID && static_cast<const neRigidBody*>(b)->particle;
}

}  // namespace

bool nePairIndex::Reserve(s32 pairs, neAllocator* allocator) {
    u32 size = 16;
    while (size < 2u * static_cast<u32>(pairs < 0 ? 0 : pairs) && size < (1u << 30)) size *= 2;
    wrap_ = size - 1;
    if (!slots_.Reserve(static_cast<s32>(size), allocator, NE_GROW_NEVER)) return false;
    for (u32 i = 0; i < size; ++i) *slots_.Alloc() = Slot{NE_NO_CELL, nullptr};
    return true;
}

u32 nePairIndex::Home(int64_t cell) const {
    return static_cast<u32>((static_cast<uint64_t>(cell) * 0x9E3779B97F4A7C15ull) >> 32) & wrap_;
}

void nePairIndex::Insert(int64_t cell, neOverlapPair* pair) {
    if (slots_.Count() == 0) return;
    u32 i = Home(cell);
    while (slots_[static_cast<s32>(i)].cell != NE_NO_CELL && slots_[static_cast<s32>(i)].cell != cell)
        i = (i + 1) & wrap_;
    slots_[static_cast<s32>(i)] = Slot{cell, pair};
}

neOverlapPair* nePairIndex::Remove(int64_t cell) {
    if (slots_.Count() == 0) return nullptr;
    u32 i = Home(cell);
    while (slots_[static_cast<s32>(i)].cell != cell) {
        if (slots_[static_cast<s32>(i)].cell == NE_NO_CELL) return nullptr;
        i = (i + 1) & wrap_;
    }
    neOverlapPair* pair = slots_[static_cast<s32>(i)].pair;
    // Backward shift: later slots of the run move up so that no search
    // stops early at the hole.
    u32 hole = i;
    for (u32 j = (i + 1) & wrap_; slots_[static_cast<s32>(j)].cell != NE_NO_CELL; j = (j + 1) & wrap_) {
        const u32 home = Home(slots_[static_cast<s32>(j)].cell);
        // Moves when its home does not lie cyclically in (hole, j].
        const bool stays = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
        if (stays) continue;
        slots_[static_cast<s32>(hole)] = slots_[static_cast<s32>(j)];
        hole = j;
    }
    slots_[static_cast<s32>(hole)] = Slot{NE_NO_CELL, nullptr};
    return pair;
}

void neRegion::Free() {
    triangularTable_.Release();
    rectangularTable_.Release();
    pending_.Release();
    records_.Release();
    pairs_.Release();
    pairIndex_.Release();
    for (neRegionAxis& axis : axes_) {
        axis.endPoints.Release();
        axis.moved.Release();
        axis.top = axis.bottom = nullptr;
    }
    terrain_.Free();
}

size_t neRegion::Bytes() const {
    size_t total = triangularTable_.Bytes() + rectangularTable_.Bytes() + pending_.Bytes() + records_.Bytes() +
                   pairs_.Bytes() + pairIndex_.Bytes() + terrain_.Bytes();
    for (const neRegionAxis& axis : axes_) total += axis.endPoints.Bytes() + axis.moved.Bytes();
    return total;
}

bool neRegion::CellOf(const neBody* a, const neBody* b, Cell& out) {
    uint32_t i = static_cast<uint32_t>(a->index), j = static_cast<uint32_t>(b->index);
    uint32_t lo = i < j ? i : j, hi = i < j ? j : i;
    const uint32_t n = static_cast<uint32_t>(bodyCount_);
    int64_t cell;
    neGrowArray<u8>* table;
    int64_t first = 0;  // the table's first cell number
    if (hi < n) {
        cell = static_cast<int64_t>(hi) * (hi - 1) / 2 + lo;
        table = &triangularTable_;
    } else if (lo < n) {
        cell = static_cast<int64_t>(particleCount_) * lo + (hi - n);
        table = &rectangularTable_;
        first = triangularTable_.Count();
    } else {
        return false;  // two particles never pair
    }
    if (lo == hi || cell < 0 || cell >= table->Count()) return false;
    out.mask = &(*table)[static_cast<s32>(cell)];
    out.number = first + cell;
    return true;
}

void neRegion::ReleasePair(int64_t cell) {
    if (neOverlapPair* pair = pairIndex_.Remove(cell)) pairs_.Free(pair);
}

bool neRegion::AddBody(neBody* body, neBody* hint) {
    if (body->regionRecord) return true;
    neRegionBody* record = records_.Alloc();
    if (!record) return false;
    // A body removed and added again before the update keeps its one slot.
    nePendingBody* slot = nullptr;
    for (s32 i = 0; i < pending_.Count() && !slot; ++i)
        if (pending_[i].body == body) slot = &pending_[i];
    if (!slot) slot = pending_.Alloc();
    if (!slot) {
        records_.Free(record);
        return false;
    }
    slot->body = body;
    slot->hint = hint;
    record->body = body;
    body->regionRecord = record;
    body->pendingState = NE_REGION_PENDING;
    return true;
}

void neRegion::RemoveBody(neBody* body) {
    if (!body->regionRecord) return;
    if (body->pendingState == NE_REGION_PENDING) body->pendingState = NE_REGION_REMOVED_PENDING;
    for (neRegionAxis& axis : axes_) {
        for (s32 end = 0; end < 2; ++end) {
            neEndPoint*& point = body->endPoints[end == 0 ? axis.index : 3 + axis.index];
            if (!point) continue;
            Forget(axis, point);
            Unlink(axis, point);
            axis.endPoints.Free(point);
            point = nullptr;
        }
    }
    records_.Free(body->regionRecord);
    body->regionRecord = nullptr;
    for (neOverlapPair* pair = pairs_.FirstUsed(); pair;) {
        neOverlapPair* following = pairs_.NextUsed(pair);
        if (pair->bodyA == body || pair->bodyB == body) {
            Cell cell;
            if (CellOf(pair->bodyA, pair->bodyB, cell)) {
                *cell.mask = 0;
                pairIndex_.Remove(cell.number);
            }
            pairs_.Free(pair);
        }
        pair = following;
    }
}

void neRegion::Unlink(neRegionAxis& axis, neEndPoint* point) {
    if (point->up)
        point->up->down = point->down;
    else
        axis.top = point->down;
    if (point->down)
        point->down->up = point->up;
    else
        axis.bottom = point->up;
    point->up = point->down = nullptr;
}

void neRegion::Link(neRegionAxis& axis, neEndPoint* point, neEndPoint* start) {
    neEndPoint* y = start ? start : axis.top;
    if (y && !Greater(y, point)) {
        while (y->up && !Greater(y->up, point)) y = y->up;
    } else {
        while (y && Greater(y, point)) y = y->down;
    }
    // Insert above y, or at the bottom when y is null.
    if (y) {
        point->down = y;
        point->up = y->up;
        if (y->up)
            y->up->down = point;
        else
            axis.top = point;
        y->up = point;
    } else {
        point->down = nullptr;
        point->up = axis.bottom;
        if (axis.bottom)
            axis.bottom->down = point;
        else
            axis.top = point;
        axis.bottom = point;
    }
}

void neRegion::InsertBody(neRegionAxis& axis, neBody* body, neBody* hint) {
    neEndPoint* lower = axis.endPoints.Alloc();
    neEndPoint* upper = axis.endPoints.Alloc();
    if (!lower || !upper) {
        if (lower) axis.endPoints.Free(lower);
        if (upper) axis.endPoints.Free(upper);
        return;
    }
    *lower = neEndPoint{0, 0, body->minBound[axis.index], body, nullptr, nullptr};
    *upper = neEndPoint{1, 0, body->maxBound[axis.index], body, nullptr, nullptr};
    body->endPoints[3 + axis.index] = lower;
    body->endPoints[axis.index] = upper;
    // A hint without end points on this axis is no help.
    neEndPoint* hintUpper = hint && hint != body ? hint->endPoints[axis.index] : nullptr;
    neEndPoint* hintLower = hint && hint != body ? hint->endPoints[3 + axis.index] : nullptr;
    Link(axis, upper, hintUpper);
    Link(axis, lower, hintLower ? hintLower : upper);
}

void neRegion::ToggleOverlap(neBody* a, neBody* b, u8 bit) {
    Cell cell;
    if (!CellOf(a, b, cell)) return;
    if (*cell.mask == fullMask_) {
        *cell.mask ^= bit;
        ReleasePair(cell.number);
        return;
    }
    *cell.mask ^= bit;
    if (*cell.mask == fullMask_ && PairCollides(a, b))
        if (neOverlapPair* pair = TakePair(a, b)) pairIndex_.Insert(cell.number, pair);
}

void neRegion::InitPairState(neBody* a, neBody* b) {
    Cell cell;
    if (!CellOf(a, b, cell)) return;
    u8 mask = 0;
    for (const neRegionAxis& axis : axes_) {
        if (!(axisMask_ & axis.bit)) continue;
        const neEndPoint* aLow = a->endPoints[3 + axis.index];
        const neEndPoint* aHigh = a->endPoints[axis.index];
        const neEndPoint* bLow = b->endPoints[3 + axis.index];
        const neEndPoint* bHigh = b->endPoints[axis.index];
        if (!aLow || !aHigh || !bLow || !bHigh) continue;
        if (bHigh->value > aLow->value && bLow->value < aHigh->value) mask |= axis.bit;
    }
    if (*cell.mask == fullMask_) ReleasePair(cell.number);  // only a full cell holds a pair
    *cell.mask = mask;
    if (mask != fullMask_) return;
    // The first body of a pair is rigid whenever one is, and no particle when
    // it can be helped.
    bool aFirst = (a->type == NE_BODY_RIGID && !IsParticle(a)) || (IsParticle(a) && b->type == NE_BODY_ANIMATED);
    if (neOverlapPair* pair = aFirst ? TakePair(a, b) : TakePair(b, a)) pairIndex_.Insert(cell.number, pair);
}

void neRegion::MarkMoved(s32 axis, neEndPoint* point) {
    if (point->moved) return;
    point->moved = 1;
    axes_[axis].moved.Push(point);
}

void neRegion::Forget(neRegionAxis& axis, neEndPoint* point) {
    if (!point->moved) return;
    for (s32 i = 0; i < axis.moved.Count(); ++i) {
        if (axis.moved[i] != point) continue;
        axis.moved[i] = axis.moved[axis.moved.Count() - 1];
        axis.moved.Pop();
        break;
    }
    point->moved = 0;
}

// Only end points that moved can stand out of order. Each is carried down
// and up past its neighbours by adjacent exchanges, until a pass over them
// exchanges nothing. An exchange happens exactly for a pair of ends that
// changed order since the last sort, so the pairs toggled are those the
// whole-list sort would toggle, with the end that was below first. When
// most ends moved, one pass over the whole list costs less.
void neRegion::SortAxis(neRegionAxis& axis, bool noToggle) {
    if (2 * axis.moved.Count() > axis.endPoints.UsedCount()) {
        SortWhole(axis, noToggle);
    } else {
        SortMoved(axis, noToggle);
    }
    for (s32 i = 0; i < axis.moved.Count(); ++i) axis.moved[i]->moved = 0;
    axis.lastSorted = axis.moved.Count();
    axis.moved.Clear();
}

// Insertion sort of the whole list: the nodes are taken in their old order
// from the bottom and each is inserted into the new list from its top.
void neRegion::SortWhole(neRegionAxis& axis, bool noToggle) {
    neEndPoint* newTop = nullptr;
    neEndPoint* newBottom = nullptr;
    for (neEndPoint* x = axis.bottom; x;) {
        neEndPoint* following = x->up;  // the old order, from the bottom up
        neEndPoint* y = newTop;
        while (y && Greater(y, x)) {
            if (!noToggle && y->body != x->body && y->kind != x->kind && !BothParticles(y->body, x->body))
                ToggleOverlap(y->body, x->body, axis.bit);
            y = y->down;
        }
        if (y) {
            x->down = y;
            x->up = y->up;
            if (y->up)
                y->up->down = x;
            else
                newTop = x;
            y->up = x;
        } else {
            x->down = nullptr;
            x->up = newBottom;
            if (newBottom)
                newBottom->down = x;
            else
                newTop = x;
            newBottom = x;
        }
        x = following;
    }
    axis.top = newTop;
    axis.bottom = newBottom;
}

void neRegion::SortMoved(neRegionAxis& axis, bool noToggle) {
    auto exchange = [&](neEndPoint* below, neEndPoint* above) {
        if (!noToggle && below->body != above->body && below->kind != above->kind &&
            !BothParticles(below->body, above->body))
            ToggleOverlap(below->body, above->body, axis.bit);
        // Link `below` above `above`.
        neEndPoint* under = below->down;
        neEndPoint* over = above->up;
        if (under)
            under->up = above;
        else
            axis.bottom = above;
        above->down = under;
        above->up = below;
        below->down = above;
        below->up = over;
        if (over)
            over->down = below;
        else
            axis.top = below;
    };
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (s32 i = 0; i < axis.moved.Count(); ++i) {
            neEndPoint* x = axis.moved[i];
            while (x->down && Greater(x->down, x)) {
                exchange(x->down, x);
                exchanged = true;
            }
            while (x->up && Greater(x, x->up)) {
                exchange(x, x->up);
                exchanged = true;
            }
        }
    }
}

void neRegion::Update() {
    for (neRegionAxis& axis : axes_)
        if (axisMask_ & axis.bit) SortAxis(axis, false);

    for (s32 i = 0; i < pending_.Count(); ++i) {
        neBody* body = pending_[i].body;
        neBody* hint = pending_[i].hint;
        if (body->pendingState != NE_REGION_PENDING || !body->regionRecord || !IsHandedOut(body)) continue;
        body->pendingState = NE_REGION_INSIDE;
        body->UpdateAabb();
        if (hint && (!hint->regionRecord || !IsHandedOut(hint))) hint = nullptr;
        for (neRegionAxis& axis : axes_) {
            if (axisMask_ & axis.bit) {
                InsertBody(axis, body, hint);
            } else {
                body->endPoints[axis.index] = body->endPoints[3 + axis.index] = nullptr;
            }
        }
        for (neRegionBody* r = records_.FirstUsed(); r; r = records_.NextUsed(r)) {
            neBody* other = r->body;
            if (other == body || BothParticles(body, other)) continue;
            bool hasEnds = false;
            for (neEndPoint* e : other->endPoints) hasEnds = hasEnds || e;
            if (hasEnds) InitPairState(body, other);
        }
    }
    pending_.Clear();
}

void neRegion::Rebuild() {
    for (neRegionAxis& axis : axes_)
        if (axisMask_ & axis.bit) SortAxis(axis, true);
    for (neRegionBody* r = records_.FirstUsed(); r; r = records_.NextUsed(r))
        for (neRegionBody* s = records_.NextUsed(r); s; s = records_.NextUsed(s)) {
            if (BothParticles(r->body, s->body)) continue;
            InitPairState(r->body, s->body);
        }
}

u8 neRegion::TestAabbOverlap(const neBody* a, const neBody* b) const {
    u8 mask = 0;
    for (const neRegionAxis& axis : axes_) {
        if (!(axisMask_ & axis.bit)) continue;
        if (b->maxBound[axis.index] > a->minBound[axis.index] && b->minBound[axis.index] < a->maxBound[axis.index])
            mask |= axis.bit;
    }
    return mask;
}

void neRegion::FreeTerrain() { terrain_.Free(); }
