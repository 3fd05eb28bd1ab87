// The core's joints: creating and freeing them from its pools, their
// controllers, and the constraint sets that joints bind bodies into.
#include "physics/body.h"
#include "physics/constraint.h"
#include "physics/simulator_core.h"

#include <initializer_list>

namespace {

const char* const kRunOutConstraints = "Run out of Constraints. Increase 'constraintsCount'.\n";
const char* const kRunOutConstraintSets = "Run out of Constraint Sets. Increase 'constraintSetsCount'.\n";

// Change words of a constraint set.
constexpr s32 SET_GAINED_JOINTS = 1;  // bit 0
constexpr s32 SET_LOST_JOINT = 2;

// The body's list of the links of the joints that act on it.
void AppendLink(neBody* body, neConstraintLink* link) {
    link->next = nullptr;
    link->prev = body->constraintLast;
    if (body->constraintLast)
        body->constraintLast->next = link;
    else
        body->constraintFirst = link;
    body->constraintLast = link;
    ++body->constraintCount;
}

void UnlinkLink(neBody* body, neConstraintLink* link) {
    if (link->prev)
        link->prev->next = link->next;
    else
        body->constraintFirst = link->next;
    if (link->next)
        link->next->prev = link->prev;
    else
        body->constraintLast = link->prev;
    link->next = link->prev = nullptr;
    --body->constraintCount;
}

bool SetHolds(const neConstraintSet* set, const neConstraint* joint) {
    for (const neConstraint* c = set->firstConstraint; c; c = c->next)
        if (c == joint) return true;
    return false;
}

}  // namespace

neJointController* neConstraint::AddController(neJointControllerCallback* callback, s32 period) {
    if (!callback) return nullptr;
    neController* c = simulator->AllocController();
    if (!c) return nullptr;
    *c = neController{};
    c->period = c->countdown = period;
    c->jointCallback = callback;
    c->constraint = this;
    c->force = c->torque = c->force2 = c->torque2 = neMakeV3(0, 0, 0);
    neController* last = controllers;
    while (last && last->next) last = last->next;
    c->prev = last;
    if (last)
        last->next = c;
    else
        controllers = c;
    return c;
}

void neConstraintSet::Build(neConstraint* joint) {
    neRigidBody* a = joint->bodyA;
    neRigidBody* b = joint->GetRigidBodyB();
    if (b == a) b = nullptr;  // a joint of a body to itself adds the body once
    neConstraintSet* sa = a->constraintSet;
    neConstraintSet* sb = b ? b->constraintSet : nullptr;
    neConstraintSet* result;
    if (sa && sb) {
        sa->AppendConstraint(joint);
        if (sb != sa) {
            while (neConstraint* c = sb->firstConstraint) {
                sb->RemoveConstraint(c);
                sa->AppendConstraint(c);
            }
            while (neBody* body = sb->firstBody) {
                sb->RemoveBody(body);
                sa->AppendBody(body);
            }
            joint->simulator->constraintSetPool.Free(sb);
        }
        result = sa;
    } else if (sa) {
        sa->AppendConstraint(joint);
        if (b) sa->AppendBody(b);
        result = sa;
    } else if (sb) {
        sb->AppendConstraint(joint);
        sb->AppendBody(a);
        result = sb;
    } else {
        result = joint->simulator->constraintSetPool.Alloc();
        if (!result) {
            joint->simulator->LogOutput(1, kRunOutConstraintSets);
            return;
        }
        *result = neConstraintSet{};
        result->AppendBody(a);
        if (b) result->AppendBody(b);
        result->AppendConstraint(joint);
    }
    result->changed |= SET_GAINED_JOINTS;
}

// ---- neSimulatorCore -------------------------------------------------------------

neConstraint* neSimulatorCore::CreateConstraintWorld(neRigidBody* body) {
    if (!body) return nullptr;
    neConstraint* c = constraintPool.Alloc();
    if (!c) {
        LogOutput(1, kRunOutConstraints);
        return nullptr;
    }
    c->Reset(this, body, nullptr);
    AppendLink(body, &c->linkA);
    return c;
}

neConstraint* neSimulatorCore::CreateConstraint(neRigidBody* bodyA, neRigidBody* bodyB) {
    if (!bodyA || !bodyB) return nullptr;
    neConstraint* c = CreateConstraintWorld(bodyA);
    if (!c) return nullptr;
    c->bodyB = bodyB;
    AppendLink(bodyB, &c->linkB);
    return c;
}

neConstraint* neSimulatorCore::CreateConstraintAnimated(neRigidBody* rigidBody, neAnimatedBody* animatedBody) {
    if (!rigidBody || !animatedBody) return nullptr;
    neConstraint* c = CreateConstraintWorld(rigidBody);
    if (!c) return nullptr;
    c->bodyB = animatedBody;
    AppendLink(animatedBody, &c->linkB);
    return c;
}

void neSimulatorCore::FreeConstraint(neConstraint* joint) {
    if (!joint || !constraintPool.IsInUse(joint)) return;
    neRigidBody* a = joint->bodyA;
    neBody* b = joint->bodyB;
    UnlinkLink(a, &joint->linkA);
    if (b) UnlinkLink(b, &joint->linkB);
    if (neConstraintSet* set = a->constraintSet; set && SetHolds(set, joint)) {
        set->RemoveConstraint(joint);
        set->changed = SET_LOST_JOINT;
    }
    for (neController* c = joint->controllers; c;) {
        neController* following = c->next;
        controllerPool.Free(c);
        c = following;
    }
    joint->controllers = joint->controllerCursor = nullptr;
    constraintPool.Free(joint);
    // A body with no joint left leaves its set; an emptied set goes back.
    for (neBody* body : {static_cast<neBody*>(a), b}) {
        if (!body || body->constraintCount > 0) continue;
        neConstraintSet* set = body->constraintSet;
        if (!set) continue;
        set->RemoveBody(body);
        set->changed = SET_LOST_JOINT;
        if (set->bodyCount <= 0) constraintSetPool.Free(set);
    }
}

void neSimulatorCore::FreeBodyConstraints(neBody* body) {
    while (neConstraintLink* link = body->constraintFirst) FreeConstraint(link->constraint);
}
