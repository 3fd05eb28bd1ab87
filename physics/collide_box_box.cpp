// Box against box: separating axes over the three face axes of each box and
// the nine crossed edge axes, stopping at the first one that separates. The
// contact is the axis of least penetration; face axes win near ties when the
// deepest corner lies over the face, and an edge axis must be strictly
// shallower than every face axis.
#include "physics/narrow_phase.h"

namespace {

// Best face axis so far. Its normal and points follow the box that owns the
// axis until the record is flipped between the two boxes.
struct FaceRecord {
    neV3 pointA, pointB, normal;
    f32 depth;
    bool found;
    bool edge;
};

// Best edge axis so far, with the two edges that produced it.
struct EdgeRecord {
    neV3 pointA, pointB, normal;
    neV3 edgeA[2], edgeB[2];
    f32 depth;
    bool found;
};

f32 Sign(f32 v) { return v > 0.0f ? 1.0f : -1.0f; }

// Face axis k of box p against box q. False when the axis separates.
bool TestFaceAxis(const neBoxDescriptor& p, s32 k, const neBoxDescriptor& q, FaceRecord& rec) {
    const neV3 d = q.transform->pos - p.transform->pos;
    neV3 n = p.transform->rot[k];
    f32 s = d.Dot(n);
    if (s < 0.0f) n = -n;

    f32 proj[3];
    for (s32 i = 0; i < 3; ++i) proj[i] = q.axes[i].Dot(n);
    const f32 depth = p.HalfExtent(k) + neAbs(proj[0]) + neAbs(proj[1]) + neAbs(proj[2]) - neAbs(s);
    if (depth <= 0.0f) return false;

    // q's corner deepest inside p.
    const neV3 corner = q.transform->pos - q.axes[0] * Sign(proj[0]) - q.axes[1] * Sign(proj[1]) -
                        q.axes[2] * Sign(proj[2]);

    bool replace;
    if (rec.depth > depth + NE_FACE_TIE_TOLERANCE) {
        replace = true;
    } else if (neAbs(depth - rec.depth) >= NE_FACE_TIE_EXACT) {
        replace = false;
    } else {
        // A true tie: take this face only when the corner lies over it.
        const s32 j1 = (k + 1) % 3, j2 = (k + 2) % 3;
        const neV3 rel = corner - p.transform->pos;
        replace = neAbs(rel.Dot(p.transform->rot[j1])) <= NE_FACE_OVERHANG * p.HalfExtent(j1) &&
                  neAbs(rel.Dot(p.transform->rot[j2])) <= NE_FACE_OVERHANG * p.HalfExtent(j2);
    }
    if (replace) {
        rec.depth = depth;
        rec.pointA = corner;
        rec.pointB = corner + n * depth;
        rec.normal = n;
        rec.found = true;
    }
    return true;
}

// A's axis i crossed with B's axis j. False when the axis separates.
bool TestEdgeAxis(const neBoxDescriptor& a, s32 i, const neBoxDescriptor& b, s32 j, EdgeRecord& rec) {
    const neV3 l = a.transform->rot[i].Cross(b.transform->rot[j]);
    const f32 lengthSq = l.Dot(l);
    if (lengthSq < NE_ZERO) return true;  // parallel edges: no axis
    neV3 n = l * (1.0f / std::sqrt(lengthSq));
    const f32 s = (b.transform->pos - a.transform->pos).Dot(n);
    if (s < 0.0f) n = -n;

    const s32 a1 = (i + 1) % 3, a2 = (i + 2) % 3;
    const s32 b1 = (j + 1) % 3, b2 = (j + 2) % 3;
    const f32 pa1 = a.axes[a1].Dot(n), pa2 = a.axes[a2].Dot(n);
    const f32 pb1 = b.axes[b1].Dot(n), pb2 = b.axes[b2].Dot(n);
    const f32 depth = neAbs(pa1) + neAbs(pa2) + neAbs(pb1) + neAbs(pb2) - neAbs(s);
    if (depth <= 0.0f) return false;
    if (depth < rec.depth) {
        rec.depth = depth;
        rec.found = true;
        // Middle of A's edge nearest B, and of B's edge nearest A.
        rec.pointA = a.transform->pos + a.axes[a1] * Sign(pa1) + a.axes[a2] * Sign(pa2);
        rec.pointB = b.transform->pos - b.axes[b1] * Sign(pb1) - b.axes[b2] * Sign(pb2);
        rec.normal = n;
        rec.edgeA[0] = rec.pointA + a.axes[i];
        rec.edgeA[1] = rec.pointA - a.axes[i];
        rec.edgeB[0] = rec.pointB + b.axes[j];
        rec.edgeB[1] = rec.pointB - b.axes[j];
    }
    return true;
}

bool IsDegenerateDirection(const neV3& d) {
    return neAbs(d.x) < NE_ZERO && neAbs(d.y) < NE_ZERO && neAbs(d.z) < NE_ZERO;
}

}  // namespace

