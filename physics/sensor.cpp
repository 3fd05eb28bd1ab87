#include "physics/sensor.h"

#include "physics/geometry.h"

#include <cmath>

void neSensor::Reset() {
    linePos = neMakeV3(0, 0, 0);
    lineVector = neMakeV3(0, 0, 0);
    lineUnitVector = neMakeV3(0, 0, 0);
    lineLength = 0.0f;
    userData = 0;
    detectNormal = neMakeV3(0, 0, 0);
    detectContactPoint = neMakeV3(0, 0, 0);
    detectDepth = 0.0f;
    detectMaterial = 0;
    detectedBody = nullptr;
    next = prev = nullptr;
}

void neSensor::SetLineSensor(const neV3& pos, const neV3& vector) {
    linePos = pos;
    lineVector = vector;
    f32 length = vector.Length();  // 0 when its square counts as zero
    if (length == 0.0f) {
        lineUnitVector = neMakeV3(0, 0, 0);
        lineLength = 0.0f;
    } else {
        lineUnitVector = vector * (1.0f / length);
        lineLength = length;
    }
}

void neLineBox::Add(const neV3& start, const neV3& vector) {
    auto widen = [this](f32 from, f32 along, f32& lowest, f32& highest) {
        const f32 end = from + along;
        const f32 low = (from < end ? from : end) - NE_LINE_BOX_MARGIN;
        const f32 high = (from < end ? end : from) + NE_LINE_BOX_MARGIN;
        if (empty || low < lowest) lowest = low;
        if (empty || high > highest) highest = high;
    };
    // Named components: every line of every body, every step.
    widen(start.x, vector.x, lo.x, hi.x);
    widen(start.y, vector.y, lo.y, hi.y);
    widen(start.z, vector.z, lo.z, hi.z);
    empty = false;
}


// ---- hit tests ----

namespace {

constexpr f32 NE_SLAB_START = 1.0e6f;

// Segment against a box in the box's frame (slab test).
bool LineBox(const neV3& p, const neV3& d, const neGeometry& box, const neM3& rotation, neLineHit& hit) {
    const f32 h[3] = {box.shape.box.hx, box.shape.box.hy, box.shape.box.hz};
    f32 tEntry = -NE_SLAB_START, tExit = NE_SLAB_START;
    s32 entryAxis = -1;
    for (s32 a = 0; a < 3; ++a) {
        if (std::fabs(d[a]) < NE_ZERO) {
            if (p[a] < -h[a] || p[a] > h[a]) return false;
            continue;  // inside this slab along the whole line
        }
        f32 t1 = (-h[a] - p[a]) / d[a];
        f32 t2 = (h[a] - p[a]) / d[a];
        if (t1 > t2) neSwapFloats(t1, t2);
        if (t1 > tEntry) {
            tEntry = t1;
            entryAxis = a;
        }
        if (t2 < tExit) tExit = t2;
        if (tExit < tEntry || tExit < 0.0f) return false;
    }
    if (tEntry > 1.0f) return false;
    // No axis set an entry face (a line too short to have a direction that
    // starts inside): there is no face to report.
    if (entryAxis < 0) return false;
    neV3 at = p + d * tEntry;
    neV3 rest = p + d - at;
    hit.depth = rest.Length();
    hit.normal = rotation.M[entryAxis];
    if (d[entryAxis] > 0.0f) hit.normal = -hit.normal;
    hit.normal.w = 0.0f;
    hit.material = box.materialIndex;
    hit.contactPoint = at;
    return true;
}

// Segment against the listed terrain triangles (world frame). The deepest
// crossing stands; a later triangle wins a tie. A truck's wheel line meets a
// handful of the hundreds of triangles its body gathers: the box cut keeps
// the plane test for those.
bool LineTerrain(const neV3& p, const neV3& d, f32 length, const neGeometry& mesh, neLineHit& hit) {
    bool found = false;
    const neV3* v = mesh.triangleVertices;
    neLineBox bounds;
    bounds.Add(p, d);
    for (s32 i = 0; i < mesh.shape.mesh.indexCount; ++i) {
        const neTriangle& tri = mesh.shape.mesh.triangles[mesh.shape.mesh.indices[i]];
        const neV3& v0 = v[tri.indices[0]];
        const neV3& v1 = v[tri.indices[1]];
        const neV3& v2 = v[tri.indices[2]];
        if (bounds.Misses(v0, v1, v2)) continue;
        // The crossing parameter does not depend on the normal's length:
        // normalise only for a hit.
        neV3 n = (v1 - v0).Cross(v2 - v1);
        if (n.Dot(n) < NE_ZERO) continue;  // degenerate triangle
        f32 nd = n.Dot(d);
        if (nd == 0.0f) continue;          // parallel
        f32 t = (n.Dot(v0) - n.Dot(p)) / nd;
        if (!(t >= 0.0f && t <= 1.0f)) continue;
        neV3 at = p + d * t;
        // Inside, edges included: each edge sees the point on its third vertex's side.
        const neV3* corner[3] = {&v0, &v1, &v2};
        bool inside = true;
        for (s32 k = 0; k < 3 && inside; ++k) {
            const neV3& a = *corner[k];
            neV3 edge = *corner[(k + 1) % 3] - a;
            inside = edge.Cross(at - a).Dot(edge.Cross(*corner[(k + 2) % 3] - a)) >= 0.0f;
        }
        if (!inside) continue;
        f32 depth = (1.0f - t) * length;
        if (found && depth < hit.depth) continue;
        hit.depth = depth;
        n.Normalize();
        hit.normal = nd > 0.0f ? -n : n;
        hit.contactPoint = at;
        hit.material = tri.materialIndex;
        found = true;
    }
    return found;
}

// Keeps the candidate when it is deeper than what the sensor holds.
void Keep(neSensor& s, const neLineHit& hit, const neT3& frame, neBody* other) {
    if (!(hit.depth > 0.0f) || !(hit.depth > s.detectDepth)) return;
    s.detectDepth = hit.depth;
    s.detectNormal = hit.normal;
    s.detectContactPoint = frame * hit.contactPoint;
    s.detectContactPoint.w = 0.0f;
    s.detectMaterial = hit.material;
    s.detectedBody = other;
}

}  // namespace

bool neCollideLineGeometry(const neV3& start, const neV3& vector, f32 length, const neGeometry& geometry,
                           const neM3& rotation, neLineHit& hit) {
    if (geometry.type == NE_SHAPE_BOX) return LineBox(start, vector, geometry, rotation, hit);
    if (geometry.type == NE_SHAPE_TRIANGLE_LIST) return LineTerrain(start, vector, length, geometry, hit);
    return false;
}

void neCollideSensorGeometry(neSensor& s, const neT3& bodyTransform, const neGeometry& geometry, const neT3& frame,
                             neBody* other) {
    const neV3 start = bodyTransform * s.linePos;
    const neV3 vector = bodyTransform.rot * s.lineVector;
    neT3 inverse = frame.FastInverse();
    neV3 localStart = inverse * start;
    neV3 localVector = inverse.rot * vector;
    neLineHit hit{};
    if (neCollideLineGeometry(localStart, localVector, s.lineLength, geometry, frame.rot, hit))
        Keep(s, hit, frame, other);
}
