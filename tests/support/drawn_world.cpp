#include "tests/support/drawn_world.h"

#include "framework/model.h"
#include "framework/texture.h"
#include "world/quadtree.h"
#include "world/race_path.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kTexturesUsed[] = {30, 61, 63};  // sun, sky box, sky ring

MilkshapeModel* LoadSection(const char* stem) {
  auto* model = new MilkshapeModel();
  EXPECT_TRUE(model->LoadFromFile((std::string("base/world/models/") + stem + ".sbm").c_str())) << stem;
  model->LoadMaterialTextures("base/world/textures/");
  return model;
}

}  // namespace

bool LoadDrawnWorld(int race) {
  MilkshapeModel* road = LoadSection("main_road");
  MilkshapeModel linear;
  if (linear.LoadFromFile("base/world/models/main_road_linear.sbm")) road->CopySecondTexCoords(linear);
  road->BuildSecondTangentSpace();
  gWorldModels[kWorldModelMainRoad] = road;
  gWorldModels[kWorldModelMainMap] = LoadSection("main_map");
  gWorldModels[kWorldModelMainTransparency] = LoadSection("main_transparency");
  gWorldModels[kWorldModelAddMap] = LoadSection("add_map");
  gWorldModels[kWorldModelAddTransparency] = LoadSection("add_transparency");
  gWorldModels[kWorldModelAddTransparency2] = LoadSection("add_transparency2");
  QuadTreeSources sources;
  const int slots[kSectionCount] = {kWorldModelMainRoad, kWorldModelMainMap, kWorldModelMainTransparency,
                                    kWorldModelAddMap,   kWorldModelAddTransparency, kWorldModelAddTransparency2};
  for (int s = 0; s < kSectionCount; ++s) sources.sections[s] = gWorldModels[slots[s]];
  char path[64];
  for (int k = 0; k < kLandscapeTextureCount; ++k) {
    std::snprintf(path, sizeof path, "base/world/textures/landscape%02d%s.tga", k % 5, k < 5 ? "" : "_n");
    gLandscapeTextures[k].LoadFromTGA(path, kTexTrilinear);
  }
  for (int k : kTexturesUsed) {
    std::snprintf(path, sizeof path, "base/textures/tex%02d.tga", k);
    gTextures[k].LoadFromTGA(path, kTexTrilinear);
  }
  return LoadRacePath(race) && CreateWorldQuadTree(sources);
}

void FreeDrawnWorld() {
  DestroyWorldQuadTree();
  for (Model*& model : gWorldModels) {
    delete model;
    model = nullptr;
  }
}

