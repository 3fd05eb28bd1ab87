#include "physics/response.h"

#include "physics/narrow_phase.h"
#include "physics_test_util.h"
#include "shape_fixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace {

neRigidBody* MovingBody(neSimulatorCore* sim, const neV3& pos, const neV3& velocity, f32 mass = 1.0f) {
    neRigidBody* body = MakeBody(sim, pos, mass);
    body->SetVelocity(velocity);
    return body;
}

// A contact between two bodies at a world point, normal from B toward A.
neCollisionResult Contact(neBody* a, neBody* b, const neV3& point, const neV3& normal, f32 depth = 0.01f) {
    neCollisionResult r{};
    r.valid = 1;
    r.kind = NE_IMPULSE_COLLISION;
    r.bodyA = a;
    r.bodyB = b;
    r.normal = normal;
    r.depth = depth;
    r.worldPointA = r.worldPointB = point;
    r.pointA = point - a->GetTransformPtr()->pos;
    r.pointB = point - b->GetTransformPtr()->pos;
    r.localPointA = a->GetTransformPtr()->rot.TransposeMul(r.pointA);
    r.localPointB = b->GetTransformPtr()->rot.TransposeMul(r.pointB);
    return r;
}

f32 NormalSpeed(neRigidBody* a, neRigidBody* b, const neV3& normal) {
    return (a->GetVelocity() - (b ? b->GetVelocity() : neMakeV3(0, 0, 0))).Dot(normal);
}

TEST(ContactFrame, TangentsCompleteARightHandedFrame) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<f32> c(-1, 1);
    for (int i = 0; i < 500; ++i) {
        neV3 n = neMakeV3(c(rng), c(rng), c(rng));
        n.Normalize();
        if (n.IsZero()) continue;
        neV3 t1{}, t2{};
        neBuildContactFrame(t1, t2, n);
        EXPECT_NEAR(t1.Dot(t1), 1.0f, 1e-5f);
        EXPECT_NEAR(t2.Dot(t2), 1.0f, 1e-5f);
        EXPECT_NEAR(t1.Dot(n), 0.0f, 1e-5f);
        shapes::ExpectVec(t1.Cross(t2), n.x, n.y, n.z, 1e-5f);
    }
}

TEST(Response, HeadOnImpactSeparatesAtTheSmallerRestitution) {
    for (f32 restitution : {0.0f, 0.3f, 0.9f}) {
        SimulatorHolder sim;
        sim->SetMaterial(1, 0.5f, restitution);
        sim->SetMaterial(2, 0.5f, 1.0f);
        neRigidBody* a = MovingBody(sim.sim, neMakeV3(-0.45f, 0, 0), neMakeV3(1, 0, 0));
        neRigidBody* b = MovingBody(sim.sim, neMakeV3(0.45f, 0, 0), neMakeV3(-1, 0, 0), 3.0f);
        neCollisionResult r = Contact(a, b, neMakeV3(0, 0, 0), neMakeV3(-1, 0, 0));
        r.materialIndexA = 1;
        r.materialIndexB = 2;
        const f32 approach = NormalSpeed(a, b, r.normal);
        ASSERT_NEAR(approach, -2.0f, 1e-6f);
        sim->RespondToCollision(a, b, r);
        EXPECT_NEAR(NormalSpeed(a, b, r.normal), -restitution * approach, 1e-5f);
        // Momentum is kept and nothing turns.
        EXPECT_NEAR(a->GetVelocity().x * 1 + b->GetVelocity().x * 3, 1 - 3, 1e-5f);
        EXPECT_NEAR(a->GetAngularVelocity().Dot(a->GetAngularVelocity()), 0.0f, 1e-10f);
        EXPECT_EQ(a->touched, 1);
        EXPECT_EQ(b->touched, 1);
    }
}

TEST(Response, SeparatingContactGetsNoImpulse) {
    SimulatorHolder sim;
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0.45f, 0), neMakeV3(0, 1, 0));
    neRigidBody* b = MovingBody(sim.sim, neMakeV3(0, -0.45f, 0), neMakeV3(0, 0, 0));
    neCollisionResult r = Contact(a, b, neMakeV3(0, 0, 0), neMakeV3(0, 1, 0));
    sim->RespondToCollision(a, b, r);
    shapes::ExpectVec(a->GetVelocity(), 0, 1, 0, 0);
    shapes::ExpectVec(b->GetVelocity(), 0, 0, 0, 0);
}

