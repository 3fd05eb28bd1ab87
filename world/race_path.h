// Race paths: the waypoints that a race follows, one file per race
// (base/world/races/1.ai .. 30.ai). The path is a closed loop: the point
// after the last is point 0. Shared by the game and the data generator.
#pragma once

#include "math/ne_math.h"

#include <cstdint>
#include <string>

inline constexpr int kRacePathCapacity = 1200;    // points
inline constexpr int kMinRacePathLast = 4;        // fewest points a usable loop has, minus one
inline constexpr int kCheckpointSpacing = 100;    // points between checkpoints
inline constexpr float kCheckpointStartClearance = 350.0f;  // world units from point 0
inline constexpr int kLastRecordedPath = -1;      // SaveRacePath's number for last.ai

// Waypoint kinds. The progress logic counts 1, 4 and 5 as checkpoints.
enum WaypointType : int32_t {
  kWaypointPlain = 0,
  kWaypointCheckpoint = 1,
  kWaypointMarkerA = 2,            // marker of the first kind, no checkpoint
  kWaypointMarkerB = 3,            // marker of the second kind, no checkpoint
  kWaypointCheckpointMarkerA = 4,
  kWaypointCheckpointMarkerB = 5,
};

struct Waypoint {
  neV3 position;  // world position; the fourth float is neither stored nor read
  int32_t type;   // WaypointType
};

extern Waypoint gRacePath[kRacePathCapacity];
extern int32_t gRacePathLast;  // index of the last point

// "base/world/races/<n>.ai" for 1..30, "base/world/races/last.ai" for -1,
// empty for any other number.
std::string RacePathFile(int n);

// Reads a path file into `points` (capacity kRacePathCapacity). The file is
// refused (false, `points` and `last` untouched, a line on stderr) unless
// kMinRacePathLast <= L <= 1199 and the file holds all L + 1 records, each
// with a finite position and a kind 0..5.
bool ReadRacePathFile(const std::string& path, Waypoint* points, int32_t& last);
bool WriteRacePathFile(const std::string& path, const Waypoint* points, int32_t last);

// Marks every 100th point, from the highest multiple of 100 not above
// `last` down to 0, as a checkpoint (0→1, 2→4, 3→5); the highest one only
// when it lies farther than 350 from point 0.
void MarkCheckpoints(Waypoint* points, int32_t last);

// Loads race n (1..30) into gRacePath; false when refused (path unchanged).
bool LoadRacePath(int n);
// Marks checkpoints in gRacePath and writes it to race n's file (-1: last.ai).
bool SaveRacePath(int n);
