#include "physics_test_util.h"

#include <cmath>

TEST(RigidBody, MassMustBePositiveAndFinite) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetMass(4);
    EXPECT_FLOAT_EQ(b->invMass, 0.25f);
    b->SetMass(0);
    b->SetMass(-2);
    b->SetMass(std::nanf(""));
    b->SetMass(INFINITY);
    EXPECT_EQ(b->GetMass(), 4.0f);
    EXPECT_FLOAT_EQ(b->invMass, 0.25f);
}

TEST(RigidBody, SingularInertiaKeepsThePreviousInverse) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetInertiaTensor(neMakeV3(0, 0, 0));
    ExpectV3Near(b->invInertiaBody.M[0], neMakeV3(1, 0, 0), 0);
    b->SetInertiaTensor(neMakeV3(2, 4, 8));
    EXPECT_FLOAT_EQ(b->invInertiaBody.M[2].z, 0.125f);
    b->SetInertiaTensor(neMakeV3(1e-7f, 1e-7f, 1e-7f));
    EXPECT_FLOAT_EQ(b->invInertiaBody.M[2].z, 0.125f);
    EXPECT_FLOAT_EQ(b->inertiaBody.M[0].x, 1e-7f);
}

TEST(RigidBody, VelocityAtPointAddsTheTurn) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetAngularMomentum(neMakeV3(0, 1, 0));  // identity inertia: ω = L
    ExpectV3Near(b->GetVelocityAtPoint(neMakeV3(1, 0, 0)), neMakeV3(0, 0, -1));
    b->SetVelocity(neMakeV3(1, 2, 3));
    ExpectV3Near(b->GetVelocityAtPoint(neMakeV3(0, 0, 0)), neMakeV3(1, 2, 3));
}

TEST(RigidBody, DampingIsStoredAsAFractionInZeroToOne) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetLinearDamping(-0.3f);
    EXPECT_FLOAT_EQ(b->GetLinearDamping(), 0.3f);
    b->SetLinearDamping(2.5f);
    EXPECT_EQ(b->GetLinearDamping(), 1.0f);
    b->SetAngularDamping(-7);
    EXPECT_EQ(b->GetAngularDamping(), 1.0f);
    b->SetAngularDamping(std::nanf(""));
    EXPECT_EQ(b->GetAngularDamping(), 0.0f);
}

TEST(RigidBody, TransformAlwaysCarriesHomogeneousFourthFloats) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->state.transform.pos.w = 7;
    b->state.transform.rot.M[1].w = 3;
    b->SetPos(neMakeV3(1, 2, 3));
    neT3 t = b->GetTransform();
    const f32* m = reinterpret_cast<const f32*>(&t);
    EXPECT_EQ(m[3], 0);
    EXPECT_EQ(m[7], 0);
    EXPECT_EQ(m[11], 0);
    EXPECT_EQ(m[15], 1);
    EXPECT_EQ(m[13], 2);
}

TEST(RigidBody, RotationSettersKeepQuaternionAndMatrixTogether) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    neM3 r;
    r.RotateXYZ(neMakeV3(0.3f, -1.1f, 2.0f));
    b->SetRotation(r);
    neQ q = b->GetRotationQ();
    EXPECT_GE(q.w, 0.0f);
    for (int c = 0; c < 3; ++c) ExpectV3Near(q.ToM3().M[c], r.M[c]);
    neQ h{0, 0.6f, 0, 0.8f};
    b->SetRotationQ(h);
    ExpectV3Near(b->GetRotationM3().M[0], h.ToM3().M[0]);
}

TEST(RigidBody, ZeroQuaternionFallsBackToTheIdentity) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetRotationQ(neQ{0, 0, 0, 0});
    sim->Advance(0.01f, 1);
    neQ q = b->GetRotationQ();
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_FALSE(std::isnan(b->GetRotationM3().M[0].x));
}

TEST(RigidBody, SettersWakeTheBodyZeroForcesDoNot) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->GoToSleep();
    EXPECT_TRUE(b->IsIdle());
    b->SetForce(neMakeV3(0, 5e-7f, 0));
    b->SetTorque(neMakeV3(0, 0, 0));
    EXPECT_TRUE(b->IsIdle());
    b->SetForce(neMakeV3(0, 1, 0));
    EXPECT_FALSE(b->IsIdle());
    b->idleSteps = 5;
    b->GoToSleep();
    b->SetPos(neMakeV3(0, 3, 0));
    EXPECT_FALSE(b->IsIdle());
    EXPECT_EQ(b->idleSteps, 0);
    ExpectV3Near(b->snapshot.pos, neMakeV3(0, 3, 0));
}

TEST(RigidBody, ImpulseAtPointTurnsTheBody) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->SetMass(2);
    b->ApplyImpulseAtPoint(neMakeV3(0, 0, 2), neMakeV3(1, 0, 0));
    ExpectV3Near(b->GetVelocity(), neMakeV3(0, 0, 1));
    ExpectV3Near(b->GetAngularMomentum(), neMakeV3(0, -2, 0));
    ExpectV3Near(b->GetAngularVelocity(), neMakeV3(0, -2, 0));
    b->SetForceAtPoint(neMakeV3(0, 1, 0), neMakeV3(0, 0, 1));
    ExpectV3Near(b->GetTorque(), neMakeV3(-1, 0, 0));
}

