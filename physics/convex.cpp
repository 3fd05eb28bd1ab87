// Feature-based separating-axis search between two convex polytopes.
#include "physics/convex.h"

#include <cstring>

neConvexBlockLayout::neConvexBlockLayout(s32 faceCount, s32 vertexCount) {
    const size_t f = static_cast<size_t>(faceCount), v = static_cast<size_t>(vertexCount);
    facePlanes = sizeof(neConvexHeader);
    vertices = facePlanes + sizeof(neV3) * f;
    faceRecords = vertices + sizeof(neV3) * v;
    vertexRecords = faceRecords + sizeof(neConvexFaceRecord) * f;
    edgeRecords = vertexRecords + sizeof(neConvexVertexRecord) * v;
}

namespace {

// Best metric before any axis was tested.
constexpr f32 START_METRIC = -1.0e6f;
// Metric of an axis whose measure has no denominator: it neither separates
// nor becomes the best axis.
constexpr f32 DEGENERATE_METRIC = -1.0e30f;
// The search direction runs between the two positions shifted by these, so
// that it is not the exact difference of two symmetric placements.
constexpr f32 DIRECTION_SHIFT_A = 0.1f;
constexpr f32 DIRECTION_SHIFT_B = 0.2f;

// ---- Box tables: vertex i has the signs (bit 2 x, bit 1 y, bit 0 z; set = +).

const neV3 kBoxFaceNormals[6] = {{0, 1, 0, 0}, {0, -1, 0, 0}, {1, 0, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, -1, 0}};
const u8 kBoxFaceNeighbours[6][4] = {{2, 3, 4, 5}, {2, 3, 4, 5}, {0, 1, 4, 5}, {0, 1, 4, 5}, {0, 1, 2, 3}, {0, 1, 2, 3}};
const u8 kBoxFaceVertices[6][4] = {{2, 3, 6, 7}, {0, 1, 4, 5}, {4, 5, 6, 7}, {0, 1, 2, 3}, {1, 3, 5, 7}, {0, 2, 4, 6}};
const u8 kBoxFaceEdges[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 4, 8, 9}, {1, 5, 10, 11}, {2, 8, 6, 10}, {3, 7, 9, 11}};
const neConvexEdgeRecord kBoxEdges[12] = {
    {{0, 2}, {6, 7}}, {{0, 3}, {2, 3}}, {{0, 4}, {3, 7}}, {{0, 5}, {2, 6}}, {{1, 2}, {4, 5}}, {{1, 3}, {0, 1}},
    {{1, 4}, {1, 5}}, {{1, 5}, {0, 4}}, {{2, 4}, {5, 7}}, {{2, 5}, {4, 6}}, {{3, 4}, {1, 3}}, {{3, 5}, {0, 2}}};
const u8 kBoxVertexEdges[8][4] = {{5, 7, 11, NE_CONVEX_LIST_END}, {5, 6, 10, NE_CONVEX_LIST_END},
                                  {1, 3, 11, NE_CONVEX_LIST_END}, {1, 2, 10, NE_CONVEX_LIST_END},
                                  {4, 7, 9, NE_CONVEX_LIST_END},  {4, 6, 8, NE_CONVEX_LIST_END},
                                  {0, 3, 9, NE_CONVEX_LIST_END},  {0, 2, 8, NE_CONVEX_LIST_END}};
const neConvexFaceRecord kBoxFaceRecords[6] = {
    {kBoxFaceNeighbours[0], kBoxFaceVertices[0], kBoxFaceEdges[0]},
    {kBoxFaceNeighbours[1], kBoxFaceVertices[1], kBoxFaceEdges[1]},
    {kBoxFaceNeighbours[2], kBoxFaceVertices[2], kBoxFaceEdges[2]},
    {kBoxFaceNeighbours[3], kBoxFaceVertices[3], kBoxFaceEdges[3]},
    {kBoxFaceNeighbours[4], kBoxFaceVertices[4], kBoxFaceEdges[4]},
    {kBoxFaceNeighbours[5], kBoxFaceVertices[5], kBoxFaceEdges[5]}};
