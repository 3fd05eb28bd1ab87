// Animated bodies: moved by the application, never by the simulation, and
// met by rigid bodies like any other shape.
#include "physics_test_util.h"

#include <algorithm>
#include <cmath>

namespace {

const neV3 kGravity = neMakeV3(0, -9.8f, 0);

neAnimatedBody* Platform(neSimulator* sim, const neV3& pos, const neV3& size) {
    neAnimatedBody* p = sim->CreateAnimatedBody();
    neGeometry* g = p->AddGeometry();
    g->SetBoxSize(size);
    p->UpdateBoundingInfo();
    p->SetPos(pos);
    return p;
}

neRigidBody* Box(neSimulator* sim, const neV3& pos) {
    neRigidBody* box = sim->CreateRigidBody();
    box->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
    box->UpdateBoundingInfo();
    box->SetMass(1.0f);
    box->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
    box->SetPos(pos);
    box->UpdateRotationAndInertia();
    return box;
}

bool Finite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST(AnimatedBody, CreatedStillAtTheOriginWithoutShape) {
    SimulatorHolder sim;
    neAnimatedBody* body = sim->CreateAnimatedBody();
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->type, NE_BODY_ANIMATED);
    EXPECT_EQ(body->AsAnimatedBody(), body);
    EXPECT_EQ(body->AsRigidBody(), nullptr);
    EXPECT_EQ(body->moved, 0);
    EXPECT_TRUE(body->IsActive());
    EXPECT_EQ(body->GetGeometryCount(), 0);
    const neT3 t = body->GetTransform();
    ExpectV3Near(t.pos, neMakeV3(0, 0, 0));
    EXPECT_EQ(t.pos.w, 1.0f);
    EXPECT_EQ(t.rot.M[0].w, 0.0f);
}

TEST(AnimatedBody, SetPosMovesTheBoundsAtOnceARotationAtTheNextStep) {
    SimulatorHolder sim;
    neAnimatedBody* p = Platform(sim.sim, neMakeV3(0, 0, 0), neMakeV3(4, 1, 2));
    sim->Advance(0.01f);
    EXPECT_EQ(p->moved, 0);  // cleared by the advance

    p->SetPos(neMakeV3(10, 0, 0));
    EXPECT_EQ(p->moved, 1);
    ExpectV3Near(p->minBound, neMakeV3(8, -0.5f, -1));
    ExpectV3Near(p->maxBound, neMakeV3(12, 0.5f, 1));
    sim->Advance(0.01f);
    EXPECT_EQ(p->moved, 0);

    neM3 quarter;
    quarter.RotateXYZ(neMakeV3(0, NE_PI / 2, 0));
    p->SetRotationM3(quarter);
    EXPECT_EQ(p->moved, 1);
    ExpectV3Near(p->maxBound, neMakeV3(12, 0.5f, 1));  // not yet
    sim->Advance(0.01f);
    ExpectV3Near(p->minBound, neMakeV3(9, -0.5f, -2), 1e-5f);
    ExpectV3Near(p->maxBound, neMakeV3(11, 0.5f, 2), 1e-5f);
}

TEST(AnimatedBody, RotationQuaternionsComeBackWithNonNegativeW) {
    SimulatorHolder sim;
    neAnimatedBody* body = sim->CreateAnimatedBody();
    const f32 h = std::sqrt(0.5f);
    body->SetPos(neMakeV3(1, 2, 3));
    body->SetRotationQ(neQ{0, -h, 0, -h});  // a quarter turn about y, negative w
    const neQ q = body->GetRotationQ();
    EXPECT_NEAR(q.x, 0, 1e-6f);
    EXPECT_NEAR(q.y, h, 1e-6f);
    EXPECT_NEAR(q.z, 0, 1e-6f);
    EXPECT_NEAR(q.w, h, 1e-6f);
    ExpectV3Near(body->GetPos(), neMakeV3(1, 2, 3));  // the position is kept
    ExpectV3Near(body->GetRotationM3().M[0], neMakeV3(0, 0, -1), 1e-6f);
}

TEST(AnimatedBody, ABoxLandsOnAnAnimatedPlatformThatNeverMoves) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neAnimatedBody* p = Platform(sim.sim, neMakeV3(0, -0.5f, 0), neMakeV3(6, 1, 6));
    neRigidBody* box = Box(sim.sim, neMakeV3(0.3f, 0.8f, -0.2f));
    // Holding it up for good is the resting-contact stacks' part; the
    // impacts alone stop the fall and bounce the box back up.
    f32 highestRise = 0.0f;
    for (s32 i = 0; i < 60; ++i) {
        sim->Advance(0.01f);
        ASSERT_TRUE(Finite(box->GetPos()));
        ASSERT_GT(box->GetPos().y, 0.45f) << "step " << i;
        highestRise = std::max(highestRise, box->GetVelocity().y);
    }
    EXPECT_GT(highestRise, 0.5f);
    ExpectV3Near(p->GetPos(), neMakeV3(0, -0.5f, 0));
    ExpectV3Near(p->GetTransform().rot.M[1], neMakeV3(0, 1, 0));
    EXPECT_EQ(p->moved, 0);
}

TEST(AnimatedBody, TwoAnimatedBodiesNeverCollide) {
    SimulatorHolder sim;
    neAnimatedBody* a = Platform(sim.sim, neMakeV3(0, 0, 0), neMakeV3(2, 2, 2));
    neAnimatedBody* b = Platform(sim.sim, neMakeV3(0.5f, 0, 0), neMakeV3(2, 2, 2));
    static s32 calls;
    calls = 0;
    sim->GetCollisionTable()->Set(0, 0, 3);
    sim->SetCollisionCallback([](neCollisionInfo*) { ++calls; });
    for (s32 i = 0; i < 5; ++i) sim->Advance(0.01f);
    EXPECT_EQ(calls, 0);
    ExpectV3Near(a->GetPos(), neMakeV3(0, 0, 0));
    ExpectV3Near(b->GetPos(), neMakeV3(0.5f, 0, 0));
}

TEST(AnimatedBody, AnInactivePlatformIsPassedThrough) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neAnimatedBody* p = Platform(sim.sim, neMakeV3(0, -0.5f, 0), neMakeV3(6, 1, 6));
    p->SetActiveWithHint(false, nullptr);
    EXPECT_FALSE(p->IsActive());
    neRigidBody* box = Box(sim.sim, neMakeV3(0, 1.0f, 0));
    for (s32 i = 0; i < 100; ++i) sim->Advance(0.01f);
    EXPECT_LT(box->GetPos().y, -1.0f);
}
