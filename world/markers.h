// Marker models: models with no visible geometry whose triangles mark
// places (props along a track, points and part placements on a truck).
// Corner 1 of a marker triangle is the place; the edges to corners 0 and 2
// give its orientation.
#pragma once

#include "framework/model.h"
#include "math/ne_math.h"

struct MarkerCorners {
  neV3 p[3];
};

// The three corners of triangle `triangle` of `model` (an index the model
// reader has checked).
MarkerCorners TriangleCorners(const Model& model, int triangle);

// Columns X = unit(P0 − P1), Y = unit(P2 − P1), Z = unit(X × Y); Y is not
// made square to X. A degenerate edge gives a zero column, never a non-number.
neM3 MarkerOrientation(const MarkerCorners& corners);
