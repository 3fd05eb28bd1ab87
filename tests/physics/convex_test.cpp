// Convex polytope tests: cubes given as convex data behave like boxes,
// edge-edge contacts and separations, terrain triangles, degenerate input.
#include "physics/convex.h"
#include "physics/narrow_phase.h"

#include "convex_block.h"
#include "physics_test_util.h"
#include "scene_builders.h"
#include "terrain_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

neGeometry BoxGeometry(f32 hx, f32 hy, f32 hz) {
    neGeometry g;
    g.SetDefaults();
    g.SetBoxSizeXYZ(2 * hx, 2 * hy, 2 * hz);
    return g;
}

neGeometry ConvexGeometry(const ConvexBlock& block) {
    neGeometry g;
    g.SetDefaults();
    g.SetConvex(block.Data());
    return g;
}

void ExpectSaneContact(const neCollisionResult& r) {
    if (!r.valid) return;
    EXPECT_TRUE(std::isfinite(r.depth));
    EXPECT_GE(r.depth, 0.0f);
    EXPECT_TRUE(Finite(r.normal) && Finite(r.pointA) && Finite(r.pointB));
    EXPECT_NEAR(r.normal.Dot(r.normal), 1.0f, 1e-3f);
}

// Penetration of two boxes by the separating-axis theorem: the smallest
// overlap over the fifteen axes, negative when some axis separates.
f32 BoxOverlap(const neV3& ha, const neT3& ta, const neV3& hb, const neT3& tb) {
    neV3 axes[15];
    s32 n = 0;
    for (s32 i = 0; i < 3; ++i) axes[n++] = ta.rot.M[i];
    for (s32 i = 0; i < 3; ++i) axes[n++] = tb.rot.M[i];
    for (s32 i = 0; i < 3; ++i)
        for (s32 j = 0; j < 3; ++j) {
            neV3 l = ta.rot.M[i].Cross(tb.rot.M[j]);
            if (l.Dot(l) > 1e-4f) axes[n++] = l * (1.0f / std::sqrt(l.Dot(l)));
        }
    f32 best = 1e30f;
    neV3 d = tb.pos - ta.pos;
    for (s32 k = 0; k < n; ++k) {
        const neV3& l = axes[k];
        f32 ra = 0, rb = 0;
        for (s32 i = 0; i < 3; ++i) {
            ra += std::fabs(ta.rot.M[i].Dot(l)) * ha[i];
            rb += std::fabs(tb.rot.M[i].Dot(l)) * hb[i];
        }
        best = std::min(best, ra + rb - std::fabs(d.Dot(l)));
    }
    return best;
}

}  // namespace

TEST(ConvexCollision, BoxAndConvexCubeAgreeWithTwoBoxes) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry convex = ConvexGeometry(cube), box = BoxGeometry(0.5f, 0.5f, 0.5f);
    const neT3 ta = Placed(neMakeV3(0, 0, 0)), tb = Placed(neMakeV3(0.2f, 0.95f, -0.1f));
    neCollisionResult boxes{}, mixed{}, flipped{}, convexes{};
    ASSERT_TRUE(neCollideConvexConvex(boxes, box, ta, box, tb));
    ASSERT_TRUE(neCollideConvexConvex(mixed, box, ta, convex, tb));
    ASSERT_TRUE(neCollideConvexConvex(flipped, convex, ta, box, tb));
    ASSERT_TRUE(neCollideConvexConvex(convexes, convex, ta, convex, tb));
    for (const neCollisionResult* r : {&boxes, &mixed, &flipped, &convexes}) {
        EXPECT_NEAR(r->depth, 0.05f, 1e-5f);
        ExpectV3Near(r->normal, neMakeV3(0, -1, 0));
    }
    neCollisionResult pair{};
    neCollideConvexPair(pair, convex, ta, box, tb);
    EXPECT_EQ(pair.valid, 1);
    EXPECT_NEAR(pair.depth, 0.05f, 1e-5f);
}

TEST(ConvexCollision, TouchingFacesAreSeparated) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube);
    neCollisionResult r{};
    EXPECT_FALSE(neCollideConvexConvex(r, a, Placed(neMakeV3(0, 0, 0)), a, Placed(neMakeV3(0, 1.0f, 0))));
    EXPECT_EQ(r.valid, 0);
    EXPECT_FALSE(neCollideConvexConvex(r, a, Placed(neMakeV3(0, 0, 0)), a, Placed(neMakeV3(0.3f, 1.2f, 0))));
}

