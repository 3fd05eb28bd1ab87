// Joints: parameters, constraint sets, controllers, frames and angles, the
// rows the solver builds, and jointed bodies in motion.
#include "physics/joint_rows.h"
#include "physics/response.h"
#include "physics/stack.h"
#include "physics_test_util.h"
#include "scene_builders.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

const neV3 kGravity = neMakeV3(0, -9.8f, 0);

neRigidBody* Body(neSimulatorCore* sim, const neV3& pos, f32 mass = 1.0f) {
    neRigidBody* b = sim->CreateRigidBody();
    b->SetMass(mass);
    b->SetInertiaTensor(neSphereInertiaTensor(0.2f, mass));
    b->SetPos(pos);
    b->UpdateRotationAndInertia();  // the world inverse inertia would follow only at the next step
    return b;
}

// Two bodies joined; the joint is not enabled yet.
struct JointedPair {
    neRigidBody *a, *b;
    neConstraint* joint;
};

JointedPair Joined(neSimulatorCore* sim, const neV3& posA, const neV3& posB, f32 mass = 1.0f) {
    JointedPair pair;
    pair.a = Body(sim, posA, mass);
    pair.b = Body(sim, posB, mass);
    pair.joint = sim->CreateConstraint(pair.a, pair.b);
    return pair;
}

// Three bodies 1 m apart along x from the origin, the first two and the last
// two joined; the joints are not enabled yet.
struct Chain {
    neRigidBody *a, *b, *c;
    neConstraint *ab, *bc;
};

Chain ThreeInARow(neSimulatorCore* sim) {
    Chain chain;
    chain.a = Body(sim, neMakeV3(0, 0, 0));
    chain.b = Body(sim, neMakeV3(1, 0, 0));
    chain.c = Body(sim, neMakeV3(2, 0, 0));
    chain.ab = sim->CreateConstraint(chain.a, chain.b);
    chain.bc = sim->CreateConstraint(chain.b, chain.c);
    return chain;
}

neM3 TurnAbout(const neV3& angles) {
    neM3 m;
    m.RotateXYZ(angles);
    return m;
}

std::vector<neCollisionResult> Rows(neSimulatorCore* sim) {
    return std::vector<neCollisionResult>(sim->constraintRows.Data(),
                                          sim->constraintRows.Data() + sim->constraintRows.Count());
}

// Builds the rows of the joint's set afresh.
std::vector<neCollisionResult> SolveSet(neSimulatorCore* sim, neConstraint* joint, f32* tolerance = nullptr,
                                        s32* iterations = nullptr) {
    sim->constraintRows.Clear();
    f32 tol = -1.0f;
    s32 it = -1;
    joint->bodyA->constraintSet->Solve(&tol, &it);
    if (tolerance) *tolerance = tol;
    if (iterations) *iterations = it;
    return Rows(sim);
}

s32 CountKind(const std::vector<neCollisionResult>& rows, s32 kind) {
    s32 n = 0;
    for (const auto& r : rows) n += r.kind == kind;
    return n;
}

const neCollisionResult* FindKind(const std::vector<neCollisionResult>& rows, s32 kind) {
    for (const auto& r : rows)
        if (r.kind == kind) return &r;
    return nullptr;
}

class CountingJointCallback : public neJointControllerCallback {
public:
    void ControllerCallback(neJointController* c, f32) override {
        steps.push_back(c->GetConstraint()->simulator->GetStepCount());
        c->SetControllerForceBodyA(forceA);
        c->SetControllerForceBodyB(forceB);
    }
    std::vector<s32> steps;
    neV3 forceA = neMakeV3(0, 0, 0);
    neV3 forceB = neMakeV3(0, 0, 0);
};

}  // namespace

// ---- Parameters ---------------------------------------------------------------

TEST(JointParameters, TheGuardedSetters) {
    SimulatorHolder sim;
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* j = sim->CreateConstraintWorld(a);
    ASSERT_NE(j, nullptr);
    EXPECT_FLOAT_EQ(j->GetTolerance(), 0.001f);  // stored -1

    j->SetType(NE_JOINT_HINGE);
    EXPECT_EQ(j->rowCount, 2);
    j->SetType(1);
    j->SetType(7);
    EXPECT_EQ(j->GetType(), NE_JOINT_HINGE);
    EXPECT_EQ(j->rowCount, 2);

    j->SetTolerance(0.0f);
    EXPECT_FLOAT_EQ(j->GetTolerance(), 0.001f);
    j->SetTolerance(0.02f);
    EXPECT_FLOAT_EQ(j->GetTolerance(), 0.02f);

    s32 mode;
    f32 target, maximum;
    j->SetMotor(3, 2.0f, -5.0f);
    j->GetMotor(mode, target, maximum);
    EXPECT_EQ(mode, 3);
    EXPECT_FLOAT_EQ(target, 2.0f);
    EXPECT_FLOAT_EQ(maximum, 5.0f);
    j->SetMotor2(1, -1.0f, -0.5f);
    j->GetMotor2(mode, target, maximum);
    EXPECT_FLOAT_EQ(maximum, 0.5f);
}

TEST(JointParameters, BodiesAndFrames) {
    SimulatorHolder sim;
    neRigidBody* a = Body(sim.sim, neMakeV3(1, 2, 3));
    a->SetRotation(TurnAbout(neMakeV3(0.3f, 0.2f, 0.1f)));
    neRigidBody* b = Body(sim.sim, neMakeV3(-1, 0, 0));
    neAnimatedBody* platform = sim->CreateAnimatedBody();

    neConstraint* rigid = sim->CreateConstraint(a, b);
    EXPECT_EQ(rigid->GetRigidBodyA(), a);
    EXPECT_EQ(rigid->GetRigidBodyB(), b);
    EXPECT_EQ(rigid->GetAnimatedBodyB(), nullptr);
    neConstraint* animated = sim->CreateConstraintAnimated(a, platform);
    EXPECT_EQ(animated->GetRigidBodyB(), nullptr);
    EXPECT_EQ(animated->GetAnimatedBodyB(), platform);
    EXPECT_EQ(a->constraintCount, 2);
    EXPECT_EQ(platform->constraintCount, 1);

    // A world frame equal to A's transform is the identity in A's axes.
    rigid->SetJointFrameWorld(a->GetTransform());
    const neT3 identity = Placed(neMakeV3(0, 0, 0));
    for (s32 c = 0; c < 3; ++c) ExpectV3Near(rigid->frameA.rot.M[c], identity.rot.M[c]);
    ExpectV3Near(rigid->frameA.pos, neMakeV3(0, 0, 0));
    // Both frames read back in world axes as the world frame.
    ExpectV3Near(rigid->GetFrameA().pos, neMakeV3(1, 2, 3));
    ExpectV3Near(rigid->GetFrameB().pos, neMakeV3(1, 2, 3));
    neConstraint* world = sim->CreateConstraintWorld(b);
    world->SetJointFrameWorld(Placed(neMakeV3(5, 5, 5)));
    ExpectV3Near(world->frameB.pos, neMakeV3(5, 5, 5));
    ExpectV3Near(world->frameA.pos, neMakeV3(6, 5, 5));
}

