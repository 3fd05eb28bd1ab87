// Whole steps of a simulator: the collision stages, the narrow phase, the
// response and the collision callback together.
#include "physics/narrow_phase.h"
#include "physics_test_util.h"
#include "terrain_test_util.h"
#include "scene_builders.h"
#include "world/physics_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A unit box of 1 kg whose one geometry has the material.
neRigidBody* BoxOfMaterial(neSimulatorCore* sim, const neV3& pos, s32 material) {
    neRigidBody* box = MakeBox(sim, pos);
    box->geometryFirst->SetMaterialIndex(material);
    return box;
}

struct CallbackLog {
    static std::vector<neCollisionInfo>& Calls() {
        static std::vector<neCollisionInfo> calls;
        return calls;
    }
    static void Record(neCollisionInfo* info) { Calls().push_back(*info); }
};

// A box 0.01 into the ground (or high above it), falling at 4 m/s, for one
// step under the given terrain entry of its collision ID.
struct ImpactOnGround {
    explicit ImpactOnGround(s32 entry, f32 height = 0.49f) : ground(4, 5.0f, FlatHeight, 3) {
        const neV3 g = neMakeV3(0, -10, 0);
        sim = neSimulatorCore::CreateSimulator(neSimulatorSizes(), nullptr, &g);
        sim->SetMaterial(1, 0.5f, 0.2f);
        sim->SetMaterial(3, 0.6f, 0.5f);
        neTriangleMesh mesh = ground.Mesh();
        sim->SetTerrainMesh(&mesh);
        sim->GetCollisionTable()->Set(0, -1, entry);
        sim->SetCollisionCallback(CallbackLog::Record);
        CallbackLog::Calls().clear();
        box = BoxOfMaterial(sim, neMakeV3(0.3f, height, -0.2f), 1);
        box->SetVelocity(neMakeV3(0, -4, 0));
        sim->Advance(1.0f / 60.0f, 1);
    }
    ~ImpactOnGround() { neSimulatorCore::DestroySimulator(sim); }
    TestTerrain ground;
    neSimulatorCore* sim;
    neRigidBody* box;
};

TEST(CollisionCallback, TerrainContactCarriesMaterialsNormalAndImpactSpeed) {
    ImpactOnGround scene(NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK);
    ASSERT_EQ(CallbackLog::Calls().size(), 1u);
    const neCollisionInfo& info = CallbackLog::Calls()[0];
    EXPECT_EQ(info.bodyA, scene.box);
    EXPECT_EQ(info.bodyB, nullptr);
    EXPECT_EQ(info.typeA, NE_COLLISION_RIGID);
    EXPECT_EQ(info.typeB, NE_COLLISION_TERRAIN);
    EXPECT_EQ(info.geometryA, scene.box->geometryFirst);
    EXPECT_EQ(info.geometryB, nullptr);
    EXPECT_EQ(info.materialIndexA, 1);
    EXPECT_EQ(info.materialIndexB, 3);
    EXPECT_NEAR(info.collisionNormal.y, 1.0f, 1e-5f);
    // The game reads the length of the relative velocity as the impact speed.
    EXPECT_NEAR(std::sqrt(info.relativeVelocity.Dot(info.relativeVelocity)), 4.0f, 1e-4f);
    EXPECT_NEAR(info.worldContactPointA.y, -0.01f, 1e-4f);
    EXPECT_NEAR(info.worldContactPointB.y, 0.0f, 1e-4f);
    EXPECT_NEAR(info.bodyContactPointA.y, -0.5f, 1e-4f);
    // The contact point leaves at the smaller restitution (0.2) of the approach.
    const neV3 arm = scene.box->GetRotationM3() * info.bodyContactPointA;
    const neV3 pointVelocity = scene.box->GetVelocity() + scene.box->GetAngularVelocity().Cross(arm);
    EXPECT_NEAR(pointVelocity.y, 0.2f * 4.0f, 0.05f);
}

TEST(CollisionCallback, TableBitsDecideResponseAndCallback) {
    f32 fallen, bounced;
    {
        ImpactOnGround free(NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK, 10.0f);
        EXPECT_TRUE(CallbackLog::Calls().empty());
        fallen = free.box->GetVelocity().y;
    }
    {
        ImpactOnGround both(NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK);
        EXPECT_EQ(CallbackLog::Calls().size(), 1u);
        bounced = both.box->GetVelocity().y;
        EXPECT_GT(bounced, fallen + 1.0f);
    }
    {
        ImpactOnGround scene(0);
        EXPECT_TRUE(CallbackLog::Calls().empty());
        EXPECT_EQ(scene.box->GetVelocity().y, fallen);
    }
    {
        ImpactOnGround scene(NE_RESPONSE_IMPULSE);
        EXPECT_TRUE(CallbackLog::Calls().empty());
        EXPECT_EQ(scene.box->GetVelocity().y, bounced);
    }
    {
        ImpactOnGround scene(NE_RESPONSE_CALLBACK);
        EXPECT_EQ(CallbackLog::Calls().size(), 1u);
        EXPECT_EQ(scene.box->GetVelocity().y, fallen);
    }
}

