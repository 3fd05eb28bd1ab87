// The public operations on a rigid body: mass, inertia, state, forces.
#include "physics/body.h"
#include "physics/constraint.h"
#include "physics/simulator_core.h"

#include <cmath>

namespace {

// Damping is the fraction of motion lost per step: only [0, 1] makes sense.
f32 ClampDamping(f32 d) {
    f32 a = std::fabs(d);
    if (!(a >= 0.0f)) return 0.0f;  // NaN
    return a > 1.0f ? 1.0f : a;
}

}  // namespace

void neRigidBody::Reset(neSimulatorCore* owner, bool isParticle) {
    ResetBase(owner, NE_BODY_RIGID);
    mass = 1.0f;
    invMass = 1.0f;
    invInertiaBody.SetIdentity();
    inertiaBody.SetZero();
    force = torque = neMakeV3(0, 0, 0);
    restState = NE_MOVING;
    gravityEnabled = 1;
    gravityForce = controllerForce = controllerTorque = neMakeV3(0, 0, 0);
    torqueSum = forceSum = acceleration = neMakeV3(0, 0, 0);
    linearDamping = angularDamping = 0.0f;
    state.q.SetIdentity();
    state.cleared = state.angularMomentum = neMakeV3(0, 0, 0);
    state.transform.SetIdentity();
    velocity = angularVelocity = terrainFacing = neMakeV3(0, 0, 0);
    terrainLeaf = nullptr;
    terrainLeafBuild = -1;
    orientationRate = neQ{0, 0, 0, 0};
    worldInvInertia.SetIdentity();
    speed = 0.0f;
    idleSteps = 0;
    stackNode = nullptr;
    previousSeparated = separated = 0;
    controllerFirst = controllerLast = controllerCursor = nullptr;
    for (neContactEntry& e : contacts) e = neContactEntry{};
    for (s32 i = 0; i < NE_HISTORY; ++i) {
        velocityHistory[i] = angularVelocityHistory[i] = neMakeV3(0, 0, 0);
        stepHistory1[i] = stepHistory2[i] = neMakeV3(0, 0, 0);
    }
    historiesClear = 1;
    supportCount = 0;
    for (s32& s : supportIndex) s = 0;
    particle = isParticle ? 1 : 0;
    sleepingParameter = NE_DEFAULT_SLEEPING_PARAMETER;
    velocityCorrection = angularMomentumCorrection = neMakeV3(0, 0, 0);
    velocityCorrectionCount = angularMomentumCorrectionCount = 0;
    touched = 0;
    jointForce = jointTorque = neMakeV3(0, 0, 0);
    stackSolveFlag = 0;
    stackListNext = nullptr;
    UpdateRotationAndInertia();
    UpdateDerived();
}

void neRigidBody::SetMass(f32 m) {
    // A mass of 0, a negative or a non-finite one would make the inverse
    // meaningless: the previous mass stays.
    if (!(m > 0.0f) || !std::isfinite(m)) return;
    mass = m;
    invMass = 1.0f / m;
}

void neRigidBody::SetInertiaTensor(const neV3& d) {
    neM3 m;
    m.SetZero();
    m.M[0].x = d.x;
    m.M[1].y = d.y;
    m.M[2].z = d.z;
    SetInertiaTensorM3(m);
}

void neRigidBody::SetInertiaTensorM3(const neM3& inertia) {
    inertiaBody = inertia;
    neM3 inverse;
    if (inverse.SetInvert(inertia)) invInertiaBody = inverse;  // singular: keep the previous one
}

void neRigidBody::SetPos(const neV3& p) {
    state.transform.pos.Set(p.x, p.y, p.z);
    terrainFacing = neMakeV3(0, 0, 0);
    WakeUp();
}

void neRigidBody::SetRotationQ(const neQ& q) {
    state.q = q;
    neM3 m = q.ToM3();
    state.transform.rot.SetColumns(m.M[0], m.M[1], m.M[2]);
    WakeUp();
}

void neRigidBody::SetRotation(const neM3& m) {
    state.transform.rot.SetColumns(m.M[0], m.M[1], m.M[2]);
    state.q.SetupFromMatrix3(m);
    WakeUp();
}

neT3 neRigidBody::GetTransform() {
    state.transform.SetHomogeneous();
    return state.transform;
}

void neRigidBody::SetVelocity(const neV3& v) {
    velocity = v;
    WakeUpConstraintSet();
}

