// The loaders on files made here: a truck's models and marker points, a
// whole race and the garage after it, and the ways a race fails to load.
#include "tests/support/gl_window.h"
#include "tests/support/quad_model.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/world_files.h"
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "framework/startup_models.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "tools/tga_writer.h"
#include "world/catalogue.h"
#include "render/model_draw_lists.h"
#include "world/city_object.h"
#include "world/loaders.h"
#include "world/prop_models.h"
#include "world/racer_models.h"
#include "world/texture_list.h"
#include "world/physics_world.h"
#include "world/quadtree.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <memory>

namespace {

MarkerTriangle Marker(int group, neV3 corner1) {
  return {group, {corner1 + neMakeV3(1, 0, 0), corner1, corner1 + neMakeV3(0, 1, 0)}};
}

void ExpectNear(const neV3& a, const neV3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-5f);
  EXPECT_NEAR(a.y, b.y, 1e-5f);
  EXPECT_NEAR(a.z, b.z, 1e-5f);
}

// Runs a test in a scratch folder holding the files it writes, with every
// racer slot empty.
struct LoaderFiles : ::testing::Test {
  LoaderFiles() : inScratch(scratch.Path()) {
    for (int slot = 0; slot < kRacerCount; ++slot) {
      gBuiltCarIndex[slot] = -1;
      for (auto& kind : gRacerModels) {
        delete kind[slot];
        kind[slot] = nullptr;
      }
    }
  }
  ~LoaderFiles() override { LoadGarage(); }
  // The loader context current, as a GL test run before these in one
  // process leaves it: the tests' context rule (tests/support/gl_window.cpp)
  // must take it away, or their loads turn the garage into draw lists.
  static void SetUpTestSuite() {
    if (GlWindow* window = GlWindow::Get()) window->MakeLoaderCurrent();
  }
  ScratchFolder scratch;
  ScopedWorkingFolder inScratch;
};

}  // namespace

TEST(CarMarkers, APlacementTriangleGivesItsAxesAndCornerOne) {
  std::unique_ptr<Model> points(MakeMarkerModel({{4, {neMakeV3(1, 0, 0), neMakeV3(0, 0, 0), neMakeV3(0, 1, 0)}},
                                                  {4, {neMakeV3(3, 2, 1), neMakeV3(2, 2, 1), neMakeV3(2, 2, 3)}}}));
  const Matrix4 identity = MarkerPlacement(*points, 0);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(identity.m[i], Matrix4().m[i]) << i;
  const Matrix4 moved = MarkerPlacement(*points, 1);
  const float expected[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 2, 2, 1, 1};
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(moved.m[i], expected[i]) << i;
}

TEST(CarMarkers, EachGroupFillsItsFieldsTheLastAxleTriangleStaysAndExtrasAreIgnored) {
  std::vector<MarkerTriangle> markers = {Marker(0, neMakeV3(2.0f, 0, 1.2f)), Marker(0, neMakeV3(2.5f, 0, 1.3f)),
                                         Marker(2, neMakeV3(-3, 1, 0.5f)), Marker(3, neMakeV3(-3, 1, -0.5f))};
  for (int i = 0; i < 6; ++i) markers.push_back(Marker(1, neMakeV3(3.0f, 1.0f, float(i))));
  for (int i = 0; i < 12; ++i) markers.push_back(Marker(5, neMakeV3(float(i), 0.5f, 0)));
  markers.push_back(Marker(7, neMakeV3(9, 9, 9)));  // no such group in the record: ignored
  std::unique_ptr<Model> points(MakeMarkerModel(markers));
  Racer& car = gRacers[3];
  TakeCarMarkers(car, *points);
  EXPECT_FLOAT_EQ(car.layout.frontAxleX, 2.5f);
  EXPECT_FLOAT_EQ(car.layout.rearAxleX, 2.5f);
  EXPECT_FLOAT_EQ(car.layout.frontWheelZ, 1.3f);
  for (int i = 0; i < kLampPointCount; ++i) ExpectNear(car.layout.lampPoints[i], neMakeV3(3.0f, 1.0f, float(i)));
  ExpectNear(car.layout.exhaustPoints[0], neMakeV3(-3, 1, 0.5f));
  ExpectNear(car.layout.exhaustPoints[1], neMakeV3(-3, 1, -0.5f));
  for (int i = 0; i < kPlacementCount; ++i) EXPECT_FLOAT_EQ(car.layout.vintPlacements[1][i].m[12], float(i));
  EXPECT_FLOAT_EQ(car.layout.vintPlacements[0][0].m[12], 0.0f);  // none marked: identity

  // A truck whose points mark nothing gets the default axles, not the last truck's.
  std::unique_ptr<Model> empty(MakeMarkerModel({}));
  TakeCarMarkers(car, *empty);
  EXPECT_FLOAT_EQ(car.layout.frontAxleX, kDefaultAxleX);
  EXPECT_FLOAT_EQ(car.layout.frontWheelZ, kDefaultWheelZ);
  ExpectNear(car.layout.lampPoints[0], neMakeV3(0, 0, 0));
  EXPECT_FLOAT_EQ(car.layout.vintPlacements[1][3].m[12], 0.0f);
}