TEST(Response, ImpulsesStayInsideTheFrictionCone) {
    SimulatorHolder sim;
    std::mt19937 rng(9);
    std::uniform_real_distribution<f32> c(-1, 1), unit(0, 1), mass(0.2f, 5.0f);
    int sliding = 0;
    for (int i = 0; i < 2000; ++i) {
        neRigidBody* a = MovingBody(sim.sim, neMakeV3(c(rng), c(rng), c(rng)), neMakeV3(c(rng), c(rng), c(rng)) * 5,
                                  mass(rng));
        neRigidBody* b = MovingBody(sim.sim, neMakeV3(c(rng), c(rng), c(rng)), neMakeV3(c(rng), c(rng), c(rng)) * 5,
                                  mass(rng));
        a->SetAngularMomentum(neMakeV3(c(rng), c(rng), c(rng)));
        neV3 n = neMakeV3(c(rng), c(rng), c(rng));
        n.Normalize();
        if (n.IsZero()) n.Set(0, 1, 0);
        neCollisionResult r = Contact(a, b, neMakeV3(c(rng), c(rng), c(rng)), n);
        neUpdateMatrices(r, false, false);
        neUpdateRelativeVelocity(r);
        const f32 mu = unit(rng), e = unit(rng);
        const neV3 j = neContactImpulse(r, mu, e);
        ASSERT_TRUE(Finite(j));
        if (r.relativeVelocity.z < 0) {
            EXPECT_GE(j.z, -1e-5f);
            const f32 tangent = std::sqrt(j.x * j.x + j.y * j.y);
            EXPECT_LE(tangent, mu * j.z + 1e-4f * (1 + j.z)) << i;
            if (tangent > 0.999f * mu * j.z && j.z > 0) ++sliding;
        }
        sim->FreeRigidBody(a);
        sim->FreeRigidBody(b);
    }
    EXPECT_GT(sliding, 100);
}

TEST(Response, SlowSlidingContactStopsInsideTheCone) {
    SimulatorHolder sim;
    sim->SetMaterial(0, 0.8f, 0.0f);
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0.5f, 0), neMakeV3(0.3f, -2, 0.1f));
    neCollisionResult r = Contact(a, &sim->terrainBody, neMakeV3(0, 0, 0), neMakeV3(0, 1, 0));
    neUpdateMatrices(r, false, false);
    neResolveCollision(*sim.sim, r, NE_RESOLVE_COLLISION, 1.0f);
    neUpdateRelativeVelocity(r);
    shapes::ExpectVec(r.relativeVelocityWorld, 0, 0, 0, 1e-5f);
}

TEST(Response, SidewaysTerrainContactPushesOutButAnUpwardOneRests) {
    const neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0, 0), neMakeV3(-1, 0, 0));
    neCollisionResult r = Contact(a, &sim->terrainBody, neMakeV3(-0.5f, 0, 0), neMakeV3(1, 0, 0), 0.2f);
    sim->RespondToCollision(a, &sim->terrainBody, r);
    shapes::ExpectVec(a->GetPos(), 0.2f, 0, 0);
    EXPECT_EQ(a->separated, 1);
    EXPECT_GT(a->GetVelocity().x, 0.0f);

    neRigidBody* c = MovingBody(sim.sim, neMakeV3(5, 0, 0), neMakeV3(0, -1, 0));
    r = Contact(c, &sim->terrainBody, neMakeV3(5, -0.5f, 0), neMakeV3(0, 1, 0), 0.2f);
    sim->RespondToCollision(c, &sim->terrainBody, r);
    shapes::ExpectVec(c->GetPos(), 5, 0, 0);
    EXPECT_EQ(c->separated, 0);
    EXPECT_GT(c->GetVelocity().y, 0.0f);
}

// The entry a body holds for resting on `other`, or null.
const neContactEntry* EntryOn(const neRigidBody* body, const neBody* other) {
    for (const neContactEntry& e : body->contacts)
        if (e.kind != NE_ENTRY_FREE && e.other == other) return &e;
    return nullptr;
}

