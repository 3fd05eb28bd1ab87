// The narrow phase: the deepest contact between the geometries of two bodies,
// the dispatch by shape pair, and every shape-pair test of boxes, spheres,
// cylinders and terrain triangles.
//
// Every pair routine writes, when it finds a contact, `valid` = 1, `depth`,
// `normal` (unit, world, pointing from geometry B toward geometry A: the way
// A must move to separate) and the world contact points `pointA` (A's side)
// and `pointB` (B's side); without a contact it writes `valid` = 0 and leaves
// the rest alone. The terrain routines also write `materialIndexB` (the
// triangle's material) and box-terrain `terrainUserData`.
//
// Nothing here allocates or keeps state between calls.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"
#include "physics/geometry.h"

struct neBody;

// Box-box face axes: a depth shallower by more than the tolerance replaces the
// best axis; within it only a true tie whose corner lies over the face does.
// A depth of 0 separates, except on the triangle-normal axis of the terrain
// tests, where touching counts as contact.
constexpr f32 NE_FACE_TIE_TOLERANCE = 0.0001f;  // box-box: depths closer than this are near ties (m)
constexpr f32 NE_FACE_TIE_EXACT = 0.000001f;    // ... and closer than this are true ties (m)
constexpr f32 NE_FACE_OVERHANG = 1.001f;        // a tie's corner may overhang the face by 0.1 %
constexpr f32 NE_NO_DEPTH = 100000.0f;          // starting depth of the box searches (m)

// ---- Segments -------------------------------------------------------------

// Two segments and, after neSegmentClosestPoints, their closest points.
struct neSegmentPair {
    neV3 startA, endA;  // first segment
    neV3 startB, endB;  // second segment
    neV3 pointA;        // closest point on the line of A (start + s·(end − start))
    neV3 pointB;        // closest point on the line of B
    f32 distance;       // |pointA − pointB|
    bool found;         // both parameters lie in [0, 1): the points lie on the segments
};

// Closest points of the lines through the two segments. False, and `found`
// cleared, when a segment is degenerate or the lines are parallel; otherwise
// writes s, t, both points and their distance, and sets `found` only when
// s and t both lie in [0, 1).
bool neSegmentClosestPoints(neSegmentPair& pair, f32& s, f32& t);

// The point of segment [a, b] nearest p.
neV3 neClosestPointOnSegment(const neV3& p, const neV3& a, const neV3& b);

// ---- Boxes ----------------------------------------------------------------

// Working view of one box: its world frame and its axes scaled by the half
// extents; the corners are computed on demand.
struct neBoxDescriptor {
    const neGeometry* geometry;
    const neT3* transform;  // world; rotation columns are the box's unit axes
    neV3 axes[3];           // unit axis k × half extent k
    bool cornersValid;
    // Corner i has sign (+ when the bit is clear) bit 2 on axis 0, bit 1 on
    // axis 1, bit 0 on axis 2: 0 (+,+,+), 1 (+,+,−), ..., 7 (−,−,−).
    neV3 corners[8];

    neBoxDescriptor(const neGeometry& box, const neT3& world);
    f32 HalfExtent(s32 k) const;
    void ComputeCorners();
};

// ---- Cylinders ------------------------------------------------------------

// Working view of one cylinder: its centre, unit axis (the frame's y column)
// and the centres of its two end discs.
struct neCylinderView {
    neV3 centre, axis, bottom, top;  // world (m); axis is unit
    f32 radius, halfHeight;          // m

    neCylinderView(const neGeometry& cylinder, const neT3& world);
};

// ---- Terrain triangles ----------------------------------------------------

// A triangle made ready for the tests: vertices, edges, unit normal (zero for
// a degenerate triangle) and the plane constant d = normal·V0.
struct nePreparedTriangle {
    neV3 vertex[3];
    neV3 edge[3];  // edge k runs from vertex k to vertex k + 1 (mod 3)
    neV3 normal;
    f32 d;

    void Prepare(const neV3& v0, const neV3& v1, const neV3& v2);
    bool IsDegenerate() const { return normal.x == 0.0f && normal.y == 0.0f && normal.z == 0.0f; }
};

// Where a point of the triangle's plane lies.
enum neTriangleRegion : s32 {
    NE_REGION_TRIANGLE = 0,  // inside (the edges count as inside)
    NE_REGION_EDGE = 1,      // beyond one edge only
    NE_REGION_VERTEX = 2,    // beyond the two edges that meet at a vertex
};
// Classifies q (in the plane) and gives the edge or vertex number.
neTriangleRegion neClassifyTrianglePoint(const nePreparedTriangle& tri, const neV3& q, s32& feature);

// ---- Dispatch -------------------------------------------------------------

// The deepest contact between any geometry of A and any of B, each placed by
// its body's world transform. `valid` is 0 when none. On contact the record
// also holds both geometries (geometryB null for the terrain), the lever arms
// (pointA, pointB), their body-frame forms, the world points and the
// materials. Bodies are only read.
void neCollideBodyPair(neCollisionResult& result, neBody* a, const neT3& transformA, neBody* b,
                       const neT3& transformB);

// Writes the contact's world points and, from the two bodies' world
// transforms, the lever arms (pointA, pointB) and their body-frame forms.
void neSetContactPoints(neCollisionResult& result, const neV3& worldPointA, const neT3& transformA,
                        const neV3& worldPointB, const neT3& transformB);

// Runs the routine for the two shape codes; a pair outside the table is no
// contact. B's transform is not read for a triangle list (its vertices are
// in world coordinates).
void neCollideGeometryPair(neCollisionResult& result, const neGeometry& a, const neT3& worldA,
                           const neGeometry& b, const neT3& worldB);

// ---- Shape pairs (world transforms of the two geometries) ------------------

void neCollideBoxBox(neCollisionResult& result, const neGeometry& boxA, const neT3& worldA,
                     const neGeometry& boxB, const neT3& worldB);
void neCollideSphereSphere(neCollisionResult& result, const neGeometry& sphereA, const neT3& worldA,
                           const neGeometry& sphereB, const neT3& worldB);
void neCollideBoxSphere(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                        const neGeometry& sphere, const neT3& worldSphere);
// The cylinder is A.
void neCollideSphereCylinder(neCollisionResult& result, const neGeometry& cylinder, const neT3& worldCylinder,
                             const neGeometry& sphere, const neT3& worldSphere);
void neCollideBoxCylinder(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                          const neGeometry& cylinder, const neT3& worldCylinder);
void neCollideCylinderCylinder(neCollisionResult& result, const neGeometry& cylinderA, const neT3& worldA,
                               const neGeometry& cylinderB, const neT3& worldB);
// One triangle (type 2), placed by its transform.
void neCollideBoxTriangle(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                          const neGeometry& triangle, const neT3& worldTriangle);
// The terrain set (type 6), world coordinates.
void neCollideBoxTerrain(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                         const neGeometry& terrain);
void neCollideSphereTerrain(neCollisionResult& result, const neGeometry& sphere, const neT3& worldSphere,
                            const neGeometry& terrain);
void neCollideCylinderTerrain(neCollisionResult& result, const neGeometry& cylinder, const neT3& worldCylinder,
                              const neGeometry& terrain);

// Closest points of a segment [p, q] and a box of half extents h, all in the
// box's frame: the box point and the segment point.
void neSegmentBoxClosest(const neV3& p, const neV3& q, const neV3& halfExtents, neV3& boxPoint,
                         neV3& segmentPoint);