TEST_F(LoaderFiles, ATruckLoadsFromItsFolderOnceAndAnIndexOutsideTheCatalogueIsHeldWithinIt) {
  WriteTestTruck(scratch.Path(), 5, {Marker(0, neMakeV3(2.4f, 0, 1.5f))});
  WriteTestTruck(scratch.Path(), 17, {Marker(0, neMakeV3(2.7f, 0, 1.6f))});
  Racer& car = gRacers[2];
  car.carKind = 5;
  LoadRacerCar(2);
  ASSERT_NE(gRacerModels[kRacerModelCar][2], nullptr);
  EXPECT_EQ(gRacerModels[kRacerModelCar][2]->triangleCount, 2);
  EXPECT_EQ(gBuiltCarIndex[2], 5);
  EXPECT_FLOAT_EQ(car.layout.frontAxleX, 2.4f);
  // Again with the same truck: nothing is read (the files are gone).
  const Model* built = gRacerModels[kRacerModelCar][2];
  std::filesystem::remove_all(scratch.Path() + "/base/cars/5");
  LoadRacerCar(2);
  EXPECT_EQ(gRacerModels[kRacerModelCar][2], built);
  EXPECT_EQ(gRacerModels[kRacerModelCar][2]->triangleCount, 2);

  car.carKind = 40;
  LoadRacerCar(2);
  EXPECT_EQ(gBuiltCarIndex[2], 17);
  EXPECT_EQ(car.carKind, 17);
  EXPECT_FLOAT_EQ(car.layout.frontAxleX, 2.7f);
}

TEST_F(LoaderFiles, AMissingTruckLeavesEmptyModelsAndDefaultMarkers) {
  gRacers[1].carKind = 9;
  gRacers[1].layout.frontAxleX = 3.3f;
  LoadRacerCar(1);
  for (auto& kind : gRacerModels) {
    ASSERT_NE(kind[1], nullptr);
    EXPECT_EQ(kind[1]->triangleCount, 0);
  }
  EXPECT_FLOAT_EQ(gRacers[1].layout.frontAxleX, kDefaultAxleX);
}

TEST_F(LoaderFiles, TruckPointsFarOutsideTheTruckOrWithTheFrontAxleNotAheadAreRefused) {
  for (const MarkerTriangle& bad : {Marker(4, neMakeV3(0, 1, 40)), Marker(0, neMakeV3(0, 0, 1.5f)),
                                    Marker(0, neMakeV3(-2.4f, 0, 1.5f))}) {
    WriteTestTruck(scratch.Path(), 5, {Marker(0, neMakeV3(2.4f, 0, 1.5f)), bad});
    gBuiltCarIndex[2] = -1;
    gRacers[2].carKind = 5;
    LoadRacerCar(2);
    EXPECT_EQ(gRacerModels[kRacerModelPoints][2]->triangleCount, 0);
    EXPECT_FLOAT_EQ(gRacers[2].layout.frontAxleX, kDefaultAxleX);
  }
}

