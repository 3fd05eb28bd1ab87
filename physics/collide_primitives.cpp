// Spheres and cylinders against each other and against boxes. A cylinder is
// the segment of length 2 × half height along its frame's y column, swept by
// its radius: its ends are hemispheres. Wherever a direction would come from
// a distance that counts as zero, a fixed fallback takes its place (the
// box's face of least penetration, or the cylinder frame's x column), so no
// contact ever carries a NaN.
#include "physics/narrow_phase.h"

namespace {

f32 SignOf(f32 v) { return v >= 0.0f ? 1.0f : -1.0f; }

// Box axis of least penetration for a point inside the box (box frame): the
// axis k, its side sign and the penetration h_k − |p_k|. On a tie between x
// and y it picks y, between y and z it picks z.
s32 LeastPenetrationAxis(const neV3& p, const neV3& h, f32& sign, f32& penetration) {
    f32 b[3];
    for (s32 i = 0; i < 3; ++i) b[i] = h[i] - SignOf(p[i]) * p[i];
    s32 k;
    if (b[1] <= b[0])
        k = b[1] < b[2] ? 1 : 2;
    else
        k = b[0] < b[2] ? 0 : 2;
    sign = SignOf(p[k]);
    penetration = b[k];
    return k;
}

// Contact of a round shape of radius r centred at `centre` (world), `depth`
// into the box's face on axis k, side `sign`.
void FaceContact(neCollisionResult& result, const neT3& box, s32 k, f32 sign, f32 depth, const neV3& centre,
                 f32 r) {
    const neV3 normal = box.rot[k] * -sign;
    const neV3 pointB = centre + normal * r;
    neSetContact(result, depth, normal, pointB - normal * depth, pointB);
}

// Contact of a round shape of radius r centred at `centre` (world) whose
// centre lies inside the box at `local` (box frame): out through the face of
// least penetration.
void InsideBoxContact(neCollisionResult& result, const neT3& box, const neV3& half, const neV3& local,
                      const neV3& centre, f32 r) {
    f32 sign, penetration;
    const s32 k = LeastPenetrationAxis(local, half, sign, penetration);
    FaceContact(result, box, k, sign, penetration + r, centre, r);
}

neV3 HalfExtents(const neGeometry& box) {
    return neMakeV3(box.shape.box.hx, box.shape.box.hy, box.shape.box.hz);
}

// Keeps the deeper of two candidate contacts between cylinders (strictly
// deeper and positive).
struct CylinderBest {
    f32 depth = -1.0e6f;
    neV3 normal{}, pointA{}, pointB{};

    void Offer(f32 d, const neV3& n, const neV3& a, const neV3& b) {
        if (d > 0.0f && d > depth) {
            depth = d;
            normal = n;
            pointA = a;
            pointB = b;
        }
    }
};

// End a of A against end b of B, both hemispheres.
void CylinderEnds(CylinderBest& best, const neV3& a, f32 rA, const neV3& b, f32 rB, const neV3& fallback) {
    const neV3 w = a - b;
    const f32 dist = w.Length();
    const neV3 normal = dist > 0.0f ? w * (1.0f / dist) : fallback;
    best.Offer(rA + rB - dist, normal, a - normal * rA, b + normal * rB);
}

// End e of one cylinder against the side of the other, whose axis runs from
// `bottom` to `top`. The normal points from B toward A whichever side e is.
void CylinderEndSide(CylinderBest& best, const neV3& e, const neV3& bottom, const neV3& top, f32 rA, f32 rB,
                     bool endOfA, const neV3& fallback) {
    neV3 dir = top - bottom;
    dir.Normalize();
    const neV3 foot = bottom + dir * (e - bottom).Dot(dir);
    const neV3 w = e - foot;
    const f32 dist = w.Length();
    const f32 depth = rA + rB - dist;
    if (endOfA) {
        const neV3 normal = dist > 0.0f ? w * (1.0f / dist) : fallback;
        best.Offer(depth, normal, e - normal * rA, foot + normal * rB);
    } else {
        const neV3 normal = dist > 0.0f ? w * (-1.0f / dist) : fallback;
        best.Offer(depth, normal, foot - normal * rA, e + normal * rB);
    }
}

// An end of `self` against the other cylinder: its end caps beyond the
// segment, its side along it.
void CylinderEndAgainst(CylinderBest& best, const neV3& e, const neCylinderView& other, f32 rA, f32 rB, bool endOfA,
                        const neV3& fallback) {
    const f32 t = other.axis.Dot(e - other.bottom);
    if (t < 0.0f || t > 2.0f * other.halfHeight) {
        const neV3& cap = t < 0.0f ? other.bottom : other.top;
        if (endOfA)
            CylinderEnds(best, e, rA, cap, rB, fallback);
        else
            CylinderEnds(best, cap, rA, e, rB, fallback);
    } else {
        CylinderEndSide(best, e, other.bottom, other.top, rA, rB, endOfA, fallback);
    }
}

}  // namespace

