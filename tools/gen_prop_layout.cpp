#include "tools/gen_prop_layout.h"

#include <algorithm>
#include <cmath>

#include "tools/gen_props.h"
#include "tools/gen_world_layout.h"
#include "tools/mesh_builder.h"
#include "world/physics_world.h"
#include "framework/settings.h"
#include "world/race_path.h"

namespace {

// Prop types by what they are (the part models of gen_props).
enum PropType {
  kBollard, kDrum, kTyreStack, kCrates, kChevronSign, kBannerBale, kHayStack, kJerseyBarrier,
  kPlasticBarrier, kGuardRail, kFence, kTyreWall, kHayRow, kBannerFence, kRustyDrums, kCones,
  kHazardPosts, kLightTower
};

// A small deterministic generator of the layout's own.
struct Lcg {
  uint32_t state;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
  }
  int Below(int n) { return std::min(int(Next() * float(n)), n - 1); }
};

constexpr float kRoadsideGap = 1.0f;       // from the road's edge to a prop's footprint
constexpr float kPropGap = 0.4f;           // between two props' footprints
constexpr float kMaxGroundRise = 1.2f;     // most the ground may rise under one prop
constexpr float kWorldEdgeMargin = 40.0f;  // kept clear at the landscape's edge
constexpr int kSceneEvery = 6;             // path points between two roadside scenes

Vector3 Flat(const neV3& v) { return {v.x, 0, v.z}; }

Vector3 Unit(Vector3 v) {
  const float length = v.Length();
  return length > 1e-6f ? v * (1.0f / length) : Vector3(1, 0, 0);
}

// Side axis of a prop: X × up.
Vector3 SideOf(const Vector3& axis) { return {-axis.z, 0, axis.x}; }

float DistanceToSegment(const Vector3& p, const Vector3& a, const Vector3& b) {
  const Vector3 ab = b - a, ap = p - a;
  const float length2 = DotProduct(ab, ab);
  const float t = length2 > 0 ? std::clamp(DotProduct(ap, ab) / length2, 0.0f, 1.0f) : 0.0f;
  return (ap - ab * t).Length();
}

struct RaceView {
  std::vector<Waypoint> path;
  int last = 0;
  Vector3 grid[4];

  const Vector3 At(int i) const { return Flat(path[size_t((i % (last + 1) + last + 1) % (last + 1))].position); }

  // Ground distance to the racing line (the closed path) and its points.
  float DistanceToLine(const Vector3& p) const {
    float best = 1e9f;
    for (int i = 0; i <= last; ++i) best = std::min(best, DistanceToSegment(p, At(i), At(i + 1)));
    return best;
  }
};

RaceView ViewRace(int race) {
  RaceView view;
  view.path.resize(kRacePathCapacity);
  view.last = MakeWorldRacePath(race, view.path.data());
  for (int slot = 0; slot < 4; ++slot)
    view.grid[slot] = Flat(GridSlotPosition(view.path[0].position, view.path[1].position, slot));
  return view;
}

// The layout so far and the tests a new prop must pass.
struct Layout {
  const RaceView* race;
  std::vector<PropPlacement> props;

  bool Fits(PropPlacement& prop) {
    const float r = PropFootprintRadius(prop.type);
    const Vector3 at(prop.rest.x, 0, prop.rest.z);
    if (std::fabs(at.x) > kWorldHalfSize - kWorldEdgeMargin || std::fabs(at.z) > kWorldHalfSize - kWorldEdgeMargin)
      return false;
    if (DistanceToRoad(at.x, at.z) < kRoadHalfWidth + kRoadsideGap + r) return false;
    if (race->DistanceToLine(at) < kPropClearance + r) return false;
    for (const Vector3& slot : race->grid)
      if ((slot - at).Length() < kPropClearance + r) return false;
    for (const PropPlacement& other : props)
      if ((Vector3(other.rest.x, 0, other.rest.z) - at).Length() < r + PropFootprintRadius(other.type) + kPropGap)
        return false;
    // Seat it on the highest ground under it, on ground that is not too steep.
    float low = 1e9f, high = -1e9f;
    for (const Vector3& p : PropFootprint(prop)) {
      if (IsUnderWater(p.x, p.z)) return false;
      const float h = GroundHeight(p.x, p.z);
      low = std::min(low, h);
      high = std::max(high, h);
    }
    if (high - low > kMaxGroundRise) return false;
    prop.rest.y = high;
    return true;
  }

