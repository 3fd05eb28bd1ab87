// The joints' phases of a simulator step: damping before the integration,
// the constraint phase after it, and the joint controllers at the end.
#include "physics/constraint.h"

#include "physics/joint_rows.h"
#include "physics/simulator.h"

namespace {

// Passes of the iteration: the first without, the second with penetration
// recovery of resting contacts.
constexpr s32 RESPONSE_PASSES = 2;

template <typename Fn>
void ForEachEnabledJoint(nePool<neConstraintSet>& sets, Fn fn) {
    for (neConstraintSet* set = sets.FirstUsed(); set; set = sets.NextUsed(set))
        for (neConstraint* c = set->firstConstraint; c; c = c->next)
            if (c->enabled) fn(c);
}

// Adds each rigid body's averaged solver corrections and clears its touched flag.
void FlushAccumulatedVelocity(neConstraintSet* set) {
    for (neBody* b = set->firstBody; b; b = b->setNext) {
        neRigidBody* r = b->AsRigidBody();
        if (!r) continue;
        r->touched = 0;
        r->ApplyCorrections();
    }
}

s32 MovingBodies(const neConstraintSet* set) {
    s32 count = 0;
    for (neBody* b = set->firstBody; b; b = b->setNext) {
        neRigidBody* r = b->AsRigidBody();
        if (r && r->restState != NE_RESTING) ++count;
    }
    return count;
}

}  // namespace

void neSimulator::UpdateConstraints() {
    ForEachEnabledJoint(constraintSetPool, [](neConstraint* c) { c->ApplyDamping(); });
}

void neSimulator::AdvanceConstraintCounters() {
    ForEachEnabledJoint(constraintSetPool, [](neConstraint* c) { c->RunControllers(); });
}

void neSimulator::ApplyResponse(f32 tolerance, s32 iterations) {
    (void)tolerance;  // collected from the joints, but no rule reads it
    if (constraintRows.Count() == 0 && stackRecords.Count() == 0) return;
    const s32 n = iterations == -1 ? NE_DEFAULT_SOLVER_ITERATIONS : iterations;
    for (s32 pass = 0; pass < RESPONSE_PASSES; ++pass) {
        for (s32 i = 0; i < n; ++i) {
            for (s32 k = 0; k < constraintRows.Count(); ++k)
                neCollisionResponse::JointImpulse(this, constraintRows[k]);
            for (s32 k = 0; k < solveList.Count(); ++k)
                FlushAccumulatedVelocity(static_cast<neConstraintSet*>(solveList[k]));
        }
    }
    constraintRows.Clear();
    stackRecords.Clear();
}

void neSimulator::SolveConstraints() {
    if (constraintSetPool.UsedCount() == 0) return;
    for (neConstraintSet* set = constraintSetPool.FirstUsed(); set; set = constraintSetPool.NextUsed(set))
        set->solved = 0;
    for (neConstraintSet* set = constraintSetPool.FirstUsed(); set; set = constraintSetPool.NextUsed(set)) {
        if (set->solved) continue;
        solveList.Clear();
        touchedStacks.Clear();
        constraintRows.Clear();
        stackRecords.Clear();
        solveList.Push(set);
        if (MovingBodies(set) == 0) continue;
        f32 tolerance = -1.0f;
        s32 iterations = -1;
        set->Solve(&tolerance, &iterations);
        ApplyResponse(tolerance, iterations);
    }
}
