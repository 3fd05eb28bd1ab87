// Answers the rows of a solve iteratively: the joint-row rules, the
// dispatcher, the two-pass iteration, and the stack phases of a step (check
// and solve) with the body-list operations they share with the joints.
#include "physics/impulse_iteration.h"

#include <cmath>
#include <initializer_list>

#include "physics/body.h"
#include "physics/constraint.h"
#include "physics/response.h"
#include "physics/simulator.h"

namespace {

neRigidBody* RigidOf(neBody* body) { return body ? body->AsRigidBody() : nullptr; }

neV3 PointVelocity(neBody* body, const neV3& arm) {
    neRigidBody* r = RigidOf(body);
    return r ? r->velocity + r->angularVelocity.Cross(arm) : neMakeV3(0, 0, 0);
}

neV3 AngularVelocity(neBody* body) {
    neRigidBody* r = RigidOf(body);
    return r ? r->angularVelocity : neMakeV3(0, 0, 0);
}

bool IsFinite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// +J at arm on A, −J on B, each when rigid.
void ApplyLinear(neCollisionResult& r, const neV3& j) {
    if (!IsFinite(j)) return;
    if (neRigidBody* a = RigidOf(r.bodyA)) {
        a->velocity += j * a->invMass;
        a->state.angularMomentum += r.pointA.Cross(j);
        a->angularVelocity = a->worldInvInertia * a->state.angularMomentum;
        a->touched = 1;
    }
    if (neRigidBody* b = RigidOf(r.bodyB)) {
        b->velocity -= j * b->invMass;
        b->state.angularMomentum -= r.pointB.Cross(j);
        b->angularVelocity = b->worldInvInertia * b->state.angularMomentum;
        b->touched = 1;
    }
}

void ApplyAngular(neBody* body, const neV3& j) {
    neRigidBody* r = RigidOf(body);
    if (!r || !IsFinite(j)) return;
    r->state.angularMomentum += j;
    r->angularVelocity = r->worldInvInertia * r->state.angularMomentum;
    r->touched = 1;
}

// The point rows' position correction: half the error, at most
// NE_JOINT_MAX_CORRECTION when half the error is longer than that.
neV3 PointCorrection(const neV3& error, f32 errorLength) {
    const f32 half = NE_JOINT_RELAXATION * errorLength;
    if (half > NE_JOINT_MAX_CORRECTION) return error * (NE_JOINT_MAX_CORRECTION / half);
    return error * NE_JOINT_RELAXATION;
}

// An impulse scaled down to length limit·Δt when it exceeds that.
neV3 LimitImpulse(const neV3& j, f32 limit, f32 dt) {
    const f32 length = j.Length();
    if (dt > 0.0f && length / dt > limit && length > 0.0f) return j * (limit * dt / length);
    return j;
}

}  // namespace

// ---- joint rows ----

f32 neImpulseKind3(neCollisionResult& r, neSimulator& sim) {
    neV3 j;
    if (neAbs(r.depth) < NE_ZERO) {
        j = -(r.W * r.relativeVelocity);
    } else {
        const neV3 c = PointCorrection(r.worldPointA, r.depth);
        j = -(r.W * (r.relativeVelocity * NE_JOINT_RELAXATION + c * sim.stepTimeInverse));
    }
    ApplyLinear(r, j);
    return 0.0f;
}

f32 neImpulseKind4(neCollisionResult& r, neSimulator& sim) {
    neV3 j;
    if (neAbs(r.rowValue) < NE_ZERO) {
        j = -(r.W * r.relativeVelocity);
    } else {
        const neV3 c = PointCorrection(r.worldPointA, r.rowValue);
        j = -(r.W * (r.relativeVelocity * NE_JOINT_RELAXATION + c * sim.stepTimeInverse));
    }
    const neV3& axis = r.worldPointB;
    j -= axis * j.Dot(axis);
    ApplyLinear(r, j);
    return 0.0f;
}

