// Boxes, spheres and cylinders against terrain triangles. The terrain set
// (shape 6) holds candidate triangle indices into the terrain's triangle and
// vertex arrays, in world coordinates; each triangle is prepared once and
// tested by its flags (0 full test, 1 vertical test for boxes, anything else
// never collides). The deepest triangle wins; the first stays on a tie.
//
// Box-terrain runs for every body in every step of a race: it prepares each
// triangle once, reuses one box descriptor (corners computed only for the
// vertical test) and stops a triangle at its first separating axis.
#include "physics/narrow_phase.h"

namespace {

// One triangle's contact inside a terrain test.
struct Candidate {
    neV3 pointA, pointB, normal;
    f32 depth;
    bool found;
};

f32 Sign(f32 v) { return v > 0.0f ? 1.0f : -1.0f; }

// The candidate's contact into the result.
void Report(neCollisionResult& result, const Candidate& c) {
    neSetContact(result, c.depth, c.normal, c.pointA, c.pointB);
}

// ---- Box against one triangle ---------------------------------------------

// A triangle within this angle of the body's previous terrain contact normal
// (cosine) keeps that facing.
constexpr f32 NE_KEPT_FACING_COSINE = 0.7f;

// A triangle turned at least this far towards straight up or down (cosine)
// has an upper side.
constexpr f32 NE_UPPER_SIDE_COSINE = 0.5f;

// Which way a terrain test faces: the previous step's contact normal, the
// world's up, and the shape's centre.
struct Facing {
    neV3 kept, up, centre;
};

// The side of the triangle a shape is on: the side its terrain contact of the
// previous step faced, for a triangle turned towards that normal; the upper
// side when the shape's centre lies beside the triangle, neither over nor
// under it; otherwise the side of its centre (signed distance `s`). A flat
// slab that lands is answered at one corner, and its centre may pass the
// plane in the next step; on rough ground a centre sits below the planes of
// the steep triangles around the one it rests on. Taken from the centre alone
// the contact would push the shape on through.
bool FacesFront(const nePreparedTriangle& tri, f32 s, const Facing& facing) {
    const f32 along = tri.normal.Dot(facing.kept);
    if (along >= NE_KEPT_FACING_COSINE) return true;
    if (along <= -NE_KEPT_FACING_COSINE) return false;
    const f32 upward = tri.normal.Dot(facing.up);
    if (neAbs(upward) >= NE_UPPER_SIDE_COSINE && (s >= 0.0f) != (upward > 0.0f)) {
        s32 feature;
        if (neClassifyTrianglePoint(tri, facing.centre - tri.normal * s, feature) != NE_REGION_TRIANGLE)
            return upward > 0.0f;
    }
    return s >= 0.0f;
}

Facing TerrainFacing(const neGeometry& terrain, const neV3& centre) {
    return Facing{terrain.shape.mesh.keptFacing, terrain.shape.mesh.up, centre};
}

// A normal whose part against the triangle's facing side is larger than this
// would push a shape back through the triangle's plane.
constexpr f32 NE_BACK_PUSH_LIMIT = 0.01f;

// Whether an axis's contact normal is +axis: the side of least overlap
// (`shallowAlong`), unless that side pushes back through the plane facing
// `facing`: a thin slab lying on the ground overlaps the triangles reaching
// past its edges less from below than from above on its own face axis.
bool PushesAlong(const neV3& axis, const neV3& facing, bool shallowAlong) {
    const f32 part = axis.Dot(facing);
    if (part > NE_BACK_PUSH_LIMIT) return true;
    if (part < -NE_BACK_PUSH_LIMIT) return false;
    return shallowAlong;
}

// Separating-axis test of a box and one prepared triangle. False when an
// axis separates; otherwise `out` is the contact of least penetration (a
// depth of 0 on the triangle's normal axis counts as contact). `edge` tells
// whether the contact points came from an edge pair.
bool BoxTriangleSat(const neBoxDescriptor& box, const nePreparedTriangle& tri, const Facing& facing, Candidate& out,
                    bool& edge) {
    const neV3& c = box.transform->pos;
    const neM3& rot = box.transform->rot;
    edge = false;

    // Triangle normal, pointing to the side the box is on; no axis may push
    // the box back through the plane.
    const f32 s = tri.normal.Dot(c) - tri.d;
    const bool front = FacesFront(tri, s, facing);
    const neV3 a = front ? tri.normal : -tri.normal;
    f32 p[3];
    for (s32 k = 0; k < 3; ++k) p[k] = a.Dot(box.axes[k]);
    const f32 normalDepth = neAbs(p[0]) + neAbs(p[1]) + neAbs(p[2]) - (front ? s : -s);
    if (normalDepth < 0.0f) return false;
    out.depth = normalDepth;
    out.pointA = c - box.axes[0] * Sign(p[0]) - box.axes[1] * Sign(p[1]) - box.axes[2] * Sign(p[2]);
    out.pointB = out.pointA + a * normalDepth;
    out.normal = a;
    out.found = true;

    // Box face axes.
    for (s32 k = 0; k < 3; ++k) {
        const neV3& u = rot[k];
        const f32 centre = u.Dot(c), h = box.HalfExtent(k);
        const f32 boxMin = centre - h, boxMax = centre + h;
        f32 proj[3];
        s32 lo = 0, hi = 0;
        for (s32 v = 0; v < 3; ++v) {
            proj[v] = u.Dot(tri.vertex[v]);
            if (proj[v] < proj[lo]) lo = v;
            if (proj[v] > proj[hi]) hi = v;
        }
        if (boxMax <= proj[lo] || boxMin >= proj[hi]) return false;
        const f32 d1 = boxMax - proj[lo], d2 = proj[hi] - boxMin;
        const bool up = PushesAlong(u, a, d2 <= d1);
        const f32 depth = up ? d2 : d1;
        if (depth < out.depth) {
            const neV3 normal = up ? u : -u;
            const neV3& vertex = tri.vertex[up ? hi : lo];
            out.depth = depth;
            out.normal = normal;
            out.pointA = vertex;
            out.pointB = vertex + normal * depth;
        }
    }

    // Box axes crossed with the triangle's edges.
    bool edgeWon = false;
    Candidate edgeBest = out;
    neV3 boxEdge[2]{}, triEdge[2]{};
    neV3 unitEdge[3];
    for (s32 j = 0; j < 3; ++j) {
        unitEdge[j] = tri.edge[j];
        unitEdge[j].Normalize();
    }
    for (s32 i = 0; i < 3; ++i) {
        const s32 i1 = (i + 1) % 3, i2 = (i + 2) % 3;
        for (s32 j = 0; j < 3; ++j) {
            const neV3& e = unitEdge[j];
            if (e.x == 0.0f && e.y == 0.0f && e.z == 0.0f) continue;
            neV3 axis = rot[i].Cross(e);
            if (axis.IsZero()) continue;
            axis.Normalize();
            if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f) continue;
            const f32 centre = axis.Dot(c);
            const f32 extent = neAbs(box.axes[i1].Dot(axis)) + neAbs(box.axes[i2].Dot(axis));
            const f32 boxMin = centre - extent, boxMax = centre + extent;
            const f32 edgeProj = axis.Dot(tri.vertex[j]);
            const f32 oppositeProj = axis.Dot(tri.vertex[(j + 2) % 3]);
            const bool edgeIsMin = edgeProj <= oppositeProj;
            const f32 triMin = edgeIsMin ? edgeProj : oppositeProj;
            const f32 triMax = edgeIsMin ? oppositeProj : edgeProj;
            if (boxMax <= triMin || boxMin >= triMax) return false;
            const bool along = PushesAlong(axis, a, !edgeIsMin);
            const f32 depth = along ? triMax - boxMin : boxMax - triMin;
            if (depth < edgeBest.depth) {
                const neV3 normal = along ? axis : -axis;
                // The box edge along axis i on the side deepest into the triangle.
                const neV3 mid = c - box.axes[i1] * Sign(box.axes[i1].Dot(normal)) -
                                 box.axes[i2] * Sign(box.axes[i2].Dot(normal));
                edgeBest.depth = depth;
                edgeBest.normal = normal;
                boxEdge[0] = mid + box.axes[i];
                boxEdge[1] = mid - box.axes[i];
                triEdge[0] = tri.vertex[j];
                triEdge[1] = tri.vertex[(j + 1) % 3];
                edgeWon = true;
            }
        }
    }
    if (edgeWon) {
        neSegmentPair pair{};
        pair.startA = boxEdge[0];
        pair.endA = boxEdge[1];
        pair.startB = triEdge[0];
        pair.endB = triEdge[1];
        f32 sa, tb;
        if (neSegmentClosestPoints(pair, sa, tb)) {
            out = edgeBest;
            out.pointA = pair.pointA;
            out.pointB = pair.pointB;
            edge = true;
        }
    }
    return true;
}