void neRigidBody::SetAngularMomentum(const neV3& l) {
    RebuildRotation(l);
    WakeUpConstraintSet();
}

void neRigidBody::SetAngularMomentumWakeBody(const neV3& l) {
    RebuildRotation(l);
    WakeUp();
}

neV3 neRigidBody::GetVelocityAtPoint(const neV3& r) const { return velocity + angularVelocity.Cross(r); }

void neRigidBody::SetForce(const neV3& f) {
    force = f;
    if (!f.IsZero()) WakeUp();
}

void neRigidBody::SetTorque(const neV3& t) {
    torque = t;
    if (!t.IsZero()) WakeUp();
}

void neRigidBody::SetForceAtPoint(const neV3& f, const neV3& worldPoint) {
    force = f;
    torque = (worldPoint - GetPos()).Cross(f);
    if (!f.IsZero()) WakeUp();
}

void neRigidBody::ApplyImpulse(const neV3& j) {
    velocity += j * invMass;
    WakeUpConstraintSet();
}

void neRigidBody::ApplyImpulseAtPoint(const neV3& j, const neV3& worldPoint) {
    velocity += j * invMass;
    RebuildRotation(state.angularMomentum + (worldPoint - GetPos()).Cross(j));
    WakeUp();
}

void neRigidBody::SetLinearDamping(f32 d) { linearDamping = ClampDamping(d); }
void neRigidBody::SetAngularDamping(f32 d) { angularDamping = ClampDamping(d); }

void neRigidBody::UpdateInertiaFromGeometries() {
    f32 total = 0.0f;
    neM3 inertia;
    inertia.SetZero();
    for (neGeometry* g = geometryFirst; g; g = g->next) {
        f32 m = 0.0f;
        inertia = inertia + g->InertiaContribution(1.0f, m);
        total += m;
    }
    if (!(total > 0.0f)) return;
    SetMass(total);
    SetInertiaTensorM3(inertia);
}

neRigidBodyController* neRigidBody::AddController(neRigidBodyControllerCallback* callback, s32 period) {
    neController* c = sim->AllocController();
    if (!c) return nullptr;
    // A negative period would count down past 0 for ever: it calls every step.
    if (period < 0) period = 0;
    *c = neController{};
    c->period = c->countdown = period;
    c->bodyCallback = callback;
    c->rigidBody = this;
    c->prev = controllerLast;
    if (controllerLast)
        controllerLast->next = c;
    else
        controllerFirst = c;
    controllerLast = c;
    return c;
}

neRigidBodyController* neRigidBody::GetNextController() {
    neController* c = controllerCursor;
    if (c) controllerCursor = c->next;
    return c;
}

// Defined with the bodies, as the joint controllers' forms are with the joints.
void neController::SetControllerForceWithTorque(const neV3& f, const neV3& worldPoint) {
    force = f;
    torque = rigidBody ? (worldPoint - rigidBody->GetPos()).Cross(f) : neMakeV3(0, 0, 0);
}

void neRigidBody::WakeUp() {
    restState = NE_MOVING;
    idleSteps = 0;
    UpdateDerived();
}

void neRigidBody::WakeUpConstraintSet() {
    if (!constraintSet) {
        WakeUp();
        return;
    }
    for (neBody* b = constraintSet->firstBody; b; b = b->setNext)
        if (neRigidBody* r = b->AsRigidBody()) r->WakeUp();
}

void neRigidBody::GoToSleep() {
    restState = NE_RESTING;
    SetRestState();
}

void neRigidBody::SetRestState() {
    const neV3 zero = neMakeV3(0, 0, 0);
    velocity = angularVelocity = zero;
    orientationRate = neQ{0, 0, 0, 0};
    speed = 0.0f;
    state.angularMomentum = zero;
    state.cleared = zero;
    if (historiesClear) return;
    for (s32 i = 0; i < NE_HISTORY; ++i) {
        velocityHistory[i] = angularVelocityHistory[i] = zero;
        stepHistory1[i] = stepHistory2[i] = zero;
    }
    historiesClear = 1;
}

void neRigidBody::UpdateDerived() {
    snapshot.pos = state.transform.pos;
    snapshot.q = state.q;
    snapshot.velocity = velocity;
    snapshot.angularVelocity = angularVelocity;
    snapshot.steps = 0;
}