f32 neImpulseKind5(neCollisionResult& r, neSimulator& sim) {
    const f32 v = NE_JOINT_RELAXATION * r.depth * sim.stepTimeInverse;
    if (r.rowValue < v) ApplyLinear(r, -(r.W * (r.worldPointB * (v - NE_JOINT_RELAXATION * r.rowValue))));
    return 0.0f;
}

f32 neImpulseKind6(neCollisionResult& r, neSimulator& sim) {
    const f32 e = r.depth;
    const f32 s = r.speed;
    if (e == 0.0f) return 0.0f;
    if (!((e > 0.0f && s > 0.0f) || (e < 0.0f && s < 0.0f))) return 0.0f;
    const f32 delta = -NE_JOINT_RELAXATION * e * sim.stepTimeInverse - NE_JOINT_RELAXATION * s;
    const neV3 j = r.W * (r.localPointB * delta);
    ApplyAngular(r.bodyA, j);
    ApplyAngular(r.bodyB, -j);
    return 0.0f;
}

f32 neImpulseKind7(neCollisionResult& r, neSimulator& sim) {
    const f32 e = r.depth;
    const f32 s = r.localPointA.Dot(AngularVelocity(r.bodyA)) - r.localPointB.Dot(AngularVelocity(r.bodyB));
    if (e == 0.0f) return 0.0f;
    if (!((e > 0.0f && s > 0.0f) || (e < 0.0f && s < 0.0f))) return 0.0f;
    f32 correction = NE_JOINT_RELAXATION * e;
    if (correction > NE_TWIST_MAX_CORRECTION) correction = NE_TWIST_MAX_CORRECTION;
    if (correction < -NE_TWIST_MAX_CORRECTION) correction = -NE_TWIST_MAX_CORRECTION;
    const f32 delta = -correction * sim.stepTimeInverse - NE_JOINT_RELAXATION * s;
    const neV3 j = r.W * (r.localPointB * delta);
    ApplyAngular(r.bodyA, j);
    ApplyAngular(r.bodyB, -j);
    return 0.0f;
}

f32 neImpulseKind8(neCollisionResult& r, neSimulator& sim) {
    const f32 s = r.localPointA.Dot(AngularVelocity(r.bodyA)) - r.localPointB.Dot(AngularVelocity(r.bodyB));
    const f32 delta = r.rowValue - s;
    const neV3 ja = LimitImpulse(r.W * (r.localPointA * delta), r.depth, sim.stepTime);
    const neV3 jb = LimitImpulse(r.W * (r.localPointB * delta), r.depth, sim.stepTime);
    ApplyAngular(r.bodyA, ja);
    ApplyAngular(r.bodyB, -jb);
    return 0.0f;
}

f32 neImpulseKind10(neCollisionResult& r, neSimulator& sim) {
    const neV3& axis = r.localPointA;
    neRigidBody* a = RigidOf(r.bodyA);
    neRigidBody* b = RigidOf(r.bodyB);
    const f32 speed = (a ? axis.Dot(a->velocity) : 0.0f) - (b ? axis.Dot(b->velocity) : 0.0f);
    f32 lambda = (r.rowValue - speed) * r.W.M[0].x;
    const f32 limit = r.depth * sim.stepTime;
    if (lambda > limit) lambda = limit;
    if (lambda < -limit) lambda = -limit;
    if (!std::isfinite(lambda)) return 0.0f;
    if (a) {
        a->velocity += axis * (lambda * a->invMass);
        a->touched = 1;
    }
    if (b) {
        b->velocity -= axis * (lambda * b->invMass);
        b->touched = 1;
    }
    return 0.0f;
}