TEST(CollisionCallback, BodyPairContactNamesBothBodiesAndGeometries) {
    SimulatorHolder holder;
    neSimulatorCore* sim = holder.sim;
    sim->GetCollisionTable()->Set(0, 0, NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK);
    sim->SetCollisionCallback(CallbackLog::Record);
    CallbackLog::Calls().clear();
    neRigidBody* a = BoxOfMaterial(sim, neMakeV3(-0.48f, 0, 0), 1);
    neRigidBody* b = BoxOfMaterial(sim, neMakeV3(0.48f, 0, 0), 2);
    a->SetVelocity(neMakeV3(3, 0, 0));
    sim->Advance(1.0f / 60.0f, 1);
    ASSERT_EQ(CallbackLog::Calls().size(), 1u);
    const neCollisionInfo& info = CallbackLog::Calls()[0];
    const bool aFirst = info.bodyA == a;
    EXPECT_EQ(info.bodyA, aFirst ? static_cast<neBody*>(a) : b);
    EXPECT_EQ(info.bodyB, aFirst ? static_cast<neBody*>(b) : a);
    EXPECT_EQ(info.typeB, NE_COLLISION_RIGID);
    EXPECT_EQ(info.materialIndexA, aFirst ? 1 : 2);
    EXPECT_EQ(info.materialIndexB, aFirst ? 2 : 1);
    EXPECT_EQ(info.geometryB, (aFirst ? b : a)->geometryFirst);
    EXPECT_NEAR(std::fabs(info.collisionNormal.x), 1.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(info.relativeVelocity.x), 3.0f, 1e-4f);
    EXPECT_LT(a->GetVelocity().x, 3.0f);
    EXPECT_GT(b->GetVelocity().x, 0.0f);
}

f32 LowestCorner(neRigidBody* box) {
    const neT3 t = box->GetTransform();
    f32 lowest = 1e9f;
    for (s32 c = 0; c < 8; ++c) {
        const neV3 corner = t * neMakeV3(c & 4 ? -0.5f : 0.5f, c & 2 ? -0.5f : 0.5f, c & 1 ? -0.5f : 0.5f);
        lowest = std::min(lowest, corner.y);
    }
    return lowest;
}

// A box thrown down and sideways onto the mesh, in twelve orientations, is
// pulled down either by gravity (the stacks hold it up once it rests) or by
// a steady applied force with no gravity (the response alone pushes it out).
void DropBoxOnTheMesh(bool realGravity) {
    const f32 dt = 1.0f / 60.0f;
    const neV3 gravity = neMakeV3(0, -10, 0);
    for (int orientation = 0; orientation < 12; ++orientation) {
        SimulatorHolder holder(neSimulatorSizes(), realGravity ? &gravity : nullptr);
        neSimulatorCore* sim = holder.sim;
        sim->SetMaterial(0, 0.6f, 0.3f);
        ASSERT_TRUE(SetFlatGround(sim, 12, 2.0f));
        neRigidBody* box = BoxOfMaterial(sim, neMakeV3(0, 1.5f, 0), 0);
        neM3 turn;
        turn.RotateXYZ(neMakeV3(0.37f * orientation, 0.91f * orientation, 0.23f * orientation));
        box->SetRotation(turn);
        box->SetVelocity(neMakeV3(3, -2, 1));
        if (!realGravity) box->SetForce(neMakeV3(0, -10, 0));

        bool bounced = false;
        f32 deepest = 0.0f;
        neV3 settled{};
        for (int step = 0; step < 600; ++step) {
            sim->Advance(dt, 1);
            if (box->GetVelocity().y > 0.5f) bounced = true;
            deepest = std::min(deepest, LowestCorner(box));
            if (step == 480) settled = box->GetPos();
            ASSERT_TRUE(std::isfinite(box->GetPos().x) && std::isfinite(box->GetPos().y)) << orientation;
        }
        EXPECT_TRUE(bounced) << orientation;
        EXPECT_GT(deepest, -0.12f) << orientation;         // never through the ground
        EXPECT_GT(box->GetPos().x, 0.3f) << orientation;   // it slid ...
        const neV3 drift = box->GetPos() - settled;        // ... and stopped
        EXPECT_LT(std::sqrt(drift.x * drift.x + drift.z * drift.z), 0.05f) << orientation;
        EXPECT_NEAR(box->GetPos().y, 0.5f, 0.05f) << orientation;  // lying on a face
        if (realGravity) {
            EXPECT_TRUE(box->IsIdle()) << orientation;  // the stacks put it to sleep
        }
    }
}

