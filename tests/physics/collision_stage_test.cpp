#include "physics_test_util.h"
#include "terrain_test_util.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<neCollisionInfo>& Reported() {
    static std::vector<neCollisionInfo> infos;
    return infos;
}
void Record(neCollisionInfo* info) { Reported().push_back(*info); }
void RecordCollisions(neSimulatorCore* sim) {
    Reported().clear();
    sim->SetCollisionCallback(Record);
}

// A weightless unit box of the collision ID.
neRigidBody* Box(neSimulatorCore* sim, const neV3& pos, s32 id) {
    neRigidBody* b = MakeBox(sim, pos);
    b->GravityEnable(false);
    b->SetCollisionID(id);
    return b;
}

// Two boxes overlapping by 0.1 and closing at 2 m/s; returns what happened.
struct HeadOn {
    bool impulse;
    size_t callbacks;
};

HeadOn RunHeadOn(s32 entry) {
    SimulatorHolder sim;
    RecordCollisions(sim.sim);
    sim->GetCollisionTable()->Set(1, 2, entry);
    neRigidBody* a = Box(sim.sim, neMakeV3(0, 0, 0), 1);
    neRigidBody* b = Box(sim.sim, neMakeV3(0.9f, 0, 0), 2);
    a->SetVelocity(neMakeV3(1, 0, 0));
    b->SetVelocity(neMakeV3(-1, 0, 0));
    sim->Advance(0.001f, 1);
    return HeadOn{a->GetVelocity().x < 0.999f, Reported().size()};
}

class SensorDepthProbe : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* c, f32) override {
        depth = c->GetRigidBody()->sensorFirst->GetDetectDepth();
    }
    f32 depth = -1;
};

}  // namespace

TEST(CollisionStages, TableBitsChooseImpulseAndCallback) {
    HeadOn none = RunHeadOn(0);
    EXPECT_FALSE(none.impulse);
    EXPECT_EQ(none.callbacks, 0u);
    HeadOn impulseOnly = RunHeadOn(1);
    EXPECT_TRUE(impulseOnly.impulse);
    EXPECT_EQ(impulseOnly.callbacks, 0u);
    HeadOn callbackOnly = RunHeadOn(2);
    EXPECT_FALSE(callbackOnly.impulse);
    EXPECT_EQ(callbackOnly.callbacks, 1u);
    HeadOn both = RunHeadOn(3);
    EXPECT_TRUE(both.impulse);
    EXPECT_EQ(both.callbacks, 1u);
}

namespace {

neV3 gQueryVertices[3] = {neV3{-50, 0.3f, -50, 0}, neV3{-50, 0.3f, 50, 0}, neV3{50, 0.3f, 0, 0}};
neTriangle gQueryTriangle;
s32 gQueryIndex = 0;
int gQueries = 0;

void OnlyOneHighTriangle(const neV3&, const neV3&, s32** indices, neTriangle** triangles, neV3** vertices,
                         s32* indexCount, s32* triangleCount, neRigidBody*) {
    ++gQueries;
    gQueryTriangle.indices[0] = 0;
    gQueryTriangle.indices[1] = 1;
    gQueryTriangle.indices[2] = 2;
    *indices = &gQueryIndex;
    *triangles = &gQueryTriangle;
    *vertices = gQueryVertices;
    *indexCount = 1;
    *triangleCount = 1;
}

}  // namespace

TEST(CollisionStages, TerrainQueryCallbackReplacesTheTree) {
    SimulatorHolder sim;
    ASSERT_TRUE(SetFlatGround(sim.sim, 4, 4.0f));
    sim->SetTerrainQueryCallback(OnlyOneHighTriangle);
    neRigidBody* car = SensorCar(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, -2, 0));
    car->SetPos(neMakeV3(0, 1, 0));
    SensorDepthProbe probe;
    car->AddController(&probe, 0);
    gQueries = 0;
    sim->Advance(0.01f, 1);
    EXPECT_EQ(gQueries, 1);
    EXPECT_NEAR(probe.depth, 1.3f, 1e-5f);  // the callback's triangle at 0.3, not the tree's at 0
}

