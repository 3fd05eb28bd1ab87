// Answers the rows of a solve iteratively (the two-pass iteration), the
// stack phases of a step (check and solve), and what the constraint phase
// takes from the stacks: linked stacks and sets, and sleep after a solve.
#include <initializer_list>

#include "physics/body.h"
#include "physics/constraint.h"
#include "physics/joint_rows.h"
#include "physics/response.h"
#include "physics/simulator_core.h"
#include "physics/stack.h"

// ---- body lists ----

namespace {

// Calls fn for every rigid body of the sets and stacks in the solve list,
// then for every body of the stack body list. The solve list holds both
// kinds of record; the stack pool tells them apart.
template <typename Fn>
void ForEachSolvedBody(neSimulatorCore& sim, Fn fn) {
    for (s32 i = 0; i < sim.solveList.Count(); ++i) {
        void* item = sim.solveList[i];
        if (sim.stackPool.IsInUse(static_cast<neStack*>(item))) {
            for (neStackNode* n = static_cast<neStack*>(item)->first; n; n = n->next) fn(n->body);
        } else {
            for (neBody* b = static_cast<neConstraintSet*>(item)->firstBody; b; b = b->setNext)
                if (neRigidBody* r = b->AsRigidBody()) fn(r);
        }
    }
    for (neRigidBody* r = sim.stackBodyFirst; r; r = r->stackListNext) fn(r);
}

void FlushAccumulatedVelocity(neRigidBody* body) {
    body->touched = 0;
    body->ApplyCorrections();
}

// At rest: asleep already; for a body in a constraint set, lying in a stack,
// still against its snapshot and carried by its supports (a body held by
// joints alone never counts as resting: without weight its support class
// would call it carried, and it would sleep while its joints pull it along);
// otherwise idle for long enough.
bool AtRest(neRigidBody* body) {
    if (body->restState == NE_RESTING) return true;
    if (body->constraintSet)
        return body->stackNode && neSnapshotDriftTest(body) && neSupportDriftTest(body) &&
               neStackCheck(body) != NE_SUPPORT_NONE;
    return body->idleSteps > NE_SLEEP_IDLE_STEPS;
}

bool AllAtRest(neSimulatorCore& sim) {
    bool all = true;
    ForEachSolvedBody(sim, [&all](neRigidBody* b) { all = all && AtRest(b); });
    return all;
}

// Sends the bodies to sleep; with `passingOnly` only those their supports
// carry well enough.
void Sleep(neSimulatorCore& sim, bool passingOnly) {
    ForEachSolvedBody(sim, [passingOnly](neRigidBody* b) {
        if (b->restState == NE_RESTING) return;
        if (!passingOnly || neStackMaySleep(b)) b->GoToSleep();
    });
}

// Clears the rest flag only: the snapshot and idle count stay, so the rest
// tests keep counting.
void ClearRest(neSimulatorCore& sim) {
    ForEachSolvedBody(sim, [](neRigidBody* b) {
        if (b->restState == NE_RESTING) b->restState = NE_MOVING;
    });
}

bool AllMembersResting(const neStack* stack) {
    for (const neStackNode* n = stack->first; n; n = n->next)
        if (n->body->restState != NE_RESTING) return false;
    return true;
}

template <typename Fn>
void ForEachActiveRigid(neSimulatorCore& sim, Fn fn) {
    for (neBodyList* list : {&sim.activeRigidBodies, &sim.activeParticles})
        for (neBody* b = list->first; b;) {
            neBody* following = b->next;
            fn(static_cast<neRigidBody*>(b));
            b = following;
        }
}

}  // namespace

void neSimulatorCore::AppendStackRecord(const neCollisionResult& record) { stackRecords.Push(record); }

neStack* neSimulatorCore::NewStack() {
    neStack* stack = stackPool.Alloc();
    if (!stack) return nullptr;
    *stack = neStack{};
    stacks.Add(stack);
    return stack;
}

