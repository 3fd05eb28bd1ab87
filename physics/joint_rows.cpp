// The rules of the joint rows, and the dispatcher of the iteration.
#include "physics/joint_rows.h"

#include "physics/body.h"
#include "physics/response.h"
#include "physics/simulator_core.h"

#include <cmath>

namespace {

// Each rule removes this fraction of the measured error or speed per answer.
constexpr f32 RELAXATION = 0.5f;
// A point row corrects at most this much of its error per answer (metres, at
// the relaxed rate).
constexpr f32 MAX_POINT_CORRECTION = 0.05f;
// The twist rule's relaxed error is clamped to ± this (radians).
constexpr f32 MAX_TWIST_CORRECTION = 0.1f;

neRigidBody* Rigid(neBody* b) { return b ? b->AsRigidBody() : nullptr; }

neV3 VelocityAt(neBody* body, const neV3& arm) {
    neRigidBody* r = Rigid(body);
    return r ? r->velocity + r->angularVelocity.Cross(arm) : neMakeV3(0, 0, 0);
}

neV3 AngularVelocity(neBody* body) {
    neRigidBody* r = Rigid(body);
    return r ? r->angularVelocity : neMakeV3(0, 0, 0);
}

// +j at armA to A, −j at armB to B.
void ApplyPointImpulse(const neCollisionResult& row, const neV3& j) {
    if (neRigidBody* a = Rigid(row.bodyA)) {
        a->velocity += j * a->invMass;
        a->RebuildRotation(a->state.angularMomentum + row.pointA.Cross(j));
        a->touched = 1;
    }
    if (neRigidBody* b = Rigid(row.bodyB)) {
        b->velocity -= j * b->invMass;
        b->RebuildRotation(b->state.angularMomentum - row.pointB.Cross(j));
        b->touched = 1;
    }
}

void ApplyAngularImpulse(neBody* body, const neV3& j) {
    if (neRigidBody* r = Rigid(body)) {
        r->RebuildRotation(r->state.angularMomentum + j);
        r->touched = 1;
    }
}

// The relaxed correction of a point row: half its error, at most
// MAX_POINT_CORRECTION long.
neV3 PointCorrection(const neV3& error, f32 errorLength) {
    const f32 relaxed = RELAXATION * errorLength;
    if (relaxed > MAX_POINT_CORRECTION) return error * (MAX_POINT_CORRECTION / relaxed);
    return error * RELAXATION;
}

neV3 PointImpulse(const neCollisionResult& row, f32 errorLength, f32 dt) {
    const neV3& u = row.relativeVelocity;
    if (std::fabs(errorLength) < NE_ZERO) return -(row.W * u);
    const neV3 c = PointCorrection(row.worldPointA, errorLength);
    return -(row.W * (u * RELAXATION + c * (1.0f / dt)));
}

bool Finite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Scales j down to length `limit` when it is longer.
neV3 Clamped(const neV3& j, f32 limit) {
    const f32 length = std::sqrt(j.Dot(j));
    return length > limit && length > 0.0f ? j * (limit / length) : j;
}

}  // namespace