TEST(ConvexCollision, CrossedEdgesMeetAlongTheEdgeAxisOrSeparate) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube), b = BoxGeometry(0.5f, 0.5f, 0.5f);
    const f32 q = NE_PI / 4;
    const neT3 ta = Placed(neMakeV3(0, 0, 0), neMakeV3(0, 0, q));   // top edge along z
    const f32 reach = std::sqrt(0.5f);                                // centre to edge
    neCollisionResult r{};
    ASSERT_TRUE(neCollideConvexConvex(r, a, ta, b, Placed(neMakeV3(0, 1.35f, 0), neMakeV3(q, 0, 0))));
    EXPECT_NEAR(r.depth, 2 * reach - 1.35f, 1e-4f);
    ExpectV3Near(r.normal, neMakeV3(0, -1, 0), 1e-4f);
    ExpectV3Near(r.pointA, neMakeV3(0, reach, 0), 1e-4f);
    ExpectV3Near(r.pointB, neMakeV3(0, 1.35f - reach, 0), 1e-4f);

    // Lifted clear, only the edge-edge axis separates them.
    EXPECT_FALSE(neCollideConvexConvex(r, a, ta, b, Placed(neMakeV3(0, 1.45f, 0), neMakeV3(q, 0, 0))));
    EXPECT_EQ(r.valid, 0);
}

TEST(ConvexCollision, RandomBoxPairsAgreeWithTheSeparatingAxisTheorem) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<f32> angle(-NE_PI, NE_PI), offset(-1.6f, 1.6f), size(0.2f, 0.8f);
    s32 contacts = 0, separations = 0;
    for (s32 i = 0; i < 3000; ++i) {
        const neV3 ha = neMakeV3(size(rng), size(rng), size(rng)), hb = neMakeV3(size(rng), size(rng), size(rng));
        const neT3 ta = Placed(neMakeV3(0, 0, 0), neMakeV3(angle(rng), angle(rng), angle(rng)));
        const neT3 tb = Placed(neMakeV3(offset(rng), offset(rng), offset(rng)), neMakeV3(angle(rng), angle(rng), angle(rng)));
        neGeometry ga = BoxGeometry(ha.x, ha.y, ha.z), gb = BoxGeometry(hb.x, hb.y, hb.z);
        neCollisionResult r{};
        neCollideConvexConvex(r, ga, ta, gb, tb);
        ExpectSaneContact(r);
        const f32 overlap = BoxOverlap(ha, ta, hb, tb);
        if (overlap > 0.01f) {
            ++contacts;
            EXPECT_EQ(r.valid, 1) << "case " << i << " overlap " << overlap;
            if (r.valid) {
                EXPECT_GE(r.depth, overlap - 1e-3f) << "case " << i;
            }
        } else if (overlap < -0.01f) {
            ++separations;
            EXPECT_EQ(r.valid, 0) << "case " << i << " overlap " << overlap;
        }
    }
    EXPECT_GT(contacts, 300);
    EXPECT_GT(separations, 300);
}

TEST(ConvexCollision, ConvexCubesCollideLikeTheBoxBoxTest) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry convex = ConvexGeometry(cube), box = BoxGeometry(0.5f, 0.5f, 0.5f);
    // The documented case through the dispatcher: both shapes agree.
    const neT3 ta = Placed(neMakeV3(0, 0, 0)), tb = Placed(neMakeV3(0, 0.9f, 0));
    neCollisionResult boxes{}, convexes{};
    neCollideBoxBox(boxes, box, ta, box, tb);
    neCollideGeometryPair(convexes, convex, ta, convex, tb);
    ASSERT_EQ(boxes.valid, 1);
    ASSERT_EQ(convexes.valid, 1);
    EXPECT_NEAR(convexes.depth, boxes.depth, 1e-5f);
    ExpectV3Near(convexes.normal, boxes.normal);
    EXPECT_NEAR(convexes.pointA.y, boxes.pointA.y, 1e-5f);
    EXPECT_NEAR(convexes.pointB.y, boxes.pointB.y, 1e-5f);

    // Random placements: the two tests agree on contact, and on the depth of
    // shallow contacts on the top face (deep ones may leave by another axis:
    // the convex search ranks axes by its own measure, not by depth alone).
    std::mt19937 rng(5);
    std::uniform_real_distribution<f32> angle(-0.3f, 0.3f), side(-0.4f, 0.4f), height(0.8f, 1.2f);
    s32 agreeing = 0;
    for (s32 i = 0; i < 400; ++i) {
        const neT3 tc = Placed(neMakeV3(side(rng), height(rng), side(rng)), neMakeV3(angle(rng), angle(rng), angle(rng)));
        neCollideBoxBox(boxes, box, ta, box, tc);
        neCollideGeometryPair(convexes, convex, ta, convex, tc);
        const f32 overlap = BoxOverlap(neMakeV3(0.5f, 0.5f, 0.5f), ta, neMakeV3(0.5f, 0.5f, 0.5f), tc);
        if (std::fabs(overlap) < 0.01f) continue;
        EXPECT_EQ(convexes.valid, boxes.valid) << "case " << i;
        if (convexes.valid && boxes.valid && boxes.normal.y < -0.99f && boxes.depth < 0.1f) {
            EXPECT_NEAR(convexes.depth, boxes.depth, 2e-3f) << "case " << i;
            ++agreeing;
        }
    }
    EXPECT_GT(agreeing, 30);
}