void neSimulatorCore::FreeStack(neStack* stack) {
    if (!stackPool.IsInUse(stack)) return;
    stacks.Unlink(stack);
    stackPool.Free(stack);
}

void neSimulatorCore::AddToStackBodyList(neRigidBody* body) {
    if (InStackBodyList(body)) return;
    body->stackListNext = nullptr;
    if (stackBodyLast)
        stackBodyLast->stackListNext = body;
    else
        stackBodyFirst = body;
    stackBodyLast = body;
}

void neSimulatorCore::ClearStackList() {
    for (neRigidBody* r = stackBodyFirst; r;) {
        neRigidBody* following = r->stackListNext;
        r->stackListNext = nullptr;
        r = following;
    }
    stackBodyFirst = stackBodyLast = nullptr;
}

// ---- iteration ----

void neSimulatorCore::ApplyResponse(f32, s32 iterations) {
    if (constraintRows.Count() == 0 && stackRecords.Count() == 0) return;
    const s32 n = iterations == -1 ? NE_DEFAULT_SOLVER_ITERATIONS : iterations;
    finalPass = 0;
    for (s32 pass = 0; pass < 2; ++pass) {
        recovery = pass;
        for (s32 i = 0; i < n; ++i) {
            if (pass == 1 && i == n - 1) finalPass = 1;
            for (s32 k = 0; k < constraintRows.Count(); ++k) neCollisionResponse::Impulse(this, constraintRows[k]);
            for (s32 k = stackRecords.Count() - 1; k >= 0; --k) neCollisionResponse::Impulse(this, stackRecords[k]);
            ForEachSolvedBody(*this, FlushAccumulatedVelocity);
            if (pass == 1 && i == n - 2)
                for (s32 k = 0; k < stackRecords.Count(); ++k)
                    if (stackRecords[k].kind == NE_IMPULSE_RESTING_CONTACT) neUpdateMatrices(stackRecords[k], false, true);
        }
    }
    constraintRows.Clear();
    stackRecords.Clear();
    // The flags belong to this solve: later answers outside it must move both bodies.
    recovery = 0;
    finalPass = 0;
}

namespace {

// The stacks that the set's bodies rest in join the solve; a body resting
// alone brings its own contacts instead.
void TouchStacksOf(neSimulatorCore& sim, neConstraintSet* set) {
    for (neBody* b = set->firstBody; b; b = b->setNext) {
        neRigidBody* body = b->AsRigidBody();
        neStackNode* node = body ? body->stackNode : nullptr;
        if (!node) continue;
        if (node->stack->builtIn) {
            if (!body->stackSolveFlag) continue;
            body->stackSolveFlag = 0;
            neStackSolveBody(body);
            continue;
        }
        bool listed = false;
        for (s32 i = 0; i < sim.touchedStacks.Count() && !listed; ++i) listed = sim.touchedStacks[i] == node->stack;
        if (!listed) sim.touchedStacks.Push(node->stack);
    }
}

}  // namespace

void neSimulatorCore::CollectLinkedSets(f32* tolerance, s32* iterations) {
    ClearStackList();
    for (s32 i = 0; i < solveList.Count(); ++i) TouchStacksOf(*this, static_cast<neConstraintSet*>(solveList[i]));
    // The list grows while sets solved here touch further stacks.
    for (s32 i = 0; i < touchedStacks.Count(); ++i) {
        neStack* stack = static_cast<neStack*>(touchedStacks[i]);
        if (!stackPool.IsInUse(stack) || stack->stepWord) continue;
        stack->stepWord = 1;
        solveList.Push(stack);
        neStackCollect(stack);
        for (neStackNode* n = stack->first; n; n = n->next) {
            neConstraintSet* set = n->body->constraintSet;
            if (!set || set->solved) continue;
            set->Solve(tolerance, iterations);
            solveList.Push(set);
            TouchStacksOf(*this, set);
        }
    }
}

