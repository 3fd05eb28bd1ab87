// The grass stream of a frame against the number of tufts in view: the
// pass's own work per tuft (four corners), so doubling the grass should
// about double the time. Run: build/bench/bench_billboards.
#include "render/billboards.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void GrassStream(benchmark::State& state) {
  const int perKind = int(state.range(0));
  constexpr int kLeaves = 64;
  static QuadTreeList records[kLeaves];
  static Grass grass[kLeaves];
  std::vector<GrassItem> items(size_t(perKind) * kGrassKindCount * kLeaves, GrassItem{1, 2, 3, 1});
  float distSq[kLeaves] = {};
  NodeList leaves;
  for (int l = 0; l < kLeaves; ++l) {
    for (int k = 0; k < kGrassKindCount; ++k) {
      grass[l].list[k] = &items[(size_t(l) * kGrassKindCount + k) * perKind];
      grass[l].count[k] = perKind;
    }
    records[l].grass = &grass[l];
    leaves.leaf[leaves.count++] = l;
  }
  Vector3 sway[kGrassKindCount];
  std::vector<BillboardVertex> stream;
  for (auto _ : state) {
    stream.clear();
    BuildGrassStream(leaves, records, distSq, 450, sway, stream);
    benchmark::DoNotOptimize(stream.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(perKind) * kGrassKindCount * kLeaves);
  for (int l = 0; l < kLeaves; ++l) {
    for (GrassItem*& list : grass[l].list) list = nullptr;  // the items are the vector's
    records[l].grass = nullptr;
  }
}
BENCHMARK(GrassStream)->Arg(8)->Arg(16)->Arg(32);

}  // namespace
