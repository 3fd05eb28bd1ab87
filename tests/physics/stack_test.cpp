// The resting-contact stacks piece by piece: entries, joining, validation,
// weighted solving, the rest test and the support classes.
#include "physics/stack.h"
#include "world/physics_constants.h"

#include "physics/body.h"
#include "physics/simulator_core.h"
#include "physics_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {


// A contact of the body on the terrain (or on `other`) at a body point, the
// other point straight below it at height `floor`.
neRestingContact Contact(neSimulatorCore* sim, neRigidBody* body, const neV3& onBody, f32 depth = 0.01f,
                         neBody* other = nullptr, f32 floor = 0.0f) {
    neRestingContact c{};
    c.other = other ? other : &sim->terrainBody;
    c.pointOnBody = onBody;
    const neV3 world = body->GetPos() + onBody;
    c.pointOnOther = neMakeV3(world.x, floor, world.z) - c.other->GetTransformPtr()->pos;
    c.normal = neMakeV3(0, 1, 0);
    c.depth = depth;
    c.values[0] = 1;
    c.values[1] = 2;
    return c;
}

TEST(ContactEntries, AFarContactReplacesTheShallowestAndANearOneItsNeighbour) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neAddRestingContact(body, Contact(sim.sim, body, neMakeV3(-0.5f, -0.5f, -0.5f), 0.02f));
    neAddRestingContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, -0.5f), 0.01f));
    neAddRestingContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, 0.5f), 0.03f));
    EXPECT_EQ(sim->terrainBody.supportedCount, 3);

    // Free entries fill from the last one.
    ExpectV3Near(body->contacts[2].pointOnBody, neMakeV3(-0.5f, -0.5f, -0.5f));
    ExpectV3Near(body->contacts[0].pointOnBody, neMakeV3(0.5f, -0.5f, 0.5f));

    // Farther than 0.05 from every stored point: the shallowest (entry 1) goes.
    neAddRestingContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, 0.449f), 0.04f));
    ExpectV3Near(body->contacts[1].pointOnBody, neMakeV3(0.5f, -0.5f, 0.449f));
    ExpectV3Near(body->contacts[0].pointOnBody, neMakeV3(0.5f, -0.5f, 0.5f));

    // Within 0.05 of entry 0: that one is replaced, though entry 2 is shallower.
    neAddRestingContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, 0.54f), 0.05f));
    ExpectV3Near(body->contacts[0].pointOnBody, neMakeV3(0.5f, -0.5f, 0.54f));
    ExpectV3Near(body->contacts[2].pointOnBody, neMakeV3(-0.5f, -0.5f, -0.5f));
    EXPECT_EQ(body->contacts[0].kind, NE_ENTRY_ON_STATIC);
    EXPECT_EQ(body->contacts[0].owner, body);
    EXPECT_EQ(sim->terrainBody.supportedCount, 3);

    neRigidBody* other = MakeBody(sim.sim, neMakeV3(5, 0, 0));
    neRigidBody* top = MakeBody(sim.sim, neMakeV3(5, 1, 0));
    neAddRestingContact(top, Contact(sim.sim, top, neMakeV3(0, -0.5f, 0), 0.01f, other, 0.5f));
    EXPECT_EQ(top->contacts[2].kind, NE_ENTRY_ON_RIGID);
    EXPECT_EQ(other->supportedCount, 1);
    EXPECT_EQ(other->supportedFirst, &top->contacts[2]);
}

// One entry under the centre, the body lifted by `separation`.
struct SingleEntry {
    explicit SingleEntry(f32 separation) : sim(neSimulatorSizes(), &kGameGravity) {
        body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
        neStackAddContact(body, Contact(sim.sim, body, neMakeV3(0, -0.5f, 0)));
        body->SetPos(neMakeV3(0, 0.5f + separation, 0));
        sim->stackRecords.Clear();
        appended = neStackSolveBody(body);
    }
    SimulatorHolder sim;
    neRigidBody* body;
    s32 appended;
};