f32 neImpulse(neSimulator& sim, neCollisionResult& r) {
    switch (r.kind) {
    case NE_IMPULSE_RESTING_CONTACT:
        neUpdateRelativeVelocity(r);
        return neImpulseKind2(sim, r, r.stackValue);
    case NE_IMPULSE_POINT_JOINT:
        r.relativeVelocityWorld = PointVelocity(r.bodyA, r.pointA) - PointVelocity(r.bodyB, r.pointB);
        r.relativeVelocity = r.relativeVelocityWorld;
        return neImpulseKind3(r, sim);
    case NE_IMPULSE_POINT_ON_AXIS: {
        r.relativeVelocityWorld = PointVelocity(r.bodyA, r.pointA) - PointVelocity(r.bodyB, r.pointB);
        const neV3& axis = r.worldPointB;
        r.relativeVelocity = r.relativeVelocityWorld - axis * r.relativeVelocityWorld.Dot(axis);
        return neImpulseKind4(r, sim);
    }
    case NE_IMPULSE_LINEAR_LIMIT:
        r.relativeVelocityWorld = PointVelocity(r.bodyA, r.pointA) - PointVelocity(r.bodyB, r.pointB);
        r.rowValue = -r.relativeVelocityWorld.Dot(r.worldPointB);
        return neImpulseKind5(r, sim);
    case NE_IMPULSE_ANGULAR_LIMIT:
        r.speed = r.localPointB.Dot(AngularVelocity(r.bodyA)) - r.localPointB.Dot(AngularVelocity(r.bodyB));
        return neImpulseKind6(r, sim);
    case NE_IMPULSE_TWIST_LIMIT: return neImpulseKind7(r, sim);
    case NE_IMPULSE_ANGULAR_MOTOR: return neImpulseKind8(r, sim);
    case NE_IMPULSE_LINEAR_MOTOR: return neImpulseKind10(r, sim);
    default: return 0.0f;
    }
}

// ---- body lists ----

