// The game's own loads through the worker and the loader statuses: a race
// by game mode, the garage after it, the player's truck; a race that
// cannot load is answered as failed. On files made here.
#include "app/worker.h"
#include "tests/support/gl_window.h"
#include "tests/support/hand_over_state.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/world_files.h"

#include "framework/startup_models.h"
#include "world/catalogue.h"
#include "world/loaders.h"
#include "world/racer_models.h"
#include "world/physics_world.h"
#include "render/race_camera.h"
#include "render/race_view.h"
#include "world/city_object.h"
#include "world/race_state.h"
#include "world/quadtree.h"
#include "world/race_path.h"
#include "world/racer.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

namespace {

// One worker pass for a request on a screen; the completion it answers.
int Request(int screen, int status) {
  ResetHandOverState(screen);
  gLoaderStatus = status;
  WorkerPass(kGameWorkerJobs);
  return gLoaderStatus;
}

// Files made here (no textures, so no GL context is needed).
struct WorkerLoads : ::testing::Test {
  WorkerLoads() : inScratch(scratch.Path()) {
    WriteTestTrack(scratch.Path(), 9);
    WriteTestTrucks(scratch.Path());
    WriteTestGarage(scratch.Path());
  }
  ~WorkerLoads() override { LoadGarage(); }
  ScratchFolder scratch;
  ScopedWorkingFolder inScratch;
};

}  // namespace

TEST_F(WorkerLoads, TheQuickRaceTrackLoadsAndTheGarageFollowsTheFinish) {
  gGameMode = kGameModeQuickRace;
  gQuickRaceTrack = 9;
  gRaceViewCopies.shownBonus = kBonusRam;  // left over from the last race
  gCameraUp = neMakeV3(0.3f, 0.9f, 0.0f);
  EXPECT_EQ(Request(ScreenState::RaceLoading, LoaderStatus::LoadTrack), LoaderStatus::TrackLoaded);
  EXPECT_NE(gSimulator, nullptr);
  EXPECT_EQ(gRacePathLast, 149);
  EXPECT_EQ(gRaceViewCopies.shownBonus, 0);
  EXPECT_EQ(gRaceViewCopies.bonusDisplayTime, kBonusDisplaySeconds);
  EXPECT_EQ(gCameraUp.y, 1.0f);
  EXPECT_EQ(Request(ScreenState::RaceFinish, LoaderStatus::LoadGarage), LoaderStatus::GarageLoaded);
  EXPECT_EQ(gSimulator, nullptr);
  EXPECT_EQ(gGarageModels[1]->triangleCount, 2);
}

TEST_F(WorkerLoads, ACareerRaceIsTheCompetitionsRaceAndARestartLoadsItAgain) {
  gGameMode = kGameModeCareer;
  gCompetitionIndex = 2;
  gCompetitionRace = 1;  // race 2 x 4 + 1 = 9
  EXPECT_EQ(Request(ScreenState::RaceLoading, LoaderStatus::LoadTrack), LoaderStatus::TrackLoaded);
  EXPECT_EQ(Request(ScreenState::Pause, LoaderStatus::LoadTrack), LoaderStatus::TrackLoaded);
  EXPECT_NE(gSimulator, nullptr);
}

TEST_F(WorkerLoads, ARaceWithoutFilesOrAGameModeWithoutARaceIsAnsweredAsFailed) {
  gGameMode = kGameModeQuickRace;
  gQuickRaceTrack = 10;  // no files for race 10
  EXPECT_EQ(Request(ScreenState::RaceLoading, LoaderStatus::LoadTrack), LoaderStatus::TrackFailed);
  EXPECT_EQ(gSimulator, nullptr);
  gGameMode = 0;
  EXPECT_EQ(Request(ScreenState::RaceLoading, LoaderStatus::LoadTrack), LoaderStatus::TrackFailed);
  EXPECT_EQ(gSimulator, nullptr);
  ASSERT_NE(gGarageModels[0], nullptr);
  EXPECT_EQ(gGarageModels[0]->triangleCount, 2);
}

TEST_F(WorkerLoads, APlayerCarRequestBuildsThePlayersTruckInSlotZero) {
  gBuiltCarIndex[0] = -1;
  gPlayerCarIndex = 11;
  EXPECT_EQ(Request(ScreenState::ControlsOptions, LoaderStatus::LoadStartupOrPlayerCar), LoaderStatus::Idle);
  EXPECT_EQ(gBuiltCarIndex[0], 11);
  EXPECT_EQ(gRacerModels[kRacerModelCar][0]->triangleCount, 2);
}

TEST(WorkerLoadsGameFiles, RaceOneTheGarageAndATruckLoadFromTheGeneratedDataWithTheirTextures) {
  REQUIRE_GL_WINDOW(window);
  window->MakeLoaderCurrent();  // the worker's context, as in the game
  gGameMode = kGameModeQuickRace;
  gQuickRaceTrack = 1;
  gPlayerCarIndex = 0;
  ASSERT_EQ(Request(ScreenState::RaceLoading, LoaderStatus::LoadTrack), LoaderStatus::TrackLoaded);
  EXPECT_NE(gSimulator, nullptr);
  EXPECT_GT(gRacePathLast, 100);
  EXPECT_NE(gQuadTreeRoot, nullptr);
  const Model* road = gWorldModels[kWorldModelMainRoad];
  ASSERT_GT(road->CornerCount(), 0);
  ASSERT_GT(road->materialCount, 0);
  EXPECT_NE(road->materials[0].textureId, 0u);
  for (const Racer& car : gRacers) EXPECT_LT((car.body->GetPos() - gRacePath[0].position).Length(), 15.0f);

  EXPECT_GT(gCityObjectCount, 0);
  for (int i = 1; i < kRacerCount; ++i) EXPECT_GT(gRacerModels[kRacerModelCar][i]->triangleCount, 0);

  EXPECT_EQ(Request(ScreenState::RaceFinish, LoaderStatus::LoadGarage), LoaderStatus::GarageLoaded);
  EXPECT_EQ(gSimulator, nullptr);
  EXPECT_EQ(gQuadTreeRoot, nullptr);
  EXPECT_GT(gGarageModels[0]->CornerCount(), 0);

  // The player's new truck, with its marker points.
  gPlayerCarIndex = 12;
  EXPECT_EQ(Request(ScreenState::ControlsOptions, LoaderStatus::LoadStartupOrPlayerCar), LoaderStatus::Idle);
  EXPECT_EQ(gBuiltCarIndex[0], 12);
  const Model* body = gRacerModels[kRacerModelCar][0];
  ASSERT_GT(body->triangleCount, 0);
  EXPECT_NE(body->materials[0].textureId, 0u);
  const Racer& car = gRacers[0];
  // Axles and wheels from group 0, a lamp ahead, an exhaust behind, a vint placed.
  EXPECT_NE(car.layout.frontAxleX, kDefaultAxleX);
  EXPECT_GT(car.layout.frontWheelZ, 1.0f);
  EXPECT_GT(car.layout.lampPoints[0].x, car.layout.frontAxleX);
  EXPECT_LT(car.layout.exhaustPoints[0].x, 0.0f);
  EXPECT_NE(car.layout.vintPlacements[0][0].m[12], 0.0f);
}
