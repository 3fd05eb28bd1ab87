#include "world/loaders.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "platform/platform.h"
#include "world/catalogue.h"
#include "world/markers.h"
#include "world/physics_world.h"
#include "world/quadtree.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/world_models.h"

#include <algorithm>
#include <cstdio>
#include <string>

Model* gRacerModels[kRacerModelKindCount][kRacerCount];
Model* gPropPartModels[kPropTypesWithParts][kMaxPropParts];

namespace {

constexpr char kWorldModelFolder[] = "base/world/models/";
constexpr char kWorldTextureFolder[] = "base/world/textures/";
constexpr int kMusicTrackCount = 4;  // base/music/1.wav .. 4.wav
constexpr int kRaceLaps = 4;
constexpr float kRaceStartPhaseSeconds = 7.0f;
constexpr int kFirstListedTexture = 9;  // gTextures 0..8 are the GL set-up's

// The marker groups of a truck's points model.
enum MarkerGroup : int {
  kMarkerAxles = 0,
  kMarkerLamps = 1,
  kMarkerExhaust0 = 2,
  kMarkerExhaust1 = 3,
  kMarkerBigVints = 4,
  kMarkerSmallVints = 5,
  kMarkerTurboVints = 6,
};

const char* const kRacerModelFiles[kRacerModelKindCount] = {"car.sbm",      "glass_car.sbm", "optika.sbm",
                                                            "wheel.sbm",    "splasher.sbm",  "points.sbm"};

struct WorldModelFile {
  WorldModelSlot slot;
  const char* file;
  bool textures;
};
// The drawn world models after the road, in load order (the physics ground,
// the road pair and the prop markers are loaded on their own).
const WorldModelFile kDrawnWorldModels[] = {
    {kWorldModelMainMap, "main_map.sbm", true},
    {kWorldModelMainTransparency, "main_transparency.sbm", true},
    {kWorldModelAddMap, "add_map.sbm", false},
    {kWorldModelAddTransparency, "add_transparency.sbm", false},
    {kWorldModelAddTransparency2, "add_transparency2.sbm", false},
};
const WorldModelFile kDecorWorldModels[] = {
    {kWorldModelGrass, "grass.sbm", false},
    {kWorldModelTrees, "trees.sbm", false},
    {kWorldModelWater, "water.sbm", true},
};

// A new model read from `path`, with its material textures from `textureFolder`
// when one is given. A file that does not read leaves the model empty (and
// a line on stderr).
Model* ReadModel(const std::string& path, const char* textureFolder, bool tangents) {
  auto* model = new MilkshapeModel;
  if (model->LoadFromFile(path.c_str()))
    Sys_Trace("model", path.c_str());
  else
    std::fprintf(stderr, "Cannot read model %s\n", path.c_str());
  if (textureFolder) model->LoadMaterialTextures(textureFolder);
  if (tangents) model->BuildTangentSpace();
  return model;
}

void FreeModel(Model*& model) {
  delete model;
  model = nullptr;
}

Model*& WorldModel(WorldModelSlot slot) { return gWorldModels[slot]; }

void LoadWorldModel(const WorldModelFile& entry) {
  FreeModel(WorldModel(entry.slot));
  WorldModel(entry.slot) = ReadModel(kWorldModelFolder + std::string(entry.file),
                                     entry.textures ? kWorldTextureFolder : nullptr, false);
}

// The road with its second texture coordinates from the linear road, taken
// only when the two models match triangle for triangle.
void LoadRoad() {
  Model*& road = WorldModel(kWorldModelMainRoad);
  FreeModel(road);
  road = ReadModel(kWorldModelFolder + std::string("main_road.sbm"), kWorldTextureFolder, true);
  Model* linear = ReadModel(kWorldModelFolder + std::string("main_road_linear.sbm"), nullptr, false);
  if (linear->triangleCount == road->triangleCount)
    road->CopySecondTexCoords(*linear);
  else
    std::fprintf(stderr, "main_road_linear.sbm: %d triangles for the road's %d; no second coordinates\n",
                 linear->triangleCount, road->triangleCount);
  delete linear;
  road->BuildSecondTangentSpace();
}

QuadTreeSources WorldQuadTreeSources() {
  QuadTreeSources sources;
  const WorldModelSlot sections[kSectionCount] = {kWorldModelMainRoad,         kWorldModelMainMap,
                                                  kWorldModelMainTransparency, kWorldModelAddMap,
                                                  kWorldModelAddTransparency,  kWorldModelAddTransparency2};
  for (int s = 0; s < kSectionCount; ++s) sources.sections[s] = gWorldModels[sections[s]];
  sources.objects = gWorldModels[kWorldModelObjects];
  sources.grass = gWorldModels[kWorldModelGrass];
  sources.trees = gWorldModels[kWorldModelTrees];
  return sources;
}

// The trucks' draw lists live as long as a race: the rivals' trucks stay
// loaded in the garage for the next race, where only the player's is drawn,
// corner by corner as every model without lists.
void BuildRacerDrawLists() {
  for (int kind : {kRacerModelCar, kRacerModelGlass, kRacerModelOptics, kRacerModelWheel})
    for (Model* model : gRacerModels[kind])
      if (model) model->BuildDrawLists();
}

void FreeRacerDrawLists() {
  for (auto& kind : gRacerModels)
    for (Model* model : kind)
      if (model) model->FreeDrawLists();
}

// Rivals on three different trucks, none of them the player's.
void ChooseRivals() {
  gRacers[0].carKind = BoundedCarIndex(gPlayerCarIndex);
  for (int k = 1; k < kRacerCount; ++k) {
    int kind = 0;
    bool taken = true;
    while (taken) {
      kind = Random() % kCatalogueSize;
      taken = false;
      for (int j = 0; j < k; ++j) taken = taken || gRacers[j].carKind == kind;
    }
    gRacers[k].carKind = kind;
    LoadRacerCar(k);
  }
}

void ResetRaceState() {
  gRaceLaps = kRaceLaps;
  gStartHold = 1;
  gPlayerFinished = 0;
  gRacePhaseTime = kRaceStartPhaseSeconds;
  gChaseDirXGoal = 1.0f;
  gChaseDirZGoal = 0.0f;
  gChaseDirX = -5.5f;
  gChaseDirZ = -1.0f;
  gCameraMode = Random() % kRaceCameraModeCount;
}

void StartMusic(const std::string& path) {
  gMusic.Load(path.c_str(), true);
  if (gMusicOn) gMusic.Play();
}

void StopMusic() {
  if (gMusicOn) gMusic.Stop();
  gMusic.Release();
}

// The numbered textures whose filter mode is not plain trilinear.
struct TextureModeRule {
  int texture;
  int mode;
};
constexpr TextureModeRule kListedTextureModes[] = {
    {14, kTexCompressedAnisotropic}, {21, kTexCompressedAnisotropic}, {44, kTexBilinearMipmapped},
    {45, kTexCompressedAnisotropic}, {46, kTexCompressedAnisotropic}, {54, kTexCompressedLinear},
    {61, kTexTrilinearClamped},      {62, kTexTrilinearClamped},      {63, kTexCompressedClampT},
    {66, kTexTrilinearClamped},
};

int ListedTextureMode(int k) {
  for (const TextureModeRule& rule : kListedTextureModes)
    if (rule.texture == k) return rule.mode;
  return kTexTrilinear;
}

void ResetCarMarkers(TruckLayout& layout) {
  layout = TruckLayout{};
  layout.frontAxleX = layout.rearAxleX = kDefaultAxleX;
  layout.frontWheelZ = layout.rearWheelZ = kDefaultWheelZ;
}

}  // namespace

