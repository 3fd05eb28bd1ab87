// One opponent laps every one of the 30 tracks on the game's own data: the
// generated physics ground and race paths, the trucks' physics world, the
// fixed frame time and no window. The player and the other two opponents
// stand aside; the player's progress is kept level with the opponent's so
// that the catch-up neither holds it back nor hurries it.
#include "tests/support/race_scene.h"

#include "world/opponent.h"
#include "world/physics_constants.h"
#include "world/race_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds
// The slowest lap allowed: the path's length at this average speed, world
// units per second of simulated time (which runs 2.3 times the frame time).
constexpr float kSlowestAverageSpeed = 8.0f;
constexpr float kFarthestFromPath = 20.0f;

float PathLength() {
  float length = 0.0f;
  for (int i = 0; i <= gRacePathLast; ++i)
    length += (gRacePath[i == gRacePathLast ? 0 : i + 1].position - gRacePath[i].position).Length();
  return length;
}

struct Lap {
  bool done = false;
  int frames = 0;
  float longestStuck = 0.0f;  // seconds on the unstick clock
  float farthestFromPath = 0.0f;
  int reversals = 0;
};

Lap DriveOneLap(RaceScene& scene, int limitFrames) {
  Racer& car = gRacers[1];
  Lap lap;
  bool wasReversing = false;
  while (lap.frames < limitFrames && !lap.done) {
    gRacers[0].progress = car.progress - 10.0f;
    scene.Frame();
    ++lap.frames;
    lap.longestStuck = std::fmax(lap.longestStuck, car.stuckTime);
    lap.farthestFromPath = std::fmax(lap.farthestFromPath, GroundDistanceToPath(car.body->GetPos()));
    if (car.reversing && !wasReversing) ++lap.reversals;
    wasReversing = car.reversing;
    lap.done = car.laps >= 2;  // the line behind the grid counted 1
  }
  return lap;
}

}  // namespace

TEST(EveryTrack, OneOpponentLapsEachOfTheThirtyTracksNearItsPathWithoutBeingLifted) {
  for (int race = 1; race <= 30; ++race) {
    SCOPED_TRACE("race " + std::to_string(race));
    RaceScene scene(race);
    ASSERT_TRUE(scene.loaded);
    for (int i : {0, 2, 3}) gRacers[i].body->SetActive(false);  // standing aside

    const float length = PathLength();
    const int limit = static_cast<int>(length / (kSlowestAverageSpeed * kPhysicsTimeScale) * kFramesPerSecond);
    const Lap lap = DriveOneLap(scene, limit);
    std::printf("race %2d: path %4.0f long, lap in %4.1f s of %5.1f s allowed, %4.1f from the path at most, "
                "%d reversals\n",
                race, length, lap.frames / float(kFramesPerSecond), limit / float(kFramesPerSecond),
                lap.farthestFromPath, lap.reversals);
    EXPECT_TRUE(lap.done) << "laps " << gRacers[1].laps << ", at point " << gRacers[1].aiWaypoint << " of "
                          << gRacePathLast;
    EXPECT_LT(lap.longestStuck, kOpponentUnstickAfter);
    EXPECT_LT(lap.farthestFromPath, kFarthestFromPath);
  }
}
