// Speed of resting bodies: boxes settling on a triangle mesh (collisions,
// stack check and solve every step) against the same boxes asleep, and
// towers of growing height. Compare the items-per-second figures: a body
// step asleep should cost a small fraction of one settling, and a tower's
// body step should not grow much with its height.
#include "physics/simulator.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr f32 kStep = 2.3f / 60.0f / 4.0f;  // the game's sub-step
const neV3 kGravity = neMakeV3(0, -8.5f, 0);
// Steps timed per iteration of a settling run.
constexpr int kSettleSteps = 100;

struct Field {
    std::vector<neV3> vertices;
    std::vector<neTriangle> triangles;
    neSimulator* sim = nullptr;

    explicit Field(int bodies) {
        const int cells = 16;
        const f32 size = 4.0f, origin = -0.5f * cells * size;
        for (int z = 0; z <= cells; ++z)
            for (int x = 0; x <= cells; ++x) vertices.push_back(neMakeV3(origin + x * size, 0, origin + z * size));
        for (int z = 0; z < cells; ++z)
            for (int x = 0; x < cells; ++x) {
                const s32 a = z * (cells + 1) + x, b = a + 1, c = a + cells + 1, d = c + 1;
                Triangle(a, c, b);
                Triangle(b, c, d);
            }
        neSimulatorSizes sizes;
        sizes.rigidBodiesCount = bodies;
        sizes.geometriesCount = bodies;
        sizes.overlapPairsCount = bodies * 8;
        sim = neSimulator::CreateSimulator(sizes, nullptr, &kGravity);
        neTriangleMesh mesh{vertices.data(), static_cast<s32>(vertices.size()), triangles.data(),
                            static_cast<s32>(triangles.size())};
        sim->SetTerrainMesh(&mesh);
    }
    ~Field() { neSimulator::DestroySimulator(sim); }

    void Triangle(s32 i0, s32 i1, s32 i2) {
        neTriangle t;
        t.indices[0] = i0;
        t.indices[1] = i1;
        t.indices[2] = i2;
        t.materialIndex = 0;
        triangles.push_back(t);
    }

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
        for (int i = 0; i < steps; ++i) sim->Advance(kStep, 1);
    }
};

void BM_BoxesSettling(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto field = std::make_unique<Field>(count);
        field->Grid(count);
        state.ResumeTiming();
        field->Run(kSettleSteps);
        state.PauseTiming();
        field.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count * kSettleSteps);
}
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

void BM_TowerSettling(benchmark::State& state) {
    const int height = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto field = std::make_unique<Field>(height);
        field->Tower(height);
        state.ResumeTiming();
        field->Run(kSettleSteps);
        state.PauseTiming();
        field.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * height * kSettleSteps);
}
BENCHMARK(BM_TowerSettling)->Arg(2)->Arg(5)->Arg(10);

}  // namespace