const neConvexVertexRecord kBoxVertexRecords[8] = {{kBoxVertexEdges[0]}, {kBoxVertexEdges[1]}, {kBoxVertexEdges[2]},
                                                   {kBoxVertexEdges[3]}, {kBoxVertexEdges[4]}, {kBoxVertexEdges[5]},
                                                   {kBoxVertexEdges[6]}, {kBoxVertexEdges[7]}};

// ---- Triangle tables: face 0 is the front, face 1 the back; edge k runs
// from vertex k to vertex k + 1 and joins the two faces.

const u8 kTriangleNeighbours[2][3] = {{0, 1, 0}, {1, 0, 0}};
const u8 kTriangleFaceVertices[3] = {0, 1, 2};
const u8 kTriangleFaceEdges[3] = {0, 1, 2};
const neConvexEdgeRecord kTriangleEdges[3] = {{{0, 1}, {0, 1}}, {{0, 1}, {1, 2}}, {{0, 1}, {2, 0}}};
const u8 kTriangleVertexEdges[3][3] = {{0, 2, NE_CONVEX_LIST_END}, {0, 1, NE_CONVEX_LIST_END},
                                       {1, 2, NE_CONVEX_LIST_END}};
const neConvexFaceRecord kTriangleFaceRecords[2] = {
    {kTriangleNeighbours[0], kTriangleFaceVertices, kTriangleFaceEdges},
    {kTriangleNeighbours[1], kTriangleFaceVertices, kTriangleFaceEdges}};
const neConvexVertexRecord kTriangleVertexRecords[3] = {
    {kTriangleVertexEdges[0]}, {kTriangleVertexEdges[1]}, {kTriangleVertexEdges[2]}};

// ---- Working state of one test.

struct EdgePair {
    u8 a, b;
};

// Every distinct pair of edges fits, so the stack never overflows; the push
// still checks its bound.
constexpr s32 EDGE_STACK_CAPACITY = NE_CONVEX_MAX_EDGES * NE_CONVEX_MAX_EDGES;

struct Scratch {
    neV3 dir;
    f32 dirLength;
    // Against a terrain triangle axes are ranked by penetration depth: a
    // triangle has no centre the direction measure could use (its extent
    // along a tilted axis is that of the whole triangle, so tilted axes would
    // win over its own face and give contacts metres away).
    bool rankByDepth;
    neV3 cornersA[8];
    neV3 cornersB[8];
    neV3 triangleVertices[3];
    neV3 trianglePlanes[2];
    neV3 triangleEdgeOutward[3];  // in the triangle's plane, away from it, per edge
    u8 visited[NE_CONVEX_MAX_FACES];
    EdgePair stack[EDGE_STACK_CAPACITY];
    s32 stackCount;
    u8 onStack[NE_CONVEX_MAX_EDGES + 1][NE_CONVEX_MAX_EDGES + 1];
};

thread_local Scratch gScratch;

struct Polytope {
    bool box;
    neConvexView view;
    neT3 transform;  // world
    neV3 centre;     // world position from which the search direction is taken

    neV3 WorldVertex(s32 i) const { return transform * view.vertices[i]; }
    neV3 WorldFaceNormal(s32 f) const { return transform.rot * view.faces[f]; }
    const u8* VertexEdges(s32 v) const { return view.vertexRecords[v].edges; }
    const neConvexEdgeRecord& Edge(s32 e) const { return view.edges[e]; }
};

// One face or edge search: the faces of `p` are tested against `q`.
struct Search {
    const Polytope* p;
    const Polytope* q;
    f32 metric;
    s32 face;    // face of p, or the edge of A
    s32 other;   // support vertex of q, or the edge of B
    neV3 planeNormal;
    f32 planeOffset;

    // The axis of measure m becomes the best so far.
    void Take(f32 m, s32 faceOrEdge, s32 otherFeature, const neV3& normal, f32 offset) {
        metric = m;
        face = faceOrEdge;
        other = otherFeature;
        planeNormal = normal;
        planeOffset = offset;
    }
};

// The separation measure of an axis: m ≥ 0 separates; among the others a
// larger m means less penetration.
f32 AxisMetric(neV3 n, f32 d) {
    if (gScratch.rankByDepth) return -d;
    if (d < 0.0f) {
        n = -n;
        d = -d;
    }
    // |dir| scales every axis of one test alike, so a zero length is left out
    // instead of dividing by it.
    f32 den = d - gScratch.dir.Dot(n);
    if (gScratch.dirLength > 0.0f) den *= gScratch.dirLength;
    if (std::fabs(den) < NE_ZERO) return d > 0.0f ? DEGENERATE_METRIC : 0.0f;
    return -d / den;
}

