// A race on a generated test terrain for the race-core tests: a long flat
// strip of ground with a straight race path along +x, the four trucks on
// its grid through the game's own InitPhysicsWorld, fixed frames and
// scripted keys. The trucks carry the wheel markers the game's trucks have
// (axles 2.2 ahead of and behind the centre, wheels 1.4 to the side).
#pragma once

#include "framework/model.h"
#include "tests/support/world_files.h"
#include "math/ne_math.h"
#include "world/racer.h"

#include <functional>
#include <vector>

inline constexpr float kSceneFrameSeconds = 0.02f;  // every scene frame
inline constexpr float kTestAxle = 2.2f;
inline constexpr float kTestHalfTrack = 1.4f;
inline constexpr float kPathSpacing = 7.0f;
inline constexpr float kPathLift = 1.0f;  // path points above the road
inline constexpr char kGamePhysicsGround[] = "base/world/models/physic.sbm";
inline constexpr int kGameDataTrucks[4] = {0, 7, 11, 17};  // catalogue rows of the four racers

// The bound keys of the scenes, as virtual-key codes.
inline constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28, kKeyBoost = 0x10;

// A heightfield model over x0..x1, z0..z1 in square cells, as the physic
// world model a track load leaves in its slot.
Model* MakeGroundModel(float x0, float x1, float z0, float z1, float cell, const HeightFunction& height);

// A marker model read from MarkerMesh's file.
Model* MakeMarkerModel(const std::vector<MarkerTriangle>& triangles);

// Distance on the ground from `p` to the race path's closed polyline.
float GroundDistanceToPath(const neV3& p);

struct RaceScene {
  // Builds the world: the ground, a straight path of `points` + 1 points
  // from the origin along `direction` (checkpoints every 100), the trucks on
  // the grid, the bound keys, the start hold off and the race clock at 0.
  explicit RaceScene(const HeightFunction& height = FlatGround, int points = 200,
                     neV3 direction = neMakeV3(1, 0, 0));
  // The same on a path through the given ground points (x and z; each
  // point is lifted kPathLift above the ground), a closed loop when the
  // last point leads back to the first.
  RaceScene(const HeightFunction& height, const std::vector<neV3>& path);
  // The same on race `race` of the game's data: its path file, the
  // generated physics ground, the race's props when its marker file is
  // there, and trucks kGameDataTrucks with their marker points (`loaded`
  // says whether path, ground and points were read).
  explicit RaceScene(int race);
  ~RaceScene();
  RaceScene(const RaceScene&) = delete;
  RaceScene& operator=(const RaceScene&) = delete;

  // One race frame of kSceneFrameSeconds: StepPhysicsWorld, then the props.
  void Frame();
  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
  }
  // Holds the key of a bound control down, or lets it go.
  void Press(int control, bool down = true);
  void ReleaseAll();
  // Parks the three opponents off the road and out of the simulation, so
  // the player drives alone.
  void ParkOpponents();

  Racer& player() { return gRacers[0]; }
  float Height(const Racer& car) const;  // body centre above the ground under it
  HeightFunction height;  // of the generated ground; flat for the game's data
  bool loaded = true;

 private:
  void Build(const std::vector<neV3>& path);
  // The trucks on the grid and the race state of a started race.
  void StartRace();
};