neCylinderView::neCylinderView(const neGeometry& cylinder, const neT3& world)
    : centre(world.pos),
      axis(world.rot[1]),
      radius(cylinder.shape.cylinder.radius),
      halfHeight(cylinder.shape.cylinder.halfHeight) {
    bottom = centre - axis * halfHeight;
    top = centre + axis * halfHeight;
}

void neCollideSphereSphere(neCollisionResult& result, const neGeometry& sphereA, const neT3& worldA,
                           const neGeometry& sphereB, const neT3& worldB) {
    result.valid = 0;
    const f32 rA = sphereA.shape.sphere.radius, rB = sphereB.shape.sphere.radius;
    const neV3 d = worldA.pos - worldB.pos;
    const f32 r = rA + rB;
    const f32 distSq = d.Dot(d);
    if (r * r <= distSq || distSq < NE_ZERO) return;  // apart, touching or concentric
    const f32 dist = std::sqrt(distSq);
    const neV3 n = d * (1.0f / dist);
    neSetContact(result, r - dist, n, worldA.pos - n * rA, worldB.pos + n * rB);
}

void neCollideBoxSphere(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                        const neGeometry& sphere, const neT3& worldSphere) {
    result.valid = 0;
    const neV3 h = HalfExtents(box);
    const f32 r = sphere.shape.sphere.radius;
    const neV3 c = worldSphere.pos;
    const neV3 local = worldBox.rot.TransposeMul(c - worldBox.pos);

    f32 sign[3], outside[3];
    s32 outsideCount = 0, insideAxis = 0;
    for (s32 i = 0; i < 3; ++i) {
        sign[i] = SignOf(local[i]);
        outside[i] = sign[i] * local[i] - h[i];
        if (outside[i] >= 0.0f)
            ++outsideCount;
        else
            insideAxis = i;
    }

    if (outsideCount >= 2) {
        // Corner or edge region: towards the nearest point of the corner or edge.
        neV3 q;
        for (s32 i = 0; i < 3; ++i) q[i] = sign[i] * h[i];
        if (outsideCount == 2) q[insideAxis] = local[insideAxis];
        const neV3 v = q - local;
        if (v.Dot(v) > r * r) return;
        const f32 dist = v.Length();
        if (dist > 0.0f) {
            const neV3 normal = worldBox.rot * (v * (1.0f / dist));
            neSetContact(result, r - dist, normal, worldBox * q, c + normal * r);
            return;
        }
        // The centre sits on the corner or edge: no direction to take.
        InsideBoxContact(result, worldBox, h, local, c, r);
        return;
    }
    if (outsideCount == 1) {
        s32 k = 0;
        for (s32 i = 0; i < 3; ++i)
            if (outside[i] >= 0.0f) k = i;
        const f32 depth = h[k] + r - sign[k] * local[k];
        if (depth > 0.0f) FaceContact(result, worldBox, k, sign[k], depth, c, r);
        return;
    }
    InsideBoxContact(result, worldBox, h, local, c, r);
}

void neCollideSphereCylinder(neCollisionResult& result, const neGeometry& cylinder, const neT3& worldCylinder,
                             const neGeometry& sphere, const neT3& worldSphere) {
    result.valid = 0;
    const neCylinderView cyl(cylinder, worldCylinder);
    const f32 rs = sphere.shape.sphere.radius;
    const f32 reach = cyl.radius + rs;
    const neV3 c = worldSphere.pos;
    const f32 t = cyl.axis.Dot(c - cyl.bottom);
    if (!(t > -reach && t < 2.0f * cyl.halfHeight + reach)) return;
    neV3 q;
    if (t < 0.0f)
        q = cyl.bottom;
    else if (t > 2.0f * cyl.halfHeight)
        q = cyl.top;
    else
        q = cyl.bottom + cyl.axis * t;
    const neV3 w = q - c;
    const f32 dist = w.Length();
    if (!(dist < reach)) return;
    const neV3 normal = dist > 0.0f ? w * (1.0f / dist) : worldCylinder.rot[0];
    neSetContact(result, reach - dist, normal, q - normal * cyl.radius, c + normal * rs);
}

