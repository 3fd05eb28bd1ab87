// Contact impulses with friction and restitution, the resting-contact rule,
// and breakage on impact.
#include "physics/response.h"

#include <cstdint>

#include "physics/body.h"
#include "physics/simulator_core.h"

namespace {

neRigidBody* RigidOf(neBody* body) { return body ? body->AsRigidBody() : nullptr; }

bool IsFinite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The impulse-to-velocity matrix of a point at arm r of a body:
// (1/m)·I − [r]× I⁻¹ [r]×, or zero for a body that does not count.
neM3 PointMatrix(const neRigidBody* body, const neV3& arm) {
    neM3 k;
    k.SetZero();
    if (!body) return k;
    neM3 mass;
    mass.SetIdentity();
    return mass * body->invMass - neCrossMatrixMul(arm, body->worldInvInertia).MulCrossMatrix(arm);
}

// Contact axes to world: tangent1·J.x + tangent2·J.y + normal·J.z.
neV3 ToWorld(const neCollisionResult& r, const neV3& j) { return r.tangent1 * j.x + r.tangent2 * j.y + r.normal * j.z; }

// Applies the impulse directly: velocity, angular momentum, angular velocity.
void ApplyDirect(neRigidBody* body, const neV3& impulse, const neV3& arm) {
    body->velocity += impulse * body->invMass;
    body->state.angularMomentum += arm.Cross(impulse);
    body->angularVelocity = body->worldInvInertia * body->state.angularMomentum;
    body->touched = 1;
}

bool IsZeroMatrix(const neM3& m) {
    for (s32 c = 0; c < 3; ++c)
        if (m.M[c].x != 0.0f || m.M[c].y != 0.0f || m.M[c].z != 0.0f) return false;
    return true;
}

}  // namespace

void neBuildContactFrame(neV3& tangent1, neV3& tangent2, const neV3& normal) {
    // Largest component, ties going to the later one (z over y over x).
    s32 k = 2;
    if (neAbs(normal.y) > neAbs(normal.z)) k = 1;
    if (neAbs(normal.x) > neAbs(normal[k])) k = 0;
    const s32 i = (k + 1) % 3, j = (k + 2) % 3;
    tangent1[i] = 1.0f;
    tangent1[j] = 1.0f;
    tangent1[k] = normal[k] != 0.0f ? -(normal[i] + normal[j]) / normal[k] : 0.0f;
    tangent1.w = 0.0f;
    tangent1.Normalize();
    if (!IsFinite(tangent1)) tangent1.SetZero();
    tangent2 = normal.Cross(tangent1);
}

void neUpdateRelativeVelocity(neCollisionResult& r) {
    neRigidBody* a = RigidOf(r.bodyA);
    neRigidBody* b = RigidOf(r.bodyB);
    neV3 velocity = neMakeV3(0, 0, 0);
    if (a) velocity += a->velocity + a->angularVelocity.Cross(r.pointA);
    if (b) velocity -= b->velocity + b->angularVelocity.Cross(r.pointB);
    r.relativeVelocityWorld = velocity;
    if (r.kind == NE_IMPULSE_COLLISION || r.kind == NE_IMPULSE_RESTING_CONTACT) {
        r.relativeVelocity = r.toContact * velocity;
        r.speed = r.relativeVelocity.Length();
    }
}

