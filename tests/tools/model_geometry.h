// What the asset checks and the picture tests read off loaded models: the
// bounds of the triangles' corners, the marker points of points.sbm, and
// the check every drawn model of the generator passes.
#pragma once

#include <string>

#include "framework/model.h"
#include "framework/vector_math.h"

struct Bounds {
  Vector3 lo{1e9f, 1e9f, 1e9f};
  Vector3 hi{-1e9f, -1e9f, -1e9f};
  Vector3 Size() const { return hi - lo; }
};

// Bounds of every corner of the model's grouped triangles.
Bounds ModelBounds(const Model& model);

// Corner k of triangle t of group g; (0, 0, 0) when there is none.
Vector3 MarkerCorner(const Model& markers, int group, int triangle, int corner);
// Number of triangles of group g (0 when the group is missing).
int MarkerCount(const Model& markers, int group);

bool IsPowerOfTwo(int n);

// Empty when the model loads, its tangents are numbers and every texture it
// names is a lower-case .tga beside it (in `folder`) that the TGA reader
// takes, at a power-of-two size; otherwise what is wrong.
std::string CheckDrawnModel(const std::string& folder, const std::string& file);
