// The region's ties to the simulator core: its sizes and allocator, the
// pools that tell a body still handed out, the collision table and the log.
#include "physics/body.h"
#include "physics/region.h"
#include "physics/simulator_core.h"

namespace {

s32 Count(s32 n) { return n < 0 ? 0 : n; }

const char* const kPairsFull = "Overlap Pair buffer full. Increase buffer size.\n";

// Reserves `count` zeroed cells; false when the table is too large to hold.
bool ReserveTable(neGrowArray<u8>& table, int64_t count, neAllocator* allocator) {
    if (count > INT32_MAX) return false;
    if (!table.Reserve(static_cast<s32>(count), allocator, NE_GROW_NEVER)) return false;
    for (int64_t i = 0; i < count; ++i) *table.Alloc() = 0;
    return true;
}

}  // namespace

bool neRegion::Initialise(neSimulatorCore* sim, s32 axisMask) {
    sim_ = sim;
    axisMask_ = axisMask & NE_ALL_AXES;
    rigidCount_ = Count(sim->sizes.rigidBodiesCount);
    animatedCount_ = Count(sim->sizes.animatedBodiesCount);
    particleCount_ = Count(sim->sizes.rigidParticleCount);
    bodyCount_ = rigidCount_ + animatedCount_;
    const s32 all = bodyCount_ + particleCount_;
    neAllocator* alloc = sim->allocator;
    bool ok = ReserveTable(triangularTable_, static_cast<int64_t>(bodyCount_) * (bodyCount_ - 1) / 2, alloc);
    ok = ReserveTable(rectangularTable_, static_cast<int64_t>(bodyCount_) * particleCount_, alloc) && ok;
    // The pending list grows: removing and re-adding bodies between two
    // updates can hold more than one slot per body for a while.
    ok = pending_.Reserve(all, alloc, NE_GROW_DOUBLE) && ok;
    ok = records_.Reserve(all, alloc) && ok;
    ok = pairs_.Reserve(Count(sim->sizes.overlapPairsCount), alloc) && ok;
    ok = pairIndex_.Reserve(Count(sim->sizes.overlapPairsCount), alloc) && ok;
    fullMask_ = 0;
    for (s32 a = 0; a < NE_AXIS_COUNT; ++a) {
        neRegionAxis& axis = axes_[a];
        axis.index = a;
        axis.bit = static_cast<u8>(1 << a);
        axis.top = axis.bottom = nullptr;
        if (axisMask_ & axis.bit) {
            fullMask_ |= axis.bit;
            ok = axis.endPoints.Reserve(2 * all, alloc) && ok;
            ok = axis.moved.Reserve(2 * all, alloc, NE_GROW_NEVER) && ok;
        }
    }
    return ok;
}

neOverlapPair* neRegion::TakePair(neBody* a, neBody* b) {
    if (pairs_.UsedCount() >= pairs_.Capacity()) {
        sim_->LogOutput(1, kPairsFull);
        return nullptr;
    }
    neOverlapPair* pair = pairs_.Alloc();
    pair->bodyA = a;
    pair->bodyB = b;
    return pair;
}

bool neRegion::PairCollides(const neBody* a, const neBody* b) const {
    return sim_->collisionTable.GetImpl(a->collisionID, b->collisionID) != 0;
}

bool neRegion::IsHandedOut(const neBody* body) const {
    if (body->type == NE_BODY_ANIMATED)
        return sim_->animatedBodyPool.IsInUse(static_cast<const neAnimatedBody*>(body));
    const neRigidBody* r = static_cast<const neRigidBody*>(body);
    return sim_->rigidBodyPool.IsInUse(r) || sim_->particlePool.IsInUse(r);
}

bool neRegion::BuildTerrain(const neTriangleMesh& mesh) {
    return terrain_.Build(mesh, sim_->allocator, sim_->sizes.terrainNodesStartCount,
                          sim_->sizes.terrainNodesGrowByCount);
}