void neUpdateMatrices(neCollisionResult& r, bool ignoreA, bool ignoreB) {
    neRigidBody* a = ignoreA ? nullptr : RigidOf(r.bodyA);
    neRigidBody* b = ignoreB ? nullptr : RigidOf(r.bodyB);
    neM3 k;
    k.SetZero();
    switch (r.kind) {
    case NE_IMPULSE_COLLISION:
    case NE_IMPULSE_RESTING_CONTACT: {
        neBuildContactFrame(r.tangent1, r.tangent2, r.normal);
        neM3 toWorld;
        toWorld.SetColumns(r.tangent1, r.tangent2, r.normal);
        r.toContact.SetTranspose(toWorld);
        const neM3 world = PointMatrix(a, r.pointA) + PointMatrix(b, r.pointB);
        k = r.toContact * world * toWorld;
        break;
    }
    case NE_IMPULSE_POINT_JOINT:
    case NE_IMPULSE_POINT_ON_AXIS:
    case NE_IMPULSE_LINEAR_LIMIT:
        k = PointMatrix(a, r.pointA) + PointMatrix(b, r.pointB);
        break;
    case NE_IMPULSE_ANGULAR_LIMIT:
    case NE_IMPULSE_ANGULAR_MOTOR:
        if (a) k = k + a->worldInvInertia;
        if (b) k = k + b->worldInvInertia;
        break;
    case NE_IMPULSE_TWIST_LIMIT: {
        // Each body is turned about its own axis: W₀₀ is the impulse size
        // per unit change of the measured twist speed.
        const f32 turn = (a ? r.localPointA.Dot(a->worldInvInertia * r.localPointA) : 0.0f) +
                         (b ? r.localPointB.Dot(b->worldInvInertia * r.localPointB) : 0.0f);
        r.W.M[0].x = turn > 0.0f ? 1.0f / turn : 0.0f;
        return;
    }
    case NE_IMPULSE_LINEAR_MOTOR: {
        const f32 inverseMasses = (a ? a->invMass : 0.0f) + (b ? b->invMass : 0.0f);
        r.W.M[0].x = inverseMasses > 0.0f ? 1.0f / inverseMasses : 0.0f;
        return;
    }
    default: return;
    }
    r.K = k;
    if (!r.W.SetInvert(k)) r.W.SetZero();
}

void neContactMaterial(const neSimulatorCore& sim, const neCollisionResult& r, f32& friction, f32& restitution) {
    const neMaterial& a = sim.MaterialAt(r.materialIndexA);
    const neMaterial& b = sim.MaterialAt(r.materialIndexB);
    friction = a.friction < b.friction ? a.friction : b.friction;
    restitution = a.restitution < b.restitution ? a.restitution : b.restitution;
}

neV3 neContactImpulse(const neCollisionResult& r, f32 friction, f32 restitution) {
    const neV3 zero = neMakeV3(0, 0, 0);
    const f32 knn = r.K.M[2].z;
    if (!(knn > 0.0f) || IsZeroMatrix(r.W)) return zero;
    const neV3& u = r.relativeVelocity;
    const f32 jn = -u.z / knn;          // stops the approach alone
    const neV3 stop = -(r.W * u);       // stops all relative motion
    neV3 sticking = stop;
    sticking.z += restitution * jn;
    const f32 tangentSq = sticking.x * sticking.x + sticking.y * sticking.y;
    const f32 cone = friction * sticking.z;
    if (tangentSq <= cone * cone) return sticking;

    // Sliding: on the cone's edge between the pure normal impulse and the
    // sticking one.
    const f32 dn = stop.z - jn;
    const f32 den = std::sqrt(stop.x * stop.x + stop.y * stop.y) - friction * dn;
    if (neAbs(den) <= NE_ZERO) return zero;
    const f32 k = friction * (1.0f + restitution) * jn / den;
    return neMakeV3(k * stop.x, k * stop.y, (1.0f + restitution) * jn + k * dn);
}