TEST(JointParameters, CreationFailures) {
    neSimulatorSizes sizes;
    sizes.constraintsCount = 2;
    SimulatorHolder sim(sizes);
    LogCapture log(sim.sim);
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    neRigidBody* b = Body(sim.sim, neMakeV3(1, 0, 0));
    EXPECT_EQ(sim->CreateConstraint(a, nullptr), nullptr);
    EXPECT_EQ(sim->CreateConstraintWorld(nullptr), nullptr);
    EXPECT_EQ(sim->CreateConstraintAnimated(a, nullptr), nullptr);
    EXPECT_TRUE(LogCapture::Messages().empty());
    EXPECT_NE(sim->CreateConstraint(a, b), nullptr);
    EXPECT_NE(sim->CreateConstraint(a, b), nullptr);
    EXPECT_EQ(sim->CreateConstraint(a, b), nullptr);
    ASSERT_EQ(LogCapture::Messages().size(), 1u);
    EXPECT_EQ(LogCapture::Messages()[0], "Run out of Constraints. Increase 'constraintsCount'.\n");
}

// ---- Constraint sets ------------------------------------------------------------

TEST(ConstraintSets, JointsSharingBodiesFormOneSet) {
    SimulatorHolder sim;
    auto [p, q, r, pq, qr] = ThreeInARow(sim.sim);
    pq->Enable(1);
    neConstraintSet* set = p->constraintSet;
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(q->constraintSet, set);
    EXPECT_EQ(set->bodyCount, 2);
    qr->Enable(1);  // only A's set exists (Q's)
    EXPECT_EQ(r->constraintSet, set);
    EXPECT_EQ(set->bodyCount, 3);
    EXPECT_EQ(set->firstConstraint, pq);
    EXPECT_EQ(set->lastConstraint, qr);
    EXPECT_EQ(set->changed & 1, 1);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 1);

    // Two bodies already in one set: the joint joins that set.
    neConstraint* pr = sim->CreateConstraint(p, r);
    pr->Enable(1);
    EXPECT_EQ(set->lastConstraint, pr);
    EXPECT_EQ(set->bodyCount, 3);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 1);

    // Only B's set exists: A joins it.
    neRigidBody* t = Body(sim.sim, neMakeV3(3, 0, 0));
    neConstraint* tr = sim->CreateConstraint(t, r);
    set->changed = 0;
    tr->Enable(1);
    EXPECT_EQ(t->constraintSet, set);
    EXPECT_EQ(set->lastBody, t);
    EXPECT_EQ(set->bodyCount, 4);
    EXPECT_EQ(set->lastConstraint, tr);
    EXPECT_EQ(set->changed & 1, 1);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 1);
}

TEST(ConstraintSets, TwoSetsMergeWhenAJointJoinsThem) {
    SimulatorHolder sim;
    neRigidBody* b[4];
    for (s32 i = 0; i < 4; ++i) b[i] = Body(sim.sim, neMakeV3(static_cast<f32>(i), 0, 0));
    sim->CreateConstraint(b[0], b[1])->Enable(1);
    sim->CreateConstraint(b[2], b[3])->Enable(1);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 2);
    EXPECT_NE(b[0]->constraintSet, b[2]->constraintSet);
    sim->CreateConstraint(b[1], b[2])->Enable(1);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 1);
    neConstraintSet* set = b[0]->constraintSet;
    s32 joints = 0, bodies = 0;
    for (neConstraint* c = set->firstConstraint; c; c = c->next) ++joints;
    for (neBody* body = set->firstBody; body; body = body->setNext) {
        EXPECT_EQ(body->constraintSet, set);
        ++bodies;
    }
    EXPECT_EQ(joints, 3);
    EXPECT_EQ(bodies, 4);
    EXPECT_EQ(set->bodyCount, 4);
}

TEST(ConstraintSets, WorldAndAnimatedJointsHoldOnlyTheRigidBody) {
    SimulatorHolder sim;
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    neAnimatedBody* platform = sim->CreateAnimatedBody();
    sim->CreateConstraintWorld(a)->Enable(1);
    sim->CreateConstraintAnimated(a, platform)->Enable(1);
    ASSERT_NE(a->constraintSet, nullptr);
    EXPECT_EQ(a->constraintSet->bodyCount, 1);
    EXPECT_EQ(platform->constraintSet, nullptr);
}

TEST(ConstraintSets, AnExhaustedSetPoolLeavesTheJointWithoutASet) {
    neSimulatorSizes sizes;
    sizes.constraintSetsCount = 1;
    SimulatorHolder sim(sizes);
    LogCapture log(sim.sim);
    neRigidBody* b[4];
    for (s32 i = 0; i < 4; ++i) b[i] = Body(sim.sim, neMakeV3(static_cast<f32>(i), 0, 0));
    sim->CreateConstraint(b[0], b[1])->Enable(1);
    neConstraint* second = sim->CreateConstraint(b[2], b[3]);
    second->Enable(1);
    EXPECT_TRUE(second->IsEnabled());
    EXPECT_EQ(b[2]->constraintSet, nullptr);
    ASSERT_EQ(LogCapture::Messages().size(), 1u);
    EXPECT_EQ(LogCapture::Messages()[0], "Run out of Constraint Sets. Increase 'constraintSetsCount'.\n");
    sim->Advance(0.01f);  // a joint without a set is simply not solved
}

TEST(ConstraintSets, EnablingBuildsOnceAndWakesTheBodies) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(1, 0, 0));
    j->Enable(0);  // never enabled: nothing to do
    EXPECT_EQ(j->built, 0);
    EXPECT_EQ(a->constraintSet, nullptr);

    a->restState = b->restState = NE_RESTING;
    j->Enable(1);
    EXPECT_EQ(j->built, 1);
    EXPECT_EQ(a->restState, NE_MOVING);
    EXPECT_EQ(b->restState, NE_MOVING);
    neConstraintSet* set = a->constraintSet;

    // Anchors are built once: later frame changes leave them.
    j->SetFrameA(Placed(neMakeV3(0, 5, 0)));
    j->Enable(0);
    j->Enable(1);
    ExpectV3Near(j->anchors[0].localA, neMakeV3(0, 0, 0));
    EXPECT_EQ(a->constraintSet, set);
    EXPECT_EQ(set->bodyCount, 2);
}

