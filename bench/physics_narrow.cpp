// The narrow phase's hot path: a box against the terrain triangles under it,
// as every car and prop meets the ground in every step. Read the numbers as
// ratios: per triangle against box-box, separated against touching, and the
// growth with the candidate count.
#include "../tests/physics/scene_builders.h"
#include "../tests/physics/terrain_test_util.h"
#include "physics/narrow_phase.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

// A rolling grid of 1 m cells around the origin, two triangles per cell.
struct Grid {
    TestTerrain terrain;
    std::vector<s32> indices;

    explicit Grid(s32 cells)
        : terrain(cells, 1.0f,
                  [rng = std::mt19937(17), bump = std::uniform_real_distribution<f32>(-0.1f, 0.1f)](f32, f32) mutable {
                      return bump(rng);
                  }) {
        for (s32 i = 0; i < static_cast<s32>(terrain.triangles.size()); ++i) indices.push_back(i);
    }
    neGeometry Geometry() const {
        neGeometry g{};
        g.type = NE_SHAPE_TRIANGLE_LIST;
        g.frame.SetIdentity();
        g.shape.mesh.indices = indices.data();
        g.shape.mesh.indexCount = static_cast<s32>(indices.size());
        g.shape.mesh.triangles = terrain.triangles.data();
        g.triangleVertices = terrain.vertices.data();
        return g;
    }
};

neGeometry CarBox() {
    neGeometry g{};
    g.type = NE_SHAPE_BOX;
    g.frame.SetIdentity();
    g.shape.box.hx = 2.0f;
    g.shape.box.hy = 0.6f;
    g.shape.box.hz = 1.0f;
    return g;
}

// The car box slightly turned, at the height.
neT3 Placement(f32 height) { return Placed(neMakeV3(0.2f, height, -0.1f), neMakeV3(0.05f, 0.3f, -0.04f)); }

// The car box at `height` over a bumpy grid of range(0) × range(0) cells,
// every triangle a candidate.
void BoxOverTerrain(benchmark::State& state, f32 height) {
    const Grid grid(static_cast<s32>(state.range(0)));
    const neGeometry terrain = grid.Geometry();
    const neGeometry box = CarBox();
    const neT3 t = Placement(height);
    for (auto _ : state) {
        neCollisionResult r{};
        neCollideBoxTerrain(r, box, t, terrain);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(grid.terrain.triangles.size()));
}

// Resting on the grid (the terrain tree hands over a few dozen triangles).
void BM_BoxTerrainTouching(benchmark::State& state) { BoxOverTerrain(state, 0.6f); }
BENCHMARK(BM_BoxTerrainTouching)->Arg(2)->Arg(4)->Arg(8);

// Well above the grid: every triangle separates on its normal axis.
void BM_BoxTerrainAbove(benchmark::State& state) { BoxOverTerrain(state, 3.0f); }
BENCHMARK(BM_BoxTerrainAbove)->Arg(4);

// Two car boxes nose to tail, for scale.
void BM_BoxBoxTouching(benchmark::State& state) {
    const neGeometry box = CarBox();
    const neT3 a = Placement(0.6f);
    neT3 b = Placement(0.6f);
    b.pos.x += 3.9f;
    for (auto _ : state) {
        neCollisionResult r{};
        neCollideBoxBox(r, box, a, box, b);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_BoxBoxTouching);

}  // namespace