// Two rigid bodies stacked under gravity are not pushed apart: the upper one
// (the one the normal points to, against gravity) gets a resting entry
// naming the lower one, with the normal in the lower body's axes and the
// materials in its own order, whichever of the two is first.
TEST(Response, StackedRigidBodiesGiveTheUpperOneARestingEntry) {
    const neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    neRigidBody* upper = MovingBody(sim.sim, neMakeV3(0, 1, 0), neMakeV3(0, -1, 0));
    neRigidBody* lower = MovingBody(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    neM3 turn;
    turn.RotateXYZ(neMakeV3(0, 0, 0.5f));
    lower->SetRotation(turn);
    lower->UpdateRotationAndInertia();

    neCollisionResult r = Contact(upper, lower, neMakeV3(0, 0.5f, 0), neMakeV3(0, 1, 0), 0.05f);
    r.materialIndexA = 4;
    r.materialIndexB = 6;
    sim->RespondToCollision(upper, lower, r);
    shapes::ExpectVec(upper->GetPos(), 0, 1, 0);
    shapes::ExpectVec(lower->GetPos(), 0, 0, 0);
    EXPECT_EQ(upper->separated + lower->separated, 0);
    const neContactEntry* entry = EntryOn(upper, lower);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(EntryOn(lower, upper), nullptr);
    const neV3 normalInLower = lower->GetRotationM3().TransposeMul(neMakeV3(0, 1, 0));
    shapes::ExpectVec(entry->normal, normalInLower.x, normalInLower.y, normalInLower.z, 1e-5f);
    EXPECT_EQ(entry->values[0], 4);
    EXPECT_EQ(entry->values[1], 6);

    // The same contact with the lower body first: the entry goes on B.
    neRigidBody* top = MovingBody(sim.sim, neMakeV3(5, 1, 0), neMakeV3(0, -1, 0));
    neRigidBody* bottom = MovingBody(sim.sim, neMakeV3(5, 0, 0), neMakeV3(0, 0, 0));
    neCollisionResult s = Contact(bottom, top, neMakeV3(5, 0.5f, 0), neMakeV3(0, -1, 0), 0.05f);
    s.materialIndexA = 6;
    s.materialIndexB = 4;
    sim->RespondToCollision(bottom, top, s);
    shapes::ExpectVec(top->GetPos(), 5, 1, 0);
    entry = EntryOn(top, bottom);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(EntryOn(bottom, top), nullptr);
    shapes::ExpectVec(entry->normal, 0, 1, 0, 1e-5f);
    EXPECT_EQ(entry->values[0], 4);
    EXPECT_EQ(entry->values[1], 6);
}

TEST(Response, RigidSecondBodyUnderAnAnimatedOneIsPushedOutAlongMinusNormal) {
    const neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    neAnimatedBody* roof = sim->CreateAnimatedBody();
    neRigidBody* b = MovingBody(sim.sim, neMakeV3(0, -1, 0), neMakeV3(0, 1, 0));
    neCollisionResult r = Contact(roof, b, neMakeV3(0, -0.5f, 0), neMakeV3(0, 1, 0), 0.1f);
    sim->RespondToCollision(roof, b, r);
    shapes::ExpectVec(b->GetPos(), 0, -1.1f, 0);
    EXPECT_EQ(b->separated, 1);
    EXPECT_LT(b->GetVelocity().y, 0.0f);
}

TEST(Response, ParticleAsSecondBodyMovesByTheDepth) {
    SimulatorHolder sim;
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 1, 0), neMakeV3(0, -1, 0));
    neRigidBody* p = sim->CreateRigidParticle();
    p->SetPos(neMakeV3(0, 0, 0));
    p->UpdateRotationAndInertia();
    neCollisionResult r = Contact(a, p, neMakeV3(0, 0.5f, 0), neMakeV3(0, 1, 0), 0.1f);
    sim->RespondToCollision(a, p, r);
    shapes::ExpectVec(p->GetPos(), 0, -0.1f, 0);
    shapes::ExpectVec(a->GetPos(), 0, 1, 0);

    // A particle as first body gets no such move.
    neCollisionResult s = Contact(p, a, neMakeV3(0, 0.5f, 0), neMakeV3(0, -1, 0), 0.1f);
    p->SetPos(neMakeV3(0, 0, 0));
    sim->RespondToCollision(p, a, s);
    shapes::ExpectVec(p->GetPos(), 0, 0, 0);
}

TEST(Response, SingularMatrixGivesZeroW) {
    SimulatorHolder sim;
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    neCollisionResult r{};
    r.kind = NE_IMPULSE_ANGULAR_LIMIT;
    r.bodyA = a;
    r.bodyB = &sim->terrainBody;
    r.W.SetIdentity();
    neUpdateMatrices(r, true, false);  // neither body counts: K = 0
    for (s32 c = 0; c < 3; ++c) shapes::ExpectVec(r.W.M[c], 0, 0, 0, 0);

    // A contact with both bodies ignored gets no impulse.
    neCollisionResult contact = Contact(a, &sim->terrainBody, neMakeV3(0, -0.5f, 0), neMakeV3(0, 1, 0));
    neUpdateMatrices(contact, true, false);
    contact.relativeVelocity = neMakeV3(0.5f, 0, -1);
    shapes::ExpectVec(neContactImpulse(contact, 0.5f, 0.5f), 0, 0, 0, 0);
}