TEST(ConvexCollision, OctahedronRestingOnACubeTouchesWithItsTip) {
    ConvexBlock octa = ConvexBlock::Octahedron(0.5f);
    neGeometry a = ConvexGeometry(octa), b = BoxGeometry(1, 0.5f, 1);
    neCollisionResult r{};
    ASSERT_TRUE(neCollideConvexConvex(r, a, Placed(neMakeV3(0.1f, 0.98f, 0)), b, Placed(neMakeV3(0, 0, 0))));
    EXPECT_NEAR(r.depth, 0.02f, 1e-4f);
    ExpectV3Near(r.normal, neMakeV3(0, 1, 0), 1e-4f);
    ExpectV3Near(r.pointA, neMakeV3(0.1f, 0.48f, 0), 1e-4f);
}

TEST(ConvexCollision, DegenerateInputGivesNoContactAndNoNaN) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube);
    neCollisionResult r{};
    // The search direction vanishes when B sits exactly at A + (-0.1, -0.1, -0.1).
    neCollideConvexConvex(r, a, Placed(neMakeV3(0, 0, 0)), a, Placed(neMakeV3(-0.1f, -0.1f, -0.1f)));
    ExpectSaneContact(r);

    // A block whose counts are out of range never collides.
    ConvexBlock broken = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neConvexHeader header{300, 8, {0, 0}};
    std::memcpy(broken.MutableData(), &header, sizeof header);
    neGeometry bad = ConvexGeometry(broken);
    EXPECT_FALSE(neCollideConvexConvex(r, bad, Placed(neMakeV3(0, 0, 0)), a, Placed(neMakeV3(0, 0.5f, 0))));
    neGeometry sphere;
    sphere.SetDefaults();
    sphere.SetSphereDiameter(1);
    EXPECT_FALSE(neCollideConvexConvex(r, sphere, Placed(neMakeV3(0, 0, 0)), a, Placed(neMakeV3(0, 0.5f, 0))));
}

TEST(ConvexCollision, ManyFacedPolytopesStayWithinTheEdgeStack) {
    // A latitude-longitude ball: 12 segments and 8 rings use 252 of the 255
    // edge numbers a block can hold.
    const s32 segments = 12, rings = 8;
    std::vector<neV3> v = {neMakeV3(0, 0.6f, 0), neMakeV3(0, -0.6f, 0)};
    for (s32 r = 1; r < rings; ++r)
        for (s32 s = 0; s < segments; ++s) {
            f32 th = NE_PI * r / rings, ph = 2 * NE_PI * s / segments;
            v.push_back(neMakeV3(0.6f * std::sin(th) * std::cos(ph), 0.6f * std::cos(th), 0.6f * std::sin(th) * std::sin(ph)));
        }
    auto at = [&](s32 r, s32 s) { return r == 0 ? 0 : (r == rings ? 1 : 2 + (r - 1) * segments + (s % segments)); };
    std::vector<std::array<int, 3>> t;
    for (s32 r = 0; r < rings; ++r)
        for (s32 s = 0; s < segments; ++s) {
            if (r > 0) t.push_back({at(r, s), at(r, s + 1), at(r + 1, s)});
            if (r < rings - 1) t.push_back({at(r, s + 1), at(r + 1, s + 1), at(r + 1, s)});
        }
    ConvexBlock ball(v, t);
    ASSERT_EQ(ball.EdgeCount(), 252);
    neGeometry a = ConvexGeometry(ball);
    std::mt19937 rng(3);
    std::uniform_real_distribution<f32> angle(-NE_PI, NE_PI), offset(-1.3f, 1.3f);
    for (s32 i = 0; i < 60; ++i) {
        neCollisionResult r{};
        neCollideConvexConvex(r, a, Placed(neMakeV3(0, 0, 0), neMakeV3(angle(rng), angle(rng), angle(rng))), a,
                              Placed(neMakeV3(offset(rng), offset(rng), offset(rng)), neMakeV3(angle(rng), 0, 0)));
        ExpectSaneContact(r);
    }
}