TEST(ConstraintSets, FreeingJointsAndBodiesUnlinksThem) {
    SimulatorHolder sim;
    auto [p, q, r, pq, qr] = ThreeInARow(sim.sim);
    CountingJointCallback cb;
    pq->AddController(&cb, 0);
    pq->Enable(1);
    qr->Enable(1);
    neConstraintSet* set = q->constraintSet;
    const s32 controllersBefore = sim->controllerPool.UsedCount();

    sim->FreeConstraint(pq);
    EXPECT_EQ(sim->constraintPool.UsedCount(), 1);
    EXPECT_EQ(sim->controllerPool.UsedCount(), controllersBefore - 1);
    EXPECT_EQ(set->changed, 2);
    EXPECT_EQ(p->constraintSet, nullptr);  // no joint left on it
    EXPECT_EQ(p->constraintCount, 0);
    EXPECT_EQ(q->constraintCount, 1);
    EXPECT_EQ(set->firstConstraint, qr);
    EXPECT_EQ(set->bodyCount, 2);

    // Releasing a body frees the joints acting on it; the emptied set goes back.
    sim->FreeRigidBody(r);
    EXPECT_EQ(sim->constraintPool.UsedCount(), 0);
    EXPECT_EQ(q->constraintSet, nullptr);
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 0);
    sim->Advance(0.01f);
}

// ---- Joint controllers ---------------------------------------------------------------

TEST(JointControllers, PeriodThreeCallsBackOnTheFourthStepThenEveryFourth) {
    SimulatorHolder sim;
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* j = sim->CreateConstraintWorld(a);
    CountingJointCallback cb;
    EXPECT_EQ(j->AddController(nullptr, 0), nullptr);
    neJointController* c = j->AddController(&cb, 3);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetConstraint(), j);
    j->Enable(1);
    for (s32 i = 0; i < 12; ++i) sim->Advance(0.01f);
    EXPECT_EQ(cb.steps, (std::vector<s32>{3, 7, 11}));

    j->BeginIterateController();
    EXPECT_EQ(j->GetNextController(), c);
    EXPECT_EQ(j->GetNextController(), nullptr);
}

TEST(JointControllers, AnExhaustedControllerPoolIsReportedAndGivesNone) {
    neSimulatorSizes sizes;
    sizes.controllersCount = 1;
    SimulatorHolder sim(sizes);
    LogCapture log(sim.sim);
    neConstraint* j = sim->CreateConstraintWorld(Body(sim.sim, neMakeV3(0, 0, 0)));
    CountingJointCallback cb;
    EXPECT_NE(j->AddController(&cb, 0), nullptr);
    EXPECT_EQ(j->AddController(&cb, 0), nullptr);
    ASSERT_EQ(LogCapture::Messages().size(), 1u);
    EXPECT_EQ(LogCapture::Messages()[0], "Run out of Controllers. Increase 'controllersCount'.\n");
    j->BeginIterateController();
    EXPECT_NE(j->GetNextController(), nullptr);
    EXPECT_EQ(j->GetNextController(), nullptr);
}

TEST(JointControllers, ForcesActInTheNextStepOnBothBodies) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(1, 0, 0), 2.0f);
    j->SetJointFrameWorld(Placed(neMakeV3(0.5f, 0, 0)));
    CountingJointCallback cb;
    cb.forceA = cb.forceB = neMakeV3(0, 4, 0);
    j->AddController(&cb, 0);
    j->Enable(1);
    sim->Advance(0.01f);
    EXPECT_NEAR(a->GetVelocity().y, 0.0f, 1e-6f);  // set at the end of the first step
    sim->Advance(0.01f);
    EXPECT_NEAR(a->GetVelocity().y, 0.02f, 1e-5f);  // 4 / 2 × 0.01
    EXPECT_NEAR(b->GetVelocity().y, 0.02f, 1e-5f);
}

TEST(JointControllers, TorqueFromAWorldPoint) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(1, 0, 0), neMakeV3(0, 3, 0));
    CountingJointCallback cb;
    neJointController* c = j->AddController(&cb, 0);
    c->SetControllerForceWithTorqueBodyA(neMakeV3(0, 1, 0), neMakeV3(2, 0, 0));
    ExpectV3Near(c->GetControllerTorqueBodyA(), neMakeV3(0, 0, 1));
    c->SetControllerForceWithTorqueBodyB(neMakeV3(1, 0, 0), neMakeV3(0, 4, 0));
    ExpectV3Near(c->GetControllerTorqueBodyB(), neMakeV3(0, 0, -1));
}

// ---- Frames, angles and rows -------------------------------------------------------------

TEST(JointFrames, HingeAnglesAtZeroAQuarterTurnAndThreeQuarters) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    j->SetType(NE_JOINT_HINGE);
    j->PrepareFrames();
    EXPECT_FLOAT_EQ(j->angle, 0.0f);
    EXPECT_FLOAT_EQ(j->signedAngle, 0.0f);
    ExpectV3Near(j->limit.axis, neMakeV3(0, 1, 0));

    b->SetRotation(TurnAbout(neMakeV3(0, NE_PI / 2, 0)));
    j->PrepareFrames();
    EXPECT_NEAR(j->angle, NE_PI / 2, 1e-4f);
    EXPECT_NEAR(j->signedAngle, NE_PI / 2, 1e-4f);

    b->SetRotation(TurnAbout(neMakeV3(0, -NE_PI / 2, 0)));
    j->PrepareFrames();
    EXPECT_NEAR(j->angle, 3 * NE_PI / 2, 1e-4f);
    EXPECT_NEAR(j->signedAngle, -NE_PI / 2, 1e-4f);

    b->SetRotation(TurnAbout(neMakeV3(0, NE_PI, 0)));
    j->PrepareFrames();
    EXPECT_NEAR(j->angle, NE_PI, 1e-3f);
    EXPECT_TRUE(std::isfinite(j->signedAngle));
}

TEST(JointFrames, BallConeAndSliderPosition) {
    SimulatorHolder sim;
    auto [a, b, ball] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    ball->PrepareFrames();
    EXPECT_FLOAT_EQ(ball->angle, 0.0f);
    ExpectV3Near(ball->limit.axis, neMakeV3(0, 1, 0));  // yA when aligned
    b->SetRotation(TurnAbout(neMakeV3(0, 0, 0.6f)));
    ball->PrepareFrames();
    EXPECT_NEAR(ball->angle, 0.6f, 1e-4f);
    ExpectV3Near(ball->limit.axis, neMakeV3(0, 0, 1), 1e-4f);

    neRigidBody* c = Body(sim.sim, neMakeV3(0, 1.5f, 0.2f));
    neRigidBody* d = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* slider = sim->CreateConstraint(c, d);
    slider->SetType(NE_JOINT_SLIDER);
    slider->SetJointFrameWorld(Placed(neMakeV3(0, 1.5f, 0.2f)));
    c->SetPos(neMakeV3(0, 2.0f, 0.2f));
    slider->PrepareFrames();
    EXPECT_NEAR(slider->angle, 0.5f, 1e-5f);
}

