#include "physics/narrow_phase.h"
#include "shape_fixtures.h"
#include "terrain_test_util.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace shapes;

namespace {

// A small terrain: vertices and triangles; every triangle is a candidate.
struct Ground : TriangleSoup {
    // A large level triangle at height y, wound up or down.
    s32 AddLevel(f32 y, bool up = true, s32 material = 0, u32 flags = 0, u32 userData = 0) {
        const neV3 a = neMakeV3(-50, y, -50), b = neMakeV3(-50, y, 50), c = neMakeV3(50, y, 0);
        return up ? Add(a, b, c, material, flags, userData) : Add(a, c, b, material, flags, userData);
    }
    neGeometry Geometry() const {
        return Terrain(indices.data(), static_cast<s32>(indices.size()), triangles.data(), vertices.data());
    }
};

neCollisionResult BoxOn(const Ground& g, const neGeometry& box, const neT3& t) {
    neCollisionResult r{};
    neCollideBoxTerrain(r, box, t, g.Geometry());
    return r;
}

TEST(BoxTerrain, FlatBoxTakesTheTriangleNormalWhateverTheWinding) {
    for (bool up : {true, false}) {
        Ground g;
        g.AddLevel(0, up, 4, 0, 99);
        const neCollisionResult r = BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(1, 0.47f, 2));
        ExpectSoundContact(r);
        ExpectVec(r.normal, 0, 1, 0);
        EXPECT_NEAR(r.depth, 0.03f, 1e-5f);
        EXPECT_NEAR(r.pointA.y, -0.03f, 1e-5f);  // a lowest corner
        EXPECT_NEAR(std::fabs(r.pointA.x - 1), 0.5f, 1e-5f);
        EXPECT_NEAR(std::fabs(r.pointA.z - 2), 0.5f, 1e-5f);
        EXPECT_NEAR(r.pointB.y, 0.0f, 1e-5f);
        EXPECT_EQ(r.materialIndexB, 4);
        EXPECT_EQ(r.terrainUserData, 99);
    }
}

TEST(BoxTerrain, TiltedBoxOnLevelGroundUsesItsDeepestCorner) {
    Ground g;
    g.AddLevel(0);
    const neT3 t = Turned(0.3f, 0.2f, 0.1f, 0, 0.6f, 0);
    neBoxDescriptor d(Box(0.5f, 0.5f, 0.5f), t);
    d.ComputeCorners();
    f32 lowest = 1e9f;
    for (const neV3& c : d.corners) lowest = std::min(lowest, c.y);
    const neCollisionResult r = BoxOn(g, Box(0.5f, 0.5f, 0.5f), t);
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, -lowest, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    EXPECT_NEAR(r.pointA.y, lowest, 1e-5f);
}

TEST(BoxTerrain, NoContactAboveTheGroundOrOutsideTheTriangle) {
    Ground g;
    g.Add(neMakeV3(0, 0, 0), neMakeV3(0, 0, 1), neMakeV3(1, 0, 0));
    EXPECT_FALSE(BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(0.2f, 0.6f, 0.2f)).valid);
    EXPECT_FALSE(BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(5, 0.3f, 5)).valid);
    EXPECT_TRUE(BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(0.2f, 0.3f, 0.2f)).valid);
}

