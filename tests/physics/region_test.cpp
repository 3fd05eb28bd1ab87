#include "physics_test_util.h"
#include "world/physics_constants.h"

#include <algorithm>
#include <random>
#include <set>
#include <utility>

namespace {

using PairSet = std::set<std::pair<const neBody*, const neBody*>>;

std::pair<const neBody*, const neBody*> Ordered(const neBody* a, const neBody* b) {
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

PairSet RegionPairs(neSimulatorCore* sim) {
    PairSet pairs;
    for (neOverlapPair* p = sim->region.FirstPair(); p; p = sim->region.NextPair(p)) {
        EXPECT_TRUE(pairs.insert(Ordered(p->bodyA, p->bodyB)).second) << "pair listed twice";
    }
    return pairs;
}

bool InRegion(const neBody* b) { return b->regionRecord && b->endPoints[0]; }

bool IsParticle(const neBody* b) {
    return b->type == NE_BODY_RIGID && static_cast<const neRigidBody*>(b)->particle;
}

PairSet BruteForcePairs(const std::vector<neBody*>& bodies) {
    PairSet pairs;
    for (size_t i = 0; i < bodies.size(); ++i)
        for (size_t j = i + 1; j < bodies.size(); ++j) {
            const neBody* a = bodies[i];
            const neBody* b = bodies[j];
            if (!InRegion(a) || !InRegion(b) || (IsParticle(a) && IsParticle(b))) continue;
            bool overlap = true;
            for (int k = 0; k < 3; ++k)
                overlap = overlap && a->maxBound[k] > b->minBound[k] && b->maxBound[k] > a->minBound[k];
            if (overlap) pairs.insert(Ordered(a, b));
        }
    return pairs;
}

neV3 GridPoint(std::mt19937& gen, int extent) {
    std::uniform_int_distribution<int> cell(-extent, extent);
    // Half units with unit boxes: many boxes share end values exactly.
    return neMakeV3(cell(gen) * 0.5f, cell(gen) * 0.5f, cell(gen) * 0.5f);
}

// One default geometry, and no gravity: the body stays where it is put.
void Floating(neRigidBody* r) {
    r->AddGeometry();
    r->UpdateBoundingInfo();
    r->GravityEnable(false);
}

// `count` floating bodies at random grid points.
std::vector<neBody*> Scattered(neSimulatorCore* sim, std::mt19937& gen, int count) {
    std::vector<neBody*> bodies;
    for (int i = 0; i < count; ++i) {
        neRigidBody* r = sim->CreateRigidBody();
        Floating(r);
        r->SetPos(GridPoint(gen, 3));
        bodies.push_back(r);
    }
    return bodies;
}

void Place(neBody* b, const neV3& p) {
    if (neRigidBody* r = b->AsRigidBody())
        r->SetPos(p);
    else
        b->AsAnimatedBody()->SetPos(p);
}

}  // namespace

TEST(BroadPhase, PairsMatchABruteForceBoxTestAtEveryStep) {
    neSimulatorSizes sizes;
    sizes.rigidBodiesCount = 24;
    sizes.animatedBodiesCount = 6;
    sizes.rigidParticleCount = 6;
    sizes.geometriesCount = 36;
    sizes.overlapPairsCount = 1000;
    SimulatorHolder sim(sizes);
    std::mt19937 gen(2024);
    std::vector<neBody*> bodies;
    for (int i = 0; i < 24; ++i) bodies.push_back(sim->CreateRigidBody());
    for (int i = 0; i < 6; ++i) bodies.push_back(sim->CreateAnimatedBody());
    for (int i = 0; i < 6; ++i) bodies.push_back(sim->CreateRigidParticle());
    for (neBody* b : bodies) {
        b->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
        b->UpdateBoundingInfo();
        if (neRigidBody* r = b->AsRigidBody()) r->GravityEnable(false);
        Place(b, GridPoint(gen, 4));
    }
    std::uniform_int_distribution<int> pick(0, static_cast<int>(bodies.size()) - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int step = 0; step < 300; ++step) {
        for (neBody* b : bodies) {
            if (percent(gen) < 30) Place(b, GridPoint(gen, 4));
            if (neRigidBody* r = b->AsRigidBody()) r->SetVelocity(neMakeV3(0, 0, 0));
        }
        // Switch some bodies off and on between updates, some twice over.
        for (int k = 0; k < 3; ++k) {
            neBody* b = bodies[pick(gen)];
            b->SetActive(!b->IsActive());
            if (percent(gen) < 30) {
                b->SetActive(!b->IsActive());
                b->SetActive(!b->IsActive());
            }
        }
        sim->Advance(0.01f, 1);
        ASSERT_EQ(RegionPairs(sim.sim), BruteForcePairs(bodies)) << "step " << step;
    }
    EXPECT_GT(sim->region.PairCount(), 0);
}

TEST(BroadPhase, PairWithTableEntryZeroIsNotMadeByMotion) {
    SimulatorHolder sim;
    neRigidBody* a = sim->CreateRigidBody();
    neRigidBody* b = sim->CreateRigidBody();
    for (neRigidBody* r : {a, b}) {
        Floating(r);
    }
    a->SetCollisionID(1);
    b->SetCollisionID(2);
    sim->GetCollisionTable()->Set(1, 2, 0);
    b->SetPos(neMakeV3(5, 0, 0));
    sim->Advance(0.01f, 1);
    b->SetPos(neMakeV3(0.5f, 0, 0));
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 0);
    sim->GetCollisionTable()->Set(1, 2, 1);
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 0);  // not until they part and meet again
    b->SetPos(neMakeV3(5, 0, 0));
    sim->Advance(0.01f, 1);
    b->SetPos(neMakeV3(0.5f, 0, 0));
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 1);
}

