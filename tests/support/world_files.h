// Small but complete world files for the loader and race tests: a ground
// heightfield, marker models, a track's whole set of world models and race
// path, a truck's six models and the garage, written under a folder that a
// test then runs in (ScopedWorkingFolder).
#pragma once

#include "math/ne_math.h"
#include "tools/ms3d_writer.h"

#include <functional>
#include <string>
#include <vector>

using HeightFunction = std::function<float(float x, float z)>;
inline float FlatGround(float, float) { return 0.0f; }

// A heightfield over x0..x1, z0..z1 in square cells, one group "ground".
Ms3dFile GroundMesh(float x0, float x1, float z0, float z1, float cell, const HeightFunction& height);

// One marker triangle of a marker model: its group and its three corners.
struct MarkerTriangle {
  int group;
  neV3 corners[3];
};
// A marker model (props of a track, points of a truck) from its triangles;
// groups up to the highest one used, the others empty.
Ms3dFile MarkerMesh(const std::vector<MarkerTriangle>& triangles);

// Race `race`'s files under root/base/world: a straight race path of 150
// points 7 apart along +x, its physics ground, the road pair, the other
// drawn models, the prop markers (three barrels beside the path) and
// the decor models.
void WriteTestTrack(const std::string& root, int race);
// Truck `index`'s six models under root/base/cars/<index>/, its points
// model from `points`.
void WriteTestTruck(const std::string& root, int index, const std::vector<MarkerTriangle>& points);
// Every truck of the catalogue with axle markers 2.2 ahead and behind.
void WriteTestTrucks(const std::string& root);
// The four garage models under root/base/garage/.
void WriteTestGarage(const std::string& root);
