// The marker model of a truck (points.sbm): one small right-angled
// triangle per point the racer-car loader reads, in the groups of
// TruckMarkerGroup.
#pragma once

#include <vector>

#include "framework/vector_math.h"
#include "tools/ms3d_writer.h"
#include "tools/truck_shape.h"

// Groups of points.sbm, as the racer-car loader reads them.
enum TruckMarkerGroup {
  kMarkerAxle,        // one triangle: corner 1 x = axle distance, z = half-track
  kMarkerLamps,       // four: head lamp, tail lamp, brake lamp, reverse lamp
  kMarkerExhaust1,    // the exhaust's smoke point
  kMarkerExhaust2,    // the exhaust's fire point
  kMarkerBigVint,     // spinning-part placements, at most 10 each
  kMarkerSmallVint,
  kMarkerTurboVint,
  kMarkerGroupCount
};
inline constexpr int kMaxVintMarkers = 10;

// Points the markers and the extras share.
struct TruckPoints {
  Vector3 headLamp, tailLamp, brakeLamp, reverseLamp;  // lamp centres on the +z side
  Vector3 exhaustSmoke, exhaustFire;
  std::vector<Vector3> bigVints, smallVints, turboVints;  // spinning-part centres
  std::vector<Vector3> vintAxes[3];                        // the axis each one spins about
};

// Adds a spinning part of kind 0 (big), 1 (small) or 2 (turbo) at `at`,
// spinning about `axis`.
void AddVint(TruckPoints* points, int kind, const Vector3& at, const Vector3& axis);

// The axle marker at the front wheel's rest centre (wheelY), then the
// lamps, the exhaust and the spinning parts of `points`.
Ms3dFile MakeMarkers(const StyleShape& shape, float wheelY, const TruckPoints& points);