f32 neImpulseKind2(neSimulatorCore& sim, neCollisionResult& r, f32 scale) {
    neV3 j = neMakeV3(0, 0, 0);
    if (r.relativeVelocity.z < 0.0f) {
        f32 friction, restitution;
        neContactMaterial(sim, r, friction, restitution);
        j = neContactImpulse(r, friction, sim.recovery ? 0.0f : restitution);
        r.relativeVelocity.z = 0.0f;
    }
    if (r.depth > NE_RECOVERY_MAX_DEPTH) r.depth = NE_RECOVERY_MAX_DEPTH;
    f32 value = 0.0f;
    const f32 excess = r.depth - NE_RECOVERY_SLOP_PER_GRAVITY * sim.gravityLength;
    if (r.depth > 0.0f && excess > 0.0f && sim.recovery) {
        const f32 speed = NE_RECOVERY_RELAXATION * excess * sim.stepTimeInverse;
        if (r.relativeVelocity.z < speed) {
            const f32 delta = speed - NE_RECOVERY_RELAXATION * r.relativeVelocity.z;
            j += r.W * neMakeV3(0, 0, delta);
            value = neAbs(delta);
        }
    }
    if (!IsFinite(j)) return value;
    const neV3 world = ToWorld(r, j) * scale;
    if (neRigidBody* a = RigidOf(r.bodyA)) ApplyDirect(a, world, r.pointA);
    if (neRigidBody* b = RigidOf(r.bodyB); b && !sim.finalPass) ApplyDirect(b, -world, r.pointB);
    return value;
}

bool neBreakGeometryOnImpact(neSimulatorCore& sim, neBody* body, neGeometry* geometry, const neV3& contactPoint,
                             neV3& impulse) {
    const neM3 rotation = body->GetTransformPtr()->rot * geometry->frame.rot;
    const neV3 d = rotation * geometry->breakageDirection;
    const f32 along = impulse.Dot(d);
    const neV3 across = impulse - d * along;
    const f32 size = across.Length();
    // Below the zero limit there is nothing to break with (and a threshold of
    // 0 would divide 0 by 0).
    if (size < NE_ZERO || size < geometry->breakageThreshold) return false;
    const f32 s = geometry->breakageThreshold / size;
    const neV3 piece = across * (s * geometry->breakageImpulseShare);
    impulse = d * along + across * (s * (1.0f - geometry->breakageImpulseShare));

    neRigidBody* made = nullptr;
    if (geometry->breakageKind == NE_BREAK_OFF || geometry->breakageKind == NE_BREAK_OFF_ALT) {
        const s32 oldKind = body->type == NE_BODY_RIGID ? 1 : 2;
        made = sim.CreateBodyFromBrokenGeometry(body, geometry);
        if (made) {
            made->ApplyMove(piece, contactPoint - made->GetPos());
            if (body->type != NE_BODY_RIGID) impulse = piece;
            if (sim.breakageCallback) sim.breakageCallback(body, oldKind, geometry, made);
            return true;
        }
    }
    if (body->type != NE_BODY_RIGID) impulse = piece;
    return false;
}

f32 neResolveCollision(neSimulatorCore& sim, neCollisionResult& r, s32 mode, f32 scale) {
    neRigidBody* a = RigidOf(r.bodyA);
    neRigidBody* b = RigidOf(r.bodyB);
    if (!a && !b) return 0.0f;
    neUpdateRelativeVelocity(r);
    if (mode == NE_RESOLVE_RESTING) {
        neImpulseKind2(sim, r, scale);
        return 0.0f;
    }
    if (r.relativeVelocity.z >= 0.0f) return 0.0f;  // separating
    f32 friction, restitution;
    neContactMaterial(sim, r, friction, restitution);
    const neV3 j = neContactImpulse(r, friction, restitution);
    if (!IsFinite(j)) return 0.0f;
    neV3 impulseA = ToWorld(r, j) * scale;
    neV3 impulseB = -impulseA;

    if (sim.breakageCallback) {
        if (r.geometryA && r.geometryA->breakageKind != NE_BREAK_NEVER && r.bodyA)
            neBreakGeometryOnImpact(sim, r.bodyA, r.geometryA, r.worldPointA, impulseA);
        if (r.geometryB && r.geometryB->breakageKind != NE_BREAK_NEVER && r.bodyB)
            neBreakGeometryOnImpact(sim, r.bodyB, r.geometryB, r.worldPointB, impulseB);
    }
    if (a && IsFinite(impulseA)) a->ApplyMove(impulseA, r.pointA);
    if (b && IsFinite(impulseB)) b->ApplyMove(impulseB, r.pointB);
    return 0.0f;
}
