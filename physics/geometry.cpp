#include "physics/geometry.h"

#include <cmath>

namespace {

// The piece made from a broken geometry: a cube of half side 1 and mass 1.
constexpr f32 NE_DEFAULT_PIECE_INERTIA = 2.0f / 3.0f;
constexpr f32 NE_DEFAULT_IMPULSE_SHARE = 0.5f;

// Folds the extreme points of an array into a box scaled by `scale`.
void PointArrayBounds(const neV3* points, s32 count, f32 scale, neV3& minCorner, neV3& maxCorner) {
    neV3 lo = neMakeV3(NE_BOUNDS_START, NE_BOUNDS_START, NE_BOUNDS_START);
    neV3 hi = neMakeV3(-NE_BOUNDS_START, -NE_BOUNDS_START, -NE_BOUNDS_START);
    for (s32 i = 0; i < count; ++i) {
        for (s32 a = 0; a < 3; ++a) {
            if (points[i][a] < lo[a]) lo[a] = points[i][a];
            if (points[i][a] > hi[a]) hi[a] = points[i][a];
        }
    }
    minCorner = lo * scale;
    maxCorner = hi * scale;
}

f32 LargestLength(const neV3* points, s32 count) {
    f32 best = 0.0f;
    for (s32 i = 0; i < count; ++i) {
        f32 l = points[i].Length();
        if (l > best) best = l;
    }
    return best;
}

}  // namespace

void neGeometry::SetDefaults() {
    SetBoxSizeRaw(1.0f, 1.0f, 1.0f);
    frame.SetIdentity();
    type = NE_SHAPE_BOX;
    materialIndex = 0;
    userData = 0;
    breakagePieceInertia = neMakeV3(NE_DEFAULT_PIECE_INERTIA, NE_DEFAULT_PIECE_INERTIA, NE_DEFAULT_PIECE_INERTIA);
    breakageDirection.SetZero();
    breakageDirection.w = 0.0f;
    breakagePieceMass = 1.0f;
    breakageThreshold = 0.0f;
    breakageImpulseShare = NE_DEFAULT_IMPULSE_SHARE;
    breakageExtra = 0.0f;
    breakageKind = NE_BREAK_NEVER;
    triangleVertices = nullptr;
}

void neGeometry::SetBoxSizeRaw(f32 x, f32 y, f32 z) {
    type = NE_SHAPE_BOX;
    shape.box.hx = x * 0.5f;
    shape.box.hy = y * 0.5f;
    shape.box.hz = z * 0.5f;
    boundingRadius = neMakeV3(shape.box.hx, shape.box.hy, shape.box.hz).Length();
    margin = 0.0f;
}

void neGeometry::SetBoxSize(const neV3& size) { SetBoxSizeRaw(size.x, size.y, size.z); }
void neGeometry::SetBoxSizeXYZ(f32 x, f32 y, f32 z) { SetBoxSizeRaw(x, y, z); }

bool neGeometry::GetBoxSize(neV3& size) const {
    if (type != NE_SHAPE_BOX) return false;
    size = neMakeV3(shape.box.hx * 2.0f, shape.box.hy * 2.0f, shape.box.hz * 2.0f);
    return true;
}

void neGeometry::SetCylinder(f32 diameter, f32 height) {
    type = NE_SHAPE_CYLINDER;
    shape.cylinder.radius = diameter * 0.5f;
    shape.cylinder.radiusSq = shape.cylinder.radius * shape.cylinder.radius;
    shape.cylinder.halfHeight = height * 0.5f;
}

bool neGeometry::GetCylinder(f32& diameter, f32& height) const {
    if (type != NE_SHAPE_CYLINDER) return false;
    diameter = shape.cylinder.radius * 2.0f;
    height = shape.cylinder.halfHeight * 2.0f;
    return true;
}

void neGeometry::SetSphereDiameter(f32 diameter) {
    type = NE_SHAPE_SPHERE;
    shape.sphere.radius = diameter * 0.5f;
    shape.sphere.radiusSq = shape.sphere.radius * shape.sphere.radius;
}

void neGeometry::SetSphereRadius(f32 radius) {
    type = NE_SHAPE_SPHERE;
    shape.sphere.radius = radius;
    shape.sphere.radiusSq = radius * radius;
    boundingRadius = radius;
    margin = 0.0f;
}

bool neGeometry::GetSphereDiameter(f32& diameter) const {
    if (type != NE_SHAPE_SPHERE) return false;
    diameter = shape.sphere.radius * 2.0f;
    return true;
}

void neGeometry::SetConvex(const u8* block) {
    type = NE_SHAPE_CONVEX;
    shape.convex.block = block;
    const neConvexHeader* header = reinterpret_cast<const neConvexHeader*>(block);
    shape.convex.vertices = reinterpret_cast<const neV3*>(block + sizeof(neConvexHeader) +
                                                          sizeof(neV3) * static_cast<size_t>(header->faceCount));
    shape.convex.vertexCount = header->vertexCount;
}