namespace {

// Calls fn for every rigid body of the sets and stacks in the solve list,
// then for every body of the stack body list. The solve list holds both
// kinds of record; the stack pool tells them apart.
template <typename Fn>
void ForEachSolvedBody(neSimulator& sim, Fn fn) {
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

// At rest: asleep already; for a body in a constraint set, still against its
// snapshot and carried by its supports; otherwise idle for long enough.
bool AtRest(neRigidBody* body) {
    if (body->restState == NE_RESTING) return true;
    if (body->constraintSet)
        return neSnapshotDriftTest(body) && neSupportDriftTest(body) && neStackCheck(body) != NE_SUPPORT_NONE;
    return body->idleSteps > NE_SLEEP_IDLE_STEPS;
}

bool AllAtRest(neSimulator& sim) {
    bool all = true;
    ForEachSolvedBody(sim, [&all](neRigidBody* b) { all = all && AtRest(b); });
    return all;
}

// Sends the bodies to sleep; with `passingOnly` only those their supports
// carry well enough.
void Sleep(neSimulator& sim, bool passingOnly) {
    ForEachSolvedBody(sim, [passingOnly](neRigidBody* b) {
        if (b->restState == NE_RESTING) return;
        if (!passingOnly || neStackMaySleep(b)) b->GoToSleep();
    });
}

// Clears the rest flag only: the snapshot and idle count stay, so the rest
// tests keep counting.
void ClearRest(neSimulator& sim) {
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
void ForEachActiveRigid(neSimulator& sim, Fn fn) {
    for (neBodyList* list : {&sim.activeRigidBodies, &sim.activeParticles})
        for (neBody* b = list->first; b;) {
            neBody* following = b->next;
            fn(static_cast<neRigidBody*>(b));
            b = following;
        }
}

}  // namespace

void neSimulator::AppendStackRecord(const neCollisionResult& record) { stackRecords.Push(record); }

neStack* neSimulator::NewStack() {
    neStack* stack = stackPool.Alloc();
    if (!stack) return nullptr;
    *stack = neStack{};
    stacks.Add(stack);
    return stack;
}

void neSimulator::FreeStack(neStack* stack) {
    if (!stackPool.IsInUse(stack)) return;
    stacks.Unlink(stack);
    stackPool.Free(stack);
}

void neSimulator::AddToStackBodyList(neRigidBody* body) {
    if (InStackBodyList(body)) return;
    body->stackListNext = nullptr;
    if (stackBodyLast)
        stackBodyLast->stackListNext = body;
    else
        stackBodyFirst = body;
    stackBodyLast = body;
}

void neSimulator::ClearStackList() {
    for (neRigidBody* r = stackBodyFirst; r;) {
        neRigidBody* following = r->stackListNext;
        r->stackListNext = nullptr;
        r = following;
    }
    stackBodyFirst = stackBodyLast = nullptr;
}

// ---- iteration ----

void neSimulator::ApplyResponse(f32, s32 iterations) {
    if (constraintRows.Count() == 0 && stackRecords.Count() == 0) return;
    const s32 n = iterations == -1 ? NE_DEFAULT_ITERATIONS : iterations;
    finalPass = 0;
    for (s32 pass = 0; pass < 2; ++pass) {
        recovery = pass;
        for (s32 i = 0; i < n; ++i) {
            if (pass == 1 && i == n - 1) finalPass = 1;
            for (s32 k = 0; k < constraintRows.Count(); ++k) neImpulse(*this, constraintRows[k]);
            for (s32 k = stackRecords.Count() - 1; k >= 0; --k) neImpulse(*this, stackRecords[k]);
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

void neSimulator::CollectLinkedSets(f32* tolerance, s32* iterations) {
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
            SolveConstraintSet(set, tolerance, iterations);
            solveList.Push(set);
        }
    }
}

void neSimulator::SleepSolvedSets() {
    if (AllAtRest(*this))
        Sleep(*this, false);
    else
        ClearRest(*this);
}

// ---- stack phases ----

void neSimulator::CheckStacks() {
    // 1. Stacks with a member awake wait to be solved.
    solveList.Clear();
    for (neStack* s = stacks.first; s; s = s->next) {
        s->queued = AllMembersResting(s) ? 0 : 1;
        if (s->queued) solveList.Push(s);
    }

    // 2. Entries re-checked. A body left without one leaves its stack; a
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

    // 3. Every fifth queued stack, in turn by step, is split into its
    // connected groups; a stack left empty by that is released.
    const s32 turn = stepCount % 5;
    for (s32 i = 0; i < solveList.Count(); ++i) {
        neStack* stack = static_cast<neStack*>(solveList[i]);
        if (i % 5 != turn || !stackPool.IsInUse(stack)) continue;
        if (neStackRegroup(stack)) FreeStack(stack);
    }

    // 4. Stacks without members are released.
    for (neStack* s = stacks.first; s;) {
        neStack* following = s->next;
        if (s->count == 0) FreeStack(s);
        s = following;
    }
}

void neSimulator::SolveStacks() {
    // Bodies resting alone: their contacts are answered at once, recovering
    // penetration without a bounce.
    stackRecords.Clear();
    recovery = 1;
    finalPass = 0;
    for (neStackNode* n = builtInStack.first; n; n = n->next) {
        neRigidBody* body = n->body;
        if (body->restState == NE_RESTING || !body->stackSolveFlag) continue;
        body->stackSolveFlag = 0;
        stackRecords.Clear();
        neStackSolveBody(body);
        for (s32 k = 0; k < stackRecords.Count(); ++k) {
            neCollisionResult& r = stackRecords[k];
            neResolveCollision(*this, r, NE_RESOLVE_RESTING, r.stackValue);
        }
        stackRecords.Clear();
        if (body->idleSteps > NE_SLEEP_IDLE_STEPS && neStackMaySleep(body)) body->GoToSleep();
    }
    recovery = 0;
    MarkTimer(3);

    // A stack of one body is no stack: the body rests alone.
    for (neStack* s = stacks.first; s;) {
        neStack* following = s->next;
        if (s->count < 2) neStackDissolve(s);
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
        neStackCollect(s);
        ApplyResponse(-1.0f, NE_STACK_ITERATIONS);
        if (AllAtRest(*this)) Sleep(*this, true);
        ClearStackList();
    }
    solveList.Clear();
    MarkTimer(4);
}