TEST(ConvexCollision, AnApexOfManyEdgesSeedsMorePairsThanAFixedStackHolds) {
    // A cone of 80 sides: its apex has 80 edges, so a cube's triangular face
    // against it seeds 240 edge pairs at once.
    const s32 sides = 80;
    std::vector<neV3> v = {neMakeV3(0, -0.5f, 0), neMakeV3(0, 0.5f, 0)};  // apex, base centre
    for (s32 s = 0; s < sides; ++s) {
        const f32 a = 2 * NE_PI * s / sides;
        v.push_back(neMakeV3(0.5f * std::cos(a), 0.5f, 0.5f * std::sin(a)));
    }
    std::vector<std::array<int, 3>> t;
    for (s32 s = 0; s < sides; ++s) {
        const int here = 2 + s, next = 2 + (s + 1) % sides;
        t.push_back({0, here, next});
        t.push_back({1, next, here});
    }
    ConvexBlock cone(v, t);
    ASSERT_EQ(cone.EdgeCount(), 3 * sides);
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube), b = ConvexGeometry(cone);
    for (const f32 sink : {0.01f, 0.03f}) {
        neCollisionResult r{};
        ASSERT_TRUE(neCollideConvexConvex(r, a, Placed(neMakeV3(0, 0, 0)), b, Placed(neMakeV3(0.1f, 1.0f - sink, 0.05f))));
        EXPECT_NEAR(r.depth, sink, 1e-4f);
        ExpectV3Near(r.normal, neMakeV3(0, -1, 0), 1e-4f);
        ExpectV3Near(r.pointB, neMakeV3(0.1f, 0.5f - sink, 0.05f), 1e-4f);
    }
}

// ---- Against the terrain.

namespace {

struct TerrainPatch : TriangleSoup {
    neGeometry geometry;

    // A horizontal triangle at height y, large enough to pass under a unit body.
    void AddFloor(f32 y, s32 material, bool clockwise = false, u32 flags = 0) {
        neV3 a = neMakeV3(-5, y, -5), b = neMakeV3(5, y, -5), c = neMakeV3(0, y, 8);
        if (clockwise)
            Add(a, c, b, material, flags);
        else
            Add(a, b, c, material, flags);
    }
    const neGeometry& Geometry() {
        geometry.SetDefaults();
        geometry.SetMesh(indices.data(), static_cast<s32>(indices.size()), triangles.data(), vertices.data());
        return geometry;
    }
};

}  // namespace

TEST(ConvexTerrain, ACubeOverTwoTrianglesTakesTheDeeperOneAndItsMaterial) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube);
    TerrainPatch patch;
    patch.AddFloor(0.0f, 4);
    patch.AddFloor(0.03f, 7, true);
    neCollisionResult r{};
    neCollideConvexTerrain(r, a, Placed(neMakeV3(0.2f, 0.45f, 0.1f)), patch.Geometry());
    ASSERT_EQ(r.valid, 1);
    EXPECT_NEAR(r.depth, 0.08f, 1e-5f);
    ExpectV3Near(r.normal, neMakeV3(0, 1, 0));  // up, whatever the winding
    EXPECT_EQ(r.materialIndexB, 7);
    EXPECT_NEAR(r.pointA.y, -0.05f, 1e-5f);
    EXPECT_NEAR(r.pointB.y, 0.03f, 1e-5f);
}

TEST(ConvexTerrain, ATipOnALargeTriangleTouchesAtTheTipWithTheGroundsNormal) {
    // A triangle metres across has no centre a direction measure could use:
    // the contact must still come from the ground's face, at the tip.
    ConvexBlock octa = ConvexBlock::Octahedron(0.5f);
    neGeometry a = ConvexGeometry(octa);
    TerrainPatch patch;
    patch.Add(neMakeV3(10, 0, -10), neMakeV3(-10, 0, 10), neMakeV3(10, 0, 10), 2);
    for (const f32 sink : {0.001f, 0.01f, 0.04f}) {
        neCollisionResult r{};
        neCollideConvexTerrain(r, a, Placed(neMakeV3(0.3f, 0.5f - sink, -0.2f)), patch.Geometry());
        ASSERT_EQ(r.valid, 1);
        EXPECT_NEAR(r.depth, sink, 1e-5f);
        ExpectV3Near(r.normal, neMakeV3(0, 1, 0));
        ExpectV3Near(r.pointA, neMakeV3(0.3f, -sink, -0.2f), 1e-5f);
    }
}

