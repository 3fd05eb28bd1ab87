#include "physics/narrow_phase.h"
#include "shape_fixtures.h"

#include <gtest/gtest.h>

#include <random>

using namespace shapes;

namespace {

TEST(SphereSphere, OverlapGivesDepthNormalAndPointsTouchingOrConcentricNothing) {
    neCollisionResult r{};
    neCollideSphereSphere(r, Sphere(1), At(0, 1.5f, 0), Sphere(1), At(0, 0, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.5f, 1e-6f);
    ExpectVec(r.normal, 0, 1, 0);
    ExpectVec(r.pointA, 0, 0.5f, 0);
    ExpectVec(r.pointB, 0, 1, 0);

    neCollideSphereSphere(r, Sphere(1), At(0, 2, 0), Sphere(1), At(0, 0, 0));
    EXPECT_FALSE(r.valid);
    neCollideSphereSphere(r, Sphere(1), At(1, 1, 1), Sphere(0.5f), At(1, 1, 1));
    EXPECT_FALSE(r.valid);
}

neCollisionResult BoxSphere(const neT3& box, f32 r, f32 x, f32 y, f32 z) {
    neCollisionResult result{};
    neCollideBoxSphere(result, Box(0.5f, 0.5f, 0.5f), box, Sphere(r), At(x, y, z));
    return result;
}

TEST(BoxSphere, FaceEdgeAndCornerRegions) {
    const neT3 box = At(0, 0, 0);
    neCollisionResult r = BoxSphere(box, 0.3f, 0.1f, 0.7f, 0);  // over the top face
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-6f);
    ExpectVec(r.normal, 0, -1, 0);
    ExpectVec(r.pointB, 0.1f, 0.4f, 0);
    ExpectVec(r.pointA, 0.1f, 0.5f, 0);

    r = BoxSphere(box, 0.3f, 0.7f, 0.7f, 0);  // beside the edge along z
    ExpectSoundContact(r);
    const f32 d = std::sqrt(0.08f);
    EXPECT_NEAR(r.depth, 0.3f - d, 1e-5f);
    ExpectVec(r.normal, -0.70710678f, -0.70710678f, 0);
    ExpectVec(r.pointA, 0.5f, 0.5f, 0);

    r = BoxSphere(box, 0.5f, 0.7f, 0.7f, 0.7f);  // off the corner
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.5f - std::sqrt(0.12f), 1e-5f);
    ExpectVec(r.pointA, 0.5f, 0.5f, 0.5f);

    EXPECT_FALSE(BoxSphere(box, 0.2f, 0.7f, 0.7f, 0.7f).valid);
    EXPECT_FALSE(BoxSphere(box, 0.2f, 0, 0.7f, 0).valid);
}

TEST(BoxSphere, TurnedBoxReportsWorldNormal) {
    const neT3 box = Turned(0, 0, NE_PI / 2, 0, 0, 0);  // box x axis along world y
    const neCollisionResult r = BoxSphere(box, 0.3f, 0, 0.7f, 0);
    ExpectSoundContact(r);
    ExpectVec(r.normal, 0, -1, 0);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
}

TEST(BoxSphere, CentreInsideLeavesByTheFaceOfLeastPenetrationWithTies) {
    const neT3 box = At(0, 0, 0);
    neCollisionResult r = BoxSphere(box, 0.1f, 0.3f, 0, 0);
    ExpectSoundContact(r);
    ExpectVec(r.normal, -1, 0, 0);
    EXPECT_NEAR(r.depth, 0.3f, 1e-6f);
    r = BoxSphere(box, 0.1f, 0.3f, 0.3f, 0);  // tie between x and y: y
    ExpectVec(r.normal, 0, -1, 0);
    r = BoxSphere(box, 0.1f, 0, 0.3f, 0.3f);  // tie between y and z: z
    ExpectVec(r.normal, 0, 0, -1);
}

TEST(BoxSphere, CentreOnACornerOrEdgeStillGetsANormal) {
    const neT3 box = At(0, 0, 0);
    for (const neV3& c : {neMakeV3(0.5f, 0.5f, 0.5f), neMakeV3(0.5f, -0.5f, 0.2f), neMakeV3(-0.5f, 0.1f, 0.5f)}) {
        const neCollisionResult r = BoxSphere(box, 0.2f, c.x, c.y, c.z);
        ExpectSoundContact(r);
        EXPECT_NEAR(r.depth, 0.2f, 1e-5f);
    }
}

TEST(SphereCylinder, SideAndCapContacts) {
    const neGeometry can = Cylinder(0.5f, 1.0f);  // upright, ends at y = ±1
    neCollisionResult r{};
    neCollideSphereCylinder(r, can, At(0, 0, 0), Sphere(0.3f), At(0.7f, 0.2f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, -1, 0, 0);  // from the sphere toward the cylinder
    ExpectVec(r.pointA, 0.5f, 0.2f, 0);
    ExpectVec(r.pointB, 0.4f, 0.2f, 0);

    neCollideSphereCylinder(r, can, At(0, 0, 0), Sphere(0.3f), At(0, 1.7f, 0));  // above the hemisphere end
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, 0, -1, 0);

    neCollideSphereCylinder(r, can, At(0, 0, 0), Sphere(0.3f), At(0, 1.9f, 0));
    EXPECT_FALSE(r.valid);
}

