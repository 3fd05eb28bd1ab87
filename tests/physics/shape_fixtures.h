// Shapes, placements and checks shared by the narrow-phase and response tests.
// Geometries are filled field by field so the tests need nothing but the
// records themselves.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"
#include "physics/geometry.h"
#include "physics_test_util.h"
#include "scene_builders.h"

#include <gtest/gtest.h>

#include <cmath>

namespace shapes {

inline neGeometry Blank(s32 type) {
    neGeometry g{};
    g.type = type;
    g.frame.SetIdentity();
    return g;
}

inline neGeometry Box(f32 hx, f32 hy, f32 hz, s32 material = 0) {
    neGeometry g = Blank(NE_SHAPE_BOX);
    g.shape.box.hx = hx;
    g.shape.box.hy = hy;
    g.shape.box.hz = hz;
    g.materialIndex = material;
    return g;
}

inline neGeometry Sphere(f32 radius) {
    neGeometry g = Blank(NE_SHAPE_SPHERE);
    g.shape.sphere.radius = radius;
    g.shape.sphere.radiusSq = radius * radius;
    return g;
}

inline neGeometry Cylinder(f32 radius, f32 halfHeight) {
    neGeometry g = Blank(NE_SHAPE_CYLINDER);
    g.shape.cylinder.radius = radius;
    g.shape.cylinder.radiusSq = radius * radius;
    g.shape.cylinder.halfHeight = halfHeight;
    return g;
}

// A terrain set over the given triangles (all of them candidates).
inline neGeometry Terrain(const s32* indices, s32 count, const neTriangle* triangles, const neV3* vertices) {
    neGeometry g = Blank(NE_SHAPE_TRIANGLE_LIST);
    g.shape.mesh.indices = indices;
    g.shape.mesh.indexCount = count;
    g.shape.mesh.triangles = triangles;
    g.triangleVertices = vertices;
    return g;
}

inline neT3 At(f32 x, f32 y, f32 z) {
    neT3 t;
    t.SetIdentity();
    t.pos.Set(x, y, z);
    return t;
}

// Turned by the angles (radians; x first, then y, then z), then moved.
inline neT3 Turned(f32 ax, f32 ay, f32 az, f32 x, f32 y, f32 z) {
    return Placed(neMakeV3(x, y, z), neMakeV3(ax, ay, az));
}

// A reported contact carries only finite numbers and a unit normal.
inline void ExpectSoundContact(const neCollisionResult& r) {
    ASSERT_TRUE(r.valid);
    EXPECT_TRUE(std::isfinite(r.depth));
    EXPECT_GE(r.depth, 0.0f);
    EXPECT_TRUE(Finite(r.pointA));
    EXPECT_TRUE(Finite(r.pointB));
    ASSERT_TRUE(Finite(r.normal));
    EXPECT_NEAR(std::sqrt(r.normal.Dot(r.normal)), 1.0f, 1e-4f);
}

inline void ExpectVec(const neV3& v, f32 x, f32 y, f32 z, f32 tolerance = 1e-4f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

}  // namespace shapes