TEST_F(LoaderFiles, ARaceLoadsWithDifferentRivalsItsPathPropsAndPhysicsAndTheGarageUndoesIt) {
  WriteTestTrack(scratch.Path(), 7);
  WriteTestTrucks(scratch.Path());
  WriteTestGarage(scratch.Path());
  LoadGarage();
  ASSERT_EQ(gGarageModels[0]->triangleCount, 2);
  gPlayerCarIndex = 5;

  ASSERT_TRUE(LoadWorld(7));
  EXPECT_EQ(gRacers[0].carKind, 5);
  for (int i = 1; i < kRacerCount; ++i) {
    EXPECT_NE(gRacers[i].carKind, 5);
    for (int j = 1; j < i; ++j) EXPECT_NE(gRacers[i].carKind, gRacers[j].carKind);
    EXPECT_EQ(gBuiltCarIndex[i], gRacers[i].carKind);
    EXPECT_FLOAT_EQ(gRacers[i].layout.frontAxleX, 2.2f);
  }
  EXPECT_EQ(gRacePathLast, 149);
  EXPECT_EQ(gCityObjectCount, 3);
  EXPECT_EQ(gCityObjects[2].type, 2);
  ASSERT_NE(gSimulator, nullptr);
  for (const Racer& car : gRacers) EXPECT_NE(car.body, nullptr);
  EXPECT_EQ(gCityObjects[0].bodyCount, 1);
  EXPECT_EQ(gWorldModels[kWorldModelPhysic], nullptr);         // the terrain took it
  EXPECT_EQ(gWorldModels[kWorldModelMainRoadLinear], nullptr);  // baked into qt.qt, never read
  EXPECT_EQ(gWorldModels[kWorldModelWater]->triangleCount, 2);
  for (const Model* garage : gGarageModels) EXPECT_EQ(garage, nullptr);
  ASSERT_NE(gQuadTreeLeaves, nullptr);
  EXPECT_NE(gQuadTreeRoot, nullptr);
  EXPECT_EQ(gRaceLaps, 4);
  EXPECT_TRUE(gStartHold);
  EXPECT_EQ(gBonusEventLast, -1);

  LoadGarage();
  EXPECT_EQ(gSimulator, nullptr);
  for (const Racer& car : gRacers) EXPECT_EQ(car.body, nullptr);
  EXPECT_EQ(gCityObjectCount, 0);
  for (const Model* model : gWorldModels) EXPECT_EQ(model, nullptr);
  EXPECT_EQ(gQuadTreeRoot, nullptr);
  EXPECT_EQ(gGarageModels[2]->triangleCount, 2);
}