TEST(BroadPhase, FullPairPoolLogsAndMakesNoPair) {
    neSimulatorSizes sizes;
    sizes.overlapPairsCount = 1;
    SimulatorHolder sim(sizes);
    LogCapture log(sim.sim);
    std::vector<neRigidBody*> bodies;
    for (int i = 0; i < 3; ++i) {
        neRigidBody* r = sim->CreateRigidBody();
        Floating(r);
        r->SetPos(neMakeV3(10.0f * i, 0, 0));
        bodies.push_back(r);
    }
    sim->Advance(0.01f, 1);
    bodies[1]->SetPos(neMakeV3(0.5f, 0, 0));
    bodies[2]->SetPos(neMakeV3(0.25f, 0, 0));
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 1);
    EXPECT_FALSE(LogCapture::Messages().empty());
    for (const std::string& m : LogCapture::Messages())
        EXPECT_EQ(m, "Overlap Pair buffer full. Increase buffer size.\n");
    // A body entering the region while the pool is full makes no pair either.
    neRigidBody* late = sim->CreateRigidBody();
    late->AddGeometry();
    late->UpdateBoundingInfo();
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 1);
}

TEST(BroadPhase, TwoParticlesNeverPair) {
    SimulatorHolder sim;
    neRigidBody* a = sim->CreateRigidParticle();
    neRigidBody* b = sim->CreateRigidParticle();
    neRigidBody* c = sim->CreateRigidBody();
    for (neRigidBody* r : {a, b, c}) {
        Floating(r);
    }
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 2);
    for (neOverlapPair* p = sim->region.FirstPair(); p; p = sim->region.NextPair(p))
        EXPECT_EQ(p->bodyA, c);  // the rigid body comes first
}

TEST(BroadPhase, AddRemoveAddBeforeAnUpdateInsertsOnce) {
    SimulatorHolder sim;
    neRigidBody* a = sim->CreateRigidBody();
    neRigidBody* b = sim->CreateRigidBody();
    b->AddGeometry();
    a->AddGeometry();
    a->SetActive(false);
    a->SetActive(true);
    a->SetActive(false);
    a->SetActive(true);
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 1);
    for (s32 axis = 0; axis < 3; ++axis) EXPECT_EQ(sim->region.EndPointCount(axis), 4);
    // Freed while pending: never inserted.
    neRigidBody* c = sim->CreateRigidBody();
    c->AddGeometry();
    sim->FreeRigidBody(c);
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 1);
    sim->FreeRigidBody(a);
    sim->Advance(0.01f, 1);
    EXPECT_EQ(sim->region.PairCount(), 0);
    EXPECT_EQ(sim->region.EndPointCount(1), 2);
}

