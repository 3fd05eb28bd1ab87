// Collision response: contacts turned into velocity changes of rigid bodies.
// An impulse with friction and restitution answers every contact the
// collision stages find; a body lying on another gets a resting contact for
// the stacks, a body in an animated body or the terrain is pushed out.
//
// Rigid bodies count as movable; animated bodies and the terrain are
// immovable and contribute zero velocity. Nothing here allocates.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"

struct neSimulatorCore;
struct neRigidBody;

// Resting contacts are answered with a penetration recovery of at most this
// depth per step (m), beyond a slop of this fraction of |g| (m per m/s²),
// relaxed by this factor.
constexpr f32 NE_RECOVERY_MAX_DEPTH = 0.05f;
constexpr f32 NE_RECOVERY_SLOP_PER_GRAVITY = 0.001f;
constexpr f32 NE_RECOVERY_RELAXATION = 0.5f;

// Between two rigid bodies, one lies on the other only when their contact
// normal leans against gravity by at least this share of |g| (the cosine of
// 60°); a side-on touch is an impact between two free bodies, so a body
// struck from the side is knocked away instead of holding like the ground.
constexpr f32 NE_LIES_ON_MIN_LEAN = 0.5f;

// Ways ResolveCollision answers a record.
constexpr s32 NE_RESOLVE_COLLISION = 1;  // once, with restitution
constexpr s32 NE_RESOLVE_RESTING = 2;    // resting contact with recovery

// Unit tangents completing the unit normal n to a right-handed frame
// (tangent1, tangent2, n); tangent1 is zero for a normal too short to use.
void neBuildContactFrame(neV3& tangent1, neV3& tangent2, const neV3& normal);

// Contact axes (kinds 1 and 2) and the matrices K and W of the record's
// kind. A set ignore flag treats that body as immovable. A singular K gives
// W = 0, so the row applies no impulse.
void neUpdateMatrices(neCollisionResult& record, bool ignoreA, bool ignoreB);

// Velocity of A's contact point minus B's into relativeVelocityWorld, and for
// kinds 1 and 2 into relativeVelocity (contact axes) and speed.
void neUpdateRelativeVelocity(neCollisionResult& record);

// The friction and restitution of a contact: the smaller of the two
// materials' values (indices outside the table read the default material).
void neContactMaterial(const neSimulatorCore& sim, const neCollisionResult& record, f32& friction, f32& restitution);

// The contact impulse in contact axes (tangent1, tangent2, normal) for the
// measured relative velocity: sticking inside the friction cone, else on the
// cone's edge. Zero when the record's W is zero.
neV3 neContactImpulse(const neCollisionResult& record, f32 friction, f32 restitution);

// One collision (mode NE_RESOLVE_COLLISION) or one resting contact (mode
// NE_RESOLVE_RESTING) between the record's two bodies; `scale` multiplies the
// impulse. The record's matrices must be up to date. Returns 0.
f32 neResolveCollision(neSimulatorCore& sim, neCollisionResult& record, s32 mode, f32 scale);

// The resting-contact rule: contact impulse without bounce while the
// simulator's recovery flag is clear, plus a recovery push while it is set.
// `scale` (the stacks' weight of the contact) multiplies the impulse.
// Returns the size of the recovery speed change.
f32 neImpulseKind2(neSimulatorCore& sim, neCollisionResult& record, f32 scale = 1.0f);

// Offers one breakable geometry of a contact its side's impulse J (world),
// at the world contact point. A perpendicular part at or above the
// geometry's threshold breaks it off into a new body (kinds 1 and 4), which
// takes its share along; J is reduced in place. True when a body was made.
bool neBreakGeometryOnImpact(neSimulatorCore& sim, neBody* body, neGeometry* geometry, const neV3& contactPoint,
                             neV3& impulse);
