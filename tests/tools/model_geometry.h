// What the asset checks and the picture tests read off loaded models: the
// bounds of the triangles' corners and the marker points of points.sbm.
#pragma once

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
