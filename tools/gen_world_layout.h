// The shape of the generated world, shared by every writer that places
// something in it: the ground's height, the road network and the 30 race
// loops over it, and the lake. Units are world units (metres), +y up; the
// landscape spans −1800..1800 in x and z.
//
// The ground is one triangulated grid (the physics ground and the drawn
// ground share its triangles), so GroundHeight answers exactly what a wheel
// sensor or a prop dropped on the ground would find.
#pragma once

#include <cstdint>

#include "world/race_path.h"

inline constexpr float kWorldHalfSize = 1800.0f;     // units from the origin to the mesh's edge
inline constexpr int kGroundCells = 128;              // grid cells per side of the ground
inline constexpr float kGroundCell = 2 * kWorldHalfSize / kGroundCells;  // units per cell
inline constexpr float kRoadHalfWidth = 7.5f;         // units from the centreline to the road's edge
inline constexpr float kRoadSurfaceLift = 0.04f;      // road surface above the ground grid, units
inline constexpr float kPathHeightAboveRoad = 1.0f;   // race path points above the road surface
inline constexpr float kPathSpacing = 7.0f;           // units between race path points
inline constexpr float kBendRadius = 120.0f;          // radius of every bend at a junction, units

// Height of the ground at (x, z), on the grid's triangles (the same
// triangles the physics ground holds). Outside the landscape: the edge's.
float GroundHeight(float x, float z);

// The ground grid's vertex (i, j), 0..kGroundCells each, at
// x = −1800 + i × kGroundCell, z = −1800 + j × kGroundCell.
float GroundGridHeight(int i, int j);

// Smooth value noise, about 0..1, varying over about one unit of (u, v).
float LandscapeNoise(float u, float v, uint32_t seed);

// Horizontal distance from (x, z) to the nearest road centreline.
float DistanceToRoad(float x, float z);

// The lake: its water level, and whether (x, z) is under water.
float LakeLevel();
bool IsUnderWater(float x, float z);

// Race n's path (1..30): points every ~7 units on its road's centreline at
// road surface + 1.0, checkpoints marked, point 0 in the middle of a flat
// straight with the race heading toward point 1; the starting grid lies
// behind point 0. Returns the last index (100..1199).
int32_t MakeWorldRacePath(int race, Waypoint* points);

// For the world's own writers: the road network as centreline polylines.
// Every edge between two junctions is one piece, every bend that a race
// takes at a junction another; pieces overlap at the junctions, so each
// kind lies a little higher than the last to keep their surfaces apart.
struct RoadPiece {
  int pointCount = 0;
  const float* x = nullptr;  // centreline, pointCount points
  const float* z = nullptr;
  float lift = kRoadSurfaceLift;  // surface above the ground grid, units
};
int RoadPieceCount();
RoadPiece GetRoadPiece(int index);

// The lake's centre and radius (the water surface covers at most this circle).
void LakeCircle(float* x, float* z, float* radius);