TEST(JointRows, HingeLimitAndMotorRows) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    j->SetType(NE_JOINT_HINGE);
    j->SetLowerLimit(-0.3f * NE_PI);
    j->SetUpperLimit(0.1f * NE_PI);
    j->EnableLimit(1);
    j->Enable(1);
    b->SetRotation(TurnAbout(neMakeV3(0, -0.4f * NE_PI, 0)));

    auto rows = SolveSet(sim.sim, j);
    EXPECT_EQ(CountKind(rows, NE_IMPULSE_POINT_JOINT), 2);
    const neCollisionResult* limitRow = FindKind(rows, NE_IMPULSE_ANGULAR_LIMIT);
    ASSERT_NE(limitRow, nullptr);
    EXPECT_NEAR(limitRow->depth, -0.1f * NE_PI, 1e-4f);
    EXPECT_EQ(j->limit.side, 1);
    EXPECT_EQ(j->limit.active, 1);

    j->EnableMotor(1);
    j->SetMotor(0, -1.0f, 10.0f);  // pushes into the reached lower limit
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_ANGULAR_MOTOR), 0);
    j->SetMotor(0, 1.0f, 10.0f);
    rows = SolveSet(sim.sim, j);
    const neCollisionResult* motorRow = FindKind(rows, NE_IMPULSE_ANGULAR_MOTOR);
    ASSERT_NE(motorRow, nullptr);
    EXPECT_FLOAT_EQ(motorRow->rowValue, 1.0f);
    EXPECT_FLOAT_EQ(motorRow->depth, 10.0f);

    // Inside the range: no limit row, the motor row stays.
    b->SetRotation(TurnAbout(neMakeV3(0, 0, 0)));
    rows = SolveSet(sim.sim, j);
    EXPECT_EQ(CountKind(rows, NE_IMPULSE_ANGULAR_LIMIT), 0);
    EXPECT_EQ(j->limit.active, 0);
    EXPECT_EQ(CountKind(rows, NE_IMPULSE_ANGULAR_MOTOR), 1);
}

TEST(JointRows, HingePointRowsAtTheAnchors) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(2, 0, 0));
    j->SetType(NE_JOINT_HINGE);
    j->SetLength(0.4f);
    j->SetJointFrameWorld(Placed(neMakeV3(1, 0, 0)));
    j->Enable(1);
    b->SetPos(neMakeV3(2, 0, 0.1f));  // B drifted by 0.1 along z
    auto rows = SolveSet(sim.sim, j);
    ASSERT_EQ(rows.size(), 2u);
    ExpectV3Near(rows[0].pointA, neMakeV3(1, 0.2f, 0));
    ExpectV3Near(rows[1].pointA, neMakeV3(1, -0.2f, 0));
    ExpectV3Near(rows[0].pointB, neMakeV3(-1, 0.2f, 0));
    ExpectV3Near(rows[0].worldPointA, neMakeV3(0, 0, -0.1f));  // anchor A − anchor B
    EXPECT_NEAR(rows[0].depth, 0.1f, 1e-6f);
}

TEST(JointRows, SliderRowsAndItsLimitDepthCap) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    j->SetType(NE_JOINT_SLIDER);
    j->SetLowerLimit(-1.0f);
    j->SetUpperLimit(1.0f);
    j->EnableLimit(1);
    j->Enable(1);
    a->SetPos(neMakeV3(0.1f, 1.2f, 0));  // 0.2 beyond the upper limit, 0.1 off the axis
    auto rows = SolveSet(sim.sim, j);
    ASSERT_EQ(CountKind(rows, NE_IMPULSE_POINT_ON_AXIS), 2);
    EXPECT_NEAR(rows[0].rowValue, 0.1f, 1e-5f);
    ExpectV3Near(rows[0].worldPointA, neMakeV3(0.1f, 0, 0));
    const neCollisionResult* limitRow = FindKind(rows, NE_IMPULSE_LINEAR_LIMIT);
    ASSERT_NE(limitRow, nullptr);
    EXPECT_FLOAT_EQ(limitRow->depth, 0.05f);
    ExpectV3Near(limitRow->worldPointB, neMakeV3(0, 1, 0));
    EXPECT_NEAR(j->limit.error, 0.2f, 1e-5f);

    a->SetPos(neMakeV3(0, -1.01f, 0));
    rows = SolveSet(sim.sim, j);
    limitRow = FindKind(rows, NE_IMPULSE_LINEAR_LIMIT);
    ASSERT_NE(limitRow, nullptr);
    EXPECT_NEAR(limitRow->depth, 0.01f, 1e-5f);
    ExpectV3Near(limitRow->worldPointB, neMakeV3(0, -1, 0));

    j->EnableMotor(1);
    j->SetMotor(0, -2.0f, 3.0f);  // into the lower limit: no row
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_LINEAR_MOTOR), 0);
    j->SetMotor(0, 2.0f, 3.0f);
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_LINEAR_MOTOR), 1);
}

TEST(JointRows, BallTwistLimit) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    j->SetLowerLimit2(0.5f);
    j->EnableLimit2(1);
    j->Enable(1);
    b->SetRotation(TurnAbout(neMakeV3(0.7f, 0, 0)));
    auto rows = SolveSet(sim.sim, j);
    const neCollisionResult* twist = FindKind(rows, NE_IMPULSE_TWIST_LIMIT);
    ASSERT_NE(twist, nullptr);
    EXPECT_NEAR(std::fabs(twist->depth), 0.2f, 1e-4f);
    EXPECT_FLOAT_EQ(twist->twistError, twist->depth);

    b->SetRotation(TurnAbout(neMakeV3(-0.7f, 0, 0)));
    twist = nullptr;
    rows = SolveSet(sim.sim, j);
    twist = FindKind(rows, NE_IMPULSE_TWIST_LIMIT);
    ASSERT_NE(twist, nullptr);
    EXPECT_NEAR(std::fabs(twist->depth), 0.2f, 1e-4f);

    b->SetRotation(TurnAbout(neMakeV3(0.4f, 0, 0)));
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_TWIST_LIMIT), 0);

    // A swing alone is no twist: the swing carries A's third axis onto B's.
    b->SetRotation(TurnAbout(neMakeV3(0, 0.8f, 0)));
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_TWIST_LIMIT), 0);
    // Swung off the cone axis as well, the twist alone is measured.
    b->SetRotation(TurnAbout(neMakeV3(0.3f, 0, 0.5f)));
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_TWIST_LIMIT), 0);
    b->SetRotation(TurnAbout(neMakeV3(0.8f, 0, 0.5f)));
    EXPECT_EQ(CountKind(SolveSet(sim.sim, j), NE_IMPULSE_TWIST_LIMIT), 1);
}

TEST(JointRows, IterationsAreTheLargestCountAndToleranceTheSmallest) {
    SimulatorHolder sim;
    auto [a, b, c, ab, bc] = ThreeInARow(sim.sim);
    ab->Enable(1);
    bc->Enable(1);
    f32 tolerance;
    s32 iterations;
    SolveSet(sim.sim, ab, &tolerance, &iterations);
    EXPECT_EQ(iterations, -1);  // read as 4 by the iteration
    ab->SetIterationCount(2);
    ab->SetTolerance(0.01f);
    bc->SetTolerance(0.005f);
    SolveSet(sim.sim, ab, &tolerance, &iterations);
    EXPECT_EQ(iterations, 2);
    EXPECT_FLOAT_EQ(tolerance, 0.005f);
    EXPECT_EQ(ab->bodyA->constraintSet->solved, 1);

    // Disabled joints build no rows.
    bc->Enable(0);
    EXPECT_EQ(SolveSet(sim.sim, ab).size(), 1u);
}