TEST(StackSolve, EntryWeightsFollowTheSeparation) {
    {
        SingleEntry near(0.005f);
        ASSERT_EQ(near.sim->stackRecords.Count(), 1);
        EXPECT_NEAR(near.sim->stackRecords[0].stackValue, 0.125f, 1e-4f);
        EXPECT_EQ(near.body->supportCount, 1);
        EXPECT_EQ(near.body->supportIndex[0], 2);
    }
    {
        SingleEntry apart(0.02f);
        EXPECT_EQ(apart.sim->stackRecords.Count(), 0);
        EXPECT_EQ(apart.body->supportCount, 0);
        EXPECT_EQ(apart.body->contacts[2].kind, NE_ENTRY_ON_STATIC);  // kept, only skipped
    }
    {
        SingleEntry into(-0.001f);
        ASSERT_EQ(into.sim->stackRecords.Count(), 1);
        const neCollisionResult& r = into.sim->stackRecords[0];
        EXPECT_EQ(r.stackValue, 1.0f);
        EXPECT_EQ(r.kind, NE_IMPULSE_RESTING_CONTACT);
        EXPECT_NEAR(r.depth, 0.001f, 1e-5f);
        EXPECT_EQ(r.bodyA, into.body);
        EXPECT_EQ(r.bodyB, &into.sim->terrainBody);
        ExpectV3Near(r.normal, neMakeV3(0, 1, 0));
        EXPECT_EQ(r.materialIndexA, 1);
        EXPECT_EQ(r.materialIndexB, 2);
        EXPECT_EQ(into.body->supportCount, 0);
    }
}

TEST(StackSolve, AnEntrySlidAwayIsDropped) {
    SingleEntry slid(0.0f);
    slid.body->SetPos(neMakeV3(0.2f, 0.5f, 0));
    slid.sim->stackRecords.Clear();
    EXPECT_EQ(neStackSolveBody(slid.body), 0);
    EXPECT_EQ(slid.body->contacts[2].kind, NE_ENTRY_FREE);
    EXPECT_EQ(slid.sim->terrainBody.supportedCount, 0);
}

// A still body on the terrain with supports at the given body points, its
// weight pulling down; counts rest tests until it sleeps (0: never in 300).
s32 StepsUntilSleep(std::initializer_list<neV3> supports) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    for (const neV3& p : supports) neStackAddContact(body, Contact(sim.sim, body, p));
    sim->stackRecords.Clear();
    neStackSolveBody(body);
    body->forceSum = kGameGravity;
    for (s32 step = 1; step <= 300; ++step) {
        neStackUpdateBody(body);
        if (body->restState == NE_RESTING) return step;
    }
    return 0;
}

TEST(RestTest, SleepComesByTheSupportClass) {
    // Three corners: the centre lies on the triangle's long edge, which counts as inside.
    EXPECT_EQ(StepsUntilSleep({neMakeV3(-0.5f, -0.5f, -0.5f), neMakeV3(0.5f, -0.5f, -0.5f),
                               neMakeV3(0.5f, -0.5f, 0.5f)}),
              11);
    EXPECT_EQ(StepsUntilSleep({neMakeV3(-0.5f, -0.5f, -0.5f), neMakeV3(0.5f, -0.5f, -0.5f),
                               neMakeV3(0.5f, -0.5f, 0.5f), neMakeV3(-0.5f, -0.5f, 0.5f)}),
              11);
    // Balanced on an edge through the centre.
    EXPECT_EQ(StepsUntilSleep({neMakeV3(-0.5f, -0.5f, 0.004f), neMakeV3(0.5f, -0.5f, 0.004f)}), 101);
    // Off the edge, on one point, or a triangle beside the centre: awake.
    EXPECT_EQ(StepsUntilSleep({neMakeV3(-0.5f, -0.5f, 0.2f), neMakeV3(0.5f, -0.5f, 0.2f)}), 0);
    EXPECT_EQ(StepsUntilSleep({neMakeV3(0, -0.5f, 0)}), 0);
    EXPECT_EQ(StepsUntilSleep({neMakeV3(0.1f, -0.5f, 0.1f), neMakeV3(0.5f, -0.5f, 0.1f),
                               neMakeV3(0.5f, -0.5f, 0.5f)}),
              0);
}