bool neGeometry::GetConvex(const u8*& block) const {
    if (type != NE_SHAPE_CONVEX) return false;
    block = shape.convex.block;
    return true;
}

void neGeometry::SetTriangle(s32 i0, s32 i1, s32 i2, const neV3* vertices) {
    type = NE_SHAPE_TRIANGLE;
    shape.triangle.indices[0] = i0;
    shape.triangle.indices[1] = i1;
    shape.triangle.indices[2] = i2;
    triangleVertices = vertices;
}

void neGeometry::SetMesh(const s32* indices, s32 indexCount, const neTriangle* triangles, const neV3* vertices) {
    type = NE_SHAPE_TRIANGLE_LIST;
    shape.mesh.indices = indices;
    shape.mesh.indexCount = indexCount;
    shape.mesh.triangles = triangles;
    shape.mesh.keptFacing = neMakeV3(0, 0, 0);
    shape.mesh.up = neMakeV3(0, 0, 0);
    triangleVertices = vertices;
}

neT3 neGeometry::GetShapeFrame() const {
    if (type == NE_SHAPE_BOX || type == NE_SHAPE_SPHERE || type == NE_SHAPE_CYLINDER) return frame;
    neT3 identity;
    identity.SetIdentity();
    return identity;
}

void neGeometry::GetBoundingBox(neV3& minCorner, neV3& maxCorner) const {
    const neM3& r = frame.rot;
    const neV3& p = frame.pos;
    neV3 e{};
    switch (type) {
        case NE_SHAPE_BOX:
            for (s32 i = 0; i < 3; ++i)
                e[i] = std::fabs(r.M[0][i]) * shape.box.hx + std::fabs(r.M[1][i]) * shape.box.hy +
                       std::fabs(r.M[2][i]) * shape.box.hz;
            break;
        case NE_SHAPE_SPHERE:
            e.SetAll(shape.sphere.radius);
            break;
        case NE_SHAPE_CYLINDER: {
            f32 rad = shape.cylinder.radius;
            for (s32 i = 0; i < 3; ++i)
                e[i] = std::fabs(r.M[0][i]) * rad + std::fabs(r.M[1][i]) * (shape.cylinder.halfHeight + rad) +
                       std::fabs(r.M[2][i]) * rad;
            break;
        }
        case NE_SHAPE_POINT_SET:
            PointArrayBounds(shape.pointSet.points, shape.pointSet.count, 2.0f + margin, minCorner, maxCorner);
            return;
        case NE_SHAPE_CONVEX:
            PointArrayBounds(shape.convex.vertices, shape.convex.vertexCount, 2.0f, minCorner, maxCorner);
            return;
        default:
            return;  // triangles and triangle lists have no box of their own
    }
    minCorner = p - e;
    maxCorner = p + e;
}

f32 neGeometry::GetBoundingRadius() const {
    switch (type) {
        case NE_SHAPE_BOX:
            return neMakeV3(shape.box.hx, shape.box.hy, shape.box.hz).Length() + frame.pos.Length();
        case NE_SHAPE_SPHERE:
            return shape.sphere.radius + frame.pos.Length();
        case NE_SHAPE_CYLINDER:
            return shape.cylinder.halfHeight + shape.cylinder.radius + frame.pos.Length();
        case NE_SHAPE_POINT_SET:
            return LargestLength(shape.pointSet.points, shape.pointSet.count) * (1.0f + margin);
        case NE_SHAPE_CONVEX:
            return LargestLength(shape.convex.vertices, shape.convex.vertexCount);
        default:
            return 0.0f;
    }
}

neM3 neGeometry::InertiaContribution(f32 density, f32& mass) const {
    neM3 result;
    result.SetZero();
    mass = 0.0f;
    if (type != NE_SHAPE_BOX) return result;
    f32 hx = shape.box.hx, hy = shape.box.hy, hz = shape.box.hz;
    mass = 8.0f * hx * hy * hz * density;
    neM3 local;
    local.SetZero();
    local.M[0].x = mass * (hy * hy + hz * hz) / 3.0f;
    local.M[1].y = mass * (hz * hz + hx * hx) / 3.0f;
    local.M[2].z = mass * (hx * hx + hy * hy) / 3.0f;
    neM3 rt;
    rt.SetTranspose(frame.rot);
    result = frame.rot * local * rt;
    // Shift to the body's origin (parallel axis theorem, full tensor).
    const neV3& p = frame.pos;
    f32 pp = p.Dot(p);
    for (s32 c = 0; c < 3; ++c)
        for (s32 r = 0; r < 3; ++r) result.M[c][r] += mass * ((c == r ? pp : 0.0f) - p[c] * p[r]);
    return result;
}
