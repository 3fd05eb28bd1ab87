// The row rules, the dispatcher and the two-pass iteration.
#include "physics/impulse_iteration.h"

#include "physics/body.h"
#include "physics/response.h"
#include "physics/simulator.h"
#include "physics_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr f32 kDt = 0.01f;

struct TwoBodies {
    TwoBodies() {
        sim->stepTime = kDt;
        sim->stepTimeInverse = 1.0f / kDt;
        a = Make(neMakeV3(0, 0, 0), 1.0f);
        b = Make(neMakeV3(2, 0, 0), 3.0f);
    }
    neRigidBody* Make(const neV3& pos, f32 mass) {
        neRigidBody* body = sim->CreateRigidBody();
        body->SetMass(mass);
        body->SetInertiaTensor(neBoxInertiaTensorXYZ(1, 1, 1, mass));
        body->SetPos(pos);
        body->UpdateRotationAndInertia();
        return body;
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

// A ball-joint row between anchors at the centres plus `arm` on each body.
neCollisionResult PointRow(TwoBodies& s, const neV3& error) {
    neCollisionResult r = s.Row(NE_IMPULSE_POINT_JOINT);
    r.pointA = neMakeV3(1, 0, 0);
    r.pointB = neMakeV3(-1, 0, 0);
    r.worldPointA = error;
    r.depth = error.Length();
    neUpdateMatrices(r, false, false);
    return r;
}

neV3 AnchorVelocity(TwoBodies& s, const neCollisionResult& r) {
    return s.a->GetVelocityAtPoint(r.pointA) - s.b->GetVelocityAtPoint(r.pointB);
}

TEST(JointRows, PointRowWithoutErrorStopsTheAnchorsRelativeMotion) {
    TwoBodies s;
    s.a->velocity = neMakeV3(1, 2, -1);
    s.b->SetAngularMomentum(neMakeV3(0, 0, 3));
    neCollisionResult r = PointRow(s, neMakeV3(0, 0, 0));
    neImpulse(*s.sim.sim, r);
    ExpectV3Near(AnchorVelocity(s, r), neMakeV3(0, 0, 0), 1e-4f);
    EXPECT_EQ(s.a->touched, 1);
    EXPECT_EQ(s.b->touched, 1);
}

TEST(JointRows, PointRowWithAnErrorHalvesTheMotionAndCorrects) {
    TwoBodies s;
    s.a->velocity = neMakeV3(0, 2, 0);
    const neV3 small = neMakeV3(0, 0.04f, 0);
    neCollisionResult r = PointRow(s, small);
    const neV3 before = AnchorVelocity(s, r);
    neImpulse(*s.sim.sim, r);
    ExpectV3Near(AnchorVelocity(s, r), before * 0.5f - small * (0.5f / kDt), 1e-3f);

    // A long error is corrected by at most 0.1 of its length ... per step.
    TwoBodies t;
    const neV3 large = neMakeV3(0, 1, 0);
    neCollisionResult q = PointRow(t, large);
    neImpulse(*t.sim.sim, q);
    ExpectV3Near(AnchorVelocity(t, q), large * (-0.05f / 0.5f / kDt), 1e-3f);
}

TEST(JointRows, SliderRowImpulseStaysOffItsAxis) {
    TwoBodies s;
    s.a->velocity = neMakeV3(1, 1, 0);
    neCollisionResult r = s.Row(NE_IMPULSE_POINT_ON_AXIS);
    r.worldPointB = neMakeV3(1, 0, 0);  // the axis
    neUpdateMatrices(r, false, false);
    neImpulse(*s.sim.sim, r);
    EXPECT_NEAR(s.a->velocity.x, 1.0f, 1e-5f);
    EXPECT_NEAR(s.b->velocity.x, 0.0f, 1e-5f);
    EXPECT_NEAR(s.a->velocity.y - s.b->velocity.y, 0.0f, 1e-4f);
}

TEST(JointRows, LinearLimitActsOnlyBelowItsRecoverySpeed) {
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_LINEAR_LIMIT);
    r.worldPointB = neMakeV3(1, 0, 0);
    r.depth = 0.02f;  // recovery speed 0.5 · 0.02 / 0.01 = 1
    neUpdateMatrices(r, false, false);
    s.a->velocity = neMakeV3(-1.5f, 0, 0);  // rowValue 1.5: already faster
    neImpulse(*s.sim.sim, r);
    EXPECT_FLOAT_EQ(r.rowValue, 1.5f);
    EXPECT_FLOAT_EQ(s.a->velocity.x, -1.5f);
    EXPECT_EQ(s.a->touched, 0);

    s.a->velocity = neMakeV3(0.5f, 0, 0);  // rowValue −0.5: pushed back
    neImpulse(*s.sim.sim, r);
    EXPECT_LT(s.a->velocity.x, 0.5f);
}

TEST(JointRows, AngularLimitLeavesBodiesTurningBackAlone) {
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_ANGULAR_LIMIT);
    r.localPointB = neMakeV3(0, 1, 0);
    r.depth = 0.2f;  // beyond the upper limit
    neUpdateMatrices(r, false, false);
    s.a->SetAngularMomentum(neMakeV3(0, -0.1f, 0));
    const neV3 before = s.a->angularVelocity;
    neImpulse(*s.sim.sim, r);
    ExpectV3Near(s.a->angularVelocity, before);