TEST(RestTest, SupportsCountOnlyWhileWhatCarriesThemHoldsStill) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* base = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* top = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    for (const neV3& p : {neMakeV3(-0.5f, -0.5f, -0.5f), neMakeV3(0.5f, -0.5f, -0.5f), neMakeV3(0, -0.5f, 0.5f)})
        neStackAddContact(top, Contact(sim.sim, top, p, 0.01f, base, 1.0f));
    neStackSolveBody(top);
    ASSERT_EQ(top->supportCount, 3);
    top->forceSum = kGameGravity;
    EXPECT_EQ(neStackCheck(top), NE_SUPPORT_NONE);  // the box below is awake
    base->GoToSleep();
    EXPECT_EQ(neStackCheck(top), NE_SUPPORT_FULL);

    // On an animated body: only while it has not moved this step.
    neAnimatedBody* platform = sim->CreateAnimatedBody();
    neRigidBody* rider = MakeBody(sim.sim, neMakeV3(5, 0.5f, 0));
    neStackAddContact(rider, Contact(sim.sim, rider, neMakeV3(0, -0.5f, 0), 0.01f, platform));
    neStackSolveBody(rider);
    ASSERT_EQ(rider->supportCount, 1);
    rider->forceSum = kGameGravity;
    EXPECT_EQ(neStackCheck(rider), NE_SUPPORT_POINT);
    platform->SetPos(neMakeV3(0, 0.001f, 0));
    EXPECT_EQ(neStackCheck(rider), NE_SUPPORT_NONE);
}

TEST(RestTest, OnlyMotionAgainstGravityKeepsABodyAwake) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    body->velocity = neMakeV3(0, -1.5f, 0);
    for (neV3& v : body->velocityHistory) v = neMakeV3(0.3f, -3, 0);
    neStackUpdateBody(body);
    EXPECT_EQ(body->idleSteps, 1);  // pressed into the ground: idle

    for (neV3& v : body->velocityHistory) v = neMakeV3(0, 3, 0);
    neStackUpdateBody(body);
    EXPECT_EQ(body->idleSteps, 0);

    body->velocity = neMakeV3(0, 0, 0);
    body->angularVelocity = neMakeV3(0, 0, 1.5f);
    for (neV3& v : body->velocityHistory) v = neMakeV3(0, 0, 0);
    for (neV3& w : body->angularVelocityHistory) w = neMakeV3(1.2f, 0, 0);
    neStackUpdateBody(body);
    EXPECT_EQ(body->idleSteps, 0);
}

TEST(SupportDrift, SupportsWhosePointsPartAreDropped) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neStackAddContact(body, Contact(sim.sim, body, neMakeV3(-0.5f, -0.5f, 0)));
    neStackAddContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, 0)));
    neStackSolveBody(body);
    ASSERT_EQ(body->supportCount, 2);
    EXPECT_TRUE(neSupportDriftTest(body));
    body->SetPos(neMakeV3(0.05f, 0.5f, 0));
    EXPECT_FALSE(neSupportDriftTest(body));
    EXPECT_EQ(body->supportCount, 0);
    EXPECT_EQ(sim->terrainBody.supportedCount, 1);
    EXPECT_TRUE(neSupportDriftTest(body));  // fewer than two supports: nothing to test
}

