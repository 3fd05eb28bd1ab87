// The joints' phases of a simulator step: damping before the integration,
// the constraint phase after it, and the joint controllers at the end.
#include "physics/constraint.h"

#include "physics/joint_rows.h"
#include "physics/response.h"
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

// Adds a rigid body's averaged solver corrections and clears its touched flag.
void FlushAccumulatedVelocity(neRigidBody* r) {
    r->touched = 0;
    r->ApplyCorrections();
}

// The solve list holds constraint sets and stacks.
void FlushSolveListEntry(nePool<neConstraintSet>& sets, void* entry) {
    neConstraintSet* set = static_cast<neConstraintSet*>(entry);
    if (sets.IsInUse(set)) {
        for (neBody* b = set->firstBody; b; b = b->setNext)
            if (neRigidBody* r = b->AsRigidBody()) FlushAccumulatedVelocity(r);
        return;
    }
    for (neStackNode* n = static_cast<neStack*>(entry)->first; n; n = n->next)
        if (n->body) FlushAccumulatedVelocity(n->body);
}

void ClearRest(neRigidBody* r) {
    if (r && r->restState == NE_RESTING) r->restState = NE_MOVING;
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
    recovery = 0;
    finalPass = 0;
    for (s32 pass = 0; pass < RESPONSE_PASSES; ++pass) {
        recovery = pass;
        for (s32 i = 0; i < n; ++i) {
            if (pass == 1 && i == n - 1) finalPass = 1;
            for (s32 k = 0; k < constraintRows.Count(); ++k) neCollisionResponse::Impulse(this, constraintRows[k]);
            for (s32 k = stackRecords.Count() - 1; k >= 0; --k) neCollisionResponse::Impulse(this, stackRecords[k]);
            for (s32 k = 0; k < solveList.Count(); ++k) FlushSolveListEntry(constraintSetPool, solveList[k]);
            // The last iteration leaves B of a resting contact unmoved: the
            // one before it prepares the matrices for that.
            if (pass == 1 && i == n - 2)
                for (s32 k = 0; k < stackRecords.Count(); ++k)
                    if (stackRecords[k].kind == NE_IMPULSE_RESTING_CONTACT) neUpdateMatrices(stackRecords[k], false, true);
        }
    }
    constraintRows.Clear();
    stackRecords.Clear();
}

void neSimulator::CollectLinkedSets(f32* tolerance, s32* iterations) {
    // Solving a set may touch further stacks: the list grows as it is walked.
    for (s32 k = 0; k < touchedStacks.Count(); ++k) {
        neStack* stack = static_cast<neStack*>(touchedStacks[k]);
        solveList.Push(stack);
        for (neStackNode* n = stack->first; n; n = n->next) {
            neConstraintSet* set = n->body ? n->body->constraintSet : nullptr;
            if (!set || set->solved) continue;
            set->Solve(tolerance, iterations);
            solveList.Push(set);
        }
    }
}

void neSimulator::SleepSolvedSets() {
    // Sending a whole solved group to sleep waits for the stacks' rest tests;
    // until a group passes them, every body in it keeps moving, so that the
    // joints' impulses on a body that was asleep are carried out.
    for (s32 k = 0; k < solveList.Count(); ++k) {
        void* entry = solveList[k];
        neConstraintSet* set = static_cast<neConstraintSet*>(entry);
        if (constraintSetPool.IsInUse(set)) {
            for (neBody* b = set->firstBody; b; b = b->setNext) ClearRest(b->AsRigidBody());
        } else {
            for (neStackNode* n = static_cast<neStack*>(entry)->first; n; n = n->next) ClearRest(n->body);
        }
    }
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
        CollectLinkedSets(&tolerance, &iterations);
        ApplyResponse(tolerance, iterations);
        SleepSolvedSets();
    }
}
