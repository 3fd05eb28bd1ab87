// Resting-contact stacks: the three contact entries of a rigid body, the
// joining of stacks as contacts connect bodies, the validation and solving of
// entries, regrouping, and the tests that decide when a resting body sleeps.
#include "physics/stack.h"

#include <cmath>
#include <cstring>

#include "physics/body.h"
#include "physics/response.h"
#include "physics/simulator_core.h"

const char* const NE_STACK_FULL_MESSAGE = "Stacking Buffer full Error. Please contact techincal support\n";

bool neCheckRestingBodies(neCollisionResult& result) {
    if (result.stackValue > 1.0f) return false;
    neRigidBody* a = result.bodyA && result.bodyA->type == NE_BODY_RIGID ? static_cast<neRigidBody*>(result.bodyA)
                                                                          : nullptr;
    neRigidBody* b = result.bodyB && result.bodyB->type == NE_BODY_RIGID ? static_cast<neRigidBody*>(result.bodyB)
                                                                          : nullptr;
    if (a && a->restState == NE_RESTING) {
        if (!b || b->restState == NE_RESTING) return true;
        result.bodyA = nullptr;
        return false;
    }
    if (a && b && b->restState == NE_RESTING) result.bodyB = nullptr;
    return false;
}

namespace {

neRigidBody* RigidOf(neBody* body) { return body ? body->AsRigidBody() : nullptr; }

bool IsUsed(const neContactEntry& e) { return e.kind != NE_ENTRY_FREE; }

void ReportStackFull(neSimulatorCore* sim) {
    if (sim->logLevel >= 1) sim->LogOutput(1, NE_STACK_FULL_MESSAGE);
}

void AppendNode(neStack* stack, neStackNode* node) {
    node->stack = stack;
    node->next = nullptr;
    node->prev = stack->last;
    if (stack->last)
        stack->last->next = node;
    else
        stack->first = node;
    stack->last = node;
    ++stack->count;
}

void UnlinkNode(neStackNode* node) {
    neStack* stack = node->stack;
    if (!stack) return;
    if (node->prev)
        node->prev->next = node->next;
    else
        stack->first = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        stack->last = node->prev;
    --stack->count;
    node->stack = nullptr;
    node->next = node->prev = nullptr;
}

void MoveNode(neStackNode* node, neStack* target) {
    if (node->stack == target) return;
    UnlinkNode(node);
    AppendNode(target, node);
}

// A node for the body, not yet in a stack; null (and a message) when the
// pool is empty.
neStackNode* NewNode(neRigidBody* body) {
    neStackNode* node = body->sim->stackNodePool.Alloc();
    if (!node) {
        ReportStackFull(body->sim);
        return nullptr;
    }
    *node = neStackNode{};
    node->body = body;
    body->stackNode = node;
    return node;
}

void FillEntry(neRigidBody* body, neContactEntry& e, const neRestingContact& c) {
    e.pointOnBody = c.pointOnBody;
    e.pointOnOther = c.pointOnOther;
    e.normal = c.normal;
    e.depth = c.depth;
    e.values[0] = c.values[0];
    e.values[1] = c.values[1];
    e.other = c.other;
    e.owner = body;
    e.step = body->sim->stepCount;
    e.kind = c.other->type == NE_BODY_RIGID ? NE_ENTRY_ON_RIGID : NE_ENTRY_ON_STATIC;
    neBody* other = c.other;
    e.next = nullptr;
    e.prev = other->supportedLast;
    if (other->supportedLast)
        other->supportedLast->next = &e;
    else
        other->supportedFirst = &e;
    other->supportedLast = &e;
    ++other->supportedCount;
    neRefreshContactEntry(&e);
}

// The other body is still part of the world: the terrain, or a body handed
// out by the simulator and switched on.
bool OtherIsLive(neSimulatorCore* sim, neBody* other) {
    if (other == &sim->terrainBody) return true;
    if (!other->active) return false;
    if (other->type == NE_BODY_RIGID) {
        neRigidBody* r = static_cast<neRigidBody*>(other);
        return sim->rigidBodyPool.IsInUse(r) || sim->particlePool.IsInUse(r);
    }
    return sim->animatedBodyPool.IsInUse(static_cast<neAnimatedBody*>(other));
}

// The entry as a resting contact for the response: body A is the body
// resting, body B its support, the normal points from B toward A, and the
// weight rides in stackValue. (With the support as B, the final pass of an
// iteration, which leaves B alone, lets each body settle on its support
// instead of pushing supports down into what carries them.) With
// `sleepersHold` the record first passes the resting check: none between two
// sleeping bodies, and a sleeping body in it is left out of the answer.
void AppendRecord(neRigidBody* body, const neContactEntry& e, f32 weight, bool sleepersHold) {
    neCollisionResult r;
    std::memset(&r, 0, sizeof r);
    r.kind = NE_IMPULSE_RESTING_CONTACT;
    r.bodyA = body;
    r.bodyB = e.other;
    r.worldPointA = e.worldPointOnBody;
    r.worldPointB = e.worldPointOnOther;
    r.pointA = e.worldPointOnBody - body->state.transform.pos;
    r.pointB = e.worldPointOnOther - e.other->GetTransformPtr()->pos;
    r.localPointA = e.pointOnBody;
    r.localPointB = e.pointOnOther;
    r.normal = e.worldNormal;
    r.depth = -e.separation;
    r.materialIndexA = e.values[0];
    r.materialIndexB = e.values[1];
    r.valid = 1;
    r.stackValue = weight;
    if (sleepersHold && neCheckRestingBodies(r)) return;
    neUpdateMatrices(r, false, false);
    body->sim->AppendStackRecord(r);
}

// Distance from the origin to the line through p and q (to p when they meet).
f32 OriginToLine(const neV3& p, const neV3& q) {
    const neV3 edge = q - p;
    const f32 length = edge.Length();
    if (length == 0.0f) return p.Length();
    return edge.Cross(-p).Length() / length;
}

// The origin inside the triangle abc, or outside it by at most the
// tolerance (three corner supports put the centre right on an edge).
// Three supports in a row count as an edge: the origin must lie on their line.
bool OriginInside(const neV3 (&p)[3], f32 tolerance, bool& inRow) {
    const neV3 normal = (p[1] - p[0]).Cross(p[2] - p[0]);
    const f32 area = normal.Length();
    inRow = area == 0.0f;
    if (inRow) {
        // The two supports farthest apart span the row.
        s32 a = 0, b = 1;
        f32 widest = (p[1] - p[0]).Dot(p[1] - p[0]);
        for (s32 i = 0; i < 3; ++i)
            for (s32 j = i + 1; j < 3; ++j)
                if ((p[j] - p[i]).Dot(p[j] - p[i]) > widest) {
                    widest = (p[j] - p[i]).Dot(p[j] - p[i]);
                    a = i;
                    b = j;
                }
        return OriginToLine(p[a], p[b]) <= tolerance;
    }
    for (s32 i = 0; i < 3; ++i) {
        const neV3& from = p[i];
        const neV3 edge = p[(i + 1) % 3] - from;
        const f32 length = edge.Length();
        if (length == 0.0f) continue;
        const f32 inside = edge.Cross(-from).Dot(normal) / (area * length);
        if (inside < -tolerance) return false;
    }
    return true;
}

// Moves the node, and every node of the source stack connected to it through
// contact entries (either way), into the target stack, marking them visited.
void MoveGroup(neStackNode* node, neStack* source, neStack* target) {
    node->visited = 1;
    MoveNode(node, target);
    neRigidBody* body = node->body;
    for (neContactEntry& e : body->contacts) {
        if (!IsUsed(e)) continue;
        neRigidBody* under = RigidOf(e.other);
        neStackNode* n = under ? under->stackNode : nullptr;
        if (n && n->stack == source && !n->visited) MoveGroup(n, source, target);
    }
    for (neContactEntry* e = body->supportedFirst; e; e = e->next) {
        neStackNode* n = e->owner ? e->owner->stackNode : nullptr;
        if (n && n->stack == source && !n->visited) MoveGroup(n, source, target);
    }
}

}  // namespace