  void Try(int type, const Vector3& at, const Vector3& axis) {
    if (int(props.size()) >= kMaxPropsPerRace) return;
    PropPlacement prop{type, at, axis};
    if (Fits(prop)) props.push_back(prop);
  }
};

// Point k of the path, its ground direction and its left side.
struct PathFrame {
  Vector3 at, forward, left;
};

PathFrame FrameAt(const RaceView& race, int k) {
  PathFrame f;
  f.at = race.At(k);
  f.forward = Unit(race.At(k + 1) - race.At(k - 1));
  f.left = SideOf(f.forward);
  return f;
}

// Turn of the path around point k: positive to the left, radians.
float TurnAt(const RaceView& race, int k) {
  const Vector3 a = Unit(race.At(k) - race.At(k - 4)), b = Unit(race.At(k + 4) - race.At(k));
  return std::atan2(a.x * b.z - a.z * b.x, DotProduct(a, b));
}

// A prop beside the road at point k on side +1 (left) or -1 (right),
// facing the road, `extra` further out.
void Roadside(Layout& layout, const RaceView& race, int k, int side, int type, float extra) {
  const PathFrame f = FrameAt(race, k);
  const float r = PropFootprintRadius(type);
  const float out = kRoadHalfWidth + kRoadsideGap + r + 0.3f + extra;
  layout.Try(type, f.at + f.left * (out * float(side)), f.forward * float(side));
}

// A few loose things a little way off the road.
void LooseGroup(Layout& layout, const RaceView& race, int k, int side, Lcg& rng) {
  static const int kLoose[] = {kDrum, kCrates, kHayStack, kTyreStack, kRustyDrums, kBollard, kBannerBale};
  const PathFrame f = FrameAt(race, k);
  const int count = 1 + rng.Below(3);
  for (int i = 0; i < count; ++i) {
    const int type = kLoose[rng.Below(int(sizeof kLoose / sizeof kLoose[0]))];
    const float out = kRoadHalfWidth + 4 + 10 * rng.Next() + PropFootprintRadius(type);
    const float along = (rng.Next() - 0.5f) * 12;
    const float yaw = rng.Next() * 2 * NE_PI;
    layout.Try(type, f.at + f.left * (out * float(side)) + f.forward * along, {std::cos(yaw), 0, std::sin(yaw)});
  }
}

void StartScene(Layout& layout, const RaceView& race) {
  // Banners and light towers flank the start, tyre stacks behind them.
  for (int side : {1, -1}) {
    Roadside(layout, race, 0, side, kLightTower, 0);
    for (int k : {-3, 2, 4}) Roadside(layout, race, k, side, kBannerFence, 1.5f);
    Roadside(layout, race, -5, side, kTyreStack, 2);
  }
}

void CheckpointScene(Layout& layout, const RaceView& race, int k, Lcg& rng) {
  const int side = rng.Next() < 0.5f ? 1 : -1;
  Roadside(layout, race, k, side, kLightTower, 0);
  Roadside(layout, race, k, -side, kBannerFence, 0);
  Roadside(layout, race, k + 1, -side, kBannerBale, 1);
}

void BendScene(Layout& layout, const RaceView& race, int k, float turn, Lcg& rng) {
  // The outside of the bend is walled; a chevron sign announces it.
  const int outside = turn > 0 ? -1 : 1;
  static const int kWalls[] = {kTyreWall, kJerseyBarrier, kPlasticBarrier, kGuardRail};
  const int wall = kWalls[rng.Below(4)];
  for (int i = -1; i <= 2; ++i) Roadside(layout, race, k + i, outside, wall, 0);
  Roadside(layout, race, k - 4, outside, kChevronSign, 0.5f);
  Roadside(layout, race, k, -outside, kCones, 0);
}