void neSegmentBoxClosest(const neV3& p, const neV3& q, const neV3& halfExtents, neV3& boxPoint,
                         neV3& segmentPoint) {
    // Reflect each axis so the segment runs towards +; the squared distance
    // to the box is then piecewise quadratic in t with breakpoints where the
    // segment crosses a slab boundary.
    neV3 start = p, dir = q - p;
    f32 reflect[3];
    s32 state[3];
    f32 next[3];
    f32 dirSq[3];
    for (s32 i = 0; i < 3; ++i) {
        reflect[i] = dir[i] < 0.0f ? -1.0f : 1.0f;
        start[i] *= reflect[i];
        dir[i] *= reflect[i];
        dirSq[i] = dir[i] * dir[i];
        const f32 h = halfExtents[i];
        if (dir[i] == 0.0f) {
            state[i] = 0;
            next[i] = 2.0f;  // never reached
        } else if (start[i] < -h) {
            state[i] = -1;
            next[i] = (-h - start[i]) / dir[i];
        } else {
            state[i] = start[i] > h ? 1 : 0;
            next[i] = (h - start[i]) / dir[i];
        }
    }

    // Derivative of the squared distance (halved) at t = 0.
    f32 slope = 0.0f;
    for (s32 i = 0; i < 3; ++i)
        if (state[i] != 0) slope -= next[i] * dirSq[i];

    f32 t = 0.0f;
    if (slope < 0.0f) {
        f32 current = 0.0f;
        t = 1.0f;
        for (;;) {
            f32 breakpoint = 1.0f;
            for (s32 i = 0; i < 3; ++i)
                if (next[i] > current && next[i] < breakpoint) breakpoint = next[i];
            f32 slopeNext = 0.0f;
            for (s32 i = 0; i < 3; ++i)
                if (state[i] != 0) slopeNext += (breakpoint - next[i]) * dirSq[i];
            if (slopeNext >= 0.0f) {
                t = current - slope * (breakpoint - current) / (slopeNext - slope);
                break;
            }
            if (breakpoint >= 1.0f) break;
            for (s32 i = 0; i < 3; ++i) {
                if (next[i] == breakpoint) {
                    ++state[i];
                    next[i] = (halfExtents[i] - start[i]) / dir[i];
                }
            }
            slope = slopeNext;
            current = breakpoint;
        }
    }

    for (s32 i = 0; i < 3; ++i) {
        const f32 v = start[i] + dir[i] * t;
        const f32 h = halfExtents[i];
        const f32 clamped = v < -h ? -h : (v > h ? h : v);
        segmentPoint[i] = v * reflect[i];
        boxPoint[i] = clamped * reflect[i];
    }
    segmentPoint.w = boxPoint.w = 0.0f;
}

void neCollideBoxCylinder(neCollisionResult& result, const neGeometry& box, const neT3& worldBox,
                          const neGeometry& cylinder, const neT3& worldCylinder) {
    result.valid = 0;
    const neCylinderView cyl(cylinder, worldCylinder);
    const neV3 h = HalfExtents(box);
    const neV3 p = worldBox.rot.TransposeMul(cyl.bottom - worldBox.pos);
    const neV3 q = worldBox.rot.TransposeMul(cyl.top - worldBox.pos);
    neV3 boxLocal{}, segmentLocal{};
    neSegmentBoxClosest(p, q, h, boxLocal, segmentLocal);
    const neV3 boxPoint = worldBox * boxLocal;
    const neV3 segmentPoint = worldBox * segmentLocal;
    const neV3 w = boxPoint - segmentPoint;
    const f32 dist = w.Length();
    const f32 r = cyl.radius;
    if (r < dist) return;
    if (dist > 0.0f) {
        const neV3 normal = w * (1.0f / dist);
        neSetContact(result, r - dist, normal, boxPoint, segmentPoint + normal * r);
        return;
    }
    // The axis touches or enters the box: out through the face of least
    // penetration of the segment point.
    InsideBoxContact(result, worldBox, h, segmentLocal, segmentPoint, r);
}

void neCollideCylinderCylinder(neCollisionResult& result, const neGeometry& cylinderA, const neT3& worldA,
                               const neGeometry& cylinderB, const neT3& worldB) {
    result.valid = 0;
    const neCylinderView a(cylinderA, worldA);
    const neCylinderView b(cylinderB, worldB);
    const neV3 fallback = worldA.rot[0];
    const neV3 cross = a.axis.Cross(b.axis);

    if (cross.Length() > 0.0f) {
        neSegmentPair pair{};
        pair.startA = a.bottom;
        pair.endA = a.top;
        pair.startB = b.bottom;
        pair.endB = b.top;
        f32 s, t;
        if (neSegmentClosestPoints(pair, s, t) && pair.found) {
            const neV3 w = pair.pointA - pair.pointB;
            const f32 dist = w.Length();
            const f32 depth = a.radius + b.radius - dist;
            if (depth <= 0.0f) return;
            const neV3 normal = dist > 0.0f ? w * (1.0f / dist) : fallback;
            neSetContact(result, depth, normal, pair.pointA - normal * a.radius, pair.pointB + normal * b.radius);
            return;
        }
    }

    // Parallel axes, or closest points beyond an end: try the four ends.
    CylinderBest best;
    CylinderEndAgainst(best, a.top, b, a.radius, b.radius, true, fallback);
    CylinderEndAgainst(best, a.bottom, b, a.radius, b.radius, true, fallback);
    CylinderEndAgainst(best, b.top, a, a.radius, b.radius, false, fallback);
    CylinderEndAgainst(best, b.bottom, a, a.radius, b.radius, false, fallback);
    if (best.depth > 0.0f) neSetContact(result, best.depth, best.normal, best.pointA, best.pointB);
}