TEST(BroadPhase, RebuildRecomputesTheSamePairs) {
    SimulatorHolder sim;
    std::mt19937 gen(5);
    std::vector<neBody*> bodies = Scattered(sim.sim, gen, 20);
    sim->Advance(0.01f, 1);
    PairSet before = RegionPairs(sim.sim);
    sim->region.Rebuild();
    EXPECT_EQ(RegionPairs(sim.sim), before);
    EXPECT_EQ(RegionPairs(sim.sim), BruteForcePairs(bodies));
    for (neBody* a : bodies)
        for (neBody* b : bodies) {
            if (a == b) continue;
            bool overlapping = BruteForcePairs({a, b}).size() == 1;
            EXPECT_EQ(sim->region.TestAabbOverlap(a, b) == NE_ALL_AXES, overlapping);
        }
}

// Bodies entering with a hint: one inside the region, one still pending (no
// end points yet), one freed meanwhile, and the body itself. The hint only
// starts the search, so every later step still matches the brute force.
TEST(BroadPhase, InsertionWithAnyHintKeepsTheListsSorted) {
    SimulatorHolder sim;
    std::mt19937 gen(77);
    std::vector<neBody*> bodies = Scattered(sim.sim, gen, 12);
    sim->Advance(0.01f, 1);
    neRigidBody* freed = sim->CreateRigidBody();
    freed->AddGeometry();
    sim->Advance(0.01f, 1);

    for (neBody* b : {bodies[0], bodies[1], bodies[2], bodies[3]}) b->SetActive(false);
    sim->Advance(0.01f, 1);
    bodies[0]->SetActive(true, bodies[5]);  // a hint with end points
    bodies[1]->SetActive(true, bodies[0]);  // a hint still waiting for its end points
    bodies[2]->SetActive(true, freed);      // a hint that is gone by the update
    bodies[3]->SetActive(true, bodies[3]);  // itself
    sim->FreeRigidBody(freed);
    for (int step = 0; step < 50; ++step) {
        sim->Advance(0.01f, 1);
        ASSERT_EQ(RegionPairs(sim.sim), BruteForcePairs(bodies)) << "step " << step;
        for (neBody* b : bodies) {
            static_cast<neRigidBody*>(b)->SetPos(GridPoint(gen, 3));
            static_cast<neRigidBody*>(b)->SetVelocity(neMakeV3(0, 0, 0));
        }
    }
    for (s32 axis = 0; axis < 3; ++axis) EXPECT_EQ(sim->region.EndPointCount(axis), 24);
}

// A pile of boxes gone to sleep leaves nothing for the broad phase to sort
// or bound: a step re-sorts no end point and keeps every box. One box set
// sliding along x brings its own two x ends alone, and its box follows it.
TEST(BroadPhase, SleepingBodiesLeaveNoEndPointToSort) {
    SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
    ASSERT_TRUE(SetFlatGround(sim.sim, 8, 2.0f));
    std::vector<neRigidBody*> boxes;
    for (int i = 0; i < 4; ++i) boxes.push_back(MakeBox(sim.sim, neMakeV3(-3.0f + 2.0f * i, 0.5f, 0.5f)));
    boxes.push_back(MakeBox(sim.sim, neMakeV3(-3.0f, 1.5f, 0.5f)));  // on the first one
    for (int step = 0; step < 400; ++step) sim->Advance(kPhysicsSubStep, 1);
    for (neRigidBody* b : boxes) ASSERT_TRUE(b->IsIdle());
    const neV3 before = boxes[2]->minBound;
    sim->Advance(kPhysicsSubStep, 1);
    for (s32 axis = 0; axis < 3; ++axis) EXPECT_EQ(sim->region.LastSortedCount(axis), 0) << axis;
    ExpectV3Near(boxes[2]->minBound, before, 0);

    boxes[2]->SetVelocity(neMakeV3(2, 0, 0));
    sim->Advance(kPhysicsSubStep, 1);  // moves at the step's end ...
    sim->Advance(kPhysicsSubStep, 1);  // ... and is bounded at the next one's start
    EXPECT_EQ(sim->region.LastSortedCount(0), 2);
    EXPECT_GT(boxes[2]->minBound.x, before.x);
}