// ---- The row rules --------------------------------------------------------------------------

TEST(JointRowRules, APointRowWithoutErrorStopsTheAnchorsRelativeMotion) {
    SimulatorHolder sim;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(2, 0, 0));
    j->SetJointFrameWorld(Placed(neMakeV3(1, 0, 0)));
    j->Enable(1);
    a->SetVelocity(neMakeV3(0, 1, 0.5f));
    b->SetAngularMomentum(neMakeV3(0.01f, 0.02f, 0.003f));
    auto rows = SolveSet(sim.sim, j);
    ASSERT_EQ(rows.size(), 1u);
    neCollisionResponse::Impulse(sim.sim, rows[0]);
    neV3 va = a->GetVelocityAtPoint(rows[0].pointA), vb = b->GetVelocityAtPoint(rows[0].pointB);
    ExpectV3Near(va - vb, neMakeV3(0, 0, 0), 1e-4f);

    // With an error the relative velocity is halved and the error's relaxed
    // share added.
    b->SetPos(neMakeV3(2, 0.001f, 0));
    a->SetVelocity(neMakeV3(0, 1, 0));
    b->SetVelocity(neMakeV3(0, 0, 0));
    b->SetAngularMomentum(neMakeV3(0, 0, 0));
    a->SetAngularMomentum(neMakeV3(0, 0, 0));
    rows = SolveSet(sim.sim, j);
    neCollisionResponse::Impulse(sim.sim, rows[0]);
    va = a->GetVelocityAtPoint(rows[0].pointA);
    vb = b->GetVelocityAtPoint(rows[0].pointB);
    // 0.5 × 1 − 0.5 × (−0.001) / 0.01 = 0.55 along y
    ExpectV3Near(va - vb, neMakeV3(0, 0.55f, 0), 1e-4f);
}

TEST(JointRowRules, ALinearMotorNeverChangesTheSpeedByMoreThanItsImpulse) {
    SimulatorHolder sim;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0), 2.0f);
    j->SetType(NE_JOINT_SLIDER);
    j->EnableMotor(1);
    j->SetMotor(0, 10.0f, 50.0f);
    j->Enable(1);
    auto rows = SolveSet(sim.sim, j);
    neCollisionResult* motor = nullptr;
    for (auto& r : rows)
        if (r.kind == NE_IMPULSE_LINEAR_MOTOR) motor = &r;
    ASSERT_NE(motor, nullptr);
    neCollisionResponse::Impulse(sim.sim, *motor);
    // The impulse is at most 50 × 0.01 = 0.5: each body of mass 2 gains 0.25.
    EXPECT_NEAR(a->GetVelocity().y, 0.25f, 1e-5f);
    EXPECT_NEAR(b->GetVelocity().y, -0.25f, 1e-5f);
}

TEST(JointRowRules, AnAngularLimitRowOfBodiesTurningBackGivesNoImpulse) {
    SimulatorHolder sim;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    j->SetType(NE_JOINT_HINGE);
    j->SetLowerLimit(-0.2f);
    j->SetUpperLimit(0.2f);
    j->EnableLimit(1);
    j->Enable(1);
    b->SetRotation(TurnAbout(neMakeV3(0, 0.3f, 0)));  // beyond the upper limit
    // B turns back toward the range: no impulse.
    b->SetAngularMomentum(b->inertiaBody * neMakeV3(0, -1, 0));
    auto rows = SolveSet(sim.sim, j);
    neCollisionResult* limitRow = nullptr;
    for (auto& r : rows)
        if (r.kind == NE_IMPULSE_ANGULAR_LIMIT) limitRow = &r;
    ASSERT_NE(limitRow, nullptr);
    const neV3 before = b->GetAngularVelocity();
    neCollisionResponse::Impulse(sim.sim, *limitRow);
    ExpectV3Near(b->GetAngularVelocity(), before);
    // B turns further out: the impulse turns it back.
    b->SetAngularMomentum(b->inertiaBody * neMakeV3(0, 1, 0));
    neCollisionResponse::Impulse(sim.sim, *limitRow);
    EXPECT_LT(b->GetAngularVelocity().y - a->GetAngularVelocity().y, 0.0f);
}

TEST(JointRowRules, TheIterationRunsItsCountInEachOfTwoPasses) {
    SimulatorHolder sim;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    // A linear motor far from its target adds its impulse limit, 1 × 0.01,
    // at every answer: the speed counts the answers.
    auto answers = [&](s32 iterations) {
        a->SetVelocity(neMakeV3(0, 0, 0));
        neCollisionResult* row = sim->constraintRows.Alloc();
        *row = neCollisionResult{};
        row->kind = NE_IMPULSE_LINEAR_MOTOR;
        row->bodyA = a;
        row->localPointA = neMakeV3(1, 0, 0);
        row->rowValue = 100.0f;
        row->depth = 1.0f;
        neUpdateMatrices(*row, false, false);
        sim->ApplyResponse(-1.0f, iterations);
        EXPECT_EQ(sim->constraintRows.Count(), 0);
        return static_cast<s32>(std::lround(a->GetVelocity().x / 0.01f));
    };
    EXPECT_EQ(answers(-1), 8);
    EXPECT_EQ(answers(2), 4);
    EXPECT_EQ(answers(3), 6);
}

TEST(JointRowRules, ASetWhoseBodiesAllRestIsNotSolved) {
    SimulatorHolder sim;
    neRigidBody* a = Body(sim.sim, neMakeV3(0, 0, 0));
    neRigidBody* b = Body(sim.sim, neMakeV3(3, 0, 0));  // far from the joint's anchor
    neConstraint* j = sim->CreateConstraint(a, b);
    j->Enable(1);
    a->restState = b->restState = NE_RESTING;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    sim->SolveConstraints();
    ExpectV3Near(a->GetVelocity(), neMakeV3(0, 0, 0));
    ExpectV3Near(b->GetVelocity(), neMakeV3(0, 0, 0));
    b->restState = NE_MOVING;
    sim->SolveConstraints();
    EXPECT_GT(b->GetVelocity().Dot(b->GetVelocity()), 0.0f);  // pulled toward A
    EXPECT_EQ(a->restState, NE_MOVING);                        // and A keeps up
}

