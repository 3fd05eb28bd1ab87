// Joints and convex shapes: a hanging chain stepped by the simulator (the
// constraint phase's cost per link), and a convex pair against the box-box
// test on the same two cubes. Read the numbers as ratios.
#include "../tests/physics/scene_builders.h"
#include "physics/convex.h"
#include "physics/narrow_phase.h"
#include "physics/simulator_core.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void ChainStep(benchmark::State& state) {
    const neV3 gravity = neMakeV3(0, -9.8f, 0);
    neSimulatorCore* sim = neSimulatorCore::CreateSimulator(neSimulatorSizes(), nullptr, &gravity);
    neRigidBody* previous = nullptr;
    const s32 links = static_cast<s32>(state.range(0));
    for (s32 i = 0; i < links; ++i) {
        neRigidBody* link = sim->CreateRigidBody();
        link->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(1, 0.2f, 0.2f), 1.0f));
        link->SetPos(neMakeV3(0.5f + i, 0, 0));
        neConstraint* j = previous ? sim->CreateConstraint(link, previous) : sim->CreateConstraintWorld(link);
        j->SetJointFrameWorld(Placed(neMakeV3(static_cast<f32>(i), 0, 0)));
        j->Enable(1);
        previous = link;
    }
    for (auto _ : state) sim->Advance(0.01f);
    state.SetItemsProcessed(state.iterations() * links);
    neSimulatorCore::DestroySimulator(sim);
}
BENCHMARK(ChainStep)->Arg(5)->Arg(20)->Arg(40);

neGeometry Box() {
    neGeometry g;
    g.SetDefaults();
    g.SetBoxSizeXYZ(1, 1, 1);
    return g;
}

// Two turned cubes, one sunk a little into the other, collided by `collide`.
template <typename Collide>
void BoxPair(benchmark::State& state, Collide collide) {
    const neGeometry box = Box();
    const neT3 a = Placed(neMakeV3(0, 0, 0), neMakeV3(0.1f, 0.2f, 0.3f));
    const neT3 b = Placed(neMakeV3(0.1f, 0.95f, 0.05f), neMakeV3(-0.2f, 0.1f, 0.05f));
    neCollisionResult r{};
    for (auto _ : state) {
        collide(r, box, a, box, b);
        benchmark::DoNotOptimize(r.depth);
    }
}

void BoxPairAsConvex(benchmark::State& state) { BoxPair(state, neCollideConvexConvex); }
BENCHMARK(BoxPairAsConvex);

void BoxPairAsBoxes(benchmark::State& state) { BoxPair(state, neCollideBoxBox); }
BENCHMARK(BoxPairAsBoxes);

}  // namespace
