// The core's answer to a collision the collision stages found: an impact
// between free bodies, a body coming to rest on another (handed to the
// stacks), or a body pushed out of an animated body or the terrain.
#include "physics/body.h"
#include "physics/constraint.h"
#include "physics/response.h"
#include "physics/simulator_core.h"
#include "physics/stack.h"

namespace {

// True when a joint ties the rigid body to the other body.
bool Joined(neRigidBody* body, neBody* other) {
    for (neConstraintLink* link = body->constraintFirst; link; link = link->next) {
        const neConstraint* c = link->constraint;
        if (c && (c->bodyA == other || c->bodyB == other)) return true;
    }
    return false;
}

// Moves a rigid body along the normal by the depth and marks it separated.
void PushOut(neRigidBody* body, const neV3& direction, f32 depth) {
    body->state.transform.pos += direction * depth;
    body->separated = 1;
}

// Hands the contact to the stacks as a resting contact of `body` on `other`.
void RestOn(neRigidBody* body, neBody* other, const neV3& pointOnBody, const neV3& pointOnOther,
            const neV3& worldNormal, f32 depth, s32 materialBody, s32 materialOther) {
    neRestingContact contact{};
    contact.pointOnBody = pointOnBody;
    contact.pointOnOther = pointOnOther;
    contact.normal = other->GetTransformPtr()->rot.TransposeMul(worldNormal);
    contact.depth = depth;
    contact.values[0] = materialBody;
    contact.values[1] = materialOther;
    contact.other = other;
    neStackAddContact(body, contact);
}

}  // namespace

void neSimulatorCore::RespondToCollision(neBody* bodyA, neBody* bodyB, neCollisionResult& r) {
    neRigidBody* a = bodyA ? bodyA->AsRigidBody() : nullptr;
    neRigidBody* b = bodyB ? bodyB->AsRigidBody() : nullptr;
    r.bodyA = bodyA;
    r.bodyB = bodyB;
    r.kind = NE_IMPULSE_COLLISION;

    // Bodies joined by a joint collide only when both allow it.
    neRigidBody* rigid = a ? a : b;
    if (rigid && Joined(rigid, rigid == a ? bodyB : bodyA) &&
        !(bodyA->collideConnected && bodyB->collideConnected))
        return;

    if (a && b && b->particle) {
        neUpdateMatrices(r, false, false);
        neResolveCollision(*this, r, NE_RESOLVE_COLLISION, 1.0f);
        b->state.transform.pos -= r.normal * r.depth;
        return;
    }

    neUpdateRelativeVelocity(r);
    const f32 along = gravity.Dot(r.normal);
    if (a && b && neAbs(along) < NE_LIES_ON_MIN_LEAN * gravityLength) {
        // Side by side: the impact, then each body out of the other in
        // proportion to how easily it moves.
        neUpdateMatrices(r, false, false);
        neResolveCollision(*this, r, NE_RESOLVE_COLLISION, 1.0f);
        const f32 inverseMasses = a->invMass + b->invMass;
        if (inverseMasses > 0.0f) {
            PushOut(a, r.normal, r.depth * a->invMass / inverseMasses);
            PushOut(b, -r.normal, r.depth * b->invMass / inverseMasses);
        }
        return;
    }
    if (along < 0.0f && a) {
        // A lies on B: answer the impact, then let the stacks hold A up.
        neUpdateMatrices(r, false, false);
        neResolveCollision(*this, r, NE_RESOLVE_COLLISION, 1.0f);
        RestOn(a, bodyB, r.localPointA, r.localPointB, r.normal, r.depth, r.materialIndexA, r.materialIndexB);
        return;
    }
    if (along >= 0.0f && b) {
        neUpdateMatrices(r, false, false);
        neResolveCollision(*this, r, NE_RESOLVE_COLLISION, 1.0f);
        RestOn(b, bodyA, r.localPointB, r.localPointA, -r.normal, r.depth, r.materialIndexB, r.materialIndexA);
        return;
    }
    // One rigid body against an animated body or the terrain: out of it first.
    if (a)
        PushOut(a, r.normal, r.depth);
    else if (b)
        PushOut(b, -r.normal, r.depth);
    neUpdateMatrices(r, false, false);
    neResolveCollision(*this, r, NE_RESOLVE_COLLISION, 1.0f);
}