TEST(JointRowRules, AStackTouchedByASetBringsTheSetsOfItsOtherBodies) {
    SimulatorHolder sim;
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    neRigidBody* p = Body(sim.sim, neMakeV3(0, 0, 0));
    neRigidBody* q = Body(sim.sim, neMakeV3(1, 0, 0));
    neRigidBody* r = Body(sim.sim, neMakeV3(0, 1, 0));
    sim->CreateConstraint(p, q)->Enable(1);
    neConstraint* hang = sim->CreateConstraintWorld(r);
    hang->SetJointFrameWorld(Placed(neMakeV3(0, 2, 0)));
    hang->Enable(1);
    r->SetPos(neMakeV3(0, 0.9f, 0));  // 0.1 off its anchor
    r->restState = NE_RESTING;        // its own set would not be solved
    // P and R lie in one stack.
    neStack* stack = sim->NewStack();
    for (neRigidBody* body : {p, r}) ASSERT_TRUE(neStackAddBody(body, stack));
    sim->SolveConstraints();
    EXPECT_EQ(r->restState, NE_MOVING);  // woken with the group it was solved in
    EXPECT_EQ(hang->bodyA->constraintSet->solved, 1);
    EXPECT_GT(r->GetVelocity().y, 0.0f);  // pulled back up to its anchor
    EXPECT_EQ(sim->touchedStacks.Count(), 1);
    EXPECT_EQ(sim->solveList.Count(), 3);  // P's set, the stack, R's set
}

// ---- Jointed bodies in motion ---------------------------------------------------------------

TEST(JointMotion, APendulumKeepsItsAnchorAndSwingsWithThePendulumPeriod) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    const f32 length = 1.0f, start = 0.15f;
    neRigidBody* bob = Body(sim.sim, neMakeV3(length * std::sin(start), -length * std::cos(start), 0));
    bob->SetInertiaTensor(neMakeV3(1e-4f, 1e-4f, 1e-4f));
    neConstraint* j = sim->CreateConstraintWorld(bob);
    j->SetJointFrameWorld(Placed(neMakeV3(0, 0, 0)));
    j->Enable(1);

    const f32 dt = 0.01f;
    f32 worst = 0.0f, previousX = bob->GetPos().x;
    std::vector<f32> crossings;
    for (s32 i = 1; i <= 500; ++i) {
        sim->Advance(dt);
        const neV3 anchor = bob->GetTransform() * j->anchors[0].localA;
        worst = std::max(worst, std::sqrt(anchor.Dot(anchor)));
        const f32 x = bob->GetPos().x;
        ASSERT_TRUE(Finite(bob->GetPos()));
        if ((previousX > 0) != (x > 0)) crossings.push_back(dt * (i - 1 + previousX / (previousX - x)));
        previousX = x;
    }
    EXPECT_LT(worst, 1e-3f);
    ASSERT_GE(crossings.size(), 4u);
    const f32 period = crossings[3] - crossings[1];
    EXPECT_NEAR(period, 2 * NE_PI * std::sqrt(length / 9.8f), 0.03f);
    // It keeps swinging: the amplitude stays near its start.
    EXPECT_GT(bob->GetPos().y, -length);
}

TEST(JointMotion, AHingeMotorTurnsTheJointAtItsTargetSpeed) {
    SimulatorHolder sim;
    neRigidBody* wheel = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* j = sim->CreateConstraintWorld(wheel);
    j->SetType(NE_JOINT_HINGE);
    j->EnableMotor(1);
    j->SetMotor(0, 2.0f, 100.0f);
    j->Enable(1);
    for (s32 i = 0; i < 20; ++i) sim->Advance(0.01f);
    j->PrepareFrames();
    const f32 before = j->signedAngle;
    sim->Advance(0.01f);
    j->PrepareFrames();
    EXPECT_NEAR((j->signedAngle - before) / 0.01f, 2.0f, 0.05f);
    ExpectV3Near(wheel->GetPos(), neMakeV3(0, 0, 0), 1e-4f);
}

TEST(JointMotion, AHingeLimitHoldsAgainstATorque) {
    SimulatorHolder sim;
    neRigidBody* door = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* j = sim->CreateConstraintWorld(door);
    j->SetType(NE_JOINT_HINGE);
    j->SetLowerLimit(-0.5f);
    j->SetUpperLimit(0.3f);
    j->EnableLimit(1);
    j->Enable(1);
    for (const f32 push : {0.02f, -0.02f}) {
        door->SetTorque(neMakeV3(0, push, 0));
        for (s32 i = 0; i < 300; ++i) sim->Advance(0.01f);
        j->PrepareFrames();
        if (push > 0)
            EXPECT_NEAR(j->signedAngle, -0.5f, 0.05f);  // A turning positively lowers the angle
        else
            EXPECT_NEAR(j->signedAngle, 0.3f, 0.05f);
    }
}

TEST(JointMotion, ASliderKeepsItsBodyOnTheAxisAndWithinItsLimits) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neRigidBody* bead = Body(sim.sim, neMakeV3(0, 0, 0));
    bead->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
    neConstraint* j = sim->CreateConstraintWorld(bead);
    j->SetType(NE_JOINT_SLIDER);
    neT3 tilted = Placed(neMakeV3(0, 0, 0));
    tilted.rot = TurnAbout(neMakeV3(0, 0, 0.5f));  // the slide's axis leans by 0.5 rad
    j->SetJointFrameWorld(tilted);
    j->SetLowerLimit(-0.4f);
    j->SetUpperLimit(0.4f);
    j->EnableLimit(1);
    j->Enable(1);
    const neV3 axis = tilted.rot.M[1];
    for (s32 i = 0; i < 300; ++i) {
        sim->Advance(0.01f);
        neV3 p = bead->GetPos();
        neV3 off = p - axis * p.Dot(axis);
        ASSERT_LT(std::sqrt(off.Dot(off)), 1e-3f) << "step " << i;
    }
    EXPECT_NEAR(bead->GetPos().Dot(axis), -0.4f, 0.02f);
}

TEST(JointMotion, ASliderFarFromALightBodyStaysNearItsAxis) {
    // The slide runs 2 m from a body of small inertia: its point rows' K is
    // far from round, and a spinning start asks much of them.
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neRigidBody* bead = Body(sim.sim, neMakeV3(0, 0, 0));
    neConstraint* j = sim->CreateConstraintWorld(bead);
    j->SetType(NE_JOINT_SLIDER);
    neT3 frame = Placed(neMakeV3(2, 0, 0));
    frame.rot = TurnAbout(neMakeV3(0, 0, 0.5f));
    j->SetJointFrameWorld(frame);
    j->Enable(1);
    bead->SetVelocity(neMakeV3(1, 0.5f, 2));
    bead->SetAngularMomentum(bead->inertiaBody * neMakeV3(1, 2, 3));
    const neV3 axis = frame.rot.M[1];
    for (s32 i = 0; i < 200; ++i) {
        sim->Advance(0.01f);
        ASSERT_TRUE(Finite(bead->GetPos()) && Finite(bead->GetAngularVelocity())) << "step " << i;
        for (const neJointAnchor& anchor : j->anchors) {
            const neV3 d = bead->GetTransform() * anchor.localA - frame.pos;
            const neV3 off = d - axis * d.Dot(axis);
            ASSERT_LT(std::sqrt(off.Dot(off)), 0.1f) << "step " << i;
        }
    }
}