TEST(SnapshotDrift, SixtyStillStepsPassAndMotionRenewsTheSnapshot) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    sim->stepTime = 0.01f;
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    body->snapshot.steps = 59;
    EXPECT_FALSE(neSnapshotDriftTest(body));
    EXPECT_EQ(body->snapshot.steps, 59);  // too early to judge: the snapshot stays

    body->snapshot.steps = 60;
    body->state.transform.pos = neMakeV3(0.1f, 0.5f, 0);  // 0.1 in 0.6 s: below 0.2
    EXPECT_TRUE(neSnapshotDriftTest(body));
    EXPECT_EQ(body->snapshot.steps, 60);

    body->state.transform.pos = neMakeV3(0.2f, 0.5f, 0);  // 0.2 in 0.6 s: too fast
    EXPECT_FALSE(neSnapshotDriftTest(body));
    EXPECT_EQ(body->snapshot.steps, 0);
    ExpectV3Near(body->snapshot.pos, neMakeV3(0.2f, 0.5f, 0));

    // A turn of 6.2 rad one way is 0.08 rad the other: still.
    body->snapshot.steps = 60;
    body->state.q = neQ{0, std::sin(3.1f), 0, std::cos(3.1f)};
    EXPECT_TRUE(neSnapshotDriftTest(body));

    body->velocity = neMakeV3(0, -4, 0);  // a change of 4 in 0.6 s: above 5 per second
    EXPECT_FALSE(neSnapshotDriftTest(body));
}

TEST(StackJoin, ContactsGatherConnectedBodiesIntoOneStack) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neStack* builtIn = &sim->builtInStack;
    neRigidBody* low = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neStackAddContact(low, Contact(sim.sim, low, neMakeV3(0, -0.5f, 0)));
    ASSERT_NE(low->stackNode, nullptr);
    EXPECT_EQ(low->stackNode->stack, builtIn);

    // A body landing on it: both leave the built-in header for a stack of their own.
    neRigidBody* high = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    low->GoToSleep();
    neStackAddContact(high, Contact(sim.sim, high, neMakeV3(0, -0.5f, 0), 0.01f, low, 1.0f));
    neStack* first = high->stackNode->stack;
    EXPECT_EQ(first->builtIn, 0);
    EXPECT_EQ(low->stackNode->stack, first);
    EXPECT_EQ(first->count, 2);
    EXPECT_EQ(builtIn->count, 0);
    EXPECT_EQ(low->restState, NE_MOVING);  // the landing woke the support

    // A body on one without a node: a new stack, the support as a base node.
    neRigidBody* base = MakeBody(sim.sim, neMakeV3(5, 0.5f, 0));
    neRigidBody* rider = MakeBody(sim.sim, neMakeV3(5, 1.5f, 0));
    neStackAddContact(rider, Contact(sim.sim, rider, neMakeV3(0, -0.5f, 0), 0.01f, base, 1.0f));
    neStack* second = rider->stackNode->stack;
    EXPECT_NE(second, first);
    EXPECT_EQ(base->stackNode->stack, second);
    EXPECT_EQ(base->stackNode->base, 1);
    EXPECT_EQ(rider->stackNode->base, 0);
    EXPECT_EQ(sim->stacks.count, 2);

    // A contact between the two stacks merges them; the emptied header is freed.
    neStackAddContact(high, Contact(sim.sim, high, neMakeV3(0.4f, -0.5f, 0), 0.01f, rider, 1.0f));
    EXPECT_EQ(sim->stacks.count, 1);
    EXPECT_EQ(sim->stackPool.UsedCount(), 1);
    EXPECT_EQ(first->count, 4);
    for (neRigidBody* b : {low, high, base, rider}) EXPECT_EQ(b->stackNode->stack, first);

    // Releasing a body takes its node out and unlinks what rested on it.
    sim->FreeRigidBody(rider);
    EXPECT_EQ(first->count, 3);
    EXPECT_EQ(high->contacts[1].kind, NE_ENTRY_FREE);
    EXPECT_EQ(high->contacts[2].kind, NE_ENTRY_ON_RIGID);
}

