#include "physics/narrow_phase.h"

#include <cstdint>

#include "convex_block.h"
#include "physics/body.h"
#include "physics/stack.h"
#include "shape_fixtures.h"

#include <gtest/gtest.h>

#include <random>

using namespace shapes;

namespace {

neCollisionResult BoxBox(const neGeometry& a, const neT3& ta, const neGeometry& b, const neT3& tb) {
    neCollisionResult r{};
    neCollideBoxBox(r, a, ta, b, tb);
    return r;
}

TEST(BoxBox, StackedUnitBoxesTouchOnTheFaceWithNormalFromBToA) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    const neCollisionResult r = BoxBox(box, At(0, 0, 0), box, At(0, 0.9f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, 0, -1, 0);
    EXPECT_NEAR(r.pointA.y, 0.5f, 1e-5f);  // in A's top face
    EXPECT_NEAR(r.pointB.y, 0.4f, 1e-5f);  // in B's bottom face
}

TEST(BoxBox, TouchingOrApartBoxesDoNotCollide) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    EXPECT_FALSE(BoxBox(box, At(0, 0, 0), box, At(0, 1.0f, 0)).valid);
    EXPECT_FALSE(BoxBox(box, At(0, 0, 0), box, At(1.2f, 0.3f, 0)).valid);
    // Apart only along an edge-edge axis: crossed edges with a gap.
    const f32 h = std::sqrt(2.0f);
    EXPECT_FALSE(BoxBox(box, Turned(0, 0, NE_PI / 4, 0, 0, 0), box, Turned(NE_PI / 4, 0, 0, 0, h + 0.01f, 0)).valid);
}

