// Speed of resting bodies: boxes settling on a triangle mesh (collisions,
// stack check and solve every step) against the same boxes asleep, and
// towers of growing height. Compare the items-per-second figures: a body
// step asleep should cost a small fraction of one settling, and a tower's
// body step should not grow much with its height.
#include "../tests/physics/terrain_test_util.h"
#include "world/physics_constants.h"
#include "physics/simulator_core.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// Steps timed per iteration of a settling run.
constexpr int kSettleSteps = 100;

struct Field {
    TestTerrain ground{16, 4.0f, FlatHeight};
    neSimulatorCore* sim = nullptr;

    explicit Field(int bodies) {
        neSimulatorSizes sizes;
        sizes.rigidBodiesCount = bodies;
        sizes.geometriesCount = bodies;
        sizes.overlapPairsCount = bodies * 8;
        sim = neSimulatorCore::CreateSimulator(sizes, nullptr, &kGameGravity);
        neTriangleMesh mesh = ground.Mesh();
        sim->SetTerrainMesh(&mesh);
    }
    ~Field() { neSimulatorCore::DestroySimulator(sim); }

    neRigidBody* Box(const neV3& pos) {
        neRigidBody* box = sim->CreateRigidBody();
        box->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
        box->UpdateBoundingInfo();
        box->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 1, 1), 1.0f));
        box->SetPos(pos);
        return box;
    }
    // A grid of boxes just above the ground, 2 m apart.
    void Grid(int count) {
        for (int i = 0; i < count; ++i) Box(neMakeV3(-10.0f + 2.0f * (i % 10), 0.55f, -10.0f + 2.0f * (i / 10)));
    }
    void Tower(int height) {
        for (int i = 0; i < height; ++i) Box(neMakeV3(0.3f, 0.5f + i * 1.0f, 0.2f));
    }
    void Run(int steps) {
        for (int i = 0; i < steps; ++i) sim->Advance(kPhysicsSubStep, 1);
    }
};

// range(0) boxes placed by `place` (Field::Grid or Field::Tower) and
// stepped kSettleSteps times; only the steps are timed.
void Settling(benchmark::State& state, void (Field::*place)(int)) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto field = std::make_unique<Field>(count);
        ((*field).*place)(count);
        state.ResumeTiming();
        field->Run(kSettleSteps);
        state.PauseTiming();
        field.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count * kSettleSteps);
}

void BM_BoxesSettling(benchmark::State& state) { Settling(state, &Field::Grid); }
BENCHMARK(BM_BoxesSettling)->Arg(10)->Arg(100);

void BM_BoxesAsleep(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Field field(count);
    field.Grid(count);
    field.Run(1000);
    for (auto _ : state) field.Run(1);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BoxesAsleep)->Arg(10)->Arg(100);

void BM_TowerSettling(benchmark::State& state) { Settling(state, &Field::Tower); }
BENCHMARK(BM_TowerSettling)->Arg(2)->Arg(5)->Arg(10);

}  // namespace