// Vertical test for triangles flagged 1: the deepest box corner below the
// triangle's surface, measured straight up.
bool BoxTriangleVertical(neBoxDescriptor& box, const nePreparedTriangle& tri, Candidate& out) {
    if (neAbs(tri.normal.y) < NE_ZERO) return false;  // a wall has no height above a corner
    if (!box.cornersValid) box.ComputeCorners();
    const neV3* v = tri.vertex;
    bool found = false;
    f32 best = 0.0f;
    for (const neV3& corner : box.corners) {
        const f32 c0 = (v[1].x - v[0].x) * (corner.z - v[0].z) - (v[1].z - v[0].z) * (corner.x - v[0].x);
        const f32 c1 = (v[2].x - v[1].x) * (corner.z - v[1].z) - (v[2].z - v[1].z) * (corner.x - v[1].x);
        const f32 c2 = (v[0].x - v[2].x) * (corner.z - v[2].z) - (v[0].z - v[2].z) * (corner.x - v[2].x);
        if (c0 * c1 < 0.0f || c1 * c2 < 0.0f || c0 * c2 < 0.0f) continue;
        const f32 surface = (tri.d - tri.normal.x * corner.x - tri.normal.z * corner.z) / tri.normal.y;
        const f32 depth = surface - corner.y;
        if (depth > best) {
            best = depth;
            found = true;
            out.depth = depth;
            out.pointA = corner;
            out.pointB = neMakeV3(corner.x, surface, corner.z);
            out.normal = tri.normal;
        }
    }
    out.found = found;
    return found;
}