neBoxDescriptor::neBoxDescriptor(const neGeometry& box, const neT3& world)
    : geometry(&box), transform(&world), cornersValid(false), corners{} {
    axes[0] = world.rot[0] * box.shape.box.hx;
    axes[1] = world.rot[1] * box.shape.box.hy;
    axes[2] = world.rot[2] * box.shape.box.hz;
}

f32 neBoxDescriptor::HalfExtent(s32 k) const {
    return k == 0 ? geometry->shape.box.hx : (k == 1 ? geometry->shape.box.hy : geometry->shape.box.hz);
}

void neBoxDescriptor::ComputeCorners() {
    for (s32 c = 0; c < 8; ++c) {
        const f32 s0 = (c & 4) ? -1.0f : 1.0f;
        const f32 s1 = (c & 2) ? -1.0f : 1.0f;
        const f32 s2 = (c & 1) ? -1.0f : 1.0f;
        corners[c] = transform->pos + axes[0] * s0 + axes[1] * s1 + axes[2] * s2;
    }
    cornersValid = true;
}

bool neSegmentClosestPoints(neSegmentPair& pair, f32& s, f32& t) {
    pair.found = false;
    const neV3 dA = pair.endA - pair.startA;
    const neV3 dB = pair.endB - pair.startB;
    if (IsDegenerateDirection(dA) || IsDegenerateDirection(dB)) return false;
    const neV3 r = pair.startA - pair.startB;
    const f32 a = dA.Dot(dA), b = dA.Dot(dB), c = dB.Dot(dB);
    const f32 e = dB.Dot(r), f = dA.Dot(r);
    const f32 det = a * c - b * b;
    if (neAbs(det) < NE_ZERO) return false;
    s = (b * e - f * c) / det;
    t = (s * b + e) / c;
    pair.pointA = pair.startA + dA * s;
    pair.pointB = pair.startB + dB * t;
    const neV3 gap = pair.pointA - pair.pointB;
    pair.distance = std::sqrt(gap.Dot(gap));
    pair.found = s >= 0.0f && s < 1.0f && t >= 0.0f && t < 1.0f;
    return true;
}

neV3 neClosestPointOnSegment(const neV3& p, const neV3& a, const neV3& b) {
    const neV3 d = b - a;
    const f32 lengthSq = d.Dot(d);
    if (lengthSq < NE_ZERO * NE_ZERO) return a;
    f32 t = (p - a).Dot(d) / lengthSq;
    if (t < 0.0f) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    return a + d * t;
}

void neCollideBoxBox(neCollisionResult& result, const neGeometry& boxA, const neT3& worldA,
                     const neGeometry& boxB, const neT3& worldB) {
    result.valid = 0;
    const neBoxDescriptor a(boxA, worldA);
    const neBoxDescriptor b(boxB, worldB);

    FaceRecord face{};
    face.depth = NE_NO_DEPTH;
    for (s32 k = 0; k < 3; ++k)
        if (!TestFaceAxis(a, k, b, face)) return;
    // From here on the record's normal points from B toward A and its first
    // point lies on A.
    face.normal = -face.normal;
    neV3 swap = face.pointA;
    face.pointA = face.pointB;
    face.pointB = swap;
    for (s32 k = 0; k < 3; ++k)
        if (!TestFaceAxis(b, k, a, face)) return;

    EdgeRecord edge{};
    edge.depth = face.depth;
    for (s32 i = 0; i < 3; ++i)
        for (s32 j = 0; j < 3; ++j)
            if (!TestEdgeAxis(a, i, b, j, edge)) return;

    if (edge.found) {
        neSegmentPair pair{};
        pair.startA = edge.edgeA[0];
        pair.endA = edge.edgeA[1];
        pair.startB = edge.edgeB[0];
        pair.endB = edge.edgeB[1];
        f32 s, t;
        if (neSegmentClosestPoints(pair, s, t) && pair.found) {
            face.pointA = pair.pointA;
            face.pointB = pair.pointB;
        }
        face.edge = true;
        face.depth = edge.depth;
        face.normal = -edge.normal;
    }
    if (!face.found) return;
    neSetContact(result, face.depth, face.normal, face.pointA, face.pointB);
}