TEST(CollisionStages, TerrainCandidatesHoldEachTriangleOnceInFirstSeenOrder) {
    SimulatorHolder sim;
    TestTerrain terrain(32, 1.0f, [](f32 x, f32 z) { return 0.1f * x * z; });
    neTriangleMesh mesh = terrain.Mesh();
    ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
    neRigidBody* body = sim->CreateRigidBody();
    body->AddGeometry()->SetBoxSize(neMakeV3(5, 30, 5));
    body->UpdateBoundingInfo();
    for (int round = 0; round < 3; ++round) {
        body->SetPos(neMakeV3(round * 2.0f - 2, 0, 1));
        body->UpdateAabb();
        ASSERT_TRUE(sim->FindTerrainCandidates(body));
        // The leaves' triangles that reach into the body's box in x and z.
        std::vector<s32> expected;
        size_t inLeaves = 0;
        for (s32 i = 0; i < sim->terrainLeaves.Count(); ++i)
            for (s32 t = 0; t < sim->terrainLeaves[i]->triangleCount; ++t) {
                s32 index = sim->terrainLeaves[i]->triangles[t];
                ++inLeaves;
                f32 lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
                for (s32 k : terrain.triangles[static_cast<size_t>(index)].indices) {
                    const neV3& v = terrain.vertices[static_cast<size_t>(k)];
                    lo[0] = std::min(lo[0], v.x), hi[0] = std::max(hi[0], v.x);
                    lo[1] = std::min(lo[1], v.z), hi[1] = std::max(hi[1], v.z);
                }
                const bool near = hi[0] >= body->minBound.x && lo[0] <= body->maxBound.x &&
                                  hi[1] >= body->minBound.z && lo[1] <= body->maxBound.z;
                if (near && std::find(expected.begin(), expected.end(), index) == expected.end())
                    expected.push_back(index);
            }
        std::vector<s32> got(sim->terrainTriangles.Data(), sim->terrainTriangles.Data() + sim->terrainTriangles.Count());
        EXPECT_EQ(got, expected);
        EXPECT_GT(sim->terrainLeaves.Count(), 1);
        EXPECT_LT(expected.size(), inLeaves);  // triangles beside the body were passed over
    }
}

// Sleeping bodies that nothing disturbed are left out of both stages: two
// resting boxes, a resting box under a still animated body and a resting box
// on the ground are tested only in a step after a push-out (or, for the
// animated body, after it moved). Callback-only entries keep the response
// from waking anything.
TEST(CollisionStages, UndisturbedRestingBodiesAreNotTested) {
    SimulatorHolder sim;
    ASSERT_TRUE(SetFlatGround(sim.sim, 4, 4.0f));
    RecordCollisions(sim.sim);
    sim->GetCollisionTable()->Set(1, 2, NE_RESPONSE_CALLBACK);
    sim->GetCollisionTable()->Set(2, 2, NE_RESPONSE_CALLBACK);
    sim->GetCollisionTable()->Set(1, -1, NE_RESPONSE_CALLBACK);
    sim->GetCollisionTable()->Set(2, -1, 0);
    neRigidBody* low = Box(sim.sim, neMakeV3(0, 0.45f, 0), 1);  // into the ground
    neRigidBody* high = Box(sim.sim, neMakeV3(0, 1.4f, 0), 2);  // into the low box
    neAnimatedBody* lid = sim->CreateAnimatedBody();
    lid->AddGeometry();
    lid->SetCollisionID(2);
    lid->UpdateBoundingInfo();
    lid->SetPos(neMakeV3(0.6f, 1.8f, 0.6f));  // into the high box only
    auto settle = [&] {
        for (neRigidBody* b : {low, high}) {
            b->restState = NE_RESTING;
            b->previousSeparated = 0;
        }
    };
    auto count = [&](neBody* a, neBody* b) {
        return std::count_if(Reported().begin(), Reported().end(), [&](const neCollisionInfo& i) {
            return (i.bodyA == a && i.bodyB == b) || (i.bodyA == b && i.bodyB == a);
        });
    };
    sim->Advance(0.01f, 1);  // everything is awake: every contact is reported
    EXPECT_EQ(count(low, high), 1);
    EXPECT_EQ(count(high, lid), 1);
    EXPECT_EQ(count(low, nullptr), 1);

    settle();
    Reported().clear();
    sim->Advance(0.01f, 1);
    EXPECT_TRUE(Reported().empty());

    settle();
    low->previousSeparated = 1;  // pushed out in the step before
    Reported().clear();
    sim->Advance(0.01f, 1);
    EXPECT_EQ(count(low, high), 1);
    EXPECT_EQ(count(high, lid), 0);
    EXPECT_EQ(count(low, nullptr), 1);

    settle();
    lid->SetPos(neMakeV3(0.6f, 1.85f, 0.6f));
    Reported().clear();
    sim->Advance(0.01f, 1);
    EXPECT_EQ(count(low, high), 0);
    EXPECT_EQ(count(high, lid), 1);
    EXPECT_EQ(count(low, nullptr), 0);
}