// ---- entries ----

void neUnlinkContactEntry(neContactEntry* entry) {
    if (entry->kind == NE_ENTRY_FREE) return;
    if (neBody* other = entry->other) {
        if (entry->prev)
            entry->prev->next = entry->next;
        else
            other->supportedFirst = entry->next;
        if (entry->next)
            entry->next->prev = entry->prev;
        else
            other->supportedLast = entry->prev;
        --other->supportedCount;
    }
    entry->next = entry->prev = nullptr;
    entry->kind = NE_ENTRY_FREE;
    entry->step = 0;
    entry->other = nullptr;
}

void neAddRestingContact(neRigidBody* body, const neRestingContact& contact) {
    s32 close = -1, shallowest = -1, unused = -1;
    for (s32 i = 0; i < NE_CONTACT_ENTRIES; ++i) {
        const neContactEntry& e = body->contacts[i];
        if (!IsUsed(e)) {
            unused = i;
            continue;
        }
        if (shallowest < 0 || e.depth < body->contacts[shallowest].depth) shallowest = i;
        const neV3 d = contact.pointOnBody - e.pointOnBody;
        if (d.Dot(d) < NE_ENTRY_SAME_POINT_SQ) {
            close = i;
            break;
        }
    }
    const s32 target = close >= 0 ? close : (unused >= 0 ? unused : shallowest);
    neContactEntry& e = body->contacts[target];
    neUnlinkContactEntry(&e);
    FillEntry(body, e, contact);
}