// Vertex of q farthest along −v (v a world direction).
s32 Support(const Polytope& q, const neV3& v) {
    neV3 d = q.transform.rot.TransposeMul(-v);
    if (q.box) return (d.x >= 0.0f ? 4 : 0) + (d.y >= 0.0f ? 2 : 0) + (d.z >= 0.0f ? 1 : 0);
    s32 current = 0;
    f32 best = START_METRIC;
    for (bool moved = true; moved;) {
        moved = false;
        const u8* edges = q.VertexEdges(current);
        for (s32 k = 0; k < NE_CONVEX_MAX_EDGES && edges[k] != NE_CONVEX_LIST_END; ++k) {
            const neConvexEdgeRecord& e = q.Edge(edges[k]);
            s32 other = e.vertex[0] == current ? e.vertex[1] : e.vertex[0];
            if (other >= q.view.vertexCount) continue;
            f32 projection = q.view.vertices[other].Dot(d);
            if (projection > best) {
                best = projection;
                current = other;
                moved = true;
                break;
            }
        }
    }
    return current;
}

// False when face f of s.p separates the two polytopes.
bool TestFace(Search& s, s32 f, bool& improved) {
    gScratch.visited[f] = 1;
    neV3 n = s.p->WorldFaceNormal(f);
    f32 offset = n.Dot(s.p->WorldVertex(s.p->view.faceRecords[f].vertices[0]));
    s32 w = Support(*s.q, n);
    f32 d = offset - n.Dot(s.q->WorldVertex(w));
    f32 m = AxisMetric(n, d);
    if (m >= 0.0f) return false;
    if (!(m > s.metric)) return true;
    s.Take(m, f, w, n, d);
    improved = true;
    return true;
}

void ClearVisited(const Polytope& p) {
    std::memset(gScratch.visited, 0, static_cast<size_t>(p.view.faceCount));
}

// Climbs from the start face to better neighbours, then tests the faces the
// climb did not reach: the measure has local optima (coplanar triangles of
// one side never improve on each other, and a box can stall on a side face),
// and a stalled climb would report a contact many times too deep or miss a
// separating face. False when separated.
bool FaceSearch(Search& s, s32 start, bool& improved) {
    ClearVisited(*s.p);
    s.face = start;
    if (!TestFace(s, start, improved)) return false;
    for (;;) {
        const u8* neighbours = s.p->view.faceRecords[s.face].neighbours;
        bool better = false;
        for (s32 k = 0; k < s.p->view.edgesPerFace; ++k) {
            s32 g = neighbours[k];
            if (g >= s.p->view.faceCount || gScratch.visited[g]) continue;
            if (!TestFace(s, g, better)) return false;
        }
        if (!better) break;
        improved = true;
    }
    for (s32 f = 0; f < s.p->view.faceCount; ++f)
        if (!gScratch.visited[f] && !TestFace(s, f, improved)) return false;
    return true;
}

// ---- Edge pairs.

void ClearStack() {
    for (s32 i = 0; i < gScratch.stackCount; ++i) gScratch.onStack[gScratch.stack[i].a][gScratch.stack[i].b] = 0;
    gScratch.stackCount = 0;
}

// Appends (a, b) unless it or (b, a) is on the stack already.
void Push(s32 a, s32 b) {
    if (a > NE_CONVEX_MAX_EDGES || b > NE_CONVEX_MAX_EDGES) return;
    if (gScratch.onStack[a][b] || gScratch.onStack[b][a]) return;
    if (gScratch.stackCount >= EDGE_STACK_CAPACITY) return;
    gScratch.onStack[a][b] = 1;
    gScratch.stack[gScratch.stackCount++] = EdgePair{static_cast<u8>(a), static_cast<u8>(b)};
}

bool Pop(s32& a, s32& b) {
    if (gScratch.stackCount == 0) return false;
    EdgePair p = gScratch.stack[--gScratch.stackCount];
    gScratch.onStack[p.a][p.b] = 0;
    a = p.a;
    b = p.b;
    return true;
}

