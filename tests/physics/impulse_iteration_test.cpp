// The two-pass iteration over resting contacts.
#include "physics/body.h"
#include "physics/joint_rows.h"
#include "physics/response.h"
#include "physics/simulator_core.h"
#include "physics_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr f32 kDt = 0.01f;

struct TwoBodies {
    TwoBodies() {
        sim->stepTime = kDt;
        sim->stepTimeInverse = 1.0f / kDt;
        a = MakeBody(sim.sim, neMakeV3(0, 0, 0), 1.0f);
        b = MakeBody(sim.sim, neMakeV3(2, 0, 0), 3.0f);
    }
    neCollisionResult Row(s32 kind) {
        neCollisionResult r;
        std::memset(&r, 0, sizeof r);
        r.kind = kind;
        r.bodyA = a;
        r.bodyB = b;
        return r;
    }
    SimulatorHolder sim;
    neRigidBody* a;
    neRigidBody* b;
};

TEST(ApplyResponse, NothingToAnswerLeavesEverythingAsItWas) {
    TwoBodies s;
    s.sim->recovery = 1;
    s.sim->finalPass = 1;
    s.sim->ApplyResponse(-1.0f, -1);
    EXPECT_EQ(s.sim->recovery, 1);
    EXPECT_EQ(s.sim->finalPass, 1);
}

TEST(ApplyResponse, RestingContactsRecoverOnlyInTheSecondPass) {
    // A box 0.03 into the ground, still: the first pass has nothing to
    // answer, the second pushes it out at the recovery speed.
    const neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    sim->stepTime = kDt;
    sim->stepTimeInverse = 1.0f / kDt;
    neRigidBody* box = MakeBody(sim.sim, neMakeV3(0, 0, 0));
    neCollisionResult r;
    std::memset(&r, 0, sizeof r);
    r.kind = NE_IMPULSE_RESTING_CONTACT;
    r.bodyA = box;
    r.bodyB = &sim->terrainBody;
    r.normal = neMakeV3(0, 1, 0);
    r.depth = 0.03f;
    r.stackValue = 1.0f;
    neUpdateMatrices(r, false, false);
    sim->stackRecords.Push(r);
    sim->ApplyResponse(-1.0f, 2);
    // Recovery speed 0.5 · (0.03 − 0.01) / 0.01 = 1; later answers find the
    // contact separating faster than 1 and leave it.
    EXPECT_NEAR(box->velocity.y, 1.0f, 1e-4f);
    EXPECT_EQ(sim->stackRecords.Count(), 0);

    // A weight scales the whole answer.
    box->velocity = neMakeV3(0, 0, 0);
    r.stackValue = 0.125f;
    sim->stackRecords.Push(r);
    sim->ApplyResponse(-1.0f, 1);
    EXPECT_NEAR(box->velocity.y, 0.125f, 1e-4f);
}

TEST(ApplyResponse, TheLastAnswerOfTheSecondPassLeavesTheSupportAlone) {
    // A 0.03 into B, both still: only the second pass answers, and with one
    // iteration that answer is the last, which moves A alone.
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_RESTING_CONTACT);
    r.normal = neMakeV3(-1, 0, 0);  // from B toward A
    r.depth = 0.03f;
    r.stackValue = 1.0f;
    neUpdateMatrices(r, false, false);
    s.sim->stackRecords.Push(r);
    s.sim->ApplyResponse(-1.0f, 1);
    // Recovery speed 0.5 · 0.03 / 0.01 = 1.5 through W = 1 / (1 + 1/3).
    ExpectV3Near(s.a->velocity, neMakeV3(-1.125f, 0, 0), 1e-4f);
    ExpectV3Near(s.b->velocity, neMakeV3(0, 0, 0));
    EXPECT_EQ(s.sim->finalPass, 0);
    EXPECT_EQ(s.sim->recovery, 0);
}

TEST(JointRowRules, ALinearLimitRowAlreadyLeavingFastEnoughGetsNoImpulse) {
    // A 0.05 past its limit along +x: the row wants A back at 0.5 · 0.05 / 0.01 = 2.5.
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_LINEAR_LIMIT);
    r.worldPointB = neMakeV3(1, 0, 0);
    r.depth = 0.05f;
    neUpdateMatrices(r, false, false);
    s.a->velocity = neMakeV3(-2.5f, 0, 0);
    neCollisionResponse::Impulse(s.sim.sim, r);
    EXPECT_FLOAT_EQ(r.rowValue, 2.5f);
    ExpectV3Near(s.a->velocity, neMakeV3(-2.5f, 0, 0));
    ExpectV3Near(s.b->velocity, neMakeV3(0, 0, 0));
    // Leaving more slowly, it is pushed: 2.5 − 0.5 · 1 = 2 more through W = 0.75.
    s.a->velocity = neMakeV3(-1, 0, 0);
    neCollisionResponse::Impulse(s.sim.sim, r);
    ExpectV3Near(s.a->velocity, neMakeV3(-2.5f, 0, 0), 1e-4f);
    ExpectV3Near(s.b->velocity, neMakeV3(0.5f, 0, 0), 1e-4f);
}

}  // namespace