void neRefreshContactEntry(neContactEntry* e) {
    const neT3& body = e->owner->state.transform;
    const neT3& other = *e->other->GetTransformPtr();
    e->worldPointOnBody = body * e->pointOnBody;
    e->worldPointOnOther = other * e->pointOnOther;
    e->difference = e->worldPointOnBody - e->worldPointOnOther;
    e->worldNormal = other.rot * e->normal;
    e->separation = e->difference.Dot(e->worldNormal);
    const neV3 across = e->difference - e->worldNormal * e->separation;
    e->sliding = across.Dot(across);
}

bool neEntryOtherHoldsStill(const neContactEntry* e) {
    if (e->kind == NE_ENTRY_PERMANENT) return true;
    if (!IsUsed(*e)) return false;
    if (neRigidBody* r = RigidOf(e->other)) return r->restState == NE_RESTING;
    neAnimatedBody* a = e->other->AsAnimatedBody();
    return !a || !a->moved;
}

// ---- stacks ----

bool neStackAddBody(neRigidBody* body, neStack* stack) {
    neStackNode* node = NewNode(body);
    if (!node) return false;
    node->base = 1;
    AppendNode(stack, node);
    return true;
}

void neStackAddContact(neRigidBody* x, const neRestingContact& contact) {
    neSimulatorCore* sim = x->sim;
    neStack* builtIn = &sim->builtInStack;
    neRigidBody* y = RigidOf(contact.other);
    neStackNode* xn = x->stackNode;

    if (!xn) {
        xn = NewNode(x);
        if (!xn) return;
        neAddRestingContact(x, contact);
        if (!y) {
            AppendNode(builtIn, xn);
            return;
        }
        neStackNode* yn = y->stackNode;
        neStack* own = (!yn || yn->stack->builtIn) ? sim->NewStack() : nullptr;
        if (!yn) {
            AppendNode(own ? own : builtIn, xn);
            if (own) neStackAddBody(y, own);
        } else if (yn->stack->builtIn) {
            AppendNode(own ? own : builtIn, xn);
            if (own) MoveNode(yn, own);
        } else {
            AppendNode(yn->stack, xn);
        }
        if (!y->constraintSet) y->WakeUp();
        return;
    }

    xn->base = 0;
    neAddRestingContact(x, contact);
    if (!y) return;
    neStackNode* yn = y->stackNode;
    neStack* xs = xn->stack;
    if (!yn || yn->stack->builtIn) {
        if (xs->builtIn) {
            // A stack of their own for the two (or X stays put without a header).
            neStack* own = sim->NewStack();
            if (!own) return;
            MoveNode(xn, own);
            xs = own;
        }
        if (!yn)
            neStackAddBody(y, xs);
        else
            MoveNode(yn, xs);
        return;
    }
    neStack* ys = yn->stack;
    if (xs == ys) return;
    if (xs->builtIn) {
        MoveNode(xn, ys);
        return;
    }
    while (neStackNode* n = ys->first) MoveNode(n, xs);
    sim->FreeStack(ys);
}

