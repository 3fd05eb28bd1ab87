// Where each race's props stand: base/world/models/objects1.sbm ..
// objects30.sbm, one marker triangle per prop in the group of its type,
// as the prop builder reads them: corner 1 the rest point on the ground,
// corner 0 along the prop's long axis, corner 2 straight above corner 1.
// Props line the race's road outside its edges, seated on the highest
// ground under them, clear of the path, the racing line, the starting grid
// and each other.
#pragma once

#include <string>
#include <vector>

#include "framework/vector_math.h"
#include "tools/ms3d_writer.h"

// Clearance kept between a prop's footprint and a path point, the racing
// line or a grid slot, units.
inline constexpr float kPropClearance = 6.0f;
// Most props of one race (the prop table's capacity is 1000).
inline constexpr int kMaxPropsPerRace = 400;

struct PropPlacement {
  int type;
  Vector3 rest;  // on the ground
  Vector3 axis;  // unit, horizontal: the prop's long axis
};

// Radius of the circle about the rest point that holds a prop's parts
// seen from above.
float PropFootprintRadius(int type);
// Points of the ground under a prop's parts (their boxes' corners, edge
// middles and centres) seen from above.
std::vector<Vector3> PropFootprint(const PropPlacement& prop);

std::vector<PropPlacement> LayOutRaceProps(int race);
Ms3dFile MakePropMarkers(const std::vector<PropPlacement>& props);

bool GeneratePropLayouts(const std::string& base);