// Depth 0.1 on x and on y: the later face wins where every tested corner lies
// over it, the first stays where B's deepest corner for A's y face overhangs
// the end of a long flat A.
TEST(BoxBox, ExactTieTakesTheLaterFaceOnlyWhenTheCornerLiesOverIt) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    neCollisionResult r = BoxBox(box, At(0, 0, 0), box, At(0.9f, 0.9f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, 0, -1, 0);

    r = BoxBox(Box(2, 0.5f, 2), At(0, 0, 0), box, At(2.4f, 0.9f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVec(r.normal, -1, 0, 0);
}

// Depth of box q on the face axis k of box p, as the box-box test measures it.
f32 FaceDepth(const neGeometry& p, const neT3& tp, s32 k, const neGeometry& q, const neT3& tq) {
    const neV3 n = tp.rot[k];
    const f32 hp[3] = {p.shape.box.hx, p.shape.box.hy, p.shape.box.hz};
    const f32 hq[3] = {q.shape.box.hx, q.shape.box.hy, q.shape.box.hz};
    f32 depth = hp[k] - std::fabs((tq.pos - tp.pos).Dot(n));
    for (s32 i = 0; i < 3; ++i) depth += std::fabs(tq.rot[i].Dot(n)) * hq[i];
    return depth;
}

TEST(BoxBox, NearTieKeepsTheFirstTestedFaceAxis) {
    // B is A turned half a turn about the x axis through their midpoint, so
    // A's and B's x faces tie (and every other axis is deeper); shrinking B
    // along its x axis makes B's x face the shallower one.
    const neT3 ta = Turned(2.1140496f, -0.1485772f, 0.8737909f, 0, 0, 0);
    neT3 tb = At(0, 0.6355548f, 0);
    neM3 half;
    half.SetColumns(neMakeV3(1, 0, 0), neMakeV3(0, -1, 0), neMakeV3(0, 0, -1));
    tb.rot = half * ta.rot;
    const neGeometry a = Box(0.5f, 0.5f, 0.5f);
    for (f32 shrink : {6e-5f, 0.01f}) {
        const neGeometry b = Box(0.5f - shrink, 0.5f, 0.5f);
        const f32 depthA = FaceDepth(a, ta, 0, b, tb), depthB = FaceDepth(b, tb, 0, a, ta);
        const bool nearTie = depthA - depthB < NE_FACE_TIE_TOLERANCE;
        EXPECT_EQ(nearTie, shrink < 1e-3f);
        ASSERT_GT(depthA - depthB, NE_FACE_TIE_EXACT);
        const neCollisionResult r = BoxBox(a, ta, b, tb);
        ExpectSoundContact(r);
        const neV3 winner = nearTie ? ta.rot[0] : tb.rot[0];
        EXPECT_NEAR(std::fabs(r.normal.Dot(winner)), 1.0f, 1e-6f) << shrink;
        EXPECT_NEAR(r.depth, nearTie ? depthA : depthB, 1e-5f) << shrink;
        EXPECT_GT(r.normal.Dot(ta.pos - tb.pos), 0.0f);
    }
}

TEST(BoxBox, CrossedEdgesGiveAnEdgeContactOnBothEdges) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    const f32 h = std::sqrt(2.0f);
    // A's top edge runs along z, B's bottom edge along x; they overlap 0.05.
    const neCollisionResult r =
        BoxBox(box, Turned(0, 0, NE_PI / 4, 0, 0, 0), box, Turned(NE_PI / 4, 0, 0, 0, h - 0.05f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-4f);
    ExpectVec(r.normal, 0, -1, 0);
    ExpectVec(r.pointA, 0, h / 2, 0, 1e-3f);
    ExpectVec(r.pointB, 0, h / 2 - 0.05f, 0, 1e-3f);
}

TEST(BoxBox, ParallelEdgesNeverMakeAnEdgeContact) {
    // B lies on one edge, parallel to A's z edges, on A's top face.
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    const f32 h = std::sqrt(2.0f) / 2;
    const neCollisionResult r = BoxBox(box, At(0, 0, 0), box, Turned(0, 0, NE_PI / 4, 0, 0.5f + h - 0.05f, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-4f);
    ExpectVec(r.normal, 0, -1, 0);
    EXPECT_NEAR(r.pointA.y, 0.5f, 1e-4f);
}

TEST(BoxBox, RandomPairsReportFiniteContactsAlongTheNormal) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<f32> angle(-NE_PI, NE_PI), offset(-1.2f, 1.2f), size(0.1f, 1.0f);
    int contacts = 0;
    for (int i = 0; i < 2000; ++i) {
        const neGeometry a = Box(size(rng), size(rng), size(rng));
        const neGeometry b = Box(size(rng), size(rng), size(rng));
        const neT3 ta = Turned(angle(rng), angle(rng), angle(rng), 0, 0, 0);
        const neT3 tb = Turned(angle(rng), angle(rng), angle(rng), offset(rng), offset(rng), offset(rng));
        const neCollisionResult r = BoxBox(a, ta, b, tb);
        if (!r.valid) continue;
        ++contacts;
        ExpectSoundContact(r);
        EXPECT_GT(r.depth, 0.0f);
    }
    EXPECT_GT(contacts, 200);
}

TEST(SegmentClosestPoints, FindsTheCommonPerpendicularAndRefusesParallels) {
    neSegmentPair p{};
    p.startA = neMakeV3(-1, 0, 0);
    p.endA = neMakeV3(1, 0, 0);
    p.startB = neMakeV3(0.5f, 1, -1);
    p.endB = neMakeV3(0.5f, 1, 1);
    f32 s = -1, t = -1;
    ASSERT_TRUE(neSegmentClosestPoints(p, s, t));
    EXPECT_TRUE(p.found);
    EXPECT_NEAR(s, 0.75f, 1e-6f);
    EXPECT_NEAR(t, 0.5f, 1e-6f);
    EXPECT_NEAR(p.distance, 1.0f, 1e-6f);
    ExpectVec(p.pointA, 0.5f, 0, 0);

    // The lines meet beyond B's end: points written, not found.
    p.startB = neMakeV3(3, 1, -1);
    p.endB = neMakeV3(3, 1, 1);
    ASSERT_TRUE(neSegmentClosestPoints(p, s, t));
    EXPECT_FALSE(p.found);

    p.startB = neMakeV3(0, 1, 0);
    p.endB = neMakeV3(2, 1, 0);
    EXPECT_FALSE(neSegmentClosestPoints(p, s, t));
    p.endB = p.startB;
    EXPECT_FALSE(neSegmentClosestPoints(p, s, t));
    EXPECT_FALSE(p.found);
}

TEST(BoxDescriptor, CornersFollowTheSignOrder) {
    const neGeometry box = Box(1, 2, 3);
    const neT3 t = At(10, 20, 30);
    neBoxDescriptor d(box, t);
    EXPECT_FALSE(d.cornersValid);
    d.ComputeCorners();
    EXPECT_TRUE(d.cornersValid);
    ExpectVec(d.corners[0], 11, 22, 33);
    ExpectVec(d.corners[1], 11, 22, 27);
    ExpectVec(d.corners[2], 11, 18, 33);
    ExpectVec(d.corners[4], 9, 22, 33);
    ExpectVec(d.corners[7], 9, 18, 27);
}

// ---- Dispatch -------------------------------------------------------------

TEST(GeometryPair, SwappedCellsFlipTheRoutinesResult) {
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    const neGeometry ball = Sphere(0.3f);
    const neT3 tBox = At(0, 0, 0), tBall = At(0.2f, 0.7f, 0);
    neCollisionResult direct{}, swapped{};
    neCollideBoxSphere(direct, box, tBox, ball, tBall);
    neCollideGeometryPair(swapped, ball, tBall, box, tBox);
    ASSERT_TRUE(direct.valid);
    ASSERT_TRUE(swapped.valid);
    EXPECT_EQ(direct.depth, swapped.depth);
    ExpectVec(swapped.normal, -direct.normal.x, -direct.normal.y, -direct.normal.z, 0);
    ExpectVec(swapped.pointA, direct.pointB.x, direct.pointB.y, direct.pointB.z, 0);
    ExpectVec(swapped.pointB, direct.pointA.x, direct.pointA.y, direct.pointA.z, 0);

    const neGeometry can = Cylinder(0.3f, 0.5f);
    neCollideBoxCylinder(direct, box, tBox, can, tBall);
    neCollideGeometryPair(swapped, can, tBall, box, tBox);
    ASSERT_TRUE(direct.valid && swapped.valid);
    ExpectVec(swapped.normal, -direct.normal.x, -direct.normal.y, -direct.normal.z, 0);

    neCollideSphereCylinder(direct, can, tBall, ball, tBox);
    neCollideGeometryPair(swapped, ball, tBox, can, tBall);
    ASSERT_TRUE(direct.valid && swapped.valid);
    ExpectVec(swapped.normal, -direct.normal.x, -direct.normal.y, -direct.normal.z, 0);
}

TEST(GeometryPair, ConvexCellsReachTheConvexTestsAndFlipWhenSwapped) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry convex = Blank(NE_SHAPE_CONVEX);
    convex.SetConvex(cube.Data());
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    neCollisionResult boxFirst{}, convexFirst{}, both{};
    neCollideGeometryPair(boxFirst, box, At(0, 0.9f, 0), convex, At(0, 0, 0));
    neCollideGeometryPair(convexFirst, convex, At(0, 0, 0), box, At(0, 0.9f, 0));
    neCollideGeometryPair(both, convex, At(0, 0.9f, 0), convex, At(0, 0, 0));
    ASSERT_TRUE(boxFirst.valid && convexFirst.valid && both.valid);
    EXPECT_NEAR(boxFirst.depth, 0.1f, 1e-4f);
    ExpectVec(boxFirst.normal, 0, 1, 0);
    ExpectVec(convexFirst.normal, 0, -1, 0);
    ExpectVec(both.normal, 0, 1, 0);
}

TEST(GeometryPair, PairsOutsideTheTableFindNothing) {
    neCollisionResult r{};
    r.valid = 1;
    const neGeometry box = Box(0.5f, 0.5f, 0.5f);
    const neGeometry points = Blank(NE_SHAPE_POINT_SET);
    neCollideGeometryPair(r, points, At(0, 0, 0), box, At(0, 0, 0));
    EXPECT_FALSE(r.valid);
    r.valid = 1;
    neCollideGeometryPair(r, box, At(0, 0, 0), points, At(0, 0, 0));
    EXPECT_FALSE(r.valid);
}

// ---- Body pairs -------------------------------------------------------------

// A body whose geometries are the given ones, in order, with a bounding box.
struct FakeBody {
    neRigidBody body{};
    neGeometry geometries[4];

    FakeBody(std::initializer_list<neGeometry> list, const neGeometry& bounding) {
        s32 n = 0;
        for (const neGeometry& g : list) geometries[n++] = g;
        for (s32 i = 0; i < n; ++i) {
            geometries[i].prev = i > 0 ? &geometries[i - 1] : nullptr;
            geometries[i].next = i + 1 < n ? &geometries[i + 1] : nullptr;
        }
        body.type = NE_BODY_RIGID;
        body.geometryFirst = &geometries[0];
        body.geometryLast = &geometries[n - 1];
        body.geometryCount = n;
        body.bounding = bounding;
    }
};

neGeometry Placed(neGeometry g, f32 x, f32 y, f32 z) {
    g.frame.pos.Set(x, y, z);
    return g;
}

TEST(BodyPair, FillsArmsLocalPointsMaterialsAndGeometries) {
    FakeBody a({Box(0.5f, 0.5f, 0.5f, 3)}, Box(0.5f, 0.5f, 0.5f));
    FakeBody b({Box(0.5f, 0.5f, 0.5f, 7)}, Box(0.5f, 0.5f, 0.5f));
    const neT3 ta = Turned(0, NE_PI / 2, 0, 1, 2, 3);
    const neT3 tb = At(1, 2.9f, 3);
    neCollisionResult r{};
    neCollideBodyPair(r, &a.body, ta, &b.body, tb);
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    EXPECT_EQ(r.geometryA, &a.geometries[0]);
    EXPECT_EQ(r.geometryB, &b.geometries[0]);
    EXPECT_EQ(r.materialIndexA, 3);
    EXPECT_EQ(r.materialIndexB, 7);
    EXPECT_NEAR(r.worldPointA.y, 2.5f, 1e-5f);
    EXPECT_NEAR(r.worldPointB.y, 2.4f, 1e-5f);
    ExpectVec(r.pointA, r.worldPointA.x - 1, r.worldPointA.y - 2, r.worldPointA.z - 3);
    const neV3 back = ta.rot * r.localPointA;
    ExpectVec(back, r.pointA.x, r.pointA.y, r.pointA.z);
}

TEST(BodyPair, DeepestGeometryPairWinsAcrossSeveralGeometries) {
    // A: two boxes side by side; B: three boxes, the middle one reaching deepest.
    const neGeometry cube = Box(0.25f, 0.25f, 0.25f);
    FakeBody a({Placed(cube, -0.5f, 0, 0), Placed(cube, 0.5f, 0, 0)}, Box(0.75f, 0.25f, 0.25f));
    FakeBody b({Placed(cube, -0.5f, 0.05f, 0), Placed(cube, 0.5f, -0.1f, 0), Placed(cube, 2, 0, 0)},
               Placed(Box(1.5f, 0.325f, 0.25f), 0.75f, -0.025f, 0));
    neCollisionResult r{};
    neCollideBodyPair(r, &a.body, At(0, 0, 0), &b.body, At(0, 0.5f, 0));
    ExpectSoundContact(r);
    EXPECT_EQ(r.geometryA, &a.geometries[1]);
    EXPECT_EQ(r.geometryB, &b.geometries[1]);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
}

TEST(BodyPair, BoundingRecordsAreTestedFirst) {
    // The geometries overlap, but the bounding records (deliberately off to
    // the side) do not: no contact is reported.
    const neGeometry cube = Box(0.5f, 0.5f, 0.5f);
    FakeBody a({cube}, cube);
    FakeBody b({cube, Placed(cube, 3, 0, 0), Placed(cube, 6, 0, 0)}, Placed(Box(0.5f, 0.5f, 0.5f), 10, 0, 0));
    neCollisionResult r{};
    neCollideBodyPair(r, &a.body, At(0, 0, 0), &b.body, At(0, 0.9f, 0));
    EXPECT_FALSE(r.valid);
    b.body.bounding = Placed(Box(3.5f, 0.5f, 0.5f), 3, 0, 0);
    neCollideBodyPair(r, &a.body, At(0, 0, 0), &b.body, At(0, 0.9f, 0));
    EXPECT_TRUE(r.valid);
}

TEST(BodyPair, TerrainContactCarriesTheTrianglesMaterialAndNoGeometryB) {
    const neV3 vertices[3] = {neMakeV3(-10, 0, -10), neMakeV3(-10, 0, 10), neMakeV3(10, 0, 0)};
    neTriangle tri;
    tri.indices[0] = 0;
    tri.indices[1] = 1;
    tri.indices[2] = 2;
    tri.materialIndex = 5;
    tri.userData = 42;
    const s32 index = 0;
    FakeBody ground({Terrain(&index, 1, &tri, vertices)}, Box(1, 1, 1));
    ground.body.type = NE_BODY_ANIMATED;
    FakeBody box({Box(0.5f, 0.5f, 0.5f, 1)}, Box(0.5f, 0.5f, 0.5f));
    neCollisionResult r{};
    neCollideBodyPair(r, &box.body, At(0, 0.45f, 0), &ground.body, At(0, 0, 0));
    ExpectSoundContact(r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-5f);
    ExpectVec(r.normal, 0, 1, 0);
    EXPECT_EQ(r.materialIndexA, 1);
    EXPECT_EQ(r.materialIndexB, 5);
    EXPECT_EQ(r.terrainUserData, 42);
    EXPECT_EQ(r.geometryB, nullptr);
}

TEST(RestingCheck, BothRestingOrOnlyOneAndTheStacksValueLimit) {
    neRigidBody a{}, b{};
    a.type = b.type = NE_BODY_RIGID;
    a.restState = b.restState = NE_RESTING;
    neCollisionResult r{};
    r.bodyA = &a;
    r.bodyB = &b;
    EXPECT_TRUE(neCheckRestingBodies(r));
    r.stackValue = 1.5f;
    EXPECT_FALSE(neCheckRestingBodies(r));
    r.stackValue = 0.0f;

    b.restState = NE_MOVING;  // A rests on a moving body: A is let go
    EXPECT_FALSE(neCheckRestingBodies(r));
    EXPECT_EQ(r.bodyA, nullptr);
    EXPECT_EQ(r.bodyB, &b);

    r.bodyA = &a;
    a.restState = NE_MOVING;
    b.restState = NE_RESTING;  // a moving body on a resting one: B is let go
    EXPECT_FALSE(neCheckRestingBodies(r));
    EXPECT_EQ(r.bodyB, nullptr);

    neAnimatedBody ground{};
    ground.type = NE_BODY_ANIMATED;
    a.restState = NE_RESTING;
    r.bodyA = &a;
    r.bodyB = &ground;  // no rigid B: resting A is enough
    EXPECT_TRUE(neCheckRestingBodies(r));
}

}  // namespace