TEST(JointMotion, DampingSlowsTheRelativeSpinOfABallJoint) {
    SimulatorHolder sim;
    auto [a, b, j] = Joined(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 1, 0));
    j->SetJointFrameWorld(Placed(neMakeV3(0, 0.5f, 0)));
    j->SetDamping(0.01f);
    j->Enable(1);
    a->SetAngularMomentum(a->inertiaBody * neMakeV3(0, 3, 0));
    sim->Advance(0.01f);
    const f32 start = (a->GetAngularVelocity() - b->GetAngularVelocity()).y;
    EXPECT_GT(start, 2.5f);
    for (s32 i = 0; i < 50; ++i) sim->Advance(0.01f);
    const f32 end = (a->GetAngularVelocity() - b->GetAngularVelocity()).y;
    EXPECT_LT(std::fabs(end), 0.5f * std::fabs(start));
    EXPECT_TRUE(Finite(a->GetAngularVelocity()) && Finite(b->GetAngularVelocity()));
}

TEST(JointMotion, AJointToAnAnimatedBodyFollowsIt) {
    SimulatorHolder sim;
    neAnimatedBody* carrier = sim->CreateAnimatedBody();
    neRigidBody* load = Body(sim.sim, neMakeV3(0, -1, 0));
    neConstraint* j = sim->CreateConstraintAnimated(load, carrier);
    j->SetJointFrameWorld(Placed(neMakeV3(0, 0, 0)));
    j->Enable(1);
    for (s32 i = 1; i <= 200; ++i) {
        carrier->SetPos(neMakeV3(0.002f * i, 0, 0));
        sim->Advance(0.01f);
    }
    const neV3 anchor = load->GetTransform() * j->anchors[0].localA;
    ExpectV3Near(anchor, carrier->GetPos(), 0.01f);
}

TEST(JointMotion, ATwistLimitHoldsAgainstATorqueAboutTheConeAxis) {
    SimulatorHolder sim;
    neRigidBody* knob = Body(sim.sim, neMakeV3(0, 0, 0));
    knob->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
    neConstraint* j = sim->CreateConstraintWorld(knob);
    j->SetLowerLimit2(0.3f);
    j->EnableLimit2(1);
    j->Enable(1);
    // Free, the torque would turn the knob by about 3 rad in these 3 s; the
    // bound is reached within the first second and held from then on.
    knob->SetTorque(neMakeV3(0.5f, 0, 0));
    for (s32 i = 0; i < 300; ++i) {
        sim->Advance(0.01f);
        if (i < 200) continue;
        j->PrepareFrames();
        // The twist of B relative to A: the knob (A) turned about +x gives −0.3.
        const neV3 zA = j->worldFrameA.rot.M[2], zB = j->worldFrameB.rot.M[2];
        const f32 twist = std::acos(std::min(1.0f, zA.Dot(zB)));
        ASSERT_NEAR(twist, 0.3f, 0.02f) << "step " << i;
    }
    sim->constraintRows.Clear();
    ExpectV3Near(knob->GetPos(), neMakeV3(0, 0, 0), 1e-3f);
}

TEST(JointMotion, ATwistLimitHoldsWithTheConeOpenWide) {
    // The knob's cone axis stands 2 rad (past a right angle) from the
    // world's; a torque spins the knob about its own cone axis.
    SimulatorHolder sim;
    neRigidBody* knob = Body(sim.sim, neMakeV3(0, 0, 0));
    knob->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
    neConstraint* j = sim->CreateConstraintWorld(knob);
    const f32 cone = 2.0f;
    const neV3 coneAxisA = neMakeV3(std::cos(cone), std::sin(cone), 0);
    neT3 frameA = Placed(neMakeV3(0, 0, 0));
    frameA.rot.SetColumns(coneAxisA, neMakeV3(-std::sin(cone), std::cos(cone), 0), neMakeV3(0, 0, 1));
    j->SetFrameA(frameA);
    j->SetLowerLimit2(0.3f);
    j->EnableLimit2(1);
    j->Enable(1);
    knob->SetTorque(coneAxisA * 0.5f);
    for (s32 i = 0; i < 300; ++i) {
        sim->Advance(0.01f);
        ASSERT_TRUE(Finite(knob->GetAngularVelocity())) << "step " << i;
        ASSERT_LT(std::fabs(j->limit2.error), 0.05f) << "step " << i;  // at most just past the bound
    }
    EXPECT_NEAR(j->angle, cone, 0.01f);  // the cone kept its opening
    ExpectV3Near(knob->GetPos(), neMakeV3(0, 0, 0), 1e-3f);
}

TEST(JointMotion, JoinedBodiesCollideOnlyWhenBothAllowIt) {
    SimulatorHolder sim;
    neRigidBody* a = MakeBox(sim.sim, neMakeV3(0, 0, 0));
    neRigidBody* b = MakeBox(sim.sim, neMakeV3(0.9f, 0, 0));
    neConstraint* j = sim->CreateConstraint(a, b);
    j->SetJointFrameWorld(Placed(neMakeV3(0.45f, 0, 0)));
    j->Enable(1);
    a->SetVelocity(neMakeV3(0.5f, 0, 0));
    b->SetVelocity(neMakeV3(-0.5f, 0, 0));
    sim->Advance(0.01f);
    // The joint holds them together at its anchor; the overlap is ignored,
    // so nothing pushes them apart along x.
    EXPECT_NEAR(b->GetPos().x - a->GetPos().x, 0.9f, 0.02f);

    SimulatorHolder sim2;
    neRigidBody* c = MakeBox(sim2.sim, neMakeV3(0, 0, 0));
    neRigidBody* d = MakeBox(sim2.sim, neMakeV3(0.9f, 0, 0));
    c->SetCollideConnected(1);
    d->SetCollideConnected(1);
    neConstraint* k = sim2->CreateConstraint(c, d);
    k->SetJointFrameWorld(Placed(neMakeV3(0.45f, 3, 0)));  // the anchor is far away
    k->Enable(1);
    static s32 calls;
    calls = 0;
    sim2->GetCollisionTable()->Set(0, 0, 3);
    sim2->SetCollisionCallback([](neCollisionInfo*) { ++calls; });
    sim2->Advance(0.01f);
    EXPECT_EQ(calls, 1);
}