// ---- Sphere against one triangle ------------------------------------------

bool SphereTriangle(const neV3& c, f32 r, const nePreparedTriangle& tri, const Facing& sides, Candidate& out) {
    const f32 s = tri.normal.Dot(c) - tri.d;
    const f32 sigma = FacesFront(tri, s, sides) ? 1.0f : -1.0f;
    const f32 planeDepth = r - sigma * s;
    if (planeDepth <= 0.0f) return false;
    const neV3 facing = tri.normal * sigma;  // the triangle's side towards the centre
    const neV3 q = c - tri.normal * s;
    s32 feature = 0;
    const neTriangleRegion region = neClassifyTrianglePoint(tri, q, feature);

    neV3 nearest;
    if (region == NE_REGION_TRIANGLE) {
        out.depth = planeDepth;
        out.normal = facing;
        out.pointA = c - facing * r;
        out.pointB = q;
        out.found = true;
        return true;
    }
    if (region == NE_REGION_VERTEX) {
        nearest = tri.vertex[feature];
    } else {
        const neV3& start = tri.vertex[feature];
        neV3 dir = tri.edge[feature];
        const f32 length = dir.Length();
        if (length == 0.0f) return false;
        dir *= 1.0f / length;
        const f32 t = (c - start).Dot(dir);
        if (!(t > 0.0f && t < length)) return false;
        nearest = start + dir * t;
    }
    const neV3 w = c - nearest;
    const f32 dist = w.Length();
    const f32 depth = r - dist;
    if (depth <= 0.0f) return false;
    // A centre on the edge or vertex itself takes the triangle's facing normal.
    out.normal = dist > 0.0f ? w * (1.0f / dist) : facing;
    out.depth = depth;
    out.pointA = c - out.normal * r;
    out.pointB = nearest;
    out.found = true;
    return true;
}

// ---- Cylinder against one triangle ----------------------------------------

enum FaceResult { FACE_SEPARATED, FACE_CONTACT, FACE_NONE };

