// Convex polytope collision: a convex geometry against a box, another
// convex geometry or the terrain's triangles. Boxes and single triangles are
// presented as polytopes through fixed connectivity tables, so one
// feature-based separating-axis search serves every pairing: first over the
// faces of each polytope (climbing from face to neighbouring face), then over
// the edge pairs whose arcs cross on the sphere of normals.
//
// The routines keep their working state per thread; they are not reentrant
// within one thread.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"
#include "physics/geometry.h"

// Records of the application's convex data block, which follow the header,
// the face planes (neV3: unit outward normal, offset in w) and the vertices
// (neV3, geometry frame). Every face is a triangle.
struct neConvexFaceRecord {
    const u8* neighbours;  // the three faces across the face's edges
    const u8* vertices;    // its three vertex indices
    const u8* edges;       // its three edge indices
};
struct neConvexVertexRecord {
    const u8* edges;  // the edges at the vertex, ended by NE_CONVEX_LIST_END
};
struct neConvexEdgeRecord {
    u8 face[2];
    u8 vertex[2];
};
constexpr u8 NE_CONVEX_LIST_END = 255;
// Face, vertex and edge numbers are bytes, and 255 ends a vertex's edge list.
constexpr s32 NE_CONVEX_MAX_FACES = 256;
constexpr s32 NE_CONVEX_MAX_VERTICES = 255;
constexpr s32 NE_CONVEX_MAX_EDGES = 255;

// Byte offsets of the parts of a convex data block with F faces and V vertices.
struct neConvexBlockLayout {
    size_t facePlanes, vertices, faceRecords, vertexRecords, edgeRecords;
    neConvexBlockLayout(s32 faceCount, s32 vertexCount);
};

// Any polytope as the search sees it.
struct neConvexView {
    s32 faceCount;
    s32 vertexCount;
    s32 edgesPerFace;  // 4 for a box, 3 otherwise
    s32 edgeCount;
    const neV3* faces;  // normals in the polytope's frame (w: offset, not read)
    const neV3* vertices;
    const neConvexFaceRecord* faceRecords;
    const neConvexVertexRecord* vertexRecords;
    const neConvexEdgeRecord* edges;

    // From a box (with its corner array) or a convex geometry. False when
    // the geometry is neither, or when a convex block's counts are out of
    // range; such a geometry never collides.
    bool Init(const neGeometry& geometry, const neV3* boxCorners);
};

// Box or convex A against box or convex B, with their world transforms.
// Fills pointA, pointB, normal (from B toward A), depth and valid.
bool neCollideConvexConvex(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                           const neGeometry& b, const neT3& transformB);

// Convex A against the terrain triangle list B (type 6, world coordinates):
// the deepest contact over the list's full-test triangles, with that
// triangle's material in materialIndexB.
void neCollideConvexTerrain(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                            const neGeometry& b);

// The dispatcher's entry for the pairs (8, 8), (3, 8) and (8, 3): copies
// the convex test's contact into the record, valid 0 when it finds none.
void neCollideConvexPair(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                         const neGeometry& b, const neT3& transformB);

// Closest points of segments P0–P1 and Q0–Q1, both parameters in [0, 1).
// False for a degenerate segment, near-parallel segments or a parameter
// outside the segments.
bool neSegmentClosestPointsConvex(const neV3& p0, const neV3& p1, const neV3& q0, const neV3& q1, neV3& onP,
                                  neV3& onQ);
