// How long the world takes to make, which every build pays (three builds in
// CI, one of them under the address sanitizer): the whole of base/world/
// written by the generator, and the quadtree bake over the written models.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "framework/model.h"
#include "framework/random.h"
#include "tools/gen_world.h"
#include "world/quadtree_baker.h"

namespace {

std::string ScratchWorld() {
  static const std::string folder = [] {
    const std::string path = (std::filesystem::temp_directory_path() / "zarnok-bench-world").string();
    std::filesystem::remove_all(path);
    GenerateWorld(path);
    return path;
  }();
  return folder;
}

void BM_GenerateWorld(benchmark::State& state) {
  const std::string folder = (std::filesystem::temp_directory_path() / "zarnok-bench-world-run").string();
  for (auto _ : state) benchmark::DoNotOptimize(GenerateWorld(folder));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GenerateWorld)->Unit(benchmark::kSecond)->Iterations(1);

void BM_BakeWorldQuadTree(benchmark::State& state) {
  const std::string models = ScratchWorld() + "/world/models/";
  const char* stems[kSectionCount] = {"main_road", "main_map", "main_transparency", "add_map", "add_transparency", "add_transparency2"};
  MilkshapeModel sections[kSectionCount], linear, grass, trees;
  QuadTreeSources sources;
  for (int s = 0; s < kSectionCount; ++s) {
    sections[s].LoadFromFile((models + stems[s] + ".sbm").c_str());
    sources.sections[s] = &sections[s];
  }
  linear.LoadFromFile((models + "main_road_linear.sbm").c_str());
  sections[0].BuildTangentSpace();
  sections[0].CopySecondTexCoords(linear);
  sections[0].BuildSecondTangentSpace();
  grass.LoadFromFile((models + "grass.sbm").c_str());
  trees.LoadFromFile((models + "trees.sbm").c_str());
  sources.grass = &grass;
  sources.trees = &trees;
  for (auto _ : state) {
    SeedRandom(1);
    BakeStandardTree(sources);
  }
  DestroyWorldQuadTree();
}
BENCHMARK(BM_BakeWorldQuadTree)->Unit(benchmark::kMillisecond);

}  // namespace