    s.a->SetAngularMomentum(neMakeV3(0, 0.1f, 0));  // turning further out
    neImpulse(*s.sim.sim, r);
    EXPECT_LT(s.a->angularVelocity.y, 0.0f);
}

TEST(JointRows, LinearMotorChangesSpeedByAtMostItsForceTimesTheStep) {
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_LINEAR_MOTOR);
    r.localPointA = neMakeV3(1, 0, 0);
    r.rowValue = 100.0f;  // target speed
    r.depth = 2.0f;       // maximum force
    neUpdateMatrices(r, false, false);
    neImpulse(*s.sim.sim, r);
    const f32 limit = 2.0f * kDt * (1.0f / 1.0f + 1.0f / 3.0f);
    EXPECT_NEAR(s.a->velocity.x - s.b->velocity.x, limit, 1e-5f);

    // Near the target it lands on it.
    TwoBodies t;
    neCollisionResult q = t.Row(NE_IMPULSE_LINEAR_MOTOR);
    q.localPointA = neMakeV3(1, 0, 0);
    q.rowValue = 0.01f;
    q.depth = 2.0f;
    neUpdateMatrices(q, false, false);
    neImpulse(*t.sim.sim, q);
    EXPECT_NEAR(t.a->velocity.x - t.b->velocity.x, 0.01f, 1e-6f);
}

TEST(JointRows, AngularMotorLimitsEachBodysImpulse) {
    TwoBodies s;
    neCollisionResult r = s.Row(NE_IMPULSE_ANGULAR_MOTOR);
    r.localPointA = r.localPointB = neMakeV3(0, 1, 0);
    r.rowValue = 50.0f;
    r.depth = 3.0f;
    neUpdateMatrices(r, false, false);
    neImpulse(*s.sim.sim, r);
    EXPECT_NEAR(s.a->GetAngularMomentum().Length(), 3.0f * kDt, 1e-5f);
    EXPECT_NEAR(s.b->GetAngularMomentum().Length(), 3.0f * kDt, 1e-5f);
    EXPECT_GT(s.a->angularVelocity.y, 0.0f);
    EXPECT_LT(s.b->angularVelocity.y, 0.0f);
}

TEST(ApplyResponse, IteratesTwoPassesOfTheAskedCount) {
    // Each answer of a saturated motor adds the same speed: the count of
    // answers shows in the final speed.
    for (s32 iterations : {-1, 2}) {
        TwoBodies s;
        neCollisionResult r = s.Row(NE_IMPULSE_LINEAR_MOTOR);
        r.localPointA = neMakeV3(1, 0, 0);
        r.rowValue = 100.0f;
        r.depth = 1.0f;
        neUpdateMatrices(r, false, false);
        s.sim->constraintRows.Push(r);
        s.sim->ApplyResponse(-1.0f, iterations);
        const f32 perAnswer = 1.0f * kDt * (1.0f + 1.0f / 3.0f);
        const s32 answers = iterations == -1 ? 8 : 4;
        EXPECT_NEAR(s.a->velocity.x - s.b->velocity.x, answers * perAnswer, 1e-4f) << iterations;
        EXPECT_EQ(s.sim->constraintRows.Count(), 0);
        EXPECT_EQ(s.sim->recovery, 0);
        EXPECT_EQ(s.sim->finalPass, 0);
    }
}

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
    neRigidBody* box = sim->CreateRigidBody();
    box->SetInertiaTensor(neBoxInertiaTensorXYZ(1, 1, 1, 1.0f));
    box->UpdateRotationAndInertia();
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

}  // namespace