void neStackRemoveBody(neRigidBody* body) {
    neStackNode* node = body->stackNode;
    if (!node) return;
    UnlinkNode(node);
    body->stackNode = nullptr;
    body->sim->stackNodePool.Free(node);
}

s32 neStackValidate(neRigidBody* body) {
    neStackNode* node = body->stackNode;
    if (!node) return 0;
    if (body->restState == NE_RESTING && !body->previousSeparated) {
        s32 used = 0;
        bool still = true;
        for (const neContactEntry& e : body->contacts) {
            if (!IsUsed(e)) continue;
            ++used;
            still = still && neEntryOtherHoldsStill(&e);
        }
        if (still) return used;
    }
    const neV3& down = body->sim->gravityDirection;
    s32 kept = 0;
    for (neContactEntry& e : body->contacts) {
        if (!IsUsed(e)) continue;
        neRefreshContactEntry(&e);
        if (e.worldNormal.Dot(down) <= 0.0f && e.separation <= NE_ENTRY_MAX_SEPARATION &&
            e.sliding <= NE_ENTRY_MAX_SLIDING_SQ) {
            ++kept;
        } else {
            neUnlinkContactEntry(&e);
            body->supportCount = 0;
        }
    }
    node->unsupported = kept == 0 ? 1 : 0;
    return kept;
}

s32 neStackSolveBody(neRigidBody* body, bool sleepersHold) {
    neSimulatorCore* sim = body->sim;
    s32 kept[NE_CONTACT_ENTRIES];
    s32 keptCount = 0;
    for (s32 i = 0; i < NE_CONTACT_ENTRIES; ++i) {
        neContactEntry& e = body->contacts[i];
        if (!IsUsed(e)) continue;
        if (!OtherIsLive(sim, e.other)) {
            neUnlinkContactEntry(&e);
            continue;
        }
        neRefreshContactEntry(&e);
        if (e.sliding >= NE_SOLVE_MAX_SLIDING_SQ) {
            neUnlinkContactEntry(&e);
            body->supportCount = 0;
            continue;
        }
        kept[keptCount++] = i;
    }
    body->supportCount = 0;
    if (keptCount == 0) return 0;
    if (keptCount == 1 && body->contacts[kept[0]].separation < 0.0f) {
        // One contact that already penetrates: pushed out, but no support.
        AppendRecord(body, body->contacts[kept[0]], 1.0f, sleepersHold);
        return 1;
    }
    s32 appended = 0;
    for (s32 k = 0; k < keptCount; ++k) {
        const neContactEntry& e = body->contacts[kept[k]];
        if (e.separation > NE_ENTRY_MAX_SEPARATION) continue;
        f32 weight = 1.0f;
        if (e.separation > 0.0f) {
            const f32 closeness = (NE_ENTRY_MAX_SEPARATION - e.separation) / NE_ENTRY_MAX_SEPARATION;
            weight = closeness * closeness * closeness;
        }
        AppendRecord(body, e, weight, sleepersHold);
        body->supportIndex[appended++] = kept[k];
    }
    body->supportCount = appended;
    return appended;
}