TEST(BoxTerrain, DeepestTriangleWinsAndTheFirstStaysOnATie) {
    Ground g;
    g.AddLevel(0.0f, true, 1);
    g.AddLevel(0.1f, true, 2);  // deeper
    g.AddLevel(0.1f, true, 3);  // as deep: the earlier stays
    g.AddLevel(-0.2f, true, 4);
    const neCollisionResult r = BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(0, 0.5f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    EXPECT_EQ(r.materialIndexB, 2);
}

TEST(BoxTerrain, TriangleCornerIntoABoxFaceTakesTheBoxAxis) {
    // An upright triangle whose top vertex pokes 0.05 up into the box.
    Ground g;
    g.Add(neMakeV3(-1, -2, 0), neMakeV3(1, -2, 0), neMakeV3(0, -0.45f, 0), 2);
    const neCollisionResult r = BoxOn(g, Box(0.5f, 0.5f, 0.5f), At(0, 0, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    ExpectVec(r.pointA, 0, -0.45f, 0);
    ExpectVec(r.pointA - r.pointB, 0, -0.05f, 0);
    EXPECT_EQ(r.materialIndexB, 2);
}

TEST(BoxTerrain, BoxEdgeAgainstATriangleEdgeGivesAnEdgeContact) {
    // A wedge edge along z at height 0 (two faces sloping down); a box turned
    // 45 degrees about x presses its lower edge (along x) across it.
    Ground g;
    g.Add(neMakeV3(0, 0, -5), neMakeV3(-5, -5, -5), neMakeV3(0, 0, 5));
    g.Add(neMakeV3(0, 0, 5), neMakeV3(5, -5, 5), neMakeV3(0, 0, -5));
    const f32 h = std::sqrt(2.0f) / 2;
    const neCollisionResult r = BoxOn(g, Box(0.5f, 0.5f, 0.5f), Turned(NE_PI / 4, 0, 0, 0, h - 0.05f, 0));
    ExpectSoundContact(r);
    ExpectVec(r.normal, 0, 1, 0, 1e-3f);
    EXPECT_NEAR(r.depth, 0.05f, 1e-3f);
    ExpectVec(r.pointA, 0, -0.05f, 0, 1e-3f);
    ExpectVec(r.pointB, 0, 0, 0, 1e-3f);
}

TEST(BoxTerrain, FlagsChooseFullVerticalOrNoTest) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    Ground never;
    never.AddLevel(0, true, 0, 2);
    never.AddLevel(0, true, 0, 7);
    EXPECT_FALSE(BoxOn(never, box, At(0, 0.3f, 0)).valid);

    Ground vertical;
    vertical.AddLevel(0, true, 6, 1, 5);
    const neCollisionResult r = BoxOn(vertical, box, Turned(0.2f, 0, 0.1f, 0, 0.4f, 0));
    ExpectSoundContact(r);
    EXPECT_GT(r.depth, 0.1f);
    EXPECT_EQ(r.materialIndexB, 6);
    EXPECT_NEAR(r.pointB.y, 0.0f, 1e-5f);
    EXPECT_NEAR(r.pointA.x, r.pointB.x, 1e-6f);  // measured straight up
    EXPECT_NEAR(r.pointA.y + r.depth, 0.0f, 1e-5f);

    // Spheres and cylinders pass through vertical-test triangles.
    neCollisionResult s{};
    neCollideSphereTerrain(s, Sphere(0.5f), At(0, 0.3f, 0), vertical.Geometry());
    EXPECT_FALSE(s.valid);
    neCollideCylinderTerrain(s, Cylinder(0.5f, 0.5f), At(0, 0.3f, 0), vertical.Geometry());
    EXPECT_FALSE(s.valid);
}

TEST(BoxTerrain, VerticalTestSkipsWallsAndDegenerateTrianglesAreIgnored) {
    Ground g;
    g.Add(neMakeV3(-1, -1, 0), neMakeV3(1, -1, 0), neMakeV3(0, 2, 0), 0, 1);  // a wall, vertical test
    g.Add(neMakeV3(-1, 0, 0), neMakeV3(0, 0, 0), neMakeV3(1, 0, 0));          // no area
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    EXPECT_FALSE(BoxOn(g, box, At(0, 0, 0)).valid);
    neCollisionResult r{};
    neCollideSphereTerrain(r, Sphere(0.5f), At(0, 0, 0), g.Geometry());
    EXPECT_FALSE(r.valid);
    neCollideCylinderTerrain(r, Cylinder(0.5f, 0.5f), At(0, 0, 0), g.Geometry());
    EXPECT_FALSE(r.valid);
}

TEST(BoxTriangle, SingleTriangleReportsOnePointOnFaceContacts) {
    const neV3 vertices[3] = {neMakeV3(-5, 0, -5), neMakeV3(-5, 0, 5), neMakeV3(5, 0, 0)};
    neGeometry tri = Blank(NE_SHAPE_TRIANGLE);
    tri.shape.triangle.indices[0] = 0;
    tri.shape.triangle.indices[1] = 1;
    tri.shape.triangle.indices[2] = 2;
    tri.triangleVertices = vertices;
    neCollisionResult r{};
    neCollideGeometryPair(r, Box(0.5f, 0.5f, 0.5f), At(0, 1.45f, 0), tri, At(0, 1, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    ExpectVec(r.pointB, r.pointA.x, r.pointA.y, r.pointA.z, 0);
}

TEST(SphereTerrain, FaceEdgeAndVertexRegions) {
    Ground g;
    g.Add(neMakeV3(0, 0, 0), neMakeV3(0, 0, 4), neMakeV3(4, 0, 0), 8);
    const neGeometry terrain = g.Geometry();
    neCollisionResult r{};
    neCollideSphereTerrain(r, Sphere(0.5f), At(1, 0.4f, 1), terrain);  // over the face
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    ExpectVec(r.pointB, 1, 0, 1);
    EXPECT_EQ(r.materialIndexB, 8);

    neCollideSphereTerrain(r, Sphere(0.5f), At(-0.3f, 0.3f, 1), terrain);  // beside the edge x = 0
    ExpectSoundContact(r);
    const f32 d = std::sqrt(0.18f);
    EXPECT_NEAR(r.depth, 0.5f - d, 1e-5f);
    ExpectVec(r.pointB, 0, 0, 1);
    ExpectVec(r.normal, -0.3f / d, 0.3f / d, 0);

    neCollideSphereTerrain(r, Sphere(0.5f), At(-0.3f, 0.2f, -0.3f), terrain);  // off the corner V0
    ExpectSoundContact(r);
    ExpectVec(r.pointB, 0, 0, 0);
    EXPECT_NEAR(r.depth, 0.5f - std::sqrt(0.22f), 1e-5f);

    neCollideSphereTerrain(r, Sphere(0.5f), At(-0.5f, 0.2f, -0.5f), terrain);
    EXPECT_FALSE(r.valid);
}

TEST(SphereTerrain, CentreOnAVertexOrBelowTheFaceStaysFinite) {
    Ground g;
    g.Add(neMakeV3(0, 0, 0), neMakeV3(0, 0, 4), neMakeV3(4, 0, 0));
    neCollisionResult r{};
    neCollideSphereTerrain(r, Sphere(0.5f), At(0, 0, 0), g.Geometry());
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.5f, 1e-5f);
    neCollideSphereTerrain(r, Sphere(0.5f), At(1, -0.2f, 1), g.Geometry());
    ExpectSoundContact(r);
    ExpectVec(r.normal, 0, -1, 0);  // the side the centre is on
}

TEST(CylinderTerrain, StandingCylinderTouchesWithItsLowerEnd) {
    Ground g;
    g.AddLevel(0, true, 3);
    neCollisionResult r{};
    neCollideCylinderTerrain(r, Cylinder(0.3f, 0.5f), At(0, 0.75f, 0), g.Geometry());
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    ExpectVec(r.pointA, 0, -0.05f, 0);
    EXPECT_EQ(r.materialIndexB, 3);

    neCollideCylinderTerrain(r, Cylinder(0.3f, 0.5f), At(0, 0.85f, 0), g.Geometry());
    EXPECT_FALSE(r.valid);
}

TEST(CylinderTerrain, LyingCylinderAcrossATriangleEdge) {
    // A small triangle; the cylinder lies along x across its edge at x = 0.
    // Its lowest point is beyond the triangle, so the edge answers.
    Ground g;
    g.Add(neMakeV3(0, 0, -0.2f), neMakeV3(-1, 0, 0), neMakeV3(0, 0, 0.2f));
    neCollisionResult r{};
    neCollideCylinderTerrain(r, Cylinder(0.3f, 1.0f), Turned(0, 0, NE_PI / 2, 0, 0.25f, 0), g.Geometry());
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    EXPECT_NEAR(r.pointB.y, 0.0f, 1e-5f);
}

TEST(Terrain, RandomPlacementsOverABumpyMeshNeverReportNaN) {
    Ground g;
    std::mt19937 rng(5);
    std::uniform_real_distribution<f32> bump(-0.3f, 0.3f);
    for (int x = 0; x < 4; ++x)
        for (int z = 0; z < 4; ++z) {
            const neV3 a = neMakeV3(x - 2.0f, bump(rng), z - 2.0f), b = neMakeV3(x - 2.0f, bump(rng), z - 1.0f);
            const neV3 c = neMakeV3(x - 1.0f, bump(rng), z - 2.0f), d = neMakeV3(x - 1.0f, bump(rng), z - 1.0f);
            g.Add(a, b, c);
            g.Add(c, b, d);
        }
    const neGeometry terrain = g.Geometry();
    std::uniform_real_distribution<f32> angle(-NE_PI, NE_PI), pos(-1.5f, 1.5f), size(0.05f, 0.8f);
    int contacts = 0;
    for (int i = 0; i < 2000; ++i) {
        const neT3 t = Turned(angle(rng), angle(rng), angle(rng), pos(rng), pos(rng) * 0.5f, pos(rng));
        neCollisionResult r{};
        const neGeometry box = Box(size(rng), size(rng), size(rng));
        neCollideBoxTerrain(r, box, t, terrain);
        if (r.valid) {
            ++contacts;
            ExpectSoundContact(r);
        }
        // The set's answer is the deepest single-triangle answer.
        bool any = false;
        f32 deepest = 0.0f;
        for (const neTriangle& tri : g.triangles) {
            neGeometry single = Blank(NE_SHAPE_TRIANGLE);
            for (s32 k = 0; k < 3; ++k) single.shape.triangle.indices[k] = tri.indices[k];
            single.triangleVertices = g.vertices.data();
            neCollisionResult one{};
            neCollideBoxTriangle(one, box, t, single, At(0, 0, 0));
            if (one.valid && (!any || one.depth > deepest)) deepest = one.depth;
            any = any || one.valid;
        }
        ASSERT_EQ(r.valid != 0, any) << i;
        if (any) {
            EXPECT_EQ(r.depth, deepest) << i;
        }
        neCollideSphereTerrain(r, Sphere(size(rng)), t, terrain);
        if (r.valid) ExpectSoundContact(r);
        neCollideCylinderTerrain(r, Cylinder(size(rng), size(rng)), t, terrain);
        if (r.valid) ExpectSoundContact(r);
    }
    EXPECT_GT(contacts, 200);
}

}  // namespace