TEST(BodyActivation, GeometryRegistersWithTheBroadPhaseSensorsDoNot) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->AddSensor();
    EXPECT_EQ(b->regionRecord, nullptr);
    b->AddGeometry();
    EXPECT_NE(b->regionRecord, nullptr);

    neRigidBody* s = sim->CreateRigidBody();
    s->AddSensor();
    s->SetActive(false);
    s->SetActive(true);
    EXPECT_EQ(s->regionRecord, nullptr);
}

TEST(BodyActivation, SetActiveMovesBetweenListsOnlyOnChange) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->AddGeometry();
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->activeRigidBodies.count, 1);
    b->SetActive(true);
    EXPECT_EQ(sim->activeRigidBodies.count, 1);
    b->SetActive(false);
    EXPECT_EQ(sim->activeRigidBodies.count, 0);
    EXPECT_EQ(sim->inactiveRigidBodies.count, 1);
    EXPECT_EQ(b->regionRecord, nullptr);
    b->SetActive(false);
    EXPECT_EQ(sim->inactiveRigidBodies.count, 1);
    b->SetActive(true, nullptr);
    EXPECT_EQ(sim->activeRigidBodies.count, 1);
    EXPECT_NE(b->regionRecord, nullptr);
    sim->FreeRigidBody(b);
    EXPECT_EQ(sim->activeRigidBodies.count, 0);
}

TEST(BodyActivation, InactiveBodyDoesNotMove) {
    neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    neRigidBody* b = sim->CreateRigidBody();
    b->SetActive(false);
    for (int i = 0; i < 10; ++i) sim->Advance(0.01f, 1);
    EXPECT_EQ(b->GetPos().y, 0.0f);
}

TEST(BodyLists, GeometriesAndSensorsIterateInAttachmentOrder) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    neGeometry* g1 = b->AddGeometry();
    neGeometry* g2 = b->AddGeometry();
    neSensor* s1 = b->AddSensor();
    neSensor* s2 = b->AddSensor();
    b->BeginIterateGeometry();
    EXPECT_EQ(b->GetNextGeometry(), g1);
    EXPECT_EQ(b->GetNextGeometry(), g2);
    EXPECT_EQ(b->GetNextGeometry(), nullptr);
    b->BeginIterateSensor();
    EXPECT_EQ(b->GetNextSensor(), s1);
    EXPECT_EQ(b->GetNextSensor(), s2);
    EXPECT_EQ(b->GetNextSensor(), nullptr);
}

TEST(AnimatedBody, PositionUpdatesBoundsAtOnceRotationAtTheNextStep) {
    SimulatorHolder sim;
    neAnimatedBody* a = sim->CreateAnimatedBody();
    a->AddGeometry()->SetBoxSize(neMakeV3(2, 2, 2));
    a->UpdateBoundingInfo();
    a->SetPos(neMakeV3(5, 0, 0));
    EXPECT_EQ(a->moved, 1);
    ExpectV3Near(a->maxBound, neMakeV3(6, 1, 1));
    neM3 r;
    r.RotateXYZ(neMakeV3(0, NE_PI / 4, 0));
    a->SetRotationM3(r);
    ExpectV3Near(a->maxBound, neMakeV3(6, 1, 1));
    sim->Advance(0.01f, 1);
    EXPECT_NEAR(a->maxBound.x, 5 + std::sqrt(2.0f), 1e-5f);
    EXPECT_EQ(a->moved, 0);
}

TEST(AnimatedBody, QuaternionGetterReturnsNonNegativeW) {
    SimulatorHolder sim;
    neAnimatedBody* a = sim->CreateAnimatedBody();
    neQ q{0.6f, 0, 0, -0.8f};
    a->SetRotationQ(q);
    neQ back = a->GetRotationQ();
    EXPECT_NEAR(back.x, -0.6f, 1e-6f);
    EXPECT_NEAR(back.w, 0.8f, 1e-6f);
}

TEST(Breakage, BrokenGeometryBecomesABodyOfItsOwn) {
    SimulatorHolder sim;
    neRigidBody* truck = sim->CreateRigidBody();
    truck->AddGeometry()->SetBoxSize(neMakeV3(2, 1, 1));
    neGeometry* door = truck->AddGeometry();
    door->frame.pos.Set(2, 0, 0);
    door->SetBreakagePieceMass(3);
    door->SetBreakageKind(NE_BREAK_OFF);
    truck->UpdateBoundingInfo();
    truck->SetPos(neMakeV3(0, 5, 0));

    neGeometry stranger{};
    EXPECT_EQ(truck->BreakGeometry(&stranger), nullptr);
    neRigidBody* piece = truck->BreakGeometry(door);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->GetMass(), 3.0f);
    ExpectV3Near(piece->GetPos(), neMakeV3(2, 5, 0));
    EXPECT_EQ(door->GetBreakageKind(), NE_BREAK_NEVER);
    ExpectV3Near(door->frame.pos, neMakeV3(0, 0, 0));
    EXPECT_EQ(truck->GetGeometryCount(), 1);
    EXPECT_EQ(piece->GetGeometryCount(), 1);
    EXPECT_FLOAT_EQ(truck->bounding.shape.box.hx, 1.0f);
    EXPECT_NE(piece->regionRecord, nullptr);
    // The only geometry never breaks off.
    truck->BeginIterateGeometry();
    EXPECT_EQ(truck->BreakGeometry(truck->GetNextGeometry()), nullptr);
}