namespace {

// Depth first: the bodies a body rests on are solved before it.
void CollectFrom(neStackNode* node, bool sleepersHold) {
    node->visited = 1;
    neRigidBody* body = node->body;
    neSimulatorCore* sim = body->sim;
    if (!sleepersHold && !body->constraintSet) sim->AddToStackBodyList(body);
    if (!node->base) {
        for (neContactEntry& e : body->contacts) {
            if (!IsUsed(e)) continue;
            neRigidBody* under = RigidOf(e.other);
            neStackNode* n = under ? under->stackNode : nullptr;
            if (n && n->stack == node->stack && !n->visited) CollectFrom(n, sleepersHold);
        }
    }
    body->stackSolveFlag = 0;
    neStackSolveBody(body, sleepersHold);
}

}  // namespace

// A body solved here is not solved again alone in the same step. Every body
// is solved either way, so that its supports are recounted from where the
// bodies are now.
void neStackCollect(neStack* stack, bool sleepersHold) {
    for (neStackNode* n = stack->first; n; n = n->next) n->visited = 0;
    for (neStackNode* n = stack->first; n; n = n->next)
        if (!n->visited) CollectFrom(n, sleepersHold);
}

bool neStackRegroup(neStack* stack) {
    neSimulatorCore* sim = stack->first ? stack->first->body->sim : nullptr;
    if (!sim) return true;
    // The group of the first node keeps the header; every further group gets
    // a header of its own, in node order.
    for (neStackNode* n = stack->first; n; n = n->next) n->visited = 0;
    MoveGroup(stack->first, stack, stack);
    for (;;) {
        neStackNode* loose = stack->first;
        while (loose && loose->visited) loose = loose->next;
        if (!loose) break;
        neStack* group = sim->NewStack();
        if (!group) break;
        MoveGroup(loose, stack, group);
    }
    return stack->count == 0;
}

void neStackDissolve(neSimulatorCore* sim, neStack* stack) {
    while (neStackNode* n = stack->first) MoveNode(n, &sim->builtInStack);
    sim->FreeStack(stack);
}

// ---- resting ----

// A base node has no supports of its own, and one support or none cannot
// drift against another: those pass.
bool neSupportDriftTest(neRigidBody* body) {
    const neStackNode* node = body->stackNode;
    if (!node || node->base || body->supportCount < 2) return true;
    for (s32 k = 0; k < body->supportCount && k < NE_CONTACT_ENTRIES; ++k) {
        neContactEntry& e = body->contacts[body->supportIndex[k]];
        bool drifted = !IsUsed(e);
        if (!drifted) {
            const neV3 onBody = body->state.transform * e.pointOnBody;
            const neV3 onOther = *e.other->GetTransformPtr() * e.pointOnOther;
            const neV3 d = onBody - onOther;
            drifted = d.Dot(d) > NE_SUPPORT_DRIFT_SQ;
        }
        if (drifted) {
            neUnlinkContactEntry(&e);
            body->supportCount = 0;
            return false;
        }
    }
    return true;
}