TEST_F(LoaderFiles, TheFourTrucksAreDrawnFromListsWhileARaceIsLoadedAndTheGarageFromItsOwn) {
  REQUIRE_GL_WINDOW(window);
  window->MakeLoaderCurrent();
  WriteTestTrack(scratch.Path(), 7);
  WriteTestTrucks(scratch.Path());
  WriteTestGarage(scratch.Path());
  LoadGarage();
  for (const Model* garage : gGarageModels) EXPECT_NE(garage->drawLists, 0u);
  gPlayerCarIndex = 5;
  LoadRacerCar(0);
  EXPECT_EQ(gRacerModels[kRacerModelCar][0]->drawLists, 0u) << "the garage sends the player's truck";

  ASSERT_TRUE(LoadWorld(7));
  BuildRacerDrawLists();
  for (int slot = 0; slot < kRacerCount; ++slot) {
    for (int kind : {kRacerModelCar, kRacerModelGlass, kRacerModelOptics, kRacerModelWheel})
      EXPECT_NE(gRacerModels[kind][slot]->drawLists, 0u) << "slot " << slot << ", kind " << kind;
    EXPECT_EQ(gRacerModels[kRacerModelPoints][slot]->drawLists, 0u) << "markers are never drawn";
  }
  EXPECT_TRUE(glIsList(gRacerModels[kRacerModelCar][1]->drawLists));

  FreeRacerDrawLists();
  LoadGarage();
  for (int slot = 0; slot < kRacerCount; ++slot)
    EXPECT_EQ(gRacerModels[kRacerModelCar][slot]->drawLists, 0u) << "given back with the race";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// What a failed race load leaves: the garage, and nothing of the race.
void ExpectGarageWithNoRace(const char* why) {
  EXPECT_EQ(gSimulator, nullptr) << why;
  for (const Racer& car : gRacers) EXPECT_EQ(car.body, nullptr) << why;
  EXPECT_EQ(gCityObjectCount, 0) << why;
  EXPECT_EQ(gQuadTreeRoot, nullptr) << why;
  ASSERT_NE(gGarageModels[0], nullptr) << why;
  EXPECT_EQ(gGarageModels[0]->triangleCount, 2) << why;
}

TEST_F(LoaderFiles, ARaceThatCannotLoadFailsAndLeavesTheGarageWithNoPhysics) {
  WriteTestGarage(scratch.Path());
  WriteTestTrack(scratch.Path(), 6);
  std::FILE* f = std::fopen((scratch.Path() + "/base/world/races/6.ai").c_str(), "wb");
  std::fputs("not a path", f);
  std::fclose(f);
  EXPECT_FALSE(LoadWorld(6));
  ExpectGarageWithNoRace("a corrupt race path");

  WriteTestTrack(scratch.Path(), 5);
  std::filesystem::resize_file(scratch.Path() + "/base/world/models/qt.qt", 100);
  EXPECT_FALSE(LoadWorld(5));
  ExpectGarageWithNoRace("a short quadtree file");

  std::filesystem::remove(scratch.Path() + "/base/world/models/physic.sbm");
  EXPECT_FALSE(LoadWorld(5));
  ExpectGarageWithNoRace("no physics ground");

  for (int race : {12, 0, 31}) {
    EXPECT_FALSE(LoadWorld(race));
    ExpectGarageWithNoRace(race == 12 ? "no files for the race" : "no such race");
  }
}

TEST_F(LoaderFiles, PropPartModelsLoadByTypeAndPartAndAMissingOneStaysEmpty) {
  const std::string folder = scratch.Path() + "/base/objects";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(WriteMs3d(folder + "/object14part2.sbm", QuadModelFile(0, 0, 1, 1)));
  ASSERT_TRUE(WriteMs3d(folder + "/object3part0.sbm", QuadModelFile(0, 0, 1, 1)));
  LoadObjectModels();
  int made = 0;
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < kMaxPropParts; ++part) made += gPropPartModels[type][part] != nullptr;
  EXPECT_EQ(made, 28);
  EXPECT_EQ(gPropPartModels[14][2]->triangleCount, 2);
  EXPECT_EQ(gPropPartModels[3][0]->triangleCount, 2);
  EXPECT_EQ(gPropPartModels[3][1]->triangleCount, 0);
  EXPECT_EQ(gPropPartModels[17][1], nullptr);
}

