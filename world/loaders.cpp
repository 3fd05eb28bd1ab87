#include "world/loaders.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "framework/sound.h"
#include "framework/startup_models.h"
#include "world/city_object.h"
#include "world/model_files.h"
#include "world/physics_world.h"
#include "world/quadtree.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/racer_models.h"
#include "world/world_models.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

constexpr char kWorldModelFolder[] = "base/world/models/";
constexpr char kWorldTextureFolder[] = "base/world/textures/";
constexpr int kMusicTrackCount = 4;  // base/music/1.wav .. 4.wav

struct WorldModelFile {
  WorldModelSlot slot;
  const char* file;
  bool textures;
};
// The drawn world sections, in the quadtree's section order, which is also
// their load order (the physics ground, the prop markers and the water are
// loaded on their own). qt.qt holds their
// triangles, baked from these models with the road's tangents and its
// linear copy's coordinates, and the passes draw them from there: of the
// models only the groups and materials are read.
const WorldModelFile kDrawnWorldModels[] = {
    {kWorldModelMainRoad, "main_road.sbm", true},
    {kWorldModelMainMap, "main_map.sbm", true},
    {kWorldModelMainTransparency, "main_transparency.sbm", true},
    {kWorldModelAddMap, "add_map.sbm", false},
    {kWorldModelAddTransparency, "add_transparency.sbm", false},
    {kWorldModelAddTransparency2, "add_transparency2.sbm", false},
};
static_assert(std::size(kDrawnWorldModels) == kSectionCount);
const WorldModelFile kWater = {kWorldModelWater, "water.sbm", true};

Model*& WorldModel(WorldModelSlot slot) { return gWorldModels[slot]; }

void LoadWorldModel(const WorldModelFile& entry) {
  FreeModel(WorldModel(entry.slot));
  WorldModel(entry.slot) = ReadModel(kWorldModelFolder + std::string(entry.file),
                                     entry.textures ? kWorldTextureFolder : nullptr, false);
}

QuadTreeSources WorldQuadTreeSources() {
  QuadTreeSources sources;
  for (int s = 0; s < kSectionCount; ++s) sources.sections[s] = gWorldModels[kDrawnWorldModels[s].slot];
  sources.objects = gWorldModels[kWorldModelObjects];
  return sources;
}

void StartMusic(const std::string& path) {
  gMusic.Load(path.c_str(), true);
  if (gMusicOn) gMusic.Play();
}

void StopMusic() {
  if (gMusicOn) gMusic.Stop();
  gMusic.Release();
}

}  // namespace

bool LoadWorld(int n) {
  SeedRandomAtStartup();  // as at start-up: from the clock, or the test's fixed seed
  StopMusic();
  if (n < 1 || n > kRaceCount) {
    std::fprintf(stderr, "race %d: there are races 1..%d only\n", n, kRaceCount);
    LoadGarage();
    return false;
  }
  ChooseRivals();
  FreeGarageModels();
  bool ok = LoadRacePath(n);

  const std::string folder = kWorldModelFolder;
  Model*& physic = WorldModel(kWorldModelPhysic);
  FreeModel(physic);
  physic = ReadModel(folder + "physic.sbm", nullptr, false);
  if (physic->triangleCount == 0) {
    std::fprintf(stderr, "%sphysic.sbm: no ground to race on\n", kWorldModelFolder);
    ok = false;
  }
  // Freed at once, before the tree is read.
  for (const WorldModelFile& entry : kDrawnWorldModels) {
    LoadWorldModel(entry);
    WorldModel(entry.slot)->ReleaseTriangles();
  }
  Model*& objects = WorldModel(kWorldModelObjects);
  FreeModel(objects);
  objects = ReadModel(folder + "objects" + std::to_string(n) + ".sbm", nullptr, false);
  BuildCityObjectsFromModel(*objects);
  LoadWorldModel(kWater);
  ok = CreateWorldQuadTree(WorldQuadTreeSources()) && ok;
  if (!ok) {
    LoadGarage();
    return false;
  }

  ResetRaceState();
  InitPhysicsWorld();
  StartMusic("base/music/" + std::to_string(Random() % kMusicTrackCount + 1) + ".wav");
  ResetBonuses();
  return true;
}

void LoadGarage() {
  StopAllSounds();
  StopMusic();
  DestroyPhysicsWorld();
  for (Model*& model : gWorldModels) FreeModel(model);
  DestroyWorldQuadTree();
  gRacePhaseTime = 0.0f;
  gStartHold = 1;
  gPlayerFinished = 0;
  LoadGarageModels();
  gMusic.Load("base/music/menu.wav", true);
  if (gMusicOn && gTargetScreen != ScreenState::Racing) gMusic.Play();
}