FaceResult CylinderTriangleFace(const neCylinderView& cyl, const nePreparedTriangle& tri, const Facing& facing,
                                Candidate& out) {
    const f32 s = tri.normal.Dot(cyl.centre) - tri.d;
    const f32 sigma = FacesFront(tri, s, facing) ? 1.0f : -1.0f;
    const neV3 a = tri.normal * -sigma;  // from the cylinder's side towards the plane
    if (!(cyl.radius + cyl.halfHeight > sigma * s)) return FACE_SEPARATED;
    const f32 k = cyl.halfHeight * cyl.axis.Dot(a);
    const neV3 end = k <= 0.0f ? cyl.centre - cyl.axis * cyl.halfHeight : cyl.centre + cyl.axis * cyl.halfHeight;
    const neV3 deepest = end + a * cyl.radius;
    const f32 depth = cyl.radius + neAbs(k) - sigma * s;
    if (depth <= 0.0f) return FACE_SEPARATED;
    if (depth < out.depth) {
        const neV3 q = deepest - a * depth;
        s32 feature;
        if (neClassifyTrianglePoint(tri, q, feature) == NE_REGION_TRIANGLE) {
            // The line from the centre through the deepest point must also
            // cross the plane inside the triangle.
            const neV3 toDeepest = deepest - cyl.centre;
            const f32 along = a.Dot(toDeepest);
            if (neAbs(along) >= NE_ZERO) {
                const f32 tau = (tri.d - tri.normal.Dot(cyl.centre)) / tri.normal.Dot(toDeepest);
                const neV3 cut = cyl.centre + toDeepest * tau;
                if (neClassifyTrianglePoint(tri, cut, feature) == NE_REGION_TRIANGLE) {
                    out.depth = depth;
                    out.pointA = deepest;
                    out.pointB = q;
                    out.normal = -a;
                    out.found = true;
                    return FACE_CONTACT;
                }
            }
        }
    }
    return FACE_NONE;
}

// The cylinder against edge k of the triangle. Replaces the candidate when
// it is positive and shallower.
void CylinderSegment(const neCylinderView& cyl, const nePreparedTriangle& tri, s32 k, Candidate& out) {
    const neV3& v0 = tri.vertex[k];
    const neV3& v1 = tri.vertex[(k + 1) % 3];
    neSegmentPair pair{};
    pair.startA = cyl.bottom;
    pair.endA = cyl.top;
    pair.startB = v0;
    pair.endB = v1;
    f32 s, t;
    if (!neSegmentClosestPoints(pair, s, t)) return;  // parallel
    neV3 x = pair.pointA, y = pair.pointB;
    if (!pair.found) {
        // A closest point beyond an end: that end against the other segment.
        if (s < 0.0f || s >= 1.0f) {
            x = s < 0.0f ? cyl.bottom : cyl.top;
            y = neClosestPointOnSegment(x, v0, v1);
        } else {
            y = t < 0.0f ? v0 : v1;
            x = neClosestPointOnSegment(y, cyl.bottom, cyl.top);
        }
    }
    const neV3 w = x - y;
    const f32 dist = w.Length();
    const f32 depth = cyl.radius - dist;
    if (depth <= 0.0f || !(depth < out.depth)) return;
    neV3 normal = neMakeV3(0.0f, 0.0f, 0.0f);
    if (pair.found) {
        normal = (v1 - v0).Cross(cyl.axis);
        normal.Normalize();
        if (normal.Dot(w) < 0.0f) normal = -normal;
    } else if (dist > 0.0f) {
        normal = w * (1.0f / dist);
    }
    if (normal.x == 0.0f && normal.y == 0.0f && normal.z == 0.0f) {
        // No direction between the two: the triangle's side facing the cylinder.
        normal = tri.normal.Dot(cyl.centre) - tri.d < 0.0f ? -tri.normal : tri.normal;
    }
    out.depth = depth;
    out.pointA = x - normal * cyl.radius;
    out.pointB = y;
    out.normal = normal;
    out.found = true;
}

bool CylinderTriangle(const neCylinderView& cyl, const nePreparedTriangle& tri, const Facing& facing, Candidate& out) {
    out.depth = 1.0e6f;
    out.found = false;
    const FaceResult face = CylinderTriangleFace(cyl, tri, facing, out);
    if (face == FACE_SEPARATED) return false;
    if (face == FACE_CONTACT) return true;
    out.depth = 1.0e6f;
    out.found = false;
    for (s32 k = 0; k < 3; ++k) CylinderSegment(cyl, tri, k, out);
    return out.found;
}

// ---- Walking the terrain set ----------------------------------------------

