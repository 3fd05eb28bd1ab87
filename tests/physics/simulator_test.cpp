#include "physics_test_util.h"
#include "world/physics_constants.h"

#include <tuple>

namespace {

neSimulatorSizes SmallSizes() {
    neSimulatorSizes s;
    s.rigidBodiesCount = 3;
    s.animatedBodiesCount = 2;
    s.rigidParticleCount = 2;
    s.geometriesCount = 4;
    s.sensorsCount = 2;
    s.controllersCount = 2;
    return s;
}

void Unused() {}

// A callback stored through the game's face of the simulator comes back from its getter.
#define EXPECT_STORED(sim, Name)                                            \
    (sim)->Set##Name(reinterpret_cast<decltype((sim)->Get##Name())>(&Unused)); \
    EXPECT_EQ(reinterpret_cast<void (*)()>((sim)->Get##Name()), &Unused) << #Name

}  // namespace

TEST(Simulator, ExhaustedPoolsReturnNullWithTheirMessages) {
    SimulatorHolder sim(SmallSizes());
    LogCapture log(sim.sim);
    for (int i = 0; i < 3; ++i) ASSERT_NE(sim->CreateRigidBody(), nullptr);
    EXPECT_EQ(sim->CreateRigidBody(), nullptr);
    for (int i = 0; i < 2; ++i) ASSERT_NE(sim->CreateRigidParticle(), nullptr);
    EXPECT_EQ(sim->CreateRigidParticle(), nullptr);
    neRigidBody* body = sim->activeRigidBodies.first->AsRigidBody();
    for (int i = 0; i < 4; ++i) ASSERT_NE(body->AddGeometry(), nullptr);
    EXPECT_EQ(body->AddGeometry(), nullptr);
    for (int i = 0; i < 2; ++i) ASSERT_NE(body->AddSensor(), nullptr);
    EXPECT_EQ(body->AddSensor(), nullptr);
    RecordingCallback cb;
    for (int i = 0; i < 2; ++i) ASSERT_NE(body->AddController(&cb, 0), nullptr);
    EXPECT_EQ(body->AddController(&cb, 0), nullptr);
    std::vector<std::string> expected = {
        "Run out of RigidBodies. Increase 'rigidBodiesCount'.\n",
        "Run out of RigidBodies. Increase 'rigidParticleCount'.\n",
        "Run out of Geometries. Increase 'geometriesCount'.\n",
        "Run out of Sensors. Increase 'sensorsCount'.\n",
        "Run out of Controllers. Increase 'controllersCount'.\n",
    };
    EXPECT_EQ(LogCapture::Messages(), expected);
    EXPECT_EQ(body->GetGeometryCount(), 4);
}

TEST(Simulator, LogLevelZeroOrNoLogFunctionStaysSilent) {
    neSimulatorSizes sizes = SmallSizes();
    sizes.rigidBodiesCount = 0;
    SimulatorHolder sim(sizes);
    LogCapture log(sim.sim, 0);
    EXPECT_EQ(sim->CreateRigidBody(), nullptr);
    EXPECT_TRUE(LogCapture::Messages().empty());
    sim->SetLogOutputLevel(1);
    sim->SetLogOutputCallback(nullptr);
    EXPECT_EQ(sim->CreateRigidBody(), nullptr);
    EXPECT_TRUE(LogCapture::Messages().empty());
}

TEST(Simulator, FreedBodyIsHandedOutAgainFirst) {
    SimulatorHolder sim(SmallSizes());
    neRigidBody* a = sim->CreateRigidBody();
    neRigidBody* b = sim->CreateRigidBody();
    b->AddGeometry();
    b->AddSensor();
    sim->FreeRigidBody(b);
    EXPECT_EQ(sim->activeRigidBodies.count, 1);
    EXPECT_EQ(sim->geometryPool.UsedCount(), 0);
    EXPECT_EQ(sim->sensorPool.UsedCount(), 0);
    neRigidBody* c = sim->CreateRigidBody();
    EXPECT_EQ(c, b);
    EXPECT_EQ(c->GetGeometryCount(), 0);
    EXPECT_EQ(c->index, 1);
    EXPECT_NE(a, c);
}

TEST(Simulator, InvalidAndDoubleFreesLogAndChangeNothing) {
    SimulatorHolder sim(SmallSizes());
    LogCapture log(sim.sim);
    neRigidBody* a = sim->CreateRigidBody();
    neRigidBody* p = sim->CreateRigidParticle();
    neAnimatedBody* m = sim->CreateAnimatedBody();
    a->AddGeometry();
    neRigidBody stranger{};
    sim->FreeRigidBody(&stranger);
    sim->FreeRigidBody(nullptr);
    EXPECT_EQ(sim->activeRigidBodies.count, 1);
    EXPECT_EQ(a->GetGeometryCount(), 1);

    sim->FreeRigidBody(a);
    sim->FreeRigidBody(a);
    sim->FreeRigidBody(p);
    sim->FreeRigidBody(p);
    sim->FreeAnimatedBody(m);
    sim->FreeAnimatedBody(m);
    std::vector<std::string> expected = {
        "Trying to Free invalid RigidBody.\n",    "Trying to Free invalid RigidBody.\n",
        "Trying to Free invalid RigidBody.\n",    "Trying to Free invalid RigidParticle.\n",
        "Trying to Free invalid AnimatedBody.\n",
    };
    EXPECT_EQ(LogCapture::Messages(), expected);
    EXPECT_EQ(sim->rigidBodyPool.UsedCount(), 0);
    EXPECT_EQ(sim->rigidBodyPool.FreeCount(), 3);
    EXPECT_EQ(sim->geometryPool.FreeCount(), 4);
}

TEST(Simulator, EveryByteGoesBackAfterDestroy) {
    CountingAllocator alloc;
    neV3 g = kGameGravity;
    neSimulatorCore* sim = neSimulatorCore::CreateSimulator(neSimulatorSizes(), &alloc, &g);
    ASSERT_NE(sim, nullptr);
    EXPECT_GT(alloc.outstanding, 0u);
    neRigidBody* body = sim->CreateRigidBody();
    body->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
    body->AddSensor()->SetLineSensor(neMakeV3(0, 0, 0), neMakeV3(0, -1, 0));
    EXPECT_TRUE(SetFlatGround(sim, 1, 20.0f));
    for (int i = 0; i < 10; ++i) sim->Advance(0.01f, 2);
    neSimulatorCore::DestroySimulator(sim);
    EXPECT_EQ(alloc.outstanding, 0u);
    EXPECT_EQ(alloc.foreignFrees, 0);
}

// The game sizes its simulator for five thousand bodies: a broad phase
// that kept a pair pointer for every pair of them would take 200 MiB.
TEST(Simulator, GameSizedSimulatorTakesUnder64MiB) {
    CountingAllocator alloc;
    const neSimulatorSizes sizes = RaceSimulatorSizes(kCityCarSlotCount);
    neV3 g = kGameGravity;
    neSimulatorCore* sim = neSimulatorCore::CreateSimulator(sizes, &alloc, &g);
    ASSERT_NE(sim, nullptr);
    EXPECT_LT(alloc.outstanding, 64u << 20);
    EXPECT_LT(sim->GetMemoryAllocated(), 64u << 20);
    neSimulatorCore::DestroySimulator(sim);
}

TEST(Simulator, MemoryQueryCountsPoolsAndTerrain) {
    SimulatorHolder sim;
    u32 memory = sim->GetMemoryAllocated();
    EXPECT_GT(memory, 50u * sizeof(neRigidBody));
    neRigidBody* b = sim->CreateRigidBody();
    sim->FreeRigidBody(b);
    EXPECT_EQ(sim->GetMemoryAllocated(), memory);

    // A terrain adds at least its triangle copy and the terrain stage's
    // per-triangle stamps; freeing it gives them back.
    ASSERT_TRUE(SetFlatGround(sim.sim, 1, 20.0f));
    EXPECT_GE(sim->GetMemoryAllocated(), memory + sizeof(neTriangle) + sizeof(u32));
    sim->FreeTerrainMesh();
    EXPECT_EQ(sim->GetMemoryAllocated(), memory);
}

TEST(Simulator, NegativeCountsGiveEmptyPools) {
    neSimulatorSizes sizes;
    sizes.rigidBodiesCount = -7;
    sizes.geometriesCount = -1;
    sizes.overlapPairsCount = -100;
    SimulatorHolder sim(sizes);
    ASSERT_NE(sim.sim, nullptr);
    EXPECT_EQ(sim->CreateRigidBody(), nullptr);
    neRigidBody* p = sim->CreateRigidParticle();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->AddGeometry(), nullptr);
    sim->Advance(0.01f, 1);
}

TEST(Simulator, DestroyOfNullDoesNothingAndPoolStatsCountUse) {
    neSimulatorCore::DestroySimulator(nullptr);
    SimulatorHolder sim(SmallSizes());
    sim->CreateRigidBody();
    neSimulatorSizes use = sim->GetPoolStats();
    EXPECT_EQ(use.rigidBodiesCount, 1);
    EXPECT_EQ(use.unusedCount8, 2000);
    EXPECT_EQ(use.terrainNodesGrowByCount, -1);
}

// Through the game's face of the simulator, not the engine behind it.
TEST(Simulator, ItsFaceGivesBackWhatItStoredAndCountsThePoolsInUse) {
    neSimulator* sim = neSimulator::CreateSimulator(SmallSizes());
    sim->SetGravity(neMakeV3(1, -2, 0));
    ExpectV3Near(sim->GetGravity(), neMakeV3(1, -2, 0));
    EXPECT_STORED(sim, CollisionCallback);
    EXPECT_STORED(sim, LogOutputCallback);
    EXPECT_STORED(sim, BreakageCallback);
    EXPECT_STORED(sim, TerrainQueryCallback);
    EXPECT_STORED(sim, CustomCollisionCallback1);
    EXPECT_STORED(sim, CustomCollisionCallback2);
    sim->CreateRigidBody()->AddGeometry();
    sim->CreateAnimatedBody();
    const neSimulatorSizes use = sim->GetPoolStats(), sizes = SmallSizes();
    EXPECT_EQ(std::tuple(use.rigidBodiesCount, use.animatedBodiesCount, use.geometriesCount), std::tuple(1, 1, 1));
    EXPECT_EQ(sim->GetSizes().rigidBodiesCount, sizes.rigidBodiesCount);
    neSimulator::DestroySimulator(sim);
}

TEST(Simulator, GravityKeepsItsDirectionAndLength) {
    neV3 g = kGameGravity;
    SimulatorHolder sim(neSimulatorSizes(), &g);
    ExpectV3Near(sim->gravityDirection, neMakeV3(0, -1, 0));
    EXPECT_FLOAT_EQ(sim->gravityLength, kGravityAcceleration);
    sim->SetGravity(neMakeV3(0, 0.0005f, 0));
    EXPECT_EQ(sim->gravityLength, 0.0f);
    ExpectV3Near(sim->gravityDirection, neMakeV3(0, 0, 0), 0.0f);
}

TEST(Simulator, BodiesGetTheirRegionIndices) {
    SimulatorHolder sim(SmallSizes());
    EXPECT_EQ(sim->CreateRigidBody()->index, 0);
    EXPECT_EQ(sim->CreateAnimatedBody()->index, 3);
    EXPECT_EQ(sim->CreateRigidParticle()->index, 5);
    EXPECT_EQ(sim->CreateRigidParticle()->particle, 1);
}

// The joint and stack pools report their own exhaustion (their tests check
// the messages); here only their sizes.
TEST(Simulator, JointAndStackPoolsAreSizedFromTheCounts) {
    neSimulatorSizes sizes = SmallSizes();
    sizes.constraintsCount = 1;
    sizes.constraintSetsCount = 0;
    sizes.rigidParticleCount = 2;
    sizes.rigidBodiesCount = 1;
    SimulatorHolder sim(sizes);
    EXPECT_EQ(sim->constraintPool.Capacity(), 1);
    EXPECT_EQ(sim->constraintSetPool.Capacity(), 0);
    EXPECT_EQ(sim->stackNodePool.Capacity(), 3);  // one per rigid body and particle
    EXPECT_EQ(sim->stackPool.Capacity(), 103);    // the same, and 100
}