TEST(StackJoin, BodiesAlreadyStackedJoinByTheirHeaders) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neStack* builtIn = &sim->builtInStack;
    neRigidBody* a = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* b = MakeBody(sim.sim, neMakeV3(3, 0.5f, 0));
    neStackAddContact(a, Contact(sim.sim, a, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(b, Contact(sim.sim, b, neMakeV3(0, -0.5f, 0)));
    ASSERT_EQ(builtIn->count, 2);

    // Both alone on the terrain: a stack of their own.
    neStackAddContact(a, Contact(sim.sim, a, neMakeV3(0.5f, -0.5f, 0), 0.01f, b, 1.0f));
    neStack* pair = a->stackNode->stack;
    EXPECT_EQ(pair->builtIn, 0);
    EXPECT_EQ(b->stackNode->stack, pair);
    EXPECT_EQ(builtIn->count, 0);

    // A body alone on the terrain touching the pair moves into its stack ...
    neRigidBody* c = MakeBody(sim.sim, neMakeV3(6, 0.5f, 0));
    neStackAddContact(c, Contact(sim.sim, c, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(c, Contact(sim.sim, c, neMakeV3(0.5f, -0.5f, 0), 0.01f, b, 1.0f));
    EXPECT_EQ(c->stackNode->stack, pair);
    // ... and so does one it touches, and a new body landing on a member.
    neRigidBody* d = MakeBody(sim.sim, neMakeV3(9, 0.5f, 0));
    neStackAddContact(d, Contact(sim.sim, d, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(c, Contact(sim.sim, c, neMakeV3(-0.5f, -0.5f, 0.5f), 0.01f, d, 1.0f));
    EXPECT_EQ(d->stackNode->stack, pair);
    neRigidBody* e = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    neStackAddContact(e, Contact(sim.sim, e, neMakeV3(0, -0.5f, 0), 0.01f, a, 1.0f));
    EXPECT_EQ(e->stackNode->stack, pair);
    EXPECT_EQ(pair->count, 5);
    EXPECT_EQ(sim->stacks.count, 1);

    // A second contact inside one stack changes nothing.
    neStackAddContact(e, Contact(sim.sim, e, neMakeV3(0.4f, -0.5f, 0.4f), 0.01f, a, 1.0f));
    EXPECT_EQ(pair->count, 5);

    // A stacked body coming to rest on one without a node brings it in as a base node.
    neRigidBody* f = MakeBody(sim.sim, neMakeV3(-3, 0.5f, 0));
    neStackAddContact(e, Contact(sim.sim, e, neMakeV3(-0.5f, -0.5f, -0.5f), 0.01f, f, 1.0f));
    EXPECT_EQ(f->stackNode->stack, pair);
    EXPECT_EQ(f->stackNode->base, 1);
    EXPECT_EQ(pair->count, 6);

    // A body alone on the terrain coming to rest on one without a node: a stack of their own.
    neRigidBody* g = MakeBody(sim.sim, neMakeV3(20, 0.5f, 0));
    neRigidBody* h = MakeBody(sim.sim, neMakeV3(23, 0.5f, 0));
    neStackAddContact(g, Contact(sim.sim, g, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(g, Contact(sim.sim, g, neMakeV3(0.5f, -0.5f, 0), 0.01f, h, 1.0f));
    neStack* own = g->stackNode->stack;
    EXPECT_EQ(own->builtIn, 0);
    EXPECT_NE(own, pair);
    EXPECT_EQ(h->stackNode->stack, own);
    EXPECT_EQ(h->stackNode->base, 1);
    EXPECT_EQ(builtIn->count, 0);
    EXPECT_EQ(sim->stacks.count, 2);
}

TEST(StackJoin, AnEmptyNodePoolIsReportedOnlyAtLogLevelOne) {
    for (s32 level : {0, 1}) {
        SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
        LogCapture log(sim.sim, level);
        while (sim->stackNodePool.Alloc()) {
        }
        neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
        neStackAddContact(body, Contact(sim.sim, body, neMakeV3(0, -0.5f, 0)));
        EXPECT_EQ(body->stackNode, nullptr);
        for (const neContactEntry& e : body->contacts) EXPECT_EQ(e.kind, NE_ENTRY_FREE);  // not recorded either
        if (level == 0) {
            EXPECT_TRUE(LogCapture::Messages().empty());
        } else {
            ASSERT_EQ(LogCapture::Messages().size(), 1u);
            EXPECT_EQ(LogCapture::Messages()[0], NE_STACK_FULL_MESSAGE);
        }
    }
}

TEST(StackCheck, ValidationDropsEntriesThatCannotCarryTheBody) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRestingContact hanging = Contact(sim.sim, body, neMakeV3(0, -0.5f, 0));
    hanging.normal = neMakeV3(0, -1, 0);  // along gravity: never a support
    neStackAddContact(body, hanging);
    neStackAddContact(body, Contact(sim.sim, body, neMakeV3(0.5f, -0.5f, 0.5f)));
    neStackAddContact(body, Contact(sim.sim, body, neMakeV3(-0.5f, -0.5f, 0.5f)));
    body->SetPos(neMakeV3(0, 0.505f, 0));
    EXPECT_EQ(neStackValidate(body), 2);
    EXPECT_EQ(body->contacts[2].kind, NE_ENTRY_FREE);

    body->SetPos(neMakeV3(0, 0.52f, 0));  // lifted off
    EXPECT_EQ(neStackValidate(body), 0);
    EXPECT_EQ(body->stackNode->unsupported, 1);

    // The stack check then takes the body out of its stack.
    sim->CheckStacks();
    EXPECT_EQ(body->stackNode, nullptr);
    EXPECT_EQ(sim->builtInStack.count, 0);
    EXPECT_EQ(sim->stackNodePool.UsedCount(), 0);
}

TEST(StackCheck, ASleepingBodyOnOnePointWakes) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* body = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neStackAddContact(body, Contact(sim.sim, body, neMakeV3(0, -0.5f, 0)));
    body->GoToSleep();
    sim->CheckStacks();
    EXPECT_EQ(body->restState, NE_MOVING);

    neRigidBody* flat = MakeBody(sim.sim, neMakeV3(3, 0.5f, 0));
    for (f32 x : {-0.5f, 0.5f}) neStackAddContact(flat, Contact(sim.sim, flat, neMakeV3(x, -0.5f, x)));
    flat->GoToSleep();
    sim->CheckStacks();
    EXPECT_EQ(flat->restState, NE_RESTING);
}

TEST(StackSolve, AStackLeftWithOneBodyHandsItToTheBuiltInHeader) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    sim->stepTime = 0.01f;
    sim->stepTimeInverse = 100.0f;
    neRigidBody* low = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* high = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    neStackAddContact(low, Contact(sim.sim, low, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(high, Contact(sim.sim, high, neMakeV3(0, -0.5f, 0), 0.01f, low, 1.0f));
    ASSERT_EQ(sim->stacks.count, 1);
    sim->FreeRigidBody(high);
    sim->SolveStacks();
    EXPECT_EQ(sim->stacks.count, 0);
    EXPECT_EQ(sim->stackPool.UsedCount(), 0);
    EXPECT_EQ(low->stackNode->stack, &sim->builtInStack);
    EXPECT_EQ(sim->recovery, 0);
}

TEST(StackSolve, LowerBodiesAreSolvedBeforeTheBodiesOnThem) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* low = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* high = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    // The upper body joins first, so it leads the stack's node list.
    neStackAddContact(high, Contact(sim.sim, high, neMakeV3(0, -0.5f, 0), 0.01f, low, 1.0f));
    neStackAddContact(low, Contact(sim.sim, low, neMakeV3(0, -0.5f, 0)));
    neStack* stack = high->stackNode->stack;
    ASSERT_EQ(stack->first, high->stackNode);
    sim->stackRecords.Clear();
    neStackCollect(stack);
    ASSERT_EQ(sim->stackRecords.Count(), 2);
    EXPECT_EQ(sim->stackRecords[0].bodyA, low);
    EXPECT_EQ(sim->stackRecords[1].bodyA, high);
    EXPECT_EQ(sim->stackRecords[1].bodyB, low);
    // Both are listed for the iteration's velocity flush.
    EXPECT_TRUE(sim->InStackBodyList(low) && sim->InStackBodyList(high));
    sim->ClearStackList();
}

TEST(StackSolve, TheStepsSolveHoldsSleepingBodiesStill) {
    // A sleeping box on the ground, another asleep on it, an awake one on top.
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* low = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* middle = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    neRigidBody* top = MakeBody(sim.sim, neMakeV3(0, 2.5f, 0));
    neStackAddContact(low, Contact(sim.sim, low, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(middle, Contact(sim.sim, middle, neMakeV3(0, -0.5f, 0), 0.01f, low, 1.0f));
    neStackAddContact(top, Contact(sim.sim, top, neMakeV3(0, -0.5f, 0), 0.01f, middle, 2.0f));
    low->GoToSleep();
    middle->GoToSleep();
    neStack* stack = top->stackNode->stack;

    // A constraint set's solve takes every contact, each body movable.
    sim->stackRecords.Clear();
    neStackCollect(stack);
    EXPECT_EQ(sim->stackRecords.Count(), 3);
    sim->ClearStackList();

    // The step's own solve: only the awake body's contact, on a fixed support.
    sim->stackRecords.Clear();
    neStackCollect(stack, true);
    ASSERT_EQ(sim->stackRecords.Count(), 1);
    EXPECT_EQ(sim->stackRecords[0].bodyA, top);
    EXPECT_EQ(sim->stackRecords[0].bodyB, nullptr);
    EXPECT_EQ(sim->stackBodyFirst, nullptr);
    // Every body's supports were still counted.
    EXPECT_EQ(low->supportCount, 1);
    EXPECT_EQ(middle->supportCount, 1);
    EXPECT_EQ(top->supportCount, 1);

    // A sleeping body on an awake one: only the awake support is answered.
    low->WakeUp();
    sim->stackRecords.Clear();
    neStackCollect(stack, true);
    ASSERT_EQ(sim->stackRecords.Count(), 3);
    EXPECT_EQ(sim->stackRecords[1].bodyA, nullptr);
    EXPECT_EQ(sim->stackRecords[1].bodyB, low);
    sim->stackRecords.Clear();
}

TEST(StackCheck, RegroupingSplitsDisconnectedBodies) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    neRigidBody* a = MakeBody(sim.sim, neMakeV3(0, 0.5f, 0));
    neRigidBody* b = MakeBody(sim.sim, neMakeV3(0, 1.5f, 0));
    neRigidBody* c = MakeBody(sim.sim, neMakeV3(5, 0.5f, 0));
    neRigidBody* d = MakeBody(sim.sim, neMakeV3(5, 1.5f, 0));
    neStackAddContact(a, Contact(sim.sim, a, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(c, Contact(sim.sim, c, neMakeV3(0, -0.5f, 0)));
    neStackAddContact(b, Contact(sim.sim, b, neMakeV3(0, -0.5f, 0), 0.01f, a, 1.0f));
    neStackAddContact(d, Contact(sim.sim, d, neMakeV3(0, -0.5f, 0), 0.01f, c, 1.0f));
    // A contact that joined the two piles, since lost.
    neStackAddContact(d, Contact(sim.sim, d, neMakeV3(-0.5f, -0.5f, 0), 0.01f, b, 1.0f));
    neStack* joined = a->stackNode->stack;
    ASSERT_EQ(joined->count, 4);
    neUnlinkContactEntry(&d->contacts[1]);  // the second contact went into entry 1

    EXPECT_FALSE(neStackRegroup(joined));
    EXPECT_EQ(a->stackNode->stack, b->stackNode->stack);
    EXPECT_EQ(c->stackNode->stack, d->stackNode->stack);
    EXPECT_NE(a->stackNode->stack, c->stackNode->stack);
    EXPECT_EQ(sim->stacks.count, 2);
    EXPECT_EQ(a->stackNode->stack->count, 2);
}

}  // namespace