void neSimulatorCore::SleepSolvedSets() {
    if (AllAtRest(*this))
        Sleep(*this, false);
    else
        ClearRest(*this);
    ClearStackList();
}

// ---- stack phases ----

void neSimulatorCore::CheckStacks() {
    // Stacks with a member awake wait to be solved. (A contact change
    // wakes the bodies concerned, so an all-resting stack has none pending.)
    solveList.Clear();
    for (neStack* s = stacks.first; s; s = s->next) {
        s->queued = AllMembersResting(s) ? 0 : 1;
        if (s->queued) solveList.Push(s);
    }

    // Entries re-checked. A body left without one leaves its stack; a
    // base node stays only while bodies rest on it. A resting body that
    // lost its footing wakes.
    ForEachActiveRigid(*this, [](neRigidBody* body) {
        neStackNode* node = body->stackNode;
        if (!node) return;
        if (node->base) {
            if (body->supportedCount == 0) neStackRemoveBody(body);
            return;
        }
        const s32 count = neStackValidate(body);
        if (count == 0) {
            for (neContactEntry& e : body->contacts) neUnlinkContactEntry(&e);
            body->supportCount = 0;
            neStackRemoveBody(body);
        }
        if (body->restState == NE_RESTING && !body->constraintSet && count <= 1) body->WakeUp();
    });

    // Every fifth queued stack, in turn by step, is split into its
    // connected groups; a stack left empty by that is released.
    const s32 turn = stepCount % 5;
    for (s32 i = 0; i < solveList.Count(); ++i) {
        neStack* stack = static_cast<neStack*>(solveList[i]);
        if (i % 5 != turn || !stackPool.IsInUse(stack)) continue;
        if (neStackRegroup(stack)) FreeStack(stack);
    }

    // Stacks without members are released.
    for (neStack* s = stacks.first; s;) {
        neStack* following = s->next;
        if (s->count == 0) FreeStack(s);
        s = following;
    }
}

void neSimulatorCore::SolveStacks() {
    // Bodies resting alone: their contacts are answered at once, recovering
    // penetration without a bounce.
    stackRecords.Clear();
    recovery = 1;
    finalPass = 0;
    for (neStackNode* n = builtInStack.first; n; n = n->next) {
        neRigidBody* body = n->body;
        if (body->restState == NE_RESTING || !body->stackSolveFlag || !body->active) continue;
        body->stackSolveFlag = 0;
        stackRecords.Clear();
        neStackSolveBody(body);
        for (s32 k = 0; k < stackRecords.Count(); ++k) {
            neCollisionResult& r = stackRecords[k];
            neResolveCollision(*this, r, NE_RESOLVE_RESTING, r.stackValue);
        }
        stackRecords.Clear();
        // The rest test's three parts: idle long enough, supports in place,
        // and carried by them.
        if (body->idleSteps > NE_SLEEP_IDLE_STEPS && neStackMaySleep(body)) body->GoToSleep();
    }
    recovery = 0;
    MarkTimer(NE_TIMER_RESTING_BODIES);

    // A stack of one body is no stack: the body rests alone.
    for (neStack* s = stacks.first; s;) {
        neStack* following = s->next;
        if (s->count < 2) neStackDissolve(this, s);
        s = following;
    }

    for (neStack* s = stacks.first; s; s = s->next) {
        if (!s->queued || s->stepWord) continue;
        s->stepWord = 1;
        solveList.Clear();
        touchedStacks.Clear();
        constraintRows.Clear();
        stackRecords.Clear();
        ClearStackList();
        solveList.Push(s);
        neStackCollect(s, true);
        ApplyResponse(-1.0f, NE_STACK_ITERATIONS);
        if (AllAtRest(*this)) Sleep(*this, true);
        ClearStackList();
    }
    solveList.Clear();
    MarkTimer(NE_TIMER_STACK_SOLVE);
}