TEST(Response, RestingRecoveryIsCappedAndNeedsMoreThanTheSlop) {
    const neV3 g = neMakeV3(0, -10, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    sim->stepTimeInverse = 60.0f;
    sim->recovery = 1;
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0.3f, 0), neMakeV3(0, 0, 0));
    neCollisionResult r = Contact(a, &sim->terrainBody, neMakeV3(0, -0.2f, 0), neMakeV3(0, 1, 0), 0.2f);
    r.kind = NE_IMPULSE_RESTING_CONTACT;
    neUpdateMatrices(r, false, false);
    neUpdateRelativeVelocity(r);
    const f32 value = neImpulseKind2(*sim.sim, r);
    EXPECT_NEAR(r.depth, 0.05f, 1e-7f);
    EXPECT_NEAR(value, 0.5f * (0.05f - 0.001f * 10.0f) * 60.0f, 1e-4f);
    EXPECT_GT(a->GetVelocity().y, 0.0f);

    neRigidBody* c = MovingBody(sim.sim, neMakeV3(3, 0.5f, 0), neMakeV3(0, 0, 0));
    neCollisionResult s = Contact(c, &sim->terrainBody, neMakeV3(3, 0, 0), neMakeV3(0, 1, 0), 0.009f);
    s.kind = NE_IMPULSE_RESTING_CONTACT;
    neUpdateMatrices(s, false, false);
    neUpdateRelativeVelocity(s);
    EXPECT_EQ(neImpulseKind2(*sim.sim, s), 0.0f);
    shapes::ExpectVec(c->GetVelocity(), 0, 0, 0, 0);
}

struct BreakRecord {
    static BreakRecord& Last() {
        static BreakRecord r;
        return r;
    }
    static void Callback(neBody* old, s32 kind, neGeometry* g, neRigidBody* made) {
        Last() = {old, kind, g, made, Last().calls + 1};
    }
    neBody* old;
    s32 kind;
    neGeometry* geometry;
    neRigidBody* made;
    int calls;
};

TEST(Breakage, ZeroThresholdAndZeroImpulseBreakNothingAndStayFinite) {
    SimulatorHolder sim;
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    neGeometry* g = a->AddGeometry();
    a->AddGeometry();
    g->SetBreakageKind(NE_BREAK_OFF);
    g->SetBreakageThreshold(0);
    g->SetBreakageDirection(neMakeV3(0, 1, 0));
    neV3 j = neMakeV3(0, 2, 0);  // along the direction only: nothing across it
    EXPECT_FALSE(neBreakGeometryOnImpact(*sim.sim, a, g, neMakeV3(0, 0, 0), j));
    shapes::ExpectVec(j, 0, 2, 0, 0);
    EXPECT_EQ(a->GetGeometryCount(), 2);
}

TEST(Breakage, ImpulseAcrossTheDirectionBreaksThePieceOff) {
    SimulatorHolder sim;
    BreakRecord::Last() = {};
    sim->SetBreakageCallback(BreakRecord::Callback);
    neRigidBody* a = MovingBody(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, 0, 0));
    neGeometry* g = a->AddGeometry();
    a->AddGeometry();
    g->SetBreakageKind(NE_BREAK_OFF);
    g->SetBreakageThreshold(1);
    g->SetBreakageImpulseShare(0.5f);
    g->SetBreakagePieceMass(2);
    g->SetBreakagePieceInertia(neMakeV3(1, 1, 1));
    g->SetBreakageDirection(neMakeV3(0, 1, 0));
    neV3 j = neMakeV3(3, 1, 0);
    EXPECT_TRUE(neBreakGeometryOnImpact(*sim.sim, a, g, neMakeV3(0, 0, 0), j));
    shapes::ExpectVec(j, 0.5f, 1, 0);
    ASSERT_EQ(BreakRecord::Last().calls, 1);
    EXPECT_EQ(BreakRecord::Last().old, a);
    EXPECT_EQ(BreakRecord::Last().kind, 1);
    EXPECT_EQ(BreakRecord::Last().geometry, g);
    ASSERT_NE(BreakRecord::Last().made, nullptr);
    EXPECT_NEAR(BreakRecord::Last().made->GetVelocity().x, 0.5f / 2, 1e-5f);
    EXPECT_EQ(a->GetGeometryCount(), 1);
}

}  // namespace
