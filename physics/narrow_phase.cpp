// Pair dispatch by shape codes and the body-pair search for the deepest
// contact between two bodies' geometries.
#include "physics/narrow_phase.h"

#include <cstdint>

#include "physics/body.h"
#include "physics/convex.h"

namespace {

bool IsTerrainShape(s32 type) { return type == NE_SHAPE_TRIANGLE || type == NE_SHAPE_TRIANGLE_LIST; }

// A geometry's world transform: its body's transform times its frame. A
// triangle list is already in world coordinates and is not placed.
neT3 Place(const neT3& body, const neGeometry& g) {
    if (g.type == NE_SHAPE_TRIANGLE_LIST) return body;
    return body * g.frame;
}

// The record a body's coarse test uses: the terrain's triangle list stands
// for itself, every other body has its bounding box.
const neGeometry& BoundingOf(const neBody& body) {
    if (body.geometryCount == 1 && body.geometryFirst->type == NE_SHAPE_TRIANGLE_LIST) return *body.geometryFirst;
    return body.bounding;
}

bool Touches(const neGeometry& a, const neT3& bodyA, const neGeometry& b, const neT3& bodyB) {
    neCollisionResult work{};
    neCollideGeometryPair(work, a, Place(bodyA, a), b, Place(bodyB, b));
    return work.valid != 0;
}

// Keeps the deepest contact of the search (strictly deeper than the best so
// far, which starts at depth 0).
struct Search {
    const neT3& bodyA;
    const neT3& bodyB;
    neCollisionResult best{};
    neGeometry* geometryA = nullptr;
    neGeometry* geometryB = nullptr;

    void Offer(neGeometry* a, neGeometry* b) {
        neCollisionResult work{};
        neCollideGeometryPair(work, *a, Place(bodyA, *a), *b, Place(bodyB, *b));
        if (work.valid && work.depth > best.depth) {
            best = work;
            geometryA = a;
            geometryB = b;
        }
    }
};

}  // namespace

void neCollideGeometryPair(neCollisionResult& result, const neGeometry& a, const neT3& worldA,
                           const neGeometry& b, const neT3& worldB) {
    result.valid = 0;
    switch (a.type) {
    case NE_SHAPE_BOX:
        switch (b.type) {
        case NE_SHAPE_TRIANGLE: neCollideBoxTriangle(result, a, worldA, b, worldB); return;
        case NE_SHAPE_BOX: neCollideBoxBox(result, a, worldA, b, worldB); return;
        case NE_SHAPE_SPHERE: neCollideBoxSphere(result, a, worldA, b, worldB); return;
        case NE_SHAPE_CYLINDER: neCollideBoxCylinder(result, a, worldA, b, worldB); return;
        case NE_SHAPE_TRIANGLE_LIST: neCollideBoxTerrain(result, a, worldA, b); return;
        case NE_SHAPE_CONVEX: neCollideConvexPair(result, a, worldA, b, worldB); return;
        default: return;
        }
    case NE_SHAPE_SPHERE:
        switch (b.type) {
        case NE_SHAPE_BOX:
            neCollideBoxSphere(result, b, worldB, a, worldA);
            result.Flip();
            return;
        case NE_SHAPE_SPHERE: neCollideSphereSphere(result, a, worldA, b, worldB); return;
        case NE_SHAPE_CYLINDER:
            neCollideSphereCylinder(result, b, worldB, a, worldA);
            result.Flip();
            return;
        case NE_SHAPE_TRIANGLE_LIST: neCollideSphereTerrain(result, a, worldA, b); return;
        default: return;
        }
    case NE_SHAPE_CYLINDER:
        switch (b.type) {
        case NE_SHAPE_BOX:
            neCollideBoxCylinder(result, b, worldB, a, worldA);
            result.Flip();
            return;
        case NE_SHAPE_SPHERE: neCollideSphereCylinder(result, a, worldA, b, worldB); return;
        case NE_SHAPE_CYLINDER: neCollideCylinderCylinder(result, a, worldA, b, worldB); return;
        case NE_SHAPE_TRIANGLE_LIST: neCollideCylinderTerrain(result, a, worldA, b); return;
        default: return;
        }
    case NE_SHAPE_CONVEX:
        switch (b.type) {
        case NE_SHAPE_BOX:
            neCollideConvexPair(result, b, worldB, a, worldA);
            result.Flip();
            return;
        case NE_SHAPE_TRIANGLE_LIST: neCollideConvexTerrain(result, a, worldA, b); return;
        case NE_SHAPE_CONVEX: neCollideConvexPair(result, a, worldA, b, worldB); return;
        default: return;
        }
    default: return;
    }
}

void neSetContactPoints(neCollisionResult& result, const neV3& worldPointA, const neT3& transformA,
                        const neV3& worldPointB, const neT3& transformB) {
    result.worldPointA = worldPointA;
    result.worldPointB = worldPointB;
    result.pointA = worldPointA - transformA.pos;
    result.pointB = worldPointB - transformB.pos;
    result.localPointA = transformA.rot.TransposeMul(result.pointA);
    result.localPointB = transformB.rot.TransposeMul(result.pointB);
}

void neCollideBodyPair(neCollisionResult& result, neBody* a, const neT3& transformA, neBody* b,
                       const neT3& transformB) {
    result.valid = 0;
    if (!a || !b || a->geometryCount == 0 || b->geometryCount == 0 || !a->geometryFirst || !b->geometryFirst)
        return;

    Search search{transformA, transformB};
    if (a->geometryCount == 1 && b->geometryCount == 1) {
        search.Offer(a->geometryFirst, b->geometryFirst);
    } else {
        // The bounding records first: no contact there, none anywhere.
        const neGeometry& boundA = BoundingOf(*a);
        const neGeometry& boundB = BoundingOf(*b);
        if (!Touches(boundA, transformA, boundB, transformB)) return;
        if (a->geometryCount == 1) {
            for (neGeometry* gb = b->geometryFirst; gb; gb = gb->next) search.Offer(a->geometryFirst, gb);
        } else if (b->geometryCount == 1) {
            for (neGeometry* ga = a->geometryFirst; ga; ga = ga->next) search.Offer(ga, b->geometryFirst);
        } else {
            // Only geometries that reach the other body's bounds take part, A's
            // in the outer loop. Testing B's against A's bounds inside the loop
            // keeps the search free of lists (and of any bound on their size).
            for (neGeometry* ga = a->geometryFirst; ga; ga = ga->next) {
                if (!Touches(*ga, transformA, boundB, transformB)) continue;
                for (neGeometry* gb = b->geometryFirst; gb; gb = gb->next)
                    if (Touches(*gb, transformB, boundA, transformA)) search.Offer(ga, gb);
            }
        }
    }
    if (!search.best.valid) return;

    const neCollisionResult& best = search.best;
    const bool terrain = IsTerrainShape(search.geometryB->type);
    result.valid = 1;
    result.depth = best.depth;
    result.normal = best.normal;
    neSetContactPoints(result, best.pointA, transformA, best.pointB, transformB);
    result.geometryA = search.geometryA;
    result.geometryB = terrain ? nullptr : search.geometryB;
    result.materialIndexA = search.geometryA->materialIndex;
    result.materialIndexB = terrain ? best.materialIndexB : search.geometryB->materialIndex;
    result.terrainUserData = terrain ? best.terrainUserData : 0;
}