f32 Triple(const neV3& x, const neV3& y, const neV3& z) { return x.Dot(y.Cross(z)); }

// Whether the arc a–b crosses the arc c–d on the sphere of normals. The
// products that must be negative lie below −tolerance.
bool ArcsCross(const neV3& a, const neV3& b, const neV3& c, const neV3& d, f32 tolerance) {
    f32 cba = Triple(c, b, a), dba = Triple(d, b, a);
    f32 adc = Triple(a, d, c), bdc = Triple(b, d, c);
    return cba * dba < -tolerance && adc * bdc < -tolerance && cba * bdc > 0.0f;
}

// Whether the pair (eA, eB) makes a face of the Minkowski difference. A
// triangle's edge joins two opposite faces, so its arc is the half circle
// through the edge's outward direction, tested as two quarter arcs.
bool GaussTest(const Polytope& a, s32 eA, const Polytope& b, s32 eB, bool triangleB) {
    const neConvexEdgeRecord& ea = a.Edge(eA);
    const neConvexEdgeRecord& eb = b.Edge(eB);
    neV3 na = a.WorldFaceNormal(ea.face[0]), nb = a.WorldFaceNormal(ea.face[1]);
    neV3 nc = -b.WorldFaceNormal(eb.face[0]), nd = -b.WorldFaceNormal(eb.face[1]);
    if (!triangleB) return ArcsCross(na, nb, nc, nd, 0.0f);
    neV3 middle = -gScratch.triangleEdgeOutward[eB];
    return ArcsCross(na, nb, nc, middle, NE_ZERO) || ArcsCross(na, nb, middle, nd, NE_ZERO);
}

void EdgeEnds(const Polytope& p, s32 e, neV3& p0, neV3& p1) {
    p0 = p.WorldVertex(p.Edge(e).vertex[0]);
    p1 = p.WorldVertex(p.Edge(e).vertex[1]);
}

void PushAround(s32 fixedA, s32 fixedB, const Polytope& around, s32 edge, bool varyB) {
    for (s32 end = 0; end < 2; ++end) {
        const u8* list = around.VertexEdges(around.Edge(edge).vertex[end]);
        for (s32 k = 0; k < NE_CONVEX_MAX_EDGES && list[k] != NE_CONVEX_LIST_END; ++k) {
            if (list[k] == edge) continue;
            if (varyB)
                Push(fixedA, list[k]);
            else
                Push(list[k], fixedB);
        }
    }
}

enum class EdgeAxis { Separates, NoBetter, Improves };

// The axis of one edge pair, when the pair makes a face of the Minkowski
// difference; it becomes the search's best when it is better.
EdgeAxis TestEdgePair(Search& s, s32 eA, s32 eB, bool triangleB) {
    const Polytope& a = *s.p;
    const Polytope& b = *s.q;
    if (!GaussTest(a, eA, b, eB, triangleB)) return EdgeAxis::NoBetter;
    neV3 pA0, pA1, pB0, pB1;
    EdgeEnds(a, eA, pA0, pA1);
    EdgeEnds(b, eB, pB0, pB1);
    neV3 l = (pA1 - pA0).Cross(pB1 - pB0);
    f32 l2 = l.Dot(l);
    if (l2 < NE_ZERO) return EdgeAxis::NoBetter;
    f32 length = std::sqrt(l2);
    if (length < NE_ZERO) return EdgeAxis::NoBetter;
    l *= 1.0f / length;
    // Ranked by depth, the axis must point out of A for the offset to be
    // the penetration.
    if (gScratch.rankByDepth && l.Dot(pA0 - a.centre) < 0.0f) l = -l;
    f32 offset = l.Dot(pA0 - pB0);
    f32 m = AxisMetric(l, offset);
    if (m >= 0.0f) return EdgeAxis::Separates;
    if (!(m > s.metric)) return EdgeAxis::NoBetter;
    s.Take(m, eA, eB, l, offset);
    return EdgeAxis::Improves;
}