// World box of the shape being tested; triangles whose own box lies wholly
// outside it cannot touch the shape and are dropped before any other work.
struct Bounds {
    neV3 lo, hi;

    // Outside in x or z; in y too unless the triangle takes the vertical
    // test, which also finds corners deep below its surface.
    bool Misses(const neV3& a, const neV3& b, const neV3& c, bool vertical) const {
        return Outside(a.x, b.x, c.x, lo.x, hi.x) || Outside(a.z, b.z, c.z, lo.z, hi.z) ||
               (!vertical && Outside(a.y, b.y, c.y, lo.y, hi.y));
    }
    static bool Outside(f32 a, f32 b, f32 c, f32 lo, f32 hi) {
        return (a < lo && b < lo && c < lo) || (a > hi && b > hi && c > hi);
    }
};

Bounds AroundCentre(const neV3& centre, const neV3& half) { return Bounds{centre - half, centre + half}; }

neV3 AbsSum(const neV3& a, const neV3& b, const neV3& c) {
    return neMakeV3(neAbs(a.x) + neAbs(b.x) + neAbs(c.x), neAbs(a.y) + neAbs(b.y) + neAbs(c.y),
                    neAbs(a.z) + neAbs(b.z) + neAbs(c.z));
}

// Calls test(prepared triangle, triangle record, candidate) for every usable
// triangle of the set and keeps the strictly deepest contact.
template <typename Test>
void WalkTerrain(neCollisionResult& result, const neGeometry& terrain, const Bounds& bounds, Test test,
                 bool withUserData) {
    result.valid = 0;
    const s32* indices = terrain.shape.mesh.indices;
    const neTriangle* triangles = terrain.shape.mesh.triangles;
    const neV3* vertices = terrain.triangleVertices;
    if (!indices || !triangles || !vertices) return;

    Candidate slots[2];
    s32 best = -1;
    s32 material = 0;
    u32 userData = 0;
    nePreparedTriangle tri;
    for (s32 n = 0; n < terrain.shape.mesh.indexCount; ++n) {
        const neTriangle& t = triangles[indices[n]];
        if (t.flags != NE_TRIANGLE_FULL_TEST && t.flags != NE_TRIANGLE_VERTICAL_TEST) continue;
        const neV3& v0 = vertices[t.indices[0]];
        const neV3& v1 = vertices[t.indices[1]];
        const neV3& v2 = vertices[t.indices[2]];
        if (bounds.Misses(v0, v1, v2, t.flags == NE_TRIANGLE_VERTICAL_TEST)) continue;
        tri.Prepare(v0, v1, v2);
        if (tri.IsDegenerate()) continue;
        const s32 scratch = best == 0 ? 1 : 0;
        Candidate& c = slots[scratch];
        c.found = false;
        if (!test(tri, t, c)) continue;
        if (best < 0 || c.depth > slots[best].depth) {
            best = scratch;
            material = t.materialIndex;
            userData = t.userData;
        }
    }
    if (best < 0) return;
    Report(result, slots[best]);
    result.materialIndexB = material;
    if (withUserData) result.terrainUserData = static_cast<s32>(userData);
}

}  // namespace

void nePreparedTriangle::Prepare(const neV3& v0, const neV3& v1, const neV3& v2) {
    vertex[0] = v0;
    vertex[1] = v1;
    vertex[2] = v2;
    edge[0] = v1 - v0;
    edge[1] = v2 - v1;
    edge[2] = v0 - v2;
    normal = edge[0].Cross(edge[1]);
    normal.Normalize();
    d = normal.Dot(v0);
}

