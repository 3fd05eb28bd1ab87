// One opponent laps every one of the 30 tracks on the game's own data: the
// generated physics ground and race paths, the trucks' physics world, the
// fixed frame time and no window. The player and the other two opponents
// stand aside; the player's progress is kept level with the opponent's so
// that the catch-up neither holds it back nor hurries it.
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "world/catalogue.h"
#include "world/opponent.h"
#include "world/physics_constants.h"
#include "world/physics_world.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/world_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds
constexpr char kPhysicFile[] = "base/world/models/physic.sbm";
// The slowest lap allowed: the path's length at this average speed
// (world units per second of simulated time, which runs 2.3 times the
// frame time).
constexpr float kSlowestAverageSpeed = 8.0f;

float PathLength() {
  float length = 0.0f;
  for (int i = 0; i <= gRacePathLast; ++i)
    length += (gRacePath[i == gRacePathLast ? 0 : i + 1].position - gRacePath[i].position).Length();
  return length;
}

void Frame() {
  gFrameSeconds = kSceneFrameSeconds;
  gFrameFactor = kSceneFrameSeconds * 100.0f;
  gPhysicsFrameTime = kSceneFrameSeconds;
  gRacers[0].progress = gRacers[1].progress - 10.0f;
  StepPhysicsWorld();
}

// Everyone but opponent 1 out of the simulation, standing where they are.
void StandAside() {
  for (int i : {0, 2, 3}) gRacers[i].body->SetActive(false);
}

struct Lap {
  bool done = false;
  int frames = 0;
  float longestStuck = 0.0f;
  int reversals = 0;
};

Lap DriveOneLap(int limitFrames) {
  CSampleCar& car = gRacers[1];
  Lap lap;
  bool wasReversing = false;
  while (lap.frames < limitFrames) {
    Frame();
    ++lap.frames;
    lap.longestStuck = std::fmax(lap.longestStuck, car.stuckTime);
    if (car.reversing && !wasReversing) ++lap.reversals;
    wasReversing = car.reversing;
    if (car.laps >= 2) {
      lap.done = true;
      break;
    }
  }
  return lap;
}

}  // namespace

TEST(EveryTrack, OneOpponentLapsEachOfTheThirtyTracksWithoutBeingLifted) {
  InitCarTables();
  gRaceLaps = 4;
  gCarPowerFactor = 0.85f;
  for (int race = 1; race <= 30; ++race) {
    SCOPED_TRACE("race " + std::to_string(race));
    ASSERT_TRUE(LoadRacePath(race));
    auto* physic = new MilkshapeModel;
    ASSERT_TRUE(physic->LoadFromFile(kPhysicFile));
    gWorldModels[kWorldModelPhysic] = physic;
    for (CSampleCar& car : gRacers) {
      car.carKind = 0;
      car.frontAxleX = car.rearAxleX = kTestAxle;
      car.frontWheelZ = car.rearWheelZ = kTestHalfTrack;
      car.gear = 0;
      car.spinThrottle = 0.0f;
      car.reversing = 0;
      car.stuckTime = car.reverseTime = 0.0f;
    }
    gStartHold = 0;
    gPlayerFinished = 0;
    gPrevPhysicsFrameTime = 0.0f;
    InitPhysicsWorld();
    StandAside();

    const float length = PathLength();
    const int limit = static_cast<int>(length / (kSlowestAverageSpeed * kPhysicsTimeScale) * kFramesPerSecond);
    const Lap lap = DriveOneLap(limit);
    std::printf("race %2d: path %5.0f long, lap in %5.1f s of %5.1f s allowed, longest stuck %.2f s, %d reversals\n",
                race, length, lap.frames / float(kFramesPerSecond), limit / float(kFramesPerSecond), lap.longestStuck,
                lap.reversals);
    EXPECT_TRUE(lap.done) << "laps " << gRacers[1].laps << " at point " << gRacers[1].aiWaypoint << " of "
                          << gRacePathLast;
    EXPECT_LT(lap.longestStuck, kOpponentUnstickAfter);
    DestroyPhysicsWorld();
  }
}