// Pairs every edge of the face with every edge at the vertex; then, since a
// side of a polytope given as triangles is split into several faces, every
// further edge at the face's corners likewise, so that the side's outline is
// seeded whichever of its triangles won.
void SeedPairs(const Polytope& facePolytope, s32 face, const Polytope& vertexPolytope, s32 vertex, bool faceIsA) {
    const u8* faceEdges = facePolytope.view.faceRecords[face].edges;
    const u8* corners = facePolytope.view.faceRecords[face].vertices;
    const u8* vertexEdges = vertexPolytope.VertexEdges(vertex);
    auto pairWithVertex = [&](s32 edge) {
        for (s32 k = 0; k < NE_CONVEX_MAX_EDGES && vertexEdges[k] != NE_CONVEX_LIST_END; ++k)
            if (faceIsA)
                Push(edge, vertexEdges[k]);
            else
                Push(vertexEdges[k], edge);
    };
    for (s32 i = 0; i < facePolytope.view.edgesPerFace; ++i) pairWithVertex(faceEdges[i]);
    for (s32 i = 0; i < facePolytope.view.edgesPerFace; ++i) {
        if (corners[i] >= facePolytope.view.vertexCount) continue;
        const u8* around = facePolytope.VertexEdges(corners[i]);
        for (s32 k = 0; k < NE_CONVEX_MAX_EDGES && around[k] != NE_CONVEX_LIST_END; ++k) pairWithVertex(around[k]);
    }
}

// Searches the edge pairs seeded from the winning face and support vertex.
// False when an edge axis separates.
bool FeatureSearch(Search& s, bool faceOfA, s32 face, s32 vertex, bool& improved, bool triangleB) {
    const Polytope& a = *s.p;
    const Polytope& b = *s.q;
    ClearStack();
    if (faceOfA)
        SeedPairs(a, face, b, vertex, true);
    else
        SeedPairs(b, face, a, vertex, false);
    s32 eA, eB;
    while (Pop(eA, eB)) {
        EdgeAxis axis = TestEdgePair(s, eA, eB, triangleB);
        if (axis == EdgeAxis::Separates) return false;
        if (axis != EdgeAxis::Improves) continue;
        improved = true;
        PushAround(eA, eB, b, eB, true);
        PushAround(eA, eB, a, eA, false);
    }
    // The walk above is local and can stall before the axis that separates
    // the two; the remaining pairs are few for the shapes in use, so every
    // pair gets its test.
    for (eA = 0; eA < a.view.edgeCount; ++eA)
        for (eB = 0; eB < b.view.edgeCount; ++eB) {
            EdgeAxis axis = TestEdgePair(s, eA, eB, triangleB);
            if (axis == EdgeAxis::Separates) return false;
            if (axis == EdgeAxis::Improves) improved = true;
        }
    return true;
}

// The contact of the winning face search.
void FaceContact(neCollisionResult& out, const Search& winner, bool faceOfB) {
    const neV3& n = winner.planeNormal;
    f32 d = winner.planeOffset;
    neV3 w = winner.q->WorldVertex(winner.other);
    out.depth = d;
    if (faceOfB) {
        out.normal = n;
        out.pointA = w;
        out.pointB = w + n * d;
    } else {
        out.normal = -n;
        out.pointB = w;
        out.pointA = w + n * d;
    }
    out.valid = 1;
}