TEST(SphereCylinder, CentreOnTheAxisTakesTheFramesXColumn) {
    neCollisionResult r{};
    const neT3 t = Turned(0, NE_PI / 2, 0, 0, 0, 0);
    neCollideSphereCylinder(r, Cylinder(0.5f, 1.0f), t, Sphere(0.3f), At(0, 0.4f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.8f, 1e-5f);
    ExpectVec(r.normal, t.rot[0].x, t.rot[0].y, t.rot[0].z);
}

TEST(BoxCylinder, LyingCylinderOnTopOfABox) {
    // Axis along x (the cylinder's y column turned onto x), 0.05 into the box.
    neCollisionResult r{};
    const neT3 t = Turned(0, 0, NE_PI / 2, 0, 0.5f + 0.25f, 0);
    neCollideBoxCylinder(r, Box(1, 0.5f, 1), At(0, 0, 0), Cylinder(0.3f, 0.5f), t);
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, -1, 0);
    EXPECT_NEAR(r.pointA.y, 0.5f, 1e-5f);
    EXPECT_NEAR(r.pointB.y, 0.45f, 1e-5f);

    neCollideBoxCylinder(r, Box(1, 0.5f, 1), At(0, 0, 0), Cylinder(0.3f, 0.5f), Turned(0, 0, NE_PI / 2, 0, 0.9f, 0));
    EXPECT_FALSE(r.valid);
}

TEST(BoxCylinder, AxisInsideTheBoxLeavesByTheNearestFace) {
    neCollisionResult r{};
    neCollideBoxCylinder(r, Box(1, 0.5f, 1), At(0, 0, 0), Cylinder(0.2f, 0.3f), At(0.1f, 0.3f, 0));
    ExpectSoundContact(r);
    ExpectVec(r.normal, 0, -1, 0);
    EXPECT_NEAR(r.depth, 0.5f + 0.2f, 1e-5f);  // the bottom end, at the centre height, leaves upward
}

// Squared distance from a point to a box at the origin (its own frame).
f32 DistanceSqToBox(const neV3& p, const neV3& h) {
    f32 sum = 0;
    for (s32 i = 0; i < 3; ++i) {
        const f32 over = std::fabs(p[i]) - h[i];
        if (over > 0) sum += over * over;
    }
    return sum;
}

TEST(SegmentBoxClosest, MatchesADenseSearchOverRandomSegments) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<f32> coord(-3, 3), size(0.1f, 1.5f);
    for (int i = 0; i < 500; ++i) {
        const neV3 h = neMakeV3(size(rng), size(rng), size(rng));
        const neV3 p = neMakeV3(coord(rng), coord(rng), coord(rng));
        const neV3 q = neMakeV3(coord(rng), coord(rng), coord(rng));
        neV3 boxPoint{}, segmentPoint{};
        neSegmentBoxClosest(p, q, h, boxPoint, segmentPoint);
        f32 best = 1e9f;
        for (int k = 0; k <= 2000; ++k) {
            const neV3 s = p + (q - p) * (k / 2000.0f);
            best = std::min(best, DistanceSqToBox(s, h));
        }
        const neV3 gap = boxPoint - segmentPoint;
        EXPECT_NEAR(std::sqrt(gap.Dot(gap)), std::sqrt(best), 2e-3f) << i;
        EXPECT_LE(DistanceSqToBox(boxPoint, h), 1e-10f);
    }
}

TEST(CylinderCylinder, CrossedAxesMeetAtTheirClosestPoints) {
    neCollisionResult r{};
    // A upright, B lying along x in front of it, 0.1 into A.
    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 0, 0), Cylinder(0.3f, 1), Turned(0, 0, NE_PI / 2, 0, 0.2f, 0.7f));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, 0, 0, -1);
    ExpectVec(r.pointA, 0, 0.2f, 0.5f);
    ExpectVec(r.pointB, 0, 0.2f, 0.4f);
}

TEST(CylinderCylinder, ParallelSideBySideAndEndToEnd) {
    neCollisionResult r{};
    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 0, 0), Cylinder(0.5f, 1), At(0.9f, 0.5f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, -1, 0, 0);

    // Coaxial, hemisphere ends overlapping by 0.2.
    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 2.8f, 0), Cylinder(0.5f, 1), At(0, 0, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.2f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);

    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 3.1f, 0), Cylinder(0.5f, 1), At(0, 0, 0));
    EXPECT_FALSE(r.valid);
}

TEST(CylinderCylinder, CoincidentAxesStillGiveAFiniteContact) {
    neCollisionResult r{};
    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 0.5f, 0), Cylinder(0.4f, 1), At(0, 0, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.9f, 1e-5f);
    neCollideCylinderCylinder(r, Cylinder(0.5f, 1), At(0, 0, 0), Cylinder(0.4f, 1), Turned(0, 0, NE_PI / 2, 0, 0, 0));
    ExpectSoundContact(r);
}

TEST(Primitives, RandomPairsNeverReportNaN) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<f32> angle(-NE_PI, NE_PI), offset(-1.5f, 1.5f), size(0.05f, 1.0f);
    std::uniform_int_distribution<int> shape(0, 2);
    auto make = [&](int kind) {
        if (kind == 0) return Box(size(rng), size(rng), size(rng));
        if (kind == 1) return Sphere(size(rng));
        return Cylinder(size(rng), size(rng));
    };
    for (int i = 0; i < 3000; ++i) {
        const neGeometry a = make(shape(rng)), b = make(shape(rng));
        // Every tenth pair shares its centre: the degenerate placements.
        const bool same = i % 10 == 0;
        const neT3 ta = Turned(angle(rng), angle(rng), angle(rng), 0, 0, 0);
        const neT3 tb = Turned(angle(rng), angle(rng), angle(rng), same ? 0 : offset(rng), same ? 0 : offset(rng),
                               same ? 0 : offset(rng));
        neCollisionResult r{};
        neCollideGeometryPair(r, a, ta, b, tb);
        if (r.valid) ExpectSoundContact(r);
    }
}

}  // namespace
