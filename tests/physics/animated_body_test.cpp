// Animated bodies: moved by the application, never by the simulation, and
// met by rigid bodies like any other shape.
#include "physics_test_util.h"
#include "scene_builders.h"

#include <algorithm>
#include <cmath>

namespace {

const neV3 kGravity = neMakeV3(0, -9.8f, 0);

neAnimatedBody* Platform(neSimulatorCore* sim, const neV3& pos, const neV3& size) {
    neAnimatedBody* p = sim->CreateAnimatedBody();
    neGeometry* g = p->AddGeometry();
    g->SetBoxSize(size);
    p->UpdateBoundingInfo();
    p->SetPos(pos);
    return p;
}

}  // namespace

TEST(AnimatedBody, ABoxRestsAndSleepsOnAStillPlatform) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neAnimatedBody* p = Platform(sim.sim, neMakeV3(0, -0.5f, 0), neMakeV3(6, 1, 6));
    neRigidBody* box = MakeBox(sim.sim, neMakeV3(0.3f, 0.8f, -0.2f));
    for (s32 i = 0; i < 300; ++i) {
        sim->Advance(0.01f);
        ASSERT_TRUE(Finite(box->GetPos()));
        ASSERT_GT(box->GetPos().y, 0.45f) << "step " << i;
    }
    EXPECT_NEAR(box->GetPos().y, 0.5f, 0.015f);
    EXPECT_EQ(box->restState, NE_RESTING);
    // The simulation never moved the platform.
    ExpectV3Near(p->GetPos(), neMakeV3(0, -0.5f, 0));
    ExpectV3Near(p->GetTransform().rot.M[1], neMakeV3(0, 1, 0));
    EXPECT_EQ(p->moved, 0);
}

TEST(AnimatedBody, APlatformThatMovesSupportsButNeverLetsTheBoxSleep) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neAnimatedBody* p = Platform(sim.sim, neMakeV3(0, -0.5f, 0), neMakeV3(6, 1, 6));
    neRigidBody* box = MakeBox(sim.sim, neMakeV3(0.3f, 0.8f, -0.2f));
    for (s32 i = 1; i <= 300; ++i) {
        p->SetPos(neMakeV3(0.0001f * (i % 2), -0.5f, 0));  // a tremor every step
        sim->Advance(0.01f);
        ASSERT_GT(box->GetPos().y, 0.45f) << "step " << i;
        ASSERT_NE(box->restState, NE_RESTING) << "step " << i;
    }
    EXPECT_NEAR(box->GetPos().y, 0.5f, 0.015f);
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
    neRigidBody* box = MakeBox(sim.sim, neMakeV3(0, 1.0f, 0));
    for (s32 i = 0; i < 100; ++i) sim->Advance(0.01f);
    EXPECT_LT(box->GetPos().y, -1.0f);
}

TEST(AnimatedBody, TwoJointedBoxesRestOnAPlatformAndSleepAndWakeTogether) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    Platform(sim.sim, neMakeV3(0, -0.5f, 0), neMakeV3(8, 1, 8));
    neRigidBody* a = MakeBox(sim.sim, neMakeV3(-0.6f, 0.8f, 0));
    neRigidBody* b = MakeBox(sim.sim, neMakeV3(0.6f, 0.8f, 0));
    neConstraint* j = sim->CreateConstraint(a, b);
    j->SetJointFrameWorld(Placed(neMakeV3(0, 0.8f, 0)));
    j->Enable(1);
    for (s32 i = 0; i < 300; ++i) {
        sim->Advance(0.01f);
        const neV3 gap = a->GetTransform() * j->anchors[0].localA - b->GetTransform() * j->anchors[0].localB;
        ASSERT_LT(std::sqrt(gap.Dot(gap)), 2e-3f) << "step " << i;
    }
    EXPECT_NEAR(a->GetPos().y, 0.5f, 0.015f);
    EXPECT_NEAR(b->GetPos().y, 0.5f, 0.015f);
    EXPECT_EQ(a->restState, NE_RESTING);
    EXPECT_EQ(b->restState, NE_RESTING);
    // A push on one wakes its whole set.
    a->SetVelocity(neMakeV3(0, 1, 0));
    EXPECT_EQ(b->restState, NE_MOVING);
}