// Box or convex A against box, convex or the loaded triangle B.
bool CollidePolytopes(neCollisionResult& out, const Polytope& a, const Polytope& b, bool triangleB) {
    out.valid = 0;
    gScratch.rankByDepth = triangleB;
    const neV3 shiftA = neMakeV3(DIRECTION_SHIFT_A, DIRECTION_SHIFT_A, DIRECTION_SHIFT_A);
    const neV3 shiftB = neMakeV3(DIRECTION_SHIFT_B, DIRECTION_SHIFT_B, DIRECTION_SHIFT_B);
    gScratch.dir = (a.centre + shiftA) - (b.centre + shiftB);
    gScratch.dirLength = gScratch.dir.Length();

    Search first{&a, &b, START_METRIC, 0, 0, {}, 0.0f};
    bool improved = false;
    if (!FaceSearch(first, 0, improved)) { return false; }

    gScratch.dir = -gScratch.dir;
    Search second{&b, &a, first.metric, 0, 0, {}, 0.0f};
    improved = false;
    if (triangleB) {
        ClearVisited(b);
        if (!TestFace(second, 0, improved) || !TestFace(second, 1, improved)) return false;
    } else {
        u8 edge = b.VertexEdges(first.other)[0];
        s32 start = edge == NE_CONVEX_LIST_END ? 0 : b.Edge(edge).face[0];
        if (!FaceSearch(second, start, improved)) { return false; }
    }
    const bool faceOfB = second.metric > first.metric;
    const Search& winner = faceOfB ? second : first;
    gScratch.dir = -gScratch.dir;

    Search edges{&a, &b, winner.metric, 0, 0, {}, 0.0f};
    improved = false;
    if (!FeatureSearch(edges, !faceOfB, winner.face, winner.other, improved, triangleB)) { return false; }
    if (!improved) {
        FaceContact(out, winner, faceOfB);
        return true;
    }
    neV3 pA0, pA1, pB0, pB1;
    EdgeEnds(a, edges.face, pA0, pA1);
    EdgeEnds(b, edges.other, pB0, pB1);
    if (!neSegmentClosestPointsConvex(pA0, pA1, pB0, pB1, out.pointA, out.pointB)) {
        // The winning edges miss each other: the face contact stands. (Giving
        // no contact here would let deeply overlapping shapes pass through.)
        FaceContact(out, winner, faceOfB);
        return true;
    }
    out.depth = std::fabs(edges.planeOffset);
    out.normal = edges.planeOffset <= 0.0f ? edges.planeNormal : -edges.planeNormal;
    out.valid = 1;
    return true;
}

void FillBoxCorners(const neGeometry& g, neV3* corners) {
    for (s32 i = 0; i < 8; ++i)
        corners[i] = neMakeV3((i & 4) ? g.shape.box.hx : -g.shape.box.hx, (i & 2) ? g.shape.box.hy : -g.shape.box.hy,
                              (i & 1) ? g.shape.box.hz : -g.shape.box.hz);
}

bool MakePolytope(Polytope& p, const neGeometry& g, const neT3& transform, neV3* corners) {
    p.box = g.type == NE_SHAPE_BOX;
    if (p.box) FillBoxCorners(g, corners);
    if (!p.view.Init(g, corners)) return false;
    p.transform = transform;
    p.centre = transform.pos;
    return true;
}

// Loads a terrain triangle as polytope B: world vertices, identity frame,
// front and back faces and the outward directions of its edges.
void LoadTriangle(Polytope& p, const neV3& v0, const neV3& v1, const neV3& v2) {
    neV3* v = gScratch.triangleVertices;
    v[0] = v0;
    v[1] = v1;
    v[2] = v2;
    neV3 n = (v[1] - v[0]).Cross(v[2] - v[0]);
    n.Normalize();  // zero for a degenerate triangle
    gScratch.trianglePlanes[0] = n;
    gScratch.trianglePlanes[1] = -n;
    for (s32 k = 0; k < 3; ++k) {
        neV3 out = (v[(k + 1) % 3] - v[k]).Cross(n);
        gScratch.triangleEdgeOutward[k] = out.Normalize();
    }
    p.box = false;
    p.view.faceCount = 2;
    p.view.vertexCount = 3;
    p.view.edgesPerFace = 3;
    p.view.faces = gScratch.trianglePlanes;
    p.view.vertices = gScratch.triangleVertices;
    p.view.faceRecords = kTriangleFaceRecords;
    p.view.vertexRecords = kTriangleVertexRecords;
    p.view.edges = kTriangleEdges;
    p.view.edgeCount = 3;
    p.transform.SetIdentity();
    p.centre = (v[0] + v[1] + v[2]) * 0.3333333f;
}

}  // namespace

