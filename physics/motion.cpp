// One step of a rigid body's motion: forces, integration, position update.
#include "physics/body.h"
#include "physics/simulator_core.h"
#include "physics/stack.h"

#include <cmath>

namespace {

// Weight of the previous value in the smoothed per-step displacement.
constexpr f32 NE_DISPLACEMENT_SMOOTHING = 0.7f;

// ½ · ω̂ · q, with ω̂ the quaternion (ω, 0) on the left.
neQ OrientationRate(const neV3& w, const neQ& q) { return (neQ{w.x, w.y, w.z, 0.0f} * q) * 0.5f; }

neQ AddScaled(const neQ& q, const neQ& rate, f32 h) {
    return neQ{q.x + rate.x * h, q.y + rate.y * h, q.z + rate.z * h, q.w + rate.w * h};
}

neM3 WorldInverseInertia(const neM3& r, const neM3& invInertiaBody) {
    neM3 rt;
    rt.SetTranspose(r);
    return r * invInertiaBody * rt;
}

}  // namespace

s32 neRigidBody::HistoryIndex() const {
    s32 k = sim->stepCount % NE_HISTORY;
    return k < 0 ? k + NE_HISTORY : k;
}

void neRigidBody::RebuildRotation(const neV3& l) {
    state.angularMomentum = l;
    angularVelocity = worldInvInertia * l;
    orientationRate = OrientationRate(angularVelocity, state.q);
}

void neRigidBody::UpdateRotationAndInertia() {
    neSafeNormalize(state.q);
    neM3 r = state.q.ToM3();
    state.transform.rot.SetColumns(r.M[0], r.M[1], r.M[2]);
    worldInvInertia = WorldInverseInertia(r, invInertiaBody);
    angularVelocity = worldInvInertia * state.angularMomentum;
    orientationRate = OrientationRate(angularVelocity, state.q);
    speed = velocity.Length();
}

void neRigidBody::ApplyGravityAndControllers() {
    if (gravityEnabled && restState != NE_RESTING)
        gravityForce = sim->gravity * mass;
    else
        gravityForce = neMakeV3(0, 0, 0);
    controllerForce = controllerTorque = neMakeV3(0, 0, 0);
    for (neController* c = controllerFirst; c;) {
        neController* following = c->next;  // read before the callback runs
        if (c->CountDown() && c->bodyCallback) c->bodyCallback->ControllerCallback(c, sim->stepTime);
        controllerForce += c->force;
        controllerTorque += c->torque;
        c = following;
    }
}

void neRigidBody::Integrate(f32 dt) {
    ++snapshot.steps;
    velocityCorrection = angularMomentumCorrection = neMakeV3(0, 0, 0);
    velocityCorrectionCount = angularMomentumCorrectionCount = 0;

    if (restState == NE_RESTING) {
        if (!controllerForce.IsZero() || !controllerTorque.IsZero()) WakeUp();
        if (restState == NE_RESTING) {
            if (velocity.Dot(velocity) + angularVelocity.Dot(angularVelocity) >= sim->restThreshold) {
                WakeUp();
            } else if (particle || neStackCheck(this) != NE_SUPPORT_NONE) {
                // The rest holds: no motion this step, but the controllers
                // still run so that a callback can wake the body.
                SetRestState();
                ApplyGravityAndControllers();
                ++sim->restingBodyCount;
                return;
            }
        }
    }
    if (restState == NE_EXCLUDED) return;

    const s32 k = HistoryIndex();
    historiesClear = 0;
    stepHistory1[k] = stepHistory2[k] = neMakeV3(0, 0, 0);

    forceSum += controllerForce + force + gravityForce;
    stepHistory1[k] = forceSum * (dt * invMass);
    acceleration = forceSum * invMass;
    velocity += acceleration * dt;
    velocity *= 1.0f - linearDamping;

    torqueSum += controllerTorque + torque;

    // Midpoint rule for the rotation: the rate is taken at half a step.
    neV3 l = state.angularMomentum * (1.0f - angularDamping);
    neV3 lEnd = l + torqueSum * dt;
    f32 h = dt * 0.5f;
    neQ qMid = AddScaled(state.q, orientationRate, h);
    neSafeNormalize(qMid);
    neM3 iMid = WorldInverseInertia(qMid.ToM3(), invInertiaBody);
    neV3 wMid = iMid * (l + torqueSum * h);
    orientationRate = OrientationRate(wMid, qMid);
    angularVelocity = wMid;
    state.angularMomentum = lEnd;
}

void neRigidBody::UpdatePosition(f32 dt) {
    neV3 pos = state.transform.pos;
    neV3 newPos = pos + velocity * dt + acceleration * (0.5f * dt * dt);
    smoothedDisplacement = smoothedDisplacement * NE_DISPLACEMENT_SMOOTHING +
                           (newPos - pos) * (1.0f - NE_DISPLACEMENT_SMOOTHING);
    state.transform.pos.Set(newPos.x, newPos.y, newPos.z);

    RebuildRotation(state.angularMomentum);
    state.q = AddScaled(state.q, orientationRate, dt);
    UpdateRotationAndInertia();
    ApplyGravityAndControllers();
    ClearSensorDetections();

    const s32 k = HistoryIndex();
    historiesClear = 0;
    velocityHistory[k] = velocity;
    angularVelocityHistory[k] = angularVelocity;
}

s32 neRigidBody::ApplyMove(const neV3& impulse, const neV3& arm) {
    const s32 k = HistoryIndex();
    neV3 dv = impulse * invMass;
    historiesClear = 0;
    velocity += dv;
    stepHistory1[k] += dv;
    neV3 dl = arm.Cross(impulse);
    stepHistory2[k] += worldInvInertia * dl;
    RebuildRotation(state.angularMomentum + dl);
    touched = 1;
    return 1;
}

void neRigidBody::AddVelocityCorrection(const neV3& dv) {
    velocityCorrection += dv;
    ++velocityCorrectionCount;
}

void neRigidBody::AddAngularMomentumCorrection(const neV3& dl) {
    angularMomentumCorrection += dl;
    ++angularMomentumCorrectionCount;
}

void neRigidBody::ApplyCorrections() {
    if (velocityCorrectionCount > 0) velocity += velocityCorrection * (1.0f / velocityCorrectionCount);
    if (angularMomentumCorrectionCount > 0)
        RebuildRotation(state.angularMomentum +
                        angularMomentumCorrection * (1.0f / angularMomentumCorrectionCount));
    velocityCorrection = angularMomentumCorrection = neMakeV3(0, 0, 0);
    velocityCorrectionCount = angularMomentumCorrectionCount = 0;
}