TEST(ConvexTerrain, OnlyFullTestTrianglesCollide) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube);
    TerrainPatch patch;
    patch.AddFloor(0.0f, 1, false, NE_TRIANGLE_VERTICAL_TEST);
    patch.AddFloor(0.0f, 2, false, 5);
    neCollisionResult r{};
    neCollideConvexTerrain(r, a, Placed(neMakeV3(0, 0.45f, 0)), patch.Geometry());
    EXPECT_EQ(r.valid, 0);
    neCollideConvexTerrain(r, a, Placed(neMakeV3(0, 0.6f, 0)), patch.Geometry());
    EXPECT_EQ(r.valid, 0);
}

TEST(ConvexTerrain, AnEdgeDownOnATriangleEdgeStillGetsAContact) {
    // A cube turned 45 degrees about z stands on its edge across the border
    // of a small triangle: the contact is found and stays sane.
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.5f, 0.5f);
    neGeometry a = ConvexGeometry(cube);
    TerrainPatch patch;
    patch.Add(neMakeV3(-1, 0, 0.2f), neMakeV3(1, 0, 0.2f), neMakeV3(0, 0, 2), 3);
    neCollisionResult r{};
    neCollideConvexTerrain(r, a, Placed(neMakeV3(0, std::sqrt(0.5f) - 0.02f, 0), neMakeV3(0, 0, NE_PI / 4)),
                           patch.Geometry());
    ASSERT_EQ(r.valid, 1);
    ExpectSaneContact(r);
    EXPECT_NEAR(r.depth, 0.02f, 1e-3f);
    EXPECT_EQ(r.materialIndexB, 3);
}

TEST(ConvexTerrain, DegenerateAndRandomTrianglesNeverGiveNaN) {
    ConvexBlock cube = ConvexBlock::Cuboid(0.5f, 0.4f, 0.3f);
    neGeometry a = ConvexGeometry(cube);
    TerrainPatch line;
    line.Add(neMakeV3(-1, 0, 0), neMakeV3(0, 0, 0), neMakeV3(1, 0, 0), 1);  // no area
    neCollisionResult r{};
    neCollideConvexTerrain(r, a, Placed(neMakeV3(0, 0.2f, 0)), line.Geometry());
    EXPECT_EQ(r.valid, 0);

    std::mt19937 rng(11);
    std::uniform_real_distribution<f32> coord(-1.2f, 1.2f), angle(-NE_PI, NE_PI);
    for (s32 i = 0; i < 500; ++i) {
        TerrainPatch patch;
        for (s32 k = 0; k < 3; ++k)
            patch.Add(neMakeV3(coord(rng), coord(rng), coord(rng)), neMakeV3(coord(rng), coord(rng), coord(rng)),
                              neMakeV3(coord(rng), coord(rng), coord(rng)), k);
        neCollideConvexTerrain(r, a, Placed(neMakeV3(0, 0, 0), neMakeV3(angle(rng), angle(rng), angle(rng))),
                               patch.Geometry());
        ExpectSaneContact(r);
    }
}

TEST(ConvexTerrain, AConvexBodyDroppedOnTheTerrainLandsOnIt) {
    const neV3 gravity = neMakeV3(0, -9.8f, 0);
    SimulatorHolder sim(neSimulatorSizes(), &gravity);
    ASSERT_TRUE(SetFlatGround(sim.sim, 1, 20.0f));

    ConvexBlock octa = ConvexBlock::Octahedron(0.5f);
    neRigidBody* body = sim->CreateRigidBody();
    body->AddGeometry()->SetConvex(octa.Data());
    body->UpdateBoundingInfo();
    body->SetInertiaTensor(neSphereInertiaTensor(1.0f, 1.0f));
    body->SetPos(neMakeV3(0.3f, 0.7f, -0.2f));
    f32 highestRise = 0.0f;
    for (s32 i = 0; i < 60; ++i) {
        sim->Advance(0.01f);
        ASSERT_TRUE(Finite(body->GetPos()));
        ASSERT_GT(body->GetPos().y, 0.4f) << "step " << i;  // its lowest tip stays near the ground
        highestRise = std::max(highestRise, body->GetVelocity().y);
    }
    EXPECT_GT(highestRise, 0.1f);  // it hit the ground and bounced
}
