#include "tests/support/drawn_world.h"

#include "framework/model.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "render/frustum.h"
#include "render/race_camera.h"
#include "render/race_view.h"
#include "world/quadtree.h"
#include "world/catalogue.h"
#include "render/model_draw_lists.h"
#include "world/prop_models.h"
#include "world/racer_models.h"
#include "world/texture_list.h"
#include "world/race_path.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kTexturesUsed[] = {30, 61, 63};  // sun, sky box, sky ring
constexpr float kLeafReach = 420.0f;  // leaves whose centre is this near the eye count as seen

MilkshapeModel* LoadSection(const char* stem) {
  auto* model = new MilkshapeModel();
  EXPECT_TRUE(model->LoadFromFile((std::string("base/world/models/") + stem + ".sbm").c_str())) << stem;
  model->LoadMaterialTextures("base/world/textures/");
  return model;
}

// The leaves whose centre lies within kLeafReach of the eye, with their distances.
void ListLeavesNear(const neV3& eye, NodeList& list) {
  list.count = 0;
  for (int leaf = 0; leaf < kQuadTreeLeafCount; ++leaf) {
    QuadTreeList& l = gQuadTreeLeaves[leaf];
    l.cameraDistSq = (l.cx - eye.x) * (l.cx - eye.x) + (l.cz - eye.z) * (l.cz - eye.z);
    if (l.cameraDistSq < kLeafReach * kLeafReach) list.leaf[list.count++] = leaf;
  }
}

}  // namespace

bool LoadDrawnWorld(int race) {
  LoadTextureList();  // the sky, grass, tree and flare pictures the passes bind
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

bool LoadDrawnTrucks() {
  LoadStartupModels();
  LoadObjectModels();
  BuildPropPartDrawLists();
  gPlayerCarIndex = gRacers[0].carKind;
  bool loaded = true;
  for (int slot = 0; slot < kRacerCount; ++slot) {
    LoadRacerCar(slot);
    for (int kind : {kRacerModelCar, kRacerModelGlass, kRacerModelOptics, kRacerModelWheel})
      loaded = loaded && gRacerModels[kind][slot] && gRacerModels[kind][slot]->triangleCount > 0;
  }
  return loaded;
}

void PublishPlayerAt(int k) {
  const neV3 at = gRacePath[k].position, next = gRacePath[k + 1].position;
  neV3 forward = next - at;
  forward.y = 0.0f;
  forward.Normalize();
  RaceViewCopies& c = gRaceViewCopies;
  c.cameraEye = at - forward * 9.0f + neMakeV3(0, 2.6f, 0);
  c.cameraLookAt = at + forward * 5.0f + neMakeV3(0, 0.5f, 0);
  c.cameraUp = neMakeV3(0, 1, 0);
  c.cameraDir = forward;
  c.frameFactor = 2.0f;
  ListLeavesNear(c.cameraEye, c.cameraLeaves);
  Matrix4& truck = gSimRacerMatrix[0];  // the truck's box: length along the path
  const neV3 side = forward.Cross(neMakeV3(0, 1, 0));
  const float columns[3][3] = {{forward.x, 0, forward.z}, {0, 1, 0}, {side.x, 0, side.z}};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) truck.m[col * 4 + row] = columns[col][row];
  truck.m[12] = at.x;
  truck.m[13] = at.y;
  truck.m[14] = at.z;
  gSimRacerVisible[0] = 1;
}


void PublishCameraAt(const neV3& eye, const neV3& target) {
  RaceViewCopies& c = gRaceViewCopies;
  c.cameraEye = gSimCameraEye = eye;
  c.cameraLookAt = gSimCameraLookAt = target;
  c.cameraUp = neMakeV3(0, 1, 0);
  c.cameraDir = SafeUnit(target - eye);
  SetupCameraFrustum(kViewShadowLight, 0);
  c.cameraMatrix0 = gSimCameraMatrix0;
  c.cameraMatrix1 = gSimCameraMatrix1;
  ListLeavesNear(eye, c.cameraLeaves);
  c.lightLeaves = c.cameraLeaves;
  for (int i = 0; i < kRacerCount; ++i) gSimRacerVisible[i] = 1;
}