int32_t BoundedCarIndex(int32_t index) { return std::clamp(index, 0, kCatalogueSize - 1); }

Matrix4 MarkerPlacement(const Model& model, int triangle) {
  const MarkerCorners corners = TriangleCorners(model, triangle);
  const neM3 axes = MarkerOrientation(corners);
  Matrix4 placement;
  for (int c = 0; c < 3; ++c) {
    placement.m[c * 4 + 0] = axes[c].x;
    placement.m[c * 4 + 1] = axes[c].y;
    placement.m[c * 4 + 2] = axes[c].z;
  }
  placement.m[12] = corners.p[1].x;
  placement.m[13] = corners.p[1].y;
  placement.m[14] = corners.p[1].z;
  return placement;
}

void TakeCarMarkers(CSampleCar& car, const Model& points) {
  TruckLayout& layout = car.layout;
  ResetCarMarkers(layout);
  for (int g = 0; g < points.groupCount && g <= kMarkerTurboVints; ++g) {
    const ModelGroup& group = points.groups[g];
    for (int t = 0; t < group.triangleCount; ++t) {
      const int triangle = group.triangleIndices[t];
      const neV3 corner = TriangleCorners(points, triangle).p[1];
      if (g == kMarkerAxles) {
        layout.frontAxleX = layout.rearAxleX = corner.x;
        layout.frontWheelZ = layout.rearWheelZ = corner.z;
      } else if (g == kMarkerLamps) {
        if (t < kLampPointCount) layout.lampPoints[t] = corner;
      } else if (g == kMarkerExhaust0 || g == kMarkerExhaust1) {
        layout.exhaustPoints[g - kMarkerExhaust0] = corner;
      } else if (t < kPlacementCount) {
        layout.vintPlacements[g - kMarkerBigVints][t] = MarkerPlacement(points, triangle);
      }
    }
  }
}

