// Joints: parameters, enabling, the lists of constraint sets and the
// forces of joint controllers.
#include "physics/constraint.h"

#include "physics/body.h"

#include <cmath>

namespace {

void ResetLimit(neJointLimit& l, neConstraint* owner) {
    l = neJointLimit{};
    l.axis = neMakeV3(0, 0, 0);
    l.owner = owner;
}

void ResetMotor(neJointMotor& m) {
    m = neJointMotor{};
    m.axis = neMakeV3(1, 0, 0);
}

void WakeIfResting(neRigidBody* body) {
    if (body && body->restState == NE_RESTING) body->WakeUp();
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