TEST(CollisionScene, DroppedBoxBouncesSlidesAndStopsOnTheMeshUnderAPushForce) { DropBoxOnTheMesh(false); }

TEST(CollisionScene, DroppedBoxBouncesSlidesAndStopsOnTheMeshUnderGravity) { DropBoxOnTheMesh(true); }

// Thin slabs dropped flat from 1 m onto flat ground of 1 m cells, at 60
// steps a second and at the game's sub-step, each turned its own way: every
// one comes to rest on the ground. Answered at one corner, a slab's centre
// used to pass the plane in the next step, and the contact, facing the
// centre, pushed it on through.
TEST(CollisionScene, FlatSlabsDroppedOnTheGroundComeToRestOnIt) {
    for (const f32 dt : {1.0f / 60.0f, kPhysicsSubStep}) {
        for (int drop = 0; drop < 6; ++drop) {
            SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
            TestTerrain ground(32, 1.0f, FlatHeight);
            neTriangleMesh mesh = ground.Mesh();
            ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
            const neV3 size = neMakeV3(2, 0.2f, 2);
            neRigidBody* slab = MakeBox(sim.sim, neMakeV3(0.37f * drop, 1.1f, -0.23f * drop), size, 5.0f);
            slab->SetRotation(Placed(neMakeV3(0, 0, 0), neMakeV3(0, 0.4f * drop, 0)).rot);
            for (int step = 0; step < static_cast<int>(3.0f / dt); ++step) sim->Advance(dt, 1);
            EXPECT_NEAR(slab->GetPos().y, 0.1f, 0.03f) << "drop " << drop << ", step " << dt;
        }
    }
}

// Ground of 1 m cells whose corners stand up to 0.6 m apart, and the height
// of its surface under a point, triangle by triangle as TestTerrain lays it.
f32 BumpHeight(f32 x, f32 z) {
    const u32 h = static_cast<u32>(std::lround(x) * 73856093) ^ static_cast<u32>(std::lround(z) * 19349663);
    return 0.6f * static_cast<f32>(h % 1000u) / 1000.0f;
}

f32 BumpSurface(f32 x, f32 z) {
    const f32 i = std::floor(x), j = std::floor(z), u = x - i, w = z - j;
    if (u + w <= 1.0f)
        return BumpHeight(i, j) + (BumpHeight(i + 1, j) - BumpHeight(i, j)) * u +
               (BumpHeight(i, j + 1) - BumpHeight(i, j)) * w;
    return BumpHeight(i + 1, j + 1) + (BumpHeight(i, j + 1) - BumpHeight(i + 1, j + 1)) * (1.0f - u) +
           (BumpHeight(i + 1, j) - BumpHeight(i + 1, j + 1)) * (1.0f - w);
}

// Slabs and lying capsules dropped onto bumpy ground, at 60 steps a second
// and at the game's sub-step: none ends below its surface. Resting in a
// hollow, a body's centre lies below the planes of the steep triangles
// around it; taken from the centre alone, such a triangle's contact faced
// down and pushed the body through the ground.
TEST(CollisionScene, BodiesDroppedOnBumpyGroundStayOnIt) {
    for (const f32 dt : {1.0f / 60.0f, kPhysicsSubStep}) {
        SimulatorHolder sim(neSimulatorSizes(), &kGameGravity);
        TestTerrain ground(24, 1.0f, BumpHeight);
        neTriangleMesh mesh = ground.Mesh();
        ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
        std::vector<neRigidBody*> bodies;
        for (int i = 0; i < 16; ++i) {
            const f32 x = -9.0f + 2.5f * (i % 8), z = i < 8 ? -4.0f : 4.0f;
            const neV3 at = neMakeV3(x, BumpSurface(x, z) + 1.5f, z);
            neRigidBody* body;
            if (i % 2 == 0) {
                body = MakeBox(sim.sim, at, neMakeV3(1.6f, 0.2f, 1.2f), 5.0f);
            } else {
                body = sim->CreateRigidBody();
                body->AddGeometry()->SetCylinder(0.3f, 0.8f);
                body->UpdateBoundingInfo();
                body->SetMass(2.0f);
                body->SetInertiaTensor(neCylinderInertiaTensor(0.3f, 1.1f, 2.0f));
                body->SetPos(at);
            }
            body->SetRotation(Placed(neMakeV3(0, 0, 0), neMakeV3(0.3f * i, 0.7f * i, 1.5707963f * (i % 2))).rot);
            bodies.push_back(body);
        }
        for (int step = 0; step < static_cast<int>(4.0f / dt); ++step) sim->Advance(dt, 1);
        for (size_t i = 0; i < bodies.size(); ++i) {
            const neV3 p = bodies[i]->GetPos();
            EXPECT_GT(p.y, BumpSurface(p.x, p.z)) << "body " << i << ", step " << dt;
        }
    }
}

}  // namespace
