// The joints' phases of a simulator step: damping before the integration,
// the constraint phase after it, and the joint controllers at the end.
#include "physics/constraint.h"

#include "physics/joint_rows.h"
#include "physics/response.h"
#include "physics/simulator_core.h"

namespace {

template <typename Fn>
void ForEachEnabledJoint(nePool<neConstraintSet>& sets, Fn fn) {
    for (neConstraintSet* set = sets.FirstUsed(); set; set = sets.NextUsed(set))
        for (neConstraint* c = set->firstConstraint; c; c = c->next)
            if (c->enabled) fn(c);
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

void neSimulatorCore::UpdateConstraints() {
    ForEachEnabledJoint(constraintSetPool, [](neConstraint* c) { c->ApplyDamping(); });
}

void neSimulatorCore::AdvanceConstraintCounters() {
    ForEachEnabledJoint(constraintSetPool, [](neConstraint* c) { c->RunControllers(); });
}

void neSimulatorCore::SolveConstraints() {
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
        CollectLinkedSets(&tolerance, &iterations);
        ApplyResponse(tolerance, iterations);
        SleepSolvedSets();
    }
}