bool neConvexView::Init(const neGeometry& geometry, const neV3* boxCorners) {
    if (geometry.type == NE_SHAPE_BOX) {
        faceCount = 6;
        vertexCount = 8;
        edgesPerFace = 4;
        faces = kBoxFaceNormals;
        vertices = boxCorners;
        faceRecords = kBoxFaceRecords;
        vertexRecords = kBoxVertexRecords;
        edges = kBoxEdges;
        edgeCount = 12;
        return boxCorners != nullptr;
    }
    if (geometry.type != NE_SHAPE_CONVEX || !geometry.shape.convex.block) return false;
    const u8* block = geometry.shape.convex.block;
    neConvexHeader header;
    std::memcpy(&header, block, sizeof header);
    if (header.faceCount < 1 || header.faceCount > NE_CONVEX_MAX_FACES || header.vertexCount < 1 ||
        header.vertexCount > NE_CONVEX_MAX_VERTICES)
        return false;
    neConvexBlockLayout layout(header.faceCount, header.vertexCount);
    faceCount = header.faceCount;
    vertexCount = header.vertexCount;
    edgesPerFace = 3;
    faces = reinterpret_cast<const neV3*>(block + layout.facePlanes);
    vertices = reinterpret_cast<const neV3*>(block + layout.vertices);
    faceRecords = reinterpret_cast<const neConvexFaceRecord*>(block + layout.faceRecords);
    vertexRecords = reinterpret_cast<const neConvexVertexRecord*>(block + layout.vertexRecords);
    edges = reinterpret_cast<const neConvexEdgeRecord*>(block + layout.edgeRecords);
    // The block does not say how many edges it has: the largest number its
    // faces name tells.
    edgeCount = 0;
    for (s32 f = 0; f < faceCount; ++f)
        for (s32 k = 0; k < edgesPerFace; ++k) {
            s32 e = faceRecords[f].edges[k];
            if (e < NE_CONVEX_LIST_END && e + 1 > edgeCount) edgeCount = e + 1;
        }
    return true;
}

bool neSegmentClosestPointsConvex(const neV3& p0, const neV3& p1, const neV3& q0, const neV3& q1, neV3& onP,
                                  neV3& onQ) {
    neV3 da = p1 - p0, db = q1 - q0, r = p0 - q0;
    if (db.IsZero() || da.IsZero()) return false;
    f32 a = da.Dot(da), b = da.Dot(db), c = db.Dot(db), e = db.Dot(r), f = da.Dot(r);
    f32 det = a * c - b * b;
    if (std::fabs(det) < NE_ZERO) return false;
    f32 s = (b * e - f * c) / det;
    f32 t = (s * b + e) / c;
    if (!(s >= 0.0f && s < 1.0f && t >= 0.0f && t < 1.0f)) return false;
    onP = p0 + da * s;
    onQ = q0 + db * t;
    return true;
}

bool neCollideConvexConvex(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                           const neGeometry& b, const neT3& transformB) {
    out.valid = 0;
    Polytope pa, pb;
    if (!MakePolytope(pa, a, transformA, gScratch.cornersA) || !MakePolytope(pb, b, transformB, gScratch.cornersB))
        return false;
    return CollidePolytopes(out, pa, pb, false);
}

void neCollideConvexPair(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                         const neGeometry& b, const neT3& transformB) {
    neCollisionResult r;
    if (!neCollideConvexConvex(r, a, transformA, b, transformB)) {
        out.valid = 0;
        return;
    }
    out.pointA = r.pointA;
    out.pointB = r.pointB;
    out.normal = r.normal;
    out.depth = r.depth;
    out.valid = r.valid;
}

void neCollideConvexTerrain(neCollisionResult& out, const neGeometry& a, const neT3& transformA,
                            const neGeometry& b) {
    out.valid = 0;
    Polytope pa;
    if (b.type != NE_SHAPE_TRIANGLE_LIST || !b.triangleVertices || !MakePolytope(pa, a, transformA, gScratch.cornersA))
        return;
    neCollisionResult best{}, slot{};
    best.valid = 0;
    s32 material = 0;
    for (s32 i = 0; i < b.shape.mesh.indexCount; ++i) {
        const neTriangle& t = b.shape.mesh.triangles[b.shape.mesh.indices[i]];
        if (t.flags != NE_TRIANGLE_FULL_TEST) continue;
        Polytope tri;
        LoadTriangle(tri, b.triangleVertices[t.indices[0]], b.triangleVertices[t.indices[1]],
                     b.triangleVertices[t.indices[2]]);
        if (!CollidePolytopes(slot, pa, tri, true)) continue;
        if (best.valid && !(slot.depth > best.depth)) continue;
        best = slot;
        material = t.materialIndex;
    }
    if (!best.valid) return;
    neSetContact(out, best.depth, best.normal, best.pointA, best.pointB);
    out.materialIndexB = material;
}