namespace {

// The normal points from the second body toward the first.
s32 TouchAlongX(neRigidBody* a, neRigidBody* b, neCustomCollisionInfo* info) {
    info->collisionNormal = neMakeV3(a->GetPos().x < b->GetPos().x ? -1.0f : 1.0f, 0, 0);
    info->worldContactPointA = neMakeV3(0.45f, 0, 0);
    info->worldContactPointB = neMakeV3(0.45f, 0, 0);
    info->penetrationDepth = 0.1f;
    return 1;
}

int gCollisionCalls;
void CountCollision(neCollisionInfo*) { ++gCollisionCalls; }

// Reported for (rigid, animated): the normal from the animated body toward
// the rigid one, which lies on the +x side.
s32 RigidRightOfAnimated(neRigidBody* rigid, neAnimatedBody*, neCustomCollisionInfo* info) {
    info->collisionNormal = neMakeV3(1, 0, 0);
    info->worldContactPointA = rigid->GetPos() - neMakeV3(0.5f, 0, 0);
    info->worldContactPointB = neMakeV3(0.5f, 0, 0);
    info->penetrationDepth = 0.1f;
    return 1;
}

}  // namespace

TEST(CustomCollision, ApplicationContactGetsAResponseButNoCallback) {
    SimulatorHolder sim;
    sim->SetCustomCollisionCallback1(TouchAlongX);
    sim->SetCollisionCallback(CountCollision);
    sim->GetCollisionTable()->Set(0, 0, NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK);
    gCollisionCalls = 0;
    neRigidBody* a = sim->CreateRigidBody();
    neRigidBody* b = sim->CreateRigidBody();
    neT3 box;
    box.SetIdentity();
    box.rot = box.rot * 0.5f;
    a->UseCustomCollisionDetection(true, &box, 0.9f);
    b->AddGeometry();
    b->UpdateBoundingInfo();
    EXPECT_TRUE(a->UsingCustomCollisionDetection());
    b->SetPos(neMakeV3(0.9f, 0, 0));
    a->GravityEnable(false);
    b->GravityEnable(false);
    a->SetVelocity(neMakeV3(1, 0, 0));
    sim->Advance(0.001f, 1);
    EXPECT_LT(a->GetVelocity().x, 1.0f);
    EXPECT_GT(b->GetVelocity().x, 0.0f);
    EXPECT_EQ(gCollisionCalls, 0);
    a->UseCustomCollisionDetection(false, nullptr, 0);
    EXPECT_EQ(a->regionRecord, nullptr);  // no geometry left to collide with
}

// The broad phase names the animated body first when the rigid body's lower
// end passes its upper end: the engine then turns the application's record
// round, so the rigid body still bounces off.
TEST(CustomCollision, AnimatedFirstPairTurnsTheRecordRound) {
    SimulatorHolder sim;
    sim->SetCustomCollisionCallback2(RigidRightOfAnimated);
    neAnimatedBody* wall = sim->CreateAnimatedBody();
    wall->AddGeometry();
    wall->UpdateBoundingInfo();
    neRigidBody* ball = sim->CreateRigidBody();
    neT3 box;
    box.SetIdentity();
    box.rot = box.rot * 0.5f;
    ball->UseCustomCollisionDetection(true, &box, 0.9f);
    ball->GravityEnable(false);
    ball->SetPos(neMakeV3(2, 0, 0));
    sim->Advance(0.001f, 1);
    ASSERT_EQ(sim->region.PairCount(), 0);
    ball->SetPos(neMakeV3(0.9f, 0, 0));
    ball->SetVelocity(neMakeV3(-3, 0, 0));
    sim->Advance(0.001f, 1);
    ASSERT_EQ(sim->region.PairCount(), 1);
    EXPECT_EQ(sim->region.FirstPair()->bodyA, wall);
    EXPECT_GT(ball->GetVelocity().x, 0.0f);
}

TEST(RigidBody, InertiaFromBoxGeometriesAtUnitDensity) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->AddGeometry()->SetBoxSize(neMakeV3(2, 2, 2));
    b->AddGeometry()->SetSphereDiameter(1);
    b->UpdateInertiaFromGeometries();
    EXPECT_FLOAT_EQ(b->GetMass(), 8.0f);
    EXPECT_FLOAT_EQ(b->inertiaBody.M[0].x, 8.0f * 2 / 3);
    neRigidBody* none = sim->CreateRigidBody();
    none->SetMass(5);
    none->UpdateInertiaFromGeometries();
    EXPECT_EQ(none->GetMass(), 5.0f);
}