TEST(JointMotion, AHangingChainStaysTogether) {
    const neV3 gravity = kGravity;
    SimulatorHolder sim(neSimulatorSizes(), &gravity);
    const s32 links = 5;
    neRigidBody* previous = nullptr;
    std::vector<neConstraint*> joints;
    for (s32 i = 0; i < links; ++i) {
        neRigidBody* link = Body(sim.sim, neMakeV3(0.5f + i, 0, 0));
        link->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 0.2f, 0.2f), 1.0f));
        neConstraint* j = previous ? sim->CreateConstraint(link, previous) : sim->CreateConstraintWorld(link);
        j->SetJointFrameWorld(Placed(neMakeV3(static_cast<f32>(i), 0, 0)));
        j->Enable(1);
        joints.push_back(j);
        previous = link;
    }
    EXPECT_EQ(sim->constraintSetPool.UsedCount(), 1);
    for (s32 step = 0; step < 300; ++step) {
        sim->Advance(0.01f);
        for (neConstraint* j : joints) {
            const neV3 a = j->bodyA->GetTransform() * j->anchors[0].localA;
            const neV3 b = j->bodyB ? j->bodyB->GetTransformPtr()->operator*(j->anchors[0].localB) : j->anchors[0].localB;
            ASSERT_TRUE(Finite(a));
            ASSERT_LT(std::sqrt((a - b).Dot(a - b)), 0.05f) << "step " << step;
        }
    }
}

TEST(JointMotion, HingeDampingSlowsTheSpinAboutTheAxisOnly) {
    SimulatorHolder sim;
    neRigidBody* wheel = Body(sim.sim, neMakeV3(0, 0, 0));
    wheel->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
    neConstraint* j = sim->CreateConstraintWorld(wheel);
    j->SetType(NE_JOINT_HINGE);
    j->Enable(1);
    wheel->SetAngularMomentum(wheel->inertiaBody * neMakeV3(0, 2, 0));
    for (s32 i = 0; i < 50; ++i) sim->Advance(0.01f);
    const f32 undamped = wheel->GetAngularVelocity().y;
    EXPECT_NEAR(undamped, 2.0f, 0.05f);
    j->SetDamping(2.0f);  // torque per rad/s: a time constant of I / 2 = 0.33 s
    for (s32 i = 0; i < 50; ++i) sim->Advance(0.01f);
    EXPECT_LT(wheel->GetAngularVelocity().y, 0.5f * undamped);
    EXPECT_GT(wheel->GetAngularVelocity().y, 0.0f);  // slowed, not reversed
}

TEST(JointMotion, ABallJointsConeLimitHoldsASwing) {
    SimulatorHolder sim(neSimulatorSizes(), &kGravity);
    neRigidBody* bob = Body(sim.sim, neMakeV3(0, -1, 0));
    bob->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(0.2f, 0.2f, 0.2f), 1.0f));
    neConstraint* j = sim->CreateConstraintWorld(bob);
    neT3 frame = Placed(neMakeV3(0, 0, 0));
    frame.rot.SetColumns(neMakeV3(0, -1, 0), neMakeV3(1, 0, 0), neMakeV3(0, 0, 1));  // cone axis down
    j->SetJointFrameWorld(frame);
    j->SetUpperLimit(0.3f);
    j->EnableLimit(1);
    j->Enable(1);
    bob->SetVelocity(neMakeV3(2.5f, 0, 0));  // would swing out to about 0.9 rad
    f32 widest = 0.0f;
    for (s32 i = 0; i < 150; ++i) {
        sim->Advance(0.01f);
        j->PrepareFrames();
        widest = std::max(widest, j->angle);
        ASSERT_TRUE(Finite(bob->GetPos()));
    }
    EXPECT_GT(widest, 0.25f);
    EXPECT_LT(widest, 0.4f);
}

TEST(JointMotion, RandomJointsAndDegenerateFramesNeverGiveNaN) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<f32> unit(-1.0f, 1.0f), angle(-NE_PI, NE_PI);
    for (s32 scene = 0; scene < 20; ++scene) {
        SimulatorHolder sim(neSimulatorSizes(), &kGravity);
        std::vector<neRigidBody*> bodies;
        for (s32 i = 0; i < 4; ++i) {
            neRigidBody* b = Body(sim.sim, neMakeV3(unit(rng), unit(rng), unit(rng)), 0.5f + std::fabs(unit(rng)));
            b->SetRotation(TurnAbout(neMakeV3(angle(rng), angle(rng), angle(rng))));
            b->SetVelocity(neMakeV3(unit(rng), unit(rng), unit(rng)) * 3.0f);
            b->UpdateRotationAndInertia();  // the world inverse inertia would follow only at the next step
            bodies.push_back(b);
        }
        const s32 types[] = {NE_JOINT_BALL, NE_JOINT_HINGE, NE_JOINT_SLIDER};
        for (s32 i = 0; i < 4; ++i) {
            neConstraint* j = i == 0 ? sim->CreateConstraintWorld(bodies[0])
                                     : sim->CreateConstraint(bodies[i], bodies[(i + scene) % i]);
            j->SetType(types[(i + scene) % 3]);
            neT3 frame = Placed(neMakeV3(unit(rng), unit(rng), unit(rng)));
            frame.rot = TurnAbout(neMakeV3(angle(rng), angle(rng), angle(rng)));
            j->SetJointFrameWorld(frame);
            if (scene % 4 == 0) j->SetFrameB(j->frameA);  // frames that may coincide or oppose
            j->SetLength(scene % 5 == 0 ? 0.0f : std::fabs(unit(rng)) + 0.1f);
            j->SetLowerLimit(-std::fabs(unit(rng)));
            j->SetUpperLimit(std::fabs(unit(rng)));
            j->EnableLimit(1);
            j->SetLowerLimit2(std::fabs(unit(rng)) * 0.5f);
            j->EnableLimit2(1);
            j->SetMotor(0, unit(rng) * 5.0f, std::fabs(unit(rng)) * 20.0f);
            j->EnableMotor(scene % 2);
            j->SetDamping(std::fabs(unit(rng)));
            j->Enable(1);
        }
        for (s32 step = 0; step < 100; ++step) {
            sim->Advance(0.01f);
            for (neRigidBody* b : bodies) {
                ASSERT_TRUE(Finite(b->GetPos()) && Finite(b->GetVelocity()) && Finite(b->GetAngularVelocity()))
                    << "scene " << scene << " step " << step;
            }
        }
    }
}

TEST(JointMotion, StiffDampingOnALightBodyStopsTheTurnWithoutReversingIt) {
    SimulatorHolder sim;
    neRigidBody* wheel = Body(sim.sim, neMakeV3(0, 0, 0));  // inertia 0.004
    neConstraint* j = sim->CreateConstraintWorld(wheel);
    j->SetType(NE_JOINT_HINGE);
    j->SetDamping(10.0f);  // 25 times what one step of 0.01 s can take out
    j->Enable(1);
    wheel->SetAngularMomentum(wheel->inertiaBody * neMakeV3(0, 5, 0));
    for (s32 i = 0; i < 20; ++i) {
        sim->Advance(0.01f);
        const f32 w = wheel->GetAngularVelocity().y;
        ASSERT_TRUE(std::isfinite(w));
        ASSERT_GE(w, -1e-3f) << "step " << i;
        ASSERT_LE(w, 5.0f) << "step " << i;
    }
    EXPECT_NEAR(wheel->GetAngularVelocity().y, 0.0f, 1e-3f);
}