TEST_F(LoaderFiles, NumberedAndLandscapeTexturesLoadWithTheirFilterModes) {
  REQUIRE_GL_WINDOW(window);
  window->MakeLoaderCurrent();
  std::filesystem::create_directories(scratch.Path() + "/base/textures");
  std::filesystem::create_directories(scratch.Path() + "/base/world/textures");
  const RasterImage image(8, 8, 3);
  for (const char* name : {"textures/tex09", "textures/tex44", "textures/tex61", "textures/tex63",
                           "world/textures/landscape00", "world/textures/landscape02_n"})
    ASSERT_TRUE(WriteTga(scratch.Path() + "/base/" + name + ".tga", image));
  LoadTextureList();
  auto parameter = [](const Texture& texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture.glId);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
  };
  ASSERT_NE(gTextures[9].glId, kNoTexture);
  EXPECT_EQ(gTextures[10].glId, kNoTexture);  // no file
  EXPECT_EQ(parameter(gTextures[9], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(parameter(gTextures[44], GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(parameter(gTextures[61], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(parameter(gTextures[63], GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(parameter(gTextures[63], GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  EXPECT_NE(gLandscapeTextures[0].glId, kNoTexture);
  EXPECT_EQ(gLandscapeTextures[2].glId, kNoTexture);
  EXPECT_NE(gLandscapeTextures[7].glId, kNoTexture);  // landscape02_n, the third normal map
  EXPECT_EQ(parameter(gLandscapeTextures[7], GL_TEXTURE_WRAP_T), GL_REPEAT);
  ReleaseTextureTables();
}

TEST_F(LoaderFiles, AnisotropicTexturesFilterAnisotropicallyOnlyWhenThePlayerAskedForIt) {
  REQUIRE_GL_WINDOW(window);
  window->MakeLoaderCurrent();
  std::filesystem::create_directories(scratch.Path() + "/base/world/textures");
  std::filesystem::create_directories(scratch.Path() + "/base/textures");
  ASSERT_TRUE(WriteTga(scratch.Path() + "/base/world/textures/landscape01.tga", RasterImage(8, 8, 3)));
  for (int k : {kPropColourTexture, kTyreTrackTexture})  // both two-digit numbers
    ASSERT_TRUE(WriteTga(scratch.Path() + "/base/textures/tex" + std::to_string(k) + ".tga", RasterImage(8, 8, 4)));
  GLint maximum = 0;
  glGetIntegerv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
  const int filteringBefore = gTextureFiltering;
  for (int filtering : {0, 1}) {
    gTextureFiltering = filtering;
    LoadTextureList();
    const float expected = filtering == 1 && maximum > 1 ? float(maximum - 1) : 1.0f;
    for (const Texture* texture : {&gLandscapeTextures[1], &gTextures[kPropColourTexture], &gTextures[kTyreTrackTexture]}) {
      ASSERT_NE(texture->glId, kNoTexture);
      GLfloat anisotropy = 0;
      glBindTexture(GL_TEXTURE_2D, texture->glId);
      glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
      EXPECT_EQ(anisotropy, expected) << "filtering " << filtering << ", texture " << texture->glId;
    }
    ReleaseTextureTables();
  }
  gTextureFiltering = filteringBefore;
}

TEST_F(LoaderFiles, ARaceKeepsTheDrawnSectionsTrianglesOnlyInTheQuadtreeLeaves) {
  WriteTestTrack(scratch.Path(), 7);
  WriteTestTrucks(scratch.Path());
  ASSERT_TRUE(LoadWorld(7));
  const struct {
    WorldModelSlot slot;
    int section;
  } drawn[] = {{kWorldModelMainRoad, kSectionMainRoad},
               {kWorldModelMainMap, kSectionMainMap},
               {kWorldModelMainTransparency, kSectionMainTransparency},
               {kWorldModelAddMap, kSectionAddMap},
               {kWorldModelAddTransparency, kSectionAddTransparency},
               {kWorldModelAddTransparency2, kSectionAddTransparency2}};
  for (const auto& d : drawn) {
    const Model* model = gWorldModels[d.slot];
    ASSERT_NE(model, nullptr) << d.section;
    // What the passes read of the model stays: its groups and materials.
    EXPECT_TRUE(model->triangles == nullptr && model->vertices == nullptr) << d.section;
    ASSERT_EQ(model->groupCount, 1) << d.section;
    EXPECT_EQ(model->groups[0].triangleCount, 2) << d.section;
    EXPECT_EQ(model->materialCount, 1) << d.section;
    // The leaves hold the two triangles (in every leaf each one crosses).
    int inLeaves = 0;
    for (int leaf = 0; leaf < kQuadTreeLeafCount; ++leaf) {
      const Mesh* meshes = gQuadTreeLeaves[leaf].sectionMeshes[d.section];
      if (meshes) inLeaves += meshes[0].count;
    }
    EXPECT_GE(inLeaves, 2) << d.section;
  }
}