s32 neStackCheck(neRigidBody* body) {
    const neV3& f = body->forceSum;
    if (neAbs(f.x) < NE_ZERO && neAbs(f.y) < NE_ZERO && neAbs(f.z) < NE_ZERO) return NE_SUPPORT_FULL;
    const s32 count = body->supportCount;
    if (count < 1 || count > NE_CONTACT_ENTRIES) return NE_SUPPORT_NONE;
    neV3 d = f;
    d.Normalize();
    neV3 p[NE_CONTACT_ENTRIES];
    for (s32 k = 0; k < count; ++k) {
        const neContactEntry& e = body->contacts[body->supportIndex[k]];
        if (!neEntryOtherHoldsStill(&e)) return NE_SUPPORT_NONE;
        const neV3 offset = body->state.transform.rot * e.pointOnBody;
        p[k] = offset - d * offset.Dot(d);
    }
    if (count == 1) return p[0].Length() <= NE_SUPPORT_TOLERANCE ? NE_SUPPORT_POINT : NE_SUPPORT_NONE;
    if (count == 2) return OriginToLine(p[0], p[1]) <= NE_SUPPORT_TOLERANCE ? NE_SUPPORT_EDGE : NE_SUPPORT_NONE;
    bool inRow = false;
    if (!OriginInside(p, NE_SUPPORT_TOLERANCE, inRow)) return NE_SUPPORT_NONE;
    return inRow ? NE_SUPPORT_EDGE : NE_SUPPORT_FULL;
}

bool neStackMaySleep(neRigidBody* body) {
    if (!body->stackNode || !neSupportDriftTest(body)) return false;
    const s32 support = neStackCheck(body);
    return support == NE_SUPPORT_FULL || (support == NE_SUPPORT_EDGE && body->idleSteps > NE_SLEEP_IDLE_STEPS_EDGE);
}

void neStackUpdateBody(neRigidBody* body) {
    const neSimulatorCore* sim = body->sim;
    const f32 threshold = sim->restThreshold;
    const bool still = body->velocity.Dot(body->velocity) < threshold &&
                       body->angularVelocity.Dot(body->angularVelocity) < threshold;
    if (!still) {
        neV3 average = neMakeV3(0, 0, 0);
        neV3 spin = neMakeV3(0, 0, 0);
        for (s32 i = 0; i < NE_HISTORY; ++i) {
            average += body->velocityHistory[i];
            spin += body->angularVelocityHistory[i];
        }
        average *= 1.0f / NE_HISTORY;
        spin *= 1.0f / NE_HISTORY;
        // Pressing down with gravity (into the ground) is no motion.
        const f32 down = average.Dot(sim->gravityDirection);
        if (down > 0.0f) average -= sim->gravityDirection * down;
        if (average.Dot(average) > NE_REST_AVERAGE_SPEED_SQ || spin.Dot(spin) > NE_REST_AVERAGE_SPIN_SQ) {
            body->idleSteps = 0;
            return;
        }
    }
    ++body->idleSteps;
    if (body->idleSteps > NE_SLEEP_IDLE_STEPS && neStackMaySleep(body)) body->GoToSleep();
}

bool neSnapshotDriftTest(neRigidBody* body) {
    const neRigidBodySnapshot& s = body->snapshot;
    if (s.steps < NE_SNAPSHOT_STEPS) return false;
    const f32 span = body->sim->stepTime * static_cast<f32>(NE_SNAPSHOT_STEPS);
    bool still = span > 0.0f;
    if (still) {
        const f32 inverse = 1.0f / span;
        // The turn from the snapshot orientation: q_snapshot⁻¹ · q, taking the
        // shorter way round (q and −q are one orientation).
        const neQ& a = s.q;
        const neQ& b = body->state.q;
        const neQ relative = neQ{-a.x, -a.y, -a.z, a.w} * b;
        const f32 turn = 2.0f * neAcos(neAbs(relative.w));
        still = (body->state.transform.pos - s.pos).Length() * inverse <= body->sleepingParameter &&
                (body->velocity - s.velocity).Length() * inverse <= NE_SNAPSHOT_MAX_VELOCITY_CHANGE &&
                turn * inverse <= NE_SNAPSHOT_MAX_TURN &&
                (body->angularVelocity - s.angularVelocity).Length() * inverse <= NE_SNAPSHOT_MAX_SPIN_CHANGE;
    }
    if (!still) body->UpdateDerived();
    return still;
}
