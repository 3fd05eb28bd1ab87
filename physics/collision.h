// Contact records shared by the collision stages, the narrow phase, the
// response, the stacks and the joint rows, and the records the application's
// collision callbacks receive.
#pragma once

#include "math/ne_math.h"

struct neBody;
struct neRigidBody;
struct neAnimatedBody;
struct neGeometry;
struct neTriangle;

// What a neCollisionResult stands for, and so which rule answers it.
// 0 and 9 are never answered.
enum neImpulseKind : s32 {
    NE_IMPULSE_NONE = 0,
    NE_IMPULSE_COLLISION = 1,        // a contact answered once, with restitution
    NE_IMPULSE_RESTING_CONTACT = 2,  // a contact answered again by the stacks, with recovery
    NE_IMPULSE_POINT_JOINT = 3,
    NE_IMPULSE_POINT_ON_AXIS = 4,
    NE_IMPULSE_LINEAR_LIMIT = 5,
    NE_IMPULSE_ANGULAR_LIMIT = 6,
    NE_IMPULSE_TWIST_LIMIT = 7,
    NE_IMPULSE_ANGULAR_MOTOR = 8,
    NE_IMPULSE_LINEAR_MOTOR = 10,
};

// One contact or one constraint row. The narrow phase fills the contact
// fields; the response adds the axes, velocities and matrices. What a field
// holds for a joint row is noted where it differs from a contact.
struct neCollisionResult {
    neV3 pointA;       // pair routines: world contact point on A; after the body-pair test:
                       // that point minus A's position (the lever arm, world axes)
    neV3 pointB;       // the same for B
    neV3 localPointA;  // contacts: the arm in A's own axes; kinds 7, 8: the axis on A; kind 10: the axis
    neV3 localPointB;  // contacts: the arm in B's own axes; kinds 6, 7, 8: the axis on B
    neV3 worldPointA;  // contacts: world point on A; kinds 3, 4: the anchors' error vector
    neV3 worldPointB;  // contacts: world point on B; kinds 4, 5: the axis
    neV3 tangent1;     // contact axes (kinds 1, 2)
    neV3 tangent2;
    neV3 normal;       // unit, world, from geometry B toward geometry A
    neM3 toContact;    // world to contact axes: rows tangent1, tangent2, normal
    neV3 relativeVelocityWorld;  // velocity of A's contact point minus B's
    neV3 relativeVelocity;       // kinds 1, 2: in contact axes; 3: world; 4: less the axis part
    s32 materialIndexA;
    s32 materialIndexB;
    f32 depth;         // kinds 1, 2: penetration (> 0 in contact); other kinds: see the rows
    s32 valid;         // 1 when the narrow phase found a contact
    neBody* bodyA;
    neBody* bodyB;     // the simulator's terrain body for terrain contacts
    f32 speed;         // kinds 1, 2: |relativeVelocity|; kind 6: relative angular speed
    f32 rowValue;      // kind 4: error length; 5: minus the axis speed; 8, 10: target speed
    neGeometry* geometryA;
    neGeometry* geometryB;  // null for terrain contacts
    neM3 K;            // impulse to measured-velocity change
    neM3 W;            // inverse of K; kinds 7 and 10 use only W[0][0], their impulse per unit speed
    s32 kind;          // neImpulseKind
    f32 stackValue;    // value the stacks keep in the record (resting check)
    f32 twistError;    // kind 7: the twist error, kept beside depth
    s32 terrainUserData;  // box-terrain: userData of the triangle that gave the contact

    // After a pair routine ran with its geometries exchanged.
    void Flip() {
        normal = -normal;
        neV3 p = pointA;
        pointA = pointB;
        pointB = p;
        neGeometry* g = geometryA;
        geometryA = geometryB;
        geometryB = g;
    }
};

// Writes a found contact: valid = 1, the depth, the unit normal (from B
// toward A) and the two contact points.
inline void neSetContact(neCollisionResult& result, f32 depth, const neV3& normal, const neV3& pointA,
                         const neV3& pointB) {
    result.valid = 1;
    result.depth = depth;
    result.normal = normal;
    result.pointA = pointA;
    result.pointB = pointB;
}

// Kinds of body in neCollisionInfo.
constexpr s32 NE_COLLISION_TERRAIN = 0;
constexpr s32 NE_COLLISION_RIGID = 1;
constexpr s32 NE_COLLISION_ANIMATED = 2;

// The record handed to the collision callback. It lives in the simulator and
// is overwritten by the next contact: a callback copies what it keeps.
struct neCollisionInfo {
    neBody* bodyA;        // first body of the pair; for the terrain: the rigid body
    neBody* bodyB;        // second body; null for the terrain
    s32 typeA;            // NE_COLLISION_RIGID or NE_COLLISION_ANIMATED
    s32 typeB;            // also NE_COLLISION_TERRAIN
    neGeometry* geometryA;
    neGeometry* geometryB;  // null for the terrain
    s32 materialIndexA;
    s32 materialIndexB;   // for the terrain: the triangle's material
    neV3 bodyContactPointA;   // contact point on A in A's frame
    neV3 bodyContactPointB;   // contact point on B in B's frame
    neV3 worldContactPointA;
    neV3 worldContactPointB;
    neV3 relativeVelocity;    // A's material point minus B's at the contact (written by the response)
    neV3 collisionNormal;     // unit, world, from B toward A
};

// Filled by the application's custom collision callbacks (zeroed before).
struct neCustomCollisionInfo {
    neV3 collisionNormal;
    neV3 worldContactPointA;
    neV3 worldContactPointB;
    f32 penetrationDepth;
    s32 materialIndexA;
    s32 materialIndexB;
};

using neCollisionCallback = void (*)(neCollisionInfo* info);
using neLogOutputCallback = void (*)(const char* message);
// (old body, 1 rigid or 2 animated, the geometry, the new body)
using neBreakageCallback = void (*)(neBody* oldBody, s32 oldBodyKind, neGeometry* geometry,
                                    neRigidBody* newBody);
// Fills the candidate terrain triangles for the box [minCorner, maxCorner];
// the arrays stay the callback's and are used in place until the next call.
using neTerrainQueryCallback = void (*)(const neV3& minCorner, const neV3& maxCorner, s32** indices,
                                        neTriangle** triangles, neV3** vertices, s32* indexCount,
                                        s32* triangleCount, neRigidBody* body);
// Non-zero when the two bodies touch; the record then holds the contact.
using neCustomCollisionCallback1 = s32 (*)(neRigidBody* a, neRigidBody* b, neCustomCollisionInfo* info);
using neCustomCollisionCallback2 = s32 (*)(neRigidBody* a, neAnimatedBody* b, neCustomCollisionInfo* info);

// The narrow phase: the deepest contact between any geometry of A and any
// of B, each placed by its body's world transform. `valid` is 0 when none.
void neCollideBodyPair(neCollisionResult& result, neBody* a, const neT3& transformA, neBody* b,
                       const neT3& transformB);
// True when all three components are finite and one is not near zero.
bool neIsValidNormal(const neV3& n);