neTriangleRegion neClassifyTrianglePoint(const nePreparedTriangle& tri, const neV3& q, s32& feature) {
    // Work in the coordinate plane that drops the normal's largest component
    // (x before z before y on ties), keeping the cyclic order so each 2-D
    // cross product is the dropped component of the 3-D one.
    const f32 ax = neAbs(tri.normal.x), ay = neAbs(tri.normal.y), az = neAbs(tri.normal.z);
    s32 drop;
    if (ax >= ay && ax >= az)
        drop = 0;
    else if (az >= ay)
        drop = 2;
    else
        drop = 1;
    const s32 u = (drop + 1) % 3, v = (drop + 2) % 3;
    f32 e[3];
    for (s32 k = 0; k < 3; ++k) {
        const neV3& a = tri.vertex[k];
        const neV3& b = tri.vertex[(k + 1) % 3];
        e[k] = (b[u] - a[u]) * (q[v] - a[v]) - (b[v] - a[v]) * (q[u] - a[u]);
    }
    if ((e[0] > 0.0f && e[1] > 0.0f && e[2] > 0.0f) || (e[0] <= 0.0f && e[1] <= 0.0f && e[2] <= 0.0f))
        return NE_REGION_TRIANGLE;
    const bool positive = tri.normal[drop] > 0.0f;
    bool out[3];
    for (s32 k = 0; k < 3; ++k) out[k] = positive ? e[k] <= 0.0f : e[k] > 0.0f;
    for (s32 k = 0; k < 3; ++k) {
        const s32 previous = (k + 2) % 3;  // the edge that ends at vertex k
        if (out[k] && out[previous]) {
            feature = k;
            return NE_REGION_VERTEX;
        }
    }
    for (s32 k = 0; k < 3; ++k) {
        if (out[k]) {
            feature = k;
            return NE_REGION_EDGE;
        }
    }
    return NE_REGION_TRIANGLE;
}

void neCollideBoxTriangle(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                          const neGeometry& triangle, const neT3& worldTriangle) {
    result.valid = 0;
    const neV3* vertices = triangle.triangleVertices;
    if (!vertices) return;
    const s32* idx = triangle.shape.triangle.indices;
    nePreparedTriangle tri;
    tri.Prepare(worldTriangle * vertices[idx[0]], worldTriangle * vertices[idx[1]], worldTriangle * vertices[idx[2]]);
    if (tri.IsDegenerate()) return;
    const neBoxDescriptor desc(box, worldBox);
    Candidate c{};
    bool edge = false;
    // A lone triangle: its side is the side of the box's centre.
    const Facing facing{neMakeV3(0, 0, 0), neMakeV3(0, 0, 0), worldBox.pos};
    if (!BoxTriangleSat(desc, tri, facing, c, edge)) return;
    Report(result, c);
    if (!edge) result.pointB = result.pointA;
}

void neCollideBoxTerrain(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                         const neGeometry& terrain) {
    neBoxDescriptor desc(box, worldBox);
    const Bounds bounds = AroundCentre(worldBox.pos, AbsSum(desc.axes[0], desc.axes[1], desc.axes[2]));
    const Facing facing = TerrainFacing(terrain, worldBox.pos);
    WalkTerrain(
        result, terrain, bounds,
        [&desc, &facing](const nePreparedTriangle& tri, const neTriangle& t, Candidate& c) {
            if (t.flags == NE_TRIANGLE_VERTICAL_TEST) return BoxTriangleVertical(desc, tri, c);
            bool edge;
            return BoxTriangleSat(desc, tri, facing, c, edge);
        },
        true);
}

void neCollideSphereTerrain(neCollisionResult& result, const neGeometry& sphere, const neT3& worldSphere,
                            const neGeometry& terrain) {
    const neV3 centre = worldSphere.pos;
    const f32 r = sphere.shape.sphere.radius;
    const Facing facing = TerrainFacing(terrain, centre);
    WalkTerrain(
        result, terrain, AroundCentre(centre, neMakeV3(r, r, r)),
        [&](const nePreparedTriangle& tri, const neTriangle& t, Candidate& c) {
            return t.flags == NE_TRIANGLE_FULL_TEST && SphereTriangle(centre, r, tri, facing, c);
        },
        false);
}

void neCollideCylinderTerrain(neCollisionResult& result, const neGeometry& cylinder, const neT3& worldCylinder,
                              const neGeometry& terrain) {
    const neCylinderView view(cylinder, worldCylinder);
    const f32 r = view.radius;
    const neV3 reach = AbsSum(view.axis * view.halfHeight, neMakeV3(r, 0, 0), neMakeV3(0, r, r));
    const Facing facing = TerrainFacing(terrain, view.centre);
    WalkTerrain(
        result, terrain, AroundCentre(view.centre, reach),
        [&](const nePreparedTriangle& tri, const neTriangle& t, Candidate& c) {
            return t.flags == NE_TRIANGLE_FULL_TEST && CylinderTriangle(view, tri, facing, c);
        },
        false);
}