void StraightScene(Layout& layout, const RaceView& race, int k, Lcg& rng) {
  static const int kRows[] = {kFence, kHayRow, kGuardRail, kFence, kHazardPosts, kCones, kBollard};
  const int side = rng.Next() < 0.5f ? 1 : -1;
  const int row = kRows[rng.Below(int(sizeof kRows / sizeof kRows[0]))];
  const int length = 1 + rng.Below(3);
  for (int i = 0; i < length; ++i) Roadside(layout, race, k + i, side, row, 0);
  if (rng.Next() < 0.6f) LooseGroup(layout, race, k + 2, -side, rng);
}

}  // namespace

float PropFootprintRadius(int type) {
  float radius = 0;
  for (int part = 0; part < PropPartCount(type); ++part) {
    const Vector3 box = PropPartBox(type, part), offset = PropPartOffset(type, part);
    radius = std::max(radius, std::hypot(offset.x, offset.z) + 0.5f * std::hypot(box.x, box.z));
  }
  return radius;
}

std::vector<Vector3> PropFootprint(const PropPlacement& prop) {
  std::vector<Vector3> points;
  const Vector3 x = prop.axis, z = SideOf(prop.axis);
  for (int part = 0; part < PropPartCount(prop.type); ++part) {
    const Vector3 box = PropPartBox(prop.type, part), offset = PropPartOffset(prop.type, part);
    for (float a : {-0.5f, 0.0f, 0.5f})
      for (float b : {-0.5f, 0.0f, 0.5f}) {
        const float lx = offset.x + a * box.x, lz = offset.z + b * box.z;
        points.push_back({prop.rest.x + x.x * lx + z.x * lz, 0, prop.rest.z + x.z * lx + z.z * lz});
      }
  }
  return points;
}

std::vector<PropPlacement> LayOutRaceProps(int race) {
  const RaceView view = ViewRace(race);
  Layout layout{&view, {}};
  Lcg rng{uint32_t(4000 + race * 7919)};
  StartScene(layout, view);
  for (int k = 8; k < view.last - 4; k += kSceneEvery) {
    const int kind = view.path[size_t(k)].type;
    const float turn = TurnAt(view, k);
    if (kind == kWaypointCheckpoint || kind == kWaypointCheckpointMarkerA || kind == kWaypointCheckpointMarkerB)
      CheckpointScene(layout, view, k, rng);
    else if (std::fabs(turn) > 0.12f)
      BendScene(layout, view, k, turn, rng);
    else
      StraightScene(layout, view, k, rng);
  }
  return layout.props;
}

Ms3dFile MakePropMarkers(const std::vector<PropPlacement>& props) {
  Ms3dFile file;
  // One group per prop type, in type order, each built while it is last.
  for (int type = 0; type < kPropTypesWithParts; ++type) {
    file.groups.push_back({"type" + std::to_string(type), {}, -1});
    MeshBuilder mesh(&file);
    for (const PropPlacement& prop : props) {
      if (prop.type != type) continue;
      const Vector3 up(0, 1, 0);
      const Vector3 p[3] = {prop.rest + prop.axis, prop.rest, prop.rest + up};
      const Vector3 n = SideOf(prop.axis), normals[3] = {n, n, n};
      const float st[3][2] = {{1, 0}, {0, 0}, {0, 1}};
      mesh.Triangle(p, normals, st);
    }
  }
  return file;
}

bool GeneratePropLayouts(const std::string& base) {
  bool ok = true;
  for (int race = 1; race <= kTrackCount; ++race)
    ok &= WriteMs3d(base + "/world/models/objects" + std::to_string(race) + ".sbm", MakePropMarkers(LayOutRaceProps(race)));
  return ok;
}
