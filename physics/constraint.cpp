// Joints: creation, parameters, enabling, constraint sets and joint
// controllers.
#include "physics/constraint.h"

#include "physics/simulator_core.h"

#include <cmath>
#include <initializer_list>

namespace {

const char* const kRunOutConstraints = "Run out of Constraints. Increase 'constraintsCount'.\n";
const char* const kRunOutConstraintSets = "Run out of Constraint Sets. Increase 'constraintSetsCount'.\n";

// Change words of a constraint set.
constexpr s32 SET_GAINED_JOINTS = 1;  // bit 0
constexpr s32 SET_LOST_JOINT = 2;

void ResetLimit(neJointLimit& l, neConstraint* owner) {
    l = neJointLimit{};
    l.axis = neMakeV3(0, 0, 0);
    l.owner = owner;
}

void ResetMotor(neJointMotor& m) {
    m = neJointMotor{};
    m.axis = neMakeV3(1, 0, 0);
}

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

void WakeIfResting(neRigidBody* body) {
    if (body && body->restState == NE_RESTING) body->WakeUp();
}

bool SetHolds(const neConstraintSet* set, const neConstraint* joint) {
    for (const neConstraint* c = set->firstConstraint; c; c = c->next)
        if (c == joint) return true;
    return false;
}

}  // namespace

// ---- neConstraint ----------------------------------------------------------

void neConstraint::Reset(neSimulatorCore* owner, neRigidBody* a, neBody* b) {
    frameA.SetIdentity();
    frameB.SetIdentity();
    worldFrameA.SetIdentity();
    worldFrameB.SetIdentity();
    simulator = owner;
    controllers = controllerCursor = nullptr;
    bodyA = a;
    bodyB = b;
    linkA = neConstraintLink{this, nullptr, nullptr};
    linkB = neConstraintLink{this, nullptr, nullptr};
    rowCount = 1;
    for (neJointAnchor& anchor : anchors) anchor = neJointAnchor{};
    enabled = 0;
    tolerance = -1.0f;
    iterationCount = -1;
    length = 1.0f;
    angle = signedAngle = 0.0f;
    damping = 0.0f;
    built = 0;
    ResetLimit(limit, this);
    ResetLimit(limit2, this);
    ResetMotor(motor);
    ResetMotor(motor2);
    type = NE_JOINT_BALL;
    next = prev = nullptr;
}

void neConstraint::SetType(s32 t) {
    if (t == NE_JOINT_BALL)
        rowCount = 1;
    else if (t == NE_JOINT_HINGE || t == NE_JOINT_SLIDER)
        rowCount = 2;
    else
        return;
    type = t;
}

neRigidBody* neConstraint::GetRigidBodyB() const { return bodyB ? bodyB->AsRigidBody() : nullptr; }

neBody* neConstraint::GetAnimatedBodyB() const { return bodyB && bodyB->type != NE_BODY_RIGID ? bodyB : nullptr; }

neT3 neConstraint::GetFrameA() const { return *bodyA->GetTransformPtr() * frameA; }

void neConstraint::SetJointFrameWorld(const neT3& world) {
    frameA = bodyA->GetTransformPtr()->FastInverse() * world;
    frameB = bodyB ? bodyB->GetTransformPtr()->FastInverse() * world : world;
}

f32 neConstraint::GetTolerance() const { return tolerance <= 0.0f ? NE_DEFAULT_JOINT_TOLERANCE : tolerance; }

void neConstraint::SetMotor(s32 mode, f32 targetSpeed, f32 maximum) {
    motor.mode = mode;
    motor.targetSpeed = targetSpeed;
    motor.maximum = std::fabs(maximum);
}

void neConstraint::GetMotor(s32& mode, f32& targetSpeed, f32& maximum) const {
    mode = motor.mode;
    targetSpeed = motor.targetSpeed;
    maximum = motor.maximum;
}

void neConstraint::SetMotor2(s32 mode, f32 targetSpeed, f32 maximum) {
    motor2.mode = mode;
    motor2.targetSpeed = targetSpeed;
    motor2.maximum = std::fabs(maximum);
}

void neConstraint::GetMotor2(s32& mode, f32& targetSpeed, f32& maximum) const {
    mode = motor2.mode;
    targetSpeed = motor2.targetSpeed;
    maximum = motor2.maximum;
}

void neConstraint::Enable(s32 on) {
    if (!bodyA) return;
    const s32 wanted = on ? 1 : 0;
    if (wanted == enabled) return;
    if (!built) {
        built = 1;
        BuildAnchors();
        neConstraintSet::Build(this);
    }
    enabled = wanted;
    WakeIfResting(bodyA);
    WakeIfResting(GetRigidBodyB());
}

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

neJointController* neConstraint::GetNextController() {
    neController* c = controllerCursor;
    if (c) controllerCursor = c->next;
    return c;
}

void neController::SetControllerForceWithTorqueBodyA(const neV3& f, const neV3& worldPoint) {
    force = f;
    torque = (worldPoint - constraint->bodyA->GetPos()).Cross(f);
}

void neController::SetControllerForceWithTorqueBodyB(const neV3& f, const neV3& worldPoint) {
    force2 = f;
    if (neRigidBody* b = constraint->GetRigidBodyB()) torque2 = (worldPoint - b->GetPos()).Cross(f);
}

// ---- neConstraintSet -------------------------------------------------------

void neConstraintSet::AppendConstraint(neConstraint* joint) {
    joint->next = nullptr;
    joint->prev = lastConstraint;
    if (lastConstraint)
        lastConstraint->next = joint;
    else
        firstConstraint = joint;
    lastConstraint = joint;
}

void neConstraintSet::RemoveConstraint(neConstraint* joint) {
    if (joint->prev)
        joint->prev->next = joint->next;
    else
        firstConstraint = joint->next;
    if (joint->next)
        joint->next->prev = joint->prev;
    else
        lastConstraint = joint->prev;
    joint->next = joint->prev = nullptr;
}

void neConstraintSet::AppendBody(neBody* body) {
    body->constraintSet = this;
    body->setNext = nullptr;
    body->setPrev = lastBody;
    if (lastBody)
        lastBody->setNext = body;
    else
        firstBody = body;
    lastBody = body;
    ++bodyCount;
}

void neConstraintSet::RemoveBody(neBody* body) {
    if (body->setPrev)
        body->setPrev->setNext = body->setNext;
    else
        firstBody = body->setNext;
    if (body->setNext)
        body->setNext->setPrev = body->setPrev;
    else
        lastBody = body->setPrev;
    body->setNext = body->setPrev = nullptr;
    body->constraintSet = nullptr;
    --bodyCount;
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