void LoadRacerCar(int slot) {
  if (slot < 0 || slot >= kRacerCount) return;
  CSampleCar& car = gRacers[slot];
  const int32_t wanted = BoundedCarIndex(slot == 0 ? gPlayerCarIndex : car.carKind);
  car.carKind = wanted;  // the wheel model reads its wheel sizes by it
  if (gBuiltCarIndex[slot] == wanted) return;
  for (int kind = 0; kind < kRacerModelKindCount; ++kind) FreeModel(gRacerModels[kind][slot]);
  const std::string folder = "base/cars/" + std::to_string(wanted) + "/";
  for (int kind = 0; kind < kRacerModelKindCount; ++kind) {
    const bool drawn = kind != kRacerModelPoints;
    gRacerModels[kind][slot] = ReadModel(folder + kRacerModelFiles[kind], drawn ? folder.c_str() : nullptr, drawn);
  }
  gBuiltCarIndex[slot] = wanted;
  TakeCarMarkers(car, *gRacerModels[kRacerModelPoints][slot]);
}

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
  LoadRoad();
  // qt.qt holds the sections' triangles, baked from these models, and the
  // passes draw them from there; of the models only the groups and
  // materials are read. Freed at once, before the tree is read.
  for (const WorldModelFile& entry : kDrawnWorldModels) {
    LoadWorldModel(entry);
    WorldModel(entry.slot)->ReleaseTriangles();
  }
  Model*& objects = WorldModel(kWorldModelObjects);
  FreeModel(objects);
  objects = ReadModel(folder + "objects" + std::to_string(n) + ".sbm", nullptr, false);
  BuildCityObjectsFromModel(*objects);
  for (const WorldModelFile& entry : kDecorWorldModels) LoadWorldModel(entry);
  ok = CreateWorldQuadTree(WorldQuadTreeSources()) && ok;
  if (!ok) {
    LoadGarage();
    return false;
  }

  BuildRacerDrawLists();
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
  FreeRacerDrawLists();
  DestroyWorldQuadTree();
  gRacePhaseTime = 0.0f;
  gStartHold = 1;
  gPlayerFinished = 0;
  LoadGarageModels();
  gMusic.Load("base/music/menu.wav", true);
  if (gMusicOn && gTargetScreen != ScreenState::Racing) gMusic.Play();
}

void LoadObjectModels() {
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < gPropPartCounts[type]; ++part) {
      FreeModel(gPropPartModels[type][part]);
      const std::string path =
          "base/objects/object" + std::to_string(type) + "part" + std::to_string(part) + ".sbm";
      gPropPartModels[type][part] = ReadModel(path, nullptr, true);
      gPropPartModels[type][part]->BuildDrawLists();
    }
}

void LoadTextureList() {
  char path[64];
  for (int k = kFirstListedTexture; k < kTextureCount; ++k) {
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
    gTextures[k].LoadFromTGA(path, ListedTextureMode(k));
  }
  constexpr int kLayers = kLandscapeTextureCount / 2;
  for (int i = 0; i < kLandscapeTextureCount; ++i) {
    std::snprintf(path, sizeof path, "base/world/textures/landscape%02d%s.tga", i % kLayers, i < kLayers ? "" : "_n");
    gLandscapeTextures[i].LoadFromTGA(path, kTexCompressedAnisotropic);
    // The terrain's layers follow the player's filtering choice like every
    // other texture: a software rasteriser takes three times as long over
    // the terrain with anisotropy the player turned off.
    FollowFilteringSetting(gLandscapeTextures[i]);
  }
}
