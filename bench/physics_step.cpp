// Speed of the engine's step: free motion of many bodies, and the
// sensor-borne box (the truck's shape) riding on a triangle-mesh terrain.
#include "../tests/physics/suspension_test.h"
#include "world/physics_constants.h"
#include "../tests/physics/terrain_test_util.h"
#include "physics/simulator_core.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_FreeMotionStep(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    neSimulatorSizes sizes;
    sizes.rigidBodiesCount = count;
    sizes.geometriesCount = count;
    sizes.overlapPairsCount = count * 4;
    neV3 g = kGameGravity;
    neSimulatorCore* sim = neSimulatorCore::CreateSimulator(sizes, nullptr, &g);
    for (int i = 0; i < count; ++i) {
        neRigidBody* b = sim->CreateRigidBody();
        b->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
        b->UpdateBoundingInfo();
        b->SetInertiaTensor(neMakeV3(1, 2, 3));
        b->SetPos(neMakeV3(static_cast<f32>(i % 10) * 3, 100, static_cast<f32>(i / 10) * 3));
        b->SetAngularMomentum(neMakeV3(0.3f, 1, -0.2f));
    }
    for (auto _ : state) sim->Advance(0.01f, 1);
    state.SetItemsProcessed(state.iterations() * count);
    neSimulatorCore::DestroySimulator(sim);
}
BENCHMARK(BM_FreeMotionStep)->Arg(1)->Arg(10)->Arg(100);

void BM_SensorBorneBoxOnTerrain(benchmark::State& state) {
    neV3 g = neMakeV3(0, -SuspensionRig::kGravity, 0);
    neSimulatorCore* sim = neSimulatorCore::CreateSimulator(neSimulatorSizes(), nullptr, &g);
    TestTerrain terrain(64, 2.0f, [](f32 x, f32 z) { return 0.1f * x + 0.05f * z; });
    neTriangleMesh mesh = terrain.Mesh();
    sim->SetTerrainMesh(&mesh);
    SuspensionController controller;
    neRigidBody* body = MakeSensorBorneBox(sim, &controller, SuspensionShape::Truck());
    body->SetPos(neMakeV3(0, 1.6f, 0));
    for (auto _ : state) sim->Advance(0.01f, 1);
    neSimulatorCore::DestroySimulator(sim);
}
BENCHMARK(BM_SensorBorneBoxOnTerrain);

}  // namespace