namespace neCollisionResponse {

f32 Impulse(neSimulatorCore* sim, neCollisionResult& row) {
    switch (row.kind) {
        case NE_IMPULSE_RESTING_CONTACT:
            neUpdateRelativeVelocity(row);
            break;
        case NE_IMPULSE_POINT_JOINT:
        case NE_IMPULSE_POINT_ON_AXIS:
        case NE_IMPULSE_LINEAR_LIMIT:
            row.relativeVelocityWorld = VelocityAt(row.bodyA, row.pointA) - VelocityAt(row.bodyB, row.pointB);
            break;
        case NE_IMPULSE_ANGULAR_LIMIT:
            row.speed = row.localPointB.Dot(AngularVelocity(row.bodyA)) - row.localPointB.Dot(AngularVelocity(row.bodyB));
            break;
        default:
            break;
    }
    switch (row.kind) {
        case NE_IMPULSE_RESTING_CONTACT:
            return neImpulseKind2(*sim, row, row.stackValue);  // the stacks' weight
        case NE_IMPULSE_POINT_JOINT:
            row.relativeVelocity = row.relativeVelocityWorld;
            return ImpulseKind3(row, sim);
        case NE_IMPULSE_POINT_ON_AXIS:
            row.relativeVelocity = row.relativeVelocityWorld;
            row.relativeVelocity.RemoveComponent(row.worldPointB);
            return ImpulseKind4(row, sim);
        case NE_IMPULSE_LINEAR_LIMIT:
            row.rowValue = -row.relativeVelocityWorld.Dot(row.worldPointB);
            return ImpulseKind5(row, sim);
        case NE_IMPULSE_ANGULAR_LIMIT:
            return ImpulseKind6(row, sim);
        case NE_IMPULSE_TWIST_LIMIT:
            return ImpulseKind7(row, sim);
        case NE_IMPULSE_ANGULAR_MOTOR:
            return ImpulseKind8(row, sim);
        case NE_IMPULSE_LINEAR_MOTOR:
            return ImpulseKind10(row, sim);
        default:
            return 0.0f;
    }
}

f32 ImpulseKind3(neCollisionResult& row, neSimulatorCore* sim) {
    const neV3 j = PointImpulse(row, row.depth, sim->stepTime);
    if (Finite(j)) ApplyPointImpulse(row, j);
    return 0.0f;
}

f32 ImpulseKind4(neCollisionResult& row, neSimulatorCore* sim) {
    // The impulse lies across the axis. It is solved for in that plane:
    // taking the full-space answer and dropping its axis part is not a
    // contraction when K is far from round (anchors far from a body of small
    // inertia), and repeated answers then grow without bound.
    const neV3& u = row.relativeVelocity;
    neV3 wanted = u * RELAXATION;
    if (std::fabs(row.rowValue) >= NE_ZERO)
        wanted += PointCorrection(row.worldPointA, row.rowValue) * sim->stepTimeInverse;
    neV3 t1, t2;
    neBuildContactFrame(t1, t2, row.worldPointB);
    const neV3 k1 = row.K * t1, k2 = row.K * t2;
    const f32 a = t1.Dot(k1), b = t1.Dot(k2), c = t2.Dot(k1), d = t2.Dot(k2);
    const f32 det = a * d - b * c;
    if (!(std::fabs(det) >= NE_SINGULAR_DETERMINANT)) return 0.0f;
    const f32 r1 = -t1.Dot(wanted), r2 = -t2.Dot(wanted);
    const f32 l1 = (d * r1 - b * r2) / det, l2 = (a * r2 - c * r1) / det;
    const neV3 j = t1 * l1 + t2 * l2;
    if (Finite(j)) ApplyPointImpulse(row, j);
    return 0.0f;
}

f32 ImpulseKind5(neCollisionResult& row, neSimulatorCore* sim) {
    const f32 v = RELAXATION * row.depth * sim->stepTimeInverse;
    if (!(row.rowValue < v)) return 0.0f;
    const neV3 j = -(row.W * (row.worldPointB * (v - RELAXATION * row.rowValue)));
    if (Finite(j)) ApplyPointImpulse(row, j);
    return 0.0f;
}

namespace {

// Kinds 6 and 7: a one-sided angular rule that acts while the bodies turn
// further into the error.
void AngularLimit(neCollisionResult& row, f32 speed, f32 relaxedError, const neV3& axis, f32 inverseDt) {
    const f32 e = row.depth;
    if (e == 0.0f) return;
    if (!((e > 0.0f && speed > 0.0f) || (e < 0.0f && speed < 0.0f))) return;
    const f32 delta = -relaxedError * inverseDt - RELAXATION * speed;
    const neV3 j = row.W * (axis * delta);
    if (!Finite(j)) return;
    ApplyAngularImpulse(row.bodyA, j);
    ApplyAngularImpulse(row.bodyB, -j);
}

f32 AxisSpeed(const neCollisionResult& row) {
    return row.localPointA.Dot(AngularVelocity(row.bodyA)) - row.localPointB.Dot(AngularVelocity(row.bodyB));
}

}  // namespace

f32 ImpulseKind6(neCollisionResult& row, neSimulatorCore* sim) {
    AngularLimit(row, row.speed, RELAXATION * row.depth, row.localPointB, sim->stepTimeInverse);
    return 0.0f;
}

f32 ImpulseKind7(neCollisionResult& row, neSimulatorCore* sim) {
    // Each body twists by spinning about its own cone axis, so each is
    // turned about its own axis, by the one impulse size that changes the
    // measured speed as wanted (W₀₀). Turning both about B's axis alone
    // would turn A less and less as the cone opens, and not at all once it
    // passes a right angle; an impulse from the full matrix along B's axis
    // would then feed the speed instead of removing it.
    const f32 e = row.depth;
    const f32 s = AxisSpeed(row);
    if (e == 0.0f || !((e > 0.0f && s > 0.0f) || (e < 0.0f && s < 0.0f))) return 0.0f;
    f32 relaxed = RELAXATION * e;
    if (relaxed > MAX_TWIST_CORRECTION) relaxed = MAX_TWIST_CORRECTION;
    if (relaxed < -MAX_TWIST_CORRECTION) relaxed = -MAX_TWIST_CORRECTION;
    const f32 lambda = (-relaxed * sim->stepTimeInverse - RELAXATION * s) * row.W.M[0].x;
    if (!std::isfinite(lambda)) return 0.0f;
    ApplyAngularImpulse(row.bodyA, row.localPointA * lambda);
    ApplyAngularImpulse(row.bodyB, row.localPointB * -lambda);
    return 0.0f;
}

f32 ImpulseKind8(neCollisionResult& row, neSimulatorCore* sim) {
    const f32 delta = row.rowValue - AxisSpeed(row);
    const f32 limit = row.depth * sim->stepTime;
    const neV3 ja = Clamped(row.W * (row.localPointA * delta), limit);
    const neV3 jb = Clamped(row.W * (row.localPointB * delta), limit) * -1.0f;
    if (!Finite(ja) || !Finite(jb)) return 0.0f;
    ApplyAngularImpulse(row.bodyA, ja);
    ApplyAngularImpulse(row.bodyB, jb);
    return 0.0f;
}

f32 ImpulseKind10(neCollisionResult& row, neSimulatorCore* sim) {
    const neV3& axis = row.localPointA;
    neRigidBody* a = Rigid(row.bodyA);
    neRigidBody* b = Rigid(row.bodyB);
    const f32 relative = axis.Dot(a ? a->velocity : neMakeV3(0, 0, 0)) - axis.Dot(b ? b->velocity : neMakeV3(0, 0, 0));
    const f32 limit = row.depth * sim->stepTime;
    f32 lambda = (row.rowValue - relative) * row.W.M[0].x;
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

}  // namespace neCollisionResponse
